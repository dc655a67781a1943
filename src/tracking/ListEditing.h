#pragma once

#include "schedule/TaskRow.h"

#include <QString>

#include <optional>
#include <vector>

namespace ambrel {

// The current task: what the window's hidden boxes hold about the row last clicked. Only a click
// changes it, so it may describe a row that has since moved or gone.
struct CurrentTask {
    QString txtTask = QStringLiteral("Text1"); // the row text
    QString txtTaskID; // the row's 1-based position, in decimal digits
    QString txtStartDate = QStringLiteral("Text1"); // the start date as the list shows it
};

// The current task after a click on row (0-based); nothing for a row that is not there.
std::optional<CurrentTask> clickedTask(const std::vector<TaskRow> &tasks, int row, const QString &projectName);

// The task list as task text again: each row's tag followed by CR LF; empty for an empty list.
QString convertItemsToList(const std::vector<TaskRow> &tasks);

} // namespace ambrel
