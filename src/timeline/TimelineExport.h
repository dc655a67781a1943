#pragma once

#include "corekit/Refusal.h"
#include "timeline/TimelineData.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>

class QIODevice;
class QPagedPaintDevice;

namespace ambrel {

// The whole timeline as a picture: the project name as its title, every row, the whole date range, the
// ruler, the task names on the left and the legend in a band below the rows. PNG, SVG or PDF by the file
// name's extension; the PDF is A4 landscape, its rows broken into pages that each repeat the ruler and the
// legend.
//
// Use from the window: File → Export Timeline… asks for a name, then
//     if (const std::optional<Refusal> failed = TimelineExport::write(data, fileName)) show failed->text;
// Use from the command line (--timeline FILE), which has no display: set QT_QPA_PLATFORM to "offscreen"
// before creating a QGuiApplication, refuse a name for which formatForFile() has no format (usage, exit 2),
// and exit 1 with the error when write() fails.
class TimelineExport final {
public:
    enum class Format { Png, Svg, Pdf };

    static constexpr int kMaxWidth = 8000;
    static constexpr int kMaxPngHeight = 16384;
    // Qt's SVG writer holds the whole picture's text in memory until it ends (about 1.5 kB a task), so a
    // larger plan is refused in favour of the PDF, which is written page by page.
    static constexpr int kMaxSvgTasks = 100'000;

    // .png, .svg or .pdf in any case; nothing for any other name.
    static std::optional<Format> formatForFile(const QString &fileName);

    // Where the PNG or SVG picture puts things: the task names take labelWidth on the left, the dates the
    // rest, shrunk so that the width stays within kMaxWidth. The header holds the title above the ruler.
    struct Layout {
        double labelWidth = 0;
        double pixelsPerDay = 0;
        int headerHeight = 0;
        int rowHeight = 0;
        QSize size;
        int titleHeight = 0;
        QRectF legend; // the band that holds the legend
    };
    static Layout pictureLayout(const TimelineData &data);

    // Why the picture cannot be drawn: there is no QGuiApplication to draw text, a PNG would be taller
    // than kMaxPngHeight or an SVG would hold more than kMaxSvgTasks tasks. Nothing when it can.
    static std::optional<Refusal> refusal(const TimelineData &data, Format format);

    // The picture's bytes; refused when refusal() gives a reason or the picture cannot be drawn.
    static Refusable<QByteArray> render(const TimelineData &data, Format format);

    // The timeline across the device's pages as in the PDF, each repeating the ruler and the legend; for
    // printing, with the device at 96 dots per inch as the PDF is. Refused when the device cannot be
    // painted on.
    static std::optional<Refusal> paintPages(const TimelineData &data, QPagedPaintDevice *device);

    // Draws the picture straight into a new file that replaces fileName whole, or leaves it untouched:
    // "Could not write <file>: <reason>" when the file cannot be written.
    static std::optional<Refusal> write(const TimelineData &data, const QString &fileName);

private:
    // The picture into device as it is drawn; refusal() is asked first.
    static std::optional<Refusal> draw(const TimelineData &data, Format format, QIODevice *device);
};

} // namespace ambrel
