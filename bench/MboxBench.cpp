// brevilo-cli import of one generated mbox file of 100 000 messages (the mix of
// GeneratedMail.h, LF line ends as Linux mail programs write them) into a new table: the
// messages per second, and the peak resident memory of the brevilo-cli process, which
// must stay bounded by the largest message however large the file. A second file holds
// 10 000 messages and one of 32 MB, to show what the largest message costs.
// Run pinned to one core: taskset -c 0 build/bin/MboxBench
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "GeneratedMail.h"

namespace fs = std::filesystem;

namespace {

std::string WithLf(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

struct Mbox {
    fs::path dir;
    fs::path file;
    int messages;
    Mbox(int count, std::size_t largeBytes) : messages(count + (largeBytes ? 1 : 0)) {
        dir = fs::temp_directory_path() /
              ("brevilo-mboxbench-" + std::to_string(getpid()) + "-" + std::to_string(count));
        fs::create_directories(dir);
        file = dir / "box.mbox";
        std::ofstream out(file, std::ios::binary);
        std::mt19937 rng(11);
        for (int i = 0; i < count; ++i) {
            out << "From user" << i % 97 << "@example.com Tue Jun 12 10:20:30 2001\n"
                << WithLf(benchmail::Message(i, rng)) << "\n";
            if (largeBytes && i == count / 2) {
                std::string line(71, 'x');
                line.back() = '\n';
                out << "From big@example.com Tue Jun 12 10:20:30 2001\nFrom: big@example.com\n"
                    << "Subject: large\n\n";
                for (std::size_t n = 0; n < largeBytes; n += line.size())
                    out << line;
                out << "\n";
            }
        }
    }
    ~Mbox() { fs::remove_all(dir); }
};

// Runs brevilo-cli import on the file; the child's peak resident memory in MB, or -1.
double ImportPeakMb(const Mbox& box, int round) {
    fs::path db = box.dir / ("db" + std::to_string(round));
    fs::create_directories(db);
    pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        execl(BREVILO_CLI_PATH, BREVILO_CLI_PATH, "import", "--db", db.c_str(), "--table", "Mail",
              box.file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    fs::remove_all(db);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Run(benchmark::State& state, const Mbox& box) {
    int round = 0;
    double peak = 0;
    for (auto _ : state) {
        double mb = ImportPeakMb(box, round++);
        if (mb < 0) {
            state.SkipWithError("brevilo-cli import failed");
            return;
        }
        peak = std::max(peak, mb);
    }
    state.counters["messages/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * box.messages, benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peak;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(box.file)) / 1048576.0;
}

void BM_CliImportMbox(benchmark::State& state) {
    static Mbox box(100'000, 0);
    Run(state, box);
}
BENCHMARK(BM_CliImportMbox)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_CliImportMboxWithLargeMessage(benchmark::State& state) {
    static Mbox box(10'000, 32u << 20);
    Run(state, box);
}
BENCHMARK(BM_CliImportMboxWithLargeMessage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
