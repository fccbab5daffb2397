#include <gtest/gtest.h>

#include "base/EError.h"
#include "core/store/StoreTestSupport.h"
#include "store/EConvertError.h"

using namespace storetest;

namespace {

TSearchOptions Options(TSearchField field, TSearchMethod method = TSearchMethod::Initial,
                       bool orderByDate = false) {
    return TSearchOptions{method, field, orderByDate};
}

}  // namespace

class SearchTest : public StoreFixture {
  protected:
    void SetUp() override {
        StoreFixture::SetUp();
        struct Row {
            const char* subject;
            const char* date;
            const char* notes;
            const char* article;
        } rows[] = {
            {"Tokyo news", "2000/1/5 00:00:00", "", "Tokyo and Osaka"},       // 1
            {"Osaka news", "2000/1/5 23:59:59", "tokyo", "only osaka here"},  // 2
            {"Weather", "2000/1/6 00:00:00", "", "Mr. O'Neil said 50%_off"},  // 3
            {"Sports", "2000/1/4 23:59:59", "", "nothing"},                   // 4
            {"Old", "", "", "TOKYO in capitals"},                             // 5
        };
        for (const Row& r : rows)
            dmod.AppendLogRecord(Rec(r.subject, r.date, r.notes, r.article));
        dmod.PostAll();
        dmod.ResetTempTables();
        SetRank(1, 3);
        SetRank(2, 5);
        SetRank(3, 2);
    }
    void SetRank(long long id, long long rank) {
        TSqlConnection raw(File("News"), false);
        TSqlStatement st = raw.Prepare("UPDATE articles SET Rank = ?1 WHERE MessageID = ?2");
        st.Bind(1, rank).Bind(2, id).Run();
    }
    std::vector<long long> Search(const std::string& box, TSearchOptions options) {
        dmod.KeywordSearch(box, options);
        return Ids(RowsOf(dmod.Search()));
    }
    std::string ErrorOf(const std::string& box, TSearchOptions options) {
        try {
            dmod.KeywordSearch(box, options);
        } catch (const EError& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(SearchTest, ArticleSearchIgnoresCaseAndNeedsEveryKeyword) {
    EXPECT_EQ(Search("tokyo", Options(TSearchField::Article)), (std::vector<long long>{1, 5}));
    EXPECT_EQ(Search("tokyo & osaka", Options(TSearchField::Article)), (std::vector<long long>{1}));
    EXPECT_EQ(dmod.Search().articleKeywords(), (std::vector<std::string>{"osaka", "tokyo"}));
    EXPECT_EQ(Search("a & a", Options(TSearchField::Article)).size(), 4u);
    EXPECT_EQ(Search("Tokyo & tokyo", Options(TSearchField::Article)),
              (std::vector<long long>{1, 5}));
    EXPECT_EQ(dmod.Search().articleKeywords(), (std::vector<std::string>{"Tokyo"}));
    EXPECT_EQ(Search("\"tokyo and\"", Options(TSearchField::Article)), (std::vector<long long>{1}));
    EXPECT_EQ(dmod.Search().kind(), TSearchResult::Kind::Search);
}

TEST_F(SearchTest, QuotesAndWildcardsAreSearchedLiterally) {
    EXPECT_EQ(Search("O'Neil", Options(TSearchField::Article)), (std::vector<long long>{3}));
    EXPECT_EQ(Search("50%_off", Options(TSearchField::Article)), (std::vector<long long>{3}));
    EXPECT_TRUE(Search("50%off", Options(TSearchField::Article)).empty());
    EXPECT_TRUE(Search("%", Options(TSearchField::Article)) == std::vector<long long>{3});
}

TEST_F(SearchTest, SubjectOrNotesLooksInBoth) {
    EXPECT_EQ(Search("tokyo", Options(TSearchField::SubjectOrNotes)),
              (std::vector<long long>{1, 2}));
    EXPECT_TRUE(dmod.Search().articleKeywords().empty());
}

TEST_F(SearchTest, DateEqualsSelectsOneWholeDay) {
    EXPECT_EQ(Search("=01/05/2000", Options(TSearchField::Date)), (std::vector<long long>{1, 2}));
    EXPECT_EQ(Search(">=01/05/2000", Options(TSearchField::Date)),
              (std::vector<long long>{1, 2, 3}));
    EXPECT_EQ(Search("<01/05/2000", Options(TSearchField::Date)), (std::vector<long long>{4}));
}

TEST_F(SearchTest, RankOperatorsAndTheirErrors) {
    EXPECT_EQ(Search(">=3", Options(TSearchField::Rank)), (std::vector<long long>{1, 2}));
    EXPECT_EQ(Search(">3", Options(TSearchField::Rank)), (std::vector<long long>{2}));
    EXPECT_EQ(Search("> 3", Options(TSearchField::Rank)), (std::vector<long long>{2}));
    EXPECT_EQ(Search(">1 & <5", Options(TSearchField::Rank)), (std::vector<long long>{1, 3}));
    EXPECT_EQ(Search("<=2", Options(TSearchField::MessageID)), (std::vector<long long>{1, 2}));
    auto before = Ids(RowsOf(dmod.Search()));
    auto tmpout = ReadTable(File("tmpout"));
    EXPECT_EQ(ErrorOf("3", Options(TSearchField::Rank)), "Invalid keyword");
    EXPECT_EQ(ErrorOf("=>3", Options(TSearchField::Rank)), "Invalid keyword");
    EXPECT_EQ(ErrorOf(">=x", Options(TSearchField::Rank)), "'x' is not a valid integer value");
    EXPECT_EQ(ErrorOf("", Options(TSearchField::Rank)), "Input keyword");
    EXPECT_EQ(ErrorOf("a & ", Options(TSearchField::Article)), "Invalid keyword");
    // No query ran: the result shown and "tmpout" stay as they were.
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), before);
    EXPECT_EQ(ReadTable(File("tmpout")), tmpout);
}

TEST_F(SearchTest, ResultIsCopiedIntoTmpoutWithMainTableIds) {
    Search("news", Options(TSearchField::SubjectOrNotes));
    auto tmpout = ReadTable(File("tmpout"));
    EXPECT_EQ(Ids(tmpout), (std::vector<long long>{1, 2}));
    EXPECT_EQ(tmpout[1].Article, "only osaka here");
    EXPECT_EQ(dmod.QueryResultRowCount(), 2);
    EXPECT_EQ(dmod.SearchCounterText(), "2 of 5");
}

TEST_F(SearchTest, NarrowingSearchesOnlyThePreviousHitsAndRecycleTheMemory) {
    Search("tokyo", Options(TSearchField::Article));  // 1, 5
    EXPECT_EQ(Search("osaka", Options(TSearchField::Article, TSearchMethod::Narrowing)),
              (std::vector<long long>{1}));
    EXPECT_EQ(Ids(ReadTable(File("tmpout"))), (std::vector<long long>{1}));
    // Ranks compared on rows without a Rank do not hold, also when narrowing.
    Search("o", Options(TSearchField::Article));
    EXPECT_EQ(Search(">0", Options(TSearchField::Rank, TSearchMethod::Narrowing)),
              (std::vector<long long>{1, 2, 3}));

    Search("news", Options(TSearchField::SubjectOrNotes));
    dmod.SetMemoryPosition();
    EXPECT_EQ(Ids(ReadTable(File("tmpmem"))), (std::vector<long long>{1, 2}));
    Search("weather", Options(TSearchField::SubjectOrNotes));
    EXPECT_EQ(Search("osaka", Options(TSearchField::SubjectOrNotes, TSearchMethod::Recycle)),
              (std::vector<long long>{2}));
}

TEST_F(SearchTest, OrderByDatePutsUndatedRowsFirst) {
    EXPECT_EQ(Search("o", Options(TSearchField::Article, TSearchMethod::Initial, true)),
              (std::vector<long long>{5, 4, 1, 2, 3}));
}

TEST_F(SearchTest, SubjectSearchTakesTheTextAfterTheLastColon) {
    EXPECT_EQ(dmod.SubjectSearchForSubject("Re: Re: Tokyo news"), "Tokyo news");
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{1}));
    dmod.SubjectSearch("TOKYO");
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{1, 2}));
    try {
        dmod.SubjectSearchForSubject("");
        FAIL();
    } catch (const EError& e) {
        EXPECT_STREQ(e.what(), "Invalid Subject");
    }
    dmod.SubjectSearch("O'Neil & co");  // one phrase, no "&" splitting
    EXPECT_EQ(dmod.Search().Count(), 0);
}

