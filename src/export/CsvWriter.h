#pragma once

#include "corekit/Refusal.h"
#include "export/EventRow.h"

#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace ambrel {

// The export file for Google Calendar: a header line of the column titles, then one line per event,
// every line ending in CR LF, UTF-8 without a byte-order mark, dates as MM/DD/YYYY.
// A field holding a comma, a double quote or a line break is quoted (inner quotes doubled), so that it
// stays one field; every other field is written exactly as it stands.
QString csvField(const QString &text);
QByteArray calendarCsv(const std::vector<EventRow> &events);
bool writeCalendarCsv(QIODevice *device, const std::vector<EventRow> &events);

// Writes the file atomically, creating its folder when missing. On failure any earlier file stays whole
// and the refusal names the file and the reason.
std::optional<Refusal> WriteCalendarCSV(const QString &path, const std::vector<EventRow> &events);

// How the file lays the events out: one line per event, over the nights of a run of several days, or
// one line per day of each event, working hours only.
enum class CsvLayout { Runs, PerDay };

// A file of one line per day holding more lines than this is refused rather than filling the memory; a
// calendar program imports far fewer anyway.
inline constexpr qint64 MaxCsvDayLines = 1'000'000;

// The file in the given layout; refused when a per-day file would be too long.
Refusable<QByteArray> calendarCsv(const std::vector<EventRow> &events, CsvLayout layout);

// The same file for every calendar event of the schedule, each line written as it is made, so that no list
// of the events nor the whole file is ever held: a plan of a million tasks exports in little memory.
std::optional<Refusal> writeCalendarCsv(QIODevice *device, const Schedule &schedule, CsvLayout layout);
std::optional<Refusal> WriteCalendarCSV(const QString &path, const Schedule &schedule, CsvLayout layout);

} // namespace ambrel
