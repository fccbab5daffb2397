#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <filesystem>
#include <vector>

#include "TestSupport.h"
#include "store/DateText.h"
#include "store/EConvertError.h"
#include "text/TextUtil.h"

namespace {

constexpr int kYear = 2025;  // the window then runs from 1975 to 2074

struct Case {
    const char* text;
    const char* expected;  // stored form, or nullptr when the text must be refused
};

std::string read(const char* text) {
    auto t = ReadDateText(text, kYear);
    return t ? t->ToText() : "<none>";
}

}  // namespace

TEST(DateText, ReadsTheConvertersForms) {
    const Case cases[] = {
        {"2001/6/12", "2001-06-12 00:00:00"},
        {"2001/6/12 ", "2001-06-12 00:00:00"},  // ConvertMailDate without a time
        {"2001/6/12 10:20", "2001-06-12 10:20:00"},
        {"2001/6/12 10:20:30", "2001-06-12 10:20:30"},
        {"2001/06/02 01:02:03", "2001-06-02 01:02:03"},
        {"2001/6/12 10:20:30 PM", "2001-06-12 22:20:30"},  // mail date keeps " PM"
        {"2001/6/12 10:20:00PM", "2001-06-12 22:20:00"},   // pattern date glues it on
        {"2001/6/12 10:20:30 pm", "2001-06-12 22:20:30"},
        {"2001/6/12 10:20 AM", "2001-06-12 10:20:00"},
        {"2001/6/12 12:00:00 AM", "2001-06-12 00:00:00"},
        {"2001/6/12 12:00:00 PM", "2001-06-12 12:00:00"},
        {"2001/6/12 9:05:00 P.M.", "2001-06-12 21:05:00"},
        {"  2001/6/12 10:20:30  ", "2001-06-12 10:20:30"},
        {"2000/2/29", "2000-02-29 00:00:00"},
        {"9999/12/31 23:59:59", "9999-12-31 23:59:59"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read(c.text), c.expected) << c.text;
}

TEST(DateText, ReadsTheShortDateAndStoredForms) {
    const Case cases[] = {
        {"06/12/2001", "2001-06-12 00:00:00"},  // what "#D" writes
        {"6/12/2001 10:20:30", "2001-06-12 10:20:30"},  {"12/31/1999", "1999-12-31 00:00:00"},
        {"2001-06-12 10:20:30", "2001-06-12 10:20:30"}, {"2001-06-12", "2001-06-12 00:00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read(c.text), c.expected) << c.text;
}

TEST(DateText, PlacesTwoDigitYearsWithinFiftyYears) {
    const Case cases[] = {
        {"01/6/12", "2001-06-12 00:00:00"},
        {"75/1/1", "1975-01-01 00:00:00"},  // the window's first year
        {"74/1/1", "2074-01-01 00:00:00"},  // its last
        {"99/12/31", "1999-12-31 00:00:00"},
        {"0/1/1", "2000-01-01 00:00:00"},
        {"5/1/1", "2005-01-01 00:00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read(c.text), c.expected) << c.text;
    EXPECT_EQ(WindowTwoDigitYear(30, 1980), 1930);
    EXPECT_EQ(WindowTwoDigitYear(29, 1980), 2029);
    EXPECT_EQ(ReadDateText("01/6/12", 1940)->year, 1901);  // window 1890-1989
}

TEST(DateText, RefusesWhatItCannotRead) {
    const char* bad[] = {
        "",
        "   ",
        "2001",
        "2001/6",
        "2001/13/1",
        "2001/2/29",  // not a leap year
        "2001/4/31",
        "2001/6/0",
        "0000/1/1",
        "2001/6/12 24:00:00",
        "2001/6/12 10:60:00",
        "2001/6/12 10:20:60",
        "2001/6/12 13:00:00 PM",
        "2001/6/12 10",
        "2001/6/12 10:20:30 XM",
        "2001/6/12x",
        "// 10:20:00PM",  // a pattern without date fields
        "20011/6/12",
        "2001/6/12/1",
        "2001-6-12-1",
        "01-06-12",
        "Tue, 12 Jun 2001",
        "2001/\x82\x50/12",  // a full-width digit １
        "2001/6/12\r\n",
    };
    for (const char* text : bad)
        EXPECT_FALSE(ReadDateText(text, kYear).has_value()) << text;
}

TEST(DateText, ShortDateIsMonthDayYearOnly) {
    EXPECT_EQ(ReadShortDate("01/05/2000", kYear)->ToText(), "2000-01-05 00:00:00");
    EXPECT_EQ(ReadShortDate("1/5/00", kYear)->ToText(), "2000-01-05 00:00:00");
    EXPECT_EQ(ReadShortDate(" 12/31/1999 ", kYear)->ToText(), "1999-12-31 00:00:00");
    EXPECT_FALSE(ReadShortDate("2000/01/05", kYear));
    EXPECT_FALSE(ReadShortDate("13/01/2000", kYear));
    EXPECT_FALSE(ReadShortDate("01/05/2000 10:00", kYear));
    EXPECT_FALSE(ReadShortDate("02/30/2000", kYear));
}

TEST(DateText, ConversionErrorNamesTheText) {
    try {
        DateTextToTimestamp("2001/13/45", kYear);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'2001/13/45' is not a valid date");
    }
    EXPECT_THROW(ShortDateToTimestamp("x", kYear), EConvertError);
}

TEST(Timestamp, StoredFormRoundTripsAndOrders) {
    auto t = TTimestamp::FromText("2000-02-29 23:59:59");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->ToText(), "2000-02-29 23:59:59");
    EXPECT_EQ(t->NextDay().ToText(), "2000-03-01 00:00:00");
    EXPECT_EQ(TTimestamp::FromText("1999-12-31 10:00:00")->NextDay().ToText(),
              "2000-01-01 00:00:00");
    EXPECT_FALSE(TTimestamp::FromText("2001-02-29 00:00:00"));
    EXPECT_FALSE(TTimestamp::FromText("2001-02-28"));
    EXPECT_LT(*TTimestamp::FromText("2001-02-28 00:00:00"),
              *TTimestamp::FromText("2001-02-28 00:00:01"));
}

TEST(DateText, ReadsTheDatesOfTheCorpusMail) {
    BREVILO_REQUIRE_CORPUS(corpus);
    int converted = 0, read = 0;
    std::vector<std::string> unread;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".eml")
            continue;
        std::string mail = testsupport::ReadFile(entry.path().string());
        std::size_t at = mail.rfind("\nDate:", mail.find("\r\n\r\n"));
        if (at == std::string::npos)
            continue;
        std::size_t end = mail.find('\n', at + 1);
        std::string value =
            mail.substr(at + 6, end == std::string::npos ? std::string::npos : end - at - 6);
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n'))
            value.pop_back();
        std::string text = ConvertMailDate(value);
        if (text.empty())
            continue;
        ++converted;
        if (ReadDateText(text, kYear))
            ++read;
        else
            unread.push_back(text);
    }
    // What the converter makes of a mail Date header, the store reads back; a few headers
    // in the wild carry malformed times.
    EXPECT_GE(read * 100, converted * 95)
        << converted - read << " unread, e.g. " << (unread.empty() ? "" : unread.front());
}