TEST_F(SearchTest, SavingAnEditedSubjectUpdatesMainTmpoutAndTmpmem) {
    Search("news", Options(TSearchField::SubjectOrNotes));
    dmod.SetMemoryPosition();
    TArticle row = dmod.Search().Row(1);
    row.Subject = "Osaka report";
    row.MessageID = 777;  // the MessageID cannot be changed
    dmod.Search().EditRow(1, row);
    EXPECT_TRUE(dmod.Search().HasPendingChanges());
    EXPECT_EQ(dmod.Search().Row(1).Subject, "Osaka report");
    EXPECT_EQ(ReadTable(File("News"))[1].Subject, "Osaka news");  // cached only
    dmod.SaveChanges();
    EXPECT_FALSE(dmod.Search().HasPendingChanges());
    for (const char* table : {"News", "tmpout", "tmpmem"}) {
        auto rows = ReadTable(File(table));
        auto it = std::find_if(rows.begin(), rows.end(),
                               [](const TArticle& a) { return a.MessageID == 2; });
        ASSERT_NE(it, rows.end()) << table;
        EXPECT_EQ(it->Subject, "Osaka report") << table;
    }
    EXPECT_EQ(dmod.Search().Row(1).Subject, "Osaka report");
}

TEST_F(SearchTest, DeletingAResultRowIsCachedUntilSaved) {
    Search("news", Options(TSearchField::SubjectOrNotes));
    dmod.Search().DeleteRow(0);
    EXPECT_EQ(dmod.Search().Count(), 1);
    EXPECT_EQ(ReadTable(File("News")).size(), 5u);
    dmod.Search().DiscardChanges();
    EXPECT_EQ(dmod.Search().Count(), 2);
    dmod.Search().DeleteRow(0);
    dmod.SaveChanges();
    EXPECT_EQ(Ids(ReadTable(File("News"))), (std::vector<long long>{2, 3, 4, 5}));
    EXPECT_EQ(Ids(ReadTable(File("tmpout"))), (std::vector<long long>{2}));
    EXPECT_EQ(dmod.Search().Count(), 1);
}

