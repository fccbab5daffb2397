#include "store/KeywordMarks.h"

#include <algorithm>

#include "store/TKeywordPattern.h"

std::optional<TKeywordMatch> FindEarliestKeyword(std::string_view text, std::size_t from,
                                                 std::size_t count,
                                                 const std::vector<std::string>& keywords) {
    if (from >= text.size())
        return std::nullopt;
    const std::string_view region = text.substr(0, from + std::min(count, text.size() - from));
    std::optional<TKeywordMatch> best;
    for (const std::string& keyword : keywords) {
        if (keyword.empty())
            continue;
        const std::size_t at = TKeywordPattern(keyword).Find(region, from);
        // Strictly smaller: on a tie the keyword earlier in the list stays.
        if (at != std::string_view::npos && (!best || at < best->offset))
            best = TKeywordMatch{at, keyword.size()};
    }
    return best;
}

std::vector<std::string> KeywordLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (start == text.size())
            break;
    }
    return lines;
}

std::string AddSearchKey(std::string_view keywordBox, std::string_view selected) {
    if (keywordBox.empty())
        return std::string(selected);
    return std::string(keywordBox) + " & " + std::string(selected);
}

std::string PrependToNotes(std::string_view notes, std::string_view text) {
    if (notes.empty())
        return std::string(text);
    return std::string(text) + " " + std::string(notes);
}
