#pragma once

#include "project/ProjectDocument.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QTreeView;
class QWidget;

namespace ambrel {

class TaskBoxText;

// The task list's actions, each written into the task text: postpone or advance, remove, mark done, and the
// list turned back into text. The document works out the new text; this puts it into the task box as one
// edit of the box's own history, so that undo and redo take list actions and typing alike, and rebuilds.
class ListActions final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListActions)

public:
    // rebuild lays the list out from the task box again, as the build button does.
    ListActions(ProjectDocument &document, TaskBoxText *taskBox, QTreeView *list, QWidget *window,
        std::function<void()> rebuild, QObject *parent = nullptr);

    // Moves the selected task and every task after it by days (negative advances), as "[wait N]" on its line.
    void postpone(qint64 days);
    // "Post-Pone": from the task last clicked (txtTaskID, its 1-based position) by the days typed, once that
    // task is the one selected; days that are no number are refused with a message.
    void postponeClicked(const QString &txtTaskID, const QString &daysText);
    // Asks for the days to postpone taskName by, starting from what daysBox holds; true when the person
    // gave them, which are then in daysBox.
    bool askDays(const QString &taskName, QLineEdit *daysBox);
    void removeSelected();
    void markDone();
    // Puts every row back into the task box as a line, its marks included.
    void convertToText();
    // Empties the list until the next rebuild; the text holds everything, so nothing is lost.
    void removeAll();
    // Whether the list was emptied since it was last built; the window says so under the list.
    bool emptied() const { return m_emptied; }

    // The text of the task box replaced by text as one edit: only the part that differs is touched.
    static void replaceText(QPlainTextEdit *taskBox, const QString &text);

signals:
    void emptiedChanged();

private:
    std::vector<int> selectedRows() const;
    void act(ProjectDocument::ListAction action, qint64 days = 0);
    void setEmptied(bool emptied);

    ProjectDocument &m_document;
    TaskBoxText *m_taskBox;
    QTreeView *m_list;
    QWidget *m_window;
    std::function<void()> m_rebuild;
    bool m_emptied = false;
};

} // namespace ambrel
