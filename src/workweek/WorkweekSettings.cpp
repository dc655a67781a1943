#include "WorkweekSettings.h"

#include "corekit/AtomicFile.h"
#include "corekit/Corekit.h"
#include "corekit/Paths.h"
#include "workweek/DaysOff.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>
#include <limits>
#include <vector>

namespace ambrel {

namespace {

QString pathOf(const QString &folder, const char *fileName)
{
    return QDir(folder).filePath(QString::fromLatin1(fileName));
}

// Where a setting is read from: an installed program falls back on its shipped file.
QString readPathOf(const QString &folder, const char *fileName)
{
    return Paths::settingsFileToRead(folder, QString::fromLatin1(fileName));
}

// Nothing when the file can be read; otherwise why not, naming the file.
std::optional<Refusal> unreadable(const QString &folder, const char *fileName)
{
    const QString name = QString::fromLatin1(fileName);
    const QString path = readPathOf(folder, fileName);
    const QFileInfo info(path);
    if (!info.exists())
        return Refusal { missingFileMessage(name) };
    QString reason;
    if (info.isDir()) {
        reason = QStringLiteral("it is a folder");
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            return std::nullopt;
        reason = file.errorString();
    }
    return Refusal {
        QStringLiteral("Error: %1 could not be read (%2). Please check the file.").arg(name, reason) };
}

QString withoutLineBreaks(QString text)
{
    text = ReplaceAll(text, QStringLiteral("\r\n"), QString());
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\r'));
    return text;
}

// A file's earlier bytes, kept as they were (not decoded) so that undoing a half-done save gives back
// exactly what was there.
struct Snapshot {
    QString path;
    bool existed = false;
    bool read = false;
    QByteArray bytes;
};

Snapshot snapshotOf(const QString &path)
{
    Snapshot snapshot { path, FileExists(path), false, {} };
    if (snapshot.existed) {
        QFile file(path);
        snapshot.read = file.open(QIODevice::ReadOnly);
        if (snapshot.read)
            snapshot.bytes = file.readAll();
    }
    return snapshot;
}

void restore(const Snapshot &snapshot)
{
    if (!snapshot.existed) {
        QFile::remove(snapshot.path);
        return;
    }
    if (!snapshot.read)
        return;
    writeFileAtomically(snapshot.path, snapshot.bytes);
}

} // namespace

QString missingFileMessage(const QString &fileName)
{
    return QStringLiteral("Error: %1 file not found. Please reinstall the software.").arg(fileName);
}

qint16 readWorkingWeekLine(const QString &line)
{
    bool ok = false;
    const QString text = line.trimmed();
    const short whole = text.toShort(&ok);
    if (ok)
        return whole;
    const double number = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(number))
        return 0;
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return 0;
    return static_cast<qint16>(rounded);
}

std::optional<Refusal> LoadWorkingWeek(
    const QString &folder, QStringList &lstWorkingWeek, WorkingWeekFlags &WorkingWeek)
{
    lstWorkingWeek.clear();
    if (auto refusal = unreadable(folder, SettingsFile::WorkingWeek))
        return refusal;
    lstWorkingWeek = LoadLines(readPathOf(folder, SettingsFile::WorkingWeek));
    for (int day = 1; day <= 7; ++day)
        WorkingWeek[day] = day - 1 < lstWorkingWeek.size() ? readWorkingWeekLine(lstWorkingWeek[day - 1]) : 0;
    return std::nullopt;
}

std::optional<Refusal> LoadWorkingHours(const QString &folder, WorkingHours &hours)
{
    if (auto refusal = unreadable(folder, SettingsFile::StartsAt))
        return refusal;
    hours.starts = withoutLineBreaks(LoadText(readPathOf(folder, SettingsFile::StartsAt)));
    if (auto refusal = unreadable(folder, SettingsFile::EndsAt))
        return refusal;
    hours.endsAt = withoutLineBreaks(LoadText(readPathOf(folder, SettingsFile::EndsAt)));
    return std::nullopt;
}

WorkingCalendar Settings::calendar(bool weekApplies) const
{
    return WorkingCalendar(WorkingWeek, weekApplies, daysOff);
}

