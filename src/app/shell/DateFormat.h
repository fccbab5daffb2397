#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The process's date formatting, set once at start-up by InstallDateGlobals: short date
// format "mm/dd/yyyy", English month abbreviations. Dates are read only by the store
// (store/DateText.h), so the program has one rule for reading them. The date separator and time
// formats stay those of the system (":" between hours, minutes and seconds).
//
// Format patterns use the letters d, dd (day), m, mm (month), mmm (abbreviation),
// yy, yyyy (year), h, hh (hour), n, nn (minute), s, ss (second); "m" right after an hour
// means minutes. Any other character is copied. GUI thread only.
namespace dateformat {

struct FormatSettings {
    QString shortDateFormat;
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

}  // namespace dateformat
