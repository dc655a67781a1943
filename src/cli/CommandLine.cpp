#include "CommandLine.h"
#include "cli/CalendarDaysOff.h"

#include "PublishCommand.h"

#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "corekit/TextFormat.h"
#include "export/EventRow.h"
#include "export/IcsWriter.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "schedule/LineHints.h"
#include "timeline/TimelineData.h"
#include "timeline/TimelineExport.h"
#include "workweek/WorkweekSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QTextStream>

#include <cstring>

namespace ambrel {

namespace {

const char kUsage[]
    = "Usage: ambrel-cli [options] [FILE]\n"
      "Builds the schedule of the task lines in FILE, or in standard input when FILE is absent or \"-\".\n"
      "A FILE whose first line is \"Ambrel project 1\" is a project file: its header gives the name, the\n"
      "start and the working-week switch, and the options below override them.\n"
      "\n"
      "  --project NAME      project name (default \"My Project\")\n"
      "  --today DATE        the date taken as today, YYYY-MM-DD (default: the system's date)\n"
      "  --start DATE        start on this date, YYYY-MM-DD (default: right away)\n"
      "  --week FLAGS        seven characters 0 or 1, Monday first, e.g. 1111100\n"
      "                      (default: workingweek.txt beside the program)\n"
      "  --calendar-days     every day counts, not only the working week\n"
      "  --begins TEXT       the working day's begin hour (default: workingday_starts_at.txt)\n"
      "  --ends TEXT         the working day's end hour (default: workingday_ends_at.txt)\n"
      "  --events            print the calendar events instead of the tasks\n"
      "  --status            add a Status column: each task's status on the date --today gives\n"
      "  --csv FILE          also write the calendar export file to FILE\n"
      "  --ics FILE          also write the calendar as an iCalendar file to FILE\n"
      "  --days-off FILE     the days off, one YYYY-MM-DD [name] a line (default: holidays.txt beside the\n"
      "                      program when it is there); --days-off \"\" means none. An iCalendar (.ics)\n"
      "                      FILE, such as a public-holiday calendar, gives the days of its all-day events\n"
      "  --timeline FILE     also draw the timeline to FILE: .png, .svg or .pdf\n"
      "  --publish URL       also publish the calendar events to the CalDAV calendar at URL; the password\n"
      "                      comes from the URL, else AMBREL_PASSWORD, else it is asked on the terminal\n"
      "  --user NAME         the calendar server's user name, with --publish (unless the URL names one)\n"
      "  --overwrite         with --publish, also replace events edited on the server since\n"
      "  --insecure          with --publish, allow plain http to a host that is not this machine\n"
      "  --trust-certificate SHA256\n"
      "                      with --publish, trust the server's certificate with this SHA-256 fingerprint\n"
      "                      (as openssl x509 -noout -fingerprint -sha256 prints it)\n"
      "  --wait-parallel     the task after a parallel group waits until every task of the group ended\n"
      "  --csv-per-day       the --csv file holds one event per working day, working hours only\n"
      "  --help              show this text\n";

const char kNoWorkingDay[] = "Your working week has no working days. Give at least one with --week "
                             "(e.g. --week 1111100) or in workingweek.txt, or count every day with "
                             "--calendar-days.\n";

struct Options {
    std::optional<QString> project;
    QDate today;
    QDate start;
    std::optional<WorkingWeekFlags> week;
    bool calendarDays = false;
    std::optional<QString> begins;
    std::optional<QString> ends;
    bool events = false;
    bool status = false;
    QString csvPath;
    QString icsPath;
    std::optional<QString> daysOffPath;
    QString timelinePath;
    bool waitParallel = false;
    bool csvPerDay = false;
    QString file;
    bool help = false;
    std::optional<PublishRequest> publish;
    std::optional<QString> user;
    bool overwrite = false;
    bool insecure = false;
    QList<QByteArray> trusted;
};

QDate parseDate(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(text).hasMatch())
        return {};
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return date.isValid() && date.year() >= 1 ? date : QDate();
}

std::optional<WorkingWeekFlags> parseWeek(const QString &text)
{
    if (text.size() != 7)
        return std::nullopt;
    WorkingWeekFlags week {};
    for (int day = 1; day <= 7; ++day) {
        const QChar flag = text[day - 1];
        if (flag != QLatin1Char('0') && flag != QLatin1Char('1'))
            return std::nullopt;
        week[day] = flag == QLatin1Char('1') ? 1 : 0;
    }
    return week;
}

// Refuses bad usage, saying what is wrong.
std::optional<Refusal> parseOptions(const QStringList &arguments, Options &options)
{
    auto refuse = [](const QString &text) { return std::optional<Refusal>(Refusal { text }); };
    bool filesOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        auto value = [&](QString *out) -> bool {
            if (i + 1 >= arguments.size())
                return false;
            *out = arguments[++i];
            return true;
        };
        QString text;
        if (filesOnly || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
            if (!options.file.isNull())
                return refuse(QStringLiteral("only one FILE can be given"));
            options.file = argument;
        } else if (argument == QLatin1String("--")) {
            filesOnly = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument == QLatin1String("--calendar-days")) {
            options.calendarDays = true;
        } else if (argument == QLatin1String("--events")) {
            options.events = true;
        } else if (argument == QLatin1String("--status")) {
            options.status = true;
        } else if (argument == QLatin1String("--wait-parallel")) {
            options.waitParallel = true;
        } else if (argument == QLatin1String("--csv-per-day")) {
            options.csvPerDay = true;
        } else if (argument == QLatin1String("--project")) {
            if (!value(&options.project.emplace()))
                return refuse(QStringLiteral("--project needs a NAME"));
        } else if (argument == QLatin1String("--today") || argument == QLatin1String("--start")) {
            if (!value(&text))
                return refuse(QStringLiteral("%1 needs a DATE").arg(argument));
            const QDate date = parseDate(text);
            if (!date.isValid())
                return refuse(
                    QStringLiteral("%1: \"%2\" is not a date of the form YYYY-MM-DD").arg(argument, text));
            (argument == QLatin1String("--today") ? options.today : options.start) = date;
        } else if (argument == QLatin1String("--week")) {
            if (!value(&text))
                return refuse(QStringLiteral("--week needs FLAGS"));
            options.week = parseWeek(text);
            if (!options.week)
                return refuse(QStringLiteral("--week: \"%1\" is not seven characters 0 or 1").arg(text));
        } else if (argument == QLatin1String("--begins") || argument == QLatin1String("--ends")) {
            if (!value(&text))
                return refuse(QStringLiteral("%1 needs a TEXT").arg(argument));
            (argument == QLatin1String("--begins") ? options.begins : options.ends) = text;
        } else if (argument == QLatin1String("--csv")) {
            if (!value(&options.csvPath) || options.csvPath.isEmpty())
                return refuse(QStringLiteral("--csv needs a FILE"));
        } else if (argument == QLatin1String("--ics")) {
            if (!value(&options.icsPath) || options.icsPath.isEmpty())
                return refuse(QStringLiteral("--ics needs a FILE"));
        } else if (argument == QLatin1String("--days-off")) {
            if (!value(&text))
                return refuse(QStringLiteral("--days-off needs a FILE (\"\" for none)"));
            options.daysOffPath = text;
        } else if (argument == QLatin1String("--timeline")) {
            if (!value(&options.timelinePath) || options.timelinePath.isEmpty())
                return refuse(QStringLiteral("--timeline needs a FILE"));
            if (!TimelineExport::formatForFile(options.timelinePath))
                return refuse(QStringLiteral("--timeline: \"%1\" does not end in .png, .svg or .pdf")
                                  .arg(options.timelinePath));
        } else if (argument == QLatin1String("--publish")) {
            if (!value(&text) || text.isEmpty())
                return refuse(QStringLiteral("--publish needs a URL"));
            options.publish.emplace().calendar = QUrl(text, QUrl::StrictMode);
        } else if (argument == QLatin1String("--user")) {
            if (!value(&options.user.emplace()))
                return refuse(QStringLiteral("--user needs a NAME"));
        } else if (argument == QLatin1String("--overwrite") || argument == QLatin1String("--insecure")) {
            (argument == QLatin1String("--overwrite") ? options.overwrite : options.insecure) = true;
        } else if (argument == QLatin1String("--trust-certificate")) {
            if (!value(&text))
                return refuse(QStringLiteral("--trust-certificate needs a SHA256 fingerprint"));
            options.trusted << certificateFingerprint(text);
            if (options.trusted.last().isEmpty())
                return refuse(
                    QStringLiteral("--trust-certificate: \"%1\" is not a SHA-256 fingerprint (64 hex digits, "
                                   "colons allowed)")
                        .arg(text));
        } else {
            return refuse(QStringLiteral("unknown option %1").arg(argument));
        }
    }
    if (!options.publish)
        return options.user || options.overwrite || options.insecure || !options.trusted.isEmpty()
            ? refuse(
                QStringLiteral("--user, --overwrite, --insecure and --trust-certificate go with --publish"))
            : std::nullopt;
    if (std::optional<Refusal> refusal = takeCredentials(*options.publish, options.user))
        return refusal;
    options.publish->overwrite = options.overwrite;
    options.publish->insecure = options.insecure;
    options.publish->trusted = options.trusted;
    const bool fromInput = options.file.isNull() || options.file == QLatin1String("-");
    options.publish->projectFile = fromInput ? QString() : QFileInfo(options.file).absoluteFilePath();
    return publishAddressRefusal(*options.publish);
}

