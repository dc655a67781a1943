#include "TaskRow.h"

#include "corekit/TextFormat.h"

namespace ambrel {

QStringList taskColumnTitles()
{
    // Marked for the task list, which shows them translated; files and the command line keep them as they are.
    return { QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Task")),
        QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Start Date")),
        QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "End Date")),
        QStringLiteral(QT_TRANSLATE_NOOP("ambrel::TaskListModel", "Task Duration")) };
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
