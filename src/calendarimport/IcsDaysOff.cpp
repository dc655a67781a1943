#include "IcsDaysOff.h"

#include "Recurrence.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <libical/ical.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace ambrel {

namespace {

constexpr qint64 kMaxFileBytes = 16 << 20;
// A conversion between time zones costs far more than a step of a rule, so it is charged as many.
constexpr qint64 kStepsPerConversion = 64;
// So is each property the parser reads, and a rule most of all, so that no number of events can stall it.
constexpr qint64 kStepsPerProperty = 8;
constexpr qint64 kStepsPerRule = 128;
// The person reads the list of what is left out; past this many, the rest are only counted.
constexpr int kMaxListedLeftOut = 1'000;
constexpr size_t kMaxZoneNames = 200;

const QString kNotCalendar = QStringLiteral("it holds no iCalendar data (BEGIN:VCALENDAR)");

struct ComponentDeleter {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};

// ---- The text before the parser sees it: what would crash, stall or mislead it is refused here. The
// parser takes time that grows with the square of a component's unreadable properties, so each event is
// handed to it on its own, with only the properties the import reads.

// A content line with its folded continuations.
struct ContentLine {
    qsizetype start = 0; // its first byte
    qsizetype end = 0; // past its last byte, before the line break
    int number = 0; // the line it begins on, counting from 1
    qsizetype length = 0; // its length unfolded
    std::array<char, 64> head {}; // its first bytes unfolded and in capitals, enough for its name
    int headSize = 0;

    QByteArrayView headText() const { return QByteArrayView(head.data(), headSize); }
    QByteArrayView name() const
    {
        const QByteArrayView text = headText();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == ';' || text[i] == ':')
                return text.first(i);
        }
        return text;
    }
};

// The content lines of a part of the text, one at a time.
class ContentLines final {
public:
    ContentLines(const QByteArray &text, qsizetype from, qsizetype to, int linesBefore)
        : m_text(text)
        , m_position(from)
        , m_to(to)
        , m_line(linesBefore)
    {
    }

    // Where the line after the last one read begins.
    qsizetype position() const { return std::min(m_position, m_to); }

    bool next(ContentLine &line)
    {
        if (m_position >= m_to)
            return false;
        line.start = m_position;
        line.number = m_line + 1;
        line.length = 0;
        line.headSize = 0;
        qsizetype from = m_position;
        for (;;) {
            qsizetype lineBreak = m_text.indexOf('\n', m_position);
            if (lineBreak < 0 || lineBreak >= m_to)
                lineBreak = m_to;
            qsizetype end = lineBreak;
            if (end > m_position && m_text[end - 1] == '\r')
                --end;
            ++m_line;
            line.end = end;
            line.length += end - from;
            for (qsizetype i = from; i < end && line.headSize < int(line.head.size()); ++i) {
                const char c = m_text[i];
                line.head[size_t(line.headSize++)] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
            }
            m_position = lineBreak + 1;
            // A line that begins with a blank continues the one before it.
            if (m_position >= m_to || (m_text[m_position] != ' ' && m_text[m_position] != '\t'))
                return true;
            from = m_position + 1;
        }
    }

private:
    const QByteArray &m_text;
    qsizetype m_position;
    qsizetype m_to;
    int m_line;
};

QByteArray unfolded(const QByteArray &text, qsizetype start, qsizetype end)
{
    QByteArray line;
    for (qsizetype from = start;;) {
        const qsizetype lineBreak = text.indexOf('\n', from);
        if (lineBreak < 0 || lineBreak >= end) {
            line.append(text.constData() + from, std::max<qsizetype>(0, end - from));
            return line;
        }
        const qsizetype physicalEnd
            = lineBreak > from && text[lineBreak - 1] == '\r' ? lineBreak - 1 : lineBreak;
        line.append(text.constData() + from, physicalEnd - from);
        from = lineBreak + 2; // past the break and the blank that folds the line
    }
}

// Where a content line's values begin: after the first colon outside a quoted parameter; -1 without one.
qsizetype valuesColon(const QByteArray &line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

// A parameter of a content line, without its quotes; empty when the line has none of that name.
QByteArray parameterOf(const QByteArray &line, qsizetype colon, const char *name)
{
    bool quoted = false;
    qsizetype begins = -1;
    for (qsizetype i = 0; i <= colon; ++i) {
        const char c = i < colon ? line[i] : ';';
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            if (begins >= 0) {
                const QByteArray parameter = line.mid(begins, i - begins);
                const qsizetype equals = parameter.indexOf('=');
                if (equals > 0 && parameter.left(equals).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
                    QByteArray value = parameter.mid(equals + 1);
                    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                        value = value.mid(1, value.size() - 2);
                    return value;
                }
            }
            begins = i + 1;
        }
    }
    return {};
}

