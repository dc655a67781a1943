#include "TimelineSamples.h"

#include "schedule/ScheduleBuilder.h"

#include <algorithm>

namespace ambrel::testing {

namespace {

std::vector<TimelineRun> splitAtDaysOff(
    const std::vector<TimelineRun> &runs, const std::vector<QDate> &daysOff)
{
    std::vector<TimelineRun> split;
    for (const TimelineRun &run : runs) {
        QDate first = run.first;
        for (QDate day = run.first; day <= run.last; day = day.addDays(1)) {
            if (std::find(daysOff.begin(), daysOff.end(), day) == daysOff.end())
                continue;
            if (first < day)
                split.push_back({ first, day.addDays(-1) });
            first = day.addDays(1);
        }
        if (first <= run.last)
            split.push_back({ first, run.last });
    }
    return split;
}

} // namespace

TimelineData sampleTimeline(
    int taskCount, const QDate &start, const QDate &today, const std::vector<QDate> &daysOff)
{
    QString text;
    for (int i = 0; i < taskCount; ++i) {
        if (i % 11 == 5)
            text += QStringLiteral("Call supplier %1 + 0.5").arg(i);
        else if (i == 9)
            text += QStringLiteral("Undo rollout + -3");
        else if (i % 7 == 3)
            text += QStringLiteral("//Review %1 + 2").arg(i);
        else
            text += QStringLiteral("Task %1 + %2").arg(i).arg(1 + (i * 5) % 8);
        text += QStringLiteral("\r\n");
    }
    const WorkingCalendar calendar({ 0, 1, 1, 1, 1, 1, 0, 0 }, true);
    ScheduleState state;
    state.PickedStartDate = start;
    ScheduleRequest request { text, QStringLiteral("Launch"), true, calendar, QStringLiteral("9:00 AM"),
        QStringLiteral("5:00 PM") };
    Schedule schedule;
    ScheduleBuilder::build(state, request, start, schedule);
    TimelineData data = TimelineData::fromSchedule(schedule, calendar, today, daysOff);
    for (TimelineTask &task : data.tasks)
        task.runs = splitAtDaysOff(task.runs, daysOff);
    return data;
}

} // namespace ambrel::testing
