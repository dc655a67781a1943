#include "cli/CalendarDaysOff.h"

#include "calendarimport/IcsDaysOff.h"
#include "workweek/DaysOff.h"

#include <QFile>
#include <QFileInfo>

namespace ambrel {

namespace {

constexpr qint64 kMaxFileBytes = 16 << 20;
constexpr qint64 kSniffBytes = 4096; // enough to find the first line past blanks and a byte order mark
// Timed events are no days off here; each of their dates is named, up to a few lines' worth.
constexpr int kMaxNamedTimed = 20;

// One line for standard error for each thing the import left out, each beginning with the file's name.
QStringList warningsOf(const IcsDaysOffImport &imported, const QString &fileName)
{
    QStringList warnings;
    for (const IcsLeftOut &event : imported.leftOut) {
        if (event.name.isEmpty() && event.line == 0)
            warnings << QStringLiteral("%1: %2").arg(fileName, event.reason);
        else
            warnings << QStringLiteral("%1 line %2: \"%3\" left out: %4")
                            .arg(fileName)
                            .arg(event.line)
                            .arg(event.name, event.reason);
    }
    int timed = 0;
    for (const IcsFoundDate &found : imported.found) {
        if (found.allDay)
            continue;
        if (++timed <= kMaxNamedTimed)
            warnings << QStringLiteral("%1: %2 \"%3\" left out: a timed event (%4-%5), not a whole day")
                            .arg(fileName, found.date.toString(Qt::ISODate), found.name,
                                found.begins.toString(QStringLiteral("HH:mm")),
                                found.ends.toString(QStringLiteral("HH:mm")));
    }
    if (timed > kMaxNamedTimed)
        warnings << QStringLiteral("%1: timed events on %2 more dates left out")
                        .arg(fileName)
                        .arg(timed - kMaxNamedTimed);
    if (imported.capped)
        warnings << QStringLiteral("%1: %2").arg(fileName, imported.capNote);
    return warnings;
}

} // namespace

std::optional<Refusable<CalendarDaysOff>> readCalendarDaysOff(const QString &path, int thisYear)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(kSniffBytes);
    if (!IcsDaysOff::isCalendar(bytes))
        return std::nullopt;
    // A pipe or a device has no size to check first, so the read stops one byte past the limit.
    bytes += file.read(kMaxFileBytes + 1 - bytes.size());
    if (bytes.size() > kMaxFileBytes)
        return Refusal { QStringLiteral("it is larger than %1 MiB").arg(kMaxFileBytes >> 20) };
    const Refusable<IcsDaysOffImport> imported = IcsDaysOff::read(bytes, thisYear);
    if (imported.refused())
        return imported.refusal();
    return CalendarDaysOff { DaysOff::dates(imported->days),
        warningsOf(*imported, QFileInfo(path).fileName()) };
}

} // namespace ambrel
