// The record store's bulk paths on generated data: appending imported records to the log,
// posting the log into a main table, and a one-keyword Article search by scanning.
// Goals: >= 20 000 appends/s, 100 000 postings < 2 s, one-keyword search over 100 000
// articles of ~4 KB < 1 s. Appending and posting run with articles of ~1 KB and ~4 KB (the
// benchmark's argument). The folder is made under BREVILO_BENCH_DIR when set (to tell the
// disk's share from the program's, e.g. /dev/shm), else under the temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "store/TDMod.h"

namespace {

constexpr int kRecords = 100000;

// A scratch folder removed with the object.
struct Folder {
    std::filesystem::path path;
    Folder() {
        const char* base = std::getenv("BREVILO_BENCH_DIR");
        path =
            std::filesystem::path(base ? base : std::filesystem::temp_directory_path().string()) /
            ("brevilo-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// Records like imported mail: English words with some Japanese (cp932) text; one article
// in a hundred mentions "Brevilo" in some letter case.
class RecordMaker {
  public:
    explicit RecordMaker(std::size_t articleBytes = 4096) : articleBytes_(articleBytes) {}
    TRecordFields Next(int i) {
        static const char* words[] = {"the",
                                      "market",
                                      "news",
                                      "report",
                                      "tokyo",
                                      "osaka",
                                      "rain",
                                      "weather",
                                      "\x93\x8c\x8b\x9e",
                                      "\x93\x56\x8b\x43",
                                      "\x83\x6a\x83\x85\x81\x5b\x83\x58",
                                      "system",
                                      "price",
                                      "today"};
        TRecordFields r;
        r.From =
            "Writer " + std::to_string(i % 500) + " <w" + std::to_string(i % 500) + "@example.com>";
        r.Newsgroup = "fj.news.group" + std::to_string(i % 40);
        r.Subject = "Subject line number " + std::to_string(i);
        r.Date =
            "2001/" + std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + " 10:20:30";
        r.Notes = i % 7 == 0 ? "note" : "";
        std::string& a = r.Article;
        a.reserve(articleBytes_ + 16);
        while (a.size() < articleBytes_) {
            a += words[rng_() % (sizeof words / sizeof *words)];
            a += (rng_() % 12 == 0) ? "\r\n" : " ";
        }
        if (i % 100 == 50)
            a.insert(a.size() / 2, " BREVILO ");
        return r;
    }

  private:
    std::size_t articleBytes_;
    std::mt19937 rng_{1234};
};

void FillLog(TDMod& dmod, int count, std::size_t articleBytes = 4096) {
    RecordMaker maker(articleBytes);
    TDMod::LogBatch batch(dmod);
    for (int i = 0; i < count; ++i)
        dmod.AppendLogRecord(maker.Next(i));
    batch.Commit();
}

void BM_AppendLogRecordBatched(benchmark::State& state) {
    RecordMaker maker(static_cast<std::size_t>(state.range(0)));
    std::vector<TRecordFields> records;
    for (int i = 0; i < kRecords; ++i)
        records.push_back(maker.Next(i));
    Folder folder;
    TDMod dmod;
    dmod.OpenFolder(folder.path.string());
    for (auto _ : state) {
        TDMod::LogBatch batch(dmod);
        for (const auto& r : records)
            dmod.AppendLogRecord(r);
        batch.Commit();
    }
    state.counters["records/s"] =
        benchmark::Counter(kRecords * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AppendLogRecordBatched)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// One transaction (and disk sync) per record: what an import costs without a batch.
void BM_AppendLogRecordOneByOne(benchmark::State& state) {
    const int n = 2000;
    RecordMaker maker;
    std::vector<TRecordFields> records;
    for (int i = 0; i < n; ++i)
        records.push_back(maker.Next(i));
    Folder folder;
    TDMod dmod;
    dmod.OpenFolder(folder.path.string());
    for (auto _ : state) {
        for (const auto& r : records)
            dmod.AppendLogRecord(r);
    }
    state.counters["records/s"] =
        benchmark::Counter(n * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AppendLogRecordOneByOne)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_PostAll(benchmark::State& state) {
    Folder folder;
    TDMod dmod;
    dmod.OpenFolder(folder.path.string());
    FillLog(dmod, kRecords, static_cast<std::size_t>(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dmod.CreateMainTable("News" + std::to_string(round++));
        state.ResumeTiming();
        dmod.PostAll();
    }
    if (dmod.Search().Count() != kRecords)
        state.SkipWithError("wrong number of posted rows");
    state.counters["records/s"] =
        benchmark::Counter(kRecords * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PostAll)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

void BM_KeywordSearchArticle(benchmark::State& state) {
    Folder folder;
    TDMod dmod;
    dmod.OpenFolder(folder.path.string());
    FillLog(dmod, kRecords);
    dmod.CreateMainTable("News");
    dmod.PostAll();
    dmod.ResetTempTables();
    TSearchOptions options;  // Initial search, Article field
    for (auto _ : state) {
        dmod.KeywordSearch("brevilo", options);
        if (dmod.Search().Count() != kRecords / 100)
            state.SkipWithError("wrong number of hits");
    }
    state.counters["articles/s"] =
        benchmark::Counter(kRecords * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_KeywordSearchArticle)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
