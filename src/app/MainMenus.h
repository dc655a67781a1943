#pragma once

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QTreeView;
class QWidget;

namespace ambrel {

class DocumentActions;
class ExportActions;
class ListActions;
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

// What the main window's menus act on: the owners of the window's actions, and the window's own handlers.
struct MenuTargets {
    DocumentActions *files = nullptr;
    ExportActions *exports = nullptr;
    ListActions *list = nullptr;
    TimelinePane *timeline = nullptr;
    std::function<void()> rebuild; // Tasks → Rebuild, as the build button
    std::function<void()> postpone; // asks for the days, then postpones from the selected task
    std::function<void()> print; // the task list, as the hidden panel's Print button
    std::function<void()> workingWeek;
    std::function<void()> daysOff;
    std::function<void()> tips;
};

// The menu bar of window, each action calling the same handler as the hidden panel's button.
Form1Menus buildForm1Menus(QMainWindow *window, QTreeView *list, const MenuTargets &targets);
// Closes every planner window, from window on, each asking about its unsaved work; a Cancel stops there.
void quitEveryWindow(QMainWindow *window);
// The recent project files, most recent first, and Clear.
void fillRecentMenu(QMenu *recentMenu, DocumentActions *files);
void showAboutBox(QWidget *parent);

} // namespace ambrel
