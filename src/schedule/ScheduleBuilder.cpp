#include "ScheduleBuilder.h"

#include "corekit/Corekit.h"
#include "corekit/TextFormat.h"
#include "schedule/CalendarEvents.h"
#include "schedule/LineHints.h"
#include "schedule/TaskLine.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

namespace ambrel {

namespace {

// The line as a message can show it: a line may be thousands of characters long.
QString quotedLine(qsizetype index, const QString &line)
{
    constexpr qsizetype shown = 60;
    QString text = line;
    if (line.size() > shown) {
        // Never cut a character that takes two UTF-16 units in half.
        const qsizetype cut = line.at(shown - 1).isHighSurrogate() ? shown - 1 : shown;
        text = line.left(cut) + QChar(0x2026);
    }
    return QStringLiteral("Line %1 (\"%2\")").arg(index + 1).arg(text);
}

// Whether a bracket group in the text begins, blanks aside, with an "a", as every "[after]" does.
bool mayNameTasksAbove(const QString &text)
{
    for (qsizetype at = text.indexOf(QLatin1Char('[')); at >= 0; at = text.indexOf(QLatin1Char('['), at + 1)) {
        qsizetype i = at + 1;
        while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
            ++i;
        if (i < text.size() && text[i].toLower() == QLatin1Char('a'))
            return true;
    }
    return false;
}

class Placement {
public:
    // Rows go into schedule, or to take when it is given. A trail, when given, is filled on leaveTrail.
    Placement(ScheduleState &state, const ScheduleRequest &request, Schedule &schedule,
        const std::function<void(TaskRow &)> *take, bool keepsTrail)
        : m_state(state)
        , m_request(request)
        , m_schedule(schedule)
        , m_take(take)
        , m_keepsTakenNames(take && mayNameTasksAbove(request.todoText))
        , m_keepsTrail(keepsTrail)
    {
    }

    // Takes up the layout after rows kept from the build that left trail, as if it had just placed them.
    void goOnAfter(std::span<const TaskRow> kept, const ScheduleTrail &trail);
    std::optional<Refusal> ScheduleTask(
        qsizetype index, int lineNumber, const QString &line, const TaskLine &task);
    // Writing txtPreviousItemDate once at the end of a build, rather than formatting a date per task,
    // keeps a long project quick; the rule reads only whether it holds anything.
    void writePreviousItemDate();
    void leaveTrail(ScheduleTrail &trail);

private:
    // The start of the next sequential task, which may wait for the whole group above it.
    QDate waitingStart() const;
    // The first counted day after the latest of the named tasks above; unset when none is named there.
    QDate startAfter(const QStringList &names, QStringList &missing, std::vector<int> &rows);
    // Records the row's place in the group and whether it starts before a task above has ended.
    void noteOverlap(TaskRow &row, bool parallel, bool placedOnPurpose);
    // Keeps what later lines need of the row: where its group ends and where a task after it starts.
    void remember(const TaskRow &row, bool parallel);
    // Follows the latest end among the tasks placed so far with the row placed next.
    void noteEnd(const TaskRow &row);
    // Follows the day after the current group with the next start of the row placed next.
    void noteNext(const QDate &next, bool parallel);
    // The name of a row placed before.
    const QString &placedName(qsizetype row) const;