TEST_F(SearchTest, AFailedSaveChangesNothing) {
    Search("news", Options(TSearchField::SubjectOrNotes));
    TArticle row = dmod.Search().Row(0);
    row.Subject = "changed";
    dmod.Search().EditRow(0, row);
    dmod.Search().DeleteRow(1);
    auto main = ReadTable(File("News"));
    int calls = 0;
    dmod.SetRowHook([&] {
        if (++calls == 2)
            throw EError("injected");
    });
    EXPECT_THROW(dmod.SaveChanges(), EError);
    dmod.SetRowHook(nullptr);
    EXPECT_EQ(ReadTable(File("News")), main);
    EXPECT_TRUE(dmod.Search().HasPendingChanges());
}

TEST_F(SearchTest, AddPutsTheKeywordBeforeNotesUnlessAlreadyThere) {
    Search("o", Options(TSearchField::Article));
    dmod.AddKeywordToNotes({1, 2, 3}, "tokyo");
    EXPECT_EQ(dmod.Search().Row(0).Notes, "tokyo");
    EXPECT_EQ(dmod.Search().Row(1).Notes, "tokyo");  // already held it
    dmod.AddKeywordToNotes({2}, "Tokyo");            // case-sensitive test
    EXPECT_EQ(dmod.Search().Row(1).Notes, "Tokyo tokyo");
    EXPECT_THROW(dmod.AddKeywordToNotes({1}, ""), EError);
}

