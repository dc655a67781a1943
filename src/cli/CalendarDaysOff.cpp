#include "cli/CalendarDaysOff.h"

#include "calendarimport/IcsDaysOff.h"
#include "workweek/DaysOff.h"

#include <QFile>
#include <QFileInfo>

namespace ambrel {

namespace {

constexpr qint64 kMaxFileBytes = 16 << 20;
constexpr qint64 kSniffBytes = 4096; // enough to find the first line past blanks and a byte order mark

} // namespace

std::optional<CalendarDaysOff> readCalendarDaysOff(const QString &path, int thisYear)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(kSniffBytes);
    if (!IcsDaysOff::isCalendar(bytes))
        return std::nullopt;
    CalendarDaysOff result;
    // A pipe or a device has no size to check first, so the read stops one byte past the limit.
    bytes += file.read(kMaxFileBytes + 1 - bytes.size());
    if (bytes.size() > kMaxFileBytes) {
        result.error = QStringLiteral("it is larger than %1 MiB").arg(kMaxFileBytes >> 20);
        return result;
    }
    const IcsCommandLineDays read = IcsDaysOff::forCommandLine(bytes, QFileInfo(path).fileName(), thisYear);
    if (!read.error.isEmpty()) {
        result.error = read.error;
        return result;
    }
    result.dates = DaysOff::dates(read.days);
    result.warnings = read.warnings;
    return result;
}

} // namespace ambrel
