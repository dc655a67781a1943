#include "TaskListPanel.h"

#include "app/ListActions.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "app/WindowLook.h"
#include "project/Project.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

#include <algorithm>

namespace ambrel {

TaskListPanel::TaskListPanel(const Project &project, TaskListModel *tasks, const Form1Controls &ui,
    const Form1Menus &menus, const ListActions *actions, QWidget *window)
    : QObject(window)
    , m_project(project)
    , m_tasks(tasks)
    , m_ui(ui)
    , m_menus(menus)
    , m_actions(actions)
    , m_window(window)
{
    connect(tasks, &QAbstractItemModel::modelReset, this, &TaskListPanel::updateHintLine);
    connect(actions, &ListActions::emptiedChanged, this, &TaskListPanel::updateHintLine);
    connect(ui.ListView1, &QWidget::customContextMenuRequested, this, &TaskListPanel::showMenu);
}

void TaskListPanel::followSelection()
{
    connect(m_ui.ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &TaskListPanel::onSelectionChanged);
    connect(m_tasks, &QAbstractItemModel::modelReset, this, &TaskListPanel::updateActions);
    updateActions();
}

void TaskListPanel::applyColumnWidths()
{
    // The day counts are short; the status holds "Pending (Coming Soon)" beside its colour.
    const double widths[] = { 4000, 2000, 2000, 2000, 1100, 1100, 2800 };
    const int columns = std::min(m_tasks->columnCount(), int(std::size(widths)));
    for (int column = 0; column < columns; ++column)
        m_ui.ListView1->setColumnWidth(column, twipsToPixelsX(m_window, widths[column]));
}

void TaskListPanel::updateHintLine()
{
    const auto hinted = std::count_if(m_project.tasks().begin(), m_project.tasks().end(),
        [](const TaskRow &task) { return !task.hint.isEmpty() || task.overlap; });
    QString text = hinted == 1
        ? tr("1 line may not say what you meant — hover the mark.")
        : tr("%n lines may not say what you meant — hover the marks.", nullptr, int(hinted));
    const bool emptied = m_actions->emptied();
    if (emptied)
        text = tr("The list is empty until the next rebuild; your task text still holds every task.");
    m_ui.lblHints->setText(text);
    placeHintLine();
    m_ui.lblHints->setVisible(hinted > 0 || emptied);
}

void TaskListPanel::placeHintLine()
{
    QWidget *body = m_ui.lblHints->parentWidget();
    const QRect list(m_ui.ListView1->mapTo(body, QPoint(0, 0)), m_ui.ListView1->size());
    const int width = std::max(list.width(), body->width() - list.left() - 8); // under the timeline too
    m_ui.lblHints->setGeometry(list.left(), list.bottom() + 4, width, m_ui.lblHints->heightForWidth(width));
}

void TaskListPanel::pickRow(int row)
{
    const std::optional<CurrentTask> current
        = clickedTask(m_project.tasks(), row, m_project.schedule().projectName);
    if (!current)
        return;
    m_current = *current;
    m_ui.txtTaskID->setText(m_current.txtTaskID);
    m_ui.txtTask->setText(m_current.txtTask);
    m_ui.txtStartDate->setText(m_current.txtStartDate);
}

void TaskListPanel::paintRow(QTreeView *lv, int RowNbr, quint32 RowColor)
{
    auto *tasks = lv ? qobject_cast<TaskListModel *>(lv->model()) : nullptr;
    if (!tasks) {
        MessageBox::show(m_window, tr("Only the task list can be painted."), QString(), MessageBox::NoIcon);
        return;
    }
    if (RowNbr < 1 || RowNbr > tasks->rowCount()) {
        MessageBox::show(m_window, tr("Index out of bounds"), QString(), MessageBox::NoIcon);
        return;
    }
    tasks->setRowColor(RowNbr - 1, RowColor);
}

void TaskListPanel::updateActions()
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

void TaskListPanel::onSelectionChanged()
{
    // However the row was selected, the task actions act on the row the person sees selected.
    const QModelIndexList rows = m_ui.ListView1->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        emit rowSelected(rows.first());
    updateActions();
}

void TaskListPanel::showMenu(const QPoint &position)
{
    const QModelIndex under = m_ui.ListView1->indexAt(position);
    if (under.isValid()) {
        m_ui.ListView1->selectionModel()->select(
            under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_ui.ListView1->selectionModel()->setCurrentIndex(under, QItemSelectionModel::NoUpdate);
    }
    m_menus.taskList->popup(m_ui.ListView1->viewport()->mapToGlobal(position));
}

} // namespace ambrel
