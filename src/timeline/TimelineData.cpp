#include "timeline/TimelineData.h"

#include "project/Project.h"
#include "tracking/TaskStatus.h"

#include <algorithm>

namespace ambrel {

TimelineData TimelineData::fromSchedule(
    const Schedule &schedule, const WorkingCalendar &calendar, const QDate &today, std::vector<QDate> daysOff)
{
    const std::vector<TaskRow> &rows = schedule.tasks;
    TimelineData data;
    data.calendar = calendar;
    data.today = today;
    data.daysOff = std::move(daysOff);
    data.tasks.reserve(rows.size());
    for (const TaskRow &row : rows) {
        TimelineTask task { row.listText(schedule.projectName), row.startDate, row.endDate, row.dayCount, {} };
        task.name = row.name;
        task.runs.reserve(row.events.size());
        for (const WorkingRun &run : row.events)
            task.runs.push_back({ run.first, run.last });
        task.parallel = !data.tasks.empty() && row.namePart.startsWith(QLatin1String("//"));
        task.marks = row.marks;
        task.afterRows = row.afterRows;
        data.tasks.push_back(std::move(task));
    }
    // An empty plan has no name to show; its pictures keep their plain title.
    data.projectName = rows.empty() ? QString() : schedule.projectName;
    return data;
}

QString TimelineTask::status(const QDate &today) const
{
    if (marks.isDone())
        return QStringLiteral("Done");
    if (!today.isValid() || !start.isValid() || !end.isValid())
        return QStringLiteral("Pending");
    return taskProgress(start, end, today).status;
}

TimelineData TimelineData::fromProject(const Project &project, const QDate &today)
{
    TimelineData data = fromSchedule(project.schedule(), project.calendar(), today,
        project.workingWeekApplies() ? project.settings().daysOff : std::vector<QDate>());
    data.waitsForParallel = project.schedule().waitForParallel;
    return data;
}

} // namespace ambrel
