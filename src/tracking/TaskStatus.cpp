#include "TaskStatus.h"

namespace ambrel {

// Marked for the task list, which shows them translated; the timeline's colours and the command line read
// them as they are.
QString GetTaskStatus(qint64 startsIn, qint64 endsIn)
{
    if (startsIn > 0 && startsIn < 8)
        return QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Pending (Coming Soon)"));
    if (startsIn > 7)
        return QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Pending"));
    if (endsIn > 0)
        return QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Active"));
    return QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Late"));
}

TaskProgress taskProgress(const QDate &startDate, const QDate &endDate, const QDate &today, bool done)
{
    TaskProgress progress;
    progress.startsIn = today.daysTo(startDate);
    progress.endsIn = today.daysTo(endDate);
    progress.status = done ? QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Done"))
                           : GetTaskStatus(progress.startsIn, progress.endsIn);
    return progress;
}

TaskProgress taskProgress(const TaskRow &row, const QDate &today)
{
    return taskProgress(row.startDate, row.endDate, today, row.marks.isDone());
}

} // namespace ambrel
