#pragma once

#include "timeline/TimelineData.h"

#include <QAbstractScrollArea>
#include <QItemSelectionModel>
#include <QPointer>

#include <memory>

namespace ambrel {

class TimelineGeometry;
class TimelinePainter;

// The schedule as bars on a time axis, one bar per row of the task list and level with it. It shares the
// list's selection; a click on a row selects it there and emits rowClicked so the window can run its row
// click. Ctrl+wheel zooms about the mouse; it opens fitted to the project and stays fitted, through
// rebuilds and resizes, until the person zooms.
//
// Use beside the task list (a QTreeView with uniform rows):
//     timeline->setSelectionModel(list->selectionModel());
//     timeline->setRowMetrics(list->header()->height(), list->sizeHintForRow(0));
//     timeline->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the list's scroll bar serves both
//     connect(list->verticalScrollBar(), &QScrollBar::valueChanged, timeline,
//         [=](int value) { timeline->setVerticalOffset(value * rowHeight); }); // per-item list; pixels as
//         they are
//     connect(timeline, &TimelineView::rowClicked, window, [=](int row) { window->rowClick(model->index(row,
//     0)); }); after each rebuild: timeline->setData(&project.timelineData()) (the data must outlive the
//     view's use).
// View → Zoom In / Zoom Out / Fit to Window call the slots of the same names.
class TimelineView final : public QAbstractScrollArea {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TimelineView)

public:
    static constexpr double kZoomStep = 1.5;

    explicit TimelineView(QWidget *parent = nullptr);
    ~TimelineView() override;

    // Shows data, which the view keeps a pointer to; nullptr shows an empty timeline.
    void setData(const TimelineData *data);
    void setSelectionModel(QItemSelectionModel *selectionModel);
    QItemSelectionModel *selectionModel() const { return m_selection; }

    // The list's header and row heights, so that each bar sits on its row.
    void setRowMetrics(int headerHeight, int rowHeight);
    // How far the rows are scrolled, in pixels, as the list is.
    void setVerticalOffset(int pixels);
    int verticalOffset() const;

    double pixelsPerDay() const;
    bool isFitted() const { return m_fitted; }
    const TimelineGeometry &geometry() const { return *m_geometry; }
    // The row's bar where it lies on the viewport, and the tooltip shown at a viewport point.
    QRectF barRectOnViewport(int row) const;
    QString toolTipAt(const QPoint &viewportPos) const;
    // The legend's band along the bottom of the viewport, below the rows; 0 when the view is too short for
    // it. A list beside the view ends this much higher to stay level with the rows.
    int legendBandHeight() const;

public slots:
    void zoomIn();
    void zoomOut();
    void fitToWindow();

signals:
    void rowClicked(int row);
    void verticalOffsetChanged(int pixels);
    void zoomChanged(double pixelsPerDay);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void rebuildGeometry();
    void updateScrollBars();
    void zoomTo(double pixelsPerDay, double anchorX);
    double minPixelsPerDay() const;
    int rowAtViewport(const QPoint &pos) const;

    TimelineData m_empty;
    const TimelineData *m_data = &m_empty;
    std::unique_ptr<TimelineGeometry> m_geometry;
    std::unique_ptr<TimelinePainter> m_painter;
    QPointer<QItemSelectionModel> m_selection;
    int m_headerHeight = 24;
    int m_rowHeight = 20;
    bool m_fitted = true;
};

} // namespace ambrel
