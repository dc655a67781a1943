#include "export/IcsWriter.h"
#include "schedule/ScheduleBuilder.h"
#include "schedule/TaskLine.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QTest>
#include <QTimeZone>

#include <libical/ical.h>

using namespace ambrel;

namespace {

const QDate kThursday(2024, 6, 6), kFriday(2024, 6, 7), kMonday(2024, 6, 10), kWednesday(2024, 6, 12);
const QDateTime kStamp(QDate(2024, 6, 1), QTime(8, 30), QTimeZone(2 * 3600));

EventRow makeEvent(
    const QString &project, const QString &task, int number, QDate first, QDate last, int occurrence = 1)
{
    EventRow row;
    row.subjectBase = project + QLatin1String(": ") + task;
    row.number = number;
    row.startDate = first;
    row.endDate = last;
    row.description = task;
    row.name = task.trimmed();
    row.occurrence = occurrence;
    return row;
}
using Events = std::vector<EventRow>;

QByteArray exported(const QString &project, const Events &events, const QString &startsAt = "08:30 AM",
    const QString &endsAt = "04:30 PM")
{
    const Refusable<QByteArray> text = calendarIcs({ project, startsAt, endsAt, kStamp }, events);
    return text.refused() ? "refused: " + text.refusal().text.toUtf8() : *text;
}

// One VEVENT as libical reads it back, its repetitions expanded into the days it covers.
struct ReadEvent {
    QString uid, summary, description, categories;
    QDateTime start, end;
    QList<QDate> days;
};

QDateTime floating(const icaltimetype &t)
{
    return t.zone ? QDateTime() : QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

QString text(icalcomponent *c, icalproperty_kind kind)
{
    icalproperty *p = icalcomponent_get_first_property(c, kind);
    return p ? QString::fromUtf8(icalvalue_get_text(icalproperty_get_value(p))) : QString();
}

std::vector<ReadEvent> readBack(const QByteArray &ics, QString *name = nullptr)
{
    icalcomponent *calendar = icalparser_parse_string(ics.constData());
    if (icalproperty *p = icalcomponent_get_first_property(calendar, ICAL_X_PROPERTY); p && name)
        *name = QString::fromUtf8(icalproperty_get_x(p));
    std::vector<ReadEvent> events;
    for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        ReadEvent e { QString::fromUtf8(icalcomponent_get_uid(c)), text(c, ICAL_SUMMARY_PROPERTY),
            text(c, ICAL_DESCRIPTION_PROPERTY), text(c, ICAL_CATEGORIES_PROPERTY),
            floating(icalcomponent_get_dtstart(c)), floating(icalcomponent_get_dtend(c)), {} };
        icalproperty *rule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
        icalrecur_iterator *it = rule
            ? icalrecur_iterator_new(icalproperty_get_rrule(rule), icalcomponent_get_dtstart(c))
            : nullptr;
        for (icaltimetype t = it ? icalrecur_iterator_next(it) : icalcomponent_get_dtstart(c);
             !icaltime_is_null_time(t) && e.days.size() < 1000;
             t = it ? icalrecur_iterator_next(it) : icaltime_null_time())
            e.days << floating(t).date();
        if (it)
            icalrecur_iterator_free(it);
        events.push_back(e);
    }
    icalcomponent_free(calendar);
    return events;
}

// The task lines as a person types them, scheduled from kMonday on a Monday-to-Friday week, as events.
Events typedEvents(const QStringList &lines)
{
    ScheduleState state;
    state.PickedStartDate = kMonday;
    const ScheduleRequest request { lines.join(QStringLiteral("\r\n")), QStringLiteral("Launch"), true,
        WorkingCalendar({ 0, 1, 1, 1, 1, 1, 0, 0 }, true), QStringLiteral("9:00 AM"),
        QStringLiteral("5:00 PM") };
    Schedule schedule;
    if (ScheduleBuilder::build(state, request, kMonday, schedule))
        qFatal("the sample plan was refused");
    return calendarEventRows(schedule);
}

} // namespace

class TestIcsWriter : public QObject {
    Q_OBJECT

private slots:
    void eventsReadBack_data();
    void eventsReadBack();
    void textOfEvents_data();
    void textOfEvents();
    void hours_data();
    void hours();
    void uids_data();
    void uids();
    void deviceGetsTheCalendarOrNothing();
    void idTakesTheNamesPlace_data();
    void idTakesTheNamesPlace();
    void resourcesHoldOneEventEach();
};

