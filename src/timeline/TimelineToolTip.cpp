#include "timeline/TimelineToolTip.h"

#include "corekit/TextFormat.h"

#include <QStringList>

namespace ambrel {

QString TimelineToolTip::text(const TimelineTask &task, const QDate &today, const QLocale &locale)
{
    QStringList lines;
    lines << task.text;
    lines << QStringLiteral("Start: %1").arg(formatShortDate(task.start, locale));
    lines << QStringLiteral("End: %1").arg(formatShortDate(task.end, locale));
    lines << QStringLiteral("Days: %1").arg(formatDayCount(task.dayCount, locale));
    if (task.marks.isDone() || (task.start.isValid() && task.end.isValid() && today.isValid()))
        lines << QStringLiteral("Status: %1").arg(task.status(today));
    if (task.marks.progress && !task.marks.isDone())
        lines << QStringLiteral("Progress: %1%").arg(*task.marks.progress);
    if (task.marks.milestone)
        lines << QStringLiteral("Milestone");
    if (!task.marks.after.isEmpty())
        lines << QStringLiteral("After: %1").arg(task.marks.after.join(QStringLiteral(", ")));
    lines << QStringLiteral("Calendar events: %1").arg(task.runs.size());
    if (task.end.isValid() && task.end < task.start)
        lines << QStringLiteral("Negative duration: the task ends before it starts");
    else if (task.runs.empty() && task.dayCount < 1)
        lines << QStringLiteral("No calendar event: fewer than one whole day");
    return lines.join(QLatin1Char('\n'));
}

QString TimelineToolTip::html(const TimelineTask &task, const QDate &today, const QLocale &locale)
{
    // Task text is typed by the person and may look like markup; it must show as typed.
    QString escaped = text(task, today, locale).toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return QStringLiteral("<p style='white-space:pre'>") + escaped + QStringLiteral("</p>");
}

} // namespace ambrel
