#pragma once

#include <QObject>

#include <functional>

class QAbstractItemModel;
class QWidget;

namespace ambrel {

class ProjectDocument;
class TaskListModel;
class TimelinePane;

// What leaves the window: the calendar exports, the timeline picture, publishing to a calendar server and
// the printouts, each with the window's questions and messages.
class ExportActions final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExportActions)

public:
    // rebuild lays the list out afresh from what was typed, as the build button does; window parents the
    // dialogs and messages.
    ExportActions(ProjectDocument &document, TaskListModel *tasks, TimelinePane *timeline, QWidget *window,
        std::function<void()> rebuild);

    // The Google Calendar import file, where the person chooses.
    void exportCsv();
    // The same steps as the CSV export, for an iCalendar file.
    void exportIcs();
    // The whole timeline as a PNG, SVG or PDF picture, by the name's extension.
    void exportTimeline();
    void publish();
    // Any list, on the printer the person chooses, then "Print Job Finished".
    void printList(QAbstractItemModel *list);
    void previewList();
    void printTimeline();

private:
    ProjectDocument &m_document;
    TaskListModel *m_tasks;
    TimelinePane *m_timeline;
    QWidget *m_window;
    std::function<void()> m_rebuild;
};

} // namespace ambrel
