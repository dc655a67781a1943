#include "schedule/CalendarEvents.h"

#include "ReferenceCalendar.h"

#include <QTest>

using namespace ambrel;
using testing::weekFromText;

namespace {
const QDate kMonday(2024, 6, 3);
const QDate kThursday(2024, 6, 6);

// "first..last" per event.
QStringList runsOf(const std::vector<WorkingRun> &events)
{
    QStringList runs;
    for (const WorkingRun &run : events)
        runs << run.first.toString(Qt::ISODate) + QStringLiteral("..") + run.last.toString(Qt::ISODate);
    return runs;
}
} // namespace

class TestCalendarEvents : public QObject {
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void stopsAtTheEventLimit();
    void longTaskCostsEventsNotDays();
    void splitAroundDaysOff_data();
    void splitAroundDaysOff();
};

void TestCalendarEvents::runs_data()
{
    QTest::addColumn<QString>("week"); // empty: the box is unticked
    QTest::addColumn<QDate>("start");
    QTest::addColumn<double>("dayCount");
    QTest::addColumn<QStringList>("runs"); // "first..last" per event

    QTest::newRow("5 days from Thursday: two runs")
        << "1111100" << kThursday << 5.0
        << QStringList { "2024-06-06..2024-06-07", "2024-06-10..2024-06-12" };
    QTest::newRow("same, box unticked: one run")
        << "" << kThursday << 5.0 << QStringList { "2024-06-06..2024-06-10" };
    QTest::newRow("fits exactly up to Friday")
        << "1111100" << kMonday << 5.0 << QStringList { "2024-06-03..2024-06-07" };
    QTest::newRow("2.5 days place two")
        << "1111100" << kMonday << 2.5 << QStringList { "2024-06-03..2024-06-04" };
    QTest::newRow("half a day: no event") << "1111100" << kMonday << 0.5 << QStringList();
    QTest::newRow("negative: no event") << "1111100" << kMonday << -3.0 << QStringList();
    QTest::newRow("Sunday only: one event a week")
        << "0000001" << QDate(2024, 6, 2) << 3.0
        << QStringList { "2024-06-02..2024-06-02", "2024-06-09..2024-06-09", "2024-06-16..2024-06-16" };
    QTest::newRow("split week") << "1101100" << kMonday << 6.0
                                << QStringList { "2024-06-03..2024-06-04", "2024-06-06..2024-06-07",
                                       "2024-06-10..2024-06-11" };
    QTest::newRow("weekend week") << "0000011" << QDate(2024, 6, 8) << 3.0
                                  << QStringList { "2024-06-08..2024-06-09", "2024-06-15..2024-06-15" };
}

void TestCalendarEvents::runs()
{
    QFETCH(QString, week);
    QFETCH(QDate, start);
    QFETCH(double, dayCount);
    QFETCH(QStringList, runs);
    const WorkingCalendar calendar = week.isEmpty()
        ? WorkingCalendar()
        : WorkingCalendar(weekFromText(week.toLatin1().constData()), true);
    std::vector<WorkingRun> events;
    CalendarEventFields fields;
    QVERIFY(AddCalendarEvents(events, fields, calendar, start, dayCount, 1000));
    QCOMPARE(runsOf(events), runs);
    if (!runs.isEmpty())
        QCOMPARE(fields.txtGCalRemaining, 0.0);
}

void TestCalendarEvents::stopsAtTheEventLimit()
{
    std::vector<WorkingRun> events;
    CalendarEventFields fields;
    const WorkingCalendar calendar(weekFromText("1000000"), true);
    QVERIFY(!AddCalendarEvents(events, fields, calendar, kMonday, 50, 20));
    QCOMPARE(events.size(), size_t(20));
}

void TestCalendarEvents::longTaskCostsEventsNotDays()
{
    std::vector<WorkingRun> events;
    CalendarEventFields fields;
    QVERIFY(AddCalendarEvents(
        events, fields, WorkingCalendar(weekFromText("1111111"), true), QDate(2000, 1, 1), 2900000, 10));
    QCOMPARE(events.size(), size_t(1));
    QCOMPARE(events[0].last, QDate(2000, 1, 1).addDays(2899999));
}

void TestCalendarEvents::splitAroundDaysOff_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<double>("dayCount");
    QTest::addColumn<QStringList>("runs");

    // Days off on Thursday 24, Friday 25 December 2026 and Friday 1 January 2027.
    QTest::newRow("Mon-Fri from Monday 21: around Christmas and New Year")
        << "1111100" << QDate(2026, 12, 21) << 8.0
        << QStringList { "2026-12-21..2026-12-23", "2026-12-28..2026-12-31", "2027-01-04..2027-01-04" };
    QTest::newRow("every day: a run ends the day before and begins the day after")
        << "1111111" << QDate(2026, 12, 22) << 5.0
        << QStringList { "2026-12-22..2026-12-23", "2026-12-26..2026-12-28" };
}

void TestCalendarEvents::splitAroundDaysOff()
{
    QFETCH(QString, week);
    QFETCH(QDate, start);
    QFETCH(double, dayCount);
    QFETCH(QStringList, runs);
    const WorkingCalendar calendar(weekFromText(week.toLatin1().constData()), true,
        { QDate(2026, 12, 24), QDate(2026, 12, 25), QDate(2027, 1, 1) });
    std::vector<WorkingRun> events;
    CalendarEventFields fields;
    QVERIFY(AddCalendarEvents(events, fields, calendar, start, dayCount, 100));
    QCOMPARE(runsOf(events), runs);
}

QTEST_APPLESS_MAIN(TestCalendarEvents)
#include "tst_calendarevents.moc"
