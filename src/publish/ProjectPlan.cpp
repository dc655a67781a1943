#include "ProjectPlan.h"

#include "export/EventRow.h"
#include "project/Project.h"

namespace ambrel {

std::optional<QString> projectPlan(
    const Project &project, const QString &id, const QDateTime &now, std::vector<PublishEvent> *out)
{
    const Schedule &schedule = project.schedule();
    const IcsOptions options { schedule.projectName, schedule.startsAt, schedule.endsAt, now, id };
    return publishEvents(options, calendarEventRows(schedule), out);
}

} // namespace ambrel