// Whether a value is written as a date (YYYYMMDD) or a date and time (YYYYMMDDTHHMMSS, Z for UTC): the
// parser reads other text too, such as "4052021," as a day in the year 4052.
bool writtenAsDate(const QByteArray &value)
{
    const auto digits = [&value](qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < from + count; ++i) {
            if (value[i] < '0' || value[i] > '9')
                return false;
        }
        return true;
    };
    if (value.size() == 8)
        return digits(0, 8);
    return (value.size() == 15 || (value.size() == 16 && value[15] == 'Z')) && digits(0, 8) && value[8] == 'T'
        && digits(9, 6);
}

// An event as it lies in the text, before it is read.
struct EventText {
    int line = 0; // its BEGIN:VEVENT, counting from 1
    qsizetype begin = 0; // its BEGIN:VEVENT line's first byte
    qsizetype end = 0; // past its END:VEVENT line
    QString misplaced; // why it is not read where it lies; empty directly inside a VCALENDAR
    QByteArray uid; // its first UID, unfolded: a moved instance finds its recurring event by it
    qsizetype recurrenceIdStart = -1; // its first RECURRENCE-ID line
    qsizetype recurrenceIdEnd = -1;
    bool repeats = false; // it has an RRULE or an RDATE
};

// Every VEVENT, in the order they begin, or why the text is refused whole.
Refusable<std::vector<EventText>> scanText(const QByteArray &ics)
{
    std::vector<EventText> events;
    const qsizetype nul = ics.indexOf('\0');
    if (nul >= 0) {
        return Refusal { QStringLiteral("line %1 holds a NUL byte, which iCalendar text never does")
                             .arg(ics.left(nul).count('\n') + 1) };
    }
    struct Open {
        QByteArray name;
        int line;
        int event; // its place in events when it is a VEVENT, else -1
    };
    std::vector<Open> open;
    bool sawCalendar = false;
    ContentLines lines(ics, 0, ics.size(), 0);
    ContentLine line;
    while (lines.next(line)) {
        if (line.length > IcsDaysOff::MaxLineBytes) {
            return Refusal { QStringLiteral("line %1 is longer than %2 KiB, which no calendar needs")
                                 .arg(line.number)
                                 .arg(IcsDaysOff::MaxLineBytes / 1024) };
        }
        const QByteArrayView head = line.headText();
        if (head.startsWith("BEGIN:")) {
            const QByteArray name = head.sliced(6).toByteArray().trimmed();
            int event = -1;
            if (name == "VEVENT") {
                EventText text;
                text.line = line.number;
                text.begin = line.start;
                if (open.empty())
                    text.misplaced = QStringLiteral("it lies outside any VCALENDAR");
                else if (open.back().name != "VCALENDAR")
                    text.misplaced = QStringLiteral("it lies inside a %1, where no event belongs")
                                         .arg(QString::fromLatin1(open.back().name.left(40)));
                else if (open.size() > 1)
                    text.misplaced = QStringLiteral("it lies in a VCALENDAR inside another");
                event = int(events.size());
                events.push_back(std::move(text));
            }
            open.push_back({ name, line.number, event });
            if (int(open.size()) > IcsDaysOff::MaxNesting) {
                return Refusal { QStringLiteral(
                    "line %1 nests components more than %2 deep, which no calendar needs")
                                     .arg(line.number)
                                     .arg(IcsDaysOff::MaxNesting) };
            }
            if (name == "VCALENDAR")
                sawCalendar = true;
        } else if (head.startsWith("END:")) {
            const QByteArray name = head.sliced(4).toByteArray().trimmed();
            if (open.empty() || open.back().name != name) {
                return Refusal { open.empty()
                        ? QStringLiteral("line %1 ends a %2 that was never begun")
                              .arg(line.number)
                              .arg(QString::fromLatin1(name.left(40)))
                        : QStringLiteral("the %1 begun at line %2 is never closed (line %3 ends a %4)")
                              .arg(QString::fromLatin1(open.back().name.left(40)))
                              .arg(open.back().line)
                              .arg(line.number)
                              .arg(QString::fromLatin1(name.left(40))) };
            }
            if (open.back().event >= 0)
                events[size_t(open.back().event)].end = lines.position();
            open.pop_back();
        } else if (!open.empty() && open.back().event >= 0) {
            EventText &event = events[size_t(open.back().event)];
            const QByteArrayView name = line.name();
            if (name == "UID" && event.uid.isNull()) {
                const QByteArray uid = unfolded(ics, line.start, line.end);
                event.uid = uid.mid(valuesColon(uid) + 1);
                if (event.uid.isNull())
                    event.uid = "";
            } else if (name == "RECURRENCE-ID" && event.recurrenceIdStart < 0) {
                event.recurrenceIdStart = line.start;
                event.recurrenceIdEnd = line.end;
            } else if (name == "RRULE" || name == "RDATE") {
                event.repeats = true;
            }
        }
    }

    if (!sawCalendar)
        return Refusal { kNotCalendar };
    if (open.size() == 1 && open.front().name == "VCALENDAR")
        return Refusal { QStringLiteral("it ends without END:VCALENDAR; the file may be cut short") };
    if (!open.empty())
        return Refusal { QStringLiteral("the %1 begun at line %2 is never closed")
                             .arg(QString::fromLatin1(open.back().name.left(40)))
                             .arg(open.back().line) };
    return events;
}

