#pragma once

#include <QDate>

#include <array>
#include <memory>
#include <vector>

namespace ambrel {

// WorkingWeek: index 1 (Monday) to 7 (Sunday) holds 1 for a working day; any other value marks a day off.
// Index 0 is never used. QDate::dayOfWeek() numbers the days the same way.
using WorkingWeekFlags = std::array<qint16, 8>;

// Which calendar days count as working days, and stepping over them.
// When the working week does not apply, every day counts.
class WorkingCalendar final {
public:
    WorkingCalendar() = default;
    WorkingCalendar(const WorkingWeekFlags &WorkingWeek, bool applies);
    // Days off are dates that are not working days even where the working week says they are; like the
    // week itself they count only while it applies. Order and repeats in daysOff do not matter.
    WorkingCalendar(const WorkingWeekFlags &WorkingWeek, bool applies, const std::vector<QDate> &daysOff);

    bool IsWorkingDay(const QDate &date) const;

    // The date n working days after (n > 0) or before (n < 0) date, date itself not counting;
    // date unchanged for n = 0. Whole weeks are jumped and at most one week is walked; days off are
    // found by binary search, so the time grows with the logarithm of their count, not with n. Returns an
    // invalid date when no day of the week is a working day and n != 0, or when the answer lies beyond the
    // dates a QDate can hold.
    QDate AddWorkingDays(const QDate &date, qint64 n) const;

    // How many consecutive working days begin at from, counting at most limit of them.
    qint64 workingRunLength(const QDate &from, qint64 limit) const;

    // How many days of a week are working days; seven while every weekday counts.
    int workingDaysPerWeek() const { return m_workingPerWeek; }
    bool hasWorkingDay() const { return m_workingPerWeek > 0; }
    bool everyDayCounts() const { return m_workingPerWeek == 7 && !m_daysOff; }

    // Whether both count the same days as working days.
    bool operator==(const WorkingCalendar &other) const;

private:
    bool isWorkingWeekday(qint64 julianDay) const;
    bool isDayOff(qint64 julianDay) const;
    // Working weekdays among the Julian days before julianDay, days off not taken out.
    qint64 weekdaysBefore(qint64 julianDay) const;
    QDate addWorkingWeekdays(const QDate &date, qint64 n) const;
    QDate addAroundDaysOff(const QDate &date, qint64 n) const;

    std::array<bool, 8> m_working { false, true, true, true, true, true, true, true };
    int m_workingPerWeek = 7;
    // Julian days of the days off that fall on working weekdays, ascending; null when there are none.
    // Shared, because calendars are copied into every request and the list may hold thousands.
    std::shared_ptr<const std::vector<qint64>> m_daysOff;
};

} // namespace ambrel
