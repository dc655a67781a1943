#include "Form1.h"

#include "app/ListActions.h"
#include "app/MessageBox.h"
#include "app/MainMenus.h"
#include "app/PlanOptions.h"
#include "app/PostponeDialog.h"
#include "app/TaskListModel.h"
#include "app/TimelinePane.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectSession.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QtGlobal>


namespace ambrel {


void Form1::createMenus()
{
    m_menus = buildForm1Menus(this, m_ui.ListView1, m_timeline);
    connect(m_menus.recent, &QMenu::aboutToShow, this, &Form1::rebuildRecentMenu);
    connect(m_ui.ListView1, &QWidget::customContextMenuRequested, this, &Form1::showTaskListMenu);
}

void Form1::setKeyboardOrder()
{
    // The task box takes Tab as a move to the next control, so the keyboard never gets stuck in it.
    m_ui.txtTodo->setTabChangesFocus(true);
    m_ui.Label15->setFocusPolicy(Qt::TabFocus);
    m_ui.lblSetWorkingDays->setFocusPolicy(Qt::TabFocus);
    const QList<QWidget *> order { m_ui.txtProjectName, m_ui.Label15, m_ui.optDate->button(0), m_ui.optDate->button(1),
        m_ui.Calendar2, m_ui.chkExcludeWeekends, m_ui.lblSetWorkingDays, m_ui.txtTodo, m_ui.cmdToList, m_ui.ListView1,
        m_ui.Command2 };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form1::watchForChanges()
{
    // Each edit goes into the project as it happens; the project tells the document, which then knows
    // whether it is modified.
    connect(m_ui.txtTodo, &QPlainTextEdit::textChanged, this,
        [this] { m_project->setTaskText(m_ui.txtTodo->toPlainText()); });
    connect(m_ui.txtProjectName, &QLineEdit::textChanged, m_project, &Project::setName);
    connect(m_ui.optDate, &QButtonGroup::idToggled, this,
        [this] { m_project->setStartOnPickedDate(m_ui.optDate->checkedId() == 1); });
    connect(m_ui.chkExcludeWeekends, &QCheckBox::toggled, m_project, &Project::setWorkingWeekApplies);
    // The task box's history is the one Edit menu's: typing and list actions undo alike.
    connect(m_ui.txtTodo, &QPlainTextEdit::undoAvailable, m_menus.undo, &QAction::setEnabled);
    connect(m_ui.txtTodo, &QPlainTextEdit::redoAvailable, m_menus.redo, &QAction::setEnabled);
    m_menus.undo->setEnabled(false);
    m_menus.redo->setEnabled(false);
    connect(m_menus.undo, &QAction::triggered, this, [this] {
        m_ui.txtTodo->undo();
        cmdToList_Click();
    });
    connect(m_menus.redo, &QAction::triggered, this, [this] {
        m_ui.txtTodo->redo();
        cmdToList_Click();
    });
    connect(m_menus.markDone, &QAction::triggered, m_listActions, &ListActions::markDone);
    connect(m_document, &ProjectDocument::contentReplaced, this, &Form1::showContent);
    connectPlanOptions(this, m_menus);
    connect(m_document, &ProjectDocument::stateChanged, this, &Form1::updateTitle);
    connect(m_document, &ProjectDocument::keepFailed, this, [this](const Refusal &refusal) {
        MessageBox::show(this, refusal.text, MessageBox::errorTitle(), MessageBox::Exclamation);
    });

    connect(m_ui.ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &Form1::onTaskSelectionChanged);
    connect(m_tasks, &QAbstractItemModel::modelReset, this, &Form1::updateActions);
    connect(m_tasks, &QAbstractItemModel::rowsRemoved, this, &Form1::updateActions);
    m_document->markSaved();
    updateActions();
}

void Form1::updateActions()
{
    const QItemSelectionModel *selection = m_ui.ListView1->selectionModel();
    const bool rowSelected = selection && selection->hasSelection();
    const bool hasRows = m_tasks->rowCount() > 0;
    m_menus.postpone->setEnabled(rowSelected);
    m_menus.markDone->setEnabled(rowSelected);
    m_menus.removeSelected->setEnabled(rowSelected);
    m_menus.removeAll->setEnabled(hasRows);
    m_menus.print->setEnabled(hasRows);
}

void Form1::onTaskSelectionChanged()
{
    // However the row was selected, the task actions act on the row the person sees selected.
    const QModelIndexList rows = m_ui.ListView1->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        ListView1_ItemClick(rows.first());
    updateActions();
}

void Form1::showTaskListMenu(const QPoint &position)
{
    const QModelIndex under = m_ui.ListView1->indexAt(position);
    if (under.isValid()) {
        m_ui.ListView1->selectionModel()->select(
            under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_ui.ListView1->selectionModel()->setCurrentIndex(under, QItemSelectionModel::NoUpdate);
    }
    m_menus.taskList->popup(m_ui.ListView1->viewport()->mapToGlobal(position));
}

void Form1::rebuildRecentMenu()
{
    fillRecentMenu(m_menus.recent, this);
}

void Form1::postponeSelectedTask()
{
    if (!m_ui.ListView1->selectionModel()->hasSelection())
        return;
    PostponeDialog dialog(m_current.txtTask.trimmed(), m_ui.txtDaysToPostPone->text().toInt(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_ui.txtDaysToPostPone->setText(QString::number(dialog.days()));
    cmdPostpone_Click();
}

void Form1::showAbout()
{
    showAboutBox(this);
}

} // namespace ambrel
