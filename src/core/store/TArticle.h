#pragma once

#include <optional>
#include <string>

#include "store/TTimestamp.h"

// One article record as the store hands it out and takes it back: the eight fields of
// every table (doc/store-schema.md). Texts are cp932 byte strings; an empty text is an
// empty field.
struct TArticle {
    long long MessageID = 0;
    std::optional<long long> Rank;   // empty when the user never rated it
    std::optional<TTimestamp> Date;  // empty when the record has no date
    std::string From;
    std::string Newsgroup;
    std::string Subject;
    std::string Notes;
    std::string Article;

    // Field sizes in bytes; longer texts are cut at a character boundary when stored.
    static constexpr std::size_t kFromSize = 70;
    static constexpr std::size_t kNewsgroupSize = 60;
    static constexpr std::size_t kSubjectSize = 85;
    static constexpr std::size_t kNotesSize = 80;

    // The record with its alpha fields cut to their sizes.
    TArticle Cut() const;

    bool operator==(const TArticle&) const = default;
};
