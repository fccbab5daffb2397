// Real-world pages from the shared corpus: a paragraph loop runs over every page in both
// runs. Nothing may crash or hang, both runs must take the same path, and the import must
// hand the HTML conversions exactly the source between the landmarks.
#include <gtest/gtest.h>

#include <filesystem>

#include "FakeScriptHost.h"
#include "ScriptTestSupport.h"
#include "TestSupport.h"
#include "script/EScriptError.h"
#include "script/TImportRun.h"
#include "script/TTestRun.h"
#include "text/TMSManager.h"

namespace {

const char* kParagraphLoop =
    "#0\n"
    "#R 100000\n"
    "?{<title>}\n"
    "S={</title>}\n"
    "$\n"
    ":loop\n"
    "?{<p}\n"
    "-:end\n"
    "?{>}\n"
    "A={</p>}\n"
    "*\n"
    "+:loop\n"
    ":end\n"
    ".\n";

struct PostCounter : TTestReporter {
    int posts = 0;
    bool finished = false;
    void Progress(const std::string&, int) override { ++posts; }
    void Finish(const std::string&, int, bool) override { finished = true; }
};

}  // namespace

TEST(ScriptCorpus, ParagraphLoopOverEveryPage) {
    BREVILO_REQUIRE_CORPUS(corpus);
    TScript script(scripttest::Lines(kParagraphLoop));
    int pages = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus / "html")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".html" && ext != ".htm"))
            continue;
        ++pages;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);

        scripttest::FakeScriptHost host;
        TMSManager page;
        try {
            TImportRun(host).Run(script, page, path);
        } catch (const EScriptError& e) {
            // Only a page without paragraphs may end in an error: "." with no post.
            EXPECT_EQ(e.Detail(), "No record created");
            EXPECT_EQ(host.posts, 0);
        }
        // Every article source is a slice of the page, in page order.
        std::size_t from = 0;
        for (const auto& call : host.layoutCalls) {
            std::size_t at = page.Text().find(call.source, from);
            ASSERT_NE(at, std::string_view::npos);
            from = at + call.source.size();
        }

        PostCounter counter;
        TTestRun(scripttest::Lines(kParagraphLoop), path, "06/12/2001", counter).Run();
        EXPECT_TRUE(counter.finished);
        EXPECT_EQ(counter.posts, host.posts);
    }
    EXPECT_GT(pages, 50);
}
