#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace ambrel {

// What a person wrote about a task in the bracket groups that end its line: "[after Backend] [40%]".
struct TaskMarks {
    std::optional<int> progress; // [N%] or [done] (100); of the two, the last written counts
    QStringList after; // [after NAME, NAME…]: the names as written, blanks at both ends removed
    std::optional<qint32> wait; // [wait N]: counted days later (earlier when negative)
    QDate from; // [from YYYY-MM-DD]: no earlier than this day
    bool milestone = false; // [milestone]: takes no days

    bool isDone() const { return progress == 100; }
    bool operator==(const TaskMarks &) const = default;
};

// One line of the task text, read by the task-line grammar: "Design + 3 days", "//Docs + 2",
// "Integration + 5 [after Backend] [wait 2]".
struct TaskLine {
    QString namePart; // the text before the first "+", blanks kept
    double dayCount = 1; // never 0
    bool parallelMarker = false; // the name part begins with "//"
    bool unreadDuration = false; // the duration holds text the number reading left unread
    TaskMarks marks;
    // Where the line's marks begin, or -1 when it has none; the text before them, blanks at its end
    // removed, is what the grammar read.
    qsizetype marksAt = -1;
    // The first bracket group at the line's end that is not a mark, as written; the whole line was then
    // read as plain text.
    QString unreadGroup;
};

TaskLine ReadTaskLine(const QString &line);

// One bracket group at the end of a line, as positions in it: '[' at open, ']' at close.
struct BracketGroup {
    qsizetype open = 0;
    qsizetype close = 0;
};

// The bracket groups that end the line, first to last; groups may touch or stand apart by blanks.
std::vector<BracketGroup> TrailingGroups(QStringView line);

// Reads one group's inside ("after A, B", "40 %") into marks; false when it is no mark.
bool ReadMark(QStringView inside, TaskMarks &marks);

// What ReadTaskLine reads its number from: the text after the first "+" with the twelve duration words
// removed, or "0" when the line has no "+".
QString DurationText(const QString &line);

// Reads a number the forgiving way a person writes one: blanks, tabs and line feeds are skipped
// wherever they stand; an optional sign, digits and one decimal point (always "."), or &H / &O
// for hexadecimal and octal; reading stops at the first character that cannot continue the number.
// Nothing readable gives 0. Too many digits give infinity.
// When used is given it receives how many characters the reading took: up to where it stopped once a
// digit was read, and 0 when no digit was, since a lone sign or prefix is no number.
double ReadNumber(QStringView text, qsizetype *used = nullptr);

} // namespace ambrel
