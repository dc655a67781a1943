#include "WorkingCalendar.h"

#include <algorithm>

namespace ambrel {

namespace {
// More days than lie between the first and the last date a QDate holds; keeps the week arithmetic
// below from overflowing for any n.
constexpr qint64 kBeyondAnyDate = qint64(1) << 42;
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

bool WorkingCalendar::IsWorkingDay(const QDate &date) const
{
    if (everyDayCounts())
        return true;
    if (!date.isValid())
        return false;
    // Julian day 0 was a Monday; this is dayOfWeek() without the calendar lookup, in the hot loops.
    const qint64 mondayBased = date.toJulianDay() % 7;
    return m_working[size_t(mondayBased < 0 ? mondayBased + 7 : mondayBased) + 1];
}

QDate WorkingCalendar::AddWorkingDays(const QDate &date, qint64 n) const
{
    if (n == 0 || !date.isValid())
        return date;
    if (n > kBeyondAnyDate || n < -kBeyondAnyDate)
        return {};
    if (everyDayCounts())
        return date.addDays(n);
    if (!hasWorkingDay())
        return {};

    const qint64 step = n > 0 ? 1 : -1;
    qint64 remaining = n > 0 ? n : -n;
    // Every run of seven days holds the same number of working days, wherever it begins;
    // keep at least one working day to walk so the result lands on one.
    const qint64 weeks = (remaining - 1) / m_workingPerWeek;
    QDate day = date.addDays(step * 7 * weeks);
    remaining -= weeks * m_workingPerWeek;
    while (remaining > 0 && day.isValid()) {
        day = day.addDays(step);
        if (IsWorkingDay(day))
            --remaining;
    }
    return day;
}

qint64 WorkingCalendar::workingRunLength(const QDate &from, qint64 limit) const
{
    if (limit <= 0 || !IsWorkingDay(from))
        return 0;
    if (everyDayCounts())
        return limit;
    qint64 length = 1;
    QDate day = from;
    while (length < limit) {
        day = day.addDays(1);
        if (!IsWorkingDay(day))
            break;
        ++length;
    }
    return length;
}

} // namespace ambrel