void printRow(QTextStream &out, const QStringList &cells)
{
    out << cells.join(QLatin1Char('\t')) << '\n';
}

// The text as UTF-8 at the end of out; text all in ASCII, as most names are, is copied as it is.
void appendUtf8(QByteArray &out, QStringView text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char *byte = out.data() + at;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out.resize(at);
            out += text.toUtf8();
            return;
        }
        *byte++ = char(c.unicode());
    }
}

// One row of the task list as the command line prints it, prefix being the project name and ": ".
void appendTaskRow(QByteArray &out, const QByteArray &prefix, const TaskRow &task, bool status)
{
    // Copied by hand: QByteArray's own append takes the long way of a general insertion.
    const qsizetype at = out.size();
    out.resize(at + prefix.size());
    std::memcpy(out.data() + at, prefix.constData(), size_t(prefix.size()));
    appendUtf8(out, task.name);
    out += '\t';
    appendIsoDate(out, task.startDate);
    out += '\t';
    appendIsoDate(out, task.endDate);
    out += '\t';
    appendDayCount(out, task.dayCount);
    if (status) {
        out += '\t';
        appendUtf8(out, task.progress.value_or(TaskProgress {}).status);
    }
    out += '\n';
}

QByteArray titleRow(const QStringList &titles)
{
    return titles.join(QLatin1Char('\t')).toUtf8() + '\n';
}

