#include "Postpone.h"

#include "corekit/TextFormat.h"
#include "schedule/CalendarEvents.h"
#include "tracking/TaskStatus.h"

#include <cmath>

namespace ambrel {

namespace {

// More days than lie between the years 1 and 9999 can only end outside them; refusing these early also
// keeps the day arithmetic far from overflowing.
constexpr double kMaxShift = 3'700'000;

std::optional<double> readNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return std::floor(value);
}

Refusal outOfRange()
{
    return { QStringLiteral("Moving the tasks by that many days would take them outside the years 1 to 9999. "
                            "Please enter a smaller number of days.") };
}

Refusal tooManyEvents()
{
    return { QStringLiteral("Moving the tasks by that many days would make more than %1 calendar events. "
                            "Please enter a different number of days.")
                 .arg(QLocale().toString(ScheduleBuilder::MaxEvents)) };
}

} // namespace

std::optional<Refusal> postponeRows(std::vector<TaskRow> &rows, qsizetype first, qint64 days,
    const WorkingCalendar &calendar, const QDate &today)
{
    if (first < 0)
        first = 0;
    if (first >= qsizetype(rows.size()))
        return std::nullopt;
    if (days != 0 && !calendar.hasWorkingDay())
        return Refusal { QStringLiteral("Your working week has no working day, so the tasks cannot be moved "
                                        "over it. Please tick at least one working day.") };
    if (std::abs(double(days)) > kMaxShift)
        return outOfRange();

    // The rows above keep their events; the moved ones may make more or fewer over the new days.
    qsizetype eventBudget = ScheduleBuilder::MaxEvents;
    for (qsizetype i = 0; i < first; ++i)
        eventBudget -= qsizetype(rows[size_t(i)].events.size());

    std::vector<TaskRow> moved(rows.begin() + first, rows.end());
    for (TaskRow &row : moved) {
        row.startDate = calendar.AddWorkingDays(row.startDate, days);
        row.endDate = calendar.AddWorkingDays(row.endDate, days);
        if (!isWithinYears(row.startDate) || !isWithinYears(row.endDate))
            return outOfRange();
        row.progress = taskProgress(row, today);
        // The events are what a build would make from the new start, so that exports and the timeline
        // show the dates the list shows. Not moving keeps them as built.
        if (days != 0) {
            row.events.clear();
            CalendarEventFields fields;
            if (row.marks.milestone) {
                if (eventBudget < 1)
                    return tooManyEvents();
                row.events.push_back({ row.startDate, row.startDate });
            } else if (!AddCalendarEvents(
                           row.events, fields, calendar, row.startDate, row.dayCount, eventBudget)) {
                return tooManyEvents();
            }
        }
        eventBudget -= qsizetype(row.events.size());
    }
    std::move(moved.begin(), moved.end(), rows.begin() + first);
    return std::nullopt;
}

std::optional<Refusal> postponeProject(
    std::vector<TaskRow> &tasks, const PostponeRequest &request, qsizetype *firstMoved)
{
    if (firstMoved)
        *firstMoved = -1;
    if (!request.rowSelected || request.txtTaskID.isEmpty())
        return std::nullopt;

    // Only a row click writes the position, always as plain digits.
    const std::optional<double> position = readNumber(request.txtTaskID, QLocale::c());
    if (!position)
        return std::nullopt;
    const std::optional<double> days = readNumber(request.txtDaysToPostPone, request.locale);
    if (!days)
        return Refusal { QStringLiteral("Please enter the number of days to move the project by: a whole "
                                        "number such as 15 to post-pone it, or -5 to advance it.") };

    if (*position > double(tasks.size()))
        return std::nullopt;
    const qsizetype first = *position < 1 ? 0 : qsizetype(*position) - 1;
    if (std::abs(*days) > kMaxShift)
        return outOfRange();

    if (std::optional<Refusal> refusal
        = postponeRows(tasks, first, qint64(*days), request.calendar, request.today))
        return refusal;
    if (firstMoved && first < qsizetype(tasks.size()))
        *firstMoved = first;
    return std::nullopt;
}

} // namespace ambrel
