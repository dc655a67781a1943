#include "export/IcsWriter.h"

#include <QBuffer>
#include <QStringConverter>
#include <QTest>
#include <QTimeZone>

#include <libical/ical.h>

#include <memory>

using namespace ambrel;

namespace {

// Thursday 6 June 2024 and the days around it.
const QDate kThursday(2024, 6, 6);
const QDate kFriday(2024, 6, 7);
const QDate kMonday(2024, 6, 10);
const QDate kWednesday(2024, 6, 12);
const QDateTime kStamp(QDate(2024, 6, 1), QTime(8, 30, 15), Qt::UTC);

EventRow makeEvent(const QString &project, const QString &task, int number, const QDate &first,
    const QDate &last, int occurrence = 1)
{
    EventRow row;
    row.subjectBase = project + QLatin1String(": ") + task;
    row.number = number;
    row.startDate = first;
    row.endDate = last;
    row.startTime = QStringLiteral("09:00 AM");
    row.endTime = QStringLiteral("05:00 PM");
    row.description = task;
    row.occurrence = occurrence;
    return row;
}

IcsOptions options(const QString &project, const QString &startsAt = QStringLiteral("08:30 AM"),
    const QString &endsAt = QStringLiteral("04:30 PM"))
{
    return IcsOptions { project, startsAt, endsAt, kStamp };
}

struct ComponentFree {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

QString textOf(icalcomponent *component, icalproperty_kind kind)
{
    icalproperty *property = icalcomponent_get_first_property(component, kind);
    return property ? QString::fromUtf8(icalvalue_as_ical_string(icalproperty_get_value(property)))
                    : QStringLiteral("<missing>");
}

QString decodedText(icalcomponent *component, icalproperty_kind kind)
{
    icalproperty *property = icalcomponent_get_first_property(component, kind);
    if (!property)
        return QStringLiteral("<missing>");
    return QString::fromUtf8(icalvalue_get_text(icalproperty_get_value(property)));
}

QString trimmedRight(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

QDateTime localTime(const icaltimetype &t)
{
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

// The days on which libical itself repeats the event, so the rule is checked as a calendar reads it.
QList<QDate> occurrenceDays(icalcomponent *vevent)
{
    const icaltimetype start = icalcomponent_get_dtstart(vevent);
    icalproperty *rrule = icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY);
    if (!rrule)
        return { localTime(start).date() };
    QList<QDate> days;
    icalrecur_iterator *it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t) && days.size() < 10000;
         t = icalrecur_iterator_next(it))
        days << localTime(t).date();
    icalrecur_iterator_free(it);
    return days;
}

QList<QDate> daysOf(const EventRow &event)
{
    QList<QDate> days;
    for (QDate d = event.startDate; d <= event.endDate; d = d.addDays(1))
        days << d;
    return days;
}

std::vector<icalcomponent *> veventsOf(icalcomponent *calendar)
{
    std::vector<icalcomponent *> events;
    for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        events.push_back(c);
    return events;
}

QByteArray exported(const IcsOptions &o, const std::vector<EventRow> &events)
{
    QByteArray text;
    const std::optional<QString> refusal = calendarIcs(o, events, &text);
    return refusal ? "refused: " + refusal->toUtf8() : text;
}

QStringList uidsOf(const QByteArray &text)
{
    const Component calendar(icalparser_parse_string(text.constData()));
    QStringList uids;
    for (icalcomponent *vevent : veventsOf(calendar.get()))
        uids << QString::fromUtf8(icalcomponent_get_uid(vevent));
    return uids;
}

} // namespace

class TestIcsWriter : public QObject {
    Q_OBJECT

private slots:
    void eventsParseBack_data();
    void eventsParseBack();
    void hours_data();
    void hours();
    void uids_data();
    void uids();
    void stampIsWrittenInUtc();
    void deviceGetsTheCalendarOrNothing();
};

