#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <memory>

#include "base/Abort.h"
#include "base/EError.h"
#include "core/store/StoreTestSupport.h"

using namespace storetest;

namespace {

class InjectedFailure : public EError {
  public:
    InjectedFailure() : EError("injected") {}
};

// Fails the transfer after `rows` rows.
std::function<void()> FailAfter(int rows) {
    auto count = std::make_shared<int>(0);
    return [count, rows] {
        if (++*count == rows)
            throw InjectedFailure();
    };
}

}  // namespace

class TransferTest : public StoreFixture {
  protected:
    // The main table with MessageIDs 1..10 (subjects m1..m10).
    void FillMainToTen() {
        for (int i = 1; i <= 10; ++i)
            dmod.AppendLogRecord(Rec("m" + std::to_string(i)));
        dmod.PostAll();
        dmod.ResetTempTables();
    }
    std::vector<std::string> MainSubjects() { return Subjects(ReadTable(File("News"))); }
    std::vector<std::string> LogSubjects(const std::string& table = "tmpdb") {
        return Subjects(ReadTable(File(table)));
    }
};

TEST_F(TransferTest, PostingThreeRowsAfterIdTenGivesElevenToThirteen) {
    FillMainToTen();
    dmod.OpenMainTable("News");
    EXPECT_EQ(dmod.LastID(), 10);
    AppendLog({"a", "b", "c"});
    dmod.PostAll();
    std::vector<TArticle> recent = RowsOf(dmod.Search());
    EXPECT_EQ(Ids(recent), (std::vector<long long>{11, 12, 13}));
    EXPECT_EQ(Subjects(recent), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(dmod.Search().kind(), TSearchResult::Kind::RecentlyAdded);
    EXPECT_EQ(dmod.LastID(), 13);
    EXPECT_EQ(dmod.Search().Current(), 2);  // the last row
    // The log keeps its rows until the caller resets the temporary tables.
    EXPECT_EQ(dmod.Log().Rows().Count(), 3);
}

TEST_F(TransferTest, RecentlyAddedShowsOnlyThisTransferAfterDeletedTopRows) {
    FillMainToTen();
    // Rows 9 and 10 go: the next IDs still follow 10, and the view shows only the new rows.
    dmod.OpenMainTable("News");
    TSqlConnection raw(File("News"), false);
    raw.Exec("DELETE FROM articles WHERE MessageID >= 9");
    AppendLog({"x"});
    dmod.PostAll();
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{11}));
}

TEST_F(TransferTest, PostingTwiceStoresTwice) {
    AppendLog({"a", "b"});
    dmod.PostAll();
    dmod.PostAll();
    EXPECT_EQ(MainSubjects(), (std::vector<std::string>{"a", "b", "a", "b"}));
    EXPECT_EQ(Ids(RowsOf(dmod.Search())), (std::vector<long long>{3, 4}));
}

TEST_F(TransferTest, PostingInSubjectOrderAppendsInThatOrder) {
    AppendLog({"delta", "alpha", "charlie", "bravo"});
    dmod.Log().SetOrder(TLogView::Order::Subject);
    dmod.PostAll();
    EXPECT_EQ(MainSubjects(), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}));
}

TEST_F(TransferTest, PostingCopiesEveryFieldButTheMessageID) {
    TRecordFields r = Rec("subject", "2001/6/12 10:20:30", "notes", "article", "from", "group");
    dmod.AppendLogRecord(r);
    TArticle edited = dmod.Log().Rows().Row(0);
    edited.Rank = 4;
    dmod.UpdateLogRow(edited);
    FillMainToTen();  // posts the row above too
    TArticle stored = ReadTable(File("News")).front();
    EXPECT_EQ(stored.MessageID, 1);
    EXPECT_EQ(stored.Rank, 4);
    EXPECT_EQ(stored.Date->ToText(), "2001-06-12 10:20:30");
    EXPECT_EQ(stored.From, "from");
    EXPECT_EQ(stored.Newsgroup, "group");
    EXPECT_EQ(stored.Subject, "subject");
    EXPECT_EQ(stored.Notes, "notes");
    EXPECT_EQ(stored.Article, "article");
}

