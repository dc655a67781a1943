#pragma once

#include "corekit/Refusal.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace ambrel {

struct DayOff {
    QDate date;
    QString name; // may be empty

    bool operator==(const DayOff &other) const = default;
};

// A line of the days-off file that names no date; it is left out and the person is told.
struct SkippedLine {
    int number = 0; // counting every line of the file from 1
    QString reason;
};

struct DaysOffReading {
    std::vector<DayOff> days; // by date, each date once
    std::vector<SkippedLine> skipped;
};

// The days-off file: one date per line as YYYY-MM-DD, optionally followed by blanks or a tab and a name.
class DaysOff final {
public:
    static inline const QString FileName = QStringLiteral("holidays.txt");
    // The first line of every saved file, telling a person editing it by hand what goes there.
    static inline const QString Comment
        = QStringLiteral("# Days off, one per line: a date as YYYY-MM-DD, then optionally its name.");

    static DaysOffReading parse(const QString &text);
    // A missing file is simply no days off, unless it must exist; one that cannot be read is refused with
    // "cannot read <path>: <reason>".
    static Refusable<DaysOffReading> load(const QString &path, bool mustExist = false);
    // "holidays.txt line 3: ..." with the file name given, as the command line and the window tell it.
    static QString describe(const QString &fileName, const SkippedLine &line);

    // The file's text, LF line ends. Over the previous text of the file, its comments, blank lines, lines
    // naming no date and the lines of days still there stay (a renamed day's line is written anew); the
    // lines of days not there go, and a new day goes after the day before it. Without previous text: the
    // comment line, then "YYYY-MM-DD name" per day in date order.
    static QString text(std::vector<DayOff> days, const QString &previous = QString());
    // Written atomically over the file's previous text; on failure the earlier file stays whole and the
    // refusal says "Could not save holidays.txt: <reason>".
    static std::optional<Refusal> save(const std::vector<DayOff> &days, const QString &path);

    // Adds the day in date order and returns true. A date already there stays once: with rename its name
    // becomes the new one (when that is not empty), otherwise the name it has is kept; returns false.
    static bool insert(std::vector<DayOff> &days, DayOff day, bool rename = false);
    // A name as one line of plain text: line breaks and tabs from a pasted or imported name would break
    // the file's one-day-per-line form.
    static QString cleanName(const QString &name);
    static std::vector<QDate> dates(const std::vector<DayOff> &days);
};

} // namespace ambrel
