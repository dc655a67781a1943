#pragma once

#include <QDate>
#include <QTime>

#include <atomic>
#include <compare>
#include <set>
#include <utility>
#include <vector>

namespace ambrel {

// A date and a time of day as an event writes them, in the event's own time zone; midnight for a date.
struct WallTime {
    QDate date;
    QTime time;

    std::strong_ordering operator<=>(const WallTime &other) const;
    bool operator==(const WallTime &other) const = default;
};

// The work a reading may take, counted in steps: every day a rule walks is one, and the reader charges its
// costlier work as many. Each event has a share of its own beside the total, and a cancel set from another
// thread is seen within a bounded number of steps.
class StepBudget final {
public:
    StepBudget(qint64 total, qint64 perEvent, const std::atomic<bool> *cancel = nullptr);

    void startEvent() { m_event = m_perEvent; }
    // False once the event's share or the total is spent, or the reading is cancelled.
    bool take(qint64 steps);
    void checkCancel();
    bool totalSpent() const { return m_total < 0; }
    bool cancelled() const { return m_cancelled; }
    qint64 limit() const { return m_limit; }
    qint64 used() const { return m_limit - m_total; }

private:
    qint64 m_limit;
    qint64 m_total;
    qint64 m_perEvent;
    qint64 m_event = 0;
    qint64 m_sinceCheck = 0;
    const std::atomic<bool> *m_cancel;
    bool m_cancelled = false;
};

// A recurrence rule (RRULE) of a day or coarser, its values checked against their ranges.
struct RecurrenceRule {
    enum Frequency { Daily, Weekly, Monthly, Yearly } frequency = Yearly;
    int interval = 1;
    int count = 0; // 0 for none
    bool hasUntil = false;
    WallTime until; // in the event's own time
    int weekStart = Qt::Monday;
    std::vector<int> months, monthDays, yearDays, weekNumbers, setPositions, hours, minutes, seconds;
    std::vector<std::pair<int, int>> weekDays; // (ordinal, Qt day of week); ordinal 0 is every one
};

// The dates of one recurring event between low and high: its DTSTART, its RDATE values and the instances
// of its RRULEs, less its EXDATE values, in order and each once. Rules are walked a day at a time and every
// day walked is charged to the budget, so no rule can stall the reading however rarely it matches.
//
// Ambrel works the rules out itself rather than through libical's icalrecur_iterator, which an earlier
// version used. A call of icalrecur_iterator_next can be neither bounded nor cancelled, and on a rule that
// never matches it searches on inside that one call: several seconds for FREQ=HOURLY;BYMONTH=2;
// BYMONTHDAY=30, more than ten minutes for FREQ=SECONDLY, so neither a count of instances nor Cancel in the
// import window could stop it. And libical 3.0.16, Debian 12's, gets rules that real calendars use wrong: it ignores
// BYSETPOS in a weekly rule, gives no dates for FREQ=DAILY;BYMONTHDAY=-1, finds a week 53 in years that
// have 52, and misses BYWEEKNO=-1 in some years.
class Recurrence final {
public:
    // An all-day event's instances are at midnight and are excluded by date.
    Recurrence(const WallTime &start, bool allDay, const QDate &low, const QDate &high, StepBudget &budget);

    // An RDATE with its time in the event's own zone; an all-day event takes its date.
    void add(const WallTime &instance);
    // An RDATE given as a date, at the time the event starts.
    void addDay(const QDate &day);
    // The instances of an RRULE; false when the steps ran out first.
    bool addRule(const RecurrenceRule &rule);
    // An EXDATE, or an instance moved elsewhere, with its time in the event's own zone.
    void exclude(const WallTime &instance);
    // An EXDATE given as a date takes out every instance on that day.
    void excludeDay(const QDate &day);

    std::vector<WallTime> instances() const;

private:
    WallTime m_start;
    bool m_allDay;
    QDate m_low;
    QDate m_high;
    StepBudget &m_budget;
    std::vector<WallTime> m_instances;
    std::set<WallTime> m_excluded;
    std::set<QDate> m_excludedDays;
};

} // namespace ambrel
