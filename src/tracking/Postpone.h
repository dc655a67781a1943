#pragma once

#include "schedule/ScheduleBuilder.h"
#include "schedule/TaskRow.h"
#include "workweek/WorkingCalendar.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

namespace ambrel {

// What "Post-Pone" reads from the window.
struct PostponeRequest {
    bool rowSelected = false; // whether any row of the task list is selected
    QString txtTaskID; // 1-based position of the row last clicked; empty until a row is clicked
    QString txtDaysToPostPone;
    WorkingCalendar calendar;
    QDate today;
    QLocale locale; // how the days box is read, decimal separator included
};

// Moves the task last clicked and every task below it by the whole number of days in the days box
// (rounded down; negative advances), counting working days when the calendar says so. Start and end move
// independently, the duration stays, and each moved row gets its day counts and status, and the calendar
// events a build would make from its new start over the same calendar. Without a
// selected row or a clicked one nothing happens. Returns a refusal, with nothing changed, for a days box
// that holds no number, a working week without a working day, dates that would leave the years 1 to 9999,
// or more calendar events than a build would take.
// Returns the first row that moved through *firstMoved (-1 when none did).
std::optional<Refusal> postponeProject(
    std::vector<TaskRow> &tasks, const PostponeRequest &request, qsizetype *firstMoved = nullptr);

// The move itself: rows from first (0-based) on are moved by days counted on the calendar. On a refusal
// rows are left as they were.
std::optional<Refusal> postponeRows(std::vector<TaskRow> &rows, qsizetype first, qint64 days,
    const WorkingCalendar &calendar, const QDate &today);

} // namespace ambrel
