#include "workweek/DaysOff.h"
#include "workweek/WorkingCalendar.h"

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
    void noDaysOffChangesNothing();

    void readsTheFile_data();
    void readsTheFile();
    void savesAndReadsBack();
    void saveKeepsThePersonsLines_data();
    void saveKeepsThePersonsLines();
    void saveOverAnyFileKeepsItsOtherLines();
};

void tst_DaysOff::calendarSteps_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QStringList>("daysOff");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QDate>("result");

    // Weeks, unticked days off and blocks of them are compared with a reference day by day below; these
    // rows are an example to read and a count far beyond what that comparison draws.
    const QStringList christmas { "2026-12-24", "2026-12-25", "2027-01-01" };
    QTest::newRow("Wednesday + 1 steps over Christmas")
        << "1111100" << true << christmas << QDate(2026, 12, 23) << qint64(1) << QDate(2026, 12, 28);
    QTest::newRow("Mondays only, 2^31-1 of them over two days off")
        << "1000000" << true << QStringList { "2026-12-28", "2400-01-03" } << kMonday << qint64(2147483647)
        << QDate::fromJulianDay(kMonday.toJulianDay() + 7 * (qint64(2147483647) + 2));
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
            QVERIFY2(calendar.AddWorkingDays(date, n) == expected,
                qPrintable(QStringLiteral("%1 %2 working days").arg(date.toString(Qt::ISODate)).arg(n)));
            QCOMPARE(
                calendar.IsWorkingDay(date), testing::referenceIsWorkingDay(flags, applies, daysOff, date));
            const qint64 limit = random.bounded(1, 40);
            QCOMPARE(calendar.workingRunLength(date, limit),
                testing::referenceRunLength(flags, applies, daysOff, date, limit));
        }
    }
}

void tst_DaysOff::noDaysOffChangesNothing()
{
    const WorkingCalendar plain(weekFromText("1111111"), true);
    const WorkingCalendar empty(weekFromText("1111111"), true, {});
    const WorkingCalendar offOnFreeDays(weekFromText("1111100"), true, datesFrom({ "2026-12-26" }));
    QVERIFY(plain.everyDayCounts());
    QVERIFY(empty.everyDayCounts());
    QVERIFY(!WorkingCalendar(weekFromText("1111111"), true, datesFrom({ "2026-12-25" })).everyDayCounts());
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
    QTest::newRow("CR line ends, numbered")
        << QByteArray("# c\r2026-12-24 Eve\r\r2026-12-25\rxmas\r")
        << QStringList { "2026-12-24|Eve", "2026-12-25|" }
        << QStringList { "holidays.txt line 5: \"xmas\" is not a date of the form YYYY-MM-DD" };
    QTest::newRow("a lone CR in a file of line feeds stays in its line")
        << QByteArray("2026-12-24 Christmas\rEve\n2026-12-25\n")
        << QStringList { "2026-12-24|Christmas Eve", "2026-12-25|" } << QStringList();
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
}

void tst_DaysOff::savesAndReadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(DaysOff::FileName);
    const std::vector<DayOff> days { { QDate(2027, 1, 1), QStringLiteral("New Year's Day") },
        { QDate(2026, 12, 24), QStringLiteral("Christmas\nEve\t") }, { QDate(2026, 12, 31), QString() } };
    QVERIFY(!DaysOff::save(days, path));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
        QByteArray("# Days off, one per line: a date as YYYY-MM-DD, then optionally its name.\n"
                   "2026-12-24 Christmas Eve\n2026-12-31\n2027-01-01 New Year's Day\n"));
    const DaysOffReading reading = *DaysOff::load(path);
    QCOMPARE(reading.days.size(), size_t(3));
    QCOMPARE(reading.days[0].name, QStringLiteral("Christmas Eve"));
    QCOMPARE(reading.days[2], days[0]);
    QVERIFY(reading.skipped.empty());

    const std::optional<Refusal> outOfYears = DaysOff::save({ { QDate(10000, 1, 1), QString() } }, path);
    QCOMPARE(outOfYears ? outOfYears->text : QString(),
        QStringLiteral("Could not save holidays.txt: a day off lies outside the years 1 to 9999"));

    QVERIFY(QFile::remove(path));
    const Refusable<DaysOffReading> missing = DaysOff::load(path);
    QVERIFY(!missing.refused() && missing->days.empty() && missing->skipped.empty());
    QVERIFY(DaysOff::load(dir.path()).refused());
}

