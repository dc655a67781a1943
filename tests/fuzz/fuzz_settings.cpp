// Settings files: any bytes as each file, then a load, a save and a load again.
#include "FuzzChecks.h"

#include "workweek/DaysOff.h"
#include "workweek/WorkweekSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

using namespace ambrel;

namespace {

const char *const kFiles[]
    = { SettingsFile::WorkingWeek, SettingsFile::StartsAt, SettingsFile::EndsAt, SettingsFile::Hours };

QString filePath(const QString &folder, const char *name)
{
    return QDir(folder).filePath(QString::fromLatin1(name));
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// A load takes a leading U+FEFF for the UTF-8 byte-order mark, so an hour that begins with one (only
// possible after two marks in a row) loses it; every other character comes back.
QString afterSave(const QString &hour)
{
    return hour.startsWith(QChar(0xFEFF)) ? hour.mid(1) : hour;
}

struct Loaded {
    QStringList lstWorkingWeek;
    WorkingWeekFlags week {};
    WorkingHours hours;
};

Loaded load(const QString &folder)
{
    Loaded loaded;
    FUZZ_REQUIRE(!LoadWorkingWeek(folder, loaded.lstWorkingWeek, loaded.week));
    FUZZ_REQUIRE(!LoadWorkingHours(folder, loaded.hours));
    return loaded;
}

// The days off read from any holidays.txt are dates in order, once each, with names of one plain line; the
// text a save writes reads back as the same days, and writing those again gives the same text. The file
// itself is not written: every load reads into a buffer of the largest file taken, which under the
// sanitizers costs more than all the rest of an input.
void checkDaysOff(const std::string &bytes)
{
    const DaysOffReading first = DaysOff::parse(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
    for (std::size_t i = 0; i < first.days.size(); ++i) {
        const DayOff &day = first.days[i];
        FUZZ_REQUIRE(day.date.isValid() && day.date.year() >= 1 && day.date.year() <= 9999);
        FUZZ_REQUIRE(i == 0 || first.days[i - 1].date < day.date);
        FUZZ_REQUIRE(day.name == DaysOff::cleanName(day.name));
    }
    for (const SkippedLine &line : first.skipped)
        FUZZ_REQUIRE(line.number >= 1 && !line.reason.isEmpty());

    const QString saved = DaysOff::text(first.days);
    const DaysOffReading second = DaysOff::parse(QString::fromUtf8(saved.toUtf8()));
    FUZZ_REQUIRE(second.skipped.empty());
    FUZZ_REQUIRE(second.days == first.days);
    FUZZ_REQUIRE(DaysOff::text(second.days) == saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir scratch;
    FUZZ_REQUIRE(scratch.isValid());
    const QString folder = scratch.path();

    FuzzedDataProvider input(data, size);
    for (const char *name : kFiles) {
        const std::string bytes = input.ConsumeRandomLengthString(4096);
        QFile file(filePath(folder, name));
        FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_REQUIRE(file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
    }

    checkDaysOff(input.ConsumeRandomLengthString(4096));

    const Loaded first = load(folder);
    QStringList choices;
    FUZZ_REQUIRE(!loadHourChoices(folder, choices));
    const int startsIndex = firstChoiceWithin(choices, first.hours.starts);
    FUZZ_REQUIRE(startsIndex >= -1 && startsIndex < choices.size());
    FUZZ_REQUIRE((startsIndex == -1) == choices.isEmpty());

    FUZZ_REQUIRE(!SaveWorkingSettings(folder, first.hours, first.week));
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i)
        saved[i] = bytesOf(filePath(folder, kFiles[i]));

    // Only "1" is a working day; the hours come back exactly as they went out.
    const Loaded second = load(folder);
    FUZZ_REQUIRE(second.lstWorkingWeek.size() == 7);
    for (int day = 1; day <= 7; ++day) {
        FUZZ_REQUIRE(second.week[day] == (first.week[day] == 1 ? 1 : 0));
        FUZZ_REQUIRE(second.lstWorkingWeek[day - 1] == QString::number(second.week[day]));
    }
    FUZZ_REQUIRE(second.hours.starts == afterSave(first.hours.starts));
    FUZZ_REQUIRE(second.hours.endsAt == afterSave(first.hours.endsAt));

    // A second save of what was loaded writes the same bytes.
    FUZZ_REQUIRE(!SaveWorkingSettings(folder, second.hours, second.week));
    const bool settled
        = second.hours.starts == first.hours.starts && second.hours.endsAt == first.hours.endsAt;
    for (int i = 0; i < 3 && settled; ++i)
        FUZZ_REQUIRE(bytesOf(filePath(folder, kFiles[i])) == saved[i]);
    return 0;
}
