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
    QString line = namePart + QLatin1String(" +") + formatDayCount(dayCount, QLocale::c());
    if (!marksText.isEmpty())
        line += QLatin1Char(' ') + marksText;
    return line;
}

QString TaskRow::listText(const QString &projectName) const
{
    return projectName + QLatin1String(": ") + name;
}

} // namespace ambrel
