#include "Recurrence.h"

#include <algorithm>
#include <map>

namespace ambrel {

namespace {

bool contains(const std::vector<int> &list, int value)
{
    return std::binary_search(list.begin(), list.end(), value);
}

QDate weekOneStart(int year, int weekStart)
{
    const QDate fourth(year, 1, 4);
    return fourth.addDays(-((fourth.dayOfWeek() - weekStart + 7) % 7));
}

QDate weekStartOf(const QDate &date, int weekStart)
{
    return date.addDays(-((date.dayOfWeek() - weekStart + 7) % 7));
}

// One rule's instances between low and high, walked a period at a time from the one DTSTART falls in.
class Expansion final {
public:
    Expansion(const RecurrenceRule &rule, const WallTime &start, bool allDay, QDate low, QDate high,
        StepBudget &budget)
        : m_rule(rule)
        , m_start(start)
        , m_low(low)
        , m_high(high)
        , m_budget(budget)
    {
        const bool nothingBy = rule.weekNumbers.empty() && rule.yearDays.empty() && rule.monthDays.empty()
            && rule.weekDays.empty();
        if (nothingBy) {
            switch (rule.frequency) {
            case RecurrenceRule::Yearly:
                if (m_rule.months.empty())
                    m_rule.months = { start.date.month() };
                m_rule.monthDays = { start.date.day() };
                break;
            case RecurrenceRule::Monthly:
                m_rule.monthDays = { start.date.day() };
                break;
            case RecurrenceRule::Weekly:
                m_rule.weekDays = { { 0, start.date.dayOfWeek() } };
                break;
            case RecurrenceRule::Daily:
                break;
            }
        }
        if (allDay) {
            m_times = { QTime(0, 0) };
        } else {
            const auto orDefault = [](const std::vector<int> &list, int value) {
                return list.empty() ? std::vector<int> { value } : list;
            };
            for (int hour : orDefault(rule.hours, start.time.hour()))
                for (int minute : orDefault(rule.minutes, start.time.minute()))
                    for (int second : orDefault(rule.seconds, start.time.second()))
                        m_times.push_back(QTime(hour, minute, std::min(second, 59)));
            std::sort(m_times.begin(), m_times.end());
            m_times.erase(std::unique(m_times.begin(), m_times.end()), m_times.end());
        }
    }

    // False when the steps ran out first.
    bool run(std::vector<WallTime> &instances)
    {
        const int interval = std::max(1, m_rule.interval);
        qint64 first = 0;
        // Without a count, periods wholly before the window cannot give an instance inside it.
        if (m_rule.count == 0) {
            const qint64 behind = periodIndex(m_low) - periodIndex(m_start.date);
            if (behind > 0)
                first = behind / interval;
        }
        int counted = 0;
        std::vector<QDate> days;
        std::vector<WallTime> candidates;
        for (qint64 k = first;; ++k) {
            if (!m_budget.take(1))
                return false;
            QDate from;
            QDate to;
            if (!period(k * interval, from, to))
                return true;
            // Instances past the window are counted by no COUNT that matters here.
            if (from > m_high)
                return true;
            if (m_rule.hasUntil && from > m_rule.until.date)
                return true;
            days.clear();
            if (!collectDays(from, to, days))
                return false;
            // Charged before they are built, so that every time of every day of a year cannot fill the
            // memory.
            if (!m_budget.take(qint64(days.size()) * qint64(m_times.size())))
                return false;
            candidates.clear();
            for (const QDate &day : days)
                for (const QTime &time : m_times)
                    candidates.push_back({ day, time });
            if (!m_rule.setPositions.empty())
                candidates = positioned(candidates);
            for (const WallTime &instance : candidates) {
                if (instance < m_start)
                    continue;
                if (m_rule.hasUntil && m_rule.until < instance)
                    return true;
                if (m_rule.count > 0 && ++counted > m_rule.count)
                    return true;
                if (instance.date > m_high)
                    return true;
                if (instance.date >= m_low)
                    instances.push_back(instance);
            }
        }
    }

private:
    qint64 periodIndex(const QDate &date) const
    {
        switch (m_rule.frequency) {
        case RecurrenceRule::Yearly:
            return date.year();
        case RecurrenceRule::Monthly:
            return qint64(date.year()) * 12 + date.month() - 1;
        case RecurrenceRule::Weekly:
            return weekStartOf(date, m_rule.weekStart).toJulianDay() / 7;
        case RecurrenceRule::Daily:
            break;
        }
        return date.toJulianDay();
    }

