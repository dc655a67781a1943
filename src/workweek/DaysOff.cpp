#include "DaysOff.h"

#include "corekit/AtomicFile.h"
#include "corekit/Corekit.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace ambrel {

namespace {

// Far more than any list of holidays; a larger file is surely not one and must not stall the program.
constexpr qint64 kMaxFileBytes = 16 << 20;
// A skipped line is quoted in a message box; a pasted novel must not fill the screen.
constexpr qsizetype kMaxQuoted = 40;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Strictly YYYY-MM-DD with ASCII digits: QDate::fromString would also take other digits and forms.
QDate isoDate(QStringView token)
{
    if (token.size() != 10 || token[4] != QLatin1Char('-') || token[7] != QLatin1Char('-'))
        return {};
    for (qsizetype i : { 0, 1, 2, 3, 5, 6, 8, 9 }) {
        if (!isAsciiDigit(token[i]))
            return {};
    }
    return QDate(token.mid(0, 4).toInt(), token.mid(5, 2).toInt(), token.mid(8, 2).toInt());
}

QString quoted(QStringView token)
{
    if (token.size() <= kMaxQuoted)
        return QLatin1Char('"') + token.toString() + QLatin1Char('"');
    return QLatin1Char('"') + token.left(kMaxQuoted).toString() + QStringLiteral("…\"");
}

bool earlier(const DayOff &a, const DayOff &b)
{
    return a.date < b.date;
}

// The file's lines without their line ends. A file with any line feed is split at line feeds, so that a
// lone CR inside a line stays part of its name as it always did; one without is split at CRs.
QList<QStringView> fileLines(QStringView text)
{
    // Editors on Windows like to start UTF-8 files with a byte order mark; it is not part of line 1.
    if (text.startsWith(QChar(0xFEFF)))
        text = text.mid(1);
    const bool lineFeeds = text.contains(QLatin1Char('\n'));
    QList<QStringView> lines = text.split(lineFeeds ? QLatin1Char('\n') : QLatin1Char('\r'));
    if (lineFeeds) {
        for (QStringView &line : lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
    }
    return lines;
}

// What a line holds: a date, an invalid date for a comment or blank line, or nullopt for a first word
// that is not a date. *token is that first word; the name follows it.
std::optional<QDate> lineDate(QStringView line, QStringView *token)
{
    qsizetype start = 0;
    while (start < line.size() && line[start].isSpace())
        ++start;
    if (start == line.size() || line[start] == QLatin1Char('#'))
        return QDate();
    qsizetype end = start;
    while (end < line.size() && !isBlank(line[end]))
        ++end;
    *token = line.mid(start, end - start);
    const QDate date = isoDate(*token);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QStringView nameAfter(QStringView line, QStringView token)
{
    return line.mid(token.constData() - line.constData() + token.size());
}

QString dayLine(const DayOff &day)
{
    QString line = day.date.toString(Qt::ISODate);
    const QString name = DaysOff::cleanName(day.name);
    if (!name.isEmpty())
        line += QLatin1Char(' ') + name;
    return line;
}

} // namespace

DaysOffReading DaysOff::parse(const QString &text)
{
    DaysOffReading reading;
    int number = 0;
    for (QStringView line : fileLines(text)) {
        ++number;
        QStringView token;
        const std::optional<QDate> date = lineDate(line, &token);
        if (!date) {
            reading.skipped.push_back(
                { number, quoted(token) + QStringLiteral(" is not a date of the form YYYY-MM-DD") });
        } else if (date->isValid()) {
            reading.days.push_back({ *date, cleanName(nameAfter(line, token).toString()) });
        }
    }
    // Sorting once keeps a long file in any order fast; the first line naming a date gives its name.
    std::stable_sort(reading.days.begin(), reading.days.end(), earlier);
    reading.days.erase(std::unique(reading.days.begin(), reading.days.end(),
                           [](const DayOff &a, const DayOff &b) { return a.date == b.date; }),
        reading.days.end());
    return reading;
}

Refusable<DaysOffReading> DaysOff::load(const QString &path, bool mustExist)
{
    auto refuse = [&path](const QString &reason) {
        return Refusal { QStringLiteral("cannot read %1: %2").arg(path, reason) };
    };
    const QFileInfo info(path);
    if (!info.exists())
        return mustExist ? Refusable<DaysOffReading>(refuse(QStringLiteral("no such file")))
                         : DaysOffReading();
    if (!info.isFile())
        return refuse(QStringLiteral("it is not a file"));
    if (info.size() > kMaxFileBytes)
        return refuse(QStringLiteral("it is larger than %1 MiB").arg(kMaxFileBytes >> 20));
    QString reason;
    const QString text = LoadText(path, kMaxFileBytes, &reason);
    if (!reason.isEmpty())
        return refuse(reason);
    return parse(text);
}

QString DaysOff::describe(const QString &fileName, const SkippedLine &line)
{
    return QStringLiteral("%1 line %2: %3").arg(fileName).arg(line.number).arg(line.reason);
}

QString DaysOff::text(std::vector<DayOff> days, const QString &previous)
{
    std::stable_sort(days.begin(), days.end(), earlier);
    days.erase(std::unique(days.begin(), days.end(),
                   [](const DayOff &a, const DayOff &b) { return a.date == b.date; }),
        days.end());

    QStringList lines;
    std::vector<std::pair<QDate, qsizetype>> dayLines; // the date and place of each kept day's line
    std::vector<bool> placed(days.size(), false);
    QList<QStringView> previousLines = fileLines(previous);
    // The line break after the last line ends it; it does not start another.
    if (!previousLines.isEmpty() && previousLines.back().isEmpty())
        previousLines.removeLast();
    for (QStringView line : previousLines) {
        QStringView token;
        const std::optional<QDate> date = lineDate(line, &token);
        if (!date || !date->isValid()) {
            lines << line.toString();
            continue;
        }
        const auto day = std::lower_bound(days.begin(), days.end(), DayOff { *date, QString() }, earlier);
        const auto index = std::size_t(day - days.begin());
        // A day removed takes its line with it, and a day named twice keeps its first line.
        if (day == days.end() || day->date != *date || placed[index])
            continue;
        placed[index] = true;
        const bool sameName = cleanName(nameAfter(line, token).toString()) == cleanName(day->name);
        dayLines.emplace_back(*date, lines.size());
        lines << (sameName ? line.toString() : dayLine(*day));
    }
    if (lines.isEmpty())
        lines << Comment;

    // A new day goes after the line of the latest day before it, so that it lands in the person's order
    // and under their headings; with none before it, above the first day; with no days, at the end.
    std::sort(dayLines.begin(), dayLines.end());
    std::vector<qsizetype> lastPlaceBefore(dayLines.size()); // the latest place among the first k + 1
    qsizetype firstPlace = lines.size();
    for (std::size_t k = 0; k < dayLines.size(); ++k) {
        lastPlaceBefore[k] = std::max(k == 0 ? 0 : lastPlaceBefore[k - 1], dayLines[k].second);
        firstPlace = std::min(firstPlace, dayLines[k].second);
    }
    std::vector<std::pair<qsizetype, std::size_t>> inserts; // the place before which, and the day
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (placed[i])
            continue;
        const auto later = std::lower_bound(
            dayLines.begin(), dayLines.end(), std::pair<QDate, qsizetype>(days[i].date, -1));
        const auto before = std::size_t(later - dayLines.begin());
        inserts.emplace_back(before == 0 ? firstPlace : lastPlaceBefore[before - 1] + 1, i);
    }
    std::stable_sort(
        inserts.begin(), inserts.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    QString text;
    auto insert = inserts.cbegin();
    for (qsizetype place = 0; place <= lines.size(); ++place) {
        for (; insert != inserts.cend() && insert->first == place; ++insert)
            text += dayLine(days[insert->second]) + QLatin1Char('\n');
        if (place < lines.size())
            text += lines[place] + QLatin1Char('\n');
    }
    return text;
}

std::optional<Refusal> DaysOff::save(const std::vector<DayOff> &days, const QString &path)
{
    // A date outside these years has no YYYY-MM-DD form and would come back as a skipped line.
    for (const DayOff &day : days) {
        if (!day.date.isValid() || day.date.year() < 1 || day.date.year() > 9999)
            return couldNotSave(FileName, QStringLiteral("a day off lies outside the years 1 to 9999"));
    }
    // The person's comments, blank lines and order stay; a file that cannot be read has none to keep.
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    const QString previous
        = info.isFile() && info.size() <= kMaxFileBytes ? LoadText(path, kMaxFileBytes) : QString();
    QString reason;
    if (writeFileAtomically(path, text(days, previous).toUtf8(), &reason))
        return std::nullopt;
    return couldNotSave(FileName, reason);
}

bool DaysOff::insert(std::vector<DayOff> &days, DayOff day, bool rename)
{
    const auto place = std::lower_bound(days.begin(), days.end(), day, earlier);
    if (place != days.end() && place->date == day.date) {
        if (rename && !day.name.isEmpty())
            place->name = std::move(day.name);
        return false;
    }
    days.insert(place, std::move(day));
    return true;
}

QString DaysOff::cleanName(const QString &name)
{
    QString clean = name;
    for (QChar &c : clean) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return clean.trimmed();
}

std::vector<QDate> DaysOff::dates(const std::vector<DayOff> &days)
{
    std::vector<QDate> dates;
    dates.reserve(days.size());
    for (const DayOff &day : days)
        dates.push_back(day.date);
    return dates;
}

} // namespace ambrel
