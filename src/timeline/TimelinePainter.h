#pragma once

#include "timeline/TimelineGeometry.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <QString>

#include <functional>
#include <vector>

class QPainter;

namespace ambrel {

// Paints the timeline on any QPainter: the ruler, shaded days not worked, the today line, one bar or diamond
// per row with its share done, the brackets of parallel groups, the lines to tasks that start after others,
// and the legend. Only the rows and dates inside the painted area are drawn,
// so a window repaints a large project as fast as a small one. Drawing text needs a QGuiApplication.
//
// Use: TimelineGeometry geometry(&data); geometry.setPixelsPerDay(...); TimelinePainter painter(&geometry);
// painter.paint(p, rect, scroll); where scroll is how far the dates (x) and rows (y) are scrolled.
class TimelinePainter final {
public:
    // How far a parallel row's name stands in from the names of the rows it runs beside.
    static constexpr double kParallelIndent = 12;

    explicit TimelinePainter(const TimelineGeometry *geometry);

    // Highlights the rows the list has selected.
    void setSelectedRows(std::function<bool(int)> isSelected) { m_isSelected = std::move(isSelected); }
    // A column of task texts left of the dates, for pictures that stand without the list.
    void setLabelWidth(double width) { m_labelWidth = width; }
    double labelWidth() const { return m_labelWidth; }
    // A title line across the top titleHeight pixels of the header, above the ruler; 0 leaves it out.
    void setTitle(const QString &title, int titleHeight);
    int titleHeight() const { return m_titleHeight; }

    // Fills area: the ruler along its top stays put, the dates scroll by scroll.x() and the rows by
    // scroll.y() (0 shows the first row right under the ruler).
    void paint(QPainter &painter, const QRectF &area, const QPointF &scroll) const;

    // The legend in one line, or in as many as it takes to stay within maxWidth.
    QSizeF legendSize(double maxWidth = 1e9) const;
    // The legend in a framed box at topLeft.
    void paintLegend(QPainter &painter, const QPointF &topLeft, double maxWidth = 1e9) const;

    // The legend in a band of its own, as wide as the picture or view and as tall as legendBandHeight(),
    // placed below the rows or the ruler so that it never covers a bar.
    double legendBandHeight(double width) const;
    void paintLegendBand(QPainter &painter, const QRectF &band) const;

    // The legend's entries that only some plans need, worked out once from the plan, since every page of a
    // long PDF asks for the legend again.
    struct LegendNeeds {
        bool progress = false;
        bool milestone = false;
        bool parallel = false;
        bool waits = false;
        bool after = false;
    };

private:
    void paintRuler(QPainter &painter, double left, double top, double width, double x0) const;
    void paintBar(QPainter &painter, int row, double x0, double x1) const;
    void paintGroups(QPainter &painter, int firstRow, int endRow) const;
    void paintAfterLines(QPainter &painter, int firstRow, int endRow) const;
    void paintTitle(QPainter &painter, const QRectF &band) const;
    void paintLegendItems(QPainter &painter, const QPointF &topLeft, double maxWidth) const;
    QString statusOf(int row) const;
    std::vector<QPointF> legendPlaces(double maxWidth) const; // each item's top left within the legend

    const TimelineGeometry *m_geometry;
    std::function<bool(int)> m_isSelected;
    double m_labelWidth = 0;
    QString m_title;
    int m_titleHeight = 0;
    LegendNeeds m_legendNeeds;
    // Every task's wait for a row above it, in row order, and the highest row (the lowest number) any
    // link from there on starts at: a page of a long plan looks only at the links that can cross it.
    struct AfterLink {
        int row;
        int above;
    };
    std::vector<AfterLink> m_afterLinks;
    std::vector<int> m_lowestAboveFrom;
};

} // namespace ambrel