    // The days of the period that lies offset periods after the one of DTSTART; false past year 9999.
    bool period(qint64 offset, QDate &from, QDate &to) const
    {
        const QDate start = m_start.date;
        switch (m_rule.frequency) {
        case RecurrenceRule::Yearly: {
            const qint64 year = start.year() + offset;
            if (year > 9999)
                return false;
            from = QDate(int(year), 1, 1);
            to = QDate(int(year), 12, 31);
            return true;
        }
        case RecurrenceRule::Monthly: {
            const qint64 month = qint64(start.year()) * 12 + start.month() - 1 + offset;
            if (month / 12 > 9999)
                return false;
            from = QDate(int(month / 12), int(month % 12) + 1, 1);
            to = from.addDays(from.daysInMonth() - 1);
            return true;
        }
        case RecurrenceRule::Weekly:
            if (offset > 3'700'000 / 7)
                return false;
            from = weekStartOf(start, m_rule.weekStart).addDays(offset * 7);
            to = from.addDays(6);
            break;
        case RecurrenceRule::Daily:
            if (offset > 3'700'000)
                return false;
            from = to = start.addDays(offset);
            break;
        }
        return from.year() <= 9999;
    }

    // A day's calendar fields, stepped one day at a time without converting each date again.
    struct Day {
        int year = 0;
        int month = 0;
        int day = 0;
        int weekDay = 0;
        int yearDay = 0;
        int monthLength = 0;
        int yearLength = 0;
        qint64 julian = 0;

        explicit Day(const QDate &date)
            : year(date.year())
            , month(date.month())
            , day(date.day())
            , weekDay(date.dayOfWeek())
            , yearDay(date.dayOfYear())
            , monthLength(date.daysInMonth())
            , yearLength(date.daysInYear())
            , julian(date.toJulianDay())
        {
        }
        void next()
        {
            ++julian;
            weekDay = weekDay % 7 + 1;
            ++yearDay;
            if (++day <= monthLength)
                return;
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
                yearDay = 1;
                yearLength = QDate::isLeapYear(year) ? 366 : 365;
            }
            monthLength = QDate(year, month, 1).daysInMonth();
        }
    };

    bool collectDays(const QDate &from, const QDate &to, std::vector<QDate> &days)
    {
        const auto walk = [&](const QDate &first, qint64 count) {
            if (!m_budget.take(count))
                return false;
            Day day(first);
            for (qint64 i = 0; i < count; ++i, day.next()) {
                if (matches(day))
                    days.push_back(QDate::fromJulianDay(day.julian));
            }
            return true;
        };
        // A yearly rule limited to some months needs to look at those months only.
        if (m_rule.frequency == RecurrenceRule::Yearly && !m_rule.months.empty()
            && m_rule.weekNumbers.empty()) {
            for (int month : m_rule.months) {
                const QDate first(from.year(), month, 1);
                if (!walk(first, first.daysInMonth()))
                    return false;
            }
            return true;
        }
        return walk(from, from.daysTo(to) + 1);
    }

    bool matches(const Day &date)
    {
        if (!m_rule.months.empty() && !contains(m_rule.months, date.month))
            return false;
        if (!m_rule.weekNumbers.empty() && !weekMatches(date))
            return false;
        if (!m_rule.yearDays.empty()) {
            if (!contains(m_rule.yearDays, date.yearDay)
                && !contains(m_rule.yearDays, date.yearDay - date.yearLength - 1))
                return false;
        }
        if (!m_rule.monthDays.empty()) {
            if (!contains(m_rule.monthDays, date.day)
                && !contains(m_rule.monthDays, date.day - date.monthLength - 1))
                return false;
        }
        if (!m_rule.weekDays.empty()) {
            // The ordinal counts within the month for a monthly rule or a yearly one limited to months,
            // within the year for other yearly rules; daily and weekly rules have none.
            const bool inMonth = m_rule.frequency == RecurrenceRule::Monthly
                || (m_rule.frequency == RecurrenceRule::Yearly && !m_rule.months.empty());
            const bool inYear = m_rule.frequency == RecurrenceRule::Yearly && !inMonth;
            const int day = inMonth ? date.day : date.yearDay;
            const int length = inMonth ? date.monthLength : date.yearLength;
            const int nth = (day - 1) / 7 + 1;
            const int nthFromEnd = -((length - day) / 7 + 1);
            bool any = false;
            for (const auto &[ordinal, weekDay] : m_rule.weekDays) {
                if (weekDay != date.weekDay)
                    continue;
                if (ordinal == 0 || !(inMonth || inYear) || ordinal == nth || ordinal == nthFromEnd) {
                    any = true;
                    break;
                }
            }
            if (!any)
                return false;
        }
        return true;
    }

