#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QPlainTextEdit;
class QWidget;

namespace ambrel {

class Project;
class ProjectDocument;

// What the person did in the task list since it was last built that the task text does not say: tasks
// postponed or advanced, tasks removed. A rebuild lays the list out from the text again, so it would undo
// them; this keeps count of them, words them for the window, and asks before a rebuild throws them away.
class ListEdits final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListEdits)

public:
    // taskBox is where the person types the task text.
    ListEdits(ProjectDocument &document, QPlainTextEdit *taskBox, QObject *parent = nullptr);

    bool pending() const { return m_moves > 0 || !m_removedLines.empty(); }
    // One line for the window while edits are pending, followed by hints when given; empty otherwise.
    QString note(const QString &hints = QString()) const;
    // Before a rebuild: asks, when edits are pending, whether to keep what the text can hold (a removed
    // task's line leaves the task box) and go on, go on without them, or cancel. False when the rebuild
    // must not happen.
    bool confirmRebuild(QWidget *parent);
    void forget();

    // The task text with the given lines (1-based, empty lines counted) left out, when text is still the
    // text they were counted in; otherwise with the first line equal to each one left out.
    static QString withoutLines(
        const QString &text, const QString &builtText, const std::vector<int> &lineNumbers);

signals:
    void changed();

private:
    Project &m_project;
    QPlainTextEdit *m_taskBox;
    QString m_builtText;
    int m_moves = 0;
    std::vector<int> m_removedLines;
};

} // namespace ambrel
