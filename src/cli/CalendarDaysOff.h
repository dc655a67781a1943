#pragma once

#include "corekit/Refusal.h"

#include <QDate>
#include <QStringList>

#include <optional>
#include <vector>

namespace ambrel {

// The days off of an iCalendar file given to --days-off: its dates, and a line for standard error for each
// thing left out.
struct CalendarDaysOff {
    std::vector<QDate> dates;
    QStringList warnings;
};

// Nothing when the file at path is not an iCalendar file, or cannot be opened: the list-of-dates reader
// then reads it, or tells why it cannot, as it always has. Refused when the calendar cannot be read.
// thisYear bounds the repeats of recurring events.
std::optional<Refusable<CalendarDaysOff>> readCalendarDaysOff(const QString &path, int thisYear);

} // namespace ambrel