void TestIcsWriter::eventsReadBack_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<Events>("events");
    // Looked for in the text itself, as libical's reader drops empty values and trailing blanks.
    QTest::addColumn<QByteArrayList>("lines");

    const QString p = QStringLiteral("Launch"), odd = QStringLiteral("Café, a; C:\\Temp \u65e5 \U0001F680");
    const QString longText = QString(100, QLatin1Char('x')) + QString(100, QChar(0x00e9));
    QTest::newRow("run over a weekend: two events") << p
                                                    << Events { makeEvent(p, "Build", 1, kThursday, kFriday),
                                                           makeEvent(p, "Build", 2, kMonday, kWednesday) }
                                                    << QByteArrayList();
    QTest::newRow("one-day run") << p << Events { makeEvent(p, "Call", 1, kFriday, kFriday) }
                                 << QByteArrayList();
    QTest::newRow("no events") << p << Events() << QByteArrayList();
    QTest::newRow("over the turn of the year")
        << p << Events { makeEvent(p, "Hop", 1, QDate(2024, 12, 30), QDate(2025, 1, 2)) } << QByteArrayList();
    QTest::newRow("comma, semicolon, backslash, non-ASCII")
        << odd << Events { makeEvent(odd, odd, 1, kMonday, kMonday) } << QByteArrayList();
    QTest::newRow("200-character text, folded")
        << p << Events { makeEvent(p, longText, 1, kMonday, kWednesday) } << QByteArrayList();
    QTest::newRow("empty name and text")
        << QString() << Events { makeEvent(QString(), QString(), 1, kMonday, kMonday) }
        << QByteArrayList { "X-WR-CALNAME:", "SUMMARY:", "DESCRIPTION:" };
    QTest::newRow("text ending in a blank")
        << p << Events { makeEvent(p, "Design ", 1, kMonday, kMonday) }
        << QByteArrayList { "SUMMARY:Design", "CATEGORIES:Launch", "DESCRIPTION:Project: Launch" };
    EventRow milestone = makeEvent(p, "Release", 1, kMonday, kMonday);
    milestone.allDay = true;
    QTest::newRow("milestone: a day without hours")
        << p << Events { makeEvent(p, "Build", 1, kThursday, kFriday), milestone }
        << QByteArrayList { "DTSTART;VALUE=DATE:20240610", "DTEND;VALUE=DATE:20240611" };
}

void TestIcsWriter::eventsReadBack()
{
    QFETCH(QString, project);
    QFETCH(Events, events);
    QFETCH(QByteArrayList, lines);

    const QByteArray ics = exported(project, events);
    QVERIFY2(ics.startsWith("BEGIN:VCALENDAR\r\n") && ics.endsWith("END:VCALENDAR\r\n"), ics.constData());
    // A strict reader wants CR LF, at most 75 octets a line, and no character cut in two by the folding.
    for (const QByteArray &line : ics.chopped(1).split('\n')) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder(line);
        QVERIFY2(line.endsWith('\r') && line.size() <= 76 && !decoder.hasError(), line.constData());
    }
    for (const QByteArray &line : lines)
        QVERIFY2(ics.contains("\r\n" + line + "\r\n"), line.constData());

    const auto runs = std::count_if(
        events.begin(), events.end(), [](const EventRow &e) { return e.startDate != e.endDate; });
    QCOMPARE(ics.count("\r\nRRULE:FREQ=DAILY;COUNT="), runs);
    QVERIFY(!ics.contains("\r\nLOCATION") && !ics.contains("\r\nCLASS"));
    QCOMPARE(ics.count("\r\nCATEGORIES:"), project.isEmpty() ? 0 : qsizetype(events.size()));

    QString name;
    const std::vector<ReadEvent> read = readBack(ics, &name);
    QCOMPARE(name, project);
    QCOMPARE(read.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        QCOMPARE(read[i].summary, events[i].name);
        QCOMPARE(read[i].categories, project);
        const bool allDay = events[i].allDay;
        QCOMPARE(read[i].start, QDateTime(events[i].startDate, allDay ? QTime(0, 0) : QTime(8, 30)));
        QCOMPARE(read[i].end,
            allDay ? QDateTime(events[i].startDate.addDays(1), QTime(0, 0))
                   : QDateTime(events[i].startDate, QTime(16, 30)));
        QList<QDate> days;
        for (QDate d = events[i].startDate; d <= events[i].endDate; d = d.addDays(1))
            days << d;
        QCOMPARE(read[i].days, days);
    }
}

