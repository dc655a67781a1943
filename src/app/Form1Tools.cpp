#include "Form1.h"

#include "app/FolderOpener.h"
#include "app/ListPrinter.h"
#include "app/MessageBox.h"
#include "corekit/Clock.h"
#include "corekit/Corekit.h"
#include "corekit/ProgramFolder.h"
#include "export/CsvWriter.h"
#include "export/EventListModel.h"
#include "schedule/TaskListModel.h"
#include "tracking/ListEditing.h"
#include "tracking/Postpone.h"
#include "tracking/RowColor.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLocale>
#include <QModelIndex>
#include <QPlainTextEdit>
#include <QTreeView>

namespace ambrel {

namespace {

const QString kMissingInfo = QStringLiteral("Missing Info");

QLineEdit *textBox(const Form1 &window, const char *name)
{
    return window.findChild<QLineEdit *>(QString::fromLatin1(name));
}

QString boxText(const Form1 &window, const char *name)
{
    const QLineEdit *box = textBox(window, name);
    return box ? box->text() : QString();
}

void setBoxText(const Form1 &window, const char *name, const QString &text)
{
    if (QLineEdit *box = textBox(window, name))
        box->setText(text);
}

// The 0-based row selected in the list, or -1 when none is.
int selectedRow(const QTreeView &list)
{
    const QItemSelectionModel *selection = list.selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

} // namespace

void Form1::Command2_Click()
{
    if (m_tasks->rowCount() == 0) {
        MessageBox::show(this, QStringLiteral("Please add some tasks to your project."), kMissingInfo,
            MessageBox::Information);
        return;
    }
    if (m_txtProjectName->text().isEmpty()) {
        MessageBox::show(
            this, QStringLiteral("Please enter a project name."), kMissingInfo, MessageBox::Information);
        return;
    }

    const QString folder = ProgramFolder::filePath(QStringLiteral("output"));
    const QString path = ProgramFolder::filePath(QStringLiteral("output/project.csv"));
    if (FileExists(path)
        && MessageBox::show(this,
               QStringLiteral("Overwrite the previous .csv file (maybe from another project)?"),
               QStringLiteral("Confirm"), MessageBox::Question, MessageBox::YesNo)
            != MessageBox::Yes)
        return;

    QString error;
    if (!WriteCalendarCSV(path, m_events->rows(), &error)) {
        MessageBox::show(this, error, QStringLiteral("Error"), MessageBox::Critical);
        return;
    }

    if (!FolderOpener::openFolder(folder)) {
        // The file is written all the same; without the folder on screen the person needs its place.
        MessageBox::show(this,
            QStringLiteral(
                "Done! Your project info was saved to the .csv file %1, but its folder could not be "
                "opened. You can now add this project (.csv) to your G calendar. For more details, "
                "please read the user manual.")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Done!"), MessageBox::Information);
        return;
    }
    MessageBox::show(this,
        QStringLiteral(
            "Done! The software will now open a folder which contains a .csv file with your project "
            "info. You can now add this project (.csv) to your G calendar. For more details, please "
            "read the user manual."),
        QStringLiteral("Done!"), MessageBox::Information);
}

void Form1::ListView1_ItemClick(const QModelIndex &Item)
{
    const std::optional<CurrentTask> current = clickedTask(*m_tasks, Item.row());
    if (!current)
        return;
    setBoxText(*this, "txtTaskID", current->txtTaskID);
    setBoxText(*this, "txtTask", current->txtTask);
    setBoxText(*this, "txtStartDate", current->txtStartDate);
}

void Form1::cmdPostpone_Click()
{
    const PostponeRequest request { m_ListView1->selectionModel()
            && m_ListView1->selectionModel()->hasSelection(),
        boxText(*this, "txtTaskID"), boxText(*this, "txtDaysToPostPone"), workingCalendar(), Clock::today(),
        QLocale() };
    const int columnsBefore = m_tasks->columnCount();
    if (auto refusal = postponeProject(*m_tasks, request)) {
        MessageBox::show(this, refusal->text, refusal->title, MessageBox::Exclamation);
        return;
    }
    if (m_tasks->columnCount() != columnsBefore)
        applyTaskColumnWidths();
}

void Form1::cmdRemove_Click()
{
    m_tasks->clear();
    SetProjectStartDate();
}

void Form1::cmdRemoveSelected_Click()
{
    removeSelectedTask(*m_tasks, *m_events, selectedRow(*m_ListView1));
}

void Form1::cmdConvertToList_Click()
{
    // The box keeps a bare line feed per line; the builder turns each back into CR LF when it reads the box.
    QString text = convertItemsToList(*m_tasks);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_txtTodo->setPlainText(text);
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
    if (!ListPrinter::PrintaListview(*lv, &error)) {
        MessageBox::show(this, error, QStringLiteral("Error"), MessageBox::Critical);
        return;
    }
    MessageBox::show(this, QStringLiteral("Print Job Finished"), QString(), MessageBox::NoIcon);
}

void Form1::ColorListviewRow(QTreeView *lv, int RowNbr, quint32 RowColor)
{
    auto *tasks = lv ? qobject_cast<TaskListModel *>(lv->model()) : nullptr;
    QString error = QStringLiteral("Only the task list can be painted.");
    if (!tasks || !ambrel::ColorListviewRow(*tasks, RowNbr, RowColor, &error))
        MessageBox::show(this, error, QString(), MessageBox::NoIcon);
}

} // namespace ambrel
