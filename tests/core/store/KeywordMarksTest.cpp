#include <gtest/gtest.h>

#include "store/InformationSource.h"
#include "store/KeywordMarks.h"

namespace {

std::string At(std::string_view text, const std::optional<TKeywordMatch>& m) {
    return m ? std::string(text.substr(m->offset, m->length)) : std::string("<none>");
}

}  // namespace

TEST(KeywordMarks, FindThenFindNextWalkTheEarliestMatches) {
    // 'Osaka' at 10 and 'Tokyo' at 30, keywords in the sorted order of the search.
    const std::string text = "0123456789Osaka and more...Tokyo end";
    const std::vector<std::string> keywords = {"osaka", "tokyo"};
    auto first = FindEarliestKeyword(text, 0, text.size(), keywords);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->offset, 10u);
    EXPECT_EQ(At(text, first), "Osaka");
    const std::size_t next = first->offset + first->length;
    auto second = FindEarliestKeyword(text, next, text.size() - next, keywords);
    EXPECT_EQ(At(text, second), "Tokyo");
    const std::size_t after = second->offset + second->length;
    EXPECT_FALSE(FindEarliestKeyword(text, after, text.size() - after, keywords));
    EXPECT_FALSE(FindEarliestKeyword(text, 0, text.size(), {}));
}

TEST(KeywordMarks, TiesGoToTheEarlierKeywordAndTheRegionIsKept) {
    const std::vector<std::string> keywords = {"ab", "abc"};
    EXPECT_EQ(FindEarliestKeyword("xabc", 0, 4, keywords)->length, 2u);
    EXPECT_EQ(FindEarliestKeyword("xabc", 0, 4, {"abc", "ab"})->length, 3u);
    EXPECT_FALSE(FindEarliestKeyword("xabc", 0, 3, {"abc"}));  // would end past the region
    EXPECT_FALSE(FindEarliestKeyword("xabc", 9, 3, {"a"}));
}

TEST(KeywordMarks, DoubleByteCharactersMatchWhole) {
    // "ア" is 83 41; the "A" keyword must not match its trail byte, nor "a" fold into it.
    const std::string text =
        "\x83\x41"  // ア
        "xa";
    EXPECT_EQ(FindEarliestKeyword(text, 0, text.size(), {"A"})->offset, 3u);
    EXPECT_EQ(FindEarliestKeyword(text, 0, text.size(), {"\x83\x41"})->offset, 0u);
}

TEST(KeywordMarks, BoxAndNotesTexts) {
    EXPECT_EQ(AddSearchKey("news", "weather"), "news & weather");
    EXPECT_EQ(AddSearchKey("", "weather"), "weather");
    EXPECT_EQ(PrependToNotes("old", "fresh"), "fresh old");
    EXPECT_EQ(PrependToNotes("", "fresh"), "fresh");
    EXPECT_EQ(KeywordLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(KeywordLines("").empty());
}

TEST(InformationSource, FromTextsPointAtMailOrWeb) {
    struct Case {
        const char* from;
        TInformationSource::Kind kind;
        const char* target;
    } cases[] = {
        {"Taro Yamada <taro@example.jp>", TInformationSource::Mail, "mailto:taro@example.jp"},
        {"taro@example.jp (Taro Yamada)", TInformationSource::Mail, "mailto:taro@example.jp"},
        {"taro@example.jp", TInformationSource::Mail, "mailto:taro@example.jp"},
        {"Example News http://news.example.com/a?b=1", TInformationSource::Web,
         "http://news.example.com/a?b=1"},
        {"Taro Yamada", TInformationSource::Invalid, ""},
        {"", TInformationSource::Invalid, ""},
    };
    for (const Case& c : cases) {
        const TInformationSource source = InformationSourceOf(c.from);
        EXPECT_EQ(source.kind, c.kind) << c.from;
        EXPECT_EQ(source.target, c.target) << c.from;
    }
}
