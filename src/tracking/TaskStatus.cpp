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

TaskProgress taskProgress(const QDate &startDate, const QDate &endDate, const QDate &today)
{
    TaskProgress progress;
    progress.startsIn = today.daysTo(startDate);
    progress.endsIn = today.daysTo(endDate);
    progress.status = GetTaskStatus(progress.startsIn, progress.endsIn);
    return progress;
}

} // namespace ambrel