// UTF-8 text of whole lines straight into the output's device: a million rows would otherwise each be
// converted on their way through the stream. Nothing is written to the stream before the task list, so
// nothing of it waits in the stream's buffer, and a failed write shows in the device as it did.
void writeText(QTextStream &out, const QByteArray &text)
{
    if (QIODevice *device = out.device())
        device->write(text);
    else
        out << QString::fromUtf8(text);
}

// The titles and the rows of the built schedule, in large pieces.
void printTasks(QTextStream &out, const QStringList &titles, const Project &project, bool status)
{
    constexpr qsizetype kPieceBytes = 64 * 1024;
    QByteArray piece = titleRow(titles);
    piece.reserve(kPieceBytes + 1024);
    const QByteArray prefix = (project.schedule().projectName + QLatin1String(": ")).toUtf8();
    for (const TaskRow &task : project.tasks()) {
        appendTaskRow(piece, prefix, task, status);
        if (piece.size() >= kPieceBytes) {
            writeText(out, piece);
            piece.resize(0);
        }
    }
    writeText(out, piece);
}

// The person's settings for this run: options stand in for the files they name, and only the files no
// option stands in for are read. Nothing when the days-off file cannot be read.
std::optional<Settings> readSettings(const Options &options, bool weekApplies, QTextStream &err)
{
    // A calendar file of days off, such as a public-holiday calendar, is read here, as the settings loader
    // knows only lists of dates.
    std::optional<Refusable<CalendarDaysOff>> calendar;
    if (weekApplies && options.daysOffPath && !options.daysOffPath->isEmpty())
        calendar = readCalendarDaysOff(
            *options.daysOffPath, (options.today.isValid() ? options.today : Clock::today()).year());
    if (calendar && calendar->refused()) {
        err << "ambrel-cli: cannot read " << *options.daysOffPath << ": " << calendar->refusal().text << '\n';
        return std::nullopt;
    }
    SettingsRequest request;
    request.week = !options.week && weekApplies;
    request.hours = !options.begins || !options.ends;
    request.daysOff = weekApplies && !calendar;
    request.daysOffFile = options.daysOffPath;
    request.weekFirst = true;
    LoadedSettings loaded = loadSettings(Paths::settingsFolder(), request);
    for (const Refusal &message : loaded.messages)
        err << "ambrel-cli: " << message.text << '\n';
    if (loaded.daysOffError) {
        err << "ambrel-cli: " << loaded.daysOffError->text << '\n';
        return std::nullopt;
    }
    for (const QString &line : loaded.skippedDaysOff)
        err << line << '\n';
    Settings &settings = loaded.settings;
    if (calendar) {
        for (const QString &line : (*calendar)->warnings)
            err << line << '\n';
        settings.daysOff = (*calendar)->dates;
    }
    if (options.week)
        settings.WorkingWeek = *options.week;
    if (options.begins)
        settings.hours.starts = *options.begins;
    if (options.ends)
        settings.hours.endsAt = *options.ends;
    return settings;
}

