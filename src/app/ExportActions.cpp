#include "ExportActions.h"

#include "app/CalendarExport.h"
#include "app/MessageBox.h"
#include "app/Printing.h"
#include "app/PublishDialog.h"
#include "app/TaskListModel.h"
#include "app/TimelinePane.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectFile.h"

#include <QWidget>

namespace ambrel {

ExportActions::ExportActions(ProjectDocument &document, TaskListModel *tasks, TimelinePane *timeline,
    QWidget *window, std::function<void()> rebuild)
    : QObject(window)
    , m_document(document)
    , m_tasks(tasks)
    , m_timeline(timeline)
    , m_window(window)
    , m_rebuild(std::move(rebuild))
{
}

void ExportActions::exportCsv()
{
    exportCalendar(m_window, m_document.project(), CalendarFormat::Csv, m_rebuild);
}

void ExportActions::exportIcs()
{
    exportCalendar(m_window, m_document.project(), CalendarFormat::Ics, m_rebuild);
}

void ExportActions::exportTimeline()
{
    m_timeline->exportPicture(m_document.filePath());
}

void ExportActions::publish()
{
    Project &project = m_document.project();
    if (!readyToPublish(m_window, project, m_rebuild))
        return;
    m_document.takeLastingId();
    PublishDialog dialog(project, m_document.filePath(), m_window);
    dialog.exec();
}

void ExportActions::printList(QAbstractItemModel *list)
{
    if (!list)
        return;
    QString error;
    const Printing::Result result = Printing::printList(m_window, *list, &error);
    if (result == Printing::Result::Cancelled)
        return;
    if (result == Printing::Result::Failed) {
        MessageBox::show(m_window, error, MessageBox::errorTitle(), MessageBox::Critical);
        return;
    }
    MessageBox::show(m_window, tr("Print Job Finished"), QString(), MessageBox::NoIcon);
}

void ExportActions::previewList()
{
    Printing::previewList(m_window, *m_tasks);
}

void ExportActions::printTimeline()
{
    Printing::printProjectTimeline(m_window, m_document.project());
}

} // namespace ambrel
