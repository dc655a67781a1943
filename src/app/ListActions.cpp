#include "app/ListActions.h"

#include "app/MessageBox.h"
#include "app/PostponeDialog.h"
#include "app/TaskBoxText.h"
#include "corekit/Clock.h"
#include "project/Project.h"
#include "tracking/Postpone.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTreeView>

#include <algorithm>

namespace ambrel {

ListActions::ListActions(ProjectDocument &document, TaskBoxText *taskBox, QTreeView *list, QWidget *window,
    std::function<void()> rebuild, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_taskBox(taskBox)
    , m_list(list)
    , m_window(window)
    , m_rebuild(std::move(rebuild))
{
    connect(&document.project(), &Project::scheduleReset, this, [this] {
        setEmptied(m_document.project().tasks().empty() && !m_document.project().taskText().trimmed().isEmpty());
    });
}

std::vector<int> ListActions::selectedRows() const
{
    std::vector<int> rows;
    if (const QItemSelectionModel *selection = m_list->selectionModel()) {
        for (const QModelIndex &index : selection->selectedIndexes())
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ListActions::act(ProjectDocument::ListAction action, qint64 days)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    const Refusable<QString> text = m_document.listActionText(action, rows, days, Clock::today());
    if (text.refused()) {
        MessageBox::show(m_window, text.refusal().text, MessageBox::ooopsTitle(), MessageBox::Exclamation);
        return;
    }
    replaceText(m_taskBox->settled(), *text);
    m_rebuild();
}

void ListActions::postpone(qint64 days)
{
    act(ProjectDocument::ListAction::Postpone, days);
}

void ListActions::postponeClicked(const QString &txtTaskID, const QString &daysText)
{
    const QItemSelectionModel *selection = m_list->selectionModel();
    const QModelIndexList selected = selection ? selection->selectedIndexes() : QModelIndexList();
    const Refusable<std::optional<PostponeMove>> move
        = postponeMove({ selected.isEmpty() ? -1 : selected.first().row(), txtTaskID, daysText,
            qsizetype(m_document.project().tasks().size()), QLocale() });
    if (move.refused()) {
        MessageBox::show(m_window, move.refusal().text, MessageBox::ooopsTitle(), MessageBox::Exclamation);
        return;
    }
    if (*move)
        postpone((*move)->days);
}

bool ListActions::askDays(const QString &taskName, QLineEdit *daysBox)
{
    if (!m_list->selectionModel()->hasSelection())
        return false;
    PostponeDialog dialog(taskName.trimmed(), daysBox->text().toInt(), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    daysBox->setText(QString::number(dialog.days()));
    return true;
}

void ListActions::removeSelected()
{
    act(ProjectDocument::ListAction::Remove);
}

void ListActions::markDone()
{
    act(ProjectDocument::ListAction::MarkDone);
}

void ListActions::convertToText()
{
    const Project &project = m_document.project();
    if (project.tasks().empty()
        && MessageBox::show(m_window,
               tr("The task list is empty. Turn it back into text anyway, which empties the task "
                  "box?"),
               tr("Confirm"), MessageBox::Question, MessageBox::YesNo)
            != MessageBox::Yes)
        return;
    // The box keeps a bare line feed per line; the project turns each back into CR LF when it reads the box.
    QString text = project.taskTextFromRows();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    replaceText(m_taskBox->settled(), text);
}

void ListActions::removeAll()
{
    m_document.project().removeAll(Clock::today());
}

void ListActions::setEmptied(bool emptied)
{
    if (emptied == m_emptied)
        return;
    m_emptied = emptied;
    emit emptiedChanged();
}

void ListActions::replaceText(QPlainTextEdit *taskBox, const QString &text)
{
    const QString before = taskBox->toPlainText();
    const qsizetype shorter = std::min(before.size(), text.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == text[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == text[text.size() - 1 - suffix])
        ++suffix;
    if (prefix == before.size() && prefix == text.size())
        return;
    QTextCursor cursor(taskBox->document());
    cursor.beginEditBlock();
    cursor.setPosition(int(prefix));
    cursor.setPosition(int(before.size() - suffix), QTextCursor::KeepAnchor);
    cursor.insertText(text.mid(prefix, text.size() - prefix - suffix));
    cursor.endEditBlock();
}

} // namespace ambrel
