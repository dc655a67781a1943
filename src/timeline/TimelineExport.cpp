#include "timeline/TimelineExport.h"

#include "timeline/TimelineGeometry.h"
#include "timeline/TimelinePainter.h"
#include "timeline/TimelinePalette.h"

#include "corekit/AtomicFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace ambrel {

namespace {

constexpr int kTitleHeight = 30;
constexpr int kRulerHeight = 40;
constexpr int kHeaderHeight = kTitleHeight + kRulerHeight;
constexpr int kRowHeight = 22;
constexpr int kMinPdfRowHeight = 18;
constexpr double kPreferredPixelsPerDay = 24;
// A short project gets days on the ruler; a longer one shrinks to this width, but never below weeks.
constexpr double kComfortableAxisWidth = 1800;
constexpr double kWeeksPixelsPerDay = 2;
constexpr double kMinLabelWidth = 120;
constexpr double kMaxLabelWidth = 320;
constexpr double kLegendMargin = 10;
// Narrower than this, the legend would wrap into many lines below a short project.
constexpr double kMinPictureWidth = 720;

// Wide enough for the longest task name, within bounds that leave the dates most of the picture.
double labelWidth(const TimelineGeometry &geometry)
{
    QFont font;
    font.setPixelSize(int(std::lround(kRowHeight * 0.55)));
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (int row = 0; row < geometry.rowCount() && widest < kMaxLabelWidth; ++row)
        widest = std::max(widest,
            metrics.horizontalAdvance(geometry.label(row))
                + (geometry.data().tasks[size_t(row)].parallel ? TimelinePainter::kParallelIndent : 0));
    return std::clamp(std::ceil(widest) + 16, kMinLabelWidth, kMaxLabelWidth);
}

QString titleOf(const TimelineData &data)
{
    return data.projectName.isEmpty() ? QStringLiteral("Timeline") : data.projectName;
}

// The legend below the rows, wrapped to the picture's width, with a margin all round.
double legendBand(const TimelinePainter &painter, double width)
{
    return painter.legendBandHeight(width - 2 * kLegendMargin) + 2 * kLegendMargin;
}

void paintLegendBelow(const TimelinePainter &painter, QPainter &device, double top, double width)
{
    device.fillRect(QRectF(0, top, width, kLegendMargin), TimelinePalette::background());
    painter.paintLegendBand(
        device, QRectF(0, top + kLegendMargin, width, legendBand(painter, width) - kLegendMargin));
}

// Fits the date axis into width, at the preferred zoom when there is room and never wider.
void fitAxis(TimelineGeometry &geometry, double width)
{
    geometry.setPixelsPerDay(std::min(width / double(geometry.dayCount()), geometry.maxPixelsPerDay()));
}

struct PictureLayout {
    double labelWidth = 0;
    double width = 0;
    double height = 0;
};

PictureLayout layoutPicture(const TimelineData &data, TimelineGeometry &geometry, TimelinePainter &painter)
{
    PictureLayout layout;
    layout.labelWidth = labelWidth(geometry);
    painter.setLabelWidth(layout.labelWidth);
    painter.setTitle(titleOf(data), kTitleHeight);
    geometry.setRowMetrics(kHeaderHeight, kRowHeight);
    const double days = double(geometry.dayCount());
    const double natural
        = std::min(days * kPreferredPixelsPerDay, std::max(kComfortableAxisWidth, days * kWeeksPixelsPerDay));
    const double axis = std::clamp(
        natural, kMinPictureWidth - layout.labelWidth, TimelineExport::kMaxWidth - layout.labelWidth);
    fitAxis(geometry, std::floor(axis));
    layout.width = std::min(double(TimelineExport::kMaxWidth),
        std::max(kMinPictureWidth, std::ceil(layout.labelWidth + geometry.dateAxisWidth())));
    layout.height = std::ceil(geometry.contentHeight()) + legendBand(painter, layout.width);
    return layout;
}

void paintPicture(QPainter &painter, const TimelinePainter &timeline, const TimelineGeometry &geometry,
    const PictureLayout &layout)
{
    const double rows = std::ceil(geometry.contentHeight());
    timeline.paint(painter, QRectF(0, 0, layout.width, rows), QPointF(0, 0));
    paintLegendBelow(timeline, painter, rows, layout.width);
}

std::optional<Refusal> renderPdf(const TimelineData &data, QIODevice *device)
{
    QPdfWriter writer(device);
    writer.setTitle(titleOf(data));
    writer.setCreator(QStringLiteral("Ambrel"));
    writer.setResolution(96);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
        QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    return TimelineExport::paintPages(data, &writer);
}

} // namespace

