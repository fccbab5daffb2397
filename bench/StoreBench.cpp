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

#include "Records.h"
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

using bench::FillLog;
using bench::RecordMaker;

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
    FillLog(dmod, 0, kRecords, static_cast<std::size_t>(state.range(0)));
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
    FillLog(dmod, 0, kRecords);
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
