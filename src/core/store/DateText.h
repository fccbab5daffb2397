#pragma once

#include <optional>
#include <string_view>

#include "store/TTimestamp.h"

// Reading the date texts that reach the store (see doc/store-schema.md, "Date texts").
//
// ReadDateText accepts, with blanks (space, tab) allowed before and after:
//   y/m/d             the converters' form, e.g. "2001/6/12"; a trailing blank (as a mail
//                     date without a time leaves) is fine
//   m/d/yyyy          the short date form, e.g. "06/12/2001"; taken when the last field has
//                     three or four digits and the first at most two
//   yyyy-mm-dd        the stored form (and brevilo-cli's)
// each optionally followed by blanks and a time h:n or h:n:s, which may carry an AM/PM
// marker (any letter case, "A.M."/"P.M." too) with or without a blank before it. With a
// marker the hour is 0-12: 12 AM is midnight, 12 PM noon.
// A year written with one or two digits is put in the century that places it within 50
// years of `currentYear` (years from currentYear-50 to currentYear+49); one written with
// three or four digits is taken as it stands (1-9999). Impossible dates (2001/2/29) and
// anything else give nullopt.
std::optional<TTimestamp> ReadDateText(std::string_view text, int currentYear);

// The short date format "mm/dd/yyyy" alone (a Date search keyword): month, day and year
// separated by "/", one or two digits for month and day, a two-digit year windowed as above.
std::optional<TTimestamp> ReadShortDate(std::string_view text, int currentYear);

// Like the functions above but throwing EConvertError("'<text>' is not a valid date").
TTimestamp DateTextToTimestamp(std::string_view text, int currentYear);
TTimestamp ShortDateToTimestamp(std::string_view text, int currentYear);

// A year written with one or two digits, placed by the 50-year window around currentYear.
int WindowTwoDigitYear(int year, int currentYear);

// The current year of the local calendar.
int CurrentYear();
