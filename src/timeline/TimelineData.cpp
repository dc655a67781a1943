#include "timeline/TimelineData.h"

#include "project/Project.h"

#include <algorithm>

namespace ambrel {

namespace {

// A row's text is the project name, ": " and the task name without its "//".
QString projectNameOf(const std::vector<TaskRow> &rows)
{
    if (rows.empty())
        return {};
    const TaskRow &row = rows.front();
    const qsizetype taskName = QString(row.namePart).remove(QStringLiteral("//")).size();
    return row.text.left(std::max<qsizetype>(0, row.text.size() - taskName - 2));
}

} // namespace

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
        task.parallel = !data.tasks.empty() && row.namePart.startsWith(QLatin1String("//"));
        data.tasks.push_back(std::move(task));
    }
    data.projectName = projectNameOf(rows);
    return data;
}

TimelineData TimelineData::fromProject(const Project &project, const QDate &today)
{
    TimelineData data = fromSchedule(project.tasks(), project.calendar(), today,
        project.workingWeekApplies() ? project.settings().daysOff : std::vector<QDate>());
    data.waitsForParallel = project.schedule().waitForParallel;
    return data;
}

} // namespace ambrel
