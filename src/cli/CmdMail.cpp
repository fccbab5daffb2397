// brevilo-cli mail [--raw-body] [--decode-charsets] FILE: the message parser over one file.
//
// The file's bytes go to Parse whole and unchanged (no line-end repair, no cut at a NUL),
// through the process-wide parser as the converters use it. --raw-body reads the body as
// the text converter reads each article of a .txt file (taken as it stands); without it
// the body goes through MIME processing as for .eml, .nws and .dbx messages. The body
// printed is BodyText exactly as a converter receives it, before the converter's own
// steps (uuencode attachment line, trimming, cutting long articles). --decode-charsets
// converts text in every known charset to cp932, not only UTF-8.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "CliArgs.h"
#include "CliCommand.h"
#include "base/EError.h"
#include "base/FileBytes.h"
#include "base/TSingleton.h"
#include "mail/MParser.h"

namespace {

int runMail(CliContext& ctx) {
    CliArgs args(ctx.args, {}, {"--raw-body", "--decode-charsets"});
    if (args.positional().size() != 1)
        throw EUsage("expects one FILE");
    const std::string message = ReadFileBytes(args.positional().front());

    MailParser::MParser& parser = TSingleton<MailParser::MParser>::ObjOwner();
    MailParser::TParseOptions options;
    options.DecodeCharsets = args.flag("--decode-charsets");
    parser.Parse(message, args.flag("--raw-body"), options);

    std::string out;
    out += "From: " + parser.From() + "\r\n";
    out += "Newsgroup: " + parser.Newsgroup() + "\r\n";
    out += "Date: " + parser.Date() + "\r\n";
    out += "Subject: " + parser.Subject() + "\r\n";
    out += "\r\n";
    out += parser.BodyText();
    WriteOut(ctx.encoding.Output(out));
    return 0;
}

const CliRegistrar registrar({"mail", "[--raw-body] [--decode-charsets] FILE",
                              "message parser: From, Newsgroup, Date, Subject and the body text",
                              runMail});

}  // namespace
