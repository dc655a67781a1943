#include "workweek/WorkingCalendar.h"

#include "ReferenceCalendar.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>

using namespace ambrel;
using testing::weekFromText;

namespace {
// Monday 3 June 2024 and the days around it.
const QDate kMonday(2024, 6, 3);
const QDate kWednesday(2024, 6, 5);
const QDate kFriday(2024, 6, 7);
const QDate kSaturday(2024, 6, 8);
const QDate kSunday(2024, 6, 9);

WorkingCalendar calendarOf(const QString &week, bool applies)
{
    return WorkingCalendar(weekFromText(week.toLatin1().constData()), applies);
}
} // namespace

class TestWorkingCalendar : public QObject {
    Q_OBJECT

private slots:
    void isWorkingDay_data();
    void isWorkingDay();
    void addWorkingDays_data();
    void addWorkingDays();
    void matchesDayByDay_data();
    void matchesDayByDay();
    void hugeStepsTakeNoTime_data();
    void hugeStepsTakeNoTime();
    void weekWithoutWorkingDayAnswersAtOnce();
};

void TestWorkingCalendar::isWorkingDay_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("working");

    QTest::newRow("Mon-Fri: Friday") << "1111100" << true << kFriday << true;
    QTest::newRow("Mon-Fri: Saturday") << "1111100" << true << kSaturday << false;
    QTest::newRow("Sunday only: Sunday") << "0000001" << true << kSunday << true;
    QTest::newRow("Sunday only: Monday") << "0000001" << true << kMonday << false;
    QTest::newRow("value 2 is a day off") << "1121100" << true << kWednesday << false;
    QTest::newRow("unticked: empty week, every day counts") << "0000000" << false << kSunday << true;
}

void TestWorkingCalendar::isWorkingDay()
{
    QFETCH(QString, week);
    QFETCH(bool, applies);
    QFETCH(QDate, date);
    QFETCH(bool, working);
    QCOMPARE(calendarOf(week, applies).IsWorkingDay(date), working);
}

void TestWorkingCalendar::addWorkingDays_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QDate>("result");

    QTest::newRow("Friday + 1 is Monday") << "1111100" << true << kFriday << qint64(1) << QDate(2024, 6, 10);
    QTest::newRow("Saturday + 1 is Monday")
        << "1111100" << true << kSaturday << qint64(1) << QDate(2024, 6, 10);
    QTest::newRow("Monday - 1 is Friday before")
        << "1111100" << true << kMonday << qint64(-1) << QDate(2024, 5, 31);
    QTest::newRow("Sunday + 0 stays a Sunday") << "1111100" << true << kSunday << qint64(0) << kSunday;
    QTest::newRow("Monday + 5 is next Monday")
        << "1111100" << true << kMonday << qint64(5) << QDate(2024, 6, 10);
    QTest::newRow("Monday only, Monday + 1")
        << "1000000" << true << kMonday << qint64(1) << QDate(2024, 6, 10);
    QTest::newRow("Sunday only, Monday - 1")
        << "0000001" << true << kMonday << qint64(-1) << QDate(2024, 6, 2);
    QTest::newRow("unticked, + 10 calendar days")
        << "1111100" << false << kFriday << qint64(10) << QDate(2024, 6, 17);
}

void TestWorkingCalendar::addWorkingDays()
{
    QFETCH(QString, week);
    QFETCH(bool, applies);
    QFETCH(QDate, date);
    QFETCH(qint64, n);
    QFETCH(QDate, result);
    QCOMPARE(calendarOf(week, applies).AddWorkingDays(date, n), result);
}

void TestWorkingCalendar::matchesDayByDay_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("applies");

    for (const char *week : { "1111100", "1111110", "0111110", "1010100", "0101011", "1000000", "0000001",
             "0001000", "1111111", "1100011" })
        QTest::newRow(week) << QString::fromLatin1(week) << true;
    QTest::newRow("unticked") << "1111100" << false;
    QTest::newRow("value 2 is a day off") << "1121100" << true;
}

void TestWorkingCalendar::matchesDayByDay()
{
    QFETCH(QString, week);
    QFETCH(bool, applies);
    const WorkingWeekFlags flags = weekFromText(week.toLatin1().constData());
    const WorkingCalendar calendar(flags, applies);

    QRandomGenerator random(20240603);
    const qint64 first = QDate(1900, 1, 1).toJulianDay();
    const qint64 last = QDate(2100, 12, 31).toJulianDay();
    for (int i = 0; i < 1500; ++i) {
        const QDate date = QDate::fromJulianDay(first + qint64(random.bounded(quint32(last - first))));
        // Mostly small steps, where the walked remainder matters, and some of a few thousand.
        const qint64 n = i % 3 == 0 ? qint64(random.bounded(-4000, 4001)) : qint64(random.bounded(-15, 16));
        const QDate expected = testing::referenceAddWorkingDays(flags, applies, date, n);
        const QDate actual = calendar.AddWorkingDays(date, n);
        if (actual != expected)
            QFAIL(qPrintable(QStringLiteral("%1 %2 working days: %3, day by day %4")
                                 .arg(date.toString(Qt::ISODate))
                                 .arg(n)
                                 .arg(actual.toString(Qt::ISODate), expected.toString(Qt::ISODate))));
        QCOMPARE(calendar.IsWorkingDay(date), testing::referenceIsWorkingDay(flags, applies, date));
    }
}

void TestWorkingCalendar::hugeStepsTakeNoTime_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QDate>("result");

    // From Monday 3 June 2024; one working day a week moves a whole week per working day.
    const qint64 max32 = std::numeric_limits<qint32>::max();
    QTest::newRow("Monday only, +2^31-1")
        << "1000000" << max32 << QDate::fromJulianDay(kMonday.toJulianDay() + 7 * max32);
    QTest::newRow("Monday only, -2^31")
        << "1000000" << -max32 - 1 << QDate::fromJulianDay(kMonday.toJulianDay() - 7 * (max32 + 1));
    QTest::newRow("beyond every date") << "1111100" << std::numeric_limits<qint64>::max() << QDate();
    QTest::newRow("before every date") << "1111100" << std::numeric_limits<qint64>::min() << QDate();
    QTest::newRow("unticked, beyond every date") << "" << std::numeric_limits<qint64>::max() << QDate();
}

void TestWorkingCalendar::hugeStepsTakeNoTime()
{
    QFETCH(QString, week);
    QFETCH(qint64, n);
    QFETCH(QDate, result);
    const WorkingCalendar calendar = calendarOf(week, !week.isEmpty());
    QCOMPARE(calendar.AddWorkingDays(kMonday, n), result);
}

void TestWorkingCalendar::weekWithoutWorkingDayAnswersAtOnce()
{
    const WorkingCalendar calendar = calendarOf(QStringLiteral("0000000"), true);
    QVERIFY(!calendar.hasWorkingDay());
    QVERIFY(!calendar.IsWorkingDay(kMonday));
    QVERIFY(!calendar.AddWorkingDays(kMonday, 1).isValid());
    QCOMPARE(calendar.AddWorkingDays(kMonday, 0), kMonday);
}

QTEST_APPLESS_MAIN(TestWorkingCalendar)
#include "tst_workingcalendar.moc"
