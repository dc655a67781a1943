#pragma once

#include "corekit/Refusal.h"
#include "schedule/TaskRow.h"
#include "workweek/WorkingCalendar.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace ambrel {

// The dates the builder carries between tasks and between builds, for the whole run of the program.
struct ScheduleState {
    QDate TaskStart;
    QDate TaskEnd;
    QDate PreviousTaskStart;
    QDate NextTaskStart;
    QDate PickedStartDate;
    // The start of the last sequential task placed since the program started, as short-date text.
    // Never emptied: a "//" line is only parallel once it holds something.
    QString txtPreviousItemDate;
};

// What a build reads from the window.
struct ScheduleRequest {
    QString todoText; // lines separated by line feeds or CR LF
    QString projectName;
    bool startOnPickedDate = false; // "Start this project on " rather than right away
    WorkingCalendar calendar;
    QString startsAt; // the working day's begin hour, copied into every event
    QString endsAt;
    // The picked date is the start of a saved plan, not a new pick: a plan in progress opens on any later
    // day, so a past date is kept rather than refused.
    bool startIsSaved = false;
    // A sequential task after a group (a sequential line and the "//" lines directly under it) waits for
    // the latest end among the group's tasks, not only for the end of the line just above it.
    bool waitForParallel = false;
};

// The built schedule: the task rows, each with its calendar events, and what those events were built
// with. They keep it until the next build, even when the name or the hours change meanwhile.
struct Schedule {
    std::vector<TaskRow> tasks;
    QString projectName;
    QString startsAt;
    QString endsAt;
    bool waitForParallel = false;

    qsizetype eventCount() const;
};

// What a build leaves for the next one to go on from: what it read besides the task text, and for each row
// what the row itself does not show, so that a later build can take up the layout after any row without
// walking the calendar again. Only ScheduleBuilder reads and writes its parts.
struct ScheduleTrail {
    bool holds = false; // whether a build left it; emptied when the rows it belongs to are replaced otherwise
    ScheduleRequest request;
    QDate today;
    QDate pickedStartDate;
    bool hadPreviousItem = false; // whether the state's txtPreviousItemDate held anything
    std::vector<QDate> nextStarts; // where a sequential task right after each row starts
    std::vector<bool> parallel; // whether each row was placed beside the one above it
};

// The task text's lines as the grammar counts them: split at line breaks, empty lines left out. When
// lineNumbers is given it receives each line's 1-based position in the text, empty lines counted.
QStringList TaskTextLines(const QString &todoText, std::vector<int> *lineNumbers = nullptr);

// Turns the task text into the dated task list and its calendar events.
class ScheduleBuilder final {
public:
    // More events than this in one project is refused rather than filling the memory.
    static constexpr qsizetype MaxEvents = 1'000'000;

    // The project's first day: today or the picked date, moved on to a working day when it is not one.
    // Unset when the picked date lies in the past, unless it is the saved start of a plan.
    static QDate ProjectStartDate(bool startOnPickedDate, const QDate &PickedStartDate, const QDate &today,
        const WorkingCalendar &calendar, bool startIsSaved = false);
    static void SetProjectStartDate(ScheduleState &state, bool startOnPickedDate,
        const WorkingCalendar &calendar, const QDate &today, bool startIsSaved = false);

    // Builds the whole schedule afresh; a refusal is shown with an information icon and an OK button. On
    // success the schedule and the carried state are replaced; on a refusal neither changes, so the previous
    // schedule stays on screen.
    static std::optional<Refusal> build(
        ScheduleState &state, const ScheduleRequest &request, const QDate &today, Schedule &schedule);
    // The same, but the rows of the build that left trail (rows, as it made them) are kept above the first
    // line changed since, when nothing else the build reads has changed, and only the rest are laid out
    // again. On success tail holds the rows from row from on, to take the place of the rows from there, and state
    // and trail are updated; the result is the one build would give. On a refusal nothing changes.
    static std::optional<Refusal> resume(ScheduleState &state, const ScheduleRequest &request,
        const QDate &today, const std::vector<TaskRow> &rows, ScheduleTrail &trail, Schedule &tail,
        qsizetype &from);
    // The same, but each row goes to take as soon as it is laid out, and the schedule keeps none of them:
    // for a writer that needs every row once, where a long plan's rows would otherwise all be held at once.
    // On a refusal, take has seen the rows above the refused line.
    static std::optional<Refusal> buildEachRow(ScheduleState &state, const ScheduleRequest &request,
        const QDate &today, Schedule &schedule, const std::function<void(TaskRow &)> &take);
};

} // namespace ambrel
