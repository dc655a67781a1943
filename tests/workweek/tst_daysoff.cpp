#include "workweek/DaysOff.h"
#include "workweek/WorkingCalendar.h"

#include "FileSizeLimit.h"
#include "ReferenceCalendar.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace ambrel;
using testing::weekFromText;

namespace {

const QDate kMonday(2026, 12, 21); // the week of Christmas 2026

std::vector<QDate> datesFrom(const QStringList &isoDates)
{
    std::vector<QDate> dates;
    for (const QString &text : isoDates)
        dates.push_back(QDate::fromString(text, Qt::ISODate));
    return dates;
}

// Days off clustered where they hurt: on working and free weekdays, in blocks of adjacent days, and
// around the dates the checks start from.
std::vector<QDate> randomDaysOff(QRandomGenerator &random, const QDate &around, int span)
{
    std::vector<QDate> days;
    const int blocks = int(random.bounded(1, 12));
    for (int b = 0; b < blocks; ++b) {
        const QDate start = around.addDays(random.bounded(-span, span));
        const int length = random.bounded(3) == 0 ? int(random.bounded(2, 15)) : 1;
        for (int i = 0; i < length; ++i)
            days.push_back(start.addDays(i));
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

QString failure(const QDate &date, qint64 n, const QDate &actual, const QDate &expected)
{
    return QStringLiteral("%1 %2 working days: %3, day by day %4")
        .arg(date.toString(Qt::ISODate))
        .arg(n)
        .arg(actual.toString(Qt::ISODate), expected.toString(Qt::ISODate));
}

QStringList describedSkips(const DaysOffReading &reading)
{
    QStringList lines;
    for (const SkippedLine &line : reading.skipped)
        lines << DaysOff::describe(DaysOff::FileName, line);
    return lines;
}

} // namespace

class tst_DaysOff final : public QObject {
    Q_OBJECT

private slots:
    void calendarSteps_data();
    void calendarSteps();
    void matchesDayByDay_data();
    void matchesDayByDay();
    void runEndsBeforeDayOff_data();
    void runEndsBeforeDayOff();
    void noDaysOffChangesNothing();

    void readsTheFile_data();
    void readsTheFile();
    void savesAndReadsBack();
    void missingFileIsNoDaysOff();
    void failedSaveKeepsTheEarlierFile();
};

void tst_DaysOff::calendarSteps_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QStringList>("daysOff");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QDate>("result");

    const QStringList christmas { "2026-12-24", "2026-12-25", "2027-01-01" };
    QTest::newRow("Wednesday + 1 steps over Christmas")
        << "1111100" << true << christmas << QDate(2026, 12, 23) << qint64(1) << QDate(2026, 12, 28);
    QTest::newRow("Monday 28 - 1 steps back over Christmas")
        << "1111100" << true << christmas << QDate(2026, 12, 28) << qint64(-1) << QDate(2026, 12, 23);
    QTest::newRow("from a day off, + 1 is the next working day")
        << "1111100" << true << christmas << QDate(2026, 12, 24) << qint64(1) << QDate(2026, 12, 28);
    QTest::newRow("+ 0 stays on a day off")
        << "1111100" << true << christmas << QDate(2026, 12, 25) << qint64(0) << QDate(2026, 12, 25);
    QTest::newRow("seven-day week, + 10 over three days off")
        << "1111111" << true << christmas << QDate(2026, 12, 22) << qint64(10) << QDate(2027, 1, 4);
    QTest::newRow("day off on a Saturday changes nothing")
        << "1111100" << true << QStringList { "2026-12-26" } << QDate(2026, 12, 25) << qint64(1)
        << QDate(2026, 12, 28);
    QTest::newRow("unticked: days off count as days")
        << "1111100" << false << christmas << QDate(2026, 12, 23) << qint64(1) << QDate(2026, 12, 24);
    QTest::newRow("the only working day is off: a week later")
        << "1000000" << true << QStringList { "2026-12-28" } << kMonday << qint64(1) << QDate(2027, 1, 4);
}

void tst_DaysOff::calendarSteps()
{
    QFETCH(QString, week);
    QFETCH(bool, applies);
    QFETCH(QStringList, daysOff);
    QFETCH(QDate, date);
    QFETCH(qint64, n);
    QFETCH(QDate, result);
    const WorkingCalendar calendar(weekFromText(week.toLatin1().constData()), applies, datesFrom(daysOff));
    QCOMPARE(calendar.AddWorkingDays(date, n), result);
}

void tst_DaysOff::matchesDayByDay_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("applies");

