#pragma once

#include "schedule/ScheduleBuilder.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

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
    bool allDay = false; // a milestone's one event: its date, without hours
    int occurrence = 1; // which task of the project with this task text the event belongs to (1 = the first)
    QString name = {}; // the task name, blanks around it removed
    int partCount = 1; // how many events the task has
    TaskMarks marks = {};

    // The event of run number (from 1) of the task, with the name and hours the schedule was built with.
    static EventRow of(const Schedule &schedule, const TaskRow &task, qsizetype number);

    QString subject() const;
    // What a calendar shows as the event's title: the name, with "(part 2 of 3)" when the task has several
    // events.
    QString title() const;
    // The task's marks in words, one a line: "Done", "40% done", "after Backend".
    QStringList markWords() const;
    // The text of one cell, with dates written by formatDate.
    QString cell(int column, QString (*formatDate)(const QDate &)) const;
};

// Every calendar event of the schedule as a row of the import file, task by task.
std::vector<EventRow> calendarEventRows(const Schedule &schedule);

// Whether any event runs over more than one day, and so over the nights between its days.
bool spansSeveralDays(const std::vector<EventRow> &events);

// How many days the events cover together: the rows dailyEventRows makes of them.
qint64 eventDayCount(const std::vector<EventRow> &events);
// The same for every calendar event of the schedule.
qint64 eventDayCount(const Schedule &schedule);

// Each event cut into one event per day, each from the begin to the end hour; every day keeps the
// subject, number, hours and description of the event it belongs to. An event's days are all working
// days, since a run ends at the first day that is not one.
std::vector<EventRow> dailyEventRows(const std::vector<EventRow> &events);

} // namespace ambrel
