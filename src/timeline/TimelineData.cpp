#include "timeline/TimelineData.h"

#include "project/Project.h"

#include <algorithm>

namespace ambrel {

TimelineData TimelineData::fromSchedule(
    const std::vector<TaskRow> &rows, const WorkingCalendar &calendar, const QDate &today, std::vector<QDate> daysOff)
{
    TimelineData data;
    data.calendar = calendar;
    data.today = today;
    data.daysOff = std::move(daysOff);
    data.tasks.reserve(rows.size());
    for (const TaskRow &row : rows) {
        TimelineTask task { row.text, row.startDate, row.endDate, row.dayCount, {} };
        task.runs.reserve(row.events.size());
        for (const WorkingRun &run : row.events)
            task.runs.push_back({ run.first, run.last });
        data.tasks.push_back(std::move(task));
    }
    return data;
}

TimelineData TimelineData::fromProject(const Project &project, const QDate &today)
{
    return fromSchedule(project.tasks(), project.calendar(), today,
        project.workingWeekApplies() ? project.settings().daysOff : std::vector<QDate>());
}

} // namespace ambrel
