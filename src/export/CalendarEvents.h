#pragma once

#include "export/EventRow.h"
#include "workweek/WorkingCalendar.h"

#include <QDate>
#include <QString>

#include <vector>

namespace ambrel {

// The event builder's working values, kept between its steps.
struct CalendarEventFields {
    QDate txtGCalNextWorkingDate; // where the next run begins
    double txtGCalRemaining = 0; // working days of the task not yet placed in an event
    QDate txtGCalStartDate; // first day of the current run
    QDate txtGCalEndDate_Working; // last day placed in the current run
};

struct EventTask {
    QDate start;
    double dayCount = 1;
    QString text; // the task text as the builder hands it over
    QString projectName;
    QString startsAt;
    QString endsAt;
};

// Marks out one run of at most count consecutive working days beginning at from, at once rather than day by
// day.
void TakeWorkingRun(
    CalendarEventFields &fields, const WorkingCalendar &calendar, const QDate &from, qint64 count);

// Appends one event per run of consecutive working days of the task; only whole days count, so a task of
// less than one whole day (or a negative one) makes none. Stops and returns false once events would hold
// more than maxEvents rows.
bool AddCalendarEvents(std::vector<EventRow> &events, CalendarEventFields &fields,
    const WorkingCalendar &calendar, const EventTask &task, qsizetype maxEvents);

} // namespace ambrel
