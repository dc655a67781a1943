#include "schedule/CalendarEvents.h"
#include "export/IcsDaysOff.h"

#include "ReferenceCalendar.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;
using testing::weekFromText;

namespace {

const int kThisYear = 2026;

QByteArray calendarOf(const QByteArray &events)
{
    QByteArray ics
        = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Holidays//EN\r\n" + events + "END:VCALENDAR\r\n";
    return ics;
}

QByteArray vevent(const QByteArray &lines)
{
    return "BEGIN:VEVENT\r\nUID:" + QByteArray::number(qHash(lines)) + "@test\r\nDTSTAMP:20260101T000000Z\r\n"
        + lines + "END:VEVENT\r\n";
}

QStringList listed(const std::vector<DayOff> &days)
{
    QStringList list;
    for (const DayOff &day : days)
        list << day.date.toString(Qt::ISODate) + QLatin1Char('|') + day.name;
    return list;
}

QStringList runsOf(const std::vector<WorkingRun> &events)
{
    QStringList runs;
    for (const WorkingRun &run : events)
        runs << run.first.toString(Qt::ISODate) + QStringLiteral("..") + run.last.toString(Qt::ISODate);
    return runs;
}

} // namespace

class tst_IcsDaysOff final : public QObject {
    Q_OBJECT

private slots:
    void importsDays_data();
    void importsDays();
    void refusesWhatIsNotACalendar_data();
    void refusesWhatIsNotACalendar();
    void readsAFile();
    void eventsSplitAroundADayOff_data();
    void eventsSplitAroundADayOff();
};

void tst_IcsDaysOff::importsDays_data()
{
    QTest::addColumn<QByteArray>("events");
    QTest::addColumn<QStringList>("days");
    QTest::addColumn<bool>("capped");

    QTest::newRow("a single day") << vevent(
        "DTSTART;VALUE=DATE:20261225\r\nDTEND;VALUE=DATE:20261226\r\nSUMMARY:Christmas Day\r\n")
                                  << QStringList { "2026-12-25|Christmas Day" } << false;
    QTest::newRow("several days, the end not included")
        << vevent("DTSTART;VALUE=DATE:20261230\r\nDTEND;VALUE=DATE:20270102\r\nSUMMARY:Break\r\n")
        << QStringList { "2026-12-30|Break", "2026-12-31|Break", "2027-01-01|Break" } << false;
    QTest::newRow("yearly from years back: this year and five more")
        << vevent("DTSTART;VALUE=DATE:19990101\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:New Year\r\n")
        << QStringList { "2026-01-01|New Year", "2027-01-01|New Year", "2028-01-01|New Year",
               "2029-01-01|New Year", "2030-01-01|New Year", "2031-01-01|New Year" }
        << false;
    QTest::newRow("yearly with a count and an excluded year")
        << vevent("DTSTART;VALUE=DATE:20240501\r\nRRULE:FREQ=YEARLY;COUNT=5\r\nEXDATE;VALUE=DATE:20270501\r\n"
                  "SUMMARY:May Day\r\n")
        << QStringList { "2026-05-01|May Day", "2028-05-01|May Day" } << false;
    QTest::newRow("a timed event: the day it begins")
        << vevent("DTSTART:20261231T220000Z\r\nDTEND:20270101T020000Z\r\nSUMMARY:Party\r\n")
        << QStringList { "2026-12-31|Party" } << false;
    QTest::newRow("the same date twice: first name kept, sorted")
        << vevent("DTSTART;VALUE=DATE:20261226\r\nSUMMARY:Boxing Day\r\n")
            + vevent("DTSTART;VALUE=DATE:20261225\r\nSUMMARY:Christmas\r\n")
            + vevent("DTSTART;VALUE=DATE:20261226\r\nSUMMARY:St Stephen\r\n")
        << QStringList { "2026-12-25|Christmas", "2026-12-26|Boxing Day" } << false;
}

void tst_IcsDaysOff::importsDays()
{
    QFETCH(QByteArray, events);
    QFETCH(QStringList, days);
    QFETCH(bool, capped);
    const IcsDaysOffImport imported = IcsDaysOff::read(calendarOf(events), kThisYear);
    QCOMPARE(imported.error, QString());
    QCOMPARE(listed(imported.days), days);
    QCOMPARE(imported.capped, capped);
}

void tst_IcsDaysOff::refusesWhatIsNotACalendar_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a days-off file") << QByteArray("2026-12-25 Christmas\n");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11);
}

void tst_IcsDaysOff::refusesWhatIsNotACalendar()
{
    QFETCH(QByteArray, text);
    const IcsDaysOffImport imported = IcsDaysOff::read(text, kThisYear);
    QVERIFY(!imported.error.isEmpty());
    QVERIFY(imported.days.empty());
}

void tst_IcsDaysOff::readsAFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("holidays.ics"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // Hostile sizes stop at the cap instead of filling the memory: a ten-thousand-year event and an
    // hourly rule.
    file.write(
        calendarOf(vevent("DTSTART;VALUE=DATE:00010101\r\nDTEND;VALUE=DATE:99991231\r\nSUMMARY:All\r\n")
            + vevent("DTSTART:19000101T000000\r\nRRULE:FREQ=HOURLY\r\nSUMMARY:Hourly\r\n")));
    file.close();
    const IcsDaysOffImport imported = IcsDaysOff::readFile(path, kThisYear);
    QVERIFY(imported.error.isEmpty());
    QVERIFY(imported.capped);
    QCOMPARE(imported.days.size(), size_t(IcsDaysOff::MaxDates));
    QCOMPARE(imported.days.front().date, QDate(1, 1, 1));

    QVERIFY(!IcsDaysOff::readFile(dir.filePath(QStringLiteral("missing.ics")), kThisYear).error.isEmpty());
}

void tst_IcsDaysOff::eventsSplitAroundADayOff_data()
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

void tst_IcsDaysOff::eventsSplitAroundADayOff()
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

QTEST_GUILESS_MAIN(tst_IcsDaysOff)
#include "tst_icsdaysoff.moc"