void TestIcsWriter::eventsParseBack_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<std::vector<EventRow>>("events");
    // Lines looked for in the text itself: libical's reader drops empty values and trailing blanks, which
    // the format keeps.
    QTest::addColumn<QByteArrayList>("lines");

    const QByteArrayList none;
    const QString p = QStringLiteral("Launch");
    QTest::newRow("run over a weekend, two events")
        << p
        << std::vector<EventRow> { makeEvent(p, "Build", 1, kThursday, kFriday),
               makeEvent(p, "Build", 2, kMonday, kWednesday) }
        << none;
    QTest::newRow("one-day run") << p << std::vector<EventRow> { makeEvent(p, "Call", 1, kFriday, kFriday) }
                                 << none;
    QTest::newRow("a task without events: none") << p << std::vector<EventRow>() << none;
    QTest::newRow("several tasks keep their order")
        << p
        << std::vector<EventRow> { makeEvent(p, "B", 1, kMonday, kMonday),
               makeEvent(p, "A", 1, kThursday, kThursday), makeEvent(p, "C", 1, kWednesday, kWednesday) }
        << none;
    QTest::newRow("every day of a week without working week")
        << p << std::vector<EventRow> { makeEvent(p, "Run", 1, kThursday, kWednesday) } << none;
    QTest::newRow("run over the turn of the year")
        << p << std::vector<EventRow> { makeEvent(p, "Hop", 1, QDate(2024, 12, 30), QDate(2025, 1, 2)) }
        << none;
    const QString odd = QStringLiteral("Café, Straße; C:\\Temp \u65e5\u672c \U0001F680");
    QTest::newRow("name and text with comma, semicolon, backslash, non-ASCII")
        << odd << std::vector<EventRow> { makeEvent(odd, odd, 1, kMonday, kMonday) } << none;
    QTest::newRow("empty project name and task text")
        << QString() << std::vector<EventRow> { makeEvent(QString(), QString(), 1, kMonday, kMonday) }
        << QByteArrayList { "X-WR-CALNAME:", "SUMMARY:: ", "DESCRIPTION:" };
    QTest::newRow("task text ending in a blank")
        << p << std::vector<EventRow> { makeEvent(p, "Design ", 1, kMonday, kMonday) }
        << QByteArrayList { "SUMMARY:Launch: Design ", "DESCRIPTION:Design " };
    const QString longTask = QString(100, QLatin1Char('x')) + QString(100, QChar(0x00e9));
    QTest::newRow("200-character task text, folded")
        << p << std::vector<EventRow> { makeEvent(p, longTask, 1, kMonday, kWednesday) } << none;
    QTest::newRow("task text with a line break")
        << p << std::vector<EventRow> { makeEvent(p, "two\nlines", 1, kMonday, kMonday) } << none;
}

