// brevilo-cli import: converts files and posts their records into a main table, each
// file's records in one transaction, as the import of the program does with its log.
#include <memory>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliCommand.h"
#include "CliTable.h"
#include "ImportFiles.h"
#include "ImportRenames.h"
#include "import/TMyFiler.h"
#include "store/ArticleTable.h"
#include "store/DateText.h"
#include "store/TArticle.h"
#include "store/TSqlTransaction.h"

namespace {

// Marks a failed file ".err" as the import does (a name already taken, or a store, keeps
// the file's name). Returns the file's path now.
std::string Mark(const std::string& path, const char* extension) {
    TMyFiler one;
    one.AddTagged(path, 0);
    one.RenameTo(0, extension);
    return one.ErrorFile.empty() ? path : one.ErrorFile;
}

int run(CliContext& ctx) {
    CliArgs args(ctx.args, {"--db", "--table", "--script", "--today"},
                 {"--rename", "--recursive", "--decode-charsets"});
    if (args.positional().empty())
        throw EUsage("no FILE given");
    const std::string folder = args.required("--db");
    const std::string table = ctx.encoding.Input(args.required("--table"));
    const bool rename = args.flag("--rename");
    ImportEngine engine(args);

    auto db = OpenCliTable(folder, table, true);
    TSqlStatement insert = db->Prepare(InsertArticleSql("main", TTableKind::Keyed));
    const int year = CurrentYear();
    long long fileRecords = 0;
    engine.parser.SetOnRecord([&] {
        const TRecordFields& r = engine.parser.Record;
        TArticle a;
        a.From = r.From;
        a.Newsgroup = r.Newsgroup;
        a.Subject = r.Subject;
        if (!r.Date.empty())
            a.Date = DateTextToTimestamp(r.Date, year);
        a.Notes = r.Notes;
        a.Article = r.Article;
        insert.Reset();
        BindArticleForInsert(insert, a, TTableKind::Keyed);
        insert.Run();
        ++fileRecords;
    });

    // Each file's records stand or fall together (a savepoint per file), and a file is
    // renamed only once its records are committed, its rename noted in the same commit
    // (ImportRenames). Files are committed in groups, so that an import of many small
    // files does not wait for one disk sync per file.
    constexpr std::size_t kFilesPerCommit = 256;
    long long posted = 0;
    std::size_t groupFiles = 0;
    ImportRenames renames(*db, rename);
    renames.FinishEarlierRun();
    auto commitGroup = [&](std::unique_ptr<TSqlTransaction>& group) {
        if (group)
            group->Commit();
        group.reset();
        renames.Committed();
        groupFiles = 0;
    };
    std::unique_ptr<TSqlTransaction> group;
    for (const std::string& path : args.positional()) {
        if (renames.AlreadyStored(path))
            continue;
        if (!group) {
            group = std::make_unique<TSqlTransaction>(*db);
            renames.BeginGroup();
        }
        fileRecords = 0;
        std::string message;
        bool converted;
        {
            TSqlTransaction file(*db);
            converted = engine.Convert(path, message);
            if (converted)
                file.Commit();
        }
        if (!converted) {
            commitGroup(group);
            renames.Finish();
            std::string now = rename ? Mark(path, ".err") : path;
            WriteOut(std::to_string(posted) + "\n");
            ReportFailure(message, now, ctx.encoding);
            return 1;
        }
        posted += fileRecords;
        renames.Converted(path);
        if (++groupFiles >= kFilesPerCommit)
            commitGroup(group);
    }
    if (group)
        commitGroup(group);
    renames.Finish();
    WriteOut(std::to_string(posted) + "\n");
    return 0;
}

const CliRegistrar registrar(
    {"import",
     "--db DIR --table NAME [--script S.hsc] [--today mm/dd/yyyy] [--rename] [--recursive] "
     "[--decode-charsets] "
     "FILE|MAILDIR...",
     "convert files, mbox files and Maildir folders and post each one's records into a table, "
     "one transaction per file",
     run});

}  // namespace
