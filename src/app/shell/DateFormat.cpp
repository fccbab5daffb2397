#include "shell/DateFormat.h"

namespace dateformat {

namespace {

FormatSettings gSettings;

// Counts how many times ch repeats at position i.
int RunLength(const QString& pattern, qsizetype i) {
    int n = 0;
    const QChar ch = pattern[i].toLower();
    while (i + n < pattern.size() && pattern[i + n].toLower() == ch)
        ++n;
    return n;
}

QString Padded(int value, int width) {
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

}  // namespace

void InstallDateGlobals() {
    gSettings.shortDateFormat = QStringLiteral("mm/dd/yyyy");
    gSettings.shortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}

const FormatSettings& Globals() {
    return gSettings;
}

QString FormatDateTime(const QString& pattern, const QDateTime& dateTime) {
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    QString out;
    bool afterHour = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar ch = pattern[i].toLower();
        const int n = RunLength(pattern, i);
        if (ch == QLatin1Char('d')) {
            out += n >= 2 ? Padded(date.day(), 2) : QString::number(date.day());
            i += qMin(n, 2);
        } else if (ch == QLatin1Char('m') && afterHour) {
            out += n >= 2 ? Padded(time.minute(), 2) : QString::number(time.minute());
            i += qMin(n, 2);
            afterHour = false;
        } else if (ch == QLatin1Char('m')) {
            if (n >= 3) {
                const int month = date.month();
                if (month >= 1 && month <= gSettings.shortMonthNames.size())
                    out += gSettings.shortMonthNames[month - 1];
                i += 3;
            } else {
                out += n == 2 ? Padded(date.month(), 2) : QString::number(date.month());
                i += n;
            }
        } else if (ch == QLatin1Char('y')) {
            out += n >= 3 ? Padded(date.year(), 4) : Padded(date.year() % 100, 2);
            i += n >= 3 ? qMin(n, 4) : qMin(n, 2);
        } else if (ch == QLatin1Char('h')) {
            out += n >= 2 ? Padded(time.hour(), 2) : QString::number(time.hour());
            i += qMin(n, 2);
            afterHour = true;
            continue;
        } else if (ch == QLatin1Char('n')) {
            out += n >= 2 ? Padded(time.minute(), 2) : QString::number(time.minute());
            i += qMin(n, 2);
        } else if (ch == QLatin1Char('s')) {
            out += n >= 2 ? Padded(time.second(), 2) : QString::number(time.second());
            i += qMin(n, 2);
        } else {
            out += pattern[i];
            ++i;
            if (ch != QLatin1Char(':') && ch != QLatin1Char(' '))
                afterHour = false;
            continue;
        }
        afterHour = false;
    }
    return out;
}

QString FormatShortDate(const QDate& date) {
    return FormatDateTime(gSettings.shortDateFormat, QDateTime(date, QTime(0, 0)));
}

}  // namespace dateformat
