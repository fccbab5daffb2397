// Reading an Outlook Express store: a generated folder file of 50 000 messages (about
// 200 MB, 512-byte text blocks as Outlook Express writes them), read as the import reads it.
// Goal: at least 200 MB/s.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/core/oe/DbxBuilder.h"
#include "oe/TDbxImpl.h"
#include "oe/TDbxStream.h"
#include "oe/TOE5_DbxParser.h"

namespace {

constexpr int kMessages = 50000;
constexpr std::size_t kMessageSize = 4000;

std::string MessageText(int n) {
    std::string text = "From: sender" + std::to_string(n) +
                       "@example.com\r\nNewsgroups: fj.comp\r\nSubject: message " +
                       std::to_string(n) + "\r\nDate: Tue, 12 Jun 2001 10:20:30 +0900\r\n\r\n";
    while (text.size() < kMessageSize)
        text += "The quick brown fox jumps over the lazy dog.\r\n";
    text.resize(kMessageSize);
    return text;
}

// Texts first, then the records, then the index: the reader alternates between two far
// apart regions of the file, as it does in stores that grew over years.
std::string gStoreFile;  // "--store-to=PATH": where to write the store, kept

const std::string& StorePath() {
    static const std::string path = [] {
        const std::string file =
            !gStoreFile.empty()
                ? gStoreFile
                : (std::filesystem::temp_directory_path() / "brevilo-dbx-bench.dbx").string();
        dbxtest::DbxBuilder b;
        b.Bytes().reserve(std::size_t(kMessages) * 4600);
        std::vector<std::uint32_t> texts, records;
        for (int i = 0; i < kMessages; ++i)
            texts.push_back(b.AddText(MessageText(i)));
        for (int i = 0; i < kMessages; ++i)
            records.push_back(b.AddMessageRecord(texts[i], i % 10 == 9 ? 0x81 : 0x01));
        b.IndexMessages(records);
        b.Write(file);
        return file;
    }();
    return path;
}

void BM_ReadMessages(benchmark::State& state) {
    const std::string& path = StorePath();
    const auto fileSize = std::filesystem::file_size(path);
    std::atomic<bool> stop{false};
    std::size_t count = 0, bytes = 0;
    for (auto _ : state) {
        TOE5_DbxParser parser;
        std::vector<std::string> messages;
        parser.ReadMessages(path, messages, stop);
        count = messages.size();
        bytes = 0;
        for (const auto& m : messages)
            bytes += m.size();
        benchmark::DoNotOptimize(messages.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * fileSize));
    state.counters["file_MB"] = double(fileSize) / 1e6;
    state.counters["messages"] = double(count);
    state.counters["text_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_ReadMessages)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Every message, read or not, through the walk and the text reader.
void BM_ScanAllTexts(benchmark::State& state) {
    const std::string& path = StorePath();
    const auto fileSize = std::filesystem::file_size(path);
    for (auto _ : state) {
        TDbxStream stream(path);
        TOE5_DbxParser parser;
        std::size_t bytes = 0;
        parser.ScanMessages(stream, [&](const TOE5_DbxParser::MessageInfo& info) {
            bytes += parser.Impl().ReadText(info.TextOffset).size();
            return true;
        });
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * fileSize));
}
BENCHMARK(BM_ScanAllTexts)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

// "--store-to=PATH" writes the generated store there and exits (for timing brevilo-cli
// import on it).
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind("--store-to=", 0) == 0) {
            gStoreFile = argv[i] + 11;
            StorePath();
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    StorePath();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(StorePath().c_str());
    return 0;
}
