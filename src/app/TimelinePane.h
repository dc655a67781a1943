#pragma once

#include <QObject>
#include <QRect>

#include <memory>

class QAction;
class QLabel;
class QMenuBar;
class QTreeView;
class QWidget;

namespace ambrel {

class Project;
class TaskListModel;
class TimelineView;
struct TimelineData;

// The timeline beside the task list: one bar per row, level with it, sharing the list's place while shown
// (the choice is remembered between runs), with the View menu's entries and the picture export.
class TimelinePane final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TimelinePane)

public:
    TimelinePane(QWidget *window, QWidget *body, QTreeView *list, TaskListModel *tasks, Project *project);
    ~TimelinePane() override;

    TimelineView *view() const { return m_timeline; }
    void createViewMenu(QMenuBar *bar);
    // Once the list has its model: the timeline follows its selection, its scrolling and the project.
    void connectList();
    // Shows or hides the timeline beside the task list, and remembers the choice.
    void setShown(bool shown);
    // The list has just been given its place for the window's size; the timeline, when shown, shares it.
    void takeListArea();
    // How wide the person made the list beside the timeline, 0 until they drag the divider.
    int listWidthBesideTimeline() const { return m_listWidthBesideTimeline; }
    void setListWidthBesideTimeline(int width);
    // The whole timeline as a PNG, SVG or PDF picture, by the name's extension, offered in the last folder
    // a timeline went to.
    void exportPicture(const QString &currentFile);

signals:
    void rowClicked(int row);
    // The list has moved or changed size, so that what sits under it can follow.
    void listPlaced();

private:
    void refresh();
    void layOutTimeline();

    QWidget *m_window;
    QWidget *m_body;
    QTreeView *m_list;
    TaskListModel *m_tasks;
    Project *m_project;
    TimelineView *m_timeline = nullptr;
    QWidget *m_timelineHandle = nullptr;
    QLabel *m_title = nullptr; // the project's name above the timeline, as its rows leave it out
    QAction *m_actionTimeline = nullptr;
    std::unique_ptr<TimelineData> m_timelineData;
    QRect m_listArea; // the list's place while the timeline is hidden, shared with the timeline when shown
    int m_listWidthBesideTimeline = 0; // 0 until the person drags the handle: the four columns' width
    bool m_timelineStale = true;
};

} // namespace ambrel