// What the import takes from an event's own lines, those of its nested components left aside.
struct EventLines {
    QByteArray named; // BEGIN:VEVENT and the first SUMMARY, UID, STATUS, DTSTART, DTEND and DURATION
    int namedCount = 0;
    QByteArray rules; // its RRULE lines
    int ruleCount = 0;
    int properties = 0; // counted up to one past the limit
    qint64 rdates = 0; // the values its RDATE lines list
    qint64 exdates = 0;
    std::vector<std::pair<qsizetype, qsizetype>> rdateLines;
    std::vector<std::pair<qsizetype, qsizetype>> exdateLines;
    bool badStart = false; // a DTSTART is not written as a date or a date and time
};

EventLines linesOf(const QByteArray &ics, const EventText &event)
{
    EventLines lines;
    lines.named = "BEGIN:VEVENT\r\n";
    // The parser keeps them all, but the import reads only the first of each.
    static const std::array<QByteArrayView, 6> once
        = { "SUMMARY", "UID", "STATUS", "DTSTART", "DTEND", "DURATION" };
    std::array<bool, once.size()> taken {};
    ContentLines walk(ics, event.begin, event.end, event.line - 1);
    ContentLine line;
    int depth = 0;
    while (walk.next(line)) {
        const QByteArrayView head = line.headText();
        if (head.startsWith("BEGIN:")) {
            ++depth;
            continue;
        }
        if (head.startsWith("END:")) {
            --depth;
            continue;
        }
        if (depth != 1)
            continue;
        // Past the limit, the event is only read for its name.
        const bool over = ++lines.properties > IcsDaysOff::MaxPropertiesPerEvent;
        const QByteArrayView name = line.name();
        const QByteArrayView raw = QByteArrayView(ics).sliced(line.start, line.end - line.start);
        if (!over && name == "RRULE") {
            lines.rules.append(raw).append("\r\n");
            ++lines.ruleCount;
        } else if (!over && (name == "RDATE" || name == "EXDATE")) {
            const qint64 values = raw.count(',') + 1;
            (name == "RDATE" ? lines.rdates : lines.exdates) += values;
            (name == "RDATE" ? lines.rdateLines : lines.exdateLines).push_back({ line.start, line.end });
        } else {
            if (!over && name == "DTSTART") {
                const QByteArray start = unfolded(ics, line.start, line.end);
                const qsizetype colon = valuesColon(start);
                if (colon < 0 || !writtenAsDate(start.mid(colon + 1).trimmed()))
                    lines.badStart = true;
            }
            for (size_t i = 0; i < once.size(); ++i) {
                if (name == once[i] && !taken[i]) {
                    taken[i] = true;
                    lines.named.append(raw).append("\r\n");
                    ++lines.namedCount;
                }
            }
        }
    }
    return lines;
}

// ---- Times as an event writes them: a date, or a date and time that is floating, in UTC or in a zone.

struct Moment {
    WallTime wall;
    bool isDate = false;
    bool valid = false;
    QTimeZone zone; // invalid for a floating time, which is the person's local time
};

QDate dateOf(const icaltimetype &time)
{
    if (icaltime_is_null_time(time))
        return {};
    const QDate date(time.year, time.month, time.day);
    // Only dates that holidays.txt can hold as YYYY-MM-DD.
    return date.isValid() && date.year() >= 1 && date.year() <= 9999 ? date : QDate();
}

class Zones final {
public:
    explicit Zones(QTimeZone person)
        : m_person(std::move(person))
    {
    }

    const QTimeZone &person() const { return m_person; }

    // An IANA name, a Windows name (Outlook writes those), or a name that ends with an IANA one
    // ("/mozilla.org/20050126_1/Europe/Berlin"); anything else is taken as the person's own time.
    QTimeZone named(const QByteArray &tzid)
    {
        const auto found = m_named.find(tzid);
        if (found != m_named.end())
            return found->second;
        QTimeZone zone;
        // Looking a name up costs far more than a step, so a calendar gets a bounded number of them.
        if (m_named.size() >= kMaxZoneNames)
            return zone;
        const QByteArray id = tzid.trimmed();
        if (!id.isEmpty() && id.size() < 200) {
            if (QTimeZone::isTimeZoneIdAvailable(id)) {
                zone = QTimeZone(id);
            } else if (const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(id); !iana.isEmpty()) {
                zone = QTimeZone(iana);
            } else {
                const QList<QByteArray> parts = id.split('/');
                for (qsizetype i = std::max<qsizetype>(1, parts.size() - 3);
                     i + 1 < parts.size() && !zone.isValid(); ++i) {
                    const QByteArray tail = parts.mid(i).join('/');
                    if (QTimeZone::isTimeZoneIdAvailable(tail))
                        zone = QTimeZone(tail);
                }
            }
        }
        m_named.emplace(tzid, zone);
        return zone;
    }

    QDateTime at(const WallTime &wall, const QTimeZone &zone) const
    {
        return QDateTime(wall.date, wall.time, zone.isValid() ? zone : m_person);
    }

private:
    QTimeZone m_person;
    std::map<QByteArray, QTimeZone> m_named;
};

