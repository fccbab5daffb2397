// Throughput of the HTML engine on generated pages of real shape: paragraphs with links
// and references, headings, lists, a few tables, some Japanese text. The size argument
// checks that time grows linearly with the page.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <string>

#include "HtmlPages.h"
#include "html/HParser.h"

namespace {

void BM_LayoutText(benchmark::State& state) {
    const std::string page = bench::MixedPage(static_cast<std::size_t>(state.range(0)));
    HTMLParser::HParser parser;
    for (auto _ : state) {
        parser.LayoutText(page.data(), page.data() + page.size(), true, false);
        benchmark::DoNotOptimize(parser.Result().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LayoutText)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(8 << 20)
    ->Arg(32 << 20)
    ->Unit(benchmark::kMillisecond);

void BM_PlainText(benchmark::State& state) {
    const std::string page = bench::MixedPage(static_cast<std::size_t>(state.range(0)));
    HTMLParser::HParser parser;
    for (auto _ : state) {
        parser.PlainText(page.data(), page.data() + page.size());
        benchmark::DoNotOptimize(parser.Result().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_PlainText)->Arg(64 << 10)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

// One long table: rows of cells, so that nothing in the table layout is quadratic.
void BM_LongTable(benchmark::State& state) {
    std::string page = "<table>";
    for (long r = 0; r < state.range(0); ++r)
        page += "<tr><td>cell one</td><td>a longer second cell</td><td>3</td></tr>\n";
    page += "</table>";
    HTMLParser::HParser parser;
    for (auto _ : state) {
        parser.LayoutText(page.data(), page.data() + page.size(), true, false);
        benchmark::DoNotOptimize(parser.Result().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LongTable)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The mixed 5 MB news page that bench/html-vs-lynx.sh also gives to brevilo-cli and lynx.
void BM_LayoutMixed(benchmark::State& state) {
    const std::string page = bench::MixedPage(static_cast<std::size_t>(state.range(0)));
    HTMLParser::HParser parser;
    for (auto _ : state) {
        parser.LayoutText(page.data(), page.data() + page.size(), true, false);
        benchmark::DoNotOptimize(parser.Result().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LayoutMixed)->Arg(5 << 20)->Unit(benchmark::kMillisecond);

// A page of tables only, small and medium.
void BM_LayoutTables(benchmark::State& state) {
    const std::string page = bench::TablePage(static_cast<std::size_t>(state.range(0)));
    HTMLParser::HParser parser;
    for (auto _ : state) {
        parser.LayoutText(page.data(), page.data() + page.size(), true, false);
        benchmark::DoNotOptimize(parser.Result().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LayoutTables)->Arg(5 << 20)->Unit(benchmark::kMillisecond);

// One table of 60 000 rows by 30 cells (29 MB).
void BM_LayoutGrid(benchmark::State& state) {
    const std::string page = bench::GridPage(state.range(0), 30);
    HTMLParser::HParser parser;
    for (auto _ : state) {
        parser.LayoutText(page.data(), page.data() + page.size(), true, false);
        benchmark::DoNotOptimize(parser.Result().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LayoutGrid)->Arg(60000)->Unit(benchmark::kMillisecond);

bool writePage(const std::string& path, const std::string& page) {
    std::ofstream out(path, std::ios::binary);
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    return static_cast<bool>(out);
}

}  // namespace

// "--pages-to=DIR" writes the generated pages (mixed.html, tables.html, grid.html) for the
// timed brevilo-cli and lynx runs instead of benchmarking.
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pages-to=", 11) != 0)
            continue;
        const std::string dir = argv[i] + 11;
        return writePage(dir + "/mixed.html", bench::MixedPage(5 << 20)) &&
                       writePage(dir + "/tables.html", bench::TablePage(5 << 20)) &&
                       writePage(dir + "/grid.html", bench::GridPage(60000, 30))
                   ? 0
                   : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
