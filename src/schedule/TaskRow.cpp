#include "TaskRow.h"

#include "corekit/TextFormat.h"

namespace ambrel {

QStringList taskColumnTitles()
{
    return { QStringLiteral("Task"), QStringLiteral("Start Date"), QStringLiteral("End Date"),
        QStringLiteral("Task Duration") };
}

QString TaskRow::tag() const
{
    return namePart + QLatin1String(" +") + formatDayCount(dayCount, QLocale::c());
}

} // namespace ambrel
