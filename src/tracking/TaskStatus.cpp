#include "TaskStatus.h"

namespace ambrel {

QString GetTaskStatus(qint64 startsIn, qint64 endsIn)
{
    if (startsIn > 0 && startsIn < 8)
        return QStringLiteral("Pending (Coming Soon)");
    if (startsIn > 7)
        return QStringLiteral("Pending");
    if (endsIn > 0)
        return QStringLiteral("Active");
    return QStringLiteral("Late");
}

TaskProgress taskProgress(const QDate &startDate, const QDate &endDate, const QDate &today, bool done)
{
    TaskProgress progress;
    progress.startsIn = today.daysTo(startDate);
    progress.endsIn = today.daysTo(endDate);
    progress.status = done ? QStringLiteral("Done") : GetTaskStatus(progress.startsIn, progress.endsIn);
    return progress;
}

TaskProgress taskProgress(const TaskRow &row, const QDate &today)
{
    return taskProgress(row.startDate, row.endDate, today, row.marks.isDone());
}

} // namespace ambrel
