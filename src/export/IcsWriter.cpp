#include "IcsWriter.h"

#include "workweek/TimeOfDay.h"

#include <QCryptographicHash>
#include <QBuffer>
#include <QIODevice>
#include <QSet>

#include <libical/ical.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace ambrel {

namespace {

struct ComponentFree {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

struct CharFree {
    void operator()(char *text) const { std::free(text); }
};

// A file of any size holds such a text, so the message shows only its beginning.
QString quotedHour(const QString &text)
{
    constexpr qsizetype kShown = 40;
    const QString shown = text.size() > kShown ? text.left(kShown) + QChar(0x2026) : text;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

Refusal hourUnreadable(const QString &which, const QString &text, const char *option, const char *file)
{
    return Refusal { QStringLiteral(
        "The working day's %1 hour %2 is not a time of day (such as \"09:00 AM\" or "
        "\"17:00\"), so no calendar was written. Choose it under Settings \u2192 "
        "Working Week\u2026, give it with %3, or correct %4.")
                         .arg(which, quotedHour(text), QLatin1String(option), QLatin1String(file)) };
}

bool holdsDate(const QDate &date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

// Floating: no zone, so a calendar shows it in its own time zone, as it does the CSV file's times.
icaltimetype floatingTime(const QDate &date, const QTime &time)
{
    icaltimetype t = icaltime_null_time();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    t.hour = time.hour();
    t.minute = time.minute();
    t.second = time.second();
    return t;
}

// A day without a time, as an all-day event takes it.
icaltimetype dateOnly(const QDate &date)
{
    icaltimetype t = icaltime_null_date();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    return t;
}

icaltimetype utcTime(const QDateTime &moment)
{
    const QDateTime utc = moment.toUTC();
    icaltimetype t = floatingTime(utc.date(), utc.time());
    t.zone = icaltimezone_get_utc_timezone();
    return t;
}

// Each part goes in with its length, so that no two different lists of parts hash alike.
void appendPart(QByteArray &key, const QByteArray &part)
{
    key += QByteArray::number(part.size());
    key += ':';
    key += part;
}

// A set of SHA-1 digests in one block, open addressed: a million events take no allocation of their own,
// which would otherwise be kept between libical's short-lived ones and fragment the heap.
class DigestSet final {
public:
    explicit DigestSet(qsizetype expected)
    {
        std::size_t capacity = 16;
        while (capacity < std::size_t(expected) * 2)
            capacity *= 2;
        m_slots.assign(capacity, Digest {});
    }

    // False when the digest was taken before; otherwise takes it.
    bool insert(QByteArrayView digest)
    {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        Digest wanted {};
        std::memcpy(wanted.data(), digest.data(), std::min<std::size_t>(wanted.size(), std::size_t(digest.size())));
        Digest &slot = find(wanted);
        if (slot == wanted)
            return false;
        slot = wanted;
        ++m_count;
        return true;
    }

private:
    using Digest = std::array<char, 20>;

    // The slot holding the digest, or the empty one where it goes.
    Digest &find(const Digest &digest)
    {
        quint64 spread = 0;
        std::memcpy(&spread, digest.data(), sizeof spread);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = std::size_t(spread) & mask;; at = (at + 1) & mask) {
            if (m_slots[at] == digest || m_slots[at] == Digest {})
                return m_slots[at];
        }
    }

    void grow()
    {
        std::vector<Digest> old(m_slots.size() * 2, Digest {});
        old.swap(m_slots);
        for (const Digest &digest : old) {
            if (digest != Digest {})
                find(digest) = digest;
        }
    }

    std::vector<Digest> m_slots;
    std::size_t m_count = 0;
};

class UidMaker final {
public:
    explicit UidMaker(const QString &projectName, qsizetype eventCount)
        : m_used(eventCount)
        , m_hash(QCryptographicHash::Sha1)
    {
        appendPart(m_projectPart, projectName.toUtf8());
    }

    QByteArray uidOf(const EventRow &event)
    {
        m_key.resize(0);
        m_key += m_projectPart;
        appendPart(m_key, event.description.toUtf8());
        appendPart(m_key, QByteArray::number(event.occurrence));
        appendPart(m_key, QByteArray::number(event.number));
        const qsizetype base = m_key.size();
        for (int twin = 1;; ++twin) {
            m_hash.reset();
            m_hash.addData(m_key);
            const QByteArrayView digest = m_hash.resultView();
            if (m_used.insert(digest))
                return digest.toByteArray().toHex() + "@ambrel";
            m_key.truncate(base);
            appendPart(m_key, QByteArray::number(twin));
        }
    }

private:
    QByteArray m_projectPart;
    QByteArray m_key;
    DigestSet m_used;
    QCryptographicHash m_hash;
};

// libical writes a CATEGORIES value as a list and leaves its commas and semicolons bare, so a project name
// holding them would read back as several categories. They go in as private-use characters and become their
// escaped forms in the written text.
constexpr char16_t kCommaStandIn = 0xE000;
constexpr char16_t kSemicolonStandIn = 0xE001;

QString categoryStandIn(QString name)
{
    return name.replace(QLatin1Char(','), QChar(kCommaStandIn))
        .replace(QLatin1Char(';'), QChar(kSemicolonStandIn));
}

// Escapes the stand-ins of the first CATEGORIES line from from on, its folded continuation lines included.
void escapeCategory(QByteArray &text, qsizetype from)
{
    static const QByteArray comma = QString(QChar(kCommaStandIn)).toUtf8();
    static const QByteArray semicolon = QString(QChar(kSemicolonStandIn)).toUtf8();
    const qsizetype start = text.indexOf("\r\nCATEGORIES", from);
    if (start < 0)
        return;
    qsizetype end = start;
    do
        end = text.indexOf("\r\n", end + 2);
    while (end >= 0 && end + 2 < text.size() && (text[end + 2] == ' ' || text[end + 2] == '\t'));
    if (end < 0)
        end = text.size();
    QByteArray line = text.mid(start, end - start);
    line.replace(comma, "\\,").replace(semicolon, "\\;");
    text.replace(start, end - start, line);
}

bool appendText(QByteArray &out, icalcomponent *component)
{
    const std::unique_ptr<char, CharFree> text(icalcomponent_as_ical_string_r(component));
    if (!text)
        return false;
    out += text.get();
    return true;
}

// One VEVENT of each shape, with and without a daily repeat, whose values are replaced for each event:
// composing every event afresh costs more in allocations than writing its text.
class EventComposer final {
public:
    // With a wrapper, each text is a calendar of its own holding the event, marked as owner's.
    // Every event names projectName, when there is one, as its category and in its description.
    EventComposer(const QTime &begins, const QTime &ends, const icaltimetype &stamp, const Component *wrapper,
        const QByteArray &owner, const QString &projectName)
        : m_begins(begins)
        , m_ends(ends)
        , m_single(makeShape(false, stamp, wrapper, owner, projectName))
        , m_repeated(makeShape(true, stamp, wrapper, owner, projectName))
        , m_allDay(makeShape(false, stamp, wrapper, owner, projectName, true))
    {
        if (!projectName.isEmpty())
            m_projectLine = QStringLiteral("Project: ") + projectName;
        m_escapeCategory = projectName.contains(QLatin1Char(',')) || projectName.contains(QLatin1Char(';'));
    }

    bool append(QByteArray &out, const EventRow &event, const QByteArray &uid)
    {
        const qint64 days = event.startDate.daysTo(event.endDate) + 1;
        Shape &shape = event.allDay ? m_allDay : days > 1 ? m_repeated : m_single;
        icalproperty_set_uid(shape.uid, uid.constData());
        if (event.allDay) {
            icalproperty_set_dtstart(shape.dtstart, dateOnly(event.startDate));
            icalproperty_set_dtend(shape.dtend, dateOnly(event.endDate.addDays(1)));
        } else {
            icalproperty_set_dtstart(shape.dtstart, floatingTime(event.startDate, m_begins));
            icalproperty_set_dtend(shape.dtend, floatingTime(event.startDate, m_ends));
        }
        if (&shape == &m_repeated)
            icalproperty_set_rrule(shape.rrule, dailyRule(int(days)));
        icalproperty_set_summary(shape.summary, event.title().toUtf8().constData());
        QStringList details = event.markWords();
        if (!m_projectLine.isEmpty())
            details.prepend(m_projectLine);
        icalproperty_set_description(shape.description, details.join(QLatin1Char('\n')).toUtf8().constData());
        const qsizetype from = out.size();
        if (!appendText(out, shape.root.get()))
            return false;
        if (m_escapeCategory)
            escapeCategory(out, from);
        return true;
    }

    // The event's text into device; false when it could not be composed. A failed write shows in the device.
    bool write(QIODevice *device, const EventRow &event, const QByteArray &uid)
    {
        m_piece.resize(0);
        if (!append(m_piece, event, uid))
            return false;
        device->write(m_piece);
        return true;
    }

private:
    struct Shape {
        Component root;
        icalproperty *uid = nullptr, *dtstart = nullptr, *dtend = nullptr, *rrule = nullptr,
                     *summary = nullptr, *description = nullptr;
    };

    static icalrecurrencetype dailyRule(int count)
    {
        icalrecurrencetype rule;
        icalrecurrencetype_clear(&rule);
        rule.freq = ICAL_DAILY_RECURRENCE;
        rule.count = count;
        return rule;
    }

    static Shape makeShape(bool repeated, const icaltimetype &stamp, const Component *wrapper,
        const QByteArray &owner, const QString &projectName, bool allDay = false)
    {
        Shape shape;
        icalcomponent *e = icalcomponent_new_vevent();
        const icaltimetype day
            = allDay ? dateOnly(QDate(2000, 1, 1)) : floatingTime(QDate(2000, 1, 1), QTime(0, 0));
        icalcomponent_add_property(e, shape.uid = icalproperty_new_uid(""));
        icalcomponent_add_property(e, icalproperty_new_dtstamp(stamp));
        icalcomponent_add_property(e, shape.dtstart = icalproperty_new_dtstart(day));
        icalcomponent_add_property(e, shape.dtend = icalproperty_new_dtend(day));
        if (repeated)
            icalcomponent_add_property(e, shape.rrule = icalproperty_new_rrule(dailyRule(2)));
        icalcomponent_add_property(e, shape.summary = icalproperty_new_summary(""));
        icalcomponent_add_property(e, shape.description = icalproperty_new_description(""));
        if (!projectName.isEmpty())
            icalcomponent_add_property(
                e, icalproperty_new_categories(categoryStandIn(projectName).toUtf8().constData()));
        if (!wrapper) {
            shape.root.reset(e);
            return shape;
        }
        icalproperty *mark = icalproperty_new_x(owner.constData());
        icalproperty_set_x_name(mark, "X-AMBREL-PROJECT");
        icalcomponent_add_property(e, mark);
        shape.root.reset(icalcomponent_new_clone(wrapper->get()));
        icalcomponent_add_component(shape.root.get(), e);
        return shape;
    }

    QTime m_begins;
    QTime m_ends;
    Shape m_single;
    Shape m_repeated;
    Shape m_allDay;
    QString m_projectLine;
    bool m_escapeCategory = false;
    QByteArray m_piece; // one event's text on its way to the device
};

Refusal composeFailure()
{
    return Refusal { QStringLiteral("The calendar could not be composed: %1.")
                         .arg(QString::fromUtf8(icalerror_strerror(icalerrno))) };
}

Component calendarShell(bool forExport, const QString &projectName)
{
    Component calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Ambrel//Ambrel Pro 1.4//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    // A resource on a calendar server must not carry a METHOD, nor the calendar's name.
    if (forExport) {
        icalcomponent_add_property(calendar.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));
        icalproperty *name = icalproperty_new_x(projectName.toUtf8().constData());
        icalproperty_set_x_name(name, "X-WR-CALNAME");
        icalcomponent_add_property(calendar.get(), name);
    }
    return calendar;
}

// The checks both forms share; the refusal, or nothing.
// The working day's hours read once for a whole export, or why they will not do.
struct DayHours {
    QTime begins;
    QTime ends;
};

std::optional<Refusal> readDayHours(const QString &startsAt, const QString &endsAt, DayHours *hours)
{
    const std::optional<QTime> begins = readTimeOfDay(startsAt);
    if (!begins)
        return hourUnreadable(QStringLiteral("begin"), startsAt, "--begins", "workingday_starts_at.txt");
    const std::optional<QTime> ends = readTimeOfDay(endsAt);
    if (!ends)
        return hourUnreadable(QStringLiteral("end"), endsAt, "--ends", "workingday_ends_at.txt");
    if (*ends <= *begins) {
        return Refusal { QStringLiteral(
            "The working day's end hour %1 is not after its begin hour %2, so no calendar was "
            "written. Choose the hours under Settings \u2192 Working Week\u2026, give them "
            "with --begins and --ends, or correct workingday_starts_at.txt and "
            "workingday_ends_at.txt.")
                             .arg(quotedHour(endsAt), quotedHour(startsAt)) };
    }
    if (hours)
        *hours = { *begins, *ends };
    return std::nullopt;
}

std::optional<Refusal> eventsRefusal(
    const IcsOptions &options, const std::vector<EventRow> &events, DayHours *hours)
{
    if (std::optional<Refusal> refusal = readDayHours(options.startsAt, options.endsAt, hours))
        return refusal;
    if (!options.stamp.isValid())
        return Refusal { QStringLiteral("The moment of the export is unknown, so no calendar was written.") };
    for (std::size_t i = 0; i < events.size(); ++i) {
        const EventRow &event = events[i];
        if (!holdsDate(event.startDate) || !holdsDate(event.endDate) || event.endDate < event.startDate) {
            return Refusal { QStringLiteral(
                "The event \"%1\" (number %2 of the list) has no valid days, so no calendar "
                "was written. Create the project again.")
                                 .arg(event.subject())
                                 .arg(i + 1) };
        }
    }
    return std::nullopt;
}

// Made before any event is composed: kept small blocks interleaved with libical's short-lived ones
// fragment the heap until each allocation costs more the more events came before.
std::vector<QByteArray> eventUids(const IcsOptions &options, const std::vector<EventRow> &events)
{
    std::vector<QByteArray> uids;
    uids.reserve(events.size());
    UidMaker maker(lastingProjectId(options.projectId, options.projectName), qsizetype(events.size()));
    for (const EventRow &event : events)
        uids.push_back(maker.uidOf(event));
    return uids;
}

} // namespace

QString lastingProjectId(const QString &id, const QString &name)
{
    QString lasting = id.isEmpty() ? name : id;
    // As the project file writes it: a name read back from a file has no line breaks.
    lasting.replace(QLatin1Char('\r'), QLatin1Char(' '));
    lasting.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return lasting;
}

std::optional<Refusal> icsHoursRefusal(const QString &startsAt, const QString &endsAt)
{
    return readDayHours(startsAt, endsAt, nullptr);
}

std::optional<Refusal> icsRefusal(const IcsOptions &options, const std::vector<EventRow> &events)
{
    return eventsRefusal(options, events, nullptr);
}

std::optional<Refusal> streamCalendarIcs(
    QIODevice *device, const IcsOptions &options, const std::vector<EventRow> &events)
{
    DayHours hours;
    if (std::optional<Refusal> refusal = eventsRefusal(options, events, &hours))
        return refusal;
    const icaltimetype stamp = utcTime(options.stamp);

    // Each event is serialised on its own and the texts joined: libical's text of a calendar holding every
    // event grows with the square of their number, the text of each one alone does not.
    QByteArray shell;
    const Component calendar = calendarShell(true, options.projectName);
    if (!appendText(shell, calendar.get()))
        return composeFailure();
    static const QByteArray end("END:VCALENDAR\r\n");
    if (!shell.endsWith(end))
        return composeFailure();
    shell.chop(end.size());

    device->write(shell);
    // libical allocates several blocks for each property it writes. On a thread of its own they come from
    // a malloc arena of its own rather than from among the holes a large build leaves in the main one,
    // where each allocation would cost more the larger the plan. The caller waits, so the device is only
    // ever used by one thread at a time.
    std::optional<Refusal> failure; // read on the composing thread, where libical keeps its error
    std::thread composing([&] {
        UidMaker uids(lastingProjectId(options.projectId, options.projectName), qsizetype(events.size()));
        EventComposer composer(hours.begins, hours.ends, stamp, nullptr, {}, options.projectName);
        for (const EventRow &event : events) {
            if (!composer.write(device, event, uids.uidOf(event))) {
                failure = composeFailure();
                return;
            }
        }
    });
    composing.join();
    if (failure)
        return failure;
    device->write(end);
    return std::nullopt;
}

Refusable<QByteArray> calendarIcs(const IcsOptions &options, const std::vector<EventRow> &events)
{
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    if (std::optional<Refusal> failure = streamCalendarIcs(&buffer, options, events))
        return *failure;
    buffer.close();
    return text;
}

Refusable<std::vector<IcsResource>> calendarIcsResources(
    const IcsOptions &options, const std::vector<EventRow> &events)
{
    DayHours hours;
    if (std::optional<Refusal> refusal = eventsRefusal(options, events, &hours))
        return *refusal;
    const icaltimetype stamp = utcTime(options.stamp);
    const QByteArray owner = lastingProjectId(options.projectId, options.projectName).toUtf8();

    std::vector<IcsResource> resources;
    resources.reserve(events.size());
    const std::vector<QByteArray> uids = eventUids(options, events);
    const Component wrapper = calendarShell(false, options.projectName);
    EventComposer composer(hours.begins, hours.ends, stamp, &wrapper, owner, options.projectName);
    for (std::size_t i = 0; i < events.size(); ++i) {
        IcsResource resource;
        resource.uid = uids[i];
        if (!composer.append(resource.text, events[i], resource.uid))
            return composeFailure();
        resources.push_back(std::move(resource));
    }
    return resources;
}

} // namespace ambrel
