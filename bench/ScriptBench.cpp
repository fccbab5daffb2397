// A web-page import at scale: a loop script over a generated 5 MB page of 10 000 items
// ("#R" 20000), one record per item. Goal: under one second per import run.
#include <benchmark/benchmark.h>

#include <string>

#include "import/ArticleParts.h"
#include "script/THParserScriptHost.h"
#include "script/TImportRun.h"
#include "script/TScript.h"
#include "script/TTestRun.h"
#include "text/TMSManager.h"

namespace {

constexpr int kItems = 10000;

std::string Page() {
    std::string page = "<html><head><title>Benchmark news</title></head><body>\r\n";
    page.reserve(5u << 20);
    const std::string body =
        "The council met on Tuesday to discuss the new <b>budget</b> for the coming year. "
        "Several members asked for more time, and the chair agreed to hold a second "
        "session next week. <a href=\"/minutes\">Minutes</a> will follow. Residents may "
        "send comments until the end of the month; all comments will be published with "
        "the final report. This paragraph pads the item to about five hundred bytes.";
    for (int i = 1; i <= kItems; ++i) {
        const std::string n = std::to_string(i);
        page += "<div class=\"item\"><h2><a href=\"/news/" + n + ".html\">Headline number " + n +
                "</a></h2>\r\n<span class=\"date\">June " + std::to_string(1 + i % 28) +
                ", 2001</span>\r\n<p>" + body + "</p></div>\r\n";
    }
    page += "</body></html>\r\n";
    return page;
}

const char* kScript =
    "#R 20000\r\n"
    "?{<title>}\r\n"
    "G={</title>}\r\n"
    "%\"m d, y\"\r\n"
    ":item\r\n"
    "?{<div class=\"item\">}\r\n"
    "-:done\r\n"
    "?{<h2>}\r\n"
    "S={</h2>}\r\n"
    "?{<span class=\"date\">}\r\n"
    "D={</span>}\r\n"
    "?{<p>}\r\n"
    "A={</div>}\r\n"
    "*\r\n"
    "+:item\r\n"
    ":done\r\n"
    ".\r\n";

// The conversion engine's side: counts records. Converts with the HTML engine, or with a
// minimal tag stripper that shows the interpreter's own share of the time.
class BenchHost : public THParserScriptHost {
  public:
    explicit BenchHost(bool htmlEngine) : htmlEngine_(htmlEngine) {}

    TRecordFields fields;
    long records = 0;

    TRecordFields& Fields() override { return fields; }
    void PostArticle(std::string& article) override {
        ::PostArticle(
            fields, article, [] { return false; }, [this] { ++records; });
    }
    bool StopRequested() const override { return false; }
    std::string Today() const override { return "06/12/2001"; }
    std::string PlainText(std::string_view source) override {
        return htmlEngine_ ? THParserScriptHost::PlainText(source) : StripTags(source);
    }
    std::string LayoutText(std::string_view source, bool links, bool pre) override {
        return htmlEngine_ ? THParserScriptHost::LayoutText(source, links, pre) : StripTags(source);
    }

  private:
    static std::string StripTags(std::string_view source) {
        std::string out;
        out.reserve(source.size());
        bool inTag = false;
        for (char c : source) {
            if (c == '<')
                inTag = true;
            else if (c == '>')
                inTag = false;
            else if (!inTag)
                out += c;
        }
        return out;
    }

    bool htmlEngine_;
};

void ImportRun(benchmark::State& state, bool htmlEngine) {
    const std::string page = Page();
    TScript script(TScript::SplitLines(kScript));
    TMSManager buffer;
    for (auto _ : state) {
        BenchHost host(htmlEngine);
        buffer.Assign(page);
        TImportRun(host).RunLoaded(script, buffer);
        if (host.records != kItems)
            state.SkipWithError("wrong record count");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
}

void BM_ImportRunTagStripper(benchmark::State& state) {
    ImportRun(state, false);
}
BENCHMARK(BM_ImportRunTagStripper)->Unit(benchmark::kMillisecond);

void BM_ImportRunHtmlEngine(benchmark::State& state) {
    ImportRun(state, true);
}
BENCHMARK(BM_ImportRunHtmlEngine)->Unit(benchmark::kMillisecond);

struct Discard : TTestReporter {
    std::size_t bytes = 0;
    void Progress(const std::string& output, int) override { bytes += output.size(); }
    void Finish(const std::string& output, int, bool) override { bytes += output.size(); }
};

void BM_TestRun(benchmark::State& state) {
    const std::string page = Page();
    for (auto _ : state) {
        Discard discard;
        TTestRun run(TScript::SplitLines(kScript), "bench.htm", "06/12/2001", discard);
        run.RunOnBytes(page);
        benchmark::DoNotOptimize(discard.bytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_TestRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
