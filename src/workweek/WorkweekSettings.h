#pragma once

#include "corekit/Refusal.h"
#include "workweek/DaysOff.h"
#include "workweek/WorkingCalendar.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ambrel {

// The settings files that hold the working week and the working day's hours, in the settings folder.
namespace SettingsFile {
inline constexpr auto WorkingWeek = "workingweek.txt";
inline constexpr auto StartsAt = "workingday_starts_at.txt";
inline constexpr auto EndsAt = "workingday_ends_at.txt";
inline constexpr auto Hours = "hours.txt";
} // namespace SettingsFile

// "Error: <file> file not found. Please reinstall the software."
QString missingFileMessage(const QString &fileName);

// One line of workingweek.txt as a 16-bit flag; a line that is no number, or a number beyond 16 bits, is 0.
qint16 readWorkingWeekLine(const QString &line);

// Each load returns the message to show when a file it needs is missing or cannot be read (the window that
// shows it gives the title); it then stops where it is.

// Reads workingweek.txt into lstWorkingWeek (its lines) and WorkingWeek (indices 1 to 7).
// Days beyond a short file keep 0. When the file is missing, WorkingWeek is left as it was.
std::optional<Refusal> LoadWorkingWeek(
    const QString &folder, QStringList &lstWorkingWeek, WorkingWeekFlags &WorkingWeek);

struct WorkingHours {
    QString starts; // txtStarts
    QString endsAt; // txtEndsAt
};

// The main window's hours: every line break is dropped, as a line break has no place in an hour.
// A missing begin file leaves both hours as they were; a missing end file keeps the begin hour read.
std::optional<Refusal> LoadWorkingHours(const QString &folder, WorkingHours &hours);

// The person's own settings, apart from any project: the working week, the working day's hours and the
// days off.
struct Settings {
    WorkingWeekFlags WorkingWeek {};
    WorkingHours hours;
    std::vector<QDate> daysOff;
    // The same days off with the names the days-off file gives them, for the window that edits them.
    std::vector<DayOff> namedDaysOff;

    // Sets both lists of days off from the named days, so that they cannot disagree.
    void setDaysOff(std::vector<DayOff> days);

    // The working days as the scheduling counts them; when the week does not apply every day counts.
    WorkingCalendar calendar(bool weekApplies) const;
};

enum class SettingsParts { Week = 1, Hours = 2, All = 3, DaysOff = 4 };

// What a face asks of the one settings loader: which settings files to read (an option given in their
// place needs no file) and where the days off come from.
struct SettingsRequest {
    bool week = true;
    bool hours = true;
    bool daysOff = true;
    // The command line has always told a missing week file before missing hour files; the window the other
    // way round.
    bool weekFirst = false;
    // Empty: holidays.txt in the settings folder, whose absence means no days off. A named file must be
    // there; a named empty path means no days off.
    std::optional<QString> daysOffFile;
};

// The settings as loaded, with what the person is to be told.
struct LoadedSettings {
    Settings settings;
    // A settings file missing or unreadable, in the order they arose (hours first); the part keeps what it
    // held before.
    QList<Refusal> messages;
    // "holidays.txt line N: ..." for each line of the days-off file that names no date.
    QStringList skippedDaysOff;
    // The days-off file that could not be read, and why; the days off are then empty.
    std::optional<Refusal> daysOffError;
};

// Reads the asked parts from the settings folder over the given settings, with one rule for every face: a
// missing holidays.txt is no days off, silently; an unreadable one, or a missing file named on purpose, is
// an error naming the path.
LoadedSettings loadSettings(const QString &folder, const SettingsRequest &request = {}, Settings settings = {});

// Reads only hours.txt, the hour choices the working-week window offers, in file order; an installed
// program's person has none of their own and is offered the shipped ones.
std::optional<Refusal> loadHourChoices(const QString &folder, QStringList &choices);

// The first choice, in order, that occurs inside saved (case-sensitive); the last choice when none does;
// -1 when there are no choices.
int firstChoiceWithin(const QStringList &choices, const QString &saved);

// Writes both hour files, then workingweek.txt (seven lines of 0 or 1, Monday first).
// All or nothing: when any write fails, files already written get their earlier content back and the
// refusal names the file and the reason.
std::optional<Refusal> SaveWorkingSettings(
    const QString &folder, const WorkingHours &hours, const WorkingWeekFlags &WorkingWeek);

// The save side of the one settings loader: writes the asked parts of the settings into the folder. The week
// and the hours are written together (as SaveWorkingSettings does), the days off into holidays.txt over its
// earlier text. Nothing, or what went wrong naming the file; a failed part leaves its files as they were.
std::optional<Refusal> saveSettings(const QString &folder, const Settings &settings, SettingsParts parts);

} // namespace ambrel
