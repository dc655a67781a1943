#pragma once

#include "app/Form1Controls.h"
#include "app/MainMenus.h"
#include "tracking/ListEditing.h"

#include <QObject>

class QModelIndex;
class QPoint;
class QTreeView;
class QWidget;

namespace ambrel {

class ListActions;
class Project;
class TaskListModel;

// The task list as the window shows it: its column widths, the line under it that counts the rows that may
// not say what was meant, which task actions it allows, its right-click menu, and the hidden boxes that
// hold the task last clicked.
class TaskListPanel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TaskListPanel)

public:
    // window gives the twips their size and parents the messages.
    TaskListPanel(const Project &project, TaskListModel *tasks, const Form1Controls &ui,
        const Form1Menus &menus, const ListActions *actions, QWidget *window);

    // Once the list has its model: the task actions follow its rows and its selection.
    void followSelection();
    // The design's widths, for as many columns as the list has.
    void applyColumnWidths();
    // Under the list, and under the timeline beside it.
    void placeHintLine();
    // Makes row (0-based) the current task; a row that is not there changes nothing.
    void pickRow(int row);
    const CurrentTask &current() const { return m_current; }
    // Paints row RowNbr (1-based) of lv in RowColor, written 0x00BBGGRR.
    void paintRow(QTreeView *lv, int RowNbr, quint32 RowColor);

signals:
    // The person selected a row, however they did it.
    void rowSelected(const QModelIndex &row);

private:
    void updateHintLine();
    void updateActions();
    void onSelectionChanged();
    void showMenu(const QPoint &position);

    const Project &m_project;
    TaskListModel *m_tasks;
    Form1Controls m_ui;
    Form1Menus m_menus;
    const ListActions *m_actions;
    QWidget *m_window;
    CurrentTask m_current;
};

} // namespace ambrel
