#include "store/KeywordQuery.h"

#include <algorithm>

#include "base/EError.h"
#include "store/DateText.h"
#include "store/EConvertError.h"
#include "store/TTableFolder.h"
#include "text/TextUtil.h"

namespace {

bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isTrimmed(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isTrimmed(s.back()))
        s.remove_suffix(1);
    return s;
}

[[noreturn]] void invalidKeyword() {
    throw EError("Invalid keyword");
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Comparison {
    std::string op;
    std::string value;
};

// "=v", "<v", ">v", "<=v", ">=v" with optional blanks before v; the character after "=",
// "<" or ">" must be a blank or a digit (or "=" after "<" and ">").
Comparison readComparison(std::string_view keyword) {
    if (keyword.size() < 2)
        invalidKeyword();
    char first = keyword[0], second = keyword[1];
    Comparison c;
    std::size_t valueAt = 1;
    if (first == '=') {
        if (second != ' ' && !isDigit(second))
            invalidKeyword();
        c.op = "=";
    } else if (first == '<' || first == '>') {
        c.op = std::string(1, first);
        if (second == '=') {
            c.op += '=';
            valueAt = 2;
        } else if (second != ' ' && !isDigit(second)) {
            invalidKeyword();
        }
    } else {
        invalidKeyword();
    }
    std::string_view value = keyword.substr(valueAt);
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    c.value = std::string(value);
    return c;
}

long long readIntegerValue(const std::string& value) {
    long v = 0;
    if (!ReadInteger(value, v))
        throw EConvertError("'" + value + "' is not a valid integer value");
    return v;
}

}  // namespace

std::vector<std::string> ParseKeywords(std::string_view box) {
    if (box.empty())
        throw EError("Input keyword");
    std::vector<std::string> keywords;
    // A line break after the last keyword makes no further line, as in a list of lines:
    // "tokyo&" is one keyword; "tokyo& " and "tokyo&&" hold an empty one.
    if (box.size() > 1 && box.back() == '&')
        box.remove_suffix(1);
    std::size_t start = 0;
    while (true) {
        std::size_t amp = box.find('&', start);
        std::string_view line =
            trim(box.substr(start, amp == std::string_view::npos ? amp : amp - start));
        if (line.empty())
            invalidKeyword();
        if (line.front() == '"') {
            line.remove_prefix(1);
            if (line.empty())
                invalidKeyword();
        }
        if (line.back() == '"') {
            line.remove_suffix(1);
            if (line.empty())
                invalidKeyword();
        }
        bool duplicate = std::any_of(keywords.begin(), keywords.end(), [&](const std::string& k) {
            return TTableFolder::SameName(k, line);
        });
        if (!duplicate)
            keywords.emplace_back(line);
        if (amp == std::string_view::npos)
            break;
        start = amp + 1;
    }
    std::stable_sort(keywords.begin(), keywords.end(),
                     [](const std::string& a, const std::string& b) {
                         return TTableFolder::LessNoCase(a, b) && !TTableFolder::SameName(a, b);
                     });
    return keywords;
}

TSqlCondition BuildKeywordCondition(const std::vector<std::string>& keywords, TSearchField field,
                                    int currentYear) {
    TSqlCondition where;
    for (const std::string& keyword : keywords) {
        TSqlCondition one;
        switch (field) {
            case TSearchField::SubjectOrNotes: {
                std::string p = one.Param(keyword);
                one.sql = "brevilo_match(Subject, " + p + ") OR brevilo_match(Notes, " + p + ")";
                break;
            }
            case TSearchField::Article:
                one.sql = "brevilo_match(Article, " + one.Param(keyword) + ")";
                break;
            case TSearchField::From:
                one.sql = "brevilo_match(\"From\", " + one.Param(keyword) + ")";
                break;
            case TSearchField::Newsgroups:
                one.sql = "brevilo_match(Newsgroup, " + one.Param(keyword) + ")";
                break;
            case TSearchField::Rank:
            case TSearchField::MessageID: {
                Comparison c = readComparison(keyword);
                long long v = readIntegerValue(c.value);
                one.sql = std::string(field == TSearchField::Rank ? "Rank " : "MessageID ") + c.op +
                          " " + one.Param(v);
                break;
            }
            case TSearchField::Date: {
                Comparison c = readComparison(keyword);
                TTimestamp day = ShortDateToTimestamp(c.value, currentYear);
                if (c.op == "=") {
                    std::string from = one.Param(day.ToText());
                    one.sql =
                        "Date >= " + from + " AND Date < " + one.Param(day.NextDay().ToText());
                } else {
                    one.sql = "Date " + c.op + " " + one.Param(day.ToText());
                }
                break;
            }
        }
        where.And(one);
    }
    return where;
}

TSqlCondition BuildSubjectCondition(std::string_view phrase) {
    TSqlCondition where;
    std::string p = where.Param(std::string(phrase));
    where.sql = "brevilo_match(Subject, " + p + ") OR brevilo_match(Notes, " + p + ")";
    return where;
}

std::string SubjectSearchText(std::string_view subject) {
    std::size_t colon = subject.rfind(':');
    if (colon == std::string_view::npos)
        return std::string(subject);
    return std::string(trim(subject.substr(colon + 1)));
}
