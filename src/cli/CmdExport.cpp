// brevilo-cli export: the text export of a main table, as the program's "Convert into
// Text" writes it for the same rows and fields.
#include <sstream>

#include "CliArgs.h"
#include "CliCommand.h"
#include "CliTable.h"
#include "store/ArticleTable.h"
#include "tools/ExportText.h"

namespace {

int fieldsNamed(const std::string& list) {
    int fields = 0;
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item == "subject")
            fields |= exporttext::kSubject;
        else if (item == "date")
            fields |= exporttext::kDate;
        else if (item == "from")
            fields |= exporttext::kFrom;
        else if (item == "group")
            fields |= exporttext::kNewsgroup;
        else if (item == "article")
            fields |= exporttext::kArticle;
        else if (!item.empty())
            throw EUsage("unknown field '" + item + "' (subject, date, from, group, article)");
    }
    return fields;
}

int run(CliContext& ctx) {
    CliArgs args(ctx.args, {"--db", "--table", "--fields"}, {});
    const std::string folder = args.required("--db");
    const std::string table = ctx.encoding.Input(args.required("--table"));
    const auto fieldList = args.value("--fields");
    const int fields = fieldList ? fieldsNamed(*fieldList) : exporttext::kAllFields;
    if (args.positional().size() != 1)
        throw EUsage("one OUT file expected");
    const std::string out = args.positional().front();

    auto db = OpenCliTable(folder, table, false);
    TSqlStatement query = db->Prepare("SELECT " + std::string(kArticleColumns) +
                                      " FROM main.articles ORDER BY MessageID");
    exporttext::TExportFile file(out);
    exporttext::TExportWriter writer(fields, TExportLabels{}, file.Sink());
    long long count = 0;
    while (query.Step()) {
        writer.Add(ReadArticle(query));
        ++count;
    }
    writer.Finish();
    file.Close();
    WriteOut(std::to_string(count) + "\n");
    return 0;
}

const CliRegistrar registrar(
    {"export",
     "--db DIR --table NAME [--fields subject,date,from,group,article] OUT\n"
     "  The records in MessageID order, each as its chosen fields (default all five):\n"
     "  \"Subject: \", \"Date: \" (as \"5 Jun 2001 09:07:03\"), \"From: \" and\n"
     "  \"Newsgroups: \" lines, then an empty line and the article; two empty lines\n"
     "  between records; blanks at the start and end of the file dropped. The same\n"
     "  bytes as the program's \"Convert into Text\" for the same rows and fields.\n"
     "  An earlier OUT is kept as OUT with the extension \".bak\". Prints the number\n"
     "  of records written.",
     "writes a table's records to a text file, as \"Convert into Text\" does", run});

}  // namespace
