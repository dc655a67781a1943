#include "app/StartNotice.h"

#include "project/Project.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace ambrel {

QString rightAwayNotice(const Project &project, const QString &path, const QDate &today)
{
    if (path.isEmpty() || project.startsOnPickedDate() || project.tasks().empty())
        return {};
    // The file keeps no date for a right-away start; its last save is when the plan stood as saved.
    const QDate saved = QFileInfo(path).lastModified().date();
    if (!saved.isValid() || saved >= today)
        return {};
    return QStringLiteral("This project starts right away, so it now starts today, not on the day it was "
                          "saved (%1). To keep a start date, choose \"Start this project on\", pick the date "
                          "on the calendar and save the project.")
        .arg(QLocale().toString(saved, QLocale::ShortFormat));
}

} // namespace ambrel
