#include "LineHints.h"

#include "corekit/TextFormat.h"
#include "schedule/ScheduleBuilder.h"
#include "schedule/TaskLine.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace ambrel {

namespace {

// Text from the line as a hint can quote it: control characters gone, blanks collapsed, kept short.
QString quoted(QStringView text)
{
    constexpr qsizetype shown = 20;
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        clean += c.isSurrogate() || c.isPrint() ? c : QLatin1Char(' ');
    clean = clean.simplified();
    if (clean.size() > shown) {
        // Never cut a character that takes two UTF-16 units in half.
        const qsizetype cut = clean.at(shown - 1).isHighSurrogate() ? shown - 1 : shown;
        clean = clean.left(cut) + QChar(0x2026);
    }
    return clean;
}

QString days(double count, const QLocale &locale)
{
    // A count of hundreds of digits is told in short; the full number says nothing more.
    const QString number
        = std::abs(count) < 1e15 ? formatDayCount(count, locale) : locale.toString(count, 'g', 6);
    return std::abs(count) == 1 ? number + QLatin1String(" day") : number + QLatin1String(" days");
}

QString spelled(double count)
{
    static const char *const words[] = { "one", "two", "three", "four", "five", "six", "seven", "eight",
        "nine", "ten", "eleven", "twelve" };
    if (count >= 1 && count <= 12)
        return QString::fromLatin1(words[int(count) - 1]);
    return QString::number(count, 'f', 0);
}

bool isWeekWord(const QString &word)
{
    static const QStringList weekWords { QStringLiteral("week"), QStringLiteral("weeks"),
        QStringLiteral("wk"), QStringLiteral("wks"), QStringLiteral("w") };
    return weekWords.contains(word, Qt::CaseInsensitive);
}

// Says what became of the text the number reading left unread, and what to write instead.
QString unreadTextHint(
    const QString &line, const QString &durationText, qsizetype used, double dayCount, int workingDaysPerWeek)
{
    const QLocale locale;
    const QString readAs = QStringLiteral("Read as %1: ").arg(days(dayCount, locale));
    const QStringView rest = QStringView(durationText).mid(used);
    const QString unread = quoted(rest);
    const QString restText = rest.toString().trimmed();

    if (used == 0 && restText.indexOf(QLatin1Char('+')) > 0) {
        QString name = line.left(line.indexOf(QLatin1Char('+')));
        name = quoted(name.remove(QLatin1String("//")));
        if (name.isEmpty())
            return readAs + QLatin1String("the first \"+\" starts the duration, so the task has no name.");
        return readAs
            + QStringLiteral("the first \"+\" starts the duration, so the task is named \"%1\".").arg(name);
    }
    if (used > 0 && restText.startsWith(QLatin1Char('+'))) {
        return readAs
            + QStringLiteral("the second \"+\" ends the duration, so \"%1\" is not counted.").arg(unread);
    }

    const bool wholeCount = dayCount >= 1 && dayCount <= 100'000 && dayCount == std::floor(dayCount);
    if (used > 0 && wholeCount && isWeekWord(unread) && workingDaysPerWeek > 0) {
        const bool one = dayCount == 1;
        return readAs
            + QStringLiteral("\"%1\" is not understood. For %2 %3 write \"+ %4 days\".")
                  .arg(unread, spelled(dayCount), one ? QLatin1String("week") : QLatin1String("weeks"),
                      QString::number(dayCount * workingDaysPerWeek, 'f', 0));
    }

    // "2,5" written the way many locales write a fraction.
    static const QRegularExpression digitsOnly(QStringLiteral("^-?[0-9]+$"));
    static const QRegularExpression commaFraction(QStringLiteral("^,[ \\t]*([0-9]+)"));
    QString usedText = durationText.left(used);
    usedText.remove(QRegularExpression(QStringLiteral("[ \\t\\n+]")));
    const QRegularExpressionMatch fraction = commaFraction.match(restText);
    constexpr qsizetype longestQuotedNumber = 15;
    if (used > 0 && fraction.hasMatch() && digitsOnly.match(usedText).hasMatch()
        && usedText.size() <= longestQuotedNumber && fraction.capturedLength(1) <= longestQuotedNumber) {
        return readAs
            + QStringLiteral("the comma is not understood; for %1.%2 days write \"+ %1.%2\".")
                  .arg(usedText, fraction.captured(1));
    }

    if (unread.isEmpty()) {
        return readAs
            + (used > 0 ? QLatin1String("the text after the number is not understood.")
                        : QLatin1String("the text after the \"+\" is not understood."));
    }
    return readAs
        + QStringLiteral("\"%1\" is not understood. Write a number of days, as \"+ 3 days\".").arg(unread);
}

} // namespace

