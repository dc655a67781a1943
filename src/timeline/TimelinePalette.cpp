#include "timeline/TimelinePalette.h"

namespace ambrel {

namespace {

struct StatusColor {
    const char *status;
    QRgb fill;
};

// Light blue to dark red: each a clear step darker than the one before, blue against red for hue. Done is
// green halfway between its neighbours in grey, and its bars carry a check mark besides.
constexpr StatusColor kStatusColors[] = {
    { "Pending", 0xc6dbef },
    { "Pending (Coming Soon)", 0x6baed6 },
    { "Active", 0x2166ac },
    { "Late", 0x7f0000 },
    { "Done", 0x4a9c55 },
};

} // namespace

QStringList TimelinePalette::statuses()
{
    QStringList names;
    for (const StatusColor &entry : kStatusColors)
        names << QString::fromLatin1(entry.status);
    return names;
}

QColor TimelinePalette::statusColor(const QString &status)
{
    for (const StatusColor &entry : kStatusColors) {
        if (status == QLatin1String(entry.status))
            return QColor::fromRgb(entry.fill);
    }
    return QColor::fromRgb(kStatusColors[0].fill);
}

QColor TimelinePalette::betweenEventsColor(const QString &status)
{
    const QColor fill = statusColor(status);
    const auto halfway = [](int channel) { return (channel + 255 + 1) / 2; };
    return QColor(halfway(fill.red()), halfway(fill.green()), halfway(fill.blue()));
}

QColor TimelinePalette::outlineColor(const QString &status)
{
    const QColor fill = statusColor(status);
    return greyLevel(fill) > 128 ? fill.darker(220) : fill.darker(150);
}

int TimelinePalette::greyLevel(const QColor &color)
{
    return qRound(0.299 * color.red() + 0.587 * color.green() + 0.114 * color.blue());
}

} // namespace ambrel
