#include "CommandLine.h"

#include "corekit/Clock.h"
#include "corekit/ProgramFolder.h"
#include "corekit/TextFormat.h"
#include "export/CsvWriter.h"
#include "schedule/ScheduleBuilder.h"
#include "schedule/TaskListModel.h"
#include "workweek/WorkweekSettings.h"

#include <QFile>
#include <QIODevice>
#include <QRegularExpression>
#include <QTextStream>

namespace ambrel {

namespace {

const char kUsage[]
    = "Usage: ambrel-cli [options] [FILE]\n"
      "Builds the schedule of the task lines in FILE, or in standard input when FILE is absent or \"-\".\n"
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
      "  --csv FILE          also write the calendar export file to FILE\n"
      "  --help              show this text\n";

struct Options {
    QString project = QStringLiteral("My Project");
    QDate today;
    QDate start;
    std::optional<WorkingWeekFlags> week;
    bool calendarDays = false;
    std::optional<QString> begins;
    std::optional<QString> ends;
    bool events = false;
    QString csvPath;
    QString file;
    bool help = false;
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

// Returns an error message for bad usage, or an empty string.
QString parseOptions(const QStringList &arguments, Options &options)
{
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
                return QStringLiteral("only one FILE can be given");
            options.file = argument;
        } else if (argument == QLatin1String("--")) {
            filesOnly = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument == QLatin1String("--calendar-days")) {
            options.calendarDays = true;
        } else if (argument == QLatin1String("--events")) {
            options.events = true;
        } else if (argument == QLatin1String("--project")) {
            if (!value(&options.project))
                return QStringLiteral("--project needs a NAME");
        } else if (argument == QLatin1String("--today") || argument == QLatin1String("--start")) {
            if (!value(&text))
                return QStringLiteral("%1 needs a DATE").arg(argument);
            const QDate date = parseDate(text);
            if (!date.isValid())
                return QStringLiteral("%1: \"%2\" is not a date of the form YYYY-MM-DD").arg(argument, text);
            (argument == QLatin1String("--today") ? options.today : options.start) = date;
        } else if (argument == QLatin1String("--week")) {
            if (!value(&text))
                return QStringLiteral("--week needs FLAGS");
            options.week = parseWeek(text);
            if (!options.week)
                return QStringLiteral("--week: \"%1\" is not seven characters 0 or 1").arg(text);
        } else if (argument == QLatin1String("--begins") || argument == QLatin1String("--ends")) {
            if (!value(&text))
                return QStringLiteral("%1 needs a TEXT").arg(argument);
            (argument == QLatin1String("--begins") ? options.begins : options.ends) = text;
        } else if (argument == QLatin1String("--csv")) {
            if (!value(&options.csvPath) || options.csvPath.isEmpty())
                return QStringLiteral("--csv needs a FILE");
        } else {
            return QStringLiteral("unknown option %1").arg(argument);
        }
    }
    return {};
}

void printRow(QTextStream &out, const QStringList &cells)
{
    out << cells.join(QLatin1Char('\t')) << '\n';
}

} // namespace

int runCommandLine(const QStringList &arguments, QIODevice *input, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString usageError = parseOptions(arguments, options);
    if (!usageError.isEmpty()) {
        err << "ambrel-cli: " << usageError << '\n' << kUsage;
        return 2;
    }
    if (options.help) {
        out << kUsage;
        return 0;
    }

    QByteArray bytes;
    if (options.file.isNull() || options.file == QLatin1String("-")) {
        bytes = input->readAll();
    } else {
        QFile file(options.file);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "ambrel-cli: cannot read " << options.file << ": " << file.errorString() << '\n';
            return 2;
        }
        bytes = file.readAll();
    }
    QString todoText = QString::fromUtf8(bytes);
    todoText.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    todoText.replace(QLatin1Char('\n'), QLatin1String("\r\n"));

    const QString folder = ProgramFolder::path();
    WorkingWeekFlags week {};
    if (options.week) {
        week = *options.week;
    } else if (!options.calendarDays) {
        QStringList lines;
        if (const auto message = LoadWorkingWeek(folder, lines, week))
            err << "ambrel-cli: " << *message << '\n';
    }
    WorkingHours hours;
    if (!options.begins || !options.ends) {
        WorkingHours loaded;
        if (const auto message = LoadWorkingHours(folder, loaded))
            err << "ambrel-cli: " << *message << '\n';
        hours = loaded;
    }
    if (options.begins)
        hours.starts = *options.begins;
    if (options.ends)
        hours.endsAt = *options.ends;

    const QDate today = options.today.isValid() ? options.today : Clock::today();
    ScheduleState state;
    state.TaskStart = today;
    state.PickedStartDate = options.start.isValid() ? options.start : today;

    ScheduleRequest request;
    request.todoText = todoText;
    request.projectName = options.project;
    request.startOnPickedDate = options.start.isValid();
    request.calendar = WorkingCalendar(week, !options.calendarDays);
    request.startsAt = hours.starts;
    request.endsAt = hours.endsAt;

    Schedule schedule;
    if (const auto refusal = ScheduleBuilder::build(state, request, today, schedule)) {
        err << refusal->text << '\n';
        return 1;
    }

    if (!options.csvPath.isEmpty()) {
        QString error;
        if (!WriteCalendarCSV(options.csvPath, schedule.events, &error)) {
            err << "ambrel-cli: " << error << '\n';
            return 1;
        }
    }

    if (options.events) {
        printRow(out, eventColumnTitles());
        QStringList cells;
        for (const EventRow &event : schedule.events) {
            cells.clear();
            for (int column = 0; column < EventRow::ColumnCount; ++column)
                cells << event.cell(column, &formatIsoDate);
            printRow(out, cells);
        }
    } else {
        printRow(out, TaskListModel::columnTitles());
        for (const TaskRow &task : schedule.tasks) {
            printRow(out,
                { task.text, formatIsoDate(task.startDate), formatIsoDate(task.endDate),
                    formatDayCount(task.dayCount, QLocale::c()) });
        }
    }
    return 0;
}

} // namespace ambrel
