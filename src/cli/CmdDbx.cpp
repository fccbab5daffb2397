// brevilo-cli dbx FILE [--out DIR]: the downloaded, unread messages of an Outlook Express
// store file, as the import takes them.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "CliArgs.h"
#include "CliCommand.h"
#include "base/EError.h"
#include "oe/TOE5_DbxParser.h"

namespace {

void writeMessage(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw EFileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int writeErrno = errno;
    if (std::fclose(f) != 0 || !written)
        throw EFileError("Cannot write file \"" + path + "\". " + std::strerror(writeErrno));
}

// 0001.eml, 0002.eml, ...; the number grows past four digits when it must.
std::string messageFileName(std::size_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "%04zu.eml", number);
    return name;
}

int runDbx(CliContext& ctx) {
    CliArgs args(ctx.args, {"--out"}, {});
    if (args.positional().size() != 1)
        throw EUsage("one .dbx file expected");
    const std::string& file = args.positional()[0];

    std::atomic<bool> stop{false};
    std::vector<std::string> messages;
    TOE5_DbxParser parser;
    parser.ReadMessages(file, messages, stop);

    if (auto out = args.value("--out")) {
        std::error_code ec;
        std::filesystem::create_directories(*out, ec);
        if (ec)
            throw EFileError("Cannot create folder \"" + *out + "\". " + ec.message());
        for (std::size_t i = 0; i < messages.size(); ++i)
            writeMessage((std::filesystem::path(*out) / messageFileName(i + 1)).string(),
                         messages[i]);
    }
    WriteOut(std::to_string(messages.size()) + "\n");
    return 0;
}

const CliRegistrar registrar({"dbx", "FILE [--out DIR]",
                              "count (and with --out write as DIR/0001.eml, ...) the downloaded "
                              "unread messages of an Outlook Express .dbx file",
                              runDbx});

}  // namespace
