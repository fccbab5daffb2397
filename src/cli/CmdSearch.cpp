// brevilo-cli search: the keyword search over a main table, read only.
#include <chrono>
#include <cstdio>
#include <map>

#include "ArticleJson.h"
#include "CliArgs.h"
#include "CliCommand.h"
#include "CliTable.h"
#include "store/ArticleTable.h"
#include "store/DateText.h"
#include "store/KeywordQuery.h"

namespace {

TSearchField fieldNamed(const std::string& name) {
    static const std::map<std::string, TSearchField> fields = {
        {"subject-notes", TSearchField::SubjectOrNotes},
        {"article", TSearchField::Article},
        {"from", TSearchField::From},
        {"newsgroups", TSearchField::Newsgroups},
        {"date", TSearchField::Date},
        {"rank", TSearchField::Rank},
        {"messageid", TSearchField::MessageID},
    };
    auto it = fields.find(name);
    if (it == fields.end())
        throw EUsage("unknown field '" + name + "'");
    return it->second;
}

int run(CliContext& ctx) {
    CliArgs args(ctx.args, {"--db", "--table", "--field"}, {"--order-by-date"});
    const std::string folder = args.required("--db");
    const std::string table = ctx.encoding.Input(args.required("--table"));
    const TSearchField field = fieldNamed(args.value("--field").value_or("article"));
    if (args.positional().empty())
        throw EUsage("KEYWORDS missing");
    // Several arguments are one keyword box: `search ... tokyo "&" osaka` is "tokyo & osaka".
    std::string box;
    for (const std::string& word : args.positional())
        box += (box.empty() ? "" : " ") + word;

    std::vector<std::string> keywords = ParseKeywords(ctx.encoding.Input(box));
    TSqlCondition where = BuildKeywordCondition(keywords, field, CurrentYear());
    auto db = OpenCliTable(folder, table, false);
    TSqlStatement query = db->Prepare("SELECT " + std::string(kArticleColumns) +
                                      " FROM main.articles WHERE " + where.sql + " ORDER BY " +
                                      (args.flag("--order-by-date") ? "Date, rowid" : "rowid"));
    query.Bind(where);
    // Rows go out as they are found: in MessageID order the scan needs no sort, and the
    // output is flushed at least every tenth of a second, so a reader of a pipe sees the
    // first hits long before a scan of a large table ends.
    using Clock = std::chrono::steady_clock;
    auto lastFlush = Clock::now();
    bool first = true;
    while (query.Step()) {
        WriteOut(ArticleToJsonLine(ReadArticle(query), ctx.encoding));
        const auto now = Clock::now();
        if (first || now - lastFlush >= std::chrono::milliseconds(100)) {
            first = false;
            std::fflush(stdout);
            lastFlush = now;
        }
    }
    return 0;
}

const CliRegistrar registrar(
    {"search",
     "--db DIR --table NAME [--field subject-notes|article|from|newsgroups|date|rank|messageid] "
     "[--order-by-date] KEYWORDS",
     "keyword search over a table; JSON Lines in MessageID (or Date) order", run});

}  // namespace