TEST_F(SearchTest, SaveSearchResultsMakesANewKeyedTable) {
    Search("news", Options(TSearchField::SubjectOrNotes));
    testsupport::WriteFile(dir.file("Saved.VAL"), "x");
    dmod.SaveSearchResults("Saved");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Saved.VAL")));
    EXPECT_TRUE(dmod.IsArticleTable("Saved"));
    auto saved = ReadTable(File("Saved"));
    EXPECT_EQ(Subjects(saved), (std::vector<std::string>{"Tokyo news", "Osaka news"}));
    EXPECT_EQ(Ids(saved), (std::vector<long long>{1, 2}));
    auto errorOf = [&](const std::string& name) {
        try {
            dmod.SaveSearchResults(name);
        } catch (const EError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(errorOf(""), "Invalid database name");
    EXPECT_EQ(errorOf("saved"), "Database name already exsits");
    EXPECT_EQ(errorOf("a/b"), "Invalid database name");
}

TEST_F(SearchTest, PagingMovesByAHundredRows) {
    TDMod::LogBatch batch(dmod);
    for (int i = 0; i < 300; ++i)
        dmod.AppendLogRecord(Rec("p" + std::to_string(i)));
    batch.Commit();
    dmod.PostAll();  // IDs 6..305
    dmod.OpenMainTable("News");
    EXPECT_EQ(dmod.FirstID(), 1);
    EXPECT_EQ(dmod.LastID(), 305);
    EXPECT_TRUE(dmod.CanPriorPage());
    EXPECT_FALSE(dmod.CanNextPage());
    dmod.PriorPage();  // 205..305, first row current
    EXPECT_EQ(dmod.Search().Count(), 101);
    EXPECT_EQ(dmod.Search().Row(dmod.Search().Current()).MessageID, 205);
    EXPECT_EQ(dmod.Search().kind(), TSearchResult::Kind::Page);
    dmod.PriorPage();  // 105..205
    dmod.PriorPage();  // 5..105
    dmod.PriorPage();  // near the start: every row from the first one
    EXPECT_EQ(dmod.Search().Row(0).MessageID, 1);
    EXPECT_EQ(dmod.Search().Count(), 5);
    EXPECT_FALSE(dmod.CanPriorPage());
    EXPECT_TRUE(dmod.CanNextPage());
    dmod.NextPage();  // 1..101, last row current
    EXPECT_EQ(dmod.Search().Row(dmod.Search().Current()).MessageID, 101);
    dmod.Search().SetCurrent(0);
    dmod.Search().Locate(101);
    dmod.NextPage();
    dmod.NextPage();
    dmod.NextPage();  // up to the last row
    EXPECT_EQ(dmod.Search().Row(dmod.Search().Current()).MessageID, 305);
    EXPECT_FALSE(dmod.CanNextPage());
}

TEST_F(SearchTest, SearchBookmarkGoesWithANewQuery) {
    Search("o", Options(TSearchField::Article));
    dmod.Search().SetCurrent(2);
    EXPECT_TRUE(dmod.Search().SetBookmark());
    EXPECT_EQ(dmod.Search().BookmarkID(), 3);
    dmod.Search().SetCurrent(0);
    EXPECT_TRUE(dmod.Search().GoToBookmark());
    EXPECT_EQ(dmod.Search().Current(), 2);
    Search("tokyo", Options(TSearchField::Article));
    EXPECT_EQ(dmod.Search().BookmarkID(), -1);
}

// The stepped search gives what KeywordSearch gives, whatever the step, and the result
// grows step by step.
TEST_F(SearchTest, SteppedSearchEndsWithTheSameRows) {
    struct Case {
        const char* box;
        TSearchOptions options;
    } cases[] = {
        {"tokyo", Options(TSearchField::Article)},
        {"tokyo", Options(TSearchField::Article, TSearchMethod::Initial, true)},
        {"news", Options(TSearchField::SubjectOrNotes)},
        {"absent", Options(TSearchField::Article)},
    };
    for (const Case& c : cases) {
        const std::vector<long long> whole = Search(c.box, c.options);
        for (long long step : {1LL, 2LL, 1000LL}) {
            ASSERT_TRUE(dmod.BeginKeywordSearch(c.box, c.options)) << c.box;
            EXPECT_EQ(dmod.Search().Count(), 0);
            long long steps = 0;
            while (dmod.ContinueSearch(step))
                ++steps;
            EXPECT_FALSE(dmod.SearchInProgress());
            EXPECT_EQ(Ids(RowsOf(dmod.Search())), whole) << c.box << " step " << step;
            EXPECT_EQ(steps, (5 + step - 1) / step - 1) << c.box;
        }
    }
}

TEST_F(SearchTest, SteppedSearchCanBeCancelledAndChecksItsKeywords) {
    ASSERT_TRUE(dmod.BeginKeywordSearch("tokyo", Options(TSearchField::Article)));
    EXPECT_TRUE(dmod.ContinueSearch(2));  // rows 1 and 2: one hit
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{1}));
    dmod.CancelSearch();
    EXPECT_FALSE(dmod.ContinueSearch());
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{1}));
    // Narrowing what was found runs whole.
    EXPECT_FALSE(
        dmod.BeginKeywordSearch("osaka", Options(TSearchField::Article, TSearchMethod::Narrowing)));
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{1}));
    EXPECT_THROW(dmod.BeginKeywordSearch(" & ", Options(TSearchField::Article)), EError);
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{1}));
}
