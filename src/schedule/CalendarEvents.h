#pragma once

#include "schedule/TaskRow.h"
#include "workweek/WorkingCalendar.h"

#include <QDate>

#include <vector>

namespace ambrel {

// The event builder's working values, kept between its steps.
struct CalendarEventFields {
    QDate txtGCalNextWorkingDate; // where the next run begins
    double txtGCalRemaining = 0; // working days of the task not yet placed in an event
    QDate txtGCalStartDate; // first day of the current run
    QDate txtGCalEndDate_Working; // last day placed in the current run
};

// Marks out one run of at most count consecutive working days beginning at from, at once rather than day by
// day.
void TakeWorkingRun(
    CalendarEventFields &fields, const WorkingCalendar &calendar, const QDate &from, qint64 count);

// Appends one run per stretch of consecutive working days of a task beginning at start; only whole days
// count, so a task of less than one whole day (or a negative one) makes none. Stops and returns false once
// runs would hold more than maxEvents items.
bool AddCalendarEvents(std::vector<WorkingRun> &runs, CalendarEventFields &fields,
    const WorkingCalendar &calendar, const QDate &start, double dayCount, qsizetype maxEvents);

} // namespace ambrel
