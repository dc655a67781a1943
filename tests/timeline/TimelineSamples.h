#pragma once

#include "timeline/TimelineData.h"

#include <QDate>

#include <vector>

namespace ambrel::testing {

// A project of taskCount rows scheduled on a Monday-to-Friday week from start, as a person would type it:
// tasks of one to eight days, every seventh beside the one before, every eleventh half a day, one of -3
// days. Runs that cross a day off are split there, as the calendar export would split them.
TimelineData sampleTimeline(
    int taskCount, const QDate &start, const QDate &today, const std::vector<QDate> &daysOff = {});

} // namespace ambrel::testing
