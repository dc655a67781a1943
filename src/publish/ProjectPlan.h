#pragma once

#include "publish/Publisher.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

namespace ambrel {

class Project;

// The built schedule's events as the resources a publish puts on the calendar, their UIDs taken from id;
// the iCalendar export's refusal when its hours will not do.
Refusable<std::vector<PublishEvent>> projectPlan(
    const Project &project, const QString &id, const QDateTime &now);

// The other project file that last published this Id to the calendar, when it still exists and still holds
// the Id: projectFile is then most likely a copy, whose publish would take the other file's events away.
// Empty otherwise.
QString otherFileWithId(
    const QString &recordFolder, const QString &projectId, const QUrl &calendar, const QString &projectFile);

} // namespace ambrel
