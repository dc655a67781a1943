#pragma once

#include "app/Form1Controls.h"
#include "app/MainMenus.h"
#include "workweek/WorkweekSettings.h"

#include <QMainWindow>
#include <QSet>

#include <memory>

class QAbstractItemModel;
class QDate;
class QMenu;
class QModelIndex;
class QTreeView;

namespace ambrel {

class DocumentActions;
class EventListModel;
class ExportActions;
class Form1Layout;
class ListActions;
class PlanActions;
class Project;
class ProjectDocument;
class TaskBoxText;
class TaskListModel;
class TaskListPanel;
class TimelinePane;
class TimelineView;

// The planner's main window. Every control is a child widget whose objectName is the control's name, so
// tools and tests find it with findChild: txtTodo, txtProjectName, chkExcludeWeekends, cmdToList, Calendar2,
// tmrDate (a QTimer), lblSetWorkingDays, Label15, Command2, ListView1, ListView2, picSidebar, Picture1,
// lblAppName, Label13, Frame1, Frame2, Frame3 (the tips line), Frame4, frInvisible, picGrid and its tools.
// The start options are one QButtonGroup named "optDate" with ids 0 and 1, whose radio buttons are named
// "optDate_0" (right away) and "optDate_1" (on the picked date). The working-day hours sit in the hidden
// boxes txtStarts and txtEndsAt inside Frame4. The window is a face over one ProjectDocument: each edit goes
// into its Project as it happens, and the window asks it to act and shows what it holds.
// The controls sit in the central widget "Body", below a menu bar whose actions (actionNew, actionOpen, ...)
// call the same handlers as the hidden panel's buttons. What the person typed is kept in project files,
// and, once the session is restored, work never saved is kept in the user's data folder.
// The window wires its controls to the owners of its actions: the plan's inputs and build (PlanActions),
// the project files (DocumentActions), the list's edits (ListActions), the task list's look (TaskListPanel)
// and what leaves the window (ExportActions).
class Form1 final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    Project &project() const { return *m_project; }
    ProjectDocument &document() const { return *m_document; }
    TaskListModel *taskModel() const { return m_tasks; }
    EventListModel *eventModel() const { return m_events; }
    QTreeView *listView1() const { return m_ui.ListView1; }
    QTreeView *listView2() const { return m_ui.ListView2; }
    TimelineView *timelineView() const;
    const WorkingWeekFlags &workingWeek() const;
    // The project file open in the window, or empty while the work was never saved.
    const QString &currentFile() const;
    // Whether what the person typed differs from the file it came from (or from a new project).
    bool isModified() const;
    QMenu *taskListMenu() const { return m_menus.taskList; }

    // Opens the project file in place of the current project without asking about unsaved changes; a file
    // that cannot be opened is reported and changes nothing.
    bool openProjectFile(const QString &path);
    // Start-up: opens the named file, or else brings back the kept work no running window holds (the rest
    // in windows of their own), or else what was open when the program last closed; from then on keeps
    // unsaved work in the data folder.
    void restoreSession(const QString &fileName = QString());

    // Tools of the hidden panel.
    void PrintaListview(QAbstractItemModel *lv);
    // Paints row RowNbr (1-based) of lv in RowColor, written 0x00BBGGRR.
    void ColorListviewRow(QTreeView *lv, int RowNbr, quint32 RowColor);

public slots:
    void cmdToList_Click();
    void Calendar2_DateChange(const QDate &OldDate, const QDate &NewDate);
    void optDate_Click(int Index);
    void chkExcludeWeekends_Click();
    // KeyCode is the virtual-key code of the released key: 13 Enter, 38 Up, 40 Down.
    void txtTodo_KeyUp(int KeyCode, Qt::KeyboardModifiers Shift);
    void tmrDate_Timer();
    void Label15_Click();
    void lblSetWorkingDays_Click();
    void Command2_Click();
    // Settings → Days Off…: saving applies the days off and rebuilds.
    void daysOffWindow();
    void ListView1_ItemClick(const QModelIndex &Item);
    void cmdPostpone_Click();
    void cmdRemove_Click();
    void cmdRemoveSelected_Click();
    void cmdConvertToList_Click();
    void cmdPrint_Click();
    // View → Timeline: shows or hides the timeline beside the task list, and remembers the choice.
    void setTimelineShown(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Connects the controls and the menus to their handlers.
    void wireControls();
    void Form_Load();
    void SetProjectStartDate();
    void Form_Resize();

    ProjectDocument *m_document = nullptr;
    Project *m_project = nullptr; // the document's
    TaskListModel *m_tasks = nullptr;
    EventListModel *m_events = nullptr;
    QWidget *m_body = nullptr;
    Form1Controls m_ui;
    Form1Menus m_menus;
    QSet<int> m_keysDownInTaskBox;
    PlanActions *m_plan = nullptr;
    TaskBoxText *m_taskBox = nullptr;
    DocumentActions *m_files = nullptr;
    ListActions *m_listActions = nullptr;
    TimelinePane *m_timeline = nullptr;
    ExportActions *m_exports = nullptr;
    TaskListPanel *m_taskList = nullptr;
    std::unique_ptr<Form1Layout> m_layout;
};

} // namespace ambrel
