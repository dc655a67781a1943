#include "timeline/TimelinePainter.h"

#include "timeline/TimelinePalette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ambrel {

namespace {

constexpr double kLegendFontPixels = 11;
constexpr double kLegendSwatch = 14;
constexpr double kLegendPadding = 6;
constexpr double kLegendSpacing = 14;

enum class LegendKind {
    Status,
    BetweenEvents,
    NoEvent,
    Progress,
    Milestone,
    NotWorked,
    DayOff,
    Today,
    Parallel,
    Waits,
    After
};

struct LegendItem {
    LegendKind kind;
    QString label;
};

// The marks of progress, milestones, parallel tasks and waiting are explained only where the plan has them.
std::vector<LegendItem> legendItems(const TimelinePainter::LegendNeeds &needs)
{
    std::vector<LegendItem> items;
    for (const QString &status : TimelinePalette::statuses())
        items.push_back({ LegendKind::Status, status });
    items.push_back({ LegendKind::BetweenEvents, QStringLiteral("Between calendar events") });
    items.push_back({ LegendKind::NoEvent, QStringLiteral("No calendar event") });
    if (needs.progress)
        items.push_back({ LegendKind::Progress, QStringLiteral("Share done") });
    if (needs.milestone)
        items.push_back({ LegendKind::Milestone, QStringLiteral("Milestone") });
    items.push_back({ LegendKind::NotWorked, QStringLiteral("Not worked") });
    items.push_back({ LegendKind::DayOff, QStringLiteral("Day off") });
    items.push_back({ LegendKind::Today, QStringLiteral("Today") });
    if (needs.parallel)
        items.push_back({ LegendKind::Parallel, QStringLiteral("Parallel tasks") });
    if (needs.waits)
        items.push_back({ LegendKind::Waits, QStringLiteral("Waits for the parallel tasks") });
    if (needs.after)
        items.push_back({ LegendKind::After, QStringLiteral("Starts after") });
    return items;
}

double itemWidth(const QFontMetricsF &metrics, const LegendItem &item)
{
    return kLegendSwatch + 4 + metrics.horizontalAdvance(item.label);
}

QFont pixelFont(const QFont &base, double pixels, bool bold = false)
{
    QFont font = base;
    font.setPixelSize(std::max(6, int(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

// Diagonal lines across rect, each cut to the rect by hand: SVG output ignores clipping.
void hatch(QPainter &painter, const QRectF &rect, const QColor &color)
{
    painter.save();
    painter.setPen(QPen(color, 1));
    const double step = 5;
    const double h = rect.height();
    for (double x = rect.left() - h + step; x < rect.right(); x += step) {
        // The line rises from (x, bottom) to (x + h, top).
        const double from = std::max(x, rect.left());
        const double to = std::min(x + h, rect.right());
        if (from < to)
            painter.drawLine(
                QPointF(from, rect.bottom() - (from - x)), QPointF(to, rect.bottom() - (to - x)));
    }
    painter.restore();
}

void outlined(QPainter &painter, const QRectF &rect, const QColor &fill, const QColor &outline)
{
    painter.fillRect(rect, fill);
    if (rect.width() >= 3) {
        painter.setPen(QPen(outline, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

// A small filled arrow head with its tip at tip; its other corners lie at tip plus each of the two sides.
void arrowHead(QPainter &painter, const QPointF &tip, const QPointF &side1, const QPointF &side2, const QColor &color)
{
    const QPointF head[] = { tip, tip + side1, tip + side2 };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(head, 3);
    painter.restore();
}

// Pointing down at tip, where a waiting task starts.
void arrowDown(QPainter &painter, const QPointF &tip, const QColor &color)
{
    arrowHead(painter, tip, QPointF(-3.5, -5), QPointF(3.5, -5), color);
}

// Pointing right at tip, for the legend's sample of a line into a bar.
void arrowRight(QPainter &painter, const QPointF &tip, const QColor &color)
{
    arrowHead(painter, tip, QPointF(-5, -3.5), QPointF(-5, 3.5), color);
}

// A done task's tick inside rect, so that done reads apart from the other statuses without colour.
void checkMark(QPainter &painter, const QRectF &rect, const QColor &color)
{
    const QPointF tick[] = { rect.topLeft() + QPointF(0.15 * rect.width(), 0.55 * rect.height()),
        rect.topLeft() + QPointF(0.4 * rect.width(), 0.82 * rect.height()),
        rect.topLeft() + QPointF(0.85 * rect.width(), 0.18 * rect.height()) };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color, std::max(1.5, rect.height() / 6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(tick, 3);
    painter.restore();
}

// The diamond inside rect, filled and outlined.
void diamond(QPainter &painter, const QRectF &rect, const QColor &fill, const QColor &outline)
{
    const QPointF corners[]
        = { QPointF(rect.center().x(), rect.top()), QPointF(rect.right(), rect.center().y()),
              QPointF(rect.center().x(), rect.bottom()), QPointF(rect.left(), rect.center().y()) };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(fill);
    painter.drawPolygon(corners, 4);
    painter.restore();
}

// The band of a bar's share done: dark on a light fill, white on a dark one, outlined in the other.
void progressBand(QPainter &painter, const QRectF &band, const QColor &fill)
{
    if (band.width() <= 0)
        return;
    const bool light = TimelinePalette::greyLevel(fill) > 110;
    const QColor inside = light ? TimelinePalette::text() : TimelinePalette::background();
    painter.fillRect(band, inside);
    if (band.width() >= 3) {
        painter.setPen(QPen(light ? TimelinePalette::background() : TimelinePalette::text(), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(band.adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

QPen afterPen()
{
    return QPen(TimelinePalette::groupLine(), 1, Qt::SolidLine, Qt::FlatCap);
}

QPen waitPen()
{
    QPen pen(TimelinePalette::groupLine(), 1.5);
    pen.setStyle(Qt::DashLine);
    return pen;
}

} // namespace

TimelinePainter::TimelinePainter(const TimelineGeometry *geometry)
    : m_geometry(geometry)
{
    const std::vector<TimelineTask> &tasks = geometry->data().tasks;
    const auto any = [&](auto has) { return std::any_of(tasks.begin(), tasks.end(), has); };
    m_legendNeeds.progress
        = any([](const TimelineTask &task) { return task.marks.progress && !task.marks.isDone(); });
    m_legendNeeds.milestone = any([](const TimelineTask &task) { return task.marks.milestone; });
    const std::vector<ParallelGroup> &groups = geometry->parallelGroups();
    m_legendNeeds.parallel = !groups.empty();
    m_legendNeeds.waits = std::any_of(
        groups.begin(), groups.end(), [&](const ParallelGroup &group) { return !geometry->waitLine(group).empty(); });
    m_legendNeeds.after = any([](const TimelineTask &task) { return !task.afterRows.empty(); });
    for (int row = 0; row < int(tasks.size()); ++row) {
        for (const int above : tasks[size_t(row)].afterRows)
            m_afterLinks.push_back({ row, above });
    }
    m_lowestAboveFrom.resize(m_afterLinks.size());
    int lowest = std::numeric_limits<int>::max();
    for (std::size_t i = m_afterLinks.size(); i-- > 0;)
        m_lowestAboveFrom[i] = lowest = std::min(lowest, m_afterLinks[i].above);
}

void TimelinePainter::setTitle(const QString &title, int titleHeight)
{
    m_title = title;
    m_titleHeight = std::max(0, titleHeight);
}

QString TimelinePainter::statusOf(int row) const
{
    return m_geometry->data().tasks[size_t(row)].status(m_geometry->data().today);
}

void TimelinePainter::paint(QPainter &painter, const QRectF &area, const QPointF &scroll) const
{
    const TimelineGeometry &g = *m_geometry;
    const double header = g.headerHeight();
    const double datesLeft = area.left() + m_labelWidth;
    const double datesWidth = std::max(0.0, area.width() - m_labelWidth);
    const double x0 = scroll.x();
    const double x1 = scroll.x() + datesWidth;
    const double rowsTop = scroll.y() + header; // in geometry's y
    const double rowsBottom = scroll.y() + area.height();
    const auto [firstRow, endRow] = g.rowsBetween(rowsTop, rowsBottom);

    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, TimelinePalette::background());
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.save();
    painter.setClipRect(QRectF(datesLeft, area.top() + header, datesWidth, area.height() - header));
    painter.translate(datesLeft - x0, area.top() - scroll.y());
    const double axisEnd = std::min(x1, g.dateAxisWidth());
    for (const ShadedSpan &span : g.shadedSpans(x0, x1)) {
        painter.fillRect(QRectF(span.x0, rowsTop, span.x1 - span.x0, rowsBottom - rowsTop),
            span.dayOff ? TimelinePalette::dayOff() : TimelinePalette::nonWorkingDay());
    }
    if (m_isSelected) {
        for (int row = firstRow; row < endRow; ++row) {
            if (m_isSelected(row)) {
                QRectF band = g.rowRect(row);
                band.setLeft(x0);
                band.setRight(x1);
                painter.fillRect(band, TimelinePalette::selection());
            }
        }
    }
    const RulerBands bands = g.ruler(x0, x1);
    painter.setPen(QPen(TimelinePalette::gridLine(), 0));
    for (const RulerCell &cell : bands.upper) {
        if (cell.x0 >= x0)
            painter.drawLine(QPointF(cell.x0, rowsTop), QPointF(cell.x0, rowsBottom));
    }
    if (axisEnd < x1)
        painter.drawLine(QPointF(axisEnd, rowsTop), QPointF(axisEnd, rowsBottom));
    for (int row = firstRow; row < endRow; ++row)
        paintBar(painter, row, x0, x1);
    paintGroups(painter, firstRow, endRow);
    paintAfterLines(painter, firstRow, endRow);
    if (const auto today = g.todayX(); today && *today >= x0 && *today <= x1) {
        painter.setPen(QPen(TimelinePalette::today(), 2));
        painter.drawLine(QPointF(*today, rowsTop), QPointF(*today, rowsBottom));
    }
    painter.restore();

    if (m_labelWidth > 0) {
        const QRectF labels(area.left(), area.top() + header, m_labelWidth, area.height() - header);
        painter.save();
        painter.setClipRect(labels);
        painter.setFont(pixelFont(painter.font(), g.rowHeight() * 0.55));
        const QFontMetricsF metrics(painter.font());
        for (int row = firstRow; row < endRow; ++row) {
            const QRectF band = g.rowRect(row).translated(0, area.top() - scroll.y());
            const double indent = g.data().tasks[size_t(row)].parallel ? kParallelIndent : 0;
            const QRectF cell(
                labels.left() + 6 + indent, band.top(), m_labelWidth - 12 - indent, band.height());
            if (m_isSelected && m_isSelected(row))
                painter.fillRect(QRectF(labels.left(), band.top(), m_labelWidth, band.height()),
                    TimelinePalette::selection());
            painter.setPen(TimelinePalette::text());
            const QString text = g.label(row);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                metrics.elidedText(text, Qt::ElideRight, cell.width()));
        }
        painter.setPen(QPen(TimelinePalette::gridLine(), 0));
        painter.drawLine(QPointF(datesLeft - 0.5, area.top()), QPointF(datesLeft - 0.5, area.bottom()));
        painter.restore();
        const QRectF corner(area.left(), area.top() + m_titleHeight, m_labelWidth, header - m_titleHeight);
        painter.fillRect(corner, TimelinePalette::rulerBackground());
        painter.setFont(pixelFont(painter.font(), std::min(13.0, corner.height() * 0.4), true));
        painter.setPen(TimelinePalette::text());
        painter.drawText(
            corner.adjusted(6, 0, -6, 0), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Task"));
    }

    paintRuler(painter, datesLeft, area.top(), datesWidth, x0);
    painter.setPen(QPen(TimelinePalette::gridLine(), 0));
    painter.drawLine(
        QPointF(area.left(), area.top() + header - 0.5), QPointF(area.right(), area.top() + header - 0.5));
    if (m_titleHeight > 0)
        paintTitle(
            painter, QRectF(area.left(), area.top(), area.width(), std::min<double>(m_titleHeight, header)));
    painter.restore();
}

void TimelinePainter::paintBar(QPainter &painter, int row, double x0, double x1) const
{
    const TimelineGeometry &g = *m_geometry;
    const BarKind kind = g.barKind(row);
    if (kind == BarKind::Hidden)
        return;
    const QRectF bar = g.barRect(row);
    if (bar.right() < x0 || bar.left() > x1)
        return;
    const QString status = statusOf(row);
    const QColor fill = TimelinePalette::statusColor(status);
    const QColor outline = TimelinePalette::outlineColor(status);
    switch (kind) {
    case BarKind::Hidden:
        break;
    case BarKind::Negative:
        painter.fillRect(bar, outline);
        break;
    case BarKind::Milestone:
        diamond(painter, bar, fill, outline);
        if (status == QLatin1String("Done") && bar.width() >= 12)
            checkMark(painter,
                bar.adjusted(bar.width() / 4, bar.height() / 4, -bar.width() / 4, -bar.height() / 4),
                TimelinePalette::background());
        break;
    case BarKind::NoEvent:
        painter.fillRect(bar, TimelinePalette::background());
        hatch(painter, bar, outline);
        painter.setPen(QPen(outline, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bar.adjusted(0.5, 0.5, -0.5, -0.5));
        break;
    case BarKind::Events: {
        // One bar from start to end: the days between events in a lighter fill of the same colour, the
        // events solid, and one outline around the whole, so that it reads as one task.
        for (const QRectF &gap : g.gaps(row, x0 - 1, x1 + 1))
            painter.fillRect(gap, TimelinePalette::betweenEventsColor(status));
        const std::vector<QRectF> segments = g.segments(row, x0 - 1, x1 + 1);
        for (const QRectF &segment : segments)
            painter.fillRect(segment, fill);
        if (bar.width() >= 3) {
            painter.setPen(QPen(outline, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(bar.adjusted(0.5, 0.5, -0.5, -0.5));
            // A hairline where an event meets the lighter days keeps the two apart for light colours in grey.
            for (const QRectF &segment : segments) {
                for (const double edge : { segment.left() + 0.5, segment.right() - 0.5 }) {
                    if (edge > bar.left() + 1 && edge < bar.right() - 1 && segment.width() >= 3)
                        painter.drawLine(QPointF(edge, bar.top()), QPointF(edge, bar.bottom()));
                }
            }
        }
        break;
    }
    }
    progressBand(painter, g.progressRect(row), fill);
    // The tick sits at the bar's start, where a reader's eye meets the bar first.
    if (status == QLatin1String("Done") && kind != BarKind::Milestone && bar.width() >= bar.height() + 2) {
        const QRectF box(bar.left() + 1, bar.top() + 1, bar.height() - 2, bar.height() - 2);
        checkMark(painter, box, kind == BarKind::Events ? TimelinePalette::background() : outline);
    }
}

void TimelinePainter::paintAfterLines(QPainter &painter, int firstRow, int endRow) const
{
    const TimelineGeometry &g = *m_geometry;
    painter.save();
    painter.setPen(afterPen());
    // A line runs from a row above down to the waiting row, so it shows while the two rows bracket the view.
    // The links are in row order; past the last one that starts above the view's end, none is drawn.
    const auto first = std::lower_bound(m_afterLinks.begin(), m_afterLinks.end(), firstRow,
        [](const AfterLink &link, int row) { return link.row < row; });
    for (auto link = first; link != m_afterLinks.end(); ++link) {
        if (m_lowestAboveFrom[size_t(link - m_afterLinks.begin())] >= endRow)
            break;
        if (link->above >= endRow)
            continue;
        const std::vector<QLineF> lines = g.afterLine(link->above, link->row);
        if (lines.empty())
            continue;
        for (const QLineF &line : lines)
            painter.drawLine(line);
        arrowDown(painter, lines.back().p2(), TimelinePalette::groupLine());
    }
    painter.restore();
}

void TimelinePainter::paintGroups(QPainter &painter, int firstRow, int endRow) const
{
    const TimelineGeometry &g = *m_geometry;
    painter.save();
    // A group just above the first row still draws its wait line into that row.
    for (const ParallelGroup &group : g.parallelGroupsBetween(std::max(0, firstRow - 1), endRow)) {
        painter.setPen(QPen(TimelinePalette::groupLine(), 1.5, Qt::SolidLine, Qt::FlatCap));
        for (const QLineF &line : g.bracket(group))
            painter.drawLine(line);
        const std::vector<QLineF> wait = g.waitLine(group);
        if (wait.empty())
            continue;
        painter.setPen(waitPen());
        for (const QLineF &line : wait)
            painter.drawLine(line);
        arrowDown(painter, wait.back().p2(), TimelinePalette::groupLine());
    }
    painter.restore();
}

void TimelinePainter::paintTitle(QPainter &painter, const QRectF &band) const
{
    painter.save();
    painter.fillRect(band, TimelinePalette::background());
    painter.setFont(pixelFont(painter.font(), std::clamp(band.height() * 0.55, 8.0, 16.0), true));
    const QFontMetricsF metrics(painter.font());
    const QRectF text = band.adjusted(6, 0, -6, 0);
    painter.setPen(TimelinePalette::text());
    painter.drawText(
        text, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(m_title, Qt::ElideRight, text.width()));
    painter.setPen(QPen(TimelinePalette::gridLine(), 0));
    painter.drawLine(QPointF(band.left(), band.bottom() - 0.5), QPointF(band.right(), band.bottom() - 0.5));
    painter.restore();
}

void TimelinePainter::paintRuler(QPainter &painter, double left, double top, double width, double x0) const
{
    const TimelineGeometry &g = *m_geometry;
    top += std::min(m_titleHeight, g.headerHeight());
    const double header = g.headerHeight() - std::min(m_titleHeight, g.headerHeight());
    const double band = header / 2;
    const QRectF ruler(left, top, width, header);
    painter.save();
    painter.setClipRect(ruler);
    painter.fillRect(ruler, TimelinePalette::rulerBackground());
    painter.translate(left - x0, top);
    const double x1 = x0 + width;
    const RulerBands bands = g.ruler(x0, x1);

    const QFont upperFont = pixelFont(painter.font(), std::clamp(band * 0.72, 8.0, 13.0), true);
    const QFont lowerFont = pixelFont(painter.font(), std::clamp(band * 0.68, 8.0, 12.0));
    painter.setPen(QPen(TimelinePalette::gridLine(), 0));
    painter.drawLine(QPointF(x0, band), QPointF(x1, band));

    // Upper labels stick to the left edge while their cell is in view, as a month heading should.
    painter.setFont(upperFont);
    QFontMetricsF metrics(upperFont);
    for (const RulerCell &cell : bands.upper) {
        painter.setPen(QPen(TimelinePalette::gridLine(), 0));
        painter.drawLine(QPointF(cell.x0, 0), QPointF(cell.x0, header));
        const double from = std::max(cell.x0, x0) + 4;
        const double room = std::min(cell.x1, x1) - from - 2;
        if (!cell.label.isEmpty() && metrics.horizontalAdvance(cell.label) <= room) {
            painter.setPen(TimelinePalette::text());
            painter.drawText(QRectF(from, 0, room, band), Qt::AlignLeft | Qt::AlignVCenter, cell.label);
        }
    }
    painter.setFont(lowerFont);
    metrics = QFontMetricsF(lowerFont);
    for (const RulerCell &cell : bands.lower) {
        painter.setPen(QPen(TimelinePalette::gridLine(), 0));
        painter.drawLine(QPointF(cell.x0, band), QPointF(cell.x0, header));
        if (!cell.label.isEmpty() && metrics.horizontalAdvance(cell.label) + 2 <= cell.x1 - cell.x0) {
            painter.setPen(TimelinePalette::text());
            painter.drawText(QRectF(cell.x0, band, cell.x1 - cell.x0, band), Qt::AlignCenter, cell.label);
        }
    }
    if (const auto today = g.todayX(); today && *today >= x0 && *today <= x1) {
        painter.setPen(QPen(TimelinePalette::today(), 2));
        painter.drawLine(QPointF(*today, band), QPointF(*today, header));
    }
    painter.restore();
}

QSizeF TimelinePainter::legendSize(double maxWidth) const
{
    const std::vector<QPointF> places = legendPlaces(maxWidth);
    const QFontMetricsF metrics(pixelFont(QFont(), kLegendFontPixels));
    double right = 0;
    const std::vector<LegendItem> items = legendItems(m_legendNeeds);
    for (size_t i = 0; i < items.size(); ++i)
        right = std::max(right, places[i].x() + itemWidth(metrics, items[i]));
    return QSizeF(right + kLegendPadding, places.back().y() + metrics.height() + kLegendPadding);
}

std::vector<QPointF> TimelinePainter::legendPlaces(double maxWidth) const
{
    const QFontMetricsF metrics(pixelFont(QFont(), kLegendFontPixels));
    std::vector<QPointF> places;
    double x = kLegendPadding;
    double y = kLegendPadding;
    for (const LegendItem &item : legendItems(m_legendNeeds)) {
        const double width = itemWidth(metrics, item);
        if (x > kLegendPadding && x + width + kLegendPadding > maxWidth) {
            x = kLegendPadding;
            y += metrics.height() + 4;
        }
        places.emplace_back(x, y);
        x += width + kLegendSpacing;
    }
    return places;
}

void TimelinePainter::paintLegend(QPainter &painter, const QPointF &topLeft, double maxWidth) const
{
    painter.save();
    const QRectF box(topLeft, legendSize(maxWidth));
    painter.setPen(QPen(TimelinePalette::gridLine(), 1));
    painter.setBrush(TimelinePalette::background());
    painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
    paintLegendItems(painter, topLeft, maxWidth);
}

double TimelinePainter::legendBandHeight(double width) const
{
    return std::ceil(legendSize(width).height());
}

void TimelinePainter::paintLegendBand(QPainter &painter, const QRectF &band) const
{
    painter.save();
    painter.setClipRect(band);
    painter.fillRect(band, TimelinePalette::background());
    painter.setPen(QPen(TimelinePalette::gridLine(), 0));
    painter.drawLine(QPointF(band.left(), band.top() + 0.5), QPointF(band.right(), band.top() + 0.5));
    paintLegendItems(painter, band.topLeft(), band.width());
    painter.restore();
}

void TimelinePainter::paintLegendItems(QPainter &painter, const QPointF &topLeft, double maxWidth) const
{
    painter.save();
    const QFont font = pixelFont(QFont(), kLegendFontPixels);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const std::vector<QPointF> places = legendPlaces(maxWidth);
    const std::vector<LegendItem> items = legendItems(m_legendNeeds);
    const QString active = TimelinePalette::statuses().value(2);
    for (size_t i = 0; i < items.size(); ++i) {
        const LegendItem &item = items[i];
        double x = topLeft.x() + places[i].x();
        const QRectF line(x, topLeft.y() + places[i].y(), itemWidth(metrics, item), metrics.height());
        const double middle = line.center().y();
        const QRectF swatch(x, middle - 5, kLegendSwatch, 10);
        switch (item.kind) {
        case LegendKind::Status:
            outlined(painter, swatch, TimelinePalette::statusColor(item.label),
                TimelinePalette::outlineColor(item.label));
            if (item.label == QLatin1String("Done"))
                checkMark(painter, QRectF(swatch.left() + 2, swatch.top() + 1, 8, 8),
                    TimelinePalette::background());
            break;
        case LegendKind::Progress:
            outlined(
                painter, swatch, TimelinePalette::statusColor(active), TimelinePalette::outlineColor(active));
            progressBand(painter, QRectF(swatch.left(), swatch.top() + 2.5, 9, 5),
                TimelinePalette::statusColor(active));
            break;
        case LegendKind::Milestone: {
            const QString pending = TimelinePalette::statuses().value(0);
            diamond(painter, QRectF(swatch.center().x() - 6, swatch.center().y() - 6, 12, 12),
                TimelinePalette::statusColor(pending), TimelinePalette::outlineColor(pending));
            break;
        }
        case LegendKind::After:
            painter.setPen(afterPen());
            painter.drawLine(QPointF(swatch.left(), swatch.center().y()),
                QPointF(swatch.right() - 4, swatch.center().y()));
            arrowRight(painter, QPointF(swatch.right(), swatch.center().y()), TimelinePalette::groupLine());
            break;
        case LegendKind::BetweenEvents:
            painter.fillRect(swatch, TimelinePalette::statusColor(active));
            painter.fillRect(swatch.adjusted(4, 0, -4, 0), TimelinePalette::betweenEventsColor(active));
            painter.setPen(QPen(TimelinePalette::outlineColor(active), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(swatch.adjusted(0.5, 0.5, -0.5, -0.5));
            break;
        case LegendKind::NoEvent:
            painter.fillRect(swatch, TimelinePalette::background());
            hatch(painter, swatch, TimelinePalette::outlineColor(QString()));
            painter.setPen(QPen(TimelinePalette::outlineColor(QString()), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(swatch.adjusted(0.5, 0.5, -0.5, -0.5));
            break;
        case LegendKind::NotWorked:
            outlined(painter, swatch, TimelinePalette::nonWorkingDay(), TimelinePalette::gridLine());
            break;
        case LegendKind::DayOff:
            outlined(painter, swatch, TimelinePalette::dayOff(), TimelinePalette::gridLine());
            break;
        case LegendKind::Today:
            painter.setPen(QPen(TimelinePalette::today(), 2));
            painter.drawLine(QPointF(swatch.center().x(), swatch.top() - 2),
                QPointF(swatch.center().x(), swatch.bottom() + 2));
            break;
        case LegendKind::Parallel: {
            painter.setPen(QPen(TimelinePalette::groupLine(), 1.5, Qt::SolidLine, Qt::FlatCap));
            const double left = swatch.left() + 3;
            painter.drawLine(QPointF(left, swatch.top() - 1), QPointF(left, swatch.bottom() + 1));
            painter.drawLine(QPointF(left, swatch.top() - 1), QPointF(swatch.right(), swatch.top() - 1));
            painter.drawLine(
                QPointF(left, swatch.bottom() + 1), QPointF(swatch.right(), swatch.bottom() + 1));
            break;
        }
        case LegendKind::Waits: {
            painter.setPen(waitPen());
            const QPointF corner(swatch.right() - 3, swatch.top());
            painter.drawLine(QPointF(swatch.left(), swatch.top()), corner);
            painter.drawLine(corner, QPointF(corner.x(), swatch.bottom()));
            arrowDown(painter, QPointF(corner.x(), swatch.bottom() + 2), TimelinePalette::groupLine());
            break;
        }
        }
        x += kLegendSwatch + 4;
        painter.setPen(TimelinePalette::text());
        const double textWidth = metrics.horizontalAdvance(item.label);
        painter.drawText(QRectF(x, line.top(), textWidth + 1, line.height()),
            Qt::AlignLeft | Qt::AlignVCenter, item.label);
    }
    painter.restore();
}

} // namespace ambrel
