#pragma once

#include "export/EventRow.h"

#include <QString>

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
// and *error names the file and the reason.
bool WriteCalendarCSV(const QString &path, const std::vector<EventRow> &events, QString *error = nullptr);

} // namespace ambrel
