#include "TaskLine.h"

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
    for (; i < size; ++i) {
        const QChar c = text[i];
        if (isSkipped(c))
            continue;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
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
    const auto result
        = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range)
        value = nonZeroBeforePoint ? std::numeric_limits<double>::infinity() : 0.0;
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

TaskLine ReadTaskLine(const QString &line)
{
    TaskLine task;
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    task.namePart = plus < 0 ? line : line.left(plus);

    const double number = ReadNumber(DurationText(line));
    task.dayCount = number == 0 ? 1 : number;
    task.parallelMarker = task.namePart.startsWith(QLatin1String("//"));
    return task;
}

} // namespace ambrel
