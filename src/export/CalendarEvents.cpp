#include "CalendarEvents.h"

#include <cmath>

namespace ambrel {

void TakeWorkingRun(
    CalendarEventFields &fields, const WorkingCalendar &calendar, const QDate &from, qint64 count)
{
    fields.txtGCalStartDate = from;
    fields.txtGCalEndDate_Working = from;
    if (count <= 0)
        return;

    const qint64 taken = calendar.workingRunLength(from, count);
    if (taken > 0) {
        fields.txtGCalRemaining = std::floor(fields.txtGCalRemaining) - double(taken);
        fields.txtGCalEndDate_Working = from.addDays(taken - 1);
    }
    // A run cut short by a day off goes on at the next working day; a run that used up the task does
    // not look at the day after it.
    if (taken < count)
        fields.txtGCalNextWorkingDate = calendar.AddWorkingDays(fields.txtGCalEndDate_Working, 1);
}

bool AddCalendarEvents(std::vector<EventRow> &events, CalendarEventFields &fields,
    const WorkingCalendar &calendar, const EventTask &task, qsizetype maxEvents)
{
    fields.txtGCalNextWorkingDate = task.start;
    fields.txtGCalRemaining = task.dayCount;

    const QString subjectBase = task.projectName + QLatin1String(": ") + task.text;
    int counter = 0;
    while (std::floor(fields.txtGCalRemaining) >= 1 && fields.txtGCalNextWorkingDate.isValid()) {
        if (qsizetype(events.size()) >= maxEvents)
            return false;
        TakeWorkingRun(
            fields, calendar, fields.txtGCalNextWorkingDate, qint64(std::floor(fields.txtGCalRemaining)));
        ++counter;
        EventRow event;
        event.subjectBase = subjectBase;
        event.number = counter;
        event.startDate = fields.txtGCalStartDate;
        event.startTime = task.startsAt;
        event.endDate = fields.txtGCalEndDate_Working;
        event.endTime = task.endsAt;
        event.description = task.text;
        events.push_back(std::move(event));
    }
    return true;
}

} // namespace ambrel
