#pragma once

#include "corekit/Refusal.h"
#include "workweek/DaysOff.h"

#include <QByteArray>
#include <QString>
#include <QTime>
#include <QTimeZone>

#include <atomic>
#include <functional>
#include <vector>

namespace ambrel {

// One date a calendar names, as the import lists it before the person confirms.
struct IcsFoundDate {
    QDate date;
    QString name; // the first event's SUMMARY on that date; an all-day event's wins over a timed one's
    bool allDay = true; // a whole day off; a timed event is listed with its times but not taken by default
    QTime begins; // a timed event's times in the person's time zone; ends may be on a later day
    QTime ends;

    bool operator==(const IcsFoundDate &other) const = default;
};

// An event the import leaves out, and why, so the person can see what a calendar held that is not taken.
struct IcsLeftOut {
    int line = 0; // the line of its BEGIN:VEVENT, counting from 1
    QString name; // its SUMMARY, or its UID when it has none
    QString reason;
};

// What a calendar gives, with what it held that is not taken.
struct IcsDaysOffImport {
    std::vector<DayOff> days; // the all-day events' days: by date, each once, named by the first event
    std::vector<IcsFoundDate> found; // every date found, all-day and timed, by date, each once
    std::vector<IcsLeftOut> leftOut;
    bool capped = false; // a limit was reached; capNote says which, and leftOut names what it cut short
    QString capNote;
    qint64 steps = 0; // the work the reading took, counted as it is bounded
};

struct IcsImportOptions {
    // Timed events fall on the day they begin where the person is.
    QTimeZone zone = QTimeZone::systemTimeZone();
    // Called on the reading thread with the events read so far and their number.
    std::function<void(int done, int total)> progress;
    // The work the reading may take, in steps; 0 is IcsDaysOff::MaxSteps. A fuzzer's slow build takes less.
    qint64 maxSteps = 0;
    // Set from another thread to stop early, which is seen before the next event; the reading is then
    // refused.
    const std::atomic<bool> *cancel = nullptr;
};

// Days off taken from iCalendar data, such as a public-holiday calendar: every event's day, each day of an
// all-day event that spans several, and the days of a recurring event from thisYear to five years on.
// Everything is bounded by counts, so that no calendar can stall the reader or fill the memory; the
// recurrence rules are worked out by Recurrence, which tells why Ambrel does that itself.
class IcsDaysOff final {
public:
    static constexpr int MaxDates = 10'000;
    static constexpr int LastYearAfterThis = 5;
    // Real calendars nest three deep (a calendar, an event, an alarm); the parser frees recursively.
    static constexpr int MaxNesting = 16;
    static constexpr int MaxLineBytes = 256 * 1024;
    static constexpr int MaxListedDatesPerEvent = 5'000; // RDATE and EXDATE values of one event
    static constexpr int MaxPropertiesPerEvent = 10'000; // an event's own lines, such as ATTENDEE
    static constexpr qint64 MaxStepsPerEvent = 1'000'000;
    static constexpr qint64 MaxSteps = 10'000'000;

    // Refused when the text is no iCalendar data or is refused whole, when the file cannot be read, or when
    // the reading is cancelled.
    static Refusable<IcsDaysOffImport> read(
        const QByteArray &ics, int thisYear, const IcsImportOptions &options = {});
    static Refusable<IcsDaysOffImport> readFile(
        const QString &path, int thisYear, const IcsImportOptions &options = {});

    // Whether a days-off file is an iCalendar file rather than a list of dates: its first line says so.
    static bool isCalendar(const QByteArray &text);
};

} // namespace ambrel
