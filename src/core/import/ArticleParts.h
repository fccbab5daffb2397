#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "base/TRecordFields.h"

// The last step every converter shares: an article is handed over as one record, or cut at
// line ends into parts of about kArticlePartBytes when it is longer.

inline constexpr std::size_t kArticlePartBytes = 49152;  // 0xC000

// Takes the next part off the front of `text`. A text longer than kArticlePartBytes gives
// its first kArticlePartBytes bytes plus the rest of the line they end in; the CR LF that
// ends that line is dropped, so the next part starts on a new line. Otherwise the whole text
// is the part and `text` becomes empty. When no line end follows the first kArticlePartBytes
// bytes, the part ends at the last character boundary at or before kArticlePartBytes, so a
// double-byte character is never split; the parts always join back to the original bytes.
std::string NextArticlePart(std::string& text);

// Hands over the record in `fields` with `article` as its text. Up to kArticlePartBytes
// bytes: Article = article, one call of onRecord, `article` left as it is. Longer: one
// record per part, Subject = the original subject + " (" + n + ")"; afterwards `article`
// holds what was not handed over (empty unless a stop came first) and Subject keeps the
// last part's suffix. `stopRequested` is tested before every record (onRecord may set it);
// when it is true nothing more is handed over.
void PostArticle(TRecordFields& fields, std::string& article,
                 const std::function<bool()>& stopRequested, const std::function<void()>& onRecord);