Moment momentOf(const icaltimetype &time, const QByteArray &tzid, Zones &zones)
{
    Moment moment;
    const QDate date = dateOf(time);
    if (!date.isValid())
        return moment;
    moment.valid = true;
    moment.isDate = time.is_date;
    moment.wall
        = { date, time.is_date ? QTime(0, 0) : QTime(time.hour, time.minute, std::min(time.second, 59)) };
    if (!moment.wall.time.isValid())
        moment.wall.time = QTime(0, 0);
    if (time.is_date)
        return moment;
    if (icaltime_is_utc(time))
        moment.zone = QTimeZone::utc();
    else if (!tzid.isNull())
        moment.zone = zones.named(tzid);
    return moment;
}

Moment momentOf(const icaltimetype &time, icalproperty *property, Zones &zones)
{
    icalparameter *tzid
        = property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr;
    const char *id = tzid ? icalparameter_get_tzid(tzid) : nullptr;
    return momentOf(time, tzid ? QByteArray(id ? id : "") : QByteArray(), zones);
}

// The moments a line lists, such as an RDATE, each in the line's TZID. A value that is no date, date and
// time, or period beginning with one is passed over, as the parser passes it over.
std::vector<Moment> momentsOf(const QByteArray &line, Zones &zones)
{
    std::vector<Moment> moments;
    const qsizetype colon = valuesColon(line);
    if (colon < 0)
        return moments;
    const QByteArray tzid = parameterOf(line, colon, "TZID");
    for (QByteArray value : line.mid(colon + 1).split(',')) {
        value = value.trimmed();
        // A period's start is the moment; its end must still be one or a duration.
        const qsizetype slash = value.indexOf('/');
        if (slash >= 0) {
            const QByteArray end = value.mid(slash + 1);
            value.truncate(slash);
            if (!writtenAsDate(end)
                && icaldurationtype_is_bad_duration(icaldurationtype_from_string(end.constData())))
                continue;
        }
        if (writtenAsDate(value))
            moments.push_back(momentOf(icaltime_from_string(value.constData()), tzid, zones));
    }
    return moments;
}

// The same moment as the event's own wall time, so that it can be compared with the rule's instances.
WallTime inZoneOf(const Moment &moment, const QTimeZone &eventZone, Zones &zones)
{
    if (moment.isDate || moment.zone == eventZone)
        return moment.wall;
    const QDateTime converted
        = zones.at(moment.wall, moment.zone).toTimeZone(eventZone.isValid() ? eventZone : zones.person());
    return { converted.date(), converted.time() };
}

// ---- Recurrence rules as the parser reads them.

// The values of a rule part such as BYMONTHDAY into list, sorted, each once; refused when one lies outside
// low to high (and -high to -low when the part counts from the end too).
std::optional<Refusal> valuesOf(
    const char *part, const short *values, int size, int low, int high, bool fromEnd, std::vector<int> &list)
{
    for (int i = 0; i < size && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        const int value = values[i];
        if ((value >= low && value <= high) || (fromEnd && value >= -high && value <= -low)) {
            list.push_back(value);
            continue;
        }
        const QString text = fromEnd ? QStringLiteral("its RRULE's %1=%2 is outside %3 to %4 and -%4 to -%3")
                                     : QStringLiteral("its RRULE's %1=%2 is outside %3 to %4");
        return Refusal { text.arg(QString::fromLatin1(part)).arg(value).arg(low).arg(high) };
    }
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return std::nullopt;
}

int qtDayOf(icalrecurrencetype_weekday day)
{
    // libical counts from Sunday = 1.
    return day == ICAL_SUNDAY_WEEKDAY ? 7 : int(day) - 1;
}

// ---- Events.

struct Event {
    std::unique_ptr<icalcomponent, ComponentDeleter> component;
    int line = 0;
    QString name;
    QByteArray uid;
    Moment start;
    qint64 spanDays = 1; // an all-day event's days
    qint64 seconds = 0; // a timed event's length
    bool cancelled = false;
    bool recurring = false;
    Moment recurrenceId; // valid when it replaces one instance of a recurring event
};

QString textOf(const char *text)
{
    return QString::fromUtf8(text ? text : "");
}

class Reader final {
public:
    Reader(const QByteArray &ics, int thisYear, const IcsImportOptions &options)
        : m_ics(ics)
        , m_first(thisYear, 1, 1)
        , m_last(thisYear + IcsDaysOff::LastYearAfterThis, 12, 31)
        , m_zones(options.zone.isValid() ? options.zone : QTimeZone::systemTimeZone())
        , m_budget(options.maxSteps > 0 ? options.maxSteps : IcsDaysOff::MaxSteps,
              IcsDaysOff::MaxStepsPerEvent, options.cancel)
        , m_progress(options.progress)
    {
    }

