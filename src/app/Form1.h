#pragma once

#include "tracking/ListEditing.h"
#include "workweek/WorkweekSettings.h"

#include <QDate>
#include <QWidget>

#include <memory>

class QAbstractItemModel;
class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QTreeView;

namespace ambrel {

class EventListModel;
class Project;
class TaskListModel;
class frmWorkingWeek;

// The planner's main window. Every control is a child widget whose objectName is the control's name, so
// tools and tests find it with findChild: txtTodo, txtProjectName, chkExcludeWeekends, cmdToList, Calendar2,
// tmrDate (a QTimer), lblSetWorkingDays, Label15, Command2, ListView1, ListView2, picSidebar, Picture1,
// lblAppName, Label13, Frame1, Frame2, Frame3 (the tips line), Frame4, frInvisible, picGrid and its tools.
// The start options are one QButtonGroup named "optDate" with ids 0 and 1, whose radio buttons are named
// "optDate_0" (right away) and "optDate_1" (on the picked date). The working-day hours sit in the hidden
// boxes txtStarts and txtEndsAt inside Frame4. The window owns one Project: it reads its controls into it,
// asks it to act and shows what it holds; the hidden boxes mirror the project.
class Form1 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    Project &project() const { return *m_project; }
    TaskListModel *taskModel() const { return m_tasks; }
    EventListModel *eventModel() const { return m_events; }
    QTreeView *listView1() const { return m_ListView1; }
    QTreeView *listView2() const { return m_ListView2; }

    const WorkingWeekFlags &workingWeek() const;
    // Takes the person's settings for the schedules to come; the hidden hour boxes show the hours.
    void applySettings(const Settings &settings);
    // The working-week window over this window's settings: opening it refreshes the working week from its
    // file, and saving it applies the saved settings here and rebuilds before it says "Done!".
    std::unique_ptr<frmWorkingWeek> workingWeekWindow();

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
    void ListView1_ItemClick(const QModelIndex &Item);
    void cmdPostpone_Click();
    void cmdRemove_Click();
    void cmdRemoveSelected_Click();
    void cmdConvertToList_Click();
    void cmdPrint_Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createBanner();
    void createSidebar();
    void createLists();
    void createHiddenContainers();
    void Form_Load();
    // The project's inputs from the controls that hold them.
    void readControls();
    void SetProjectStartDate();
    void showCurrentTask(const CurrentTask &current);
    void Form_Resize();
    void stretchBackgrounds();
    void applyTaskColumnWidths();
    void onCalendarSelectionChanged();

    Project *m_project = nullptr;
    TaskListModel *m_tasks = nullptr;
    EventListModel *m_events = nullptr;
    CurrentTask m_current;
    QDate m_calendarDate; // what Calendar2 showed before its latest change

    QWidget *m_Picture1 = nullptr;
    QLabel *m_Label13 = nullptr;
    QWidget *m_picSidebar = nullptr;
    QLineEdit *m_txtProjectName = nullptr;
    QLabel *m_Label15 = nullptr;
    QWidget *m_Frame2 = nullptr;
    QButtonGroup *m_optDate = nullptr;
    QCalendarWidget *m_Calendar2 = nullptr;
    QTimer *m_tmrDate = nullptr;
    QCheckBox *m_chkExcludeWeekends = nullptr;
    QLabel *m_lblSetWorkingDays = nullptr;
    QPlainTextEdit *m_txtTodo = nullptr;
    QPushButton *m_cmdToList = nullptr;
    QPushButton *m_Command2 = nullptr;
    QTreeView *m_ListView1 = nullptr;
    QTreeView *m_ListView2 = nullptr;
    QLineEdit *m_txtStarts = nullptr;
    QLineEdit *m_txtEndsAt = nullptr;
    QLineEdit *m_txtTask = nullptr;
    QLineEdit *m_txtTaskID = nullptr;
    QLineEdit *m_txtStartDate = nullptr;
    QLineEdit *m_txtDaysToPostPone = nullptr;
};

} // namespace ambrel
