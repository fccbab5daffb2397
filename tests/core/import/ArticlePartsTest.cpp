#include "import/ArticleParts.h"

#include <gtest/gtest.h>

namespace {

struct Posted {
    std::vector<TRecordFields> records;
    bool stop = false;
    int stopAfter = -1;

    void Post(TRecordFields& fields, std::string& article) {
        PostArticle(
            fields, article, [this] { return stop; },
            [&] {
                records.push_back(fields);
                if (stopAfter >= 0 && static_cast<int>(records.size()) >= stopAfter)
                    stop = true;
            });
    }
};

std::string Lines(std::size_t bytes, std::size_t lineLength) {
    std::string text;
    while (text.size() < bytes) {
        text.append(lineLength - 2, 'x');
        text += "\r\n";
    }
    text.resize(bytes);
    return text;
}

}  // namespace

TEST(ArticleParts, UpToTheLimitIsOneRecordAndTheTextStays) {
    TRecordFields fields;
    fields.Subject = "S";
    std::string article(kArticlePartBytes, 'a');
    Posted p;
    p.Post(fields, article);
    ASSERT_EQ(p.records.size(), 1u);
    EXPECT_EQ(p.records[0].Subject, "S");
    EXPECT_EQ(p.records[0].Article.size(), kArticlePartBytes);
    EXPECT_EQ(article.size(), kArticlePartBytes);
}

TEST(ArticleParts, EmptyArticleIsARecordToo) {
    TRecordFields fields;
    std::string article;
    Posted p;
    p.Post(fields, article);
    EXPECT_EQ(p.records.size(), 1u);
}

TEST(ArticleParts, OverTheLimitSplitsAfterTheNextLineBreak) {
    std::string article = Lines(kArticlePartBytes + 200, 100);
    const std::string original = article;
    TRecordFields fields;
    fields.Subject = "Mail";
    Posted p;
    p.Post(fields, article);
    ASSERT_EQ(p.records.size(), 2u);
    EXPECT_EQ(p.records[0].Subject, "Mail (1)");
    EXPECT_EQ(p.records[1].Subject, "Mail (2)");
    EXPECT_EQ(fields.Subject, "Mail (2)");
    EXPECT_TRUE(article.empty());
    const std::size_t cut = original.find("\r\n", kArticlePartBytes);
    EXPECT_EQ(p.records[0].Article, original.substr(0, cut));
    EXPECT_EQ(p.records[1].Article, original.substr(cut + 2));
}

TEST(ArticleParts, HundredThousandBytesGiveThreeRecords) {
    std::string article = Lines(100000, 80);
    TRecordFields fields{
        .From = "me", .Newsgroup = {}, .Subject = "Big", .Date = {}, .Article = {}, .Notes = {}};
    Posted p;
    p.Post(fields, article);
    ASSERT_EQ(p.records.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.records[i].Subject, "Big (" + std::to_string(i + 1) + ")");
        EXPECT_EQ(p.records[i].From, "me");
    }
}

TEST(ArticleParts, RestWithoutLineBreakStaysForTheNextPart) {
    std::string text(kArticlePartBytes + 10, 'z');
    std::string part = NextArticlePart(text);
    EXPECT_EQ(part.size(), kArticlePartBytes);
    EXPECT_EQ(text, std::string(10, 'z'));
    EXPECT_EQ(NextArticlePart(text), std::string(10, 'z'));
    EXPECT_TRUE(text.empty());
}

TEST(ArticleParts, CutWithoutLineBreakNeverSplitsADoubleByteCharacter) {
    // "x" puts every lead byte of the run on an odd offset, so byte 49 152 falls between
    // the lead and the trail byte of an あ.
    std::string original = "x";
    for (int i = 0; i < 30001; ++i)
        original += "\x82\xa0";  // あ
    std::string text = original;
    const std::string first = NextArticlePart(text);
    ASSERT_EQ(first.size(), kArticlePartBytes - 1);
    EXPECT_EQ(first.substr(first.size() - 2), "\x82\xa0");
    EXPECT_EQ(text.substr(0, 2), "\x82\xa0");
    EXPECT_EQ(first + text, original);
}

TEST(ArticleParts, LineBreakRightAtTheCutStartsTheNextPart) {
    std::string text = std::string(kArticlePartBytes, 'a') + "\r\nnext";
    EXPECT_EQ(NextArticlePart(text), std::string(kArticlePartBytes, 'a'));
    EXPECT_EQ(text, "next");
}

TEST(ArticleParts, StopEndsTheSplitAfterTheCurrentRecord) {
    std::string article = Lines(3 * kArticlePartBytes, 64);
    TRecordFields fields;
    Posted p;
    p.stopAfter = 1;
    p.Post(fields, article);
    EXPECT_EQ(p.records.size(), 1u);
    EXPECT_FALSE(article.empty());

    Posted stopped;
    stopped.stop = true;
    std::string small = "x";
    stopped.Post(fields, small);
    EXPECT_TRUE(stopped.records.empty());
}
