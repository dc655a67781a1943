#pragma once

#include "workweek/DaysOff.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace ambrel {

struct IcsDaysOffImport {
    std::vector<DayOff> days; // by date, each date once; a date's name is the first event's SUMMARY
    // Set when the text is no iCalendar data or the file could not be read; days is then empty.
    QString error;
    bool capped = false; // the calendar held more dates than MaxDates; the first ones found were kept
};

// Days off taken from iCalendar data, such as a public-holiday calendar: every event's day, each day of an
// all-day event that spans several, and the dates of a recurring event from thisYear to five years on.
class IcsDaysOff final {
public:
    // A hostile or mistaken calendar (a daily rule over centuries) must not fill the memory or stall.
    static constexpr int MaxDates = 10'000;
    static constexpr int LastYearAfterThis = 5;

    static IcsDaysOffImport read(const QByteArray &ics, int thisYear);
    static IcsDaysOffImport readFile(const QString &path, int thisYear);
};

} // namespace ambrel
