#pragma once

#include "schedule/TaskLine.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ambrel {

// The titles of the four columns every task list has: "Task", "Start Date", "End Date", "Task Duration".
QStringList taskColumnTitles();

// Where a task stands against today.
struct TaskProgress {
    qint64 startsIn = 0; // calendar days from today to the start
    qint64 endsIn = 0; // calendar days from today to the end
    QString status; // "Pending", "Pending (Coming Soon)", "Active", "Late" or "Done"
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
    QString name; // the task name as its row shows it
    QDate end;
};

// One row of the task list: one scheduled task line, with the calendar events it made.
struct TaskRow {
    QString name; // the task name: the name part without any "//"
    QDate startDate;
    QDate endDate;
    double dayCount = 1; // 0 for a milestone
    QString namePart; // the line's name part as typed, "//" included
    TaskMarks marks;
    QString marksText; // the line's marks as typed, "[after A] [40%]"; empty when it has none
    QString eventText; // what the task's events carry: the name part, without "//" for a parallel task
    std::vector<WorkingRun> events;
    std::optional<TaskProgress> progress;
    // How the line was read, when that may not be what was meant; else the overlap, when there is one;
    // empty otherwise. A misread line's dates are not what was meant, so its overlap is not told.
    QString hint;
    int lineNumber = 0; // the task text line it was built from, 1-based, empty lines counted
    std::optional<TaskOverlap> overlap; // set on a sequential task that starts before one above has ended
    std::vector<int> afterRows; // the rows above that its "[after]" names found, in the order named

    // The row as a task line again: the name part, " +", the day count, then the marks. The count is written
    // with a decimal point whatever the locale, so that the line reads back as the same number of days.
    QString tag() const;
    // What the task list shows in its first column: the project name, ": ", the task name.
    QString listText(const QString &projectName) const;
};

} // namespace ambrel