void TestIcsWriter::textOfEvents_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("summaries"); // every event's, in order
    QTest::addColumn<QString>("description"); // the last task's events'

    QTest::newRow("plain name, blanks trimmed")
        << QStringList { "  Design   + 3" } << QStringList { "Design" } << "Project: Launch";
    QTest::newRow("split by weekends: which part")
        << QStringList { "Build + 12" }
        << QStringList { "Build (part 1 of 3)", "Build (part 2 of 3)", "Build (part 3 of 3)" }
        << "Project: Launch";
    QTest::newRow("done") << QStringList { "Draft + 1 [done]" } << QStringList { "Draft" }
                          << "Project: Launch\nDone";
    QTest::newRow("share done") << QStringList { "Draft + 1 [40%]" } << QStringList { "Draft" }
                                << "Project: Launch\n40% done";
    QTest::newRow("after two tasks, beside another")
        << QStringList { "Backend + 2", "// Frontend + 1", "Integration + 1 [after backend , Frontend]" }
        << QStringList { "Backend", "Frontend", "Integration" } << "Project: Launch\nafter backend, Frontend";
    QTest::newRow("milestone") << QStringList { "Draft + 2", "Beta [milestone]" }
                               << QStringList { "Draft", "Beta" } << "Project: Launch\nMilestone";
    QTest::newRow("waiting, no earlier than a day")
        << QStringList { "Ship + 1 [wait 2] [from 2024-07-01]" } << QStringList { "Ship" }
        << "Project: Launch\nwaits 2 working days\nnot before 2024-07-01";
    QTest::newRow("a day early, then done")
        << QStringList { "Draft + 2", "Ship + 1 [wait -1] [25%] [done]" } << QStringList { "Draft", "Ship" }
        << "Project: Launch\nDone\nstarts 1 working day early";
}

// What a calendar shows of each event: its title, the project as its category, the marks in its description;
// and the marks change no UID.
void TestIcsWriter::textOfEvents()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, summaries);
    QFETCH(QString, description);

    const std::vector<ReadEvent> read = readBack(exported("Launch", typedEvents(lines)));
    QStringList found;
    for (const ReadEvent &event : read) {
        found << event.summary;
        QCOMPARE(event.categories, QStringLiteral("Launch"));
    }
    QCOMPARE(found, summaries);
    QCOMPARE(read.back().description, description);

    QStringList unmarked = lines;
    for (QString &line : unmarked) {
        const qsizetype marksAt = ReadTaskLine(line).marksAt;
        line = marksAt < 0 ? line : line.left(marksAt);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
    }
    const std::vector<ReadEvent> plain = readBack(exported("Launch", typedEvents(unmarked)));
    QCOMPARE(plain.size(), read.size());
    for (std::size_t i = 0; i < read.size(); ++i)
        QCOMPARE(plain[i].uid, read[i].uid);
}

void TestIcsWriter::hours_data()
{
    QTest::addColumn<QString>("startsAt");
    QTest::addColumn<QString>("endsAt");
    QTest::addColumn<QTime>("begins"); // invalid: refused
    QTest::addColumn<QTime>("ends");
    QTest::addColumn<QStringList>("told"); // what the refusal names

    QTest::newRow("hour choices") << "09:00 AM"
                                  << "05:00 PM" << QTime(9, 0) << QTime(17, 0) << QStringList();
    QTest::newRow("short forms") << "9 AM"
                                 << "5:30pm" << QTime(9, 0) << QTime(17, 30) << QStringList();
    QTest::newRow("24-hour forms") << "7:45"
                                   << "17:00:00" << QTime(7, 45) << QTime(17, 0) << QStringList();
    QTest::newRow("midnight to noon") << "12 AM"
                                      << "12 PM" << QTime(0, 0) << QTime(12, 0) << QStringList();
    const QString settings = QStringLiteral("Settings \u2192 Working Week\u2026");
    QTest::newRow("begin unreadable")
        << "half eight"
        << "05:00 PM" << QTime() << QTime()
        << QStringList { "\"half eight\"", settings, "--begins", "workingday_starts_at.txt" };
    QTest::newRow("begin empty") << ""
                                 << "05:00 PM" << QTime() << QTime() << QStringList { "\"\"", "--begins" };
    QTest::newRow("end unreadable") << "09:00 AM"
                                    << "13 PM" << QTime() << QTime()
                                    << QStringList { "\"13 PM\"", settings, "--ends",
                                           "workingday_ends_at.txt" };
    QTest::newRow("end before begin") << "05:00 PM"
                                      << "09:00 AM" << QTime() << QTime()
                                      << QStringList { "\"09:00 AM\"", "\"05:00 PM\"", settings, "--begins",
                                             "--ends", "workingday_starts_at.txt", "workingday_ends_at.txt" };
    QTest::newRow("end equal to begin") << "9 AM"
                                        << "09:00" << QTime() << QTime() << QStringList { "\"09:00\"" };
    QTest::newRow("end at 12 AM, midnight") << "09:00 AM"
                                            << "12:00 AM" << QTime() << QTime() << QStringList();
}

