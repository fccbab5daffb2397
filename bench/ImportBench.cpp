// Import speed on 10 000 generated ".eml" files (a third plain, a third base64, a third
// multipart with an HTML alternative): the conversion alone, and brevilo-cli import end to
// end into a new table. The conversion runs without and with the decoding of other
// charsets (argument 0 / 1), over these files and over 10 000 Japanese ones in ISO-2022-JP
// (the same three kinds, with an encoded-word Subject).
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

using benchmail::Base64;
using benchmail::Body;

constexpr int kFiles = 10000;

// ISO-2022-JP words (日本語, テスト, 東京, 記録, 検索) between ASCII ones.
std::string JapaneseBody(std::mt19937& rng) {
    static const char* words[] = {"\x1B$BF|K\\8l\x1B(B",
                                  "\x1B$B%F%9%H\x1B(B",
                                  "\x1B$BEl5~\x1B(B",
                                  "\x1B$B5-O?\x1B(B",
                                  "\x1B$B8!:w\x1B(B",
                                  "mail",
                                  "archive",
                                  "2001"};
    std::string body;
    std::size_t size = 1000 + rng() % 3000;
    while (body.size() < size) {
        body += words[rng() % 8];
        body += (rng() % 12 == 0) ? "\r\n" : " ";
    }
    return body + "\r\n";
}

std::string Message(int i, std::mt19937& rng, bool japanese) {
    std::string head = "From: user" + std::to_string(i % 97) + "@example.com\r\nSubject: " +
                       (japanese ? "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?= " : "Message ") +
                       std::to_string(i) + "\r\nDate: Tue, 12 Jun 2001 10:20:30 +0900\r\n" +
                       "Newsgroups: fj.test\r\nMIME-Version: 1.0\r\n";
    std::string body = japanese ? JapaneseBody(rng) : Body(rng);
    const std::string charset = japanese ? "iso-2022-jp" : "us-ascii";
    const std::string partCharset = japanese ? "; charset=iso-2022-jp" : "";
    switch (i % 3) {
        case 0:
            return head + "Content-Type: text/plain; charset=" + charset + "\r\n\r\n" + body;
        case 1:
            return head + "Content-Type: text/plain; charset=" + charset +
                   "\r\nContent-Transfer-Encoding: base64\r\n\r\n" + Base64(body);
        default:
            return head + "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\n--b1\r\n" +
                   "Content-Type: text/plain" + partCharset + "\r\n\r\n" + body +
                   "--b1\r\nContent-Type: text/html" + partCharset + "\r\n\r\n" +
                   "<html><body><p>" + body +
                   "</p><ul><li>one<li>two</ul></body></html>\r\n--b1--\r\n";
    }
}

struct Files {
    fs::path dir;
    std::vector<std::string> paths;
    std::size_t bytes = 0;
    explicit Files(bool japanese) {
        dir = fs::temp_directory_path() /
              ("brevilo-importbench-" + std::to_string(getpid()) + (japanese ? "-jp" : ""));
        fs::create_directories(dir / "in");
        std::mt19937 rng(11);
        for (int i = 0; i < kFiles; ++i) {
            std::string path = (dir / "in" / ("m" + std::to_string(i) + ".eml")).string();
            std::string text = Message(i, rng, japanese);
            std::ofstream(path, std::ios::binary) << text;
            bytes += text.size();
            paths.push_back(path);
        }
    }
    ~Files() { fs::remove_all(dir); }
};

Files& Generated(bool japanese = false) {
    if (japanese) {
        static Files files(true);
        return files;
    }
    static Files files(false);
    return files;
}

void ConvertAll(benchmark::State& state, Files& files) {
    long long records = 0;
    for (auto _ : state) {
        TNParser engine;
        engine.MailOptions.DecodeCharsets = state.range(0) != 0;
        engine.SetOnRecord([&] { ++records; });
        for (const std::string& p : files.paths)
            engine.Convert(p);
    }
    state.counters["messages/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFiles, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.bytes));
    benchmark::DoNotOptimize(records);
}

void BM_ConvertOnly(benchmark::State& state) {
    ConvertAll(state, Generated());
}
BENCHMARK(BM_ConvertOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConvertJapanese(benchmark::State& state) {
    ConvertAll(state, Generated(true));
}
BENCHMARK(BM_ConvertJapanese)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
