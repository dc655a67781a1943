#include "calendarimport/IcsDaysOff.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

namespace {

const int kThisYear = 2026;
const QByteArray kZone = "Europe/Berlin";

QByteArray calendarOf(const QByteArray &events)
{
    QByteArray ics
        = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Holidays//EN\r\n" + events + "END:VCALENDAR\r\n";
    return ics;
}

QByteArray vevent(const QByteArray &lines)
{
    const QByteArray uid
        = lines.startsWith("UID:") ? QByteArray() : "UID:" + QByteArray::number(qHash(lines)) + "@test\r\n";
    return "BEGIN:VEVENT\r\n" + uid + "DTSTAMP:20260101T000000Z\r\n" + lines + "END:VEVENT\r\n";
}

Refusable<IcsDaysOffImport> readInBerlin(const QByteArray &ics)
{
    IcsImportOptions options;
    options.zone = QTimeZone(kZone);
    return IcsDaysOff::read(ics, kThisYear, options);
}

// Why the calendar was refused; empty when it was read.
QString refusalOf(const Refusable<IcsDaysOffImport> &read)
{
    return read.refused() ? read.refusal().text : QString();
}

QStringList listed(const std::vector<DayOff> &days)
{
    QStringList list;
    for (const DayOff &day : days)
        list << day.date.toString(Qt::ISODate) + QLatin1Char('|') + day.name;
    return list;
}

// "2026-12-25|Christmas" for an all-day date, "2026-12-31 23:00-03:00|Party" for a timed one.
QStringList listed(const std::vector<IcsFoundDate> &found)
{
    QStringList list;
    for (const IcsFoundDate &date : found) {
        QString when = date.date.toString(Qt::ISODate);
        if (!date.allDay)
            when += QLatin1Char(' ') + date.begins.toString(QStringLiteral("HH:mm")) + QLatin1Char('-')
                + date.ends.toString(QStringLiteral("HH:mm"));
        list << when + QLatin1Char('|') + date.name;
    }
    return list;
}

QStringList reasons(const std::vector<IcsLeftOut> &leftOut)
{
    QStringList list;
    for (const IcsLeftOut &event : leftOut)
        list << event.name + QStringLiteral(": ") + event.reason;
    return list;
}

QByteArray repeated(const QByteArray &line, int times)
{
    QByteArray text;
    text.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
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
    void boundsHostileCalendars_data();
    void boundsHostileCalendars();
    void recognisesACalendar();
    void reportsProgressAndStopsWhenCancelled();
    void agreesWithASecondReading();
};

void tst_IcsDaysOff::importsDays_data()
{
    QTest::addColumn<QByteArray>("events");
    QTest::addColumn<QStringList>("days");
    QTest::addColumn<bool>("capped");

    // Recurrence, exclusion, cancelling and breaks over the year's turn are held by the comparison
    // with a second reading below; these rows hold what it does not compare: names, times, the window.
    QTest::newRow("a single day") << vevent(
        "DTSTART;VALUE=DATE:20261225\r\nDTEND;VALUE=DATE:20261226\r\nSUMMARY:Christmas Day\r\n")
                                  << QStringList { "2026-12-25|Christmas Day" } << false;
    QTest::newRow("yearly from years back: this year and five more, less a day excluded at a time")
        << vevent("DTSTART;VALUE=DATE:19990101\r\nRRULE:FREQ=YEARLY\r\nEXDATE:20280101T120000Z\r\n"
                  "SUMMARY:New Year\r\n")
        << QStringList { "2026-01-01|New Year", "2027-01-01|New Year", "2029-01-01|New Year",
               "2030-01-01|New Year", "2031-01-01|New Year" }
        << false;
    QTest::newRow("a timed event: listed with its times where the person is")
        << vevent("DTSTART:20261231T220000Z\r\nDTEND:20270101T020000Z\r\nSUMMARY:Party\r\n")
        << QStringList { "2026-12-31 23:00-03:00|Party" } << false;
    QTest::newRow("a start that is not written as a date is no start")
        << vevent("DTSTART;VALUE=DATE:4052021,\r\nSUMMARY:Odd\r\n")
            + vevent("DTSTART;VALUE=DATE:20261225\r\nSUMMARY:Christmas\r\n")
        << QStringList { "2026-12-25|Christmas" } << false;
    QTest::newRow("the same date twice: first name kept, sorted")
        << vevent("DTSTART;VALUE=DATE:20261226\r\nSUMMARY:Boxing Day\r\n")
            + vevent("DTSTART;VALUE=DATE:20261225\r\nSUMMARY:Christmas\r\n")
            + vevent("DTSTART;VALUE=DATE:20261226\r\nSUMMARY:St Stephen\r\n")
        << QStringList { "2026-12-25|Christmas", "2026-12-26|Boxing Day" } << false;
    QTest::newRow("RECURRENCE-ID moves one year's date")
        << vevent("UID:moved\r\nDTSTART;VALUE=DATE:20260605\r\nRRULE:FREQ=YEARLY;COUNT=2\r\nSUMMARY:Fete\r\n")
            + vevent("UID:moved\r\nRECURRENCE-ID;VALUE=DATE:20260605\r\nDTSTART;VALUE=DATE:20260607\r\n"
                     "SUMMARY:Fete moved\r\n")
        << QStringList { "2026-06-07|Fete moved", "2027-06-05|Fete" } << false;
    QTest::newRow("an RDATE period in a zone begins where it says; dates keep the event's time")
        << vevent("DTSTART:20261230T090000Z\r\nDURATION:PT1H\r\nRDATE;VALUE=PERIOD;TZID=America/New_York:"
                  "20261231T090000/PT2H\r\nRDATE;VALUE=DATE:20261228,20261229\r\n"
                  "EXDATE;VALUE=DATE:20261228\r\nSUMMARY:Review\r\n")
        << QStringList { "2026-12-29 10:00-11:00|Review", "2026-12-30 10:00-11:00|Review",
               "2026-12-31 15:00-16:00|Review" }
        << false;
    QTest::newRow("Christmas written in UTC falls on the 25th in Berlin")
        << vevent("DTSTART:20261224T230000Z\r\nDTEND:20261225T230000Z\r\nSUMMARY:Christmas\r\n")
        << QStringList { "2026-12-25 00:00-00:00|Christmas" } << false;
}

void tst_IcsDaysOff::importsDays()
{
    QFETCH(QByteArray, events);
    QFETCH(QStringList, days);
    QFETCH(bool, capped);
    const Refusable<IcsDaysOffImport> read = readInBerlin(calendarOf(events));
    QCOMPARE(refusalOf(read), QString());
    const IcsDaysOffImport &imported = *read;
    QCOMPARE(listed(imported.found), days);
    QCOMPARE(imported.capped, capped);
    // The days taken are the all-day dates found.
    QStringList allDay;
    for (const QString &day : days) {
        if (!day.contains(QLatin1Char(':')))
            allDay << day;
    }
    QCOMPARE(listed(imported.days), allDay);
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
    QVERIFY(IcsDaysOff::read(text, kThisYear).refused());
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
    const Refusable<IcsDaysOffImport> imported = IcsDaysOff::readFile(path, kThisYear);
    QCOMPARE(refusalOf(imported), QString());
    QVERIFY(imported->capped);
    QCOMPARE(imported->days.size(), size_t(IcsDaysOff::MaxDates));
    QCOMPARE(imported->days.front().date, QDate(1, 1, 1));

    QVERIFY(IcsDaysOff::readFile(dir.filePath(QStringLiteral("missing.ics")), kThisYear).refused());
}

void tst_IcsDaysOff::boundsHostileCalendars_data()
{
    QTest::addColumn<QByteArray>("ics");
    QTest::addColumn<QString>("error"); // empty when the calendar is read
    QTest::addColumn<QStringList>("days"); // every day taken: the real days off beside the hostile part
    QTest::addColumn<QString>("leftOut"); // what the import names as left out, a line each
    QTest::addColumn<bool>("capped");
    QTest::addColumn<qint64>("maxSteps");

    const QByteArray christmas = vevent("DTSTART;VALUE=DATE:20261225\r\nSUMMARY:Christmas\r\n");
    const QStringList christmasOnly { "2026-12-25|Christmas" };

    QTest::newRow("every second on 30 February beside Christmas")
        << calendarOf(vevent("DTSTART:20260101T000000Z\r\nRRULE:FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30\r\n"
                             "SUMMARY:Tick\r\n")
               + christmas)
        << QString() << christmasOnly << "Tick: it repeats more often than daily (FREQ=SECONDLY)" << false
        << qint64(300);
    QTest::newRow("every minute, named")
        << calendarOf(
               christmas + vevent("DTSTART:20260101T000000Z\r\nRRULE:FREQ=MINUTELY\r\nSUMMARY:Tock\r\n"))
        << QString() << christmasOnly << "Tock: it repeats more often than daily (FREQ=MINUTELY)" << false
        << qint64(300);
    QTest::newRow("300,000 nested components, refused before the parser")
        << "BEGIN:VCALENDAR\r\n" + repeated("BEGIN:X-A\r\n", 300'000)
        << "line 17 nests components more "
           "than 16 deep, which no calendar needs"
        << QStringList() << QString() << false << qint64(0);
    QTest::newRow("a NUL byte") << calendarOf(vevent(QByteArray("SUMMARY:A\0B\r\n", 13)))
                                << "line 7 holds a NUL byte, which "
                                   "iCalendar text never does"
                                << QStringList() << QString() << false << qint64(0);
    QTest::newRow("no END:VCALENDAR")
        << calendarOf(christmas).chopped(15) << "it ends without END:VCALENDAR; the file may be cut short"
        << QStringList() << QString() << false << qint64(0);
    QTest::newRow("an event never closed")
        << calendarOf("BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20261225\r\n")
        << "the VEVENT begun at line 4 is never closed (line 6 ends a VCALENDAR)" << QStringList()
        << QString() << false << qint64(0);
    QTest::newRow("a SUMMARY of a megabyte, folded")
        << calendarOf(vevent("SUMMARY:" + repeated("x\r\n ", 1 << 20) + "\r\n"))
        << "line 7 is longer than 256 "
           "KiB, which no calendar needs"
        << QStringList() << QString() << false << qint64(0);
    QTest::newRow("250,000 RDATEs") << calendarOf(
        vevent("DTSTART;VALUE=DATE:20260101\r\n" + repeated("RDATE;VALUE=DATE:20260102\r\n", 250'000)
            + "SUMMARY:Many\r\n")
        + christmas) << QString() << christmasOnly
                                    << "Many: it lists more than 5000 dates" << false << qint64(10'000);
    QByteArray longList;
    QStringList listedDays;
    for (int i = 0; i < 1'200; ++i) {
        longList += (i > 0 ? "," : "")
            + QDate(2026, 1, 1).addDays(i).toString(QStringLiteral("yyyyMMdd")).toLatin1();
        listedDays << QDate(2026, 1, 1).addDays(i).toString(Qt::ISODate) + QStringLiteral("|Listed");
    }
    QTest::newRow("1,200 RDATEs on one folded line are all taken")
        << calendarOf(vevent("DTSTART;VALUE=DATE:20260101\r\nRDATE;VALUE=DATE:"
               + longList.replace(",2027", "\r\n ,2027") + "\r\nSUMMARY:Listed\r\n"))
        << QString() << listedDays << QString() << false << qint64(3'000);
    QTest::newRow("250,000 EXDATEs") << calendarOf(
        vevent("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=DAILY;COUNT=1\r\n"
            + repeated("EXDATE;VALUE=DATE:20260102\r\n", 250'000) + "SUMMARY:Many\r\n")
        + christmas) << QString() << christmasOnly
                                     << "Many: it lists more than 5000 dates" << false
                                     << qint64(64 * 5'001 + 100);
    QTest::newRow("a daily rule counted from year 1")
        << calendarOf(christmas
               + vevent("DTSTART;VALUE=DATE:00010101\r\nRRULE:FREQ=DAILY;COUNT=3000000\r\nSUMMARY:Long\r\n"))
        << QString() << christmasOnly << "Long: its dates take more than 1000000 steps to work out" << false
        << IcsDaysOff::MaxStepsPerEvent + 300;
    QTest::newRow("the steps run out: what comes after is named")
        << calendarOf(
               repeated(
                   vevent("DTSTART;VALUE=DATE:10000101\r\nRRULE:FREQ=DAILY;COUNT=300000\r\nSUMMARY:Long\r\n"),
                   20)
               + christmas)
        << QString() << QStringList() << "Christmas: the import reached its limit of 10000000 steps first"
        << true << IcsDaysOff::MaxSteps + IcsDaysOff::MaxStepsPerEvent;
    QTest::newRow("25,000 unreadable properties in one event: named, never parsed")
        << calendarOf(vevent("SUMMARY:Junk\r\n" + repeated("DTSTART:garbage\r\n", 25'000)) + christmas)
        << QString() << christmasOnly << "Junk: it has more than 10000 properties" << false << qint64(300);
    QTest::newRow("a start not written as a date, on a long line") << calendarOf(
        vevent("DTSTART;X-PAD=" + QByteArray(80, 'x') + ";VALUE=DATE:2027021,\r\nSUMMARY:Odd\r\n")
        + christmas) << QString() << christmasOnly << "Odd: it has no start date"
                                                                   << false << qint64(300);
    QTest::newRow("a moved date's own RRULE is not expanded")
        << calendarOf(
               vevent("UID:m\r\nDTSTART;VALUE=DATE:20260605\r\nRRULE:FREQ=YEARLY;COUNT=2\r\nSUMMARY:Fete\r\n")
               + vevent("UID:m\r\nRECURRENCE-ID;VALUE=DATE:20260605\r\nDTSTART;VALUE=DATE:20260607\r\n"
                        "RRULE:FREQ=DAILY\r\nRDATE;VALUE=DATE:20260901\r\nSUMMARY:Moved\r\n"))
        << QString() << QStringList { "2026-06-07|Moved", "2027-06-05|Fete" }
        << "Moved: its RRULE, as it replaces one date of a recurring event" << false << qint64(1'000);
    QTest::newRow("rule values outside their ranges give no days")
        << calendarOf(vevent("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=YEARLY;BYMONTH=13\r\nSUMMARY:M\r\n")
               + vevent("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=YEARLY;BYYEARDAY=-367\r\nSUMMARY:Y\r\n")
               + vevent("DTSTART;VALUE=DATE:20260105\r\nRRULE:FREQ=YEARLY;BYWEEKNO=54\r\nSUMMARY:W\r\n")
               + christmas)
        << QString() << christmasOnly
        << "M: its RRULE's BYMONTH=13 is outside 1 to 12\n"
           "Y: its RRULE's BYYEARDAY=-367 is outside 1 to 366 and -366 to -1\n"
           "W: its RRULE's BYWEEKNO=54 is outside 1 to 53 and -53 to -1"
        << false << qint64(1'000);
    QTest::newRow("unreadable rules are named, not taken as one day")
        << calendarOf(vevent("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=FOO\r\nSUMMARY:Foo\r\n")
               + vevent("DTSTART;VALUE=DATE:20260102\r\nRRULE:\r\nSUMMARY:Empty\r\n")
               + vevent("DTSTART;VALUE=DATE:20260103\r\nRRULE:FREQ=DAILY;UNTIL=soon\r\nSUMMARY:Soon\r\n")
               + vevent("DTSTART;VALUE=DATE:20260104\r\nRRULE:INTERVAL=2\r\nSUMMARY:Unsaid\r\n") + christmas)
        << QString() << christmasOnly
        << "Foo: its RRULE cannot be read\nEmpty: its RRULE cannot be read\nSoon: its RRULE cannot be read\n"
           "Unsaid: its RRULE cannot be read"
        << false << qint64(1'000);
    QStringList everyDay;
    for (QDate day(2026, 1, 1); day.year() <= 2031; day = day.addDays(1))
        everyDay << day.toString(Qt::ISODate) + QStringLiteral("|Always");
    // A COUNT is walked to the window's end, not further, even where no later instance comes.
    QTest::newRow("a COUNT far past the window gives each day of it") << calendarOf(
        vevent("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=DAILY;COUNT=2147483647\r\nSUMMARY:Always\r\n")
        + vevent("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=YEARLY;COUNT=5;BYMONTH=2;BYMONTHDAY=30\r\n"))
                                                                      << QString() << everyDay << QString()
                                                                      << false << qint64(20'000);
    QTest::newRow("events where no event belongs are named")
        << calendarOf(vevent("DTSTART;VALUE=DATE:20260101\r\nSUMMARY:Outer\r\n"
                          + vevent("DTSTART;VALUE=DATE:20260102\r\nSUMMARY:Inner\r\n"))
               + "BEGIN:VTIMEZONE\r\nTZID:X\r\n" + vevent("DTSTART;VALUE=DATE:20260103\r\nSUMMARY:Zoned\r\n")
               + "END:VTIMEZONE\r\n"
               + calendarOf(vevent("DTSTART;VALUE=DATE:20260104\r\nSUMMARY:Nested\r\n")))
        << QString() << QStringList { "2026-01-01|Outer" }
        << "Inner: it lies inside a VEVENT, where no event belongs\n"
           "Zoned: it lies inside a VTIMEZONE, where no event belongs\n"
           "Nested: it lies in a VCALENDAR inside another"
        << false << qint64(1'000);
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QTest::newRow("a UTF-8 byte order mark") << "\xEF\xBB\xBF" + calendarOf(christmas) << QString()
                                             << christmasOnly << QString() << false << qint64(300);
    QTest::newRow("UTF-16") << QByteArray(utf16(QString::fromLatin1(calendarOf(christmas)))) << QString()
                            << christmasOnly << QString() << false << qint64(300);
}

void tst_IcsDaysOff::boundsHostileCalendars()
{
    QFETCH(QByteArray, ics);
    QFETCH(QString, error);
    QFETCH(QStringList, days);
    QFETCH(QString, leftOut);
    QFETCH(bool, capped);
    QFETCH(qint64, maxSteps);
    const Refusable<IcsDaysOffImport> read = readInBerlin(ics);
    QCOMPARE(refusalOf(read), error);
    if (read.refused())
        return;
    const IcsDaysOffImport &imported = *read;
    QVERIFY2(imported.steps <= maxSteps, qPrintable(QString::number(imported.steps)));
    QCOMPARE(imported.capped, capped);
    QCOMPARE(imported.capped, !imported.capNote.isEmpty());
    for (const QString &reason : leftOut.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        QVERIFY2(
            reasons(imported.leftOut).contains(reason), qPrintable(reasons(imported.leftOut).join('\n')));
    QCOMPARE(listed(imported.days), days);
}

void tst_IcsDaysOff::recognisesACalendar()
{
    QCOMPARE(IcsDaysOff::isCalendar("\xEF\xBB\xBF\r\nbegin:vcalendar\r\n"), true);
    QCOMPARE(IcsDaysOff::isCalendar("# BEGIN:VCALENDAR\n2026-12-25 Christmas\n"), false);
    QCOMPARE(IcsDaysOff::isCalendar(QStringEncoder(QStringConverter::Utf32BE)(u"BEGIN:VCALENDAR\r\n")), true);
}

void tst_IcsDaysOff::reportsProgressAndStopsWhenCancelled()
{
    const QByteArray ics = calendarOf(
        repeated(vevent("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Day\r\n"), 200));
    IcsImportOptions options;
    QList<int> done;
    options.progress = [&](int events, int total) {
        QCOMPARE(total, 200);
        done << events;
    };
    QVERIFY(!IcsDaysOff::read(ics, kThisYear, options).refused());
    QCOMPARE(done.last(), 200);
    QVERIFY(std::is_sorted(done.begin(), done.end()));

    std::atomic<bool> cancel = false;
    options.cancel = &cancel;
    options.progress = [&](int events, int) {
        if (events > 0)
            cancel = true;
    };
    QCOMPARE(
        refusalOf(IcsDaysOff::read(ics, kThisYear, options)), QStringLiteral("the import was cancelled"));
}

namespace {

// A calendar such as people publish: holidays by rule or by list, breaks, moved and cancelled days, and
// meetings in time zones, built to exercise the rules a reading may get wrong.
QByteArray randomCalendar(QRandomGenerator &random)
{
    const auto date = [](const QDate &day) { return day.toString(QStringLiteral("yyyyMMdd")).toLatin1(); };
    const auto number = [](qint64 value) { return QByteArray::number(value); };
    const auto pick = [&](const QList<QByteArray> &choices) {
        return choices[int(random.bounded(qint64(choices.size())))];
    };
    const auto anyDay
        = [&](int fromYear, int years) { return QDate(fromYear, 1, 1).addDays(random.bounded(years * 365)); };
    QByteArray events;
    const int count = 1 + int(random.bounded(6));
    for (int i = 0; i < count; ++i) {
        const QByteArray uid = "UID:e" + number(i) + "\r\n";
        const QDate start = anyDay(2018, 12);
        const QByteArray dtstart = "DTSTART;VALUE=DATE:" + date(start) + "\r\n";
        const QByteArray limit
            = pick({ "", "", ";COUNT=" + number(1 + random.bounded(40)), ";UNTIL=" + date(anyDay(2025, 8)) });
        switch (random.bounded(10)) {
        case 0: // a fixed holiday, perhaps moved one year
            events += vevent(uid + dtstart + "RRULE:FREQ=YEARLY" + limit + "\r\nSUMMARY:Fixed\r\n");
            if (random.bounded(2))
                events += vevent(uid + "RECURRENCE-ID;VALUE=DATE:" + date(start.addYears(9)) + "\r\n"
                    + "DTSTART;VALUE=DATE:" + date(start.addYears(9).addDays(2)) + "\r\nSUMMARY:Moved\r\n"
                    + pick({ "", "STATUS:CANCELLED\r\n" }));
            break;
        case 1: { // moveable feasts as a list
            QByteArray list;
            for (int k = 1; k <= 6; ++k)
                list += (k > 1 ? "," : "") + date(anyDay(2025 + k, 1));
            events += vevent(uid + dtstart + "RDATE;VALUE=DATE:" + list + "\r\nSUMMARY:Feast\r\n");
            break;
        }
        case 2: { // a break over the turn of the year
            const int year = 2019 + int(random.bounded(8));
            events += vevent(uid + "DTSTART;VALUE=DATE:" + date(QDate(year, 12, 24))
                + "\r\nDTEND;VALUE=DATE:" + date(QDate(year + 1, 1, 2 + int(random.bounded(3))))
                + "\r\nRRULE:FREQ=YEARLY" + limit + "\r\nSUMMARY:Break\r\n");
            break;
        }
        case 3: // a weekday of a month
            events += vevent(uid + dtstart
                + "RRULE:FREQ=" + pick({ "MONTHLY", "YEARLY;BYMONTH=" + number(start.month()) })
                + ";BYDAY=" + pick({ "1", "2", "-1", "3" }) + pick({ "MO", "TH", "FR", "SU" }) + limit
                + "\r\nSUMMARY:Nth\r\n");
            break;
        case 4: // the last day of a month, or a last working day
            events += vevent(uid + dtstart + "RRULE:FREQ="
                + pick({ "DAILY;BYMONTHDAY=-1", "MONTHLY;BYMONTHDAY=-1",
                    "MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1",
                    "DAILY;BYMONTH=" + number(1 + random.bounded(12))
                        + ";BYMONTHDAY=" + number(1 + random.bounded(28)) })
                + limit + "\r\nSUMMARY:Last\r\n");
            break;
        case 5: { // weeks, with a chosen position, from a week's first day
            const QDate monday = start.addDays(1 - start.dayOfWeek());
            events += vevent(uid + "DTSTART;VALUE=DATE:" + date(monday) + "\r\nRRULE:FREQ=WEEKLY;INTERVAL="
                + number(1 + random.bounded(4)) + ";BYDAY=" + pick({ "MO,FR", "TU,WE,TH", "MO,SA,SU" })
                + pick({ "", ";BYSETPOS=-1", ";BYSETPOS=1", ";BYSETPOS=2" }) + limit
                + "\r\nSUMMARY:Weekly\r\n");
            break;
        }
        case 6: // numbered weeks and days of the year
            events += vevent(uid + dtstart + "RRULE:FREQ=YEARLY;"
                + pick({ "BYWEEKNO=53;BYDAY=MO", "BYWEEKNO=1;BYDAY=MO,SU", "BYWEEKNO=-1;BYDAY=FR",
                    "BYYEARDAY=1,100,-1", "BYWEEKNO=20,52" })
                + limit + "\r\nSUMMARY:Numbered\r\n");
            break;
        case 7: { // a meeting in a zone, one instance excluded in UTC
            const QByteArray zone = pick({ "Europe/Berlin", "America/New_York", "Asia/Tokyo" });
            // Drawn in UTC, as a local time can fall in the hour skipped when clocks go forward.
            const QDateTime begins
                = QDateTime(anyDay(2025, 2), QTime(int(random.bounded(24)), 30), QTimeZone::utc())
                      .toTimeZone(QTimeZone(zone));
            const QDateTime excluded = begins.addDays(7 * (1 + random.bounded(20))).toUTC();
            events
                += vevent(uid + "DTSTART;TZID=" + zone + ":" + begins.toString("yyyyMMddTHHmmss").toLatin1()
                    + "\r\nDURATION:PT1H\r\nRRULE:FREQ=WEEKLY;COUNT=" + number(5 + random.bounded(60))
                    + "\r\nEXDATE:" + excluded.toString("yyyyMMddTHHmmssZ").toLatin1()
                    + "\r\nSUMMARY:Meeting\r\n");
            break;
        }
        case 8: // a day written as a time in UTC, perhaps cancelled
            events += vevent(uid + "DTSTART:" + date(anyDay(2026, 3)) + "T"
                + pick({ "230000", "000000", "120000" }) + "Z\r\nSUMMARY:Timed\r\n"
                + pick({ "", "", "STATUS:CANCELLED\r\n" }));
            break;
        default: // a holiday with excluded years
            events += vevent(uid + dtstart + "RRULE:FREQ=YEARLY;INTERVAL=" + number(1 + random.bounded(2))
                + limit + "\r\nEXDATE;VALUE=DATE:" + date(start.addYears(8)) + "," + date(start.addYears(10))
                + "\r\nSUMMARY:Excluded\r\n");
            break;
        }
    }
    return calendarOf(events);
}

} // namespace

void tst_IcsDaysOff::agreesWithASecondReading()
{
    const QString python = QStringLiteral("/usr/bin/python3");
    const QString script = QStringLiteral(AMBREL_SECOND_READING);
    QProcess probe;
    probe.start(python, { QStringLiteral("-c"), QStringLiteral("import icalendar, recurring_ical_events") });
    if (!probe.waitForFinished(30'000) || probe.exitCode() != 0)
        QSKIP("python3-icalendar and python3-recurring-ical-events are not installed (make test installs "
              "them)");

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    QTemporaryDir dir;
    QStringList files;
    QMap<QString, QByteArray> calendars;
    for (int i = 0; i < 150; ++i) {
        const QString path = dir.filePath(QStringLiteral("c%1.ics").arg(i));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        calendars[path] = randomCalendar(random);
        file.write(calendars[path]);
        files << path;
    }
    const QDate first(kThisYear, 1, 1);
    const QDate last(kThisYear + IcsDaysOff::LastYearAfterThis, 12, 31);
    QProcess second;
    second.start(python,
        QStringList {
            script, first.toString(Qt::ISODate), last.toString(Qt::ISODate), QString::fromLatin1(kZone) }
            + files);
    QVERIFY(second.waitForFinished(300'000));
    QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());

    QMap<QString, QStringList> expected;
    for (const QByteArray &line : second.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            expected[QString::fromUtf8(line.left(line.indexOf('|')))]
                << QString::fromUtf8(line.mid(line.indexOf('|') + 1));
    }
    for (const QString &path : files) {
        // An all-day date wins over a timed one on the same day, as the import lists one row a date.
        QMap<QString, QString> byDay;
        for (const QString &day : expected.value(path)) {
            const QString date = day.left(10);
            if (!byDay.contains(date) || day.endsWith(QLatin1String("|A")))
                byDay[date] = day;
        }
        QStringList found;
        const Refusable<IcsDaysOffImport> read = readInBerlin(calendars[path]);
        for (const IcsFoundDate &date : read->found) {
            if (date.date >= first && date.date <= last)
                found << date.date.toString(Qt::ISODate)
                        + (date.allDay ? QStringLiteral("|A") : QStringLiteral("|T"));
        }
        QVERIFY2(found == byDay.values(),
            qPrintable(
                QStringLiteral("seed %1\n%2\nours:   %3\nsecond: %4")
                    .arg(seed)
                    .arg(QString::fromUtf8(calendars[path]), found.join(' '), byDay.values().join(' '))));
    }
}

QTEST_GUILESS_MAIN(tst_IcsDaysOff)
#include "tst_icsdaysoff.moc"