void TestIcsWriter::eventsParseBack()
{
    QFETCH(QString, project);
    QFETCH(std::vector<EventRow>, events);
    QFETCH(QByteArrayList, lines);

    const QByteArray text = exported(options(project), events);
    QVERIFY2(text.startsWith("BEGIN:VCALENDAR\r\n"), text.left(80).constData());

    // What a strict reader asks of the bytes: CR LF line ends, lines of at most 75 octets, each valid UTF-8.
    QVERIFY(text.endsWith("\r\n"));
    for (const QByteArray &line : text.chopped(1).split('\n')) {
        QVERIFY2(line.endsWith('\r') && line.size() <= 76, line.constData());
        auto toUtf16 = QStringDecoder(QStringDecoder::Utf8);
        const QString decoded = toUtf16(line);
        QVERIFY2(!toUtf16.hasError(), line.constData());
    }

    const Component calendar(icalparser_parse_string(text.constData()));
    QVERIFY(calendar);
    QCOMPARE(icalcomponent_isa(calendar.get()), ICAL_VCALENDAR_COMPONENT);
    QCOMPARE(textOf(calendar.get(), ICAL_VERSION_PROPERTY), QStringLiteral("2.0"));
    QCOMPARE(textOf(calendar.get(), ICAL_PRODID_PROPERTY), QStringLiteral("-//Ambrel//Ambrel Pro 1.4//EN"));
    QCOMPARE(textOf(calendar.get(), ICAL_CALSCALE_PROPERTY), QStringLiteral("GREGORIAN"));
    QCOMPARE(textOf(calendar.get(), ICAL_METHOD_PROPERTY), QStringLiteral("PUBLISH"));
    for (const QByteArray &line : lines)
        QVERIFY2(text.contains("\r\n" + line + "\r\n"), line.constData());
    icalproperty *name = icalcomponent_get_first_property(calendar.get(), ICAL_X_PROPERTY);
    if (!project.isEmpty()) {
        QVERIFY(name);
        QCOMPARE(QString::fromUtf8(icalproperty_get_x_name(name)), QStringLiteral("X-WR-CALNAME"));
        QCOMPARE(QString::fromUtf8(icalproperty_get_x(name)), project);
    }

    const std::vector<icalcomponent *> vevents = veventsOf(calendar.get());
    QCOMPARE(vevents.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        icalcomponent *vevent = vevents[i];
        const EventRow &event = events[i];
        QCOMPARE(decodedText(vevent, ICAL_SUMMARY_PROPERTY), trimmedRight(event.subject()));
        if (!event.description.isEmpty())
            QCOMPARE(decodedText(vevent, ICAL_DESCRIPTION_PROPERTY), trimmedRight(event.description));
        QCOMPARE(decodedText(vevent, ICAL_LOCATION_PROPERTY), QStringLiteral("Home"));
        QCOMPARE(textOf(vevent, ICAL_CLASS_PROPERTY), QStringLiteral("PRIVATE"));

        const icaltimetype start = icalcomponent_get_dtstart(vevent);
        const icaltimetype end = icalcomponent_get_dtend(vevent);
        QVERIFY(!start.zone && !end.zone && !start.is_date);
        QVERIFY(!icalproperty_get_first_parameter(
            icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY), ICAL_TZID_PARAMETER));
        QCOMPARE(localTime(start), QDateTime(event.startDate, QTime(8, 30)));
        QCOMPARE(localTime(end), QDateTime(event.startDate, QTime(16, 30)));

        const int rules = icalcomponent_count_properties(vevent, ICAL_RRULE_PROPERTY);
        QCOMPARE(rules, event.startDate == event.endDate ? 0 : 1);
        if (rules == 1)
            QCOMPARE(
                icalproperty_get_rrule(icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY)).freq,
                ICAL_DAILY_RECURRENCE);
        QCOMPARE(occurrenceDays(vevent), daysOf(event));
    }
}

