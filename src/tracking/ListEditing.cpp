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

bool removeSelectedTask(std::vector<TaskRow> &tasks, int row)
{
    if (row < 0 || row >= qsizetype(tasks.size()))
        return false;
    tasks.erase(tasks.begin() + row);
    // The rows below still name the tasks they wait for by place; the removed one is no longer there.
    for (size_t below = size_t(row); below < tasks.size(); ++below) {
        std::vector<int> &after = tasks[below].afterRows;
        std::erase(after, row);
        for (int &above : after)
            above -= above > row ? 1 : 0;
    }
    return true;
}

QString convertItemsToList(const std::vector<TaskRow> &tasks)
{
    QString text;
    for (const TaskRow &row : tasks)
        text += row.tag() + QLatin1String("\r\n");
    return text;
}

} // namespace ambrel
