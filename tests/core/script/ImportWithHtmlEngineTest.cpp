// The import run with the real HTML engine. Only the script's side is checked: which
// conversion each variable gets, with which switches, and the trimming after it.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "import/ArticleParts.h"
#include "script/THParserScriptHost.h"
#include "script/TImportRun.h"
#include "text/TMSManager.h"

namespace {

class EngineHost : public THParserScriptHost {
  public:
    TRecordFields fields;
    std::vector<TRecordFields> records;

    TRecordFields& Fields() override { return fields; }
    void PostArticle(std::string& article) override {
        ::PostArticle(
            fields, article, [] { return false; }, [this] { records.push_back(fields); });
    }
    bool StopRequested() const override { return false; }
    std::string Today() const override { return "06/12/2001"; }
};

std::vector<TRecordFields> Import(std::string_view script, std::string_view html) {
    EngineHost host;
    TMSManager page;
    page.Assign(html);
    TImportRun(host).RunLoaded(TScript(scripttest::Lines(script)), page);
    return host.records;
}

const char* kPage =
    "<title>\r\n  Big <b>News</b>\r\n</title>"
    "<body><p>See <a href=\"http://x.example/a\">this</a>.</p></body>";

}  // namespace

TEST(ImportWithHtmlEngine, FieldsGetOneTrimmedPlainLine) {
    auto records = Import("?{<title>}\nS={</title>}\nF={</body>}\n*", kPage);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Subject, "Big News");
    EXPECT_EQ(records[0].From, "See this.");
}

TEST(ImportWithHtmlEngine, ArticleIsLaidOutWithTheLinkSwitch) {
    auto records = Import(
        "?{<body>}\nA={</body>}\n*\n>H\n?{<p>}\nA={</body>}\n*",
        std::string(kPage) + "<body><p>Again <a href=\"http://y.example/\">here</a>.</p></body>");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_NE(records[0].Article.find("http://x.example/a"), std::string::npos)
        << records[0].Article;
    EXPECT_EQ(records[1].Article.find("http://"), std::string::npos) << records[1].Article;
    for (const TRecordFields& r : records) {
        ASSERT_FALSE(r.Article.empty());
        EXPECT_NE(r.Article.back(), '\n');
        EXPECT_NE(r.Article.front(), '\r');
    }
}

TEST(ImportWithHtmlEngine, PreformattedSwitchKeepsBlanks) {
    auto plain = Import("A={</x>}\n*", "a    b</x>");
    auto pre = Import("<P\nA={</x>}\n*", "a    b</x>");
    ASSERT_EQ(plain.size(), 1u);
    ASSERT_EQ(pre.size(), 1u);
    EXPECT_EQ(plain[0].Article, "a b");
    EXPECT_EQ(pre[0].Article, "a    b");
}