    for (const char *week : { "1111100", "1111111", "1111110", "0101011", "1000000", "0000001", "1100011" })
        QTest::newRow(week) << QString::fromLatin1(week) << true;
    QTest::newRow("unticked") << "1111100" << false;
}

void tst_DaysOff::matchesDayByDay()
{
    QFETCH(QString, week);
    QFETCH(bool, applies);
    const WorkingWeekFlags flags = weekFromText(week.toLatin1().constData());

    QRandomGenerator random(20261221);
    for (int set = 0; set < 60; ++set) {
        const QDate around = kMonday.addDays(random.bounded(-40000, 40000));
        const std::vector<QDate> daysOff = randomDaysOff(random, around, 60);
        const WorkingCalendar calendar(flags, applies, daysOff);
        for (int i = 0; i < 60; ++i) {
            // Start on, beside and between the days off as often as anywhere else.
            const QDate date = i % 2 == 0
                ? daysOff[size_t(random.bounded(int(daysOff.size())))].addDays(random.bounded(-2, 3))
                : around.addDays(random.bounded(-90, 90));
            const qint64 n = i % 5 == 0 ? qint64(random.bounded(-600, 601)) : qint64(random.bounded(-25, 26));
            const QDate expected = testing::referenceAddWorkingDays(flags, applies, daysOff, date, n);
            const QDate actual = calendar.AddWorkingDays(date, n);
            if (actual != expected)
                QFAIL(qPrintable(failure(date, n, actual, expected)));
            QCOMPARE(
                calendar.IsWorkingDay(date), testing::referenceIsWorkingDay(flags, applies, daysOff, date));
            const qint64 limit = random.bounded(1, 40);
            QCOMPARE(calendar.workingRunLength(date, limit),
                testing::referenceRunLength(flags, applies, daysOff, date, limit));
        }
    }
}

void tst_DaysOff::runEndsBeforeDayOff_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<qint64>("length");

    // Days off on Thursday 24 and Friday 25 December 2026.
    QTest::newRow("Mon-Fri, Monday: three days") << "1111100" << kMonday << qint64(10) << qint64(3);
    QTest::newRow("every day, Monday: three days") << "1111111" << kMonday << qint64(10) << qint64(3);
    QTest::newRow("every day, after them: the limit")
        << "1111111" << QDate(2026, 12, 26) << qint64(1000) << qint64(1000);
    QTest::newRow("every day, on a day off: none")
        << "1111111" << QDate(2026, 12, 24) << qint64(5) << qint64(0);
    QTest::newRow("limit before the day off") << "1111111" << kMonday << qint64(2) << qint64(2);
}

void tst_DaysOff::runEndsBeforeDayOff()
{
    QFETCH(QString, week);
    QFETCH(QDate, from);
    QFETCH(qint64, limit);
    QFETCH(qint64, length);
    const WorkingCalendar calendar(
        weekFromText(week.toLatin1().constData()), true, datesFrom({ "2026-12-25", "2026-12-24" }));
    QCOMPARE(calendar.workingRunLength(from, limit), length);
}

void tst_DaysOff::noDaysOffChangesNothing()
{
    const WorkingCalendar plain(weekFromText("1111111"), true);
    const WorkingCalendar empty(weekFromText("1111111"), true, {});
    const WorkingCalendar offOnFreeDays(weekFromText("1111100"), true, datesFrom({ "2026-12-26" }));
    QVERIFY(plain.everyDayCounts());
    QVERIFY(empty.everyDayCounts());
    QVERIFY(!WorkingCalendar(weekFromText("1111111"), true, datesFrom({ "2026-12-25" })).everyDayCounts());
    QVERIFY(WorkingCalendar(weekFromText("1111111"), false, datesFrom({ "2026-12-25" })).everyDayCounts());
    QCOMPARE(empty.AddWorkingDays(kMonday, 2'000'000), plain.AddWorkingDays(kMonday, 2'000'000));
    QCOMPARE(offOnFreeDays.AddWorkingDays(kMonday, -700),
        WorkingCalendar(weekFromText("1111100"), true).AddWorkingDays(kMonday, -700));
}