    ScheduleState &m_state;
    const ScheduleRequest &m_request;
    Schedule &m_schedule;
    const std::function<void(TaskRow &)> *m_take;
    // The names of the rows handed to m_take, which "[after]" still looks up; only a text where one may
    // stand keeps them.
    bool m_keepsTakenNames;
    std::vector<QString> m_takenNames;
    bool m_keepsTrail;
    // The rows of an earlier build that this one goes on after; the rows it places come after them.
    std::span<const TaskRow> m_kept;
    // Each task's events begin from fields set afresh, so nothing in them carries over to the next task.
    CalendarEventFields m_fields;
    QDate m_lastSequentialStart;
    qsizetype m_eventCount = 0;
    // The day after the current group, and the latest end among all tasks placed so far.
    QDate m_groupNext;
    QDate m_latestEnd;
    qsizetype m_latestEndRow = -1;
    QString m_latestEndName;
    // Each placed task's next start, and the nearest task of each name, for "[after]". The names are
    // indexed only once a line asks for one, so that a plan without "[after]" never pays for them.
    std::vector<QDate> m_nextStarts;
    std::vector<bool> m_parallel; // kept only for a trail
    QHash<QString, qsizetype> m_byName;
    bool m_namesIndexed = false;
};

QString nameKey(QStringView name)
{
    return name.trimmed().toString().toCaseFolded();
}

QDate Placement::waitingStart() const
{
    if (!m_request.waitForParallel || !m_groupNext.isValid())
        return m_state.NextTaskStart;
    return m_groupNext;
}

QDate Placement::startAfter(const QStringList &names, QStringList &missing, std::vector<int> &rows)
{
    if (!m_namesIndexed) {
        for (qsizetype row = 0; row < qsizetype(m_nextStarts.size()); ++row)
            m_byName.insert(nameKey(placedName(row)), row);
        m_namesIndexed = true;
    }
    QDate start;
    for (const QString &name : names) {
        const auto found = m_byName.constFind(nameKey(name));
        if (found == m_byName.cend()) {
            missing << name;
            continue;
        }
        if (std::find(rows.begin(), rows.end(), int(*found)) == rows.end())
            rows.push_back(int(*found));
        const QDate next = m_nextStarts[size_t(*found)];
        if (!start.isValid() || next > start)
            start = next;
    }
    return start;
}

void Placement::noteOverlap(TaskRow &row, bool parallel, bool placedOnPurpose)
{
    // A "//" line starts beside the line above by design, and a marked line was placed on purpose; only a
    // plain sequential one is meant to follow.
    if (!parallel && !placedOnPurpose && m_latestEndRow >= 0 && row.startDate <= m_latestEnd)
        row.overlap = TaskOverlap { m_latestEndName, m_latestEnd };
    noteEnd(row);
}

void Placement::noteEnd(const TaskRow &row)
{
    // A milestone takes no days, so nothing after it starts before it ends.
    if (!row.marks.milestone && (m_latestEndRow < 0 || row.endDate >= m_latestEnd)) {
        m_latestEnd = row.endDate;
        m_latestEndRow = qsizetype(m_nextStarts.size());
        m_latestEndName = row.name;
    }
}

const QString &Placement::placedName(qsizetype row) const
{
    const auto kept = qsizetype(m_kept.size());
    if (row < kept)
        return m_kept[size_t(row)].name;
    return m_take ? m_takenNames[size_t(row)] : m_schedule.tasks[size_t(row - kept)].name;
}

void Placement::noteNext(const QDate &next, bool parallel)
{
    m_groupNext = parallel && m_groupNext.isValid() ? std::max(m_groupNext, next) : next;
    m_nextStarts.push_back(next);
    if (m_keepsTrail)
        m_parallel.push_back(parallel);
}

void Placement::remember(const TaskRow &row, bool parallel)
{
    noteNext(m_state.NextTaskStart, parallel);
    if (m_namesIndexed)
        m_byName.insert(nameKey(row.name), qsizetype(m_nextStarts.size() - 1));
}

void Placement::goOnAfter(std::span<const TaskRow> kept, const ScheduleTrail &trail)
{
    m_kept = kept;
    m_nextStarts.reserve(kept.size());
    m_parallel.reserve(kept.size());
    for (size_t row = 0; row < kept.size(); ++row) {
        const TaskRow &task = kept[row];
        const bool parallel = trail.parallel[row];
        if (!parallel)
            m_lastSequentialStart = task.startDate;
        m_eventCount += qsizetype(task.events.size());
        noteEnd(task);
        noteNext(trail.nextStarts[row], parallel);
    }
    if (kept.empty())
        return;
    m_state.TaskStart = kept.back().startDate;
    m_state.TaskEnd = kept.back().endDate;
    m_state.PreviousTaskStart = m_state.TaskStart;
    m_state.NextTaskStart = m_nextStarts.back();
}

std::optional<Refusal> Placement::ScheduleTask(
    qsizetype index, int lineNumber, const QString &line, const TaskLine &task)
{
    const TaskMarks &marks = task.marks;
    // A half goes to the even neighbour; a milestone takes no days whatever its count says.
    const double rounded = marks.milestone ? 0.0 : std::nearbyint(task.dayCount - 1.0);
    if (!(rounded >= double(std::numeric_limits<qint32>::min())
            && rounded <= double(std::numeric_limits<qint32>::max()))) {
        return Refusal { QStringLiteral("%1 asks for more days than a schedule can hold. "
                                        "Please give it a smaller number of days.")
                             .arg(quotedLine(index, line)) };
    }
    const auto n = qint32(rounded);

    const QString taskName = ReplaceAll(task.namePart, QStringLiteral("//"), QString());
    const bool havePreviousItem = !m_state.txtPreviousItemDate.isEmpty() || m_lastSequentialStart.isValid();
    const WorkingCalendar &calendar = m_request.calendar;

    QStringList missing;
    std::vector<int> afterRows;
    const QDate after = marks.after.isEmpty() ? QDate() : startAfter(marks.after, missing, afterRows);
    const bool parallel = havePreviousItem && task.parallelMarker && !after.isValid() && !marks.milestone;

    QDate start = after.isValid() ? after : parallel ? m_state.PreviousTaskStart : waitingStart();
    if (marks.wait && *marks.wait != 0 && start.isValid())
        start = calendar.AddWorkingDays(start, *marks.wait);
    if (marks.from.isValid() && start.isValid() && start < marks.from)
        start = calendar.IsWorkingDay(marks.from) ? marks.from : calendar.AddWorkingDays(marks.from, 1);
    m_state.TaskStart = start;
    m_state.TaskEnd = calendar.AddWorkingDays(m_state.TaskStart, n);
    if (!isWithinYears(m_state.TaskStart) || !isWithinYears(m_state.TaskEnd)) {
        return Refusal { QStringLiteral("%1 would place a task outside the years 1 to 9999. "
                                        "Please give it a smaller number of days.")
                             .arg(quotedLine(index, line)) };
    }
    if (!parallel)
        m_lastSequentialStart = m_state.TaskStart;
    m_state.PreviousTaskStart = m_state.TaskStart;
    // The task after a milestone starts on the milestone's own day.
    m_state.NextTaskStart = marks.milestone ? m_state.TaskStart : calendar.AddWorkingDays(m_state.TaskEnd, 1);

    TaskRow row;
    row.name = taskName;
    row.startDate = m_state.TaskStart;
    row.endDate = m_state.TaskEnd;
    row.dayCount = marks.milestone ? 0 : task.dayCount;
    row.namePart = task.namePart;
    row.eventText = parallel ? taskName : task.namePart;
    row.marks = marks;
    if (task.marksAt >= 0)
        row.marksText = line.mid(task.marksAt).trimmed();
    row.hint = lineHint(line, task, calendar.workingDaysPerWeek());
    if (row.hint.isEmpty() && !missing.isEmpty())
        row.hint = missingAfterHint(missing, missing.size() == marks.after.size());
    row.lineNumber = lineNumber;
    row.afterRows = std::move(afterRows);
    const bool placedOnPurpose = after.isValid() || (marks.wait && *marks.wait != 0) || marks.from.isValid();
    noteOverlap(row, parallel, placedOnPurpose);

    bool made = true;
    if (!marks.milestone) {
        made = AddCalendarEvents(row.events, m_fields, calendar, m_state.TaskStart, task.dayCount,
            ScheduleBuilder::MaxEvents - m_eventCount);
    } else if (m_eventCount < ScheduleBuilder::MaxEvents) {
        row.events.push_back({ m_state.TaskStart, m_state.TaskStart }); // one all-day event on its date
    } else {
        made = false;
    }
    if (!made) {
        return Refusal { QStringLiteral(
                             "This project would make more than %1 calendar events; %2 is where it "
                             "goes over. Please use fewer or shorter tasks.")
                             .arg(QLocale().toString(ScheduleBuilder::MaxEvents), quotedLine(index, line)) };
    }
    m_eventCount += qsizetype(row.events.size());
    remember(row, parallel);
    if (m_take) {
        if (m_keepsTakenNames)
            m_takenNames.push_back(row.name);
        (*m_take)(row);
    } else {
        m_schedule.tasks.push_back(std::move(row));
    }
    return std::nullopt;
}

void Placement::writePreviousItemDate()
{
    if (m_lastSequentialStart.isValid())
        m_state.txtPreviousItemDate = formatShortDate(m_lastSequentialStart);
}

void Placement::leaveTrail(ScheduleTrail &trail)
{
    trail.nextStarts = std::move(m_nextStarts);
    trail.parallel = std::move(m_parallel);
}

} // namespace

qsizetype Schedule::eventCount() const
{
    qsizetype count = 0;
    for (const TaskRow &task : tasks)
        count += qsizetype(task.events.size());
    return count;
}

QStringList TaskTextLines(const QString &todoText, std::vector<int> *lineNumbers)
{
    // Whatever ends the lines (a text box gives line feeds, a file may give CR LF), the grammar counts
    // lines ending in CR LF; a lone CR stays part of its line.
    QStringList lines = todoText.split(QLatin1Char('\n'));
    QStringList tasks;
    tasks.reserve(lines.size());
    if (lineNumbers)
        lineNumbers->clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString &line = lines[i];
        if (i + 1 < lines.size() && line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        tasks.push_back(std::move(line));
        if (lineNumbers)
            lineNumbers->push_back(int(i + 1));
    }
    return tasks;
}

QDate ScheduleBuilder::ProjectStartDate(bool startOnPickedDate, const QDate &PickedStartDate,
    const QDate &today, const WorkingCalendar &calendar, bool startIsSaved)
{
    QDate start = today;
    if (startOnPickedDate) {
        if (!PickedStartDate.isValid() || (PickedStartDate < today && !startIsSaved))
            return {};
        start = PickedStartDate;
    }
    return calendar.IsWorkingDay(start) ? start : calendar.AddWorkingDays(start, 1);
}

void ScheduleBuilder::SetProjectStartDate(ScheduleState &state, bool startOnPickedDate,
    const WorkingCalendar &calendar, const QDate &today, bool startIsSaved)
{
    const QDate start
        = ProjectStartDate(startOnPickedDate, state.PickedStartDate, today, calendar, startIsSaved);
    state.PreviousTaskStart = start;
    state.NextTaskStart = start;
}

namespace {

// Where a build takes up the layout: after the rows kept from an earlier one, at the text's offset at,
// below linesAbove lines.
struct ResumePoint {
    std::span<const TaskRow> kept;
    qsizetype at = 0;
    int linesAbove = 0;
};

std::optional<Refusal> buildRows(ScheduleState &state, const ScheduleRequest &request, const QDate &today,
    Schedule &schedule, const std::function<void(TaskRow &)> *take, ScheduleTrail *trail = nullptr,
    const ResumePoint &resumePoint = {})
{
    if (request.startOnPickedDate && !request.startIsSaved && state.PickedStartDate < today) {
        return Refusal { QStringLiteral("Your project is set to start on a past date. Please fix this.") };
    }
    if (!request.calendar.hasWorkingDay()) {
        return Refusal { QStringLiteral("Your working week has no working days. "
                                        "Please pick at least one in Settings.") };
    }

    // Everything is laid out on copies first, so that a refused line leaves the last schedule as it was.
    ScheduleState next = state;
    Schedule built;
    built.projectName = request.projectName;
    built.startsAt = request.startsAt;
    built.endsAt = request.endsAt;
    built.waitForParallel = request.waitForParallel;
    ScheduleBuilder::SetProjectStartDate(
        next, request.startOnPickedDate, request.calendar, today, request.startIsSaved);

    // The lines as TaskTextLines counts them, read one at a time through one buffer: a list of every line
    // would cost an allocation a line and hold them all until the end of the build. A row that keeps a
    // share of the buffer leaves it to that row, and the next line takes a buffer of its own.
    const QString &text = request.todoText;
    if (!take)
        built.tasks.reserve(size_t(QStringView(text).sliced(resumePoint.at).count(QLatin1Char('\n')) + 1));
    Placement placement(next, request, built, take, trail != nullptr);
    if (trail)
        placement.goOnAfter(resumePoint.kept, *trail);
    QString line;
    auto index = qsizetype(resumePoint.kept.size());
    int lineNumber = resumePoint.linesAbove;
    for (qsizetype begin = resumePoint.at;;) {
        const qsizetype feed = text.indexOf(QLatin1Char('\n'), begin);
        const qsizetype end = feed < 0 ? text.size() : feed;
        ++lineNumber;
        qsizetype length = end - begin;
        if (feed >= 0 && length > 0 && text[end - 1] == QLatin1Char('\r'))
            --length;
        if (length > 0) {
            if (!line.isDetached())
                line = QString();
            line.resize(0);
            line.append(text.constData() + begin, length);
            if (auto refusal = placement.ScheduleTask(index, lineNumber, line, ReadTaskLine(line)))
                return refusal;
            ++index;
        }
        if (feed < 0)
            break;
        begin = feed + 1;
    }
    placement.writePreviousItemDate();

    if (trail) {
        trail->holds = true;
        trail->request = request;
        trail->today = today;
        trail->pickedStartDate = state.PickedStartDate;
        trail->hadPreviousItem = !state.txtPreviousItemDate.isEmpty();
        placement.leaveTrail(*trail);
    }
    state = std::move(next);
    schedule = std::move(built);
    return std::nullopt;
}

// Whether a build now would read what the build that left trail read, the task text aside. Of the state it
// reads only the picked date and whether txtPreviousItemDate holds anything: the task dates are set before
// they are read, and the text of txtPreviousItemDate is only written.
bool readsAsBefore(const ScheduleTrail &trail, qsizetype rowCount, const ScheduleState &state,
    const ScheduleRequest &request, const QDate &today)
{
    const ScheduleRequest &before = trail.request;
    return trail.holds && qsizetype(trail.nextStarts.size()) == rowCount
        && qsizetype(trail.parallel.size()) == rowCount && today == trail.today
        && state.PickedStartDate == trail.pickedStartDate
        && state.txtPreviousItemDate.isEmpty() != trail.hadPreviousItem
        && request.projectName == before.projectName && request.startOnPickedDate == before.startOnPickedDate
        && request.calendar == before.calendar && request.startsAt == before.startsAt
        && request.endsAt == before.endsAt && request.startIsSaved == before.startIsSaved
        && request.waitForParallel == before.waitForParallel;
}

// The offset of the line of text where it first differs from before: every line above it is the same, at
// the same number. The line itself may still read the same (a line that lost only the CR of its CR LF).
qsizetype firstChangedLine(const QString &before, const QString &text)
{
    const qsizetype length = std::min(before.size(), text.size());
    const QChar *a = before.constData();
    const QChar *b = text.constData();
    // Whole blocks first: the common part of a long plan is compared at memory speed.
    constexpr qsizetype block = 4096;
    qsizetype same = 0;
    while (same + block <= length && std::memcmp(a + same, b + same, block * sizeof(QChar)) == 0)
        same += block;
    while (same < length && a[same] == b[same])
        ++same;
    return same == 0 ? 0 : text.lastIndexOf(QLatin1Char('\n'), same - 1) + 1;
}

} // namespace

std::optional<Refusal> ScheduleBuilder::build(
    ScheduleState &state, const ScheduleRequest &request, const QDate &today, Schedule &schedule)
{
    return buildRows(state, request, today, schedule, nullptr);
}

std::optional<Refusal> ScheduleBuilder::resume(ScheduleState &state, const ScheduleRequest &request,
    const QDate &today, const std::vector<TaskRow> &rows, ScheduleTrail &trail, Schedule &tail, qsizetype &from)
{
    ResumePoint point;
    if (readsAsBefore(trail, qsizetype(rows.size()), state, request, today)) {
        point.at = firstChangedLine(trail.request.todoText, request.todoText);
        point.linesAbove = int(QStringView(request.todoText).first(point.at).count(QLatin1Char('\n')));
        const auto changed = std::lower_bound(rows.begin(), rows.end(), point.linesAbove + 1,
            [](const TaskRow &row, int lineNumber) { return row.lineNumber < lineNumber; });
        point.kept = std::span<const TaskRow>(rows.begin(), changed);
    }
    std::optional<Refusal> refusal = buildRows(state, request, today, tail, nullptr, &trail, point);
    if (!refusal)
        from = qsizetype(point.kept.size());
    return refusal;
}

std::optional<Refusal> ScheduleBuilder::buildEachRow(ScheduleState &state, const ScheduleRequest &request,
    const QDate &today, Schedule &schedule, const std::function<void(TaskRow &)> &take)
{
    return buildRows(state, request, today, schedule, &take);
}

} // namespace ambrel
