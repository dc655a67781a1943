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
    Schedule built;
    std::optional<Refusal> refusal = ScheduleBuilder::build(m_state, request(), today, built);
    if (!refusal) {
        for (TaskRow &task : built.tasks)
            task.progress = taskProgress(task, today);
    }
    return settleBuild(std::move(refusal), std::move(built));
}

std::optional<Refusal> Project::rebuildEachRow(
    const QDate &today, const std::function<void(const TaskRow &)> &take)
{
    Schedule built;
    const auto progressed = [&](TaskRow &task) {
        task.progress = taskProgress(task, today);
        take(task);
    };
    return settleBuild(
        ScheduleBuilder::buildEachRow(m_state, request(), today, built, progressed), std::move(built));
}

std::optional<Refusal> Project::settleBuild(std::optional<Refusal> refusal, Schedule built)
{
    if (refusal) {
        emit buildRefused(*refusal);
        return refusal;
    }
    m_builtFrom = { m_taskText, m_name, m_startOnPickedDate, m_state.PickedStartDate, m_waitForParallel };
    replaceSchedule(std::move(built));
    return std::nullopt;
}

void Project::replaceSchedule(Schedule schedule)
{
    emit aboutToReset();
    m_schedule = std::move(schedule);
    emit scheduleReset();
}

void Project::removeAll(const QDate &today)
{
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
