#include "EventRow.h"

#include <QHash>

#include <algorithm>

namespace ambrel {

QStringList eventColumnTitles()
{
    return { QStringLiteral("Subject"), QStringLiteral("Start Date"), QStringLiteral("Start Time"),
        QStringLiteral("End Date"), QStringLiteral("End Time"), QStringLiteral("All Day Event"),
        QStringLiteral("Description"), QStringLiteral("Location"), QStringLiteral("Private") };
}

EventRow EventRow::of(const Schedule &schedule, const TaskRow &task, qsizetype number)
{
    const WorkingRun &run = task.events[size_t(number - 1)];
    EventRow event;
    event.subjectBase = schedule.projectName + QLatin1String(": ") + task.eventText;
    event.number = int(number);
    event.startDate = run.first;
    event.endDate = run.last;
    event.description = task.eventText;
    event.name = task.name.trimmed();
    event.partCount = int(task.events.size());
    event.marks = task.marks;
    event.allDay = task.marks.milestone;
    if (!event.allDay) {
        event.startTime = schedule.startsAt;
        event.endTime = schedule.endsAt;
    }
    return event;
}

namespace {

// For each task, which task with its event text it is (1 for the first). Counted in one open-addressed
// table of hashes: with a million different texts a QHash compares strings, each a cache miss, on most of
// its probes, so its cost grew faster than the plan; here texts are compared only when their hashes agree.
std::vector<int> occurrenceNumbers(const std::vector<TaskRow> &tasks)
{
    struct Slot {
        size_t hash = 0;
        qint32 task = -1; // the first task with the text, or -1 for an empty slot
        qint32 count = 0;
    };
    size_t capacity = 16;
    while (capacity < tasks.size() * 2)
        capacity *= 2;
    std::vector<Slot> table(capacity);
    const size_t mask = capacity - 1;
    std::vector<int> numbers;
    numbers.reserve(tasks.size());
    for (size_t i = 0; i < tasks.size(); ++i) {
        const QString &text = tasks[i].eventText;
        const size_t hash = qHash(text, size_t(0));
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            Slot &slot = table[at];
            if (slot.task < 0) {
                slot = { hash, qint32(i), 1 };
                numbers.push_back(1);
                break;
            }
            if (slot.hash == hash && tasks[size_t(slot.task)].eventText == text) {
                numbers.push_back(++slot.count);
                break;
            }
        }
    }
    return numbers;
}

} // namespace

std::vector<EventRow> calendarEventRows(const Schedule &schedule)
{
    std::vector<EventRow> rows;
    rows.reserve(size_t(schedule.eventCount()));
    const std::vector<int> occurrences = occurrenceNumbers(schedule.tasks);
    for (size_t i = 0; i < schedule.tasks.size(); ++i) {
        const TaskRow &task = schedule.tasks[i];
        for (qsizetype number = 1; number <= qsizetype(task.events.size()); ++number) {
            rows.push_back(EventRow::of(schedule, task, number));
            rows.back().occurrence = occurrences[i];
        }
    }
    return rows;
}

bool spansSeveralDays(const std::vector<EventRow> &events)
{
    return std::any_of(
        events.begin(), events.end(), [](const EventRow &event) { return event.endDate > event.startDate; });
}

qint64 eventDayCount(const std::vector<EventRow> &events)
{
    qint64 days = 0;
    for (const EventRow &event : events)
        days += std::max<qint64>(event.startDate.daysTo(event.endDate) + 1, 0);
    return days;
}

qint64 eventDayCount(const Schedule &schedule)
{
    qint64 days = 0;
    for (const TaskRow &task : schedule.tasks) {
        for (const WorkingRun &run : task.events)
            days += std::max<qint64>(run.first.daysTo(run.last) + 1, 0);
    }
    return days;
}

std::vector<EventRow> dailyEventRows(const std::vector<EventRow> &events)
{
    std::vector<EventRow> days;
    days.reserve(size_t(eventDayCount(events)));
    for (const EventRow &event : events) {
        for (QDate day = event.startDate; day <= event.endDate; day = day.addDays(1)) {
            EventRow daily = event;
            daily.startDate = day;
            daily.endDate = day;
            days.push_back(std::move(daily));
        }
    }
    return days;
}

QString EventRow::subject() const
{
    if (number == 1)
        return subjectBase;
    return subjectBase + QLatin1String(" (") + QString::number(number) + QLatin1Char(')');
}

QString EventRow::title() const
{
    if (partCount < 2)
        return name;
    return QStringLiteral("%1 (part %2 of %3)").arg(name).arg(number).arg(partCount);
}

QStringList EventRow::markWords() const
{
    const auto days = [](qint32 count) {
        return count == 1 || count == -1 ? QStringLiteral("1 working day")
                                         : QStringLiteral("%1 working days").arg(qAbs(qint64(count)));
    };
    QStringList words;
    if (marks.milestone)
        words << QStringLiteral("Milestone");
    if (marks.isDone())
        words << QStringLiteral("Done");
    else if (marks.progress)
        words << QStringLiteral("%1% done").arg(*marks.progress);
    if (!marks.after.isEmpty())
        words << QStringLiteral("after ") + marks.after.join(QStringLiteral(", "));
    if (marks.wait && *marks.wait > 0)
        words << QStringLiteral("waits ") + days(*marks.wait);
    else if (marks.wait && *marks.wait < 0)
        words << QStringLiteral("starts %1 early").arg(days(*marks.wait));
    // The ISO form, as the mark itself is written, reads the same in every locale.
    if (marks.from.isValid())
        words << QStringLiteral("not before ") + marks.from.toString(Qt::ISODate);
    return words;
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
        return allDay ? QStringLiteral("True") : QStringLiteral("False");
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
