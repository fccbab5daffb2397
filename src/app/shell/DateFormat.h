#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The process's date formatting and parsing, set once at start-up by InstallDateGlobals:
// short date format "mm/dd/yyyy", two-digit years placed within 50 years of the current
// year, English month abbreviations. The date separator and time formats stay those of
// the system (":" between hours, minutes and seconds).
//
// Format patterns use the letters d, dd (day), m, mm (month), mmm (abbreviation),
// yy, yyyy (year), h, hh (hour), n, nn (minute), s, ss (second); "m" right after an hour
// means minutes. Any other character is copied. GUI thread only.
namespace dateformat {

struct FormatSettings {
    QString shortDateFormat;
    int twoDigitYearCenturyWindow = 0;
    QStringList shortMonthNames;
};

// Sets the globals; called once while the main window is built.
void InstallDateGlobals();

// The globals in force (empty before InstallDateGlobals).
const FormatSettings& Globals();

// Formats dateTime by pattern with the month abbreviations in force.
QString FormatDateTime(const QString& pattern, const QDateTime& dateTime);

// The date part in the short date format.
QString FormatShortDate(const QDate& date);

// The year of a two-digit year yy under the century window, seen from currentYear.
int ExpandTwoDigitYear(int yy, int currentYear);

// Reads a date in the short date format, optionally followed by a blank and a time
// "h:n" or "h:n:s". Nothing when the text is not such a date or names no real day.
std::optional<QDateTime> StrToDateTime(const QString& text);

}  // namespace dateformat
