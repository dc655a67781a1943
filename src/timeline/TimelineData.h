#pragma once

#include "export/EventRow.h"
#include "schedule/ScheduleBuilder.h"
#include "schedule/TaskRow.h"
#include "workweek/WorkingCalendar.h"

#include <QDate>
#include <QString>

#include <vector>

namespace ambrel {

class Project;

// One calendar event of a task: a run of consecutive working days.
struct TimelineRun {
    QDate first;
    QDate last;
};

// One task row as the timeline draws it. end lies before start when the day count is negative.
struct TimelineTask {
    QString text; // the task list's text: the project name, ": ", the task name
    QDate start;
    QDate end;
    double dayCount = 1;
    std::vector<TimelineRun> runs; // in date order; empty when the task makes no calendar event
    bool parallel = false; // starts beside the row above it, as a "//" line does
    QString name = {}; // the task name alone
    TaskMarks marks = {};
    std::vector<int> afterRows = {}; // the rows above that "[after]" waits for

    // The status on today, "Done" for a task marked done; "Pending" while the dates or today are unknown.
    QString status(const QDate &today) const;
};

// Everything the timeline shows: the task rows in list order, the working week and days off that shade
// the background, and the date whose status colours and today line are drawn.
struct TimelineData {
    std::vector<TimelineTask> tasks;
    WorkingCalendar calendar;
    std::vector<QDate> daysOff;
    QDate today;
    QString projectName; // the pictures carry it as their title
    bool waitsForParallel = false; // the task after a parallel group starts once the whole group has ended

    // The rows as the schedule builder leaves them, each with its runs of working days.
    static TimelineData fromSchedule(const Schedule &schedule, const WorkingCalendar &calendar,
        const QDate &today, std::vector<QDate> daysOff = {});
    // The project's built rows with its calendar, for today's statuses. Days off are shaded only while the
    // working week applies, as only then do they count.
    static TimelineData fromProject(const Project &project, const QDate &today);
};

} // namespace ambrel
