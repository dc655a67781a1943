#include "ProjectPlan.h"

#include "export/EventRow.h"
#include "project/Project.h"
#include "project/ProjectFile.h"

#include <QFileInfo>

namespace ambrel {

std::optional<QString> projectPlan(
    const Project &project, const QString &id, const QDateTime &now, std::vector<PublishEvent> *out)
{
    const Schedule &schedule = project.schedule();
    const IcsOptions options { schedule.projectName, schedule.startsAt, schedule.endsAt, now, id };
    return publishEvents(options, calendarEventRows(schedule), out);
}

QString otherFileWithId(
    const QString &recordFolder, const QString &projectId, const QUrl &calendar, const QString &projectFile)
{
    PublishRecord record(recordFolder, projectId, calendar);
    QString error;
    if (projectFile.isEmpty() || !record.load(&error) || record.publishedFrom().isEmpty())
        return {};
    const QFileInfo other(record.publishedFrom());
    if (!other.isFile() || other.canonicalFilePath() == QFileInfo(projectFile).canonicalFilePath())
        return {};
    const std::optional<ProjectFileContent> content = loadProjectOrTaskText(other.filePath(), &error);
    return content && lastingProjectId(content->id, content->name) == projectId ? other.filePath()
                                                                                : QString();
}

} // namespace ambrel