void TestIcsWriter::hours()
{
    QFETCH(QString, startsAt);
    QFETCH(QString, endsAt);
    QFETCH(QTime, begins);
    QFETCH(QTime, ends);
    QFETCH(QStringList, told);

    const QByteArray ics = exported("P", { makeEvent("P", "T", 1, kMonday, kWednesday) }, startsAt, endsAt);
    QCOMPARE(ics.startsWith("refused: "), !begins.isValid());
    QCOMPARE(icsHoursRefusal(startsAt, endsAt).has_value(), !begins.isValid());
    for (const QString &part : told)
        QVERIFY2(QString::fromUtf8(ics).contains(part), qPrintable(ics + " lacks " + part));
    if (begins.isValid()) {
        const std::vector<ReadEvent> read = readBack(ics);
        QCOMPARE(read.size(), std::size_t(1));
        QCOMPARE(read[0].start, QDateTime(kMonday, begins));
        QCOMPARE(read[0].end, QDateTime(kMonday, ends));
    }
}

void TestIcsWriter::uids_data()
{
    QTest::addColumn<QString>("firstProject");
    QTest::addColumn<Events>("first");
    QTest::addColumn<QString>("secondProject");
    QTest::addColumn<Events>("second");
    QTest::addColumn<int>("shared"); // how many UIDs of the first export come back in the second

    const EventRow a1 = makeEvent("P", "A", 1, kThursday, kFriday),
                   a2 = makeEvent("P", "A", 2, kMonday, kWednesday);
    const EventRow moved = makeEvent("P", "A", 1, kWednesday, kWednesday);
    const EventRow secondA = makeEvent("P", "A", 1, kThursday, kFriday, 2);
    const Events twins { a1, makeEvent("P", "A", 1, kMonday, kMonday) };
    QTest::newRow("same project again") << "P" << Events { a1, a2 } << "P" << Events { a1, a2 } << 2;
    QTest::newRow("other project name") << "P" << Events { a1, a2 } << "Q" << Events { a1, a2 } << 0;
    QTest::newRow("task moved to other days") << "P" << Events { a1 } << "P" << Events { moved } << 1;
    QTest::newRow("task inserted before the others")
        << "P" << Events { a1, a2 } << "P" << Events { makeEvent("P", "B", 1, kMonday, kMonday), a1, a2 }
        << 2;
    QTest::newRow("other occurrence of the text") << "P" << Events { a1 } << "P" << Events { secondA } << 0;
    QTest::newRow("two tasks of one text not told apart") << "P" << twins << "P" << twins << 2;
    QTest::newRow("name and text not run together")
        << "P: A" << Events { makeEvent("P: A", "B", 1, kMonday, kMonday) } << "P"
        << Events { makeEvent("P", "A: B", 1, kMonday, kMonday) } << 0;
}

void TestIcsWriter::uids()
{
    QFETCH(QString, firstProject);
    QFETCH(Events, first);
    QFETCH(QString, secondProject);
    QFETCH(Events, second);
    QFETCH(int, shared);

    QStringList before, after;
    for (const ReadEvent &e : readBack(exported(firstProject, first)))
        before << e.uid;
    for (const ReadEvent &e : readBack(exported(secondProject, second)))
        after << e.uid;
    QCOMPARE(before.size(), qsizetype(first.size()));
    QCOMPARE(QSet<QString>(before.begin(), before.end()).size(), before.size());
    QCOMPARE(
        std::count_if(before.begin(), before.end(), [&](const QString &uid) { return after.contains(uid); }),
        shared);
}

