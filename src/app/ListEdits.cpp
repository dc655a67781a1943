#include "app/ListEdits.h"

#include "app/MessageBox.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"

#include <QPlainTextEdit>
#include <QStringList>

namespace ambrel {

namespace {

QString tasksText(qsizetype count, const char *what)
{
    return count == 1 ? QStringLiteral("1 task %1").arg(QLatin1String(what))
                      : QStringLiteral("%1 tasks %2").arg(count).arg(QLatin1String(what));
}

} // namespace

ListEdits::ListEdits(ProjectDocument &document, QPlainTextEdit *taskBox, QObject *parent)
    : QObject(parent)
    , m_project(document.project())
    , m_taskBox(taskBox)
{
    // The list turned back into text: the text now holds the rows as they stand, edits included.
    connect(m_taskBox, &QPlainTextEdit::textChanged, this, [this] {
        if (pending()
            && m_taskBox->toPlainText()
                == m_project.taskTextFromRows().replace(QLatin1String("\r\n"), QLatin1String("\n")))
            forget();
    });
    // Edits in the list belong to what the document held before it was replaced.
    connect(&document, &ProjectDocument::contentReplaced, this, &ListEdits::forget);
    // A build (or emptying the list) replaces every row: what was edited in the old rows is gone.
    connect(&m_project, &Project::scheduleReset, this, [this] {
        m_builtText = m_project.taskText();
        forget();
    });
    connect(&m_project, &Project::tasksMoved, this, [this] {
        ++m_moves;
        emit changed();
    });
    connect(&m_project, &Project::aboutToRemoveTask, this, [this](int row) {
        const std::vector<TaskRow> &tasks = m_project.tasks();
        if (row >= 0 && row < qsizetype(tasks.size()))
            m_removedLines.push_back(tasks[size_t(row)].lineNumber);
        emit changed();
    });
}

QString ListEdits::note(const QString &hints) const
{
    if (!pending())
        return {};
    QStringList parts;
    if (m_moves > 0)
        parts << (m_moves == 1 ? QStringLiteral("1 postpone") : QStringLiteral("%1 postpones").arg(m_moves));
    if (!m_removedLines.empty())
        parts << tasksText(qsizetype(m_removedLines.size()), "removed");
    const QString note = QStringLiteral("The list differs from your task text (%1): a rebuild would undo it.")
                             .arg(parts.join(QStringLiteral(", ")));
    return hints.isEmpty() ? note : note + QLatin1Char(' ') + hints;
}

bool ListEdits::confirmRebuild(QWidget *parent)
{
    if (!pending())
        return true;
    QString text = QStringLiteral("Rebuilding lays the list out from your task text again, which undoes what "
                                  "you changed in the list since it was built");
    if (m_moves > 0)
        text += QStringLiteral(": postponed or advanced dates are not in the text and will be lost");
    text += QLatin1Char('.');
    if (m_removedLines.empty()) {
        text += QStringLiteral("\n\nRebuild anyway?");
        if (MessageBox::show(parent, text, QStringLiteral("Confirm"), MessageBox::Question, MessageBox::YesNo)
            != MessageBox::Yes)
            return false;
        forget();
        return true;
    }
    text += QStringLiteral(
        "\n\nRemove the removed tasks' lines from the text too (Yes), rebuild from the text "
        "as it is (No), or cancel?");
    switch (MessageBox::show(
        parent, text, QStringLiteral("Confirm"), MessageBox::Question, MessageBox::YesNoCancel)) {
    case MessageBox::Yes: {
        const std::vector<int> lines = m_removedLines;
        const QString built = m_builtText;
        forget();
        m_taskBox->setPlainText(withoutLines(m_project.taskText(), built, lines));
        return true;
    }
    case MessageBox::No:
        forget();
        return true;
    default:
        return false;
    }
}

void ListEdits::forget()
{
    const bool was = pending();
    m_moves = 0;
    m_removedLines.clear();
    if (was)
        emit changed();
}

QString ListEdits::withoutLines(
    const QString &text, const QString &builtText, const std::vector<int> &lineNumbers)
{
    const QStringList built = builtText.split(QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text == builtText) {
        std::vector<bool> drop(size_t(lines.size()), false);
        for (int number : lineNumbers) {
            if (number >= 1 && number <= lines.size())
                drop[size_t(number - 1)] = true;
        }
        QStringList kept;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!drop[size_t(i)])
                kept << lines[i];
        }
        return kept.join(QLatin1Char('\n'));
    }
    // The text was edited since: each removed line goes where it still stands as it was written.
    for (int number : lineNumbers) {
        if (number < 1 || number > built.size())
            continue;
        const qsizetype at = lines.indexOf(built[number - 1]);
        if (at >= 0)
            lines.removeAt(at);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace ambrel
