#include "ImportFiles.h"

#include <cstdio>

#include "CliCommand.h"
#include "import/TConvertRun.h"
#include "script/ShortDate.h"
#include "text/Cp932.h"

ImportEngine::ImportEngine(const CliArgs& args) {
    if (auto today = args.value("--today")) {
        if (!script::IsShortDate(*today))
            throw EUsage("--today needs a date written mm/dd/yyyy");
        parser.SetToday(*today);
    }
    if (auto script = args.value("--script"))
        parser.SetScript(*script);
    // Maildir++ subfolders only when asked for; commands without the flag never ask.
    parser.SetMaildirSubfolders(args.flag("--recursive"));
    parser.MailOptions.DecodeCharsets = args.flag("--decode-charsets");
}

bool ImportEngine::Convert(const std::string& path, std::string& message) {
    try {
        parser.Convert(path);
        return true;
    } catch (...) {
        int line = 0;
        message = DescribeConversionFailure(line);
        return false;
    }
}

void ReportFailure(const std::string& message, const std::string& path,
                   const CliEncoding& encoding) {
    std::fflush(stdout);
    // A Maildir may be given as "Mail/"; its name is the last component all the same.
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    std::size_t slash = trimmed.rfind('/');
    std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    // The file's name is written as the file system has it; only the text is converted.
    std::fprintf(stderr, "%s\n%s\n", encoding.Output(message).c_str(), name.c_str());
}

std::string FileNameText(const std::string& path, const CliEncoding& encoding) {
    switch (encoding.kind()) {
        case CliEncoding::Kind::Utf8:
            return cp932::fromUtf8(path);
        default:
            return path;
    }
}
