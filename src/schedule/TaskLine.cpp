#include "TaskLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace ambrel {

namespace {

// Removed one after the other, in this order, each from the result of the one before.
const QLatin1String kDurationWords[] = {
    QLatin1String(" Days"),
    QLatin1String(" days"),
    QLatin1String(" DAYS"),
    QLatin1String("Days"),
    QLatin1String("days"),
    QLatin1String("DAYS"),
    QLatin1String(" Day"),
    QLatin1String(" day"),
    QLatin1String(" DAY"),
    QLatin1String("Day"),
    QLatin1String("day"),
    QLatin1String("DAY"),
};

bool isSkipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

int digitValue(QChar c, int radix)
{
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < radix ? value : -1;
}

} // namespace

double ReadNumber(QStringView text, qsizetype *used)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    auto stopAt = [used](qsizetype at) {
        if (used)
            *used = at;
    };
    stopAt(0);
    auto skipBlanks = [&] {
        while (i < size && isSkipped(text[i]))
            ++i;
    };

    skipBlanks();
    bool negative = false;
    if (i < size && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    skipBlanks();

    if (i < size && text[i] == QLatin1Char('&')) {
        ++i;
        skipBlanks();
        if (i >= size)
            return 0;
        const QChar prefix = text[i].toUpper();
        const int radix = prefix == QLatin1Char('H') ? 16 : prefix == QLatin1Char('O') ? 8 : 0;
        if (radix == 0)
            return 0;
        double value = 0;
        bool seenDigit = false;
        for (++i; i < size; ++i) {
            if (isSkipped(text[i]))
                continue;
            const int digit = digitValue(text[i], radix);
            if (digit < 0)
                break;
            value = value * radix + digit;
            seenDigit = true;
        }
        if (seenDigit)
            stopAt(i);
        return negative ? -value : value;
    }

    std::string digits;
    bool seenPoint = false;
    bool seenDigit = false;
    bool nonZeroBeforePoint = false;
    // A whole number of up to fifteen digits, as nearly every count is, is exact in a double as it is.
    constexpr std::size_t kExactDigits = 15;
    qint64 whole = 0;
    for (; i < size; ++i) {
        const QChar c = text[i];
        if (isSkipped(c))
            continue;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (digits.size() < kExactDigits)
                whole = whole * 10 + (c.unicode() - u'0');
            digits += char(c.unicode());
            seenDigit = true;
            nonZeroBeforePoint = nonZeroBeforePoint || (!seenPoint && c != QLatin1Char('0'));
        } else if (c == QLatin1Char('.') && !seenPoint) {
            digits += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;
    stopAt(i);

    double value = 0;
    if (!seenPoint && digits.size() <= kExactDigits) {
        value = double(whole);
    } else {
        const auto result
            = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
        if (result.ec == std::errc::result_out_of_range)
            value = nonZeroBeforePoint ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

QString DurationText(const QString &line)
{
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    if (plus < 0)
        return QStringLiteral("0");
    QString durationText = line.mid(plus + 1);
    // Every word ends in "y" or "Y"; most durations have neither and need no removal at all.
    if (durationText.contains(QLatin1Char('y'), Qt::CaseInsensitive)) {
        for (const QLatin1String word : kDurationWords)
            durationText.remove(word, Qt::CaseSensitive);
    }
    return durationText;
}

namespace {

bool isMarkBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView withoutTrailingBlanks(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && isMarkBlank(text[end - 1]))
        --end;
    return text.left(end);
}

QString withoutBlanks(QStringView text)
{
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (!isMarkBlank(c))
            compact += c;
    }
    return compact;
}

// A whole number of one to six ASCII digits, with an optional sign where signed allows it.
std::optional<qint32> smallNumber(QStringView text, bool isSigned)
{
    bool negative = false;
    if (isSigned && !text.isEmpty() && (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+'))) {
        negative = text[0] == QLatin1Char('-');
        text = text.mid(1);
    }
    constexpr qsizetype maxDigits = 6;
    if (text.isEmpty() || text.size() > maxDigits)
        return std::nullopt;
    qint32 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -value : value;
}

// "after", in any case and with blanks anywhere, at the start of inside; where the names begin, or -1.
qsizetype afterNamesAt(QStringView inside)
{
    static const QLatin1String keyword("after");
    qsizetype i = 0;
    for (const char letter : keyword) {
        while (i < inside.size() && isMarkBlank(inside[i]))
            ++i;
        if (i >= inside.size() || inside[i].toLower() != QLatin1Char(letter))
            return -1;
        ++i;
    }
    return i;
}

void readPlainLine(const QString &line, TaskLine &task)
{
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    task.namePart = plus < 0 ? line : line.left(plus);

    if (plus < 0) {
        task.dayCount = 1;
    } else {
        // Without a "y" no duration word can be in it, so the line itself is read, not a copy.
        const QStringView after = QStringView(line).mid(plus + 1);
        const QString removed = after.contains(QLatin1Char('y'), Qt::CaseInsensitive) ? DurationText(line) : QString();
        const QStringView durationText = removed.isNull() ? after : QStringView(removed);
        qsizetype used = 0;
        const double number = ReadNumber(durationText, &used);
        task.dayCount = number == 0 ? 1 : number;
        for (qsizetype i = used; i < durationText.size() && !task.unreadDuration; ++i)
            task.unreadDuration = !isSkipped(durationText[i]);
    }
    task.parallelMarker = task.namePart.startsWith(QLatin1String("//"));
}

} // namespace

std::vector<BracketGroup> TrailingGroups(QStringView line)
{
    std::vector<BracketGroup> groups;
    qsizetype end = withoutTrailingBlanks(line).size();
    while (end > 0 && line[end - 1] == QLatin1Char(']')) {
        const qsizetype close = end - 1;
        const qsizetype open = close > 0 ? line.left(close).lastIndexOf(QLatin1Char('[')) : -1;
        if (open < 0)
            break;
        groups.push_back({ open, close });
        end = withoutTrailingBlanks(line.left(open)).size();
    }
    std::reverse(groups.begin(), groups.end());
    return groups;
}

bool ReadMark(QStringView inside, TaskMarks &marks)
{
    // Most groups hold no blanks and are read where they stand, with no copy made.
    QString compacted;
    QStringView compact = inside;
    if (std::any_of(inside.begin(), inside.end(), isMarkBlank)) {
        compacted = withoutBlanks(inside);
        compact = compacted;
    }
    if (compact.compare(QLatin1String("done"), Qt::CaseInsensitive) == 0) {
        marks.progress = 100;
        return true;
    }
    if (compact.compare(QLatin1String("milestone"), Qt::CaseInsensitive) == 0) {
        marks.milestone = true;
        return true;
    }
    if (compact.endsWith(QLatin1Char('%'))) {
        const std::optional<qint32> percent = smallNumber(compact.chopped(1), false);
        if (!percent || *percent > 100)
            return false;
        marks.progress = *percent;
        return true;
    }
    if (compact.startsWith(QLatin1String("wait"), Qt::CaseInsensitive)) {
        const std::optional<qint32> days = smallNumber(compact.mid(4), true);
        if (!days)
            return false;
        marks.wait = *days;
        return true;
    }
    if (compact.startsWith(QLatin1String("from"), Qt::CaseInsensitive)) {
        const QStringView date = compact.mid(4);
        const bool dateForm = date.size() == 10 && date[4] == QLatin1Char('-') && date[7] == QLatin1Char('-');
        const std::optional<qint32> year = dateForm ? smallNumber(date.left(4), false) : std::nullopt;
        const std::optional<qint32> month = dateForm ? smallNumber(date.mid(5, 2), false) : std::nullopt;
        const std::optional<qint32> day = dateForm ? smallNumber(date.mid(8, 2), false) : std::nullopt;
        if (!year || !month || !day || *year < 1 || !QDate::isValid(*year, *month, *day))
            return false;
        marks.from = QDate(*year, *month, *day);
        return true;
    }
    const qsizetype namesAt = afterNamesAt(inside);
    if (namesAt < 0)
        return false;
    QStringList names;
    for (QStringView name : inside.mid(namesAt).split(QLatin1Char(','))) {
        while (!name.isEmpty() && isMarkBlank(name.front()))
            name = name.mid(1);
        name = withoutTrailingBlanks(name);
        if (name.isEmpty())
            return false;
        names << name.toString();
    }
    marks.after = std::move(names);
    return true;
}

TaskLine ReadTaskLine(const QString &line)
{
    TaskLine task;
    const std::vector<BracketGroup> groups = TrailingGroups(line);
    if (groups.empty()) {
        readPlainLine(line, task);
        return task;
    }
    TaskMarks marks;
    for (const BracketGroup &group : groups) {
        if (!ReadMark(QStringView(line).mid(group.open + 1, group.close - group.open - 1), marks)) {
            // A group that is no mark may be part of the name ("Buy [milk]"), so nothing is taken as a mark.
            task.unreadGroup = line.mid(group.open, group.close - group.open + 1);
            readPlainLine(line, task);
            return task;
        }
    }
    task.marks = std::move(marks);
    task.marksAt = groups.front().open;
    readPlainLine(withoutTrailingBlanks(QStringView(line).left(task.marksAt)).toString(), task);
    return task;
}

} // namespace ambrel
