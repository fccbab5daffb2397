#include "script/TStatement.h"

#include <gtest/gtest.h>

namespace {

using Operand = TStatement::Operand;

struct Case {
    const char* line;
    char command;
    char op;
    Operand operand;
    const char* value;
};

}  // namespace

TEST(Statement, ParsesCommandOperatorAndOperand) {
    const Case cases[] = {
        {"S=\"abc\"", 'S', '=', Operand::String, "abc"},
        {"S \t= \t\"a b\"", 'S', '=', Operand::String, "a b"},
        {"A&\"x^y^\"", 'A', '&', Operand::String, "x\r\ny\r\n"},
        {"N=\"\"", 'N', '=', Operand::String, ""},
        {"F=\"a\"b\"", 'F', '=', Operand::String, "a\"b"},
        {"G={</td>}", 'G', '=', Operand::Pattern, "</td>"},
        {"D = {a^b;}", 'D', '=', Operand::Pattern, "a\r\nb;"},
        {"X={{}}", 'X', '=', Operand::Pattern, "{}"},
        {"Y=:end", 'Y', '=', Operand::Label, ":end"},
        {"Z&X", 'Z', '&', Operand::Temporary, "X"},
        {"?{<b>|<hr>}", '?', 0, Operand::Pattern, "<b>|<hr>"},
        {"! :mark", '!', 0, Operand::Label, ":mark"},
        {"+:loop", '+', 0, Operand::Label, ":loop"},
        {"-\t:end", '-', 0, Operand::Label, ":end"},
        {"+Y", '+', 0, Operand::Temporary, "Y"},
        {"%\"m d, y\"", '%', 0, Operand::String, "m d, y"},
        {"%Z", '%', 0, Operand::Temporary, "Z"},
        {"%:x", '%', 0, Operand::Label, ":x"},
        {"$:x", '$', 0, Operand::Label, ":x"},
        {"*X", '*', 0, Operand::Temporary, "X"},
        // A caret that is the trail byte of タ (83 5E) stays.
        {"S=\"\x83^^\"", 'S', '=', Operand::String, "\x83^\r\n"},
    };
    for (const Case& c : cases) {
        TStatement st = TStatement::Parse(c.line);
        EXPECT_TRUE(st.Sound()) << c.line << ": " << st.error;
        EXPECT_EQ(st.command, c.command) << c.line;
        EXPECT_EQ(st.op, c.op) << c.line;
        EXPECT_EQ(st.operand, c.operand) << c.line;
        EXPECT_EQ(st.value, c.value) << c.line;
    }
}

TEST(Statement, SyntaxErrorsKeepTheirDetail) {
    struct Bad {
        const char* line;
        const char* error;
    } cases[] = {
        {"", ": invalid command"},
        {"#R 3", "#: invalid command"},
        {"\tS=\"x\"", "\t: invalid command"},
        {"s=\"x\"", "s: invalid command"},
        {"\x82\xa0=\"x\"", "\x82\xa0: invalid command"},  // あ: the whole character
        {"S", "Invalid operator"},
        {"S\"x\"", "Invalid operator"},
        {"S=", "Incomplete expression"},
        {"S= ", "Incomplete expression"},
        {"S==\"x\"", "Incomplete expression"},
        {"S=1", "Incomplete expression"},
        {"S=XX", "XX: invalid temporary variable"},
        {"S=x", "x: invalid temporary variable"},
        {"S=Xylophone", "Xylophone: invalid temporary variable"},
        {"S=\"", "\"  delimiter not found"},
        {"S=\"abc\" ",
         "\"  delimiter not found"},  // as given: trailing blanks are not trimmed here
        {"S={", "}  delimiter not found"},
        {"S={abc", "}  delimiter not found"},
        {"S={abc}.", "}  delimiter not found"},
        {"S={\x83}", "}  delimiter not found"},  // マ (83 7D) does not close the pattern
        {"S={}", "Empty string in {}"},
        {"?=\"x\"", "Incomplete expression"},
        {"?\"x\"", "Incomplete expression"},
        {"!\"x\"", "Incomplete expression"},
        {"?Z", "Z: cannot search for a temporary variable"},
        {"+\"x\"", "Incomplete expression"},
        {"-{x}", "Incomplete expression"},
        {"%{m/d/y}", "Incomplete expression"},
        {"$\"\"", "Incomplete expression"},
        {"*{x}", "Incomplete expression"},
        {"$&X", "Incomplete expression"},
        {"+", "Incomplete expression"},
    };
    for (const Bad& c : cases) {
        TStatement st = TStatement::Parse(c.line);
        EXPECT_EQ(st.error, c.error) << c.line;
        EXPECT_EQ(st.operand, Operand::None) << c.line;
    }
}
