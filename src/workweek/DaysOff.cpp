#include "DaysOff.h"

#include "corekit/Corekit.h"

#include <QFileInfo>

#include <algorithm>

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

} // namespace

DaysOffReading DaysOff::parse(const QString &text)
{
    DaysOffReading reading;
    QStringView rest(text);
    // Editors on Windows like to start UTF-8 files with a byte order mark; it is not part of line 1.
    if (rest.startsWith(QChar(0xFEFF)))
        rest = rest.mid(1);

    int number = 0;
    for (QStringView line : rest.split(QLatin1Char('\n'))) {
        ++number;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        qsizetype start = 0;
        while (start < line.size() && line[start].isSpace())
            ++start;
        if (start == line.size() || line[start] == QLatin1Char('#'))
            continue;
        qsizetype end = start;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        const QStringView token = line.mid(start, end - start);
        const QDate date = isoDate(token);
        if (!date.isValid()) {
            reading.skipped.push_back(
                { number, quoted(token) + QStringLiteral(" is not a date of the form YYYY-MM-DD") });
            continue;
        }
        reading.days.push_back({ date, cleanName(line.mid(end).toString()) });
    }
    // Sorting once keeps a long file in any order fast; the first line naming a date gives its name.
    std::stable_sort(reading.days.begin(), reading.days.end(), earlier);
    reading.days.erase(std::unique(reading.days.begin(), reading.days.end(),
                           [](const DayOff &a, const DayOff &b) { return a.date == b.date; }),
        reading.days.end());
    return reading;
}

DaysOffReading DaysOff::load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    DaysOffReading failed;
    if (!info.isFile()) {
        failed.error = QStringLiteral("it is not a file");
        return failed;
    }
    if (info.size() > kMaxFileBytes) {
        failed.error = QStringLiteral("it is larger than %1 MiB").arg(kMaxFileBytes >> 20);
        return failed;
    }
    QString error;
    const QString text = LoadText(path, kMaxFileBytes, &error);
    if (!error.isEmpty()) {
        failed.error = error;
        return failed;
    }
    return parse(text);
}

QString DaysOff::describe(const QString &fileName, const SkippedLine &line)
{
    return QStringLiteral("%1 line %2: %3").arg(fileName).arg(line.number).arg(line.reason);
}

QString DaysOff::text(std::vector<DayOff> days)
{
    std::stable_sort(days.begin(), days.end(), earlier);
    QString text = Comment + QLatin1Char('\n');
    QDate previous;
    for (const DayOff &day : days) {
        if (day.date == previous)
            continue;
        previous = day.date;
        text += day.date.toString(Qt::ISODate);
        const QString name = cleanName(day.name);
        if (!name.isEmpty())
            text += QLatin1Char(' ') + name;
        text += QLatin1Char('\n');
    }
    return text;
}

bool DaysOff::save(const std::vector<DayOff> &days, const QString &path, QString *error)
{
    // A date outside these years has no YYYY-MM-DD form and would come back as a skipped line.
    for (const DayOff &day : days) {
        if (!day.date.isValid() || day.date.year() < 1 || day.date.year() > 9999) {
            if (error)
                *error = QStringLiteral("a day off lies outside the years 1 to 9999");
            return false;
        }
    }
    return SaveText(text(days), path, error);
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
