#pragma once

#include <QDate>
#include <QString>

namespace ambrel {

class Project;

// What to tell the person who opens the project file at path on today: a project that starts right away,
// saved on an earlier day, now starts today rather than where it stood. Empty when there is nothing to say.
QString rightAwayNotice(const Project &project, const QString &path, const QDate &today);

} // namespace ambrel