    void read(const std::vector<EventText> &events);
    Refusable<IcsDaysOffImport> result();

private:
    void readEvent(const EventText &text, const Moment &recurrenceId, const std::vector<Moment> &moved);
    Event eventOf(const EventText &text, const EventLines &lines, bool withRules);
    void take(const Event &event, const EventLines &lines, const std::vector<Moment> &moved);
    Refusable<std::vector<WallTime>> instancesOf(
        const Event &event, const EventLines &lines, const std::vector<Moment> &moved);
    Refusable<RecurrenceRule> ruleOf(icalproperty *property, const Event &event);
    bool add(const QDate &date, const Event &event, const QTime &begins, const QTime &ends);
    void leaveOut(const Event &event, const QString &reason);
    QString outOfSteps();
    QTimeZone zoneOf(const Event &event) const { return event.start.zone; }

    const QByteArray &m_ics;
    QDate m_first;
    QDate m_last;
    Zones m_zones;
    StepBudget m_budget;
    std::function<void(int, int)> m_progress;
    std::map<QDate, IcsFoundDate> m_found;
    std::vector<IcsLeftOut> m_leftOut;
    int m_unlisted = 0;
    QString m_capNote;
};

Event Reader::eventOf(const EventText &text, const EventLines &lines, bool withRules)
{
    Event event;
    event.line = text.line;
    QByteArray ics = lines.named;
    if (withRules)
        ics += lines.rules;
    ics += "END:VEVENT\r\n";
    event.component.reset(icalparser_parse_string(ics.constData()));
    icalerror_clear_errno();
    icalcomponent *component = event.component.get();
    if (!component)
        return event;
    event.name = DaysOff::cleanName(textOf(icalcomponent_get_summary(component)));
    event.uid = QByteArray(icalcomponent_get_uid(component) ? icalcomponent_get_uid(component) : "");
    if (icalproperty *p = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
        p && !lines.badStart)
        event.start = momentOf(icalproperty_get_dtstart(p), p, m_zones);
    event.cancelled = icalcomponent_get_status(component) == ICAL_STATUS_CANCELLED;
    event.recurring = lines.ruleCount > 0 || !lines.rdateLines.empty();
    if (!event.start.valid)
        return event;

    Moment end;
    if (icalproperty *p = icalcomponent_get_first_property(component, ICAL_DTEND_PROPERTY))
        end = momentOf(icalproperty_get_dtend(p), p, m_zones);
    qint64 durationSeconds = -1;
    if (icalproperty *p = icalcomponent_get_first_property(component, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype duration = icalproperty_get_duration(p);
        if (!icaldurationtype_is_bad_duration(duration) && !duration.is_neg)
            durationSeconds = qint64(duration.weeks) * 7 * 86400 + qint64(duration.days) * 86400
                + qint64(duration.hours) * 3600 + qint64(duration.minutes) * 60 + duration.seconds;
    }
    if (event.start.isDate) {
        // An all-day event ends the day before DTEND.
        if (end.valid && end.wall.date > event.start.wall.date)
            event.spanDays = event.start.wall.date.daysTo(end.wall.date);
        else if (!end.valid && durationSeconds >= 86400)
            event.spanDays = durationSeconds / 86400;
    } else if (end.valid && !end.isDate) {
        event.seconds = std::max<qint64>(
            0, m_zones.at(event.start.wall, event.start.zone).secsTo(m_zones.at(end.wall, end.zone)));
    } else if (durationSeconds > 0) {
        event.seconds = durationSeconds;
    }
    return event;
}

void Reader::leaveOut(const Event &event, const QString &reason)
{
    if (int(m_leftOut.size()) >= kMaxListedLeftOut) {
        ++m_unlisted;
        return;
    }
    QString name = event.name;
    if (name.isEmpty())
        name = DaysOff::cleanName(QString::fromUtf8(event.uid.left(200)));
    m_leftOut.push_back({ event.line, name, reason });
}

bool Reader::add(const QDate &date, const Event &event, const QTime &begins, const QTime &ends)
{
    const bool allDay = event.start.isDate;
    const auto found = m_found.find(date);
    if (found != m_found.end()) {
        if (allDay && !found->second.allDay)
            found->second = { date, event.name, true, {}, {} };
        return true;
    }
    if (int(m_found.size()) >= IcsDaysOff::MaxDates) {
        m_capNote = QStringLiteral("The calendar names more than %1 dates; the first %1 found were kept.")
                        .arg(IcsDaysOff::MaxDates);
        return false;
    }
    m_found.emplace(date,
        allDay ? IcsFoundDate { date, event.name, true, {}, {} }
               : IcsFoundDate { date, event.name, false, begins, ends });
    return true;
}

Refusable<RecurrenceRule> Reader::ruleOf(icalproperty *property, const Event &event)
{
    const icalrecurrencetype r = icalproperty_get_rrule(property);
    RecurrenceRule rule;
    switch (r.freq) {
    case ICAL_SECONDLY_RECURRENCE:
    case ICAL_MINUTELY_RECURRENCE:
    case ICAL_HOURLY_RECURRENCE:
        return Refusal { QStringLiteral("it repeats more often than daily (FREQ=%1)")
                             .arg(QString::fromLatin1(icalrecur_freq_to_string(r.freq))) };
    case ICAL_DAILY_RECURRENCE:
        rule.frequency = RecurrenceRule::Daily;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        rule.frequency = RecurrenceRule::Weekly;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        rule.frequency = RecurrenceRule::Monthly;
        break;
    case ICAL_YEARLY_RECURRENCE:
        rule.frequency = RecurrenceRule::Yearly;
        break;
    default:
        return Refusal { QStringLiteral("its RRULE cannot be read") };
    }
    rule.interval = std::max<int>(1, r.interval);
    rule.count = std::max(0, r.count);
    if (r.week_start != ICAL_NO_WEEKDAY)
        rule.weekStart = qtDayOf(r.week_start);
    if (!icaltime_is_null_time(r.until)) {
        const Moment until = momentOf(r.until, nullptr, m_zones);
        if (until.valid) {
            rule.hasUntil = true;
            if (until.isDate)
                rule.until = { until.wall.date, event.start.isDate ? QTime(0, 0) : QTime(23, 59, 59, 999) };
            else if (event.start.isDate)
                rule.until = { until.wall.date, QTime(0, 0) };
            else if (!until.zone.isValid()) // a floating UNTIL is in the event's own time
                rule.until = until.wall;
            else
                rule.until = inZoneOf(until, zoneOf(event), m_zones);
        }
    }
    std::array<short, ICAL_BY_MONTH_SIZE> months {};
    for (int i = 0; i < ICAL_BY_MONTH_SIZE; ++i) {
        months[size_t(i)] = r.by_month[i] == ICAL_RECURRENCE_ARRAY_MAX
            ? r.by_month[i]
            : short(icalrecurrencetype_month_month(r.by_month[i]));
    }
    // The parser takes some values outside their ranges, such as BYMONTH=13; a rule without them would
    // give days the calendar does not name.
    for (const std::optional<Refusal> &refused :
        { valuesOf("BYMONTH", months.data(), ICAL_BY_MONTH_SIZE, 1, 12, false, rule.months),
            valuesOf("BYMONTHDAY", r.by_month_day, ICAL_BY_MONTHDAY_SIZE, 1, 31, true, rule.monthDays),
            valuesOf("BYYEARDAY", r.by_year_day, ICAL_BY_YEARDAY_SIZE, 1, 366, true, rule.yearDays),
            valuesOf("BYWEEKNO", r.by_week_no, ICAL_BY_WEEKNO_SIZE, 1, 53, true, rule.weekNumbers),
            valuesOf("BYSETPOS", r.by_set_pos, ICAL_BY_SETPOS_SIZE, 1, 366, true, rule.setPositions),
            valuesOf("BYHOUR", r.by_hour, ICAL_BY_HOUR_SIZE, 0, 23, false, rule.hours),
            valuesOf("BYMINUTE", r.by_minute, ICAL_BY_MINUTE_SIZE, 0, 59, false, rule.minutes),
            valuesOf("BYSECOND", r.by_second, ICAL_BY_SECOND_SIZE, 0, 60, false, rule.seconds) }) {
        if (refused)
            return *refused;
    }
    for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        const icalrecurrencetype_weekday day = icalrecurrencetype_day_day_of_week(r.by_day[i]);
        if (day == ICAL_NO_WEEKDAY)
            continue;
        rule.weekDays.push_back({ icalrecurrencetype_day_position(r.by_day[i]), qtDayOf(day) });
    }
    return rule;
}

