#include <QtTest>

#include "shell/DateFormat.h"

// The process's date globals: short date "mm/dd/yyyy", English month abbreviations in
// calendar order.
class TestDateFormat : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { dateformat::InstallDateGlobals(); }

    void globalsAreSet() {
        QCOMPARE(dateformat::Globals().shortDateFormat, QStringLiteral("mm/dd/yyyy"));
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
};

QTEST_GUILESS_MAIN(TestDateFormat)
#include "tst_dateformat.moc"