void TestIcsWriter::deviceGetsTheCalendarOrNothing()
{
    const Events events { makeEvent("P", "T", 1, kMonday, kWednesday),
        makeEvent("P", "T", 2, kFriday, kFriday) };
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(!streamCalendarIcs(&buffer, { "P", "9 AM", "5 PM", kStamp }, events));
    QCOMPARE(buffer.data().count("\r\nDTSTAMP:20240601T063000Z\r\n"), 2);

    QBuffer refused;
    QVERIFY(refused.open(QIODevice::WriteOnly));
    QVERIFY(streamCalendarIcs(&refused, { "P", "5 PM", "9 AM", kStamp }, events));
    QVERIFY(streamCalendarIcs(
        &refused, { "P", "9 AM", "5 PM", kStamp }, { makeEvent("P", "T", 1, kWednesday, kMonday) }));
    QVERIFY(refused.data().isEmpty());
}

void TestIcsWriter::idTakesTheNamesPlace_data()
{
    QTest::addColumn<QStringList>("before"); // name and Id
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("same");

    QTest::newRow("renamed, same Id") << QStringList { "P", "id-1" } << QStringList { "Q", "id-1" } << true;
    QTest::newRow("same name, other Id: a copy")
        << QStringList { "P", "id-1" } << QStringList { "P", "id-2" } << false;
    QTest::newRow("the old name taken as Id keeps its UIDs")
        << QStringList { "P", "" } << QStringList { "Q", "P" } << true;
    QTest::newRow("a name's line break is the blank a saved file reads back")
        << QStringList { "Two\nlines", "" } << QStringList { "Q", "Two lines" } << true;
}

void TestIcsWriter::idTakesTheNamesPlace()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(bool, same);

    auto uids = [](const QString &name, const QString &id) {
        const Events events { makeEvent(name, "A", 1, kThursday, kFriday),
            makeEvent(name, "A", 2, kMonday, kMonday) };
        const IcsOptions options { name, "9 AM", "5 PM", kStamp, id };
        const Refusable<QByteArray> text = calendarIcs(options, events);
        if (text.refused())
            return QStringList();
        QStringList result;
        for (const ReadEvent &e : readBack(*text))
            result << e.uid;
        return result;
    };
    const QStringList first = uids(before[0], before[1]);
    QCOMPARE(first.size(), 2);
    QCOMPARE(first == uids(after[0], after[1]), same);
}

// Each resource is the export's event on its own, as a calendar server takes it: same UID and content, no
// METHOD, marked as the project's.
void TestIcsWriter::resourcesHoldOneEventEach()
{
    const Events events { makeEvent("P", "A", 1, kThursday, kFriday),
        makeEvent("P", "A", 1, kMonday, kMonday), makeEvent("P", "B, c", 1, kWednesday, kWednesday) };
    const IcsOptions options { "P", "9 AM", "5 PM", kStamp, "id-1" };
    const Refusable<QByteArray> whole = calendarIcs(options, events);
    QVERIFY(!whole.refused());
    const Refusable<std::vector<IcsResource>> made = calendarIcsResources(options, events);
    QVERIFY(!made.refused());
    const std::vector<IcsResource> &resources = *made;
    const std::vector<ReadEvent> expected = readBack(*whole);
    QCOMPARE(resources.size(), expected.size());
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const std::vector<ReadEvent> one = readBack(resources[i].text);
        QCOMPARE(one.size(), std::size_t(1));
        QCOMPARE(one[0].uid, expected[i].uid);
        QCOMPARE(QString::fromUtf8(resources[i].uid), expected[i].uid);
        QCOMPARE(one[0].summary, expected[i].summary);
        QCOMPARE(one[0].days, expected[i].days);
        QVERIFY(!resources[i].text.contains("METHOD:"));
        QVERIFY(resources[i].text.contains("\r\nX-AMBREL-PROJECT:id-1\r\n"));
    }
    QVERIFY(calendarIcsResources({ "P", "5 PM", "9 AM", kStamp }, events).refused());
}

QTEST_GUILESS_MAIN(TestIcsWriter)
#include "tst_icswriter.moc"
