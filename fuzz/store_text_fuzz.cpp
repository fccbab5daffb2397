// The record store's readers of user text: date texts, the keyword box and its operator
// forms, and the keyword matcher. None may crash; failures are only the store's own
// errors; the matcher agrees with a plain search at character boundaries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/EError.h"
#include "store/DateText.h"
#include "store/KeywordQuery.h"
#include "store/TKeywordPattern.h"
#include "text/Cp932.h"

namespace {

char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The first match by brute force: every character boundary, byte-wise compare with ASCII
// letters folded where the keyword has a single-byte character.
std::size_t naiveFind(const std::string& text, const std::string& keyword) {
    if (keyword.empty())
        return 0;
    for (std::size_t at = 0; at + keyword.size() <= text.size(); at = cp932::nextChar(text, at)) {
        bool same = true;
        for (std::size_t k = 0; k < keyword.size() && same;) {
            std::size_t len = cp932::charLength(keyword, k);
            for (std::size_t b = k; b < k + len; ++b)
                same = same && (len == 1 ? fold(text[at + b]) == fold(keyword[b])
                                         : text[at + b] == keyword[b]);
            k += len;
        }
        if (same && cp932::isBoundary(text, at + keyword.size()))
            return at;
    }
    return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string in(reinterpret_cast<const char*>(data), size);
    if (auto t = ReadDateText(in, 2025)) {
        if (!t->IsValid() || !TTimestamp::FromText(t->ToText()))
            std::abort();
    }
    ReadShortDate(in, 2025);
    try {
        auto keywords = ParseKeywords(in);
        for (auto field : {TSearchField::Article, TSearchField::Date, TSearchField::Rank})
            try {
                BuildKeywordCondition(keywords, field, 2025);
            } catch (const EError&) {
            }
    } catch (const EError&) {
    }
    std::size_t cut = in.find('\n');
    if (cut != std::string::npos) {
        std::string keyword = in.substr(0, cut), text = in.substr(cut + 1);
        if (TKeywordPattern(keyword).Find(text) != naiveFind(text, keyword))
            std::abort();
    }
    return 0;
}
