// brevilo-cli oe-folders STOREDIR: the folders of an Outlook Express store that hold unread
// messages, as the "Select OE Folder" list offers them.
#include <filesystem>
#include <string>
#include <system_error>

#include "CliArgs.h"
#include "CliCommand.h"
#include "base/EError.h"
#include "oe/StorePath.h"
#include "oe/TOE5_FolderInfo.h"

namespace {

int runOeFolders(CliContext& ctx) {
    CliArgs args(ctx.args, {}, {});
    if (args.positional().size() != 1)
        throw EUsage("one store folder expected");
    const std::string& store = args.positional()[0];

    std::error_code ec;
    const std::string list = storepath::StoreFilePath(store, TOE5_FolderInfo::kFolderListFile);
    if (!std::filesystem::is_regular_file(list, ec))
        throw EError("Folders.dbx file not found");

    TOE5_FolderInfo info;
    info.LoadFolders(store);
    std::string out;
    for (const auto& [display, file] : info.FolderMap()) {
        out += ctx.encoding.Output(display) + "\t" + ctx.encoding.Output(file) + "\t" +
               std::to_string(info.UnreadMap().at(display)) + "\n";
    }
    WriteOut(out);
    return 0;
}

const CliRegistrar registrar({"oe-folders", "STOREDIR",
                              "the folders of STOREDIR/Folders.dbx with unread messages: display "
                              "name, file name and unread count, TAB-separated",
                              runOeFolders});

}  // namespace
