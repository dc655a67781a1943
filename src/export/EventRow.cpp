#include "EventRow.h"

namespace ambrel {

QStringList eventColumnTitles()
{
    return { QStringLiteral("Subject"), QStringLiteral("Start Date"), QStringLiteral("Start Time"),
        QStringLiteral("End Date"), QStringLiteral("End Time"), QStringLiteral("All Day Event"),
        QStringLiteral("Description"), QStringLiteral("Location"), QStringLiteral("Private") };
}

QString EventRow::subject() const
{
    if (number == 1)
        return subjectBase;
    return subjectBase + QLatin1String(" (") + QString::number(number) + QLatin1Char(')');
}

QString EventRow::cell(int column, QString (*formatDate)(const QDate &)) const
{
    switch (column) {
    case Subject:
        return subject();
    case StartDate:
        return formatDate(startDate);
    case StartTime:
        return startTime;
    case EndDate:
        return formatDate(endDate);
    case EndTime:
        return endTime;
    case AllDayEvent:
        return QStringLiteral("False");
    case Description:
        return description;
    case Location:
        return QStringLiteral("Home");
    case Private:
        return QStringLiteral("True");
    default:
        return {};
    }
}

} // namespace ambrel
