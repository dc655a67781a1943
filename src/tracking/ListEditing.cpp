#include "ListEditing.h"

#include "corekit/TextFormat.h"

namespace ambrel {

std::optional<CurrentTask> clickedTask(const std::vector<TaskRow> &tasks, int row, const QString &projectName)
{
    if (row < 0 || row >= qsizetype(tasks.size()))
        return std::nullopt;
    const TaskRow &task = tasks[size_t(row)];
    CurrentTask current;
    current.txtTaskID = QString::number(row + 1);
    current.txtTask = task.listText(projectName);
    current.txtStartDate = formatShortDate(task.startDate);
    return current;
}

QString convertItemsToList(const std::vector<TaskRow> &tasks)
{
    QString text;
    for (const TaskRow &row : tasks)
        text += row.tag() + QLatin1String("\r\n");
    return text;
}

} // namespace ambrel