std::optional<Refusal> TimelineExport::paintPages(const TimelineData &data, QPagedPaintDevice *device)
{
    TimelineGeometry geometry(&data);
    TimelinePainter timeline(&geometry);
    timeline.setLabelWidth(labelWidth(geometry));
    geometry.setRowMetrics(kHeaderHeight, kRowHeight);

    QPainter painter;
    if (!painter.begin(device))
        return Refusal { QStringLiteral("The PDF could not be started.") };
    const double pageWidth = device->width();
    const double pageHeight = device->height();
    // Each page shows the whole date range across its width and as many rows as fit above the legend.
    fitAxis(geometry,
        std::min(pageWidth - timeline.labelWidth(), double(geometry.dayCount()) * kPreferredPixelsPerDay));
    const double band = legendBand(timeline, pageWidth);
    const int rowCount = geometry.rowCount();
    // A plan that fits on one page with slightly smaller rows is read at a glance; a longer one is split
    // into pages of equal share rather than leaving a few rows alone on the last.
    const double roomForRows = pageHeight - kHeaderHeight - band;
    int rowHeight = kRowHeight;
    if (rowCount > 0 && roomForRows / rowCount < kRowHeight && roomForRows / rowCount >= kMinPdfRowHeight)
        rowHeight = int(roomForRows / rowCount);
    geometry.setRowMetrics(kHeaderHeight, rowHeight);
    const int fitting = std::max(1, int(roomForRows / rowHeight));
    const int pages = std::max(1, (rowCount + fitting - 1) / fitting);
    const int rowsPerPage = (rowCount + pages - 1) / pages;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        // The page count goes into the title line, where the legend cannot meet it.
        timeline.setTitle(pages > 1
                ? QStringLiteral("%1 (page %2 of %3)").arg(titleOf(data)).arg(page + 1).arg(pages)
                : titleOf(data),
            kTitleHeight);
        const int first = page * rowsPerPage;
        const int count = std::min(rowsPerPage, rowCount - first);
        const double rowsHeight = kHeaderHeight + double(std::max(count, 0)) * rowHeight;
        timeline.paint(painter, QRectF(0, 0, pageWidth, rowsHeight), QPointF(0, double(first) * rowHeight));
        paintLegendBelow(timeline, painter, rowsHeight, pageWidth);
    }
    if (!painter.end())
        return Refusal { QStringLiteral("The PDF could not be finished.") };
    return std::nullopt;
}

std::optional<TimelineExport::Format> TimelineExport::formatForFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Format::Png;
    if (suffix == QLatin1String("svg"))
        return Format::Svg;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

TimelineExport::Layout TimelineExport::pictureLayout(const TimelineData &data)
{
    TimelineGeometry geometry(&data);
    TimelinePainter painter(&geometry);
    const PictureLayout layout = layoutPicture(data, geometry, painter);
    const double rows = std::ceil(geometry.contentHeight());
    return { layout.labelWidth, geometry.pixelsPerDay(), kHeaderHeight, kRowHeight,
        QSize(int(layout.width), int(std::min(layout.height, double(INT_MAX)))), kTitleHeight,
        QRectF(0, rows + kLegendMargin, layout.width, layout.height - rows - kLegendMargin) };
}

std::optional<Refusal> TimelineExport::refusal(const TimelineData &data, Format format)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return Refusal { QStringLiteral("Drawing the timeline needs a QGuiApplication.") };
    if (format == Format::Svg && data.tasks.size() > std::size_t(kMaxSvgTasks)) {
        return Refusal {
            QStringLiteral("The timeline has %1 tasks, more than an SVG picture is drawn for (%2). "
                           "Export it as PDF instead.")
                .arg(QLocale().toString(qint64(data.tasks.size())), QLocale().toString(kMaxSvgTasks))
        };
    }
    if (format != Format::Png)
        return std::nullopt;
    TimelineGeometry geometry(&data);
    TimelinePainter timeline(&geometry);
    const PictureLayout layout = layoutPicture(data, geometry, timeline);
    if (layout.height > kMaxPngHeight) {
        return Refusal {
            QStringLiteral("The timeline is %1 pixels tall, more than a PNG picture can hold (%2). "
                           "Export it as SVG or PDF instead.")
                .arg(QLocale().toString(qint64(layout.height)), QLocale().toString(kMaxPngHeight))
        };
    }
    return std::nullopt;
}

Refusable<QByteArray> TimelineExport::render(const TimelineData &data, Format format)
{
    if (std::optional<Refusal> refused = refusal(data, format))
        return *refused;
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (std::optional<Refusal> undrawn = draw(data, format, &buffer))
        return *undrawn;
    return out;
}

std::optional<Refusal> TimelineExport::draw(const TimelineData &data, Format format, QIODevice *device)
{
    if (format == Format::Pdf)
        return renderPdf(data, device);

    TimelineGeometry geometry(&data);
    TimelinePainter timeline(&geometry);
    const PictureLayout layout = layoutPicture(data, geometry, timeline);
    const QSize size(int(layout.width), int(std::min(layout.height, double(INT_MAX))));
    if (format == Format::Png) {
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull())
            return Refusal { QStringLiteral("There is not enough memory to draw the timeline.") };
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPicture(painter, timeline, geometry, layout);
        painter.end();
        if (!image.save(device, "PNG"))
            return Refusal { QStringLiteral("The PNG picture could not be encoded.") };
        return std::nullopt;
    }

    QSvgGenerator svg;
    svg.setOutputDevice(device);
    // At the web's 96 dots per inch, one picture pixel is one pixel wherever the SVG is shown.
    svg.setResolution(96);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(titleOf(data));
    QPainter painter;
    if (!painter.begin(&svg))
        return Refusal { QStringLiteral("The SVG picture could not be started.") };
    paintPicture(painter, timeline, geometry, layout);
    painter.end();
    return std::nullopt;
}

std::optional<Refusal> TimelineExport::write(const TimelineData &data, const QString &fileName)
{
    const std::optional<Format> format = formatForFile(fileName);
    if (!format)
        return couldNotWrite(fileName, QStringLiteral("name it .png, .svg or .pdf."));
    // Refused before the file is touched; the picture is then drawn straight into it, never held whole.
    if (std::optional<Refusal> refused = refusal(data, *format))
        return refused;
    std::optional<Refusal> undrawn; // the drawing's own failure is told as it was, not as a failed write
    QString reason;
    const bool written = writeFileAtomically(
        fileName,
        [&](QIODevice *device, QString *) {
            undrawn = draw(data, *format, device);
            return !undrawn;
        },
        &reason);
    if (undrawn)
        return undrawn;
    if (!written)
        return couldNotWrite(fileName, reason);
    return std::nullopt;
}

} // namespace ambrel
