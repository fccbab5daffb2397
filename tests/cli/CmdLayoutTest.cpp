// brevilo-cli layout: the engine's bytes, its switches, metrics and failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "cli/CliRunner.h"
#include "html/HParser.h"
#include "html/TColBlank.h"

using testsupport::RunCliProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

const std::string kPage =
    "<h1>Title</h1><p>Text &amp; <a href=\"http://x.org/\">link</a>\n"
    "<table><tr><td>a<td>bb<tr><td>ccc<td>d</table>"
    "<ul><li>one<li>\x93\xfa\x96\x7b</ul><pre>a   b</pre>";  // 日本

std::string Engine(const std::string& html, bool links, bool pre) {
    HTMLParser::HParser parser;
    parser.LayoutText(html.data(), html.data() + html.size(), links, pre);
    return parser.Result();
}

}  // namespace

TEST(CmdLayout, PrintsTheEnginesBytes) {
    TempDir dir;
    const std::string page = dir.file("page.html");
    WriteFile(page, kPage);
    auto r = RunCliProgram({"--encoding", "cp932", "layout", page});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Engine(kPage, true, false));
    EXPECT_NE(r.out.find("<http://x.org/> link"), std::string::npos);

    r = RunCliProgram({"layout", "--no-links", "--pre", page, "--encoding=cp932"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Engine(kPage, false, true));

    r = RunCliProgram({"--encoding", "latin1", "layout", "--plain", page});
    EXPECT_EQ(r.status, 0) << r.err;
    HTMLParser::HParser parser;
    parser.PlainText(kPage.data(), kPage.data() + kPage.size());
    EXPECT_EQ(r.out, parser.Result());
}

TEST(CmdLayout, WritesUtf8ByDefault) {
    TempDir dir;
    const std::string page = dir.file("page.html");
    WriteFile(page, "<p>\x93\xfa\x96\x7b");  // 日本
    auto r = RunCliProgram({"layout", page});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\r\n\r\n\xe6\x97\xa5\xe6\x9c\xac");
}

TEST(CmdLayout, MetricsWidenThePadding) {
    TempDir dir;
    const std::string page = dir.file("t.html");
    WriteFile(page, "<table><tr><td>a<td>b<tr><td>ccc<td>d</table>");
    auto r = RunCliProgram({"layout", page});
    EXPECT_EQ(r.out, "\r\n\r\n___\r\n\r\na  \tb\r\n\r\nccc\td\r\n___\r\n\r\n");
    // Two missing letters are as wide as ceil(2 * 364 / 156) = 5 spaces.
    r = RunCliProgram({"layout", "--letters-width", "364", "--spaces-width", "156", page});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\r\n\r\n___\r\n\r\na     \tb\r\n\r\nccc\td\r\n___\r\n\r\n");
}

TEST(CmdLayout, EmptyFileIsAnEmptyPage) {
    TempDir dir;
    const std::string page = dir.file("empty.html");
    WriteFile(page, "");
    auto r = RunCliProgram({"layout", page});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CmdLayout, Failures) {
    TempDir dir;
    const std::string page = dir.file("p.html");
    WriteFile(page, "x");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {"no file", {"layout"}, 2},
        {"two files", {"layout", page, page}, 2},
        {"unknown option", {"layout", "--wide", page}, 2},
        {"width not a number", {"layout", "--letters-width", "x", page}, 2},
        {"width zero", {"layout", "--spaces-width", "0", page}, 2},
        {"width too large", {"layout", "--spaces-width", "100001", page}, 2},
        {"letters too wide for the spaces",
         {"layout", "--letters-width", "17", "--spaces-width", "1", page},
         2},
        {"missing file", {"layout", dir.file("missing.html")}, 1},
    };
    for (const Case& c : cases) {
        auto r = RunCliProgram(c.args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_TRUE(r.out.empty()) << c.name;
        EXPECT_FALSE(r.err.empty()) << c.name;
    }
    auto r = RunCliProgram({"layout", dir.file("missing.html")});
    EXPECT_EQ(r.err.rfind("Cannot open file \"" + dir.file("missing.html") + "\". ", 0), 0u)
        << r.err;
}

TEST(CmdLayout, LaysOutEveryCorpusPage) {
    BREVILO_REQUIRE_CORPUS(corpus);
    const std::filesystem::path dir = corpus / "html";
    if (!std::filesystem::is_directory(dir)) {
        GTEST_SKIP() << "no html corpus";
    }
    int pages = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".html" && ext != ".htm"))
            continue;
        const std::string path = entry.path().string();
        auto r = RunCliProgram({"--encoding", "cp932", "layout", path});
        ASSERT_EQ(r.status, 0) << path << ": " << r.err;
        EXPECT_EQ(r.out, Engine(testsupport::ReadFile(path), true, false)) << path;
        EXPECT_EQ(RunCliProgram({"layout", "--plain", path}).status, 0) << path;
        ++pages;
    }
    EXPECT_GT(pages, 50);
}
