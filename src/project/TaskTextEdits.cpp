#include "TaskTextEdits.h"

#include "schedule/TaskLine.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace ambrel {

namespace {

constexpr qint64 kLongestWait = 999'999; // six digits, as a mark can hold

// Where each line starts in the text, and where the last one ends.
std::vector<qsizetype> lineStarts(const QString &text)
{
    std::vector<qsizetype> starts { 0 };
    for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0; at = text.indexOf(QLatin1Char('\n'), at + 1))
        starts.push_back(at + 1);
    return starts;
}

// The line's own text without its line break (a CR before the LF stays outside it too).
struct LineSpan {
    qsizetype start = 0;
    qsizetype end = 0; // just past the line's last character
};

std::optional<LineSpan> spanOf(const QString &text, const std::vector<qsizetype> &starts, int lineNumber)
{
    if (lineNumber < 1 || size_t(lineNumber) > starts.size())
        return std::nullopt;
    LineSpan span;
    span.start = starts[size_t(lineNumber - 1)];
    span.end = size_t(lineNumber) < starts.size() ? starts[size_t(lineNumber)] - 1 : text.size();
    if (span.end > span.start && text[span.end - 1] == QLatin1Char('\r'))
        --span.end;
    return span;
}

std::optional<Refusal> unreadGroupRefusal(const QString &line, const TaskLine &task)
{
    if (task.unreadGroup.isEmpty())
        return std::nullopt;
    return Refusal { QStringLiteral("The line \"%1\" ends in \"%2\", which is not a mark, so a mark written "
                                    "after it would not be read. Change or remove \"%2\" first.")
                         .arg(line.left(60), task.unreadGroup.left(60)) };
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The line with a mark appended after what it holds, blanks at its end replaced by one.
QString appended(QString line, const QString &mark)
{
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    return line + QLatin1Char(' ') + mark;
}

// The line without the group, and without the blanks that stood before it.
QString withoutGroup(const QString &line, const BracketGroup &group)
{
    qsizetype from = group.open;
    while (from > 0 && isBlank(line[from - 1]))
        --from;
    return line.left(from) + line.mid(group.close + 1);
}

QStringView inside(const QString &line, const BracketGroup &group)
{
    return QStringView(line).mid(group.open + 1, group.close - group.open - 1);
}

} // namespace

Refusable<QString> withWaitAdded(const QString &text, int lineNumber, qint64 days)
{
    const std::vector<qsizetype> starts = lineStarts(text);
    const std::optional<LineSpan> span = spanOf(text, starts, lineNumber);
    if (!span)
        return text;
    QString line = text.mid(span->start, span->end - span->start);
    const TaskLine task = ReadTaskLine(line);
    if (std::optional<Refusal> refusal = unreadGroupRefusal(line, task))
        return *refusal;

    const qint64 total = qint64(task.marks.wait.value_or(0)) + days;
    if (std::llabs(total) > kLongestWait) {
        return Refusal { QStringLiteral("A task can wait at most %1 days either way; this move would make it "
                                        "%2.")
                             .arg(QLocale().toString(kLongestWait), QLocale().toString(total)) };
    }
    // The last wait counts, so that is the one to change.
    const std::vector<BracketGroup> groups = task.marksAt >= 0 ? TrailingGroups(line) : std::vector<BracketGroup>();
    const BracketGroup *last = nullptr;
    for (const BracketGroup &group : groups) {
        TaskMarks probe;
        if (ReadMark(inside(line, group), probe) && probe.wait)
            last = &group;
    }
    const QString mark = QStringLiteral("[wait %1]").arg(total);
    if (last && total == 0)
        line = withoutGroup(line, *last);
    else if (last)
        line = line.left(last->open) + mark + line.mid(last->close + 1);
    else if (total != 0)
        line = appended(line, mark);
    return text.left(span->start) + line + text.mid(span->end);
}

QString withoutLines(const QString &text, std::vector<int> lineNumbers)
{
    const std::vector<qsizetype> starts = lineStarts(text);
    std::sort(lineNumbers.begin(), lineNumbers.end());
    lineNumbers.erase(std::unique(lineNumbers.begin(), lineNumbers.end()), lineNumbers.end());
    QString kept;
    kept.reserve(text.size());
    qsizetype from = 0;
    for (const int number : lineNumbers) {
        if (number < 1 || size_t(number) > starts.size())
            continue;
        const qsizetype start = starts[size_t(number - 1)];
        const qsizetype next = size_t(number) < starts.size() ? starts[size_t(number)] : text.size();
        kept += QStringView(text).mid(from, start - from);
        from = next;
    }
    kept += QStringView(text).mid(from);
    // The last line had no break of its own: the one before it goes with it.
    if (!lineNumbers.empty() && size_t(lineNumbers.back()) == starts.size() && kept.endsWith(QLatin1Char('\n'))
        && !text.endsWith(QLatin1Char('\n'))) {
        kept.chop(1);
        if (kept.endsWith(QLatin1Char('\r')))
            kept.chop(1);
    }
    return kept;
}

Refusable<QString> withDoneToggled(const QString &text, const std::vector<int> &lineNumbers)
{
    const std::vector<qsizetype> starts = lineStarts(text);
    std::vector<std::pair<LineSpan, TaskLine>> lines;
    bool allDone = true;
    for (const int number : lineNumbers) {
        const std::optional<LineSpan> span = spanOf(text, starts, number);
        if (!span)
            continue;
        const QString line = text.mid(span->start, span->end - span->start);
        TaskLine task = ReadTaskLine(line);
        if (std::optional<Refusal> refusal = unreadGroupRefusal(line, task))
            return *refusal;
        allDone = allDone && task.marks.isDone();
        lines.emplace_back(*span, std::move(task));
    }
    // From the last line up, so that the spans of the lines above stay where they are.
    std::sort(lines.begin(), lines.end(), [](const auto &a, const auto &b) { return a.first.start > b.first.start; });
    QString result = text;
    for (const auto &[span, task] : lines) {
        QString line = text.mid(span.start, span.end - span.start);
        if (!allDone) {
            if (!task.marks.isDone())
                line = appended(line, QStringLiteral("[done]"));
        } else {
            // Every mark that makes it done goes; a share written before them counts again.
            std::vector<BracketGroup> groups = TrailingGroups(line);
            std::reverse(groups.begin(), groups.end());
            for (const BracketGroup &group : groups) {
                TaskMarks probe;
                if (ReadMark(inside(line, group), probe) && probe.isDone())
                    line = withoutGroup(line, group);
            }
        }
        result.replace(span.start, span.end - span.start, line);
    }
    return result;
}

} // namespace ambrel
