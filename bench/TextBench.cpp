// Throughput of the text routines every import runs through, over a few MB of input.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "text/TMSManager.h"
#include "text/TextUtil.h"

namespace {

constexpr std::size_t kSize = 4 << 20;

std::string RandomBytes(std::size_t n) {
    std::mt19937 rng(42);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

std::string Base64Line() {
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::mt19937 rng(7);
    std::string s(kSize, 'A');
    for (char& c : s)
        c = alphabet[rng() % 64];
    return s;
}

std::string QuotedPrintableText() {
    std::string s;
    s.reserve(kSize);
    while (s.size() < kSize)
        s += "Quoted printable text with an =82=A0 escape and a soft=\r\nbreak. ";
    return s;
}

std::string Utf8Japanese() {
    // Mixed ASCII and Japanese, as in a typical Japanese mail body.
    std::string s;
    s.reserve(kSize);
    while (s.size() < kSize)
        s += "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad"
             "\xe3\x82\xb9\xe3\x83\x88 and some ASCII text, 12345.\r\n";
    return s;
}

void BM_Base64Decode(benchmark::State& state) {
    const std::string in = Base64Line();
    for (auto _ : state)
        benchmark::DoNotOptimize(Base64Decode(in));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Base64Decode);

void BM_QuotedPrintableDecode(benchmark::State& state) {
    const std::string in = QuotedPrintableText();
    for (auto _ : state)
        benchmark::DoNotOptimize(QuotedPrintableDecode(in));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_QuotedPrintableDecode);

void BM_UTF8_SJIS(benchmark::State& state) {
    const std::string in = Utf8Japanese();
    UTF8_SJIS("warm up the tables");
    for (auto _ : state)
        benchmark::DoNotOptimize(UTF8_SJIS(in));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_UTF8_SJIS);

// A search that scans the whole buffer: the pattern's first byte is a letter that occurs
// often in both cases, the pattern itself only at the very end.
void BM_SkipPast(benchmark::State& state) {
    std::string page;
    page.reserve(kSize);
    while (page.size() < kSize)
        page += "<td class=\"Item\">some text</td> <TD>More</TD>\r\n";
    page += "<table id=\"last\">";
    TMSManager buf;
    buf.Assign(page);
    for (auto _ : state) {
        buf.SetCursor(0);
        benchmark::DoNotOptimize(buf.SkipPast("<table id=\"last\">"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_SkipPast);

void BM_SkipPastRandom(benchmark::State& state) {
    std::string page = RandomBytes(kSize);
    TMSManager buf;
    buf.Assign(page);
    for (auto _ : state) {
        buf.SetCursor(0);
        benchmark::DoNotOptimize(buf.SkipPast("never-there-pattern"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_SkipPastRandom);

}  // namespace

BENCHMARK_MAIN();
