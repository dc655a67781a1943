#include "Form1.h"

#include "app/CalendarExport.h"
#include "app/ListActions.h"
#include "app/ListPrinter.h"
#include "app/MessageBox.h"
#include "app/Printing.h"
#include "app/PublishDialog.h"
#include "app/TaskListModel.h"
#include "corekit/Clock.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectFile.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLocale>
#include <QModelIndex>
#include <QPlainTextEdit>
#include <QTreeView>

#include <algorithm>
#include <cmath>

namespace ambrel {

namespace {

// The 0-based row selected in the list, or -1 when none is.
int selectedRow(const QTreeView &list)
{
    const QItemSelectionModel *selection = list.selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// The hidden days box read as the Post-Pone button always read it: a number in the locale, rounded down.
std::optional<double> wholeDays(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return std::floor(value);
}

} // namespace

void Form1::Command2_Click()
{
    exportCalendar(this, *m_project, CalendarFormat::Csv, [this] { cmdToList_Click(); });
}

void Form1::exportIcs()
{
    exportCalendar(this, *m_project, CalendarFormat::Ics, [this] { cmdToList_Click(); });
}

void Form1::publishToCalendar()
{
    if (!readyToPublish(this, *m_project, [this] { cmdToList_Click(); }))
        return;
    m_document->takeLastingId();
    PublishDialog dialog(*m_project, m_document->filePath(), this);
    dialog.exec();
}

void Form1::daysOffWindow()
{
    SettingsWindows::editDaysOff(this, m_project->settings(), settingsApplier());
}

void Form1::ListView1_ItemClick(const QModelIndex &Item)
{
    if (const std::optional<CurrentTask> current = clickedTask(m_project->tasks(), Item.row(), m_project->schedule().projectName))
        showCurrentTask(*current);
}

void Form1::showCurrentTask(const CurrentTask &current)
{
    m_current = current;
    m_ui.txtTaskID->setText(current.txtTaskID);
    m_ui.txtTask->setText(current.txtTask);
    m_ui.txtStartDate->setText(current.txtStartDate);
}

void Form1::cmdPostpone_Click()
{
    // Without a selected row, or before a row was clicked, Post-Pone does nothing.
    const bool rowSelected = m_ui.ListView1->selectionModel() && m_ui.ListView1->selectionModel()->hasSelection();
    if (!rowSelected || m_current.txtTaskID.isEmpty())
        return;
    // Only a row click writes the position, always as plain digits.
    const std::optional<double> position = wholeDays(m_current.txtTaskID, QLocale::c());
    if (!position)
        return;
    const std::optional<double> days = wholeDays(m_ui.txtDaysToPostPone->text(), QLocale());
    if (!days) {
        MessageBox::show(this,
            tr("Please enter the number of days to move the project by: a whole number such as 15 "
               "to post-pone it, or -5 to advance it."),
            MessageBox::ooopsTitle(), MessageBox::Exclamation);
        return;
    }
    if (*position > double(m_project->tasks().size()))
        return;
    const int row = *position < 1 ? 0 : int(*position) - 1;
    if (row != selectedRow(*m_ui.ListView1))
        return;
    // Beyond any span of years the move is refused; the clamp only keeps the number whole.
    m_listActions->postpone(qint64(std::clamp(*days, -1e15, 1e15)));
}

void Form1::cmdRemove_Click()
{
    m_listActions->removeAll();
}

void Form1::cmdRemoveSelected_Click()
{
    m_listActions->removeSelected();
}

void Form1::cmdConvertToList_Click()
{
    m_listActions->convertToText();
}

void Form1::cmdPrint_Click()
{
    PrintaListview(m_tasks);
}

void Form1::PrintaListview(QAbstractItemModel *lv)
{
    if (!lv)
        return;
    QString error;
    const Printing::Result result = Printing::printList(this, *lv, &error);
    if (result == Printing::Result::Cancelled)
        return;
    if (result == Printing::Result::Failed) {
        MessageBox::show(this, error, MessageBox::errorTitle(), MessageBox::Critical);
        return;
    }
    MessageBox::show(this, tr("Print Job Finished"), QString(), MessageBox::NoIcon);
}

void Form1::ColorListviewRow(QTreeView *lv, int RowNbr, quint32 RowColor)
{
    auto *tasks = lv ? qobject_cast<TaskListModel *>(lv->model()) : nullptr;
    if (!tasks) {
        MessageBox::show(
            this, tr("Only the task list can be painted."), QString(), MessageBox::NoIcon);
        return;
    }
    if (RowNbr < 1 || RowNbr > tasks->rowCount()) {
        MessageBox::show(this, tr("Index out of bounds"), QString(), MessageBox::NoIcon);
        return;
    }
    tasks->setRowColor(RowNbr - 1, RowColor);
}

} // namespace ambrel
