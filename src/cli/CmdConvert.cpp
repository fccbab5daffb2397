// brevilo-cli convert: the conversion engine over files (mbox files and Maildir folders
// too), as an import would convert them, renaming nothing; one JSON object per record.
#include <exception>
#include <string>

#include "CliArgs.h"
#include "CliCommand.h"
#include "ImportFiles.h"
#include "Json.h"

namespace {

int run(CliContext& ctx) {
    CliArgs args(ctx.args, {"--script", "--today"}, {"--recursive", "--decode-charsets"});
    if (args.positional().empty())
        throw EUsage("no FILE given");
    ImportEngine engine(args);
    std::string file;
    engine.parser.SetOnRecord([&] {
        const TRecordFields& r = engine.parser.Record;
        WriteOut(JsonLine(ctx.encoding)
                     .String("file", FileNameText(file, ctx.encoding))
                     .String("From", r.From)
                     .String("Newsgroup", r.Newsgroup)
                     .String("Subject", r.Subject)
                     .String("Date", r.Date)
                     .String("Notes", r.Notes)
                     .String("Article", r.Article)
                     .Finish());
    });
    for (const std::string& path : args.positional()) {
        file = path;
        std::string message;
        if (!engine.Convert(path, message)) {
            ReportFailure(message, path, ctx.encoding);
            return 1;
        }
    }
    return 0;
}

const CliRegistrar registrar(
    {"convert",
     "[--script S.hsc] [--today mm/dd/yyyy] [--recursive] [--decode-charsets] FILE|MAILDIR...",
     "convert files, mbox files and Maildir folders to records as an import would, renaming "
     "nothing",
     run});

}  // namespace