QString lineHint(const QString &line, int workingDaysPerWeek)
{
    return lineHint(line, ReadTaskLine(line), workingDaysPerWeek);
}

QString lineHint(const QString &line, const TaskLine &task, int workingDaysPerWeek)
{
    if (!task.unreadGroup.isEmpty()) {
        return QStringLiteral("\"%1\" is not a mark, so the whole line is read as it stands. Marks are "
                              "[done], [N%], [after NAME], [wait N], [from YYYY-MM-DD] and [milestone].")
            .arg(quoted(task.unreadGroup));
    }
    // A milestone takes no days, so nothing its count says matters.
    if (task.marks.milestone)
        return {};
    const double dayCount = task.dayCount;
    // Most lines read as written: a whole number of days, at least one. They are told apart before
    // anything else is made, as a build asks this of every line.
    const bool whole = !std::isfinite(dayCount) || dayCount == std::floor(dayCount);
    if (!task.unreadDuration && dayCount >= 1 && whole)
        return {};
    const QLocale locale;

    // Unread text comes first: when the line was misread, what became of the number matters less.
    if (task.unreadDuration) {
        qsizetype baseEnd = task.marksAt < 0 ? line.size() : task.marksAt;
        while (baseEnd > 0 && (line[baseEnd - 1] == QLatin1Char(' ') || line[baseEnd - 1] == QLatin1Char('\t')))
            --baseEnd;
        const QString base = line.left(baseEnd);
        const QString durationText = DurationText(base);
        qsizetype used = 0;
        ReadNumber(durationText, &used);
        return unreadTextHint(base, durationText, used, dayCount, workingDaysPerWeek);
    }

    if (dayCount < 0) {
        return QStringLiteral("Read as %1: the task ends before it starts and gets no calendar event.")
            .arg(days(dayCount, locale));
    }
    if (dayCount == 0.5)
        return QStringLiteral("Half a day gets no calendar event.");
    if (dayCount < 1) {
        return QStringLiteral("Read as %1: less than a whole day gets no calendar event.")
            .arg(days(dayCount, locale));
    }
    if (std::isfinite(dayCount) && dayCount != std::floor(dayCount)) {
        // The row spans the count less one, rounded half to even, plus its first day; events take whole days.
        const double shown = std::nearbyint(dayCount - 1.0) + 1.0;
        return QStringLiteral("%1: the list shows %2, the calendar gets %3.")
            .arg(days(dayCount, locale), days(shown, locale), formatDayCount(std::floor(dayCount), locale));
    }
    return {};
}

std::vector<LineHint> taskTextHints(const QString &text, int workingDaysPerWeek)
{
    std::vector<LineHint> hints;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // An empty line makes no task, so there is nothing to hint at.
        if (line.isEmpty())
            continue;
        QString hint = lineHint(line, workingDaysPerWeek);
        if (!hint.isEmpty())
            hints.push_back({ int(i + 1), std::move(hint) });
    }
    return hints;
}

QString overlapHint(const QString &name, const QString &endText, bool waitForParallel)
{
    const QString overlap = QStringLiteral("Starts before \"%1\" ends (%2). ").arg(quoted(name), endText);
    if (waitForParallel) {
        return overlap
            + QLatin1String(
                "Waiting for parallel tasks is on, so a task above ends before it starts: give it "
                "a positive number of days to make this line wait.");
    }
    return overlap
        + QStringLiteral("To make it wait, turn on Tasks %1 Wait for parallel tasks (ambrel-cli "
                         "--wait-parallel; \"Parallel: wait\" in a project file).")
              .arg(QChar(0x2192));
}

QString missingAfterHint(const QStringList &missing, bool none)
{
    QStringList names;
    for (const QString &name : missing)
        names << QStringLiteral("\"%1\"").arg(quoted(name));
    const QString named = QStringLiteral("No task above is named %1").arg(names.join(QLatin1String(" or ")));
    return named
        + (none ? QLatin1String(": the line is laid out as if [after] were not there.")
                : QLatin1String(": [after] waits for the others."));
}

QString shownHint(const TaskRow &row, bool waitForParallel, QString (*formatDate)(const QDate &))
{
    if (!row.hint.isEmpty() || !row.overlap)
        return row.hint;
    return overlapHint(row.overlap->name, formatDate(row.overlap->end), waitForParallel);
}

std::vector<LineHint> scheduleHints(const Schedule &schedule, QString (*formatDate)(const QDate &))
{
    std::vector<LineHint> hints;
    for (const TaskRow &row : schedule.tasks) {
        QString hint = shownHint(row, schedule.waitForParallel, formatDate);
        if (!hint.isEmpty())
            hints.push_back({ row.lineNumber, std::move(hint) });
    }
    return hints;
}

} // namespace ambrel