// The files the options ask for: the CSV, the iCalendar file and the timeline picture. False, having said
// why, at the first that cannot be written.
bool writeFiles(const Options &options, const Project &project, const QDate &today, QTextStream &err)
{
    // As cp and a shell redirect do, a file goes only into a folder that is there.
    for (const QString &path : { options.csvPath, options.icsPath, options.timelinePath }) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!path.isEmpty() && !QFileInfo(folder).isDir()) {
            err << "ambrel-cli: cannot write " << path << ": the folder " << QDir::toNativeSeparators(folder)
                << " does not exist\n";
            return false;
        }
    }
    std::optional<Refusal> failed;
    if (!options.csvPath.isEmpty())
        failed = project.exportCalendarCsv(
            options.csvPath, options.csvPerDay ? CsvLayout::PerDay : CsvLayout::Runs);
    if (!failed && !options.icsPath.isEmpty())
        failed = project.exportCalendarIcs(options.icsPath, Clock::now());
    if (!failed && !options.timelinePath.isEmpty())
        failed = TimelineExport::write(TimelineData::fromProject(project, today), options.timelinePath);
    const bool written = !failed;
    if (!written)
        err << "ambrel-cli: " << failed->text << '\n';
    return written;
}

} // namespace

int runCommandLine(const QStringList &arguments, QIODevice *input, QTextStream &out, QTextStream &err)
{
    Options options;
    if (const std::optional<Refusal> usage = parseOptions(arguments, options)) {
        err << "ambrel-cli: " << usage->text << "\nTry 'ambrel-cli --help'.\n";
        return 2;
    }
    if (options.help) {
        out << kUsage;
        return 0;
    }

    // Bounded and checked as the window reads files: endless or non-UTF-8 input is refused, not taken.
    const bool fromInput = options.file.isNull() || options.file == QLatin1String("-");
    // A file that cannot be opened at all keeps the words scripts have seen before.
    QFile file(options.file);
    if (!fromInput && !QFileInfo(options.file).isReadable() && !file.open(QIODevice::ReadOnly)) {
        err << "ambrel-cli: cannot read " << options.file << ": " << file.errorString() << '\n';
        return 2;
    }
    const Refusable<ProjectFileContent> read = fromInput
        ? readProjectOrTaskText(*input, QStringLiteral("standard input"))
        : loadProjectOrTaskText(options.file);
    if (read.refused()) {
        err << "ambrel-cli: " << read.refusal().text << '\n';
        return 2;
    }
    ProjectFileContent content = *read;
    // What the command line says wins over what the file says.
    if (options.project)
        content.name = *options.project;
    // A file's start is the saved plan's own and opens on any later day; --start is a date picked now.
    bool startIsSaved = content.startOnPickedDate;
    if (options.start.isValid()) {
        content.startOnPickedDate = true;
        content.pickedStartDate = options.start;
        startIsSaved = false;
    }
    if (options.waitParallel)
        content.waitForParallel = true;
    if (options.calendarDays)
        content.workingWeekApplies = false;

    const QDate today = options.today.isValid() ? options.today : Clock::today();
    Project project;
    project.begin(today);
    project.setTaskText(content.taskText);
    project.setName(content.name);
    project.setId(content.id);
    project.setStartOnPickedDate(content.startOnPickedDate);
    if (content.startOnPickedDate)
        project.setPickedStartDate(content.pickedStartDate);
    project.setWorkingWeekApplies(content.workingWeekApplies);
    project.setStartIsSaved(startIsSaved);
    project.setWaitForParallel(content.waitForParallel);

    const std::optional<Settings> settings = readSettings(options, content.workingWeekApplies, err);
    if (!settings)
        return 2;
    project.setSettings(*settings);

    // What the grammar read differently from what a person may have meant; the output stays as it is.
    // The command line writes the hints' numbers with a point, whatever the desktop's locale, and the
    // build works them out as it reads each line.
    const QLocale desktop;
    QLocale::setDefault(QLocale::c());
    // A plain task list needs each row once, so it is written out as the build lays the rows down rather
    // than from a schedule holding every row; it is printed only once the whole build has succeeded.
    const bool listOnly = !options.events && !options.publish && options.csvPath.isEmpty()
        && options.icsPath.isEmpty() && options.timelinePath.isEmpty();
    QStringList titles = taskColumnTitles();
    if (options.status)
        titles << QStringLiteral("Status");
    QByteArray listed;
    std::vector<LineHint> rowHints;
    const auto listRow = [&, prefix = (content.name + QLatin1String(": ")).toUtf8()](const TaskRow &task) {
        QString hint = shownHint(task, content.waitForParallel, &formatIsoDate);
        if (!hint.isEmpty())
            rowHints.push_back({ task.lineNumber, std::move(hint) });
        appendTaskRow(listed, prefix, task, options.status);
    };
    if (listOnly)
        listed = titleRow(titles);
    const std::optional<Refusal> refused
        = listOnly ? project.rebuildEachRow(today, listRow) : project.rebuild(today);
    const int daysPerWeek = project.calendar().workingDaysPerWeek();
    const std::vector<LineHint> hints = refused ? taskTextHints(content.taskText, daysPerWeek)
        : listOnly                              ? std::move(rowHints)
                                                : scheduleHints(project.schedule(), &formatIsoDate);
    for (const LineHint &hint : hints)
        err << "line " << hint.lineNumber << ": " << hint.text << '\n';
    QLocale::setDefault(desktop);

    if (const auto &refusal = refused) {
        const bool pastStart = project.startsOnPickedDate() && project.pickedStartDate() < today;
        // The window's words point to its Settings; here the week comes from --week or workingweek.txt.
        if (!pastStart && !project.calendar().hasWorkingDay())
            err << kNoWorkingDay;
        else
            err << refusal->text << '\n';
        return 1;
    }

    if (!writeFiles(options, project, today, err))
        return 1;
    // A task text has no Id of its own: its events keep the UIDs its name gives them.
    if (options.publish)
        return publishProject(project, lastingProjectId(content.id, content.name), *options.publish, out, err);

    if (options.events) {
        printRow(out, eventColumnTitles());
        QStringList cells;
        for (const EventRow &event : calendarEventRows(project.schedule())) {
            cells.clear();
            for (int column = 0; column < EventRow::ColumnCount; ++column)
                cells << event.cell(column, &formatIsoDate);
            printRow(out, cells);
        }
    } else if (listOnly) {
        writeText(out, listed);
    } else {
        printTasks(out, titles, project, options.status);
    }
    return 0;
}

} // namespace ambrel
