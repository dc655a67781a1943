#include "TimeOfDay.h"

#include <QRegularExpression>

namespace ambrel {

std::optional<QTime> readTimeOfDay(const QString &text)
{
    // Any Unicode blank counts (locales put a narrow no-break space before "PM"), but only ASCII digits.
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([0-9]{1,2})(?::([0-9]{2})(?::([0-9]{2}))?)?\\s*(?:([AaPp])[Mm])?\\s*$"),
        QRegularExpression::UseUnicodePropertiesOption);

    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;

    int hour = match.captured(1).toInt();
    const bool hasMinutes = match.hasCaptured(2);
    const int minute = hasMinutes ? match.captured(2).toInt() : 0;
    const int second = match.hasCaptured(3) ? match.captured(3).toInt() : 0;
    if (minute > 59 || second > 59)
        return std::nullopt;

    if (match.hasCaptured(4)) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        const bool pm = match.captured(4).compare(QLatin1String("p"), Qt::CaseInsensitive) == 0;
        hour = hour % 12 + (pm ? 12 : 0);
    } else if (!hasMinutes || hour > 23) {
        // A bare number could mean either half of the day, so a 24-hour time needs its minutes.
        return std::nullopt;
    }
    return QTime(hour, minute, second);
}

} // namespace ambrel