void TestIcsWriter::hours_data()
{
    QTest::addColumn<QString>("startsAt");
    QTest::addColumn<QString>("endsAt");
    QTest::addColumn<QTime>("begins"); // invalid: the export is refused
    QTest::addColumn<QTime>("ends");
    QTest::addColumn<QStringList>("told"); // what the refusal names

    const QTime none;
    const QStringList fine;
    QTest::newRow("hour choices") << "09:00 AM"
                                  << "05:00 PM" << QTime(9, 0) << QTime(17, 0) << fine;
    QTest::newRow("short 12-hour forms") << "9 AM"
                                         << "5:30pm" << QTime(9, 0) << QTime(17, 30) << fine;
    QTest::newRow("24-hour forms") << "7:45"
                                   << "17:00:00" << QTime(7, 45) << QTime(17, 0) << fine;
    QTest::newRow("midnight to noon") << "12 AM"
                                      << "12 PM" << QTime(0, 0) << QTime(12, 0) << fine;
    QTest::newRow("a minute of work") << "11:59 AM"
                                      << "12:00 PM" << QTime(11, 59) << QTime(12, 0) << fine;

    const QStringList beginFix { "begin", "Settings \u2192 Working Week\u2026", "--begins",
        "workingday_starts_at.txt" };
    const QStringList endFix { "end", "Settings \u2192 Working Week\u2026", "--ends",
        "workingday_ends_at.txt" };
    QTest::newRow("begin hour unreadable")
        << "half eight"
        << "05:00 PM" << none << none << beginFix + QStringList { "\"half eight\"" };
    QTest::newRow("begin hour empty") << ""
                                      << "05:00 PM" << none << none << beginFix + QStringList { "\"\"" };
    QTest::newRow("end hour out of range") << "09:00 AM"
                                           << "25:00" << none << none << endFix + QStringList { "\"25:00\"" };
    QTest::newRow("end hour 13 PM") << "09:00 AM"
                                    << "13 PM" << none << none << endFix + QStringList { "\"13 PM\"" };
    const QStringList bothFix { "Settings \u2192 Working Week\u2026", "--begins", "--ends",
        "workingday_starts_at.txt", "workingday_ends_at.txt" };
    QTest::newRow("end before begin")
        << "05:00 PM"
        << "09:00 AM" << none << none << bothFix + QStringList { "\"09:00 AM\"", "\"05:00 PM\"" };
    QTest::newRow("end equal to begin, written apart")
        << "9 AM"
        << "09:00" << none << none << bothFix + QStringList { "\"09:00\"", "\"9 AM\"" };
    QTest::newRow("end at 12 AM is midnight, before the day")
        << "09:00 AM"
        << "12:00 AM" << none << none << bothFix + QStringList { "\"12:00 AM\"" };
}

void TestIcsWriter::hours()
{
    QFETCH(QString, startsAt);
    QFETCH(QString, endsAt);
    QFETCH(QTime, begins);
    QFETCH(QTime, ends);
    QFETCH(QStringList, told);

    const std::vector<EventRow> events { makeEvent("P", "T", 1, kMonday, kWednesday) };
    QByteArray text("untouched");
    const std::optional<QString> refusal = calendarIcs(options("P", startsAt, endsAt), events, &text);
    QCOMPARE(refusal.has_value(), !begins.isValid());
    QCOMPARE(icsHoursRefusal(startsAt, endsAt), refusal);
    if (refusal) {
        QCOMPARE(text, QByteArray("untouched"));
        for (const QString &part : told)
            QVERIFY2(refusal->contains(part), qPrintable(*refusal + " lacks " + part));
        return;
    }

    const Component calendar(icalparser_parse_string(text.constData()));
    const std::vector<icalcomponent *> vevents = veventsOf(calendar.get());
    QCOMPARE(vevents.size(), std::size_t(1));
    QCOMPARE(localTime(icalcomponent_get_dtstart(vevents[0])), QDateTime(kMonday, begins));
    QCOMPARE(localTime(icalcomponent_get_dtend(vevents[0])), QDateTime(kMonday, ends));
}

