#pragma once

#include "publish/Publisher.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace ambrel {

class Project;

// The built schedule's events as the resources a publish puts on the calendar, their UIDs taken from id;
// the iCalendar export's refusal when its hours will not do, *out untouched then.
std::optional<QString> projectPlan(
    const Project &project, const QString &id, const QDateTime &now, std::vector<PublishEvent> *out);

} // namespace ambrel