Refusable<std::vector<WallTime>> Reader::instancesOf(
    const Event &event, const EventLines &lines, const std::vector<Moment> &moved)
{
    const QTimeZone zone = zoneOf(event);
    // Instances are looked for a little beyond the window, as a span or a time zone may carry them in.
    const QDate low = event.start.isDate ? m_first.addDays(-std::min<qint64>(event.spanDays, 4'000'000))
                                         : m_first.addDays(-2);
    const QDate high = m_last.addDays(2);
    Recurrence recurrence(event.start.wall, event.start.isDate, low, high, m_budget);

    // An instance moved here stands for itself alone.
    if (event.recurrenceId.valid)
        return recurrence.instances();
    for (const auto &[start, end] : lines.rdateLines) {
        for (const Moment &moment : momentsOf(unfolded(m_ics, start, end), m_zones)) {
            if (!moment.valid)
                continue;
            if (!m_budget.take(moment.isDate || event.start.isDate ? 1 : kStepsPerConversion))
                return Refusal { outOfSteps() };
            if (moment.isDate)
                recurrence.addDay(moment.wall.date);
            else
                recurrence.add(event.start.isDate ? moment.wall : inZoneOf(moment, zone, m_zones));
        }
    }

    icalcomponent *component = event.component.get();
    for (icalproperty *p = icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_RRULE_PROPERTY)) {
        const Refusable<RecurrenceRule> rule = ruleOf(p, event);
        if (rule.refused())
            return rule.refusal();
        if (!recurrence.addRule(*rule))
            return Refusal { outOfSteps() };
    }

    // EXDATE and the moved or cancelled instances: moments compared in the event's own zone, or whole days
    // when given as dates.
    const auto exclude = [&](const Moment &moment) {
        if (!moment.valid)
            return;
        if (moment.isDate)
            recurrence.excludeDay(moment.wall.date);
        else
            recurrence.exclude(event.start.isDate ? moment.wall : inZoneOf(moment, zone, m_zones));
    };
    for (const auto &[start, end] : lines.exdateLines) {
        for (const Moment &moment : momentsOf(unfolded(m_ics, start, end), m_zones)) {
            if (!m_budget.take(kStepsPerConversion))
                return Refusal { outOfSteps() };
            exclude(moment);
        }
    }
    for (const Moment &recurrenceId : moved)
        exclude(recurrenceId);
    return recurrence.instances();
}