void Settings::setDaysOff(std::vector<DayOff> days)
{
    daysOff = DaysOff::dates(days);
    namedDaysOff = std::move(days);
}

LoadedSettings loadSettings(const QString &folder, const SettingsRequest &request, Settings settings)
{
    LoadedSettings loaded;
    auto loadWeek = [&] {
        QStringList lines;
        if (auto refusal = LoadWorkingWeek(folder, lines, settings.WorkingWeek))
            loaded.messages << *refusal;
    };
    if (request.week && request.weekFirst)
        loadWeek();
    if (request.hours) {
        if (auto refusal = LoadWorkingHours(folder, settings.hours))
            loaded.messages << *refusal;
    }
    if (request.week && !request.weekFirst)
        loadWeek();
    loaded.settings = std::move(settings);
    if (!request.daysOff)
        return loaded;
    const bool named = request.daysOffFile.has_value();
    const QString path = named ? *request.daysOffFile : Paths::settingsFileToRead(folder, DaysOff::FileName);
    if (path.isEmpty())
        return loaded;
    const Refusable<DaysOffReading> reading = DaysOff::load(path, named);
    if (reading.refused()) {
        loaded.daysOffError = reading.refusal();
        return loaded;
    }
    for (const SkippedLine &line : reading->skipped)
        loaded.skippedDaysOff << DaysOff::describe(QFileInfo(path).fileName(), line);
    loaded.settings.setDaysOff(reading->days);
    return loaded;
}

std::optional<Refusal> loadHourChoices(const QString &folder, QStringList &choices)
{
    if (auto refusal = unreadable(folder, SettingsFile::Hours))
        return refusal;
    choices = LoadLines(readPathOf(folder, SettingsFile::Hours));
    return std::nullopt;
}

int firstChoiceWithin(const QStringList &choices, const QString &saved)
{
    for (int i = 0; i < choices.size(); ++i) {
        if (saved.contains(choices[i], Qt::CaseSensitive))
            return i;
    }
    return static_cast<int>(choices.size()) - 1;
}

std::optional<Refusal> SaveWorkingSettings(
    const QString &folder, const WorkingHours &hours, const WorkingWeekFlags &WorkingWeek)
{
    QStringList lstWorkingWeek;
    for (int day = 1; day <= 7; ++day)
        lstWorkingWeek << QString::number(WorkingWeek[day] == 1 ? 1 : 0);

    struct Write {
        const char *fileName;
        QString text;
        QStringList lines;
    };
    const Write writes[] = {
        { SettingsFile::StartsAt, hours.starts, {} },
        { SettingsFile::EndsAt, hours.endsAt, {} },
        { SettingsFile::WorkingWeek, {}, lstWorkingWeek },
    };

    // An installed program's person may save for the first time, before their settings folder exists.
    QDir().mkpath(folder);
    std::vector<Snapshot> written;
    for (const Write &write : writes) {
        const QString path = pathOf(folder, write.fileName);
        Snapshot before = snapshotOf(path);
        std::optional<Refusal> failed
            = write.lines.isEmpty() ? SaveText(write.text, path) : SaveLines(write.lines, path);
        if (failed) {
            for (auto it = written.rbegin(); it != written.rend(); ++it)
                restore(*it);
            return failed;
        }
        written.push_back(std::move(before));
    }
    return std::nullopt;
}

std::optional<Refusal> saveSettings(const QString &folder, const Settings &settings, SettingsParts parts)
{
    if (int(parts) & int(SettingsParts::All)) {
        if (std::optional<Refusal> failed = SaveWorkingSettings(folder, settings.hours, settings.WorkingWeek))
            return failed;
    }
    if (int(parts) & int(SettingsParts::DaysOff)) {
        const QString path = QDir(folder).filePath(DaysOff::FileName);
        // A person's first save over an installed program's file keeps that file's comments and blank lines.
        const QString shipped = Paths::settingsFileToRead(folder, DaysOff::FileName);
        if (shipped != path && QFileInfo::exists(shipped) && QDir().mkpath(folder) && QFile::copy(shipped, path))
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        if (std::optional<Refusal> failed = DaysOff::save(settings.namedDaysOff, path))
            return failed;
    }
    return std::nullopt;
}

} // namespace ambrel