void tst_DaysOff::readsTheFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("days"); // "YYYY-MM-DD|name"
    QTest::addColumn<QStringList>("skipped");

    QTest::newRow("dates with and without names")
        << QByteArray("# comment\n2026-12-24 Christmas Eve\n2026-12-25\tChristmas Day\n2027-01-01\n")
        << QStringList { "2026-12-24|Christmas Eve", "2026-12-25|Christmas Day", "2027-01-01|" }
        << QStringList();
    QTest::newRow("CR LF, blank and comment lines ignored")
        << QByteArray(
               "\xEF\xBB\xBF# days off\r\n\r\n   \r\n  # indented comment\r\n2026-05-01   Labour Day  \r\n")
        << QStringList { "2026-05-01|Labour Day" } << QStringList();
    QTest::newRow("each kind of bad line, numbered among all lines")
        << QByteArray("# c\n2026-02-30 No such day\n26-12-25\nChristmas\n2026-12-25x\n2026-1-05\n"
                      "２０２６-01-05\n2026-12-31 ok\n")
        << QStringList { "2026-12-31|ok" }
        << QStringList { "holidays.txt line 2: \"2026-02-30\" is not a date of the form YYYY-MM-DD",
               "holidays.txt line 3: \"26-12-25\" is not a date of the form YYYY-MM-DD",
               "holidays.txt line 4: \"Christmas\" is not a date of the form YYYY-MM-DD",
               "holidays.txt line 5: \"2026-12-25x\" is not a date of the form YYYY-MM-DD",
               "holidays.txt line 6: \"2026-1-05\" is not a date of the form YYYY-MM-DD",
               "holidays.txt line 7: \"２０２６-01-05\" is not a date of the form YYYY-MM-DD" };
    QTest::newRow("the same date twice counts once, first name kept, sorted")
        << QByteArray("2027-01-01 New Year\n2026-12-25 Christmas\n2027-01-01 Again\n")
        << QStringList { "2026-12-25|Christmas", "2027-01-01|New Year" } << QStringList();
    QTest::newRow("no final line break")
        << QByteArray("2026-12-25") << QStringList { "2026-12-25|" } << QStringList();
}

void tst_DaysOff::readsTheFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, days);
    QFETCH(QStringList, skipped);
    const DaysOffReading reading = DaysOff::parse(QString::fromUtf8(text));
    QStringList read;
    for (const DayOff &day : reading.days)
        read << day.date.toString(Qt::ISODate) + QLatin1Char('|') + day.name;
    QCOMPARE(read, days);
    QCOMPARE(describedSkips(reading), skipped);
    QVERIFY(reading.error.isEmpty());
}

void tst_DaysOff::savesAndReadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(DaysOff::FileName);
    const std::vector<DayOff> days { { QDate(2027, 1, 1), QStringLiteral("New Year's Day") },
        { QDate(2026, 12, 24), QStringLiteral("Christmas\nEve\t") }, { QDate(2026, 12, 31), QString() } };
    QString error;
    QVERIFY2(DaysOff::save(days, path, &error), qPrintable(error));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
        QByteArray("# Days off, one per line: a date as YYYY-MM-DD, then optionally its name.\n"
                   "2026-12-24 Christmas Eve\n2026-12-31\n2027-01-01 New Year's Day\n"));
    const DaysOffReading reading = DaysOff::load(path);
    QCOMPARE(reading.days.size(), size_t(3));
    QCOMPARE(reading.days[0].name, QStringLiteral("Christmas Eve"));
    QCOMPARE(reading.days[2], days[0]);
    QVERIFY(reading.skipped.empty());

    QVERIFY(!DaysOff::save({ { QDate(10000, 1, 1), QString() } }, path, &error));
    QVERIFY(!error.isEmpty());
}

void tst_DaysOff::missingFileIsNoDaysOff()
{
    QTemporaryDir dir;
    const DaysOffReading missing = DaysOff::load(dir.filePath(DaysOff::FileName));
    QVERIFY(missing.days.empty() && missing.skipped.empty() && missing.error.isEmpty());
    const DaysOffReading folder = DaysOff::load(dir.path());
    QVERIFY(!folder.error.isEmpty());
}

void tst_DaysOff::failedSaveKeepsTheEarlierFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(DaysOff::FileName);
    QVERIFY(DaysOff::save({ { QDate(2026, 12, 25), QStringLiteral("Christmas") } }, path));
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    std::vector<DayOff> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back({ QDate(2030, 1, 1).addDays(i), QStringLiteral("A long name for a day off") });
    QString error;
    {
        testing::FileSizeLimit limit(before.size() + 100);
        QVERIFY(limit.isActive());
        QVERIFY(!DaysOff::save(many, path, &error));
    }
    QVERIFY(!error.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

QTEST_GUILESS_MAIN(tst_DaysOff)
#include "tst_daysoff.moc"