QString Reader::outOfSteps()
{
    if (!m_budget.totalSpent())
        return QStringLiteral("its dates take more than %1 steps to work out")
            .arg(IcsDaysOff::MaxStepsPerEvent);
    m_capNote = QStringLiteral("The calendar takes more than %1 steps to read; later events were left out.")
                    .arg(m_budget.limit());
    return QStringLiteral("the import reached its limit of %1 steps first").arg(m_budget.limit());
}

void Reader::readEvent(const EventText &text, const Moment &recurrenceId, const std::vector<Moment> &moved)
{
    m_budget.startEvent();
    const EventLines lines = linesOf(m_ics, text);
    QString reason = text.misplaced;
    if (reason.isEmpty() && std::max(lines.rdates, lines.exdates) > IcsDaysOff::MaxListedDatesPerEvent)
        reason = QStringLiteral("it lists more than %1 dates").arg(IcsDaysOff::MaxListedDatesPerEvent);
    if (reason.isEmpty() && lines.properties > IcsDaysOff::MaxPropertiesPerEvent)
        reason = QStringLiteral("it has more than %1 properties").arg(IcsDaysOff::MaxPropertiesPerEvent);
    // The parser is paid for before it runs, the event itself as one property; a moved instance's own rules
    // are never read.
    const bool withRules = reason.isEmpty() && !recurrenceId.valid;
    const bool paid = m_budget.take(
        kStepsPerProperty * (lines.namedCount + 1) + (withRules ? kStepsPerRule * lines.ruleCount : 0));
    Event event = eventOf(text, lines, withRules && paid);
    if (m_budget.cancelled())
        return;
    if (reason.isEmpty() && !paid)
        reason = outOfSteps();
    if (!reason.isEmpty()) {
        leaveOut(event, reason);
        return;
    }
    event.recurrenceId = recurrenceId;
    take(event, lines, moved);
}

void Reader::take(const Event &event, const EventLines &lines, const std::vector<Moment> &moved)
{
    if (!event.start.valid) {
        leaveOut(event, QStringLiteral("it has no start date"));
        return;
    }
    if (event.cancelled) {
        leaveOut(event, QStringLiteral("it is cancelled"));
        return;
    }
    if (event.recurrenceId.valid && event.recurring) {
        leaveOut(event,
            QStringLiteral("its %1, as it replaces one date of a recurring event")
                .arg(lines.ruleCount > 0 ? QStringLiteral("RRULE") : QStringLiteral("RDATE")));
    } else if (icalcomponent_count_properties(event.component.get(), ICAL_RRULE_PROPERTY) < lines.ruleCount) {
        // The parser drops a rule it cannot read, which would leave the event a single day.
        leaveOut(event, QStringLiteral("its RRULE cannot be read"));
        return;
    }
    const Refusable<std::vector<WallTime>> instances = instancesOf(event, lines, moved);
    if (instances.refused()) {
        if (!m_budget.cancelled())
            leaveOut(event, instances.refusal().text);
        return;
    }

    // An instance moved here by RECURRENCE-ID belongs to a recurring set, which is taken inside the window.
    const bool inWindowOnly = event.recurring || event.recurrenceId.valid;
    bool whole = true;
    for (const WallTime &instance : *instances) {
        if (event.start.isDate) {
            QDate day = instance.date;
            QDate last = day.addDays(std::min<qint64>(event.spanDays, 4'000'000) - 1);
            if (inWindowOnly) {
                day = std::max(day, m_first);
                last = std::min(last, m_last);
            }
            for (; day.isValid() && day <= last && day.year() <= 9999; day = day.addDays(1)) {
                if (!m_budget.take(1) || !add(day, event, {}, {})) {
                    whole = false;
                    break;
                }
            }
        } else {
            if (!m_budget.take(kStepsPerConversion)) {
                whole = false;
                break;
            }
            const QDateTime begins = m_zones.at(instance, zoneOf(event)).toTimeZone(m_zones.person());
            const QDate day = begins.date();
            if (inWindowOnly && (day < m_first || day > m_last))
                continue;
            if (day.year() < 1 || day.year() > 9999)
                continue;
            if (!add(day, event, begins.time(), begins.addSecs(event.seconds).time()))
                whole = false;
        }
        if (!whole)
            break;
    }
    if (!whole && !m_budget.cancelled()) {
        leaveOut(event,
            m_capNote.isEmpty() ? QStringLiteral("its dates take more than %1 steps to work out")
                                      .arg(IcsDaysOff::MaxStepsPerEvent)
                                : QStringLiteral("only some of its dates were taken before the limit"));
        if (m_capNote.isEmpty() && m_budget.totalSpent())
            m_capNote
                = QStringLiteral("The calendar takes more than %1 steps to read; later events were left "
                                 "out.")
                      .arg(m_budget.limit());
    }
}

