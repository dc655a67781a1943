#pragma once

#include <QDate>
#include <QString>

#include <vector>

namespace ambrel {

struct Schedule;

// A task line that may not say what its writer meant, and what the planner made of it.
struct LineHint {
    int lineNumber = 0; // 1-based position in the task text, empty lines counted
    QString text;
};

// One sentence on how the line was read and what to write instead; empty when the line reads as written.
// A line deserves one when its duration holds text the number reading left unread, when its day count is
// negative or under one whole day, or when it has a fraction (the calendar gets only whole days).
// workingDaysPerWeek turns "2 weeks" into the days to write instead.
QString lineHint(const QString &line, int workingDaysPerWeek = 5);

// The hints of every line of a task text whose lines end in LF or CR LF; empty lines are no tasks.
std::vector<LineHint> taskTextHints(const QString &text, int workingDaysPerWeek = 5);

// The hint of a sequential line that starts before the task above named name has ended on endText; it
// says how to make the line wait. waitForParallel tells whether the rule that joins parallel groups is on
// already, in which case only a task that ends before it starts can be the cause.
QString overlapHint(const QString &name, const QString &endText, bool waitForParallel);

// The hints of every line of the task text a schedule was just built from: the hints of taskTextHints,
// and the overlap hint on each line that has none of those. A line gets one hint, and how the line was
// read comes first: a misread line's dates are not what was meant anyway. formatDate writes the end date.
std::vector<LineHint> scheduleHints(const QString &text, int workingDaysPerWeek, const Schedule &schedule,
    QString (*formatDate)(const QDate &));

} // namespace ambrel
