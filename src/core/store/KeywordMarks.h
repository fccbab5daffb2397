#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The article view's keyword marking and the small text rules of the keyword box and the
// Notes field. Texts are cp932 byte strings; offsets and lengths count bytes.

struct TKeywordMatch {
    std::size_t offset = 0;  // byte offset of the match
    std::size_t length = 0;  // byte length of the keyword matched
};

// The earliest occurrence of any keyword in text[from, from + count) (clipped to the text;
// `from` must be a character boundary). Keywords match as the store's search matches them:
// ASCII letters without regard to case, double-byte characters whole, never across two
// characters. On equal offsets the keyword earlier in the list wins. Empty keywords are
// never found. Nothing when no keyword occurs.
std::optional<TKeywordMatch> FindEarliestKeyword(std::string_view text, std::size_t from,
                                                 std::size_t count,
                                                 const std::vector<std::string>& keywords);

// The keyword list of the article view from a text: one keyword per line (CR LF, LF or CR
// ends a line); an empty text gives an empty list.
std::vector<std::string> KeywordLines(std::string_view text);

// "Add Search Key": the keyword box after adding `selected` as one more keyword.
std::string AddSearchKey(std::string_view keywordBox, std::string_view selected);

// "Add to Note" and "Keyword Paste": `text` in front of the old Notes, a blank between.
std::string PrependToNotes(std::string_view notes, std::string_view text);
