#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace ambrel {

// The column titles of a Google Calendar import file, in its order.
QStringList eventColumnTitles();

// One calendar event: one run of consecutive working days of a task.
struct EventRow {
    enum Column {
        Subject,
        StartDate,
        StartTime,
        EndDate,
        EndTime,
        AllDayEvent,
        Description,
        Location,
        Private,
        ColumnCount
    };

    QString subjectBase; // project name, ": ", the task text
    int number = 1; // the event's number within its task; from 2 on it is shown in the subject
    QDate startDate;
    QString startTime;
    QDate endDate;
    QString endTime;
    QString description; // the task text
    int occurrence = 1; // which task of the project with this task text the event belongs to (1 = the first)

    QString subject() const;
    // The text of one cell, with dates written by formatDate.
    QString cell(int column, QString (*formatDate)(const QDate &)) const;
};

} // namespace ambrel
