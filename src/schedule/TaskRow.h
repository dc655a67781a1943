#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ambrel {

// The titles of the four columns every task list has: "Task", "Start Date", "End Date", "Task Duration".
QStringList taskColumnTitles();

// Where a task stands against today, worked out when the project is postponed or advanced.
struct TaskProgress {
    qint64 startsIn = 0; // calendar days from today to the start
    qint64 endsIn = 0; // calendar days from today to the end
    QString status; // "Pending", "Pending (Coming Soon)", "Active" or "Late"
};

// One calendar event of a task: a run of consecutive working days. Its number within the task is its
// position in the task's list, from 1.
struct WorkingRun {
    QDate first;
    QDate last;
};

// The task above a sequential task that is still running when that task starts: the one that ends last,
// the nearest line on a tie.
struct TaskOverlap {
    QString name; // the task name as its row shows it, without the project name
    QDate end;
};

// One row of the task list: one scheduled task line, with the calendar events it made.
struct TaskRow {
    QString text; // project name, ": ", the task name without any "//"
    QDate startDate;
    QDate endDate;
    double dayCount = 1;
    QString namePart; // the line's name part as typed, "//" included
    QString eventText; // what the task's events carry: the name part, without "//" for a parallel task
    std::vector<WorkingRun> events;
    std::optional<TaskProgress> progress;
    // How the line was read, when that may not be what was meant; else the overlap, when there is one;
    // empty otherwise. A misread line's dates are not what was meant, so its overlap is not told.
    QString hint;
    int lineNumber = 0; // the task text line it was built from, 1-based, empty lines counted
    std::optional<TaskOverlap> overlap; // set on a sequential task that starts before one above has ended

    // The row as a task line again: the name part, " +", the day count. The count is written with a
    // decimal point whatever the locale, so that the line reads back as the same number of days.
    QString tag() const;
};

} // namespace ambrel
