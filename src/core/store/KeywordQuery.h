#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/TSearchOptions.h"
#include "store/TSqlCondition.h"

// The keyword search's syntax and the conditions it builds (doc/store-schema.md,
// "Keyword search").

// Splits the keyword box at "&": each keyword is trimmed of blanks and control bytes, loses
// one leading and one trailing double quote; the list is sorted without regard to ASCII
// letter case and holds each keyword once (the first spelling stays).
// Throws EError("Input keyword") for an empty box and EError("Invalid keyword") for an
// empty keyword (also one that was only a double quote).
std::vector<std::string> ParseKeywords(std::string_view box);

// The condition over one article table for `keywords` (all must match) in `field`.
// For Date, Rank and MessageID each keyword is an operator (=, <, >, <=, >=) and a value;
// a bad operator throws EError("Invalid keyword"), a bad value EConvertError. A Date value
// is a short date (mm/dd/yyyy); "=" selects that whole day.
TSqlCondition BuildKeywordCondition(const std::vector<std::string>& keywords, TSearchField field,
                                    int currentYear);

// The subject search's condition: the phrase in Subject or Notes (no "&" splitting).
TSqlCondition BuildSubjectCondition(std::string_view phrase);

// The text a Subject yields for the subject search and the Subject filter: what follows
// its last colon, trimmed of blanks ("Re: Re: Tokyo news" -> "Tokyo news"); the whole
// Subject when it has no colon.
std::string SubjectSearchText(std::string_view subject);
