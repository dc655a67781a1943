#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ambrel {

// The days off of an iCalendar file given to --days-off: its dates, a line for standard error for each
// thing left out, or why the file is refused.
struct CalendarDaysOff {
    std::vector<QDate> dates;
    QStringList warnings;
    QString error; // the file is refused; dates is then empty
};

// Nothing when the file at path is not an iCalendar file, or cannot be opened: the list-of-dates reader
// then reads it, or tells why it cannot, as it always has. thisYear bounds the repeats of recurring events.
std::optional<CalendarDaysOff> readCalendarDaysOff(const QString &path, int thisYear);

} // namespace ambrel
