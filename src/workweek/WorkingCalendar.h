#pragma once

#include <QDate>

#include <array>

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

    bool IsWorkingDay(const QDate &date) const;

    // The date n working days after (n > 0) or before (n < 0) date, date itself not counting;
    // date unchanged for n = 0. Takes the same time for any n: whole weeks are jumped, at most one
    // week is walked. Returns an invalid date when no day of the week is a working day and n != 0,
    // or when the answer lies beyond the dates a QDate can hold.
    QDate AddWorkingDays(const QDate &date, qint64 n) const;

    // How many consecutive working days begin at from, counting at most limit of them.
    qint64 workingRunLength(const QDate &from, qint64 limit) const;

    bool hasWorkingDay() const { return m_workingPerWeek > 0; }
    bool everyDayCounts() const { return m_workingPerWeek == 7; }

private:
    std::array<bool, 8> m_working { false, true, true, true, true, true, true, true };
    int m_workingPerWeek = 7;
};

} // namespace ambrel
