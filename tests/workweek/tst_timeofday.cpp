#include "workweek/TimeOfDay.h"

#include <QTest>

using namespace ambrel;

class TestTimeOfDay : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
};

void TestTimeOfDay::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("expected"); // invalid: the text is refused

    const QTime refused;
    QTest::newRow("hour choice") << "09:00 AM" << QTime(9, 0);
    QTest::newRow("one-digit hour") << "9:00 AM" << QTime(9, 0);
    QTest::newRow("hour alone with AM") << "9 AM" << QTime(9, 0);
    QTest::newRow("lower case, no blank") << "9:30pm" << QTime(21, 30);
    QTest::newRow("24-hour") << "17:00" << QTime(17, 0);
    QTest::newRow("24-hour with seconds") << "17:00:00" << QTime(17, 0);
    QTest::newRow("midnight, 24-hour") << "0:00" << QTime(0, 0);
    QTest::newRow("12 AM is midnight") << "12:00 AM" << QTime(0, 0);
    QTest::newRow("12:30 AM after midnight") << "12:30 AM" << QTime(0, 30);
    QTest::newRow("12 PM is noon") << "12 PM" << QTime(12, 0);
    QTest::newRow("12:30 PM after noon") << "12:30 PM" << QTime(12, 30);
    QTest::newRow("blanks around") << "  08:30 AM \t" << QTime(8, 30);
    QTest::newRow("narrow no-break space before PM") << QStringLiteral("5:00\u202FPM") << QTime(17, 0);

    QTest::newRow("words") << "half eight" << refused;
    QTest::newRow("empty") << "" << refused;
    QTest::newRow("hour 25") << "25:00" << refused;
    QTest::newRow("hour 24") << "24:00" << refused;
    QTest::newRow("13 PM") << "13 PM" << refused;
    QTest::newRow("0 AM") << "0 AM" << refused;
    QTest::newRow("17:00 PM") << "17:00 PM" << refused;
    QTest::newRow("minute 60") << "9:60" << refused;
    QTest::newRow("one-digit minute") << "9:5" << refused;
    QTest::newRow("bare hour") << "9" << refused;
    QTest::newRow("three-digit hour") << "009:00" << refused;
    QTest::newRow("dot instead of colon") << "9.30" << refused;
    QTest::newRow("dotted p.m.") << "9:30 p.m." << refused;
    QTest::newRow("AM before the hour") << "AM 9:00" << refused;
    QTest::newRow("sign") << "-9:00" << refused;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0669:\u0663\u0660") << refused;
    QTest::newRow("text after the time") << "09:00 AM CET" << refused;
}

void TestTimeOfDay::read()
{
    QFETCH(QString, text);
    QFETCH(QTime, expected);

    const std::optional<QTime> time = readTimeOfDay(text);
    if (!expected.isValid()) {
        QVERIFY2(!time, qPrintable(QStringLiteral("read as %1").arg(time->toString())));
        return;
    }
    QVERIFY(time.has_value());
    QCOMPARE(*time, expected);
}

QTEST_APPLESS_MAIN(TestTimeOfDay)
#include "tst_timeofday.moc"
