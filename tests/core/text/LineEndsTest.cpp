#include "text/LineEnds.h"

#include <gtest/gtest.h>

TEST(LineEnds, EveryLineEndBecomesCrLf) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb", "a\r\nb"},
        {"a\n\nb", "a\r\n\r\nb"},
        {"a\r\r\nb", "a\r\n\r\nb"},
        {"a\n\r\nb\r", "a\r\n\r\nb\r\n"},
        {"\x82\xa0\n", "\x82\xa0\r\n"},  // あ
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithCrLfLineEnds(c.in), c.out) << c.in;
}
