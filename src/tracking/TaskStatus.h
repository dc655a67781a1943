#pragma once

#include "schedule/TaskRow.h"

#include <QDate>
#include <QString>

namespace ambrel {

// The status of a task from its calendar-day distances to today: "Pending (Coming Soon)" when it starts
// within the next seven days, "Pending" when later, "Active" once started and ending after today, and
// "Late" once started with its end today or past. While the start lies ahead the end is not consulted.
QString GetTaskStatus(qint64 startsIn, qint64 endsIn);

// The two day counts and the status of a task with these dates, as seen on today; "Done" for a task marked
// done, whatever its dates.
TaskProgress taskProgress(const QDate &startDate, const QDate &endDate, const QDate &today, bool done = false);

// The same for a built row, from its dates and marks.
TaskProgress taskProgress(const TaskRow &row, const QDate &today);

} // namespace ambrel
