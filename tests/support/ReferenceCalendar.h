#pragma once

#include "workweek/WorkingCalendar.h"

#include <QDate>

#include <vector>

namespace ambrel::testing {

// "1111100": seven characters, Monday first, 1 for a working day.
WorkingWeekFlags weekFromText(const char *mondayFirst);

// The working-day rules followed one calendar day at a time, the plain way, as a yardstick for the
// fast calendar. Gives an invalid date rather than walking forever when the week has no working day.
bool referenceIsWorkingDay(const WorkingWeekFlags &week, bool applies, const QDate &date);
QDate referenceAddWorkingDays(const WorkingWeekFlags &week, bool applies, const QDate &date, qint64 n);

// The same with days off (sorted ascending), which count only while the week applies.
bool referenceIsWorkingDay(
    const WorkingWeekFlags &week, bool applies, const std::vector<QDate> &daysOff, const QDate &date);
QDate referenceAddWorkingDays(const WorkingWeekFlags &week, bool applies, const std::vector<QDate> &daysOff,
    const QDate &date, qint64 n);
qint64 referenceRunLength(const WorkingWeekFlags &week, bool applies, const std::vector<QDate> &daysOff,
    const QDate &from, qint64 limit);

} // namespace ambrel::testing
