#pragma once

#include "app/Form1Controls.h"
#include "app/SettingsWindows.h"

#include <QDate>
#include <QObject>

#include <functional>

class QAbstractItemModel;
class QWidget;

namespace ambrel {

class Project;
class TaskBoxText;
class ProjectDocument;

// The plan's inputs and its build: each edit of the task box, the name, the start options, the calendar and
// the working-week box goes into the project as it happens; a build lays the list out afresh; the settings
// windows hand their settings to the project; an opened project is shown in the controls.
class PlanActions final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlanActions)

public:
    // tasks is the task list, whose columns may come or go with a build; columnsChanged is then called.
    // window parents the messages and the settings windows.
    // taskBox shows an opened project's task text in ui.txtTodo.
    PlanActions(ProjectDocument &document, const Form1Controls &ui, TaskBoxText *taskBox,
        const QAbstractItemModel *tasks, QWidget *window, std::function<void()> columnsChanged);

    // Start-up: a fresh run on today, with the settings read from the person's settings folder; each file's
    // trouble is told.
    void load();
    // Builds the schedule; a refusal is told and leaves the list as it was. False when refused.
    bool rebuild();
    // The start is the picked date from now on, the one given, and the plan is built from it.
    void startOn(const QDate &date);
    // The one-off check as the window opens: a calendar showing a past date moves to today.
    void checkCalendarDate();
    void editWorkingWeek();
    void editDaysOff();
    // Works out the project's first day from today.
    void SetProjectStartDate();

signals:
    // Calendar2 shows another date, picked by the person or set from code; not when a project is shown.
    void calendarDateChanged(const QDate &OldDate, const QDate &NewDate);

private:
    void applySettings(const Settings &settings);
    SettingsWindows::Apply settingsApplier();
    void watchInputs();
    // Shows the project's inputs in the controls without raising their events, then builds once.
    void showContent();
    void onCalendarSelectionChanged();

    ProjectDocument &m_document;
    Project &m_project;
    Form1Controls m_ui;
    TaskBoxText *m_taskBox;
    const QAbstractItemModel *m_tasks;
    QWidget *m_window;
    std::function<void()> m_columnsChanged;
    QDate m_calendarDate; // what Calendar2 showed before its latest change
};

} // namespace ambrel
