#include "WorkingCalendar.h"

#include <algorithm>

namespace ambrel {

namespace {
// More days than lie between the first and the last date a QDate holds; keeps the week arithmetic
// below from overflowing for any n.
constexpr qint64 kBeyondAnyDate = qint64(1) << 42;

// Julian day 0 was a Monday, so this is the Monday-based weekday (0 to 6), also for days before it.
int mondayBased(qint64 julianDay)
{
    const qint64 rest = julianDay % 7;
    return int(rest < 0 ? rest + 7 : rest);
}
} // namespace

WorkingCalendar::WorkingCalendar(const WorkingWeekFlags &WorkingWeek, bool applies)
{
    if (!applies)
        return;
    m_workingPerWeek = 0;
    for (int day = 1; day <= 7; ++day) {
        m_working[day] = WorkingWeek[day] == 1;
        m_workingPerWeek += m_working[day] ? 1 : 0;
    }
}

WorkingCalendar::WorkingCalendar(
    const WorkingWeekFlags &WorkingWeek, bool applies, const std::vector<QDate> &daysOff)
    : WorkingCalendar(WorkingWeek, applies)
{
    if (!applies)
        return;
    // A day off on a weekday that is off anyway changes nothing, and leaving it out keeps the counting
    // below simple: every listed day is one working weekday fewer.
    std::vector<qint64> days;
    days.reserve(daysOff.size());
    for (const QDate &date : daysOff) {
        if (date.isValid() && isWorkingWeekday(date.toJulianDay()))
            days.push_back(date.toJulianDay());
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    if (!days.empty())
        m_daysOff = std::make_shared<const std::vector<qint64>>(std::move(days));
}

bool WorkingCalendar::operator==(const WorkingCalendar &other) const
{
    // Both parts are kept in one form (days off sorted, without repeats, null when none), so equal parts
    // are the same calendar.
    const bool sameDaysOff = m_daysOff == other.m_daysOff
        || (m_daysOff && other.m_daysOff && *m_daysOff == *other.m_daysOff);
    return m_working == other.m_working && m_workingPerWeek == other.m_workingPerWeek && sameDaysOff;
}

bool WorkingCalendar::isWorkingWeekday(qint64 julianDay) const
{
    return m_working[size_t(mondayBased(julianDay)) + 1];
}

bool WorkingCalendar::isDayOff(qint64 julianDay) const
{
    return m_daysOff && std::binary_search(m_daysOff->begin(), m_daysOff->end(), julianDay);
}

qint64 WorkingCalendar::weekdaysBefore(qint64 julianDay) const
{
    const int weekday = mondayBased(julianDay);
    const qint64 weeks = (julianDay - weekday) / 7;
    qint64 count = weeks * m_workingPerWeek;
    for (int day = 0; day < weekday; ++day)
        count += m_working[size_t(day) + 1] ? 1 : 0;
    return count;
}

bool WorkingCalendar::IsWorkingDay(const QDate &date) const
{
    if (everyDayCounts())
        return true;
    if (!date.isValid())
        return false;
    const qint64 julianDay = date.toJulianDay();
    return isWorkingWeekday(julianDay) && !isDayOff(julianDay);
}

QDate WorkingCalendar::AddWorkingDays(const QDate &date, qint64 n) const
{
    if (n == 0 || !date.isValid())
        return date;
    if (n > kBeyondAnyDate || n < -kBeyondAnyDate)
        return {};
    if (!hasWorkingDay())
        return {};
    return m_daysOff ? addAroundDaysOff(date, n) : addWorkingWeekdays(date, n);
}

QDate WorkingCalendar::addWorkingWeekdays(const QDate &date, qint64 n) const
{
    if (n > kBeyondAnyDate || n < -kBeyondAnyDate)
        return {};
    if (m_workingPerWeek == 7)
        return date.addDays(n);

    const qint64 step = n > 0 ? 1 : -1;
    qint64 remaining = n > 0 ? n : -n;
    // Every run of seven days holds the same number of working days, wherever it begins;
    // keep at least one working day to walk so the result lands on one.
    const qint64 weeks = (remaining - 1) / m_workingPerWeek;
    const QDate day = date.addDays(step * 7 * weeks);
    remaining -= weeks * m_workingPerWeek;
    if (remaining == 0 || !day.isValid())
        return day;
    // Walked in Julian days, which every task takes a few of; a step beyond the dates Qt holds ends it.
    qint64 julianDay = day.toJulianDay();
    while (remaining > 0) {
        julianDay += step;
        if (!QDate::fromJulianDay(julianDay).isValid())
            return {};
        if (isWorkingWeekday(julianDay))
            --remaining;
    }
    return QDate::fromJulianDay(julianDay);
}

QDate WorkingCalendar::addAroundDaysOff(const QDate &date, qint64 n) const
{
    // The answer is the (|n| + k)-th working weekday from date, where k counts the days off passed on the
    // way. The j-th day off in the direction of travel is passed exactly when fewer than |n| working days
    // lie before it, that is when its position among the working weekdays, less j, is at most |n|; that
    // test only ever turns from true to false, so k is found by binary search.
    const std::vector<qint64> &off = *m_daysOff;
    const qint64 from = date.toJulianDay();
    if (n > 0) {
        const auto first = std::upper_bound(off.begin(), off.end(), from) - off.begin();
        const qint64 base = weekdaysBefore(from + 1);
        qint64 low = 0;
        qint64 high = qint64(off.size()) - first;
        while (low < high) {
            const qint64 mid = low + (high - low) / 2;
            if (weekdaysBefore(off[size_t(first + mid)] + 1) - base - mid <= n)
                low = mid + 1;
            else
                high = mid;
        }
        return addWorkingWeekdays(date, n + low);
    }

    const qint64 count = -n;
    const auto end = std::lower_bound(off.begin(), off.end(), from) - off.begin();
    const qint64 base = weekdaysBefore(from);
    qint64 low = 0;
    qint64 high = end;
    while (low < high) {
        const qint64 mid = low + (high - low) / 2;
        if (base - weekdaysBefore(off[size_t(end - 1 - mid)]) - mid <= count)
            low = mid + 1;
        else
            high = mid;
    }
    return addWorkingWeekdays(date, -(count + low));
}

qint64 WorkingCalendar::workingRunLength(const QDate &from, qint64 limit) const
{
    if (limit <= 0 || !IsWorkingDay(from))
        return 0;
    if (everyDayCounts())
        return limit;
    if (m_workingPerWeek == 7) {
        // Only a day off ends the run, so the next one tells its length without walking up to it.
        const auto next = std::upper_bound(m_daysOff->begin(), m_daysOff->end(), from.toJulianDay());
        return next == m_daysOff->end() ? limit : std::min(limit, *next - from.toJulianDay());
    }
    // A week with a day off ends every run within seven days.
    qint64 length = 1;
    for (qint64 julianDay = from.toJulianDay() + 1; length < limit; ++julianDay, ++length) {
        if (!QDate::fromJulianDay(julianDay).isValid() || !isWorkingWeekday(julianDay) || isDayOff(julianDay))
            break;
    }
    return length;
}

} // namespace ambrel
