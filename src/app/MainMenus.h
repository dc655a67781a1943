#pragma once

class QAction;
class QMenu;
class QTreeView;
class QWidget;

namespace ambrel {

class Form1;
class TimelinePane;

// The main window's menus whose state follows the task list: the recent files and the task actions, which
// also make up the task list's right-click menu.
struct Form1Menus {
    QMenu *recent = nullptr;
    QMenu *taskList = nullptr;
    QAction *undo = nullptr; // Edit: the task box's one history, list actions included
    QAction *redo = nullptr;
    QAction *postpone = nullptr;
    QAction *markDone = nullptr;
    QAction *removeSelected = nullptr;
    QAction *removeAll = nullptr;
    QAction *convertToList = nullptr;
    QAction *print = nullptr;
    QAction *waitParallel = nullptr; // checkable: the project's "Wait for parallel tasks"
    QAction *csvPerDay = nullptr; // checkable: the CSV export writes one event per working day
};

// The menu bar of window, each action calling the same handler as the hidden panel's button.
Form1Menus buildForm1Menus(Form1 *window, QTreeView *list, TimelinePane *timeline);
// Closes every planner window, from window on, each asking about its unsaved work; a Cancel stops there.
void quitEveryWindow(Form1 *window);
// The recent project files, most recent first, and Clear.
void fillRecentMenu(QMenu *recentMenu, Form1 *window);
void showAboutBox(QWidget *parent);

} // namespace ambrel
