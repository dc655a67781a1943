#pragma once

#include "export/EventRow.h"
#include "schedule/TaskRow.h"
#include "workweek/WorkingCalendar.h"

#include <QDate>
#include <QString>

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
    QString todoText; // lines separated by carriage return + line feed
    QString projectName;
    bool startOnPickedDate = false; // "Start this project on " rather than right away
    WorkingCalendar calendar;
    QString startsAt; // the working day's begin hour, copied into every event
    QString endsAt;
};

// Why a build did not run; it is shown in a message box with an information icon and an OK button.
struct Refusal {
    QString text;
    QString title;
};

struct Schedule {
    std::vector<TaskRow> tasks;
    std::vector<EventRow> events;
};

// Turns the task text into the dated task list and its calendar events.
class ScheduleBuilder final {
public:
    // More events than this in one project is refused rather than filling the memory.
    static constexpr qsizetype MaxEvents = 1'000'000;

    // The project's first day: today or the picked date, moved on to a working day when it is not one.
    // Unset when the picked date lies in the past.
    static QDate ProjectStartDate(bool startOnPickedDate, const QDate &PickedStartDate, const QDate &today,
        const WorkingCalendar &calendar);
    static void SetProjectStartDate(
        ScheduleState &state, bool startOnPickedDate, const WorkingCalendar &calendar, const QDate &today);

    // Builds the whole schedule afresh. On success the schedule and the carried state are replaced; on a
    // refusal neither changes, so the previous schedule stays on screen.
    static std::optional<Refusal> build(
        ScheduleState &state, const ScheduleRequest &request, const QDate &today, Schedule &schedule);
};

} // namespace ambrel