void Reader::read(const std::vector<EventText> &events)
{
    // A RECURRENCE-ID moves or cancels one instance of the recurring event with the same UID; without that
    // event, it stands alone.
    std::vector<Moment> recurrenceIds(events.size());
    std::set<QByteArray> recurring;
    for (size_t i = 0; i < events.size(); ++i) {
        const EventText &text = events[i];
        if (!text.misplaced.isEmpty())
            continue;
        if (text.recurrenceIdStart >= 0) {
            const std::vector<Moment> moments
                = momentsOf(unfolded(m_ics, text.recurrenceIdStart, text.recurrenceIdEnd), m_zones);
            if (moments.size() == 1)
                recurrenceIds[i] = moments.front();
        }
        if (text.repeats && !recurrenceIds[i].valid)
            recurring.insert(text.uid);
    }
    std::map<QByteArray, std::vector<Moment>> moved;
    for (size_t i = 0; i < events.size(); ++i) {
        if (!recurrenceIds[i].valid)
            continue;
        if (recurring.contains(events[i].uid))
            moved[events[i].uid].push_back(recurrenceIds[i]);
        else
            recurrenceIds[i] = {};
    }

    const std::vector<Moment> none;
    const int total = int(events.size());
    for (int i = 0; i < total; ++i) {
        m_budget.checkCancel();
        if (m_budget.cancelled())
            return;
        if (m_progress && (i % 64 == 0))
            m_progress(i, total);
        const EventText &text = events[size_t(i)];
        if (m_budget.totalSpent()) {
            const QString reason
                = QStringLiteral("the import reached its limit of %1 steps first").arg(m_budget.limit());
            // Only an event that is listed is read for its name.
            if (int(m_leftOut.size()) < kMaxListedLeftOut)
                leaveOut(eventOf(text, linesOf(m_ics, text), false), reason);
            else
                ++m_unlisted;
            continue;
        }
        const auto found
            = text.repeats && !recurrenceIds[size_t(i)].valid ? moved.find(text.uid) : moved.end();
        readEvent(text, recurrenceIds[size_t(i)], found == moved.end() ? none : found->second);
    }
    if (m_progress)
        m_progress(total, total);
}

Refusable<IcsDaysOffImport> Reader::result()
{
    if (m_budget.cancelled())
        return Refusal { QStringLiteral("the import was cancelled") };
    IcsDaysOffImport imported;
    imported.found.reserve(m_found.size());
    for (const auto &[date, found] : m_found) {
        imported.found.push_back(found);
        if (found.allDay)
            imported.days.push_back({ date, found.name });
    }
    imported.leftOut = std::move(m_leftOut);
    if (m_unlisted > 0)
        imported.leftOut.push_back(
            { 0, QString(), QStringLiteral("%1 more events left out").arg(m_unlisted) });
    imported.steps = m_budget.used();
    imported.capped = !m_capNote.isEmpty();
    imported.capNote = m_capNote;
    return imported;
}

// The text in UTF-8 without a byte order mark; some programs write calendars in UTF-16 or UTF-32.
QByteArray inUtf8(const QByteArray &text)
{
    const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(text, u'B');
    if (!encoding)
        return text;
    if (*encoding == QStringConverter::Utf8)
        return text.sliced(3);
    QStringDecoder decoder(*encoding);
    return QString(decoder.decode(text)).toUtf8();
}

} // namespace

Refusable<IcsDaysOffImport> IcsDaysOff::read(
    const QByteArray &ics, int thisYear, const IcsImportOptions &options)
{
    const QByteArray text = inUtf8(ics);
    const Refusable<std::vector<EventText>> events = scanText(text);
    if (events.refused())
        return events.refusal();
    if (options.cancel && options.cancel->load())
        return Refusal { QStringLiteral("the import was cancelled") };

    // A malformed file is the person's mistake, not the program's: libical must report it, not abort.
    icalerror_set_errors_are_fatal(0);
    Reader reader(text, thisYear, options);
    reader.read(*events);
    return reader.result();
}

Refusable<IcsDaysOffImport> IcsDaysOff::readFile(
    const QString &path, int thisYear, const IcsImportOptions &options)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refusal { file.errorString() };
    if (file.size() > kMaxFileBytes)
        return Refusal { QStringLiteral("it is larger than %1 MiB").arg(kMaxFileBytes >> 20) };
    return read(file.read(kMaxFileBytes), thisYear, options);
}

bool IcsDaysOff::isCalendar(const QByteArray &text)
{
    return inUtf8(text.left(4096)).trimmed().toUpper().startsWith("BEGIN:VCALENDAR");
}

} // namespace ambrel
