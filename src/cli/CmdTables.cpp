// brevilo-cli tables: the user tables of a database folder.
#include <algorithm>

#include "CliArgs.h"
#include "CliCommand.h"
#include "store/TTableFolder.h"

namespace {

int run(CliContext& ctx) {
    CliArgs args(ctx.args, {"--db"}, {});
    if (!args.positional().empty())
        throw EUsage("unexpected argument " + args.positional().front());
    TTableFolder folder(args.required("--db"));
    std::vector<std::string> names;
    for (std::string& name : folder.ListTables())
        if (name != "tmpdb" && name != "tmpout" && name != "tmpmem")
            names.push_back(std::move(name));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return TTableFolder::LessNoCase(a, b);
    });
    for (const std::string& name : names)
        WriteOut(ctx.encoding.Output(name) + "\n");
    return 0;
}

const CliRegistrar registrar({"tables", "--db DIR", "list the user tables of a database folder",
                              run});

}  // namespace
