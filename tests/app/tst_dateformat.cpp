#include <QtTest>

#include "shell/DateFormat.h"

// The process's date globals: short date "mm/dd/yyyy", century window 50, English
// month abbreviations in calendar order.
class TestDateFormat : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { dateformat::InstallDateGlobals(); }

    void globalsAreSet() {
        QCOMPARE(dateformat::Globals().shortDateFormat, QStringLiteral("mm/dd/yyyy"));
        QCOMPARE(dateformat::Globals().twoDigitYearCenturyWindow, 50);
    }

    void mayFormatsWithMay() {
        const QDateTime when(QDate(2001, 5, 12), QTime(10, 20, 30));
        QCOMPARE(dateformat::FormatDateTime("d mmm yyyy hh:nn:ss", when),
                 QStringLiteral("12 May 2001 10:20:30"));
    }

    void monthAbbreviations_data() {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("name");
        const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        for (int m = 1; m <= 12; ++m)
            QTest::newRow(names[m - 1]) << m << QString(names[m - 1]);
    }
    void monthAbbreviations() {
        QFETCH(int, month);
        QFETCH(QString, name);
        QCOMPARE(dateformat::FormatDateTime("mmm", QDateTime(QDate(2020, month, 1), QTime())),
                 name);
    }

    void shortDate() {
        QCOMPARE(dateformat::FormatShortDate(QDate(2000, 1, 5)), QStringLiteral("01/05/2000"));
    }

    void minutesAfterHours() {
        const QDateTime when(QDate(2001, 5, 2), QTime(7, 4, 9));
        QCOMPARE(dateformat::FormatDateTime("m/d/yy h:mm:ss", when),
                 QStringLiteral("5/2/01 7:04:09"));
    }

    void centuryWindow_data() {
        QTest::addColumn<int>("yy");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("year");
        QTest::newRow("within the window") << 76 << 2026 << 1976;
        QTest::newRow("before the window") << 75 << 2026 << 2075;
        QTest::newRow("zero") << 0 << 2026 << 2000;
        QTest::newRow("old current year") << 99 << 2001 << 1999;
        QTest::newRow("boundary") << 51 << 2001 << 1951;
        QTest::newRow("below boundary") << 50 << 2001 << 2050;
    }
    void centuryWindow() {
        QFETCH(int, yy);
        QFETCH(int, current);
        QFETCH(int, year);
        QCOMPARE(dateformat::ExpandTwoDigitYear(yy, current), year);
    }

    void readsShortDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("date") << "01/05/2000" << QDateTime(QDate(2000, 1, 5), QTime(0, 0));
        QTest::newRow("short parts") << "1/5/2000" << QDateTime(QDate(2000, 1, 5), QTime(0, 0));
        QTest::newRow("with time")
            << "12/31/1999 23:59:58" << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58));
        QTest::newRow("hours and minutes")
            << "12/31/1999 7:05" << QDateTime(QDate(1999, 12, 31), QTime(7, 5));
    }
    void readsShortDates() {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const auto read = dateformat::StrToDateTime(text);
        QVERIFY(read.has_value());
        QCOMPARE(*read, expected);
    }

    void rejectsWhatIsNoDate_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("day first out of range") << "31/12/2000";
        QTest::newRow("February 30") << "02/30/2000";
        QTest::newRow("words") << "May 5 2000";
        QTest::newRow("bad time") << "01/05/2000 25:00";
        QTest::newRow("iso") << "2000-01-05";
    }
    void rejectsWhatIsNoDate() {
        QFETCH(QString, text);
        QVERIFY(!dateformat::StrToDateTime(text).has_value());
    }
};

QTEST_GUILESS_MAIN(TestDateFormat)
#include "tst_dateformat.moc"
