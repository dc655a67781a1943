#include "timeline/TimelineData.h"

#include <algorithm>

namespace ambrel {

TimelineData TimelineData::fromSchedule(const std::vector<TaskRow> &rows, const std::vector<EventRow> &events,
    const WorkingCalendar &calendar, const QDate &today, std::vector<QDate> daysOff)
{
    TimelineData data;
    data.calendar = calendar;
    data.today = today;
    data.daysOff = std::move(daysOff);
    data.tasks.reserve(rows.size());
    size_t next = 0;
    for (const TaskRow &row : rows) {
        TimelineTask task { row.text, row.startDate, row.endDate, row.dayCount, {} };
        // A row's count can run past a truncated event list; take only the events that are there.
        const size_t count = std::min(size_t(std::max<qsizetype>(row.eventCount, 0)), events.size() - next);
        task.runs.reserve(count);
        for (size_t i = 0; i < count; ++i, ++next)
            task.runs.push_back({ events[next].startDate, events[next].endDate });
        data.tasks.push_back(std::move(task));
    }
    return data;
}

} // namespace ambrel