void tst_DaysOff::saveKeepsThePersonsLines_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("days"); // "YYYY-MM-DD|name"
    QTest::addColumn<QByteArray>("after");

    const QByteArray file("# Our office\n\n# 2026\n2026-12-24\tChristmas Eve  \n2026-12-25 Christmas\n\n"
                          "# 2027\n2027-01-01 New Year\nsome day\n");
    QTest::newRow("unchanged: every byte kept")
        << file << QStringList { "2026-12-24|Christmas Eve", "2026-12-25|Christmas", "2027-01-01|New Year" }
        << file;
    QTest::newRow("a removed day takes its line; a renamed one is written anew")
        << file << QStringList { "2026-12-24|Eve", "2027-01-01|New Year" }
        << QByteArray("# Our office\n\n# 2026\n2026-12-24 Eve\n\n# 2027\n2027-01-01 New Year\nsome day\n");
    QTest::newRow("new days after the day before them, or above the first")
        << file
        << QStringList { "2026-01-01|First", "2026-12-24|Christmas Eve", "2026-12-25|Christmas",
               "2026-12-31|Eve", "2027-01-01|New Year", "2027-05-01|May" }
        << QByteArray("# Our office\n\n# 2026\n2026-01-01 First\n2026-12-24\tChristmas Eve  \n"
                      "2026-12-25 Christmas\n2026-12-31 Eve\n\n# 2027\n2027-01-01 New Year\n2027-05-01 May\n"
                      "some day\n");
    QTest::newRow("CR line ends become LF; a day named twice keeps its first line")
        << QByteArray("# c\r2026-12-25 A\r2026-12-25 B\r") << QStringList { "2026-12-25|A", "2026-12-26|" }
        << QByteArray("# c\n2026-12-25 A\n2026-12-26\n");
    QTest::newRow("only comments: the days at the end")
        << QByteArray("# mine") << QStringList { "2026-12-25|" } << QByteArray("# mine\n2026-12-25\n");
}

void tst_DaysOff::saveKeepsThePersonsLines()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, days);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(DaysOff::FileName);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    file.close();
    std::vector<DayOff> kept;
    for (const QString &day : days)
        kept.push_back({ QDate::fromString(day.section(u'|', 0, 0), Qt::ISODate), day.section(u'|', 1) });
    QVERIFY(!DaysOff::save(kept, path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
    QCOMPARE(DaysOff::load(path)->days, kept);
}

// Whatever the file held and whatever days remain, the saved text reads back as exactly those days, and
// every line naming no day is still there, in its order.
void tst_DaysOff::saveOverAnyFileKeepsItsOtherLines()
{
    QRandomGenerator random(20261207);
    const QDate first(2026, 12, 1);
    for (int round = 0; round < 300; ++round) {
        QStringList lines;
        QStringList others;
        const int lineCount = int(random.bounded(12));
        for (int i = 0; i < lineCount; ++i) {
            const QDate date = first.addDays(random.bounded(20));
            switch (random.bounded(4)) {
            case 0:
                others << QStringLiteral("# note %1").arg(i);
                lines << others.back();
                break;
            case 1:
                others << QString();
                lines << others.back();
                break;
            default:
                lines << date.toString(Qt::ISODate) + QStringLiteral(" day %1").arg(i);
            }
        }
        std::vector<DayOff> days;
        for (int i = int(random.bounded(8)); i > 0; --i)
            DaysOff::insert(days, { first.addDays(random.bounded(20)), QStringLiteral("name %1").arg(i) });
        const QString lineEnd = random.bounded(2) ? QStringLiteral("\n") : QStringLiteral("\r");
        // Without a final line break, a last empty line could not be told from none.
        const bool finalBreak = random.bounded(2) || (!lines.isEmpty() && lines.back().isEmpty());
        const QString previous = lines.join(lineEnd) + (finalBreak ? lineEnd : QString());

        const QString saved = DaysOff::text(days, previous);
        QCOMPARE(DaysOff::parse(saved).days, days);
        QStringList kept;
        for (const QString &line : saved.split(QLatin1Char('\n'))) {
            // A file left with no line at all starts again with the comment of a new one.
            if ((line.isEmpty() || line.startsWith(QLatin1Char('#'))) && line != DaysOff::Comment)
                kept << line;
        }
        kept.removeLast(); // after the final line feed
        if (!lines.isEmpty())
            QCOMPARE(kept, others);
    }
}

QTEST_GUILESS_MAIN(tst_DaysOff)
#include "tst_daysoff.moc"
