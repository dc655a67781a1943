#include "ProjectPlan.h"

#include "export/EventRow.h"
#include "project/Project.h"
#include "project/ProjectFile.h"

#include <QFileInfo>

namespace ambrel {

Refusable<std::vector<PublishEvent>> projectPlan(
    const Project &project, const QString &id, const QDateTime &now)
{
    const Schedule &schedule = project.schedule();
    const IcsOptions options { schedule.projectName, schedule.startsAt, schedule.endsAt, now, id };
    return publishEvents(options, calendarEventRows(schedule));
}

QString otherFileWithId(
    const QString &recordFolder, const QString &projectId, const QUrl &calendar, const QString &projectFile)
{
    PublishRecord record(recordFolder, projectId, calendar);
    if (projectFile.isEmpty() || record.load() || record.publishedFrom().isEmpty())
        return {};
    const QFileInfo other(record.publishedFrom());
    if (!other.isFile() || other.canonicalFilePath() == QFileInfo(projectFile).canonicalFilePath())
        return {};
    const Refusable<ProjectFileContent> content = loadProjectOrTaskText(other.filePath());
    return !content.refused() && lastingProjectId(content->id, content->name) == projectId ? other.filePath()
                                                                                           : QString();
}

} // namespace ambrel
