#include <gtest/gtest.h>

#include "core/store/StoreTestSupport.h"
#include "store/KeywordQuery.h"

using namespace storetest;

class LogViewTest : public StoreFixture {
  protected:
    TLogView& log() { return dmod.Log(); }
    std::vector<std::string> Shown() { return Subjects(RowsOf(log().Rows())); }
};

TEST_F(LogViewTest, SubjectFilterMatchesWithoutLetterCaseAndCounts) {
    AppendLog({"Weekly report", "Other", "WEEKLY REPORT (2)", "weekly reports"});
    log().Rows().SetCurrent(1);
    EXPECT_EQ(log().CounterText(), "2 / 4");
    ASSERT_TRUE(
        log().SetTextFilter(TLogView::Filter::Subject, SubjectSearchText("Re: Weekly report")));
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"Weekly report", "WEEKLY REPORT (2)", "weekly reports"}));
    EXPECT_EQ(log().CounterText(), "3 of 4");
    log().ReleaseFilter();
    EXPECT_FALSE(log().FilterActive());
    EXPECT_EQ(log().CounterText(), "2 / 4");  // the row current when the filter was set
    EXPECT_FALSE(log().SetTextFilter(TLogView::Filter::Subject, ""));
    EXPECT_FALSE(log().FilterActive());
}

TEST_F(LogViewTest, FromAndGroupFiltersReadTheirFields) {
    dmod.AppendLogRecord(Rec("a", "", "", "", "Alice <a@x>", "fj.news"));
    dmod.AppendLogRecord(Rec("b", "", "", "", "Bob", "comp.lang"));
    log().SetTextFilter(TLogView::Filter::Group, "FJ.");
    EXPECT_EQ(Shown(), std::vector<std::string>{"a"});
    log().SetTextFilter(TLogView::Filter::From, "bob");
    EXPECT_EQ(Shown(), std::vector<std::string>{"b"});
}

TEST_F(LogViewTest, DateFiltersCompareTheWholeTimestamp) {
    dmod.AppendLogRecord(Rec("morning", "2001/6/12 09:00:00"));
    dmod.AppendLogRecord(Rec("noon", "2001/6/12 12:00:00"));
    dmod.AppendLogRecord(Rec("evening", "2001/6/12 18:00:00"));
    dmod.AppendLogRecord(Rec("undated"));
    TTimestamp noon{2001, 6, 12, 12, 0, 0};
    log().SetDateFilter(TLogView::Filter::DateOnOrBefore, noon);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"morning", "noon"}));
    log().SetDateFilter(TLogView::Filter::DateOnOrAfter, noon);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"noon", "evening"}));
}

TEST_F(LogViewTest, SelectionAndRangeFilters) {
    for (int i = 1; i <= 50; ++i)
        dmod.AppendLogRecord(Rec("r" + std::to_string(i)));
    log().SetSelectionFilter({3, 7});
    EXPECT_EQ(Shown(), (std::vector<std::string>{"r3", "r7"}));
    log().ReleaseFilter();
    // Bookmark on row 40, cursor on row 10: rows 10 to 40 stay.
    log().Rows().SetCurrent(39);
    ASSERT_TRUE(log().SetBookmark());
    EXPECT_EQ(log().BookmarkID(), 40);
    EXPECT_EQ(log().BookmarkRow(), 40);
    log().Rows().SetCurrent(9);
    ASSERT_TRUE(log().SetRangeFilter());
    EXPECT_EQ(log().Rows().Count(), 31);
    EXPECT_EQ(log().Rows().Row(0).Subject, "r10");
    EXPECT_EQ(log().Rows().Row(30).Subject, "r40");
    EXPECT_EQ(log().BookmarkID(), -1);  // the range used it up
    EXPECT_FALSE(log().SetRangeFilter());
}

TEST_F(LogViewTest, OrderingsKeepTheCurrentRow) {
    dmod.AppendLogRecord(Rec("c", "2001/1/3"));
    dmod.AppendLogRecord(Rec("a", "2001/1/1"));
    dmod.AppendLogRecord(Rec("b", "2001/1/2"));
    log().Rows().SetCurrent(1);  // "a"
    log().SetBookmark();
    log().SetOrder(TLogView::Order::Date);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(log().Rows().Current(), 0);
    EXPECT_EQ(log().BookmarkID(), -1);  // choosing an ordering clears the bookmark
    log().SetOrder(TLogView::Order::Import);
    EXPECT_EQ(log().Rows().Current(), 1);
    log().SetOrder(TLogView::Order::Subject);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(LogViewTest, ReleaseInAnotherOrderFindsTheFirstRowWithTheKey) {
    AppendLog({"b", "a", "b", "c"});
    log().SetOrder(TLogView::Order::Subject);  // a(2) b(1) b(3) c(4)
    log().Rows().SetCurrent(2);                // the second "b", MessageID 3
    log().SetTextFilter(TLogView::Filter::Subject, "c");
    log().ReleaseFilter();
    EXPECT_EQ(log().Rows().Current(), 1);  // the first "b"
    EXPECT_EQ(log().Rows().MessageIDAt(1), 1);
}

TEST_F(LogViewTest, AppendingInImportOrderKeepsTheListWithoutRereading) {
    AppendLog({"a"});
    EXPECT_EQ(log().Rows().Count(), 1);
    auto revision = log().Rows().Revision();
    AppendLog({"b", "c"});
    EXPECT_GT(log().Rows().Revision(), revision);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"a", "b", "c"}));
    log().SetTextFilter(TLogView::Filter::Subject, "b");
    AppendLog({"bb"});
    EXPECT_EQ(Shown(), (std::vector<std::string>{"b", "bb"}));
}

TEST_F(LogViewTest, ManyRowsAreReadPageByPage) {
    TDMod::LogBatch batch(dmod);
    for (int i = 0; i < 1000; ++i)
        dmod.AppendLogRecord(Rec("s" + std::to_string(i)));
    batch.Commit();
    TRecordView& rows = log().Rows();
    EXPECT_EQ(rows.Count(), 1000);
    EXPECT_EQ(rows.Row(999).Subject, "s999");
    EXPECT_EQ(rows.Row(0).Subject, "s0");
    EXPECT_EQ(rows.Row(500).Subject, "s500");
    EXPECT_EQ(rows.IndexOf(501), 500);
    EXPECT_TRUE(rows.Locate(700));
    EXPECT_EQ(rows.Current(), 699);
    EXPECT_FALSE(rows.Locate(5000));
}

TEST_F(LogViewTest, ResetClearsFilterAndBookmark) {
    AppendLog({"a", "b"});
    log().SetBookmark();
    log().SetTextFilter(TLogView::Filter::Subject, "a");
    dmod.ResetTempTables();
    EXPECT_FALSE(log().FilterActive());
    EXPECT_EQ(log().BookmarkID(), -1);
    EXPECT_EQ(log().Rows().Count(), 0);
}
