#include "ListEditing.h"

#include "export/EventListModel.h"
#include "schedule/TaskListModel.h"

namespace ambrel {

std::optional<CurrentTask> clickedTask(const TaskListModel &tasks, int row)
{
    if (row < 0 || row >= tasks.rowCount())
        return std::nullopt;
    CurrentTask current;
    current.txtTaskID = QString::number(row + 1);
    current.txtTask = tasks.cellText(row, TaskListModel::TaskColumn);
    current.txtStartDate = tasks.cellText(row, TaskListModel::StartDateColumn);
    return current;
}

bool removeSelectedTask(TaskListModel &tasks, EventListModel &events, int row)
{
    if (row < 0 || row >= tasks.rowCount())
        return false;
    qsizetype first = 0;
    qsizetype total = 0;
    const auto &rows = tasks.rows();
    for (qsizetype i = 0; i < qsizetype(rows.size()); ++i) {
        if (i < row)
            first += rows[size_t(i)].eventCount;
        total += rows[size_t(i)].eventCount;
    }
    const qsizetype count = rows[size_t(row)].eventCount;
    tasks.removeTask(row);
    if (total == events.rowCount())
        events.removeEvents(first, count);
    return true;
}

QString convertItemsToList(const TaskListModel &tasks)
{
    QString text;
    for (const TaskRow &row : tasks.rows())
        text += row.tag() + QLatin1String("\r\n");
    return text;
}

} // namespace ambrel
