#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

namespace ambrel {

// The timeline's colours. The four statuses of a task not done step from light to dark, so they stay apart
// in grey print and for readers who cannot tell red from green; hue only adds to what lightness already says.
class TimelinePalette final {
public:
    // The five status texts in legend order, from furthest ahead to late, then done.
    static QStringList statuses();
    // The fill of a bar with this status text; an unknown text gets the pending colour.
    static QColor statusColor(const QString &status);
    // The days of a bar between its calendar events: the status colour halfway to white, light enough to
    // tell from the solid runs and dark enough to tell from the page, in colour and in grey.
    static QColor betweenEventsColor(const QString &status);
    // A dark outline that keeps even the lightest bar visible on white.
    static QColor outlineColor(const QString &status);

    static QColor background() { return QColor(0xff, 0xff, 0xff); }
    static QColor nonWorkingDay() { return QColor(0xee, 0xee, 0xee); }
    static QColor dayOff() { return QColor(0xdc, 0xdc, 0xdc); }
    static QColor gridLine() { return QColor(0xd0, 0xd0, 0xd0); }
    static QColor rulerBackground() { return QColor(0xf4, 0xf4, 0xf4); }
    static QColor text() { return QColor(0x20, 0x20, 0x20); }
    static QColor today() { return QColor(0xd5, 0x5e, 0x00); }
    static QColor selection() { return QColor(0xcc, 0xe4, 0xf7); }
    static QColor groupLine() { return QColor(0x50, 0x50, 0x50); }

    // Grey value 0..255 as a black-and-white printer renders the colour (ITU-R BT.601 weights).
    static int greyLevel(const QColor &color);
};

} // namespace ambrel
