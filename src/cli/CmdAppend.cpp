// brevilo-cli append: JSON Lines records from standard input into a table, all or none.
#include <iostream>
#include <iterator>
#include <vector>

#include "ArticleJson.h"
#include "CliArgs.h"
#include "CliCommand.h"
#include "CliTable.h"
#include "base/EError.h"
#include "store/ArticleTable.h"
#include "store/DateText.h"
#include "store/TSqlTransaction.h"

namespace {

int run(CliContext& ctx) {
    CliArgs args(ctx.args, {"--db", "--table"}, {});
    if (!args.positional().empty())
        throw EUsage("unexpected argument " + args.positional().front());
    const std::string folder = args.required("--db");
    const std::string table = ctx.encoding.Input(args.required("--table"));

    // Every line is read and checked before anything is written, so a bad line anywhere
    // appends nothing.
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    std::vector<TArticle> records;
    const int year = CurrentYear();
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < input.size();) {
        std::size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        std::string_view line(input.data() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        std::string error;
        auto object = ParseJsonObject(line, ctx.encoding, error);
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (!object)
            throw EError(where + error);
        try {
            records.push_back(ArticleFromJson(*object, year));
        } catch (const EError& e) {
            throw EError(where + e.what());
        }
    }

    auto db = OpenCliTable(folder, table, true);
    TSqlTransaction t(*db);
    TSqlStatement insert = db->Prepare(InsertArticleSql("main", TTableKind::Keyed));
    for (const TArticle& a : records) {
        insert.Reset();
        BindArticleForInsert(insert, a, TTableKind::Keyed);
        insert.Run();
    }
    t.Commit();
    WriteOut(std::to_string(records.size()) + "\n");
    return 0;
}

const CliRegistrar registrar({"append", "--db DIR --table NAME < RECORDS.jsonl",
                              "append JSON Lines records to a table (created if missing)", run});

}  // namespace