TEST_F(TransferTest, PostAllTakesOnlyFilteredRows) {
    AppendLog({"Tokyo one", "Osaka", "TOKYO two"});
    ASSERT_TRUE(dmod.Log().SetTextFilter(TLogView::Filter::Subject, "tokyo"));
    dmod.PostAll();
    EXPECT_EQ(MainSubjects(), (std::vector<std::string>{"Tokyo one", "TOKYO two"}));
}

TEST_F(TransferTest, CopyAndMoveSelectedFollowTheGivenOrderAndSkipVanishedRows) {
    AppendLog({"a", "b", "c", "d"});
    dmod.CopySelected({3, 99, 1});
    EXPECT_EQ(MainSubjects(), (std::vector<std::string>{"c", "a"}));
    EXPECT_EQ(LogSubjects().size(), 4u);
    dmod.MoveSelected({2, 4});
    EXPECT_EQ(MainSubjects(), (std::vector<std::string>{"c", "a", "b", "d"}));
    EXPECT_EQ(LogSubjects(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(Subjects(RowsOf(dmod.Search())), (std::vector<std::string>{"b", "d"}));
    EXPECT_EQ(dmod.Log().Rows().Count(), 2);
}

TEST_F(TransferTest, DeleteSelectedAndFiltered) {
    AppendLog({"keep", "drop 1", "drop 2", "keep too"});
    dmod.DeleteSelected({1});
    EXPECT_EQ(LogSubjects(), (std::vector<std::string>{"drop 1", "drop 2", "keep too"}));
    dmod.Log().SetTextFilter(TLogView::Filter::Subject, "drop");
    dmod.DeleteFiltered();
    EXPECT_EQ(dmod.Log().Rows().Count(), 0);  // the log as filtered is empty
    dmod.Log().ReleaseFilter();
    EXPECT_EQ(LogSubjects(), (std::vector<std::string>{"keep too"}));
    EXPECT_TRUE(MainSubjects().empty());
}

TEST_F(TransferTest, MoveFilteredPostsThenDeletes) {
    AppendLog({"x1", "y", "x2"});
    dmod.Log().SetTextFilter(TLogView::Filter::Subject, "X");
    dmod.MoveFiltered();
    EXPECT_EQ(MainSubjects(), (std::vector<std::string>{"x1", "x2"}));
    EXPECT_EQ(LogSubjects(), (std::vector<std::string>{"y"}));
    EXPECT_FALSE(dmod.CloseLogIfEmpty());
}

TEST_F(TransferTest, MovingEveryRowOutOfALogDatabaseResetsTheLog) {
    dmod.CreateMainTable("Inbox");
    AppendLog({"i1", "i2"});
    dmod.PostAll();
    dmod.ResetTempTables();
    dmod.OpenMainTable("News");
    dmod.OpenLogTable("Inbox");
    dmod.KeywordSearch("i",
                       TSearchOptions{TSearchMethod::Initial, TSearchField::SubjectOrNotes, false});
    EXPECT_FALSE(dmod.LogIsTemporary());
    EXPECT_EQ(dmod.Log().Rows().Count(), 2);
    dmod.MoveSelected({1, 2});
    EXPECT_TRUE(dmod.CloseLogIfEmpty());
    EXPECT_TRUE(dmod.LogIsTemporary());
    EXPECT_EQ(dmod.LogTableName(), "");
    EXPECT_EQ(dmod.Log().Rows().Count(), 0);
    EXPECT_TRUE(ReadTable(File("Inbox")).empty());
    EXPECT_EQ(MainSubjects(), (std::vector<std::string>{"i1", "i2"}));
    EXPECT_EQ(dmod.QueryResultRowCount(), 0);
    // The posted rows are still shown (the recently-added view reads the main table).
    EXPECT_EQ(dmod.Search().Count(), 2);
}

TEST_F(TransferTest, AFailureInTheMiddleOfATransferLeavesEveryTableUnchanged) {
    FillMainToTen();
    AppendLog({"a", "b", "c", "d"});
    auto main = ReadTable(File("News"));
    auto log = ReadTable(File("tmpdb"));
    long long lastId = dmod.LastID();

    struct Step {
        const char* name;
        std::function<void()> run;
    } steps[] = {
        {"post all", [&] { dmod.PostAll(); }},
        {"copy selected",
         [&] {
             dmod.CopySelected({1, 2, 3});
         }},
        {"move selected",
         [&] {
             dmod.MoveSelected({1, 2, 3});
         }},
        {"delete selected",
         [&] {
             dmod.DeleteSelected({1, 2, 3});
         }},
        {"delete filtered", [&] { dmod.DeleteFiltered(); }},
        {"move filtered", [&] { dmod.MoveFiltered(); }},
    };
    for (const Step& step : steps) {
        dmod.SetRowHook(FailAfter(2));
        EXPECT_THROW(step.run(), InjectedFailure) << step.name;
        dmod.SetRowHook(nullptr);
        EXPECT_EQ(ReadTable(File("News")), main) << step.name;
        EXPECT_EQ(ReadTable(File("tmpdb")), log) << step.name;
        EXPECT_EQ(dmod.LastID(), lastId) << step.name;
        EXPECT_EQ(dmod.Log().Rows().Count(), 4) << step.name;
    }
    // Moving fails at its very last step (the deletions come after the copies).
    dmod.SetRowHook(FailAfter(6));
    EXPECT_THROW(dmod.MoveSelected({1, 2, 3}), InjectedFailure);
    EXPECT_EQ(ReadTable(File("News")), main);
    EXPECT_EQ(ReadTable(File("tmpdb")), log);
}

TEST_F(TransferTest, AbandonedTransferIsUndone) {
    AppendLog({"a", "b", "c"});
    std::atomic<bool> stop{false};
    AbortScope scope(&stop);
    dmod.SetRowHook([&] { stop = true; });
    EXPECT_THROW(dmod.PostAll(), EAborted);
    EXPECT_TRUE(ReadTable(File("News")).empty());
}

namespace {

// Runs `body` in a child process that dies without any cleanup (as a crash or power loss
// would end the program) and waits for it.
void RunAndDie(const std::function<void()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        try {
            body();
        } catch (...) {
        }
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

}  // namespace

TEST(TransferCrash, NoRecordIsLostWhereverTheProgramDies) {
    // A log database of five rows, moved into the main table by a process that dies in
    // the middle (after 3 of 5 copies, after all copies, during the deletions), or right
    // after the commit. Afterwards each record is in exactly one of the two tables.
    for (int dieAfter : {3, 5, 7, 10, 0}) {
        testsupport::TempDir dir;
        {
            TDMod setup;
            setup.OpenFolder(dir.str());
            setup.CreateMainTable("Inbox");
            for (int i = 1; i <= 5; ++i)
                setup.AppendLogRecord(Rec("r" + std::to_string(i)));
            setup.PostAll();
            setup.CreateMainTable("News");
        }
        RunAndDie([&] {
            TDMod dmod;
            dmod.OpenFolder(dir.str());
            dmod.OpenMainTable("News");
            dmod.OpenLogTable("Inbox");
            int rows = 0;
            dmod.SetRowHook([&] {
                if (++rows == dieAfter)
                    _exit(0);
            });
            dmod.MoveSelected({1, 2, 3, 4, 5});
            _exit(0);  // committed; dies before anything else
        });
        TDMod after;
        after.OpenFolder(dir.str());
        after.OpenMainTable("News");
        after.OpenLogTable("Inbox");
        std::vector<std::string> inbox = Subjects(ReadTable(dir.file("Inbox.db")));
        std::vector<std::string> news = Subjects(ReadTable(dir.file("News.db")));
        if (dieAfter == 0) {
            EXPECT_TRUE(inbox.empty());
            EXPECT_EQ(news.size(), 5u);
        } else {
            EXPECT_EQ(inbox.size(), 5u) << "died after " << dieAfter;
            EXPECT_TRUE(news.empty()) << "died after " << dieAfter;
        }
    }
}