    // Weeks begin on WKST; week 1 is the first with four days in its year, and a day belongs to the week
    // year of its week, which may be the year before or after its own.
    qint64 weekOne(int year)
    {
        const auto found = m_weekOnes.find(year);
        if (found != m_weekOnes.end())
            return found->second;
        const qint64 julian = weekOneStart(year, m_rule.weekStart).toJulianDay();
        if (m_weekOnes.size() > 64)
            m_weekOnes.clear();
        m_weekOnes.emplace(year, julian);
        return julian;
    }

    bool weekMatches(const Day &date)
    {
        const qint64 start = date.julian - (date.weekDay - m_rule.weekStart + 7) % 7;
        int weekYear = date.year;
        if (start >= weekOne(date.year + 1))
            weekYear = date.year + 1;
        else if (start < weekOne(date.year))
            weekYear = date.year - 1;
        const int number = int((start - weekOne(weekYear)) / 7) + 1;
        const int weeks = int((weekOne(weekYear + 1) - weekOne(weekYear)) / 7);
        return contains(m_rule.weekNumbers, number) || contains(m_rule.weekNumbers, number - weeks - 1);
    }

    std::vector<WallTime> positioned(const std::vector<WallTime> &all) const
    {
        std::vector<WallTime> chosen;
        const int size = int(all.size());
        for (int position : m_rule.setPositions) {
            const int index = position > 0 ? position - 1 : size + position;
            if (index >= 0 && index < size)
                chosen.push_back(all[size_t(index)]);
        }
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        return chosen;
    }

    RecurrenceRule m_rule;
    WallTime m_start;
    QDate m_low;
    QDate m_high;
    StepBudget &m_budget;
    std::vector<QTime> m_times;
    std::map<int, qint64> m_weekOnes;
};

} // namespace

std::strong_ordering WallTime::operator<=>(const WallTime &other) const
{
    if (date != other.date)
        return date.toJulianDay() <=> other.date.toJulianDay();
    return time.msecsSinceStartOfDay() <=> other.time.msecsSinceStartOfDay();
}

StepBudget::StepBudget(qint64 total, qint64 perEvent, const std::atomic<bool> *cancel)
    : m_limit(total)
    , m_total(total)
    , m_perEvent(perEvent)
    , m_cancel(cancel)
{
}

bool StepBudget::take(qint64 steps)
{
    m_event -= steps;
    m_total -= steps;
    if ((m_sinceCheck += steps) >= 65'536) {
        m_sinceCheck = 0;
        checkCancel();
    }
    return m_event >= 0 && m_total >= 0 && !m_cancelled;
}

void StepBudget::checkCancel()
{
    if (m_cancel && m_cancel->load(std::memory_order_relaxed))
        m_cancelled = true;
}

Recurrence::Recurrence(
    const WallTime &start, bool allDay, const QDate &low, const QDate &high, StepBudget &budget)
    : m_start(start)
    , m_allDay(allDay)
    , m_low(low)
    , m_high(high)
    , m_budget(budget)
    , m_instances { start }
{
}

void Recurrence::add(const WallTime &instance)
{
    m_instances.push_back(m_allDay ? WallTime { instance.date, QTime(0, 0) } : instance);
}

void Recurrence::addDay(const QDate &day)
{
    m_instances.push_back({ day, m_allDay ? QTime(0, 0) : m_start.time });
}

bool Recurrence::addRule(const RecurrenceRule &rule)
{
    return Expansion(rule, m_start, m_allDay, m_low, m_high, m_budget).run(m_instances);
}

void Recurrence::exclude(const WallTime &instance)
{
    if (m_allDay)
        m_excludedDays.insert(instance.date);
    else
        m_excluded.insert(instance);
}

void Recurrence::excludeDay(const QDate &day)
{
    m_excludedDays.insert(day);
}

std::vector<WallTime> Recurrence::instances() const
{
    std::vector<WallTime> instances = m_instances;
    std::sort(instances.begin(), instances.end());
    instances.erase(std::unique(instances.begin(), instances.end()), instances.end());
    std::erase_if(instances, [this](const WallTime &instance) {
        return m_excludedDays.contains(instance.date) || m_excluded.contains(instance);
    });
    return instances;
}

} // namespace ambrel
