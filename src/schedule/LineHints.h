#pragma once

#include <QString>

#include <vector>

namespace ambrel {

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

} // namespace ambrel
