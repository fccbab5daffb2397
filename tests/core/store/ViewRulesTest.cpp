#include <gtest/gtest.h>

#include "store/ViewRules.h"

namespace {

TViewState State(bool noTable, bool logInUse, bool multiSelect, bool filterActive,
                 long long logRows, bool logIsTemporary = true) {
    return TViewState{noTable, logInUse, multiSelect, filterActive, logIsTemporary, logRows};
}

struct ButtonCase {
    const char* name;
    TViewState state;
    TLogButtons expected;  // import, filter, subject, delete, copy, move, write
};

class LogPageButtonsTest : public testing::TestWithParam<ButtonCase> {};

TEST_P(LogPageButtonsTest, FollowTheState) {
    EXPECT_EQ(LogPageButtons(GetParam().state), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    ViewRules, LogPageButtonsTest,
    testing::Values(ButtonCase{"NoTableEmptyLog",
                               State(true, false, false, false, 0),
                               {true, false, false, false, false, false, false}},
                    ButtonCase{"NoTableImportedLog",
                               State(true, true, false, false, 5),
                               {false, false, false, false, false, false, false}},
                    ButtonCase{"NoTableMultiSelect",
                               State(true, true, true, false, 5),
                               {false, false, false, true, false, false, false}},
                    ButtonCase{"TableEmptyLog",
                               State(false, false, false, false, 0),
                               {true, false, false, false, false, false, false}},
                    ButtonCase{"TableImportedLog",
                               State(false, true, false, false, 5),
                               {false, true, true, false, false, false, true}},
                    ButtonCase{"FilterStopsWriting",
                               State(false, true, false, true, 5),
                               {false, true, true, false, false, false, false}},
                    ButtonCase{"MultiSelectSelectedRowButtons",
                               State(false, true, true, false, 5),
                               {false, true, false, true, true, true, false}}),
    [](const testing::TestParamInfo<ButtonCase>& param) { return std::string(param.param.name); });

TEST(ViewRules, SearchDeleteSelectedFollowsMultiSelect) {
    EXPECT_TRUE(SearchDeleteSelectedEnabled(State(false, false, true, false, 0)));
    EXPECT_FALSE(SearchDeleteSelectedEnabled(State(false, true, false, false, 9)));
}

TEST(ViewRules, EditMenuWithAFilterOffersOnlyTheFilteredCommands) {
    TEditMenu filtered = EditMenuItems(State(false, true, false, true, 3));
    EXPECT_EQ(filtered, (TEditMenu{true, true, true, false, false, false, false, true}));
    // Without a main table the filtered rows can only be deleted.
    filtered = EditMenuItems(State(true, true, false, true, 3));
    EXPECT_EQ(filtered, (TEditMenu{false, false, true, false, false, false, false, true}));
}

TEST(ViewRules, EditMenuLogDatabaseCommands) {
    // Empty temporary log: only opening a log database.
    EXPECT_EQ(EditMenuItems(State(false, false, false, false, 0)),
              (TEditMenu{false, false, false, true, false, false, false, false}));
    // One row: closing, no arranging (nothing to order).
    EXPECT_EQ(EditMenuItems(State(false, true, false, false, 1)),
              (TEditMenu{false, false, false, false, true, false, false, true}));
    EXPECT_TRUE(EditMenuItems(State(false, true, false, false, 2)).arrangeLog);
    // A log database can be packed but not arranged.
    const TEditMenu logDb = EditMenuItems(State(false, true, false, false, 7, false));
    EXPECT_TRUE(logDb.packLog);
    EXPECT_FALSE(logDb.arrangeLog);
    EXPECT_FALSE(EditMenuItems(State(false, true, false, false, 0, false)).packLog);
}

TEST(ViewRules, FilterMenuItems) {
    EXPECT_EQ(FilterMenuItems(true, true), (TFilterMenu{true, false, false, true}));
    EXPECT_EQ(FilterMenuItems(false, true), (TFilterMenu{true, false, true, false}));
    EXPECT_EQ(FilterMenuItems(false, false), (TFilterMenu{true, true, false, false}));
}

TEST(ViewRules, SubjectFilterText) {
    EXPECT_EQ(SubjectFilterText("Re: Weekly report", ""), "Weekly report");
    EXPECT_EQ(SubjectFilterText("Fwd: Re: a:b  ", ""), "b");
    EXPECT_EQ(SubjectFilterText("  no colon\t", ""), "no colon");
    EXPECT_EQ(SubjectFilterText("Re:", ""), "");
    // The selection wins, untrimmed.
    EXPECT_EQ(SubjectFilterText("Re: Weekly report", " Weekly"), " Weekly");
    // A trail byte 0x3A does not exist in cp932, but a trail byte after a lead byte is
    // never taken for a colon: 0x81 0x46 is the full-width colon.
    EXPECT_EQ(SubjectFilterText("\x95\x5c\x81\x46 x", ""), "\x95\x5c\x81\x46 x");  // 表：x
    EXPECT_EQ(SubjectFilterText("a:\x95\x5c", ""), "\x95\x5c");
    // A lone lead byte at the end is one character.
    EXPECT_EQ(SubjectFilterText("a: b\x95", ""), "b\x95");
}

}  // namespace
