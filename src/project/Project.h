#pragma once

#include "corekit/Refusal.h"
#include "export/CsvWriter.h"
#include "schedule/ScheduleBuilder.h"
#include "tracking/TaskStatus.h"
#include "workweek/WorkweekSettings.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <vector>

class QIODevice;

namespace ambrel {

// One project: what the person typed, their settings, the dates the builder carries between builds, and
// the built schedule, whose tasks own their calendar events. The window and the command line are faces
// over it: they hand it their input, ask it to act and show what it holds.
class Project final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Project)

public:
    explicit Project(QObject *parent = nullptr);

    // The task text, one task per line; line feeds or CR LF.
    const QString &taskText() const { return m_taskText; }
    void setTaskText(const QString &text) { set(m_taskText, text); }
    const QString &name() const { return m_name; }
    void setName(const QString &name) { set(m_name, name); }
    // The project's lasting identity, from which its calendar events take their UIDs; empty when it has none.
    const QString &id() const { return m_id; }
    void setId(const QString &id) { set(m_id, id); }
    // Whether the project starts on the picked date rather than right away.
    bool startsOnPickedDate() const { return m_startOnPickedDate; }
    void setStartOnPickedDate(bool picked) { set(m_startOnPickedDate, picked); }
    QDate pickedStartDate() const { return m_state.PickedStartDate; }
    void setPickedStartDate(const QDate &date) { set(m_state.PickedStartDate, date); }
    // "Adjust Tasks to My Working Week.": while off, every day counts.
    bool workingWeekApplies() const { return m_workingWeekApplies; }
    void setWorkingWeekApplies(bool applies) { set(m_workingWeekApplies, applies); }
    // Whether the picked date is the start of a saved plan (opened from a file, kept while it is edited)
    // rather than a date picked now: a saved start in the past builds, a new pick in the past is refused.
    bool startIsSaved() const { return m_startIsSaved; }
    void setStartIsSaved(bool saved) { m_startIsSaved = saved; }
    // "Wait for parallel tasks": the task after a parallel group starts once the whole group has ended.
    bool waitsForParallel() const { return m_waitForParallel; }
    void setWaitForParallel(bool wait) { set(m_waitForParallel, wait); }

    const Settings &settings() const { return m_settings; }
    void setSettings(const Settings &settings) { m_settings = settings; }
    WorkingCalendar calendar() const;

    // A fresh run on today: the carried task start and the picked date are today.
    void begin(const QDate &today);

    const ScheduleState &state() const { return m_state; }
    const Schedule &schedule() const { return m_schedule; }
    const std::vector<TaskRow> &tasks() const { return m_schedule.tasks; }

    // Works out the project's first day into the carried dates.
    void SetProjectStartDate(const QDate &today);
    // Builds the schedule from the inputs, laying out again only the rows from the first line changed since
    // the last build when nothing else changed; the result is that of a build afresh. A refusal changes nothing and is also told through
    // buildRefused. Refusals from the project say what went wrong; the face that shows them gives the title.
    std::optional<Refusal> rebuild(const QDate &today);
    // The same, but each row, its progress worked out, goes to take as it is laid out, and the schedule
    // keeps no rows: for a writer that needs each row once. On a refusal take has seen the rows above it.
    std::optional<Refusal> rebuildEachRow(
        const QDate &today, const std::function<void(const TaskRow &)> &take);
    // Whether a build of this task text, with everything else as it is, would be refused; changes nothing.
    std::optional<Refusal> refusalOfBuild(const QString &taskText, const QDate &today) const;

    // Empties the task list and works the project's start out again.
    void removeAll(const QDate &today);
    // The rows as task text again, each row's tag on a line of its own ending in CR LF.
    QString taskTextFromRows() const;
    TaskProgress status(int row, const QDate &today) const;
    // Whether the task text, the name, the start option or the picked date changed since the last build,
    // so that the list no longer shows what was typed.
    bool changedSinceBuild() const;

    // The calendar events as the Google Calendar import file.
    bool writeCalendarCsv(QIODevice *device) const;
    std::optional<Refusal> exportCalendarCsv(const QString &path) const;
    // The same file in the given layout; a per-day file too long to write is refused.
    std::optional<Refusal> exportCalendarCsv(const QString &path, CsvLayout layout) const;
    // The calendar events as an iCalendar file, one block of working hours per working day, stamped with
    // the moment of export. Refused (nothing written) when the hours cannot be read.
    std::optional<Refusal> exportCalendarIcs(const QString &path, const QDateTime &stamp) const;

signals:
    // One of the inputs a project file keeps changed (the task text, the name, the start, an option).
    void edited();
    void aboutToReset();
    // The whole schedule was replaced (a build, or every task removed).
    void scheduleReset();
    void buildRefused(const ambrel::Refusal &refusal);

private:
    template <typename T>
    void set(T &field, const T &value)
    {
        if (field == value)
            return;
        field = value;
        emit edited();
    }
    ScheduleRequest request() const;
    // What every build ends with: a refusal is told, a schedule takes the place of the shown one.
    // The rows of built take the place of the shown ones from row from on.
    std::optional<Refusal> settleBuild(std::optional<Refusal> refusal, Schedule built, qsizetype from);
    void replaceSchedule(Schedule schedule, qsizetype from = 0);

    QString m_taskText;
    QString m_name = QStringLiteral("My Project");
    QString m_id;
    bool m_startOnPickedDate = false;
    bool m_workingWeekApplies = true;
    bool m_startIsSaved = false;
    bool m_waitForParallel = false;
    Settings m_settings;
    ScheduleState m_state;
    Schedule m_schedule;
    // What the build of m_schedule leaves for the next one to go on from; empty when it left none.
    ScheduleTrail m_trail;
    // The inputs of the last build, to tell whether the list still shows what was typed.
    struct BuiltFrom {
        QString taskText;
        QString name = QStringLiteral("My Project");
        bool startOnPickedDate = false;
        QDate pickedStartDate;
        bool waitForParallel = false;
    };
    BuiltFrom m_builtFrom;
};

} // namespace ambrel
