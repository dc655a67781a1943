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

bool AddCalendarEvents(std::vector<WorkingRun> &runs, CalendarEventFields &fields,
    const WorkingCalendar &calendar, const QDate &start, double dayCount, qsizetype maxEvents)
{
    fields.txtGCalNextWorkingDate = start;
    fields.txtGCalRemaining = dayCount;
    while (std::floor(fields.txtGCalRemaining) >= 1 && fields.txtGCalNextWorkingDate.isValid()) {
        if (qsizetype(runs.size()) >= maxEvents)
            return false;
        TakeWorkingRun(
            fields, calendar, fields.txtGCalNextWorkingDate, qint64(std::floor(fields.txtGCalRemaining)));
        runs.push_back({ fields.txtGCalStartDate, fields.txtGCalEndDate_Working });
    }
    return true;
}

} // namespace ambrel
