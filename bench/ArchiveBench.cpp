// The archive at scale: one table of 1 000 000 generated articles (~4 KB, English and
// Japanese; 4.6 GB), built once into a cache folder and reused by later runs. Not part of
// CI: run it by hand (bench/README.md).
//
//   BREVILO_ARCHIVE_DIR   the cache folder (default /tmp/brevilo-archive-1m)
//   BREVILO_ARCHIVE_ROWS  rows of the table (default 1000000)
//
// One article in 1 000 holds "Brevilo"; nearly every article holds the two-character
// Japanese keyword used for the search that hits almost every row. The figures are read
// with the table's file cached (a first run after the build reads it from disk).
#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "Archive.h"
#include "Records.h"
#include "store/TDMod.h"
#include "store/TSqlConnection.h"
#include "store/TSqlStatement.h"

namespace fs = std::filesystem;

namespace {

const char* const kTable = "Million";
const char* const kTokyo = "\x93\x8c\x8b\x9e";  // 東京: in nearly every article

long Rows() {
    const char* rows = std::getenv("BREVILO_ARCHIVE_ROWS");
    return rows ? std::atol(rows) : 1000000;
}

// Builds the table once: batches of 100 000 records appended to the log and posted.
const std::string& Archive() {
    static const std::string dir = [] {
        const std::string folder = bench::ArchiveCacheDir();
        const fs::path done = fs::path(folder) / ("complete-" + std::to_string(Rows()));
        if (fs::exists(done))
            return folder;
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::fprintf(stderr, "building %ld rows in %s (once)\n", Rows(), folder.c_str());
        TDMod dmod;
        dmod.OpenFolder(folder);
        dmod.CreateMainTable(kTable);
        const long batch = 100000;
        for (long first = 0; first < Rows(); first += batch) {
            bench::FillLog(dmod, first, std::min(batch, Rows() - first), 4096, 1000);
            dmod.PostAll();
            dmod.ResetTempTables();
        }
        std::ofstream(done.string()) << Rows() << "\n";
        return folder;
    }();
    return dir;
}

// The main table open, as the Search Records page has it.
struct OpenArchive {
    TDMod dmod;
    OpenArchive() {
        dmod.OpenFolder(Archive());
        dmod.OpenMainTable(kTable);
    }
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Opening the table in the grid: the table as the log, its row count and the first
// screen of rows, as the grid model asks for them.
void BM_OpenInGrid(benchmark::State& state) {
    Archive();
    for (auto _ : state) {
        TDMod dmod;
        dmod.OpenFolder(Archive());
        dmod.OpenLogTable(kTable);
        TRecordView& rows = dmod.Log().Rows();
        const long long n = rows.Count();
        for (long long i = 0; i < std::min(n, 40LL); ++i)
            benchmark::DoNotOptimize(rows.Row(i).MessageID);
        state.counters["rows"] = static_cast<double>(n);
        state.counters["RssAnon_MB"] = static_cast<double>(bench::RssAnonKb()) / 1024.0;
        // Scrolling to the end at once: the last screen.
        const auto t = std::chrono::steady_clock::now();
        for (long long i = std::max(0LL, n - 40); i < n; ++i)
            benchmark::DoNotOptimize(rows.Row(i).MessageID);
        state.counters["scroll_to_end_ms"] = Seconds(t) * 1000;
    }
}
BENCHMARK(BM_OpenInGrid)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// A one-keyword Article search through the window's path: the query fills "tmpout" and
// the result shows its first rows. 1 000 hits.
void BM_SearchArticle1000Hits(benchmark::State& state) {
    OpenArchive a;
    TSearchOptions options;  // Initial, Article
    for (auto _ : state) {
        a.dmod.KeywordSearch("brevilo", options);
        const long long n = a.dmod.Search().Count();
        for (long long i = 0; i < std::min(n, 40LL); ++i)
            benchmark::DoNotOptimize(a.dmod.Search().Row(i).MessageID);
        state.counters["hits"] = static_cast<double>(n);
    }
}
BENCHMARK(BM_SearchArticle1000Hits)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// The peer: SQLite's own LIKE scan for the same word over the same table file.
void BM_SqliteLikeScan(benchmark::State& state) {
    Archive();
    TSqlConnection db((fs::path(Archive()) / (std::string(kTable) + ".db")).string(), false);
    db.Exec("PRAGMA mmap_size = 2147418112");  // as the store maps its tables
    for (auto _ : state) {
        TSqlStatement st = db.Prepare(
            "SELECT MessageID FROM articles WHERE Article LIKE '%brevilo%' ORDER BY rowid");
        long long n = 0;
        while (st.Step())
            ++n;
        state.counters["hits"] = static_cast<double>(n);
    }
}
BENCHMARK(BM_SqliteLikeScan)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// A two-character Japanese keyword found in nearly every row, in steps: the first rows
// shown (first_rows_ms), then the rest of "tmpout" filled step by step (the window stays
// free between steps; longest_step_ms is the longest it waits).
void BM_SearchNearlyEveryRowStepped(benchmark::State& state) {
    OpenArchive a;
    TSearchOptions options;
    for (auto _ : state) {
        const auto t = std::chrono::steady_clock::now();
        bool more = a.dmod.BeginKeywordSearch(kTokyo, options);
        double firstRows = -1, longest = 0;
        while (more) {
            const auto s = std::chrono::steady_clock::now();
            more = a.dmod.ContinueSearch(state.range(0));
            longest = std::max(longest, Seconds(s));
            if (firstRows < 0 && a.dmod.Search().Count() >= 40) {
                for (long long i = 0; i < 40; ++i)
                    benchmark::DoNotOptimize(a.dmod.Search().Row(i).MessageID);
                firstRows = Seconds(t);
            }
        }
        state.counters["first_rows_ms"] = firstRows * 1000;
        state.counters["longest_step_ms"] = longest * 1000;
        state.counters["hits"] = static_cast<double>(a.dmod.Search().Count());
    }
}
BENCHMARK(BM_SearchNearlyEveryRowStepped)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The Subject search for a phrase (one hit).
void BM_SubjectSearch(benchmark::State& state) {
    OpenArchive a;
    for (auto _ : state) {
        a.dmod.SubjectSearch("number 123457");
        state.counters["hits"] = static_cast<double>(a.dmod.Search().Count());
    }
}
BENCHMARK(BM_SubjectSearch)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// "Next 100" from the first page, ten times; the time is per page.
void BM_PagingBy100(benchmark::State& state) {
    OpenArchive a;
    a.dmod.SubjectSearch("number 1000");
    for (auto _ : state) {
        for (int k = 0; k < 10; ++k) {
            a.dmod.NextPage();
            benchmark::DoNotOptimize(a.dmod.Search().Count());
        }
    }
    state.SetItemsProcessed(state.iterations() * 10);
}
BENCHMARK(BM_PagingBy100)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

int RunCli(const std::string& args) {
    const std::string command = std::string(BREVILO_CLI_PATH) + " " + args + " > /dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// brevilo-cli search for the word in 1 000 articles, end to end.
void BM_CliSearch1000Hits(benchmark::State& state) {
    Archive();
    for (auto _ : state)
        if (RunCli("search --db " + Archive() + " --table " + kTable + " brevilo") != 0)
            state.SkipWithError("brevilo-cli search failed");
}
BENCHMARK(BM_CliSearch1000Hits)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// The Date order of a 100 000-row log: the arrangement and the first screen.
void BM_LogDateOrder100k(benchmark::State& state) {
    const std::string folder = bench::ArchiveCacheDir() + "-log100k";
    const fs::path done = fs::path(folder) / "complete";
    if (!fs::exists(done)) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        TDMod build;
        build.OpenFolder(folder);
        build.CreateMainTable("Log100k");
        bench::FillLog(build, 0, 100000, 4096, 1000);
        build.PostAll();
        build.ResetTempTables();
        std::ofstream(done.string()) << "100000\n";
    }
    TDMod dmod;
    dmod.OpenFolder(folder);
    dmod.OpenLogTable("Log100k");
    for (auto _ : state) {
        dmod.Log().SetOrder(TLogView::Order::Import);
        benchmark::DoNotOptimize(dmod.Log().Rows().Count());
        const auto t = std::chrono::steady_clock::now();
        dmod.Log().SetOrder(TLogView::Order::Date);
        TRecordView& rows = dmod.Log().Rows();
        const long long n = rows.Count();
        for (long long i = 0; i < std::min(n, 40LL); ++i)
            benchmark::DoNotOptimize(rows.Row(i).MessageID);
        state.counters["date_order_ms"] = Seconds(t) * 1000;
        state.counters["rows"] = static_cast<double>(n);
    }
}
BENCHMARK(BM_LogDateOrder100k)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
