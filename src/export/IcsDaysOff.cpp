#include "IcsDaysOff.h"

#include <QFile>
#include <QFileInfo>

#include <libical/ical.h>

#include <algorithm>
#include <map>
#include <memory>

namespace ambrel {

namespace {

constexpr qint64 kMaxFileBytes = 16 << 20;
// Steps of every recurrence together: a rule firing each second would otherwise walk for hours.
constexpr int kMaxRecurrenceSteps = 1'000'000;

struct ComponentDeleter {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
struct IteratorDeleter {
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};

QDate dateOf(const icaltimetype &time)
{
    if (icaltime_is_null_time(time))
        return {};
    const QDate date(time.year, time.month, time.day);
    // Only dates that holidays.txt can hold as YYYY-MM-DD.
    return date.isValid() && date.year() >= 1 && date.year() <= 9999 ? date : QDate();
}

icaltimetype dateValue(const QDate &date)
{
    icaltimetype time = icaltime_null_time();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    time.is_date = 1;
    return time;
}

class Collector final {
public:
    Collector(int thisYear)
        : m_first(thisYear, 1, 1)
        , m_last(thisYear + IcsDaysOff::LastYearAfterThis, 12, 31)
    {
    }

    void addEvent(icalcomponent *event);
    IcsDaysOffImport result() const;

private:
    void addSpan(const QDate &start, qint64 days, const QString &name);
    void addRecurrences(icalcomponent *event, const icaltimetype &start, qint64 days, const QString &name);
    bool full() const { return m_capped; }

    QDate m_first;
    QDate m_last;
    std::map<QDate, QString> m_days;
    int m_steps = 0;
    bool m_capped = false;
};

void Collector::addEvent(icalcomponent *event)
{
    const icaltimetype start = icalcomponent_get_dtstart(event);
    const QDate startDate = dateOf(start);
    if (!startDate.isValid())
        return;
    // An all-day event ends the day before DTEND; a timed one is taken for the day it begins.
    qint64 days = 1;
    if (start.is_date) {
        const QDate end = dateOf(icalcomponent_get_dtend(event));
        if (end.isValid() && end > startDate)
            days = startDate.daysTo(end);
    }
    const char *summary = icalcomponent_get_summary(event);
    const QString name = DaysOff::cleanName(QString::fromUtf8(summary ? summary : ""));

    if (icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)
        || icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY))
        addRecurrences(event, start, days, name);
    else
        addSpan(startDate, days, name);
}

void Collector::addSpan(const QDate &start, qint64 days, const QString &name)
{
    for (qint64 i = 0; i < days && !full(); ++i) {
        const QDate date = start.addDays(i);
        if (date.year() > 9999)
            return;
        if (m_days.size() >= size_t(IcsDaysOff::MaxDates) && !m_days.contains(date)) {
            m_capped = true;
            return;
        }
        m_days.emplace(date, name);
    }
}

void Collector::addRecurrences(
    icalcomponent *event, const icaltimetype &start, qint64 days, const QString &name)
{
    std::vector<QDate> excluded;
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
        excluded.push_back(dateOf(icalproperty_get_exdate(p)));
    const auto take = [&](const QDate &date) {
        if (date.isValid() && date >= m_first && date <= m_last
            && std::find(excluded.begin(), excluded.end(), date) == excluded.end())
            addSpan(date, days, name);
    };

    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p && !full();
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
        take(dateOf(icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time));
    }

    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p && !full();
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        const QDate until = dateOf(rule.until);
        if (until.isValid() && until < m_first)
            continue;
        std::unique_ptr<icalrecur_iterator, IteratorDeleter> iterator(icalrecur_iterator_new(rule, start));
        if (!iterator)
            continue;
        // The first occurrence is DTSTART itself; from a start decades back, jump to this year where the
        // rule allows it (a COUNT must be counted from DTSTART).
        if (rule.count == 0 && dateOf(start) < m_first)
            icalrecur_iterator_set_start(iterator.get(), dateValue(m_first));
        while (!full() && m_steps < kMaxRecurrenceSteps) {
            ++m_steps;
            const icaltimetype next = icalrecur_iterator_next(iterator.get());
            const QDate date = dateOf(next);
            if (!date.isValid() || date > m_last)
                break;
            take(date);
        }
    }
}

IcsDaysOffImport Collector::result() const
{
    IcsDaysOffImport imported;
    imported.capped = m_capped;
    imported.days.reserve(m_days.size());
    for (const auto &[date, name] : m_days)
        imported.days.push_back({ date, name });
    return imported;
}

IcsDaysOffImport failure(const QString &error)
{
    IcsDaysOffImport imported;
    imported.error = error;
    return imported;
}

} // namespace

IcsDaysOffImport IcsDaysOff::read(const QByteArray &ics, int thisYear)
{
    // A malformed file is the person's mistake, not the program's: libical must report it, not abort.
    icalerror_set_errors_are_fatal(0);
    const QString notCalendar = QStringLiteral("it holds no iCalendar data (BEGIN:VCALENDAR)");
    if (!ics.toUpper().contains("BEGIN:VCALENDAR"))
        return failure(notCalendar);
    std::unique_ptr<icalcomponent, ComponentDeleter> root(icalparser_parse_string(ics.constData()));
    icalerror_clear_errno();
    if (!root)
        return failure(notCalendar);

    std::vector<icalcomponent *> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root.get());
    } else {
        for (icalcomponent *c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(c);
    }
    if (calendars.empty())
        return failure(notCalendar);

    Collector collector(thisYear);
    for (icalcomponent *calendar : calendars) {
        for (icalcomponent *event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
             event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            collector.addEvent(event);
    }
    return collector.result();
}

IcsDaysOffImport IcsDaysOff::readFile(const QString &path, int thisYear)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    if (file.size() > kMaxFileBytes)
        return failure(QStringLiteral("it is larger than %1 MiB").arg(kMaxFileBytes >> 20));
    return read(file.read(kMaxFileBytes), thisYear);
}

} // namespace ambrel
