#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace ambrel {

// Where a task stands against today, worked out when the project is postponed or advanced.
struct TaskProgress {
    qint64 startsIn = 0; // calendar days from today to the start
    qint64 endsIn = 0; // calendar days from today to the end
    QString status; // "Pending", "Pending (Coming Soon)", "Active" or "Late"
};

// One row of the task list: one scheduled task line.
struct TaskRow {
    QString text; // project name, ": ", the task name without any "//"
    QDate startDate;
    QDate endDate;
    double dayCount = 1;
    QString namePart; // the line's name part as typed, "//" included
    qsizetype eventCount
        = 0; // how many calendar events the task made; they follow each other in the event list
    std::optional<TaskProgress> progress;

    // The row as a task line again: the name part, " +", the day count. The count is written with a
    // decimal point whatever the locale, so that the line reads back as the same number of days.
    QString tag() const;
};

} // namespace ambrel
