#include "Project.h"

#include "export/CsvWriter.h"
#include "export/EventRow.h"
#include "export/ExportFile.h"
#include "export/IcsWriter.h"
#include "tracking/ListEditing.h"

namespace ambrel {

Project::Project(QObject *parent)
    : QObject(parent)
{
}

WorkingCalendar Project::calendar() const
{
    return m_settings.calendar(m_workingWeekApplies);
}

void Project::begin(const QDate &today)
{
    m_state.TaskStart = today;
    m_state.PickedStartDate = today;
}

void Project::SetProjectStartDate(const QDate &today)
{
    ScheduleBuilder::SetProjectStartDate(m_state, m_startOnPickedDate, calendar(), today, m_startIsSaved);
}

ScheduleRequest Project::request() const
{
    ScheduleRequest request;
    request.todoText = m_taskText;
    request.projectName = m_name;
    request.startOnPickedDate = m_startOnPickedDate;
    request.calendar = calendar();
    request.startsAt = m_settings.hours.starts;
    request.endsAt = m_settings.hours.endsAt;
    request.startIsSaved = m_startIsSaved;
    request.waitForParallel = m_waitForParallel;
    return request;
}

std::optional<Refusal> Project::refusalOfBuild(const QString &taskText, const QDate &today) const
{
    ScheduleRequest trial = request();
    trial.todoText = taskText;
    ScheduleState state = m_state;
    Schedule built;
    return ScheduleBuilder::build(state, trial, today, built);
}

std::optional<Refusal> Project::rebuild(const QDate &today)
{
    // Only the rows from the first changed line are laid out again; the kept ones were built on the same
    // today, so their progress stands.
    Schedule tail;
    qsizetype from = 0;
    std::optional<Refusal> refusal
        = ScheduleBuilder::resume(m_state, request(), today, m_schedule.tasks, m_trail, tail, from);
    if (!refusal) {
        for (TaskRow &task : tail.tasks)
            task.progress = taskProgress(task, today);
    }
    return settleBuild(std::move(refusal), std::move(tail), from);
}

std::optional<Refusal> Project::rebuildEachRow(
    const QDate &today, const std::function<void(const TaskRow &)> &take)
{
    Schedule built;
    const auto progressed = [&](TaskRow &task) {
        task.progress = taskProgress(task, today);
        take(task);
    };
    std::optional<Refusal> refusal = ScheduleBuilder::buildEachRow(m_state, request(), today, built, progressed);
    if (!refusal)
        m_trail = {};
    return settleBuild(std::move(refusal), std::move(built), 0);
}

std::optional<Refusal> Project::settleBuild(std::optional<Refusal> refusal, Schedule built, qsizetype from)
{
    if (refusal) {
        emit buildRefused(*refusal);
        return refusal;
    }
    m_builtFrom = { m_taskText, m_name, m_startOnPickedDate, m_state.PickedStartDate, m_waitForParallel };
    replaceSchedule(std::move(built), from);
    return std::nullopt;
}

void Project::replaceSchedule(Schedule schedule, qsizetype from)
{
    // The models read the rows, so they hear of the change before any row moves.
    emit aboutToReset();
    if (from > 0) {
        std::vector<TaskRow> &kept = m_schedule.tasks;
        kept.erase(kept.begin() + from, kept.end());
        kept.insert(kept.end(), std::make_move_iterator(schedule.tasks.begin()),
            std::make_move_iterator(schedule.tasks.end()));
        schedule.tasks = std::move(kept);
    }
    m_schedule = std::move(schedule);
    emit scheduleReset();
}

void Project::removeAll(const QDate &today)
{
    m_trail = {};
    Schedule empty = m_schedule;
    empty.tasks.clear();
    replaceSchedule(std::move(empty));
    SetProjectStartDate(today);
}

QString Project::taskTextFromRows() const
{
    return convertItemsToList(m_schedule.tasks);
}

bool Project::changedSinceBuild() const
{
    return m_taskText != m_builtFrom.taskText || m_name != m_builtFrom.name
        || m_startOnPickedDate != m_builtFrom.startOnPickedDate
        || (m_startOnPickedDate && m_state.PickedStartDate != m_builtFrom.pickedStartDate)
        || m_waitForParallel != m_builtFrom.waitForParallel;
}

TaskProgress Project::status(int row, const QDate &today) const
{
    if (row < 0 || row >= qsizetype(m_schedule.tasks.size()))
        return {};
    return taskProgress(m_schedule.tasks[size_t(row)], today);
}

bool Project::writeCalendarCsv(QIODevice *device) const
{
    return !ambrel::writeCalendarCsv(device, m_schedule, CsvLayout::Runs);
}

std::optional<Refusal> Project::exportCalendarCsv(const QString &path) const
{
    return exportCalendarCsv(path, CsvLayout::Runs);
}

std::optional<Refusal> Project::exportCalendarCsv(const QString &path, CsvLayout layout) const
{
    return WriteCalendarCSV(path, m_schedule, layout);
}

std::optional<Refusal> Project::exportCalendarIcs(const QString &path, const QDateTime &stamp) const
{
    const IcsOptions options { m_schedule.projectName, m_schedule.startsAt, m_schedule.endsAt, stamp, m_id };
    const std::vector<EventRow> events = calendarEventRows(m_schedule);
    // Refused before the file is touched; a plan of any size is then written as it is composed.
    if (std::optional<Refusal> refusal = icsRefusal(options, events))
        return refusal;
    std::optional<Refusal> unmade;
    std::optional<Refusal> unwritten = writeExportFile(path, [&](QIODevice *device, QString *) {
        unmade = streamCalendarIcs(device, options, events);
        return !unmade;
    });
    return unmade ? unmade : unwritten;
}

} // namespace ambrel