void TestIcsWriter::uids_data()
{
    QTest::addColumn<QString>("firstProject");
    QTest::addColumn<std::vector<EventRow>>("first");
    QTest::addColumn<QString>("secondProject");
    QTest::addColumn<std::vector<EventRow>>("second");
    QTest::addColumn<int>("shared"); // how many UIDs of the first export come back in the second

    const EventRow build1 = makeEvent("P", "Build", 1, kThursday, kFriday);
    const EventRow build2 = makeEvent("P", "Build", 2, kMonday, kWednesday);
    const std::vector<EventRow> build { build1, build2 };
    QTest::newRow("same project twice") << "P" << build << "P" << build << 2;
    QTest::newRow("other project name") << "P" << build << "Q" << build << 0;
    QTest::newRow("project name differs only in case") << "P" << build << "p" << build << 0;

    EventRow later1 = build1;
    later1.startDate = later1.endDate = kWednesday;
    QTest::newRow("task moved to other days keeps its UID")
        << "P" << std::vector<EventRow> { build1 } << "P" << std::vector<EventRow> { later1 } << 1;
    QTest::newRow("task inserted before: the others keep theirs")
        << "P" << build << "P"
        << std::vector<EventRow> { makeEvent("P", "Plan", 1, kThursday, kThursday), build1, build2 } << 2;

    EventRow secondBuild = build1;
    secondBuild.occurrence = 2;
    QTest::newRow("other occurrence of the same text")
        << "P" << std::vector<EventRow> { build1 } << "P" << std::vector<EventRow> { secondBuild } << 0;
    const std::vector<EventRow> twins { makeEvent("P", "Same", 1, kMonday, kMonday),
        makeEvent("P", "Same", 1, kWednesday, kWednesday) };
    QTest::newRow("two tasks of one text not told apart") << "P" << twins << "P" << twins << 2;
    QTest::newRow("text and name not merged")
        << "P: A" << std::vector<EventRow> { makeEvent("P: A", "B", 1, kMonday, kMonday) } << "P"
        << std::vector<EventRow> { makeEvent("P", "A: B", 1, kMonday, kMonday) } << 0;
}

void TestIcsWriter::uids()
{
    QFETCH(QString, firstProject);
    QFETCH(std::vector<EventRow>, first);
    QFETCH(QString, secondProject);
    QFETCH(std::vector<EventRow>, second);
    QFETCH(int, shared);

    IcsOptions later = options(secondProject);
    later.stamp = kStamp.addDays(3);
    const QStringList before = uidsOf(exported(options(firstProject), first));
    const QStringList after = uidsOf(exported(later, second));
    QCOMPARE(before.size(), qsizetype(first.size()));
    QCOMPARE(after.size(), qsizetype(second.size()));

    int found = 0;
    for (const QString &uid : before) {
        QVERIFY2(uid.endsWith(QLatin1String("@ambrel")), qPrintable(uid));
        found += int(after.contains(uid));
    }
    QCOMPARE(found, shared);
    for (const QStringList &file : { before, after })
        QCOMPARE(QSet<QString>(file.begin(), file.end()).size(), file.size());
}

void TestIcsWriter::stampIsWrittenInUtc()
{
    const std::vector<EventRow> events { makeEvent("P", "T", 1, kMonday, kMonday),
        makeEvent("P", "T", 2, kWednesday, kWednesday) };
    IcsOptions o = options("P");
    o.stamp = QDateTime(QDate(2024, 6, 1), QTime(1, 30), QTimeZone(2 * 3600));
    QCOMPARE(exported(o, events).count("\r\nDTSTAMP:20240531T233000Z\r\n"), 2);
}

void TestIcsWriter::deviceGetsTheCalendarOrNothing()
{
    const std::vector<EventRow> events { makeEvent("P", "T", 1, kMonday, kWednesday) };

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QCOMPARE(writeCalendarIcs(&buffer, options("P"), events), std::nullopt);
    QCOMPARE(buffer.data(), exported(options("P"), events));

    QBuffer refused;
    QVERIFY(refused.open(QIODevice::WriteOnly));
    QVERIFY(writeCalendarIcs(&refused, options("P", "09:00 AM", "08:00 AM"), events).has_value());
    QVERIFY(refused.data().isEmpty());

    EventRow backwards = events.front();
    backwards.endDate = kFriday;
    QVERIFY(writeCalendarIcs(&refused, options("P"), { backwards }).has_value());
    QVERIFY(refused.data().isEmpty());

    QBuffer readOnly;
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    QVERIFY(writeCalendarIcs(&readOnly, options("P"), events).has_value());
}

QTEST_GUILESS_MAIN(TestIcsWriter)
#include "tst_icswriter.moc"
