#pragma once

#include <QDate>
#include <QString>

#include <vector>

namespace ambrel {

struct Schedule;
struct TaskLine;
struct TaskRow;

// A task line that may not say what its writer meant, and what the planner made of it.
struct LineHint {
    int lineNumber = 0; // 1-based position in the task text, empty lines counted
    QString text;
};

// One sentence on how the line was read and what to write instead; empty when the line reads as written.
// A line deserves one when its duration holds text the number reading left unread, when its day count is
// negative or under one whole day, or when it has a fraction (the calendar gets only whole days).
// workingDaysPerWeek turns "2 weeks" into the days to write instead.
// A line whose marks are not all understood is read as plain text and says which bracket group was not.
QString lineHint(const QString &line, int workingDaysPerWeek = 5);
// The same for a line already read into task.
QString lineHint(const QString &line, const TaskLine &task, int workingDaysPerWeek);

// The hint of a line whose "[after]" names tasks that no line above has; none tells that no name was found.
QString missingAfterHint(const QStringList &missing, bool none);

// The hints of every line of a task text whose lines end in LF or CR LF; empty lines are no tasks.
std::vector<LineHint> taskTextHints(const QString &text, int workingDaysPerWeek = 5);

// The hint of a sequential line that starts before the task above named name has ended on endText; it
// says how to make the line wait. waitForParallel tells whether the rule that joins parallel groups is on
// already, in which case only a task that ends before it starts can be the cause.
QString overlapHint(const QString &name, const QString &endText, bool waitForParallel);

// The hint a built row shows: how its line was read, else its overlap, else nothing. A misread line's dates
// are not what was meant anyway. formatDate writes the end date.
QString shownHint(const TaskRow &row, bool waitForParallel, QString (*formatDate)(const QDate &));

// The hints of every row of a built schedule, in line order, without reading a line again.
std::vector<LineHint> scheduleHints(const Schedule &schedule, QString (*formatDate)(const QDate &));

} // namespace ambrel
