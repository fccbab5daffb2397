// Text export speed: brevilo-cli export of a table of 100 000 generated records of about
// 4 KB each (about 400 MB of text), end to end; and the export writer alone over records
// held in memory.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/ArticleTable.h"
#include "store/TSqlConnection.h"
#include "store/TSqlTransaction.h"
#include "store/TTableFolder.h"
#include "tools/ExportText.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 100000;

TArticle Record(int i, std::mt19937& rng) {
    static const char* words[] = {"archive", "news",   "mail",   "record", "keyword", "Tokyo",
                                  "report",  "weekly", "import", "table",  "search",  "text"};
    TArticle r;
    r.From = "user" + std::to_string(i % 97) + "@example.com";
    r.Newsgroup = "fj.test";
    r.Subject = "Message " + std::to_string(i);
    r.Date = TTimestamp{2001, 1 + i % 12, 1 + i % 28, i % 24, i % 60, i % 60};
    while (r.Article.size() < 4000) {
        r.Article += words[rng() % 12];
        r.Article += (rng() % 12 == 0) ? "\r\n" : " ";
    }
    return r;
}

struct Table {
    fs::path dir;
    std::uintmax_t bytes = 0;
    Table() {
        dir = fs::temp_directory_path() / ("brevilo-exportbench-" + std::to_string(getpid()));
        fs::create_directories(dir);
        TSqlConnection db(TTableFolder(dir.string()).TableFile("Bench"), true);
        PrepareStoreConnection(db);
        TSqlTransaction t(db);
        CreateArticleSchema(db, "main", TTableKind::Keyed, false);
        TSqlStatement insert = db.Prepare(InsertArticleSql("main", TTableKind::Keyed));
        std::mt19937 rng(7);
        for (int i = 0; i < kRecords; ++i) {
            BindArticleForInsert(insert, Record(i, rng), TTableKind::Keyed);
            insert.Run();
            insert.Reset();
        }
        t.Commit();
    }
    ~Table() { fs::remove_all(dir); }
};

Table& Generated() {
    static Table table;
    return table;
}

void BM_CliExport(benchmark::State& state) {
    Table& table = Generated();
    const std::string out = (table.dir / "Bench.txt").string();
    const std::string command = std::string(BREVILO_CLI_PATH) + " export --db " +
                                table.dir.string() + " --table Bench " + out + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("brevilo-cli export failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(out)));
    state.counters["records/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kRecords, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CliExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ExportWriter(benchmark::State& state) {
    std::mt19937 rng(7);
    std::vector<TArticle> records;
    for (int i = 0; i < 10000; ++i)
        records.push_back(Record(i, rng));
    std::size_t bytes = 0;
    for (auto _ : state) {
        exporttext::TExportWriter writer(
            exporttext::kAllFields, {},
            [&bytes](std::string_view piece) { bytes += piece.size(); });
        for (const TArticle& r : records)
            writer.Add(r);
        writer.Finish();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ExportWriter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
