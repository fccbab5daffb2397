// Import speed on 10 000 generated ".eml" files (a third plain, a third base64, a third
// multipart with an HTML alternative): the conversion alone, and brevilo-cli import end to
// end into a new table.
#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "GeneratedMail.h"
#include "import/TNParser.h"

namespace fs = std::filesystem;

namespace {

using benchmail::Message;

constexpr int kFiles = 10000;

struct Files {
    fs::path dir;
    std::vector<std::string> paths;
    std::size_t bytes = 0;
    Files() {
        dir = fs::temp_directory_path() / ("brevilo-importbench-" + std::to_string(getpid()));
        fs::create_directories(dir / "in");
        std::mt19937 rng(11);
        for (int i = 0; i < kFiles; ++i) {
            std::string path = (dir / "in" / ("m" + std::to_string(i) + ".eml")).string();
            std::string text = benchmail::Message(i, rng);
            std::ofstream(path, std::ios::binary) << text;
            bytes += text.size();
            paths.push_back(path);
        }
    }
    ~Files() { fs::remove_all(dir); }
};

Files& Generated() {
    static Files files;
    return files;
}

void BM_ConvertOnly(benchmark::State& state) {
    Files& files = Generated();
    long long records = 0;
    for (auto _ : state) {
        TNParser engine;
        engine.SetOnRecord([&] { ++records; });
        for (const std::string& p : files.paths)
            engine.Convert(p);
    }
    state.counters["messages/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFiles, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.bytes));
    benchmark::DoNotOptimize(records);
}
BENCHMARK(BM_ConvertOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// One brevilo-cli import of all files into a new table (the files are not renamed).
void BM_CliImport(benchmark::State& state) {
    Files& files = Generated();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::path db = files.dir / ("db" + std::to_string(round++));
        fs::create_directories(db);
        std::string command = std::string(BREVILO_CLI_PATH) + " import --db " + db.string() +
                              " --table Bench " + (files.dir / "in").string() +
                              "/*.eml > /dev/null";
        state.ResumeTiming();
        int status = std::system(command.c_str());
        if (status != 0)
            state.SkipWithError("brevilo-cli import failed");
    }
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFiles,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CliImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
