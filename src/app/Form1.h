#pragma once

#include "schedule/ScheduleBuilder.h"
#include "workweek/WorkingCalendar.h"
#include "workweek/WorkweekSettings.h"

#include <QDate>
#include <QStringList>
#include <QWidget>

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
class TaskListModel;

// The planner's main window. Every control is a child widget whose objectName is the control's name, so
// tools and tests find it with findChild: txtTodo, txtProjectName, chkExcludeWeekends, cmdToList, Calendar2,
// tmrDate (a QTimer), lblSetWorkingDays, Label15, Command2, ListView1, ListView2, picSidebar, Picture1,
// lblAppName, Label13, Frame1, Frame2, Frame3 (the tips line), Frame4, frInvisible, picGrid and its tools.
// The start options are one QButtonGroup named "optDate" with ids 0 and 1, whose radio buttons are named
// "optDate_0" (right away) and "optDate_1" (on the picked date). The working-day hours sit in the hidden
// boxes txtStarts and txtEndsAt inside Frame4.
class Form1 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    TaskListModel *taskModel() const { return m_tasks; }
    EventListModel *eventModel() const { return m_events; }
    QTreeView *listView1() const { return m_ListView1; }
    QTreeView *listView2() const { return m_ListView2; }

    // The dates the builder carries between builds; the list tools move them on too.
    ScheduleState &scheduleState() { return m_state; }
    const ScheduleState &scheduleState() const { return m_state; }

    // The working days as they stand now: the loaded week, applied only while chkExcludeWeekends is ticked.
    WorkingCalendar workingCalendar() const;
    bool IsWorkingDay(const QDate &date) const;
    QDate AddWorkingDays(const QDate &date, qint64 n) const;
    bool startsOnPickedDate() const;
    void SetProjectStartDate();

    const WorkingWeekFlags &workingWeek() const { return m_WorkingWeek; }
    void setWorkingWeek(const WorkingWeekFlags &WorkingWeek);
    WorkingHours workingHours() const;
    void setWorkingHours(const WorkingHours &hours);

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
    void Form_Resize();
    void stretchBackgrounds();
    void applyTaskColumnWidths();
    void onCalendarSelectionChanged();

    TaskListModel *m_tasks = nullptr;
    EventListModel *m_events = nullptr;
    ScheduleState m_state;
    WorkingWeekFlags m_WorkingWeek {};
    QStringList m_lstWorkingWeek;
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
};

} // namespace ambrel
