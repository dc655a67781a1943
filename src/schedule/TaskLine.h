#pragma once

#include <QString>
#include <QStringView>

namespace ambrel {

// One line of the task text, read by the task-line grammar: "Design + 3 days", "//Docs + 2".
struct TaskLine {
    QString namePart; // the text before the first "+", blanks kept
    double dayCount = 1; // never 0
    bool parallelMarker = false; // the name part begins with "//"
};

TaskLine ReadTaskLine(const QString &line);

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
