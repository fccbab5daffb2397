#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/EError.h"
#include "store/EConvertError.h"
#include "store/KeywordQuery.h"

namespace {

using Keywords = std::vector<std::string>;

std::string errorOf(const std::string& box) {
    try {
        ParseKeywords(box);
    } catch (const EError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(KeywordSyntax, SplitsTrimsUnquotesSortsAndDropsDuplicates) {
    struct Case {
        const char* box;
        Keywords expected;
    } cases[] = {
        {"tokyo", {"tokyo"}},
        {"tokyo & osaka", {"osaka", "tokyo"}},
        {"a & a", {"a"}},
        {"Tokyo & tokyo", {"Tokyo"}},
        {"tokyo & Tokyo & osaka", {"osaka", "tokyo"}},
        {"\"tokyo news\"", {"tokyo news"}},
        {"  \"New York\"  &x", {"New York", "x"}},
        {"\"half", {"half"}},
        {"half\"", {"half"}},
        {"\"\"a\"\"", {"\"a\""}},  // only one quote comes off each end
        {"O'Neil", {"O'Neil"}},
        {"b&B&a&A", {"a", "b"}},
        {"tokyo&", {"tokyo"}},  // a last "&" opens no further keyword
        {"\t tab \t", {"tab"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseKeywords(c.box), c.expected) << c.box;
}

TEST(KeywordSyntax, RejectsEmptyAndBareQuoteKeywords) {
    EXPECT_EQ(errorOf(""), "Input keyword");
    for (const char* box : {" ", "\"", " \" ", "a & ", "a && b", "& a", "&", "a&&", "a & \""})
        EXPECT_EQ(errorOf(box), "Invalid keyword") << box;
}

TEST(KeywordCondition, TextFieldsBindTheKeywordLiterally) {
    TSqlCondition c = BuildKeywordCondition({"osaka", "O'Neil"}, TSearchField::Article, 2025);
    EXPECT_EQ(c.sql, "(brevilo_match(Article, ?1)) AND (brevilo_match(Article, ?2))");
    ASSERT_EQ(c.values.size(), 2u);
    EXPECT_EQ(std::get<std::string>(c.values[1]), "O'Neil");

    c = BuildKeywordCondition({"x"}, TSearchField::SubjectOrNotes, 2025);
    EXPECT_EQ(c.sql, "(brevilo_match(Subject, ?1) OR brevilo_match(Notes, ?1))");
    EXPECT_EQ(BuildKeywordCondition({"x"}, TSearchField::From, 2025).sql,
              "(brevilo_match(\"From\", ?1))");
    EXPECT_EQ(BuildKeywordCondition({"x"}, TSearchField::Newsgroups, 2025).sql,
              "(brevilo_match(Newsgroup, ?1))");
}

TEST(KeywordCondition, OperatorsForRankAndMessageID) {
    struct Case {
        const char* keyword;
        const char* sql;
        long long value;
    } cases[] = {
        {">=3", "(Rank >= ?1)", 3},   {">3", "(Rank > ?1)", 3}, {"> 3", "(Rank > ?1)", 3},
        {"<=  7", "(Rank <= ?1)", 7}, {"=5", "(Rank = ?1)", 5}, {"= 5", "(Rank = ?1)", 5},
        {"<-2", nullptr, 0},
    };
    for (const auto& c : cases) {
        if (!c.sql) {
            EXPECT_THROW(BuildKeywordCondition({c.keyword}, TSearchField::Rank, 2025), EError)
                << c.keyword;
            continue;
        }
        TSqlCondition cond = BuildKeywordCondition({c.keyword}, TSearchField::Rank, 2025);
        EXPECT_EQ(cond.sql, c.sql) << c.keyword;
        EXPECT_EQ(std::get<long long>(cond.values.at(0)), c.value) << c.keyword;
    }
    EXPECT_EQ(BuildKeywordCondition({">=10"}, TSearchField::MessageID, 2025).sql,
              "(MessageID >= ?1)");
}

TEST(KeywordCondition, RejectsBadOperatorsAsInvalidKeyword) {
    for (const char* keyword : {"3", "=>3", "=<3", "<>3", "=", ">", "x3", "==3", "=x"}) {
        try {
            BuildKeywordCondition({keyword}, TSearchField::Rank, 2025);
            ADD_FAILURE() << keyword;
        } catch (const EConvertError&) {
            ADD_FAILURE() << keyword << " gave a conversion error";
        } catch (const EError& e) {
            EXPECT_STREQ(e.what(), "Invalid keyword") << keyword;
        }
    }
}

TEST(KeywordCondition, BadValuesGiveConversionErrors) {
    try {
        BuildKeywordCondition({">=x"}, TSearchField::Rank, 2025);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    EXPECT_THROW(BuildKeywordCondition({"=99999999999"}, TSearchField::MessageID, 2025),
                 EConvertError);
    try {
        BuildKeywordCondition({"=13/45/2000"}, TSearchField::Date, 2025);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'13/45/2000' is not a valid date");
    }
}

TEST(KeywordCondition, DateEqualsIsOneWholeDay) {
    TSqlCondition c = BuildKeywordCondition({"=01/05/2000"}, TSearchField::Date, 2025);
    EXPECT_EQ(c.sql, "(Date >= ?1 AND Date < ?2)");
    EXPECT_EQ(std::get<std::string>(c.values[0]), "2000-01-05 00:00:00");
    EXPECT_EQ(std::get<std::string>(c.values[1]), "2000-01-06 00:00:00");

    c = BuildKeywordCondition({"=12/31/1999"}, TSearchField::Date, 2025);
    EXPECT_EQ(std::get<std::string>(c.values[1]), "2000-01-01 00:00:00");

    c = BuildKeywordCondition({"<01/05/2000", ">=01/01/99"}, TSearchField::Date, 2025);
    EXPECT_EQ(c.sql, "(Date < ?1) AND (Date >= ?2)");
    EXPECT_EQ(std::get<std::string>(c.values[1]), "1999-01-01 00:00:00");
}

TEST(SubjectText, TakesWhatFollowsTheLastColon) {
    EXPECT_EQ(SubjectSearchText("Re: Re: Tokyo news"), "Tokyo news");
    EXPECT_EQ(SubjectSearchText("Re: Weekly report"), "Weekly report");
    EXPECT_EQ(SubjectSearchText("No colon here "), "No colon here ");
    EXPECT_EQ(SubjectSearchText("Ends with:  "), "");
}
