#include "app/TimelineView.h"

#include "timeline/TimelineGeometry.h"
#include "timeline/TimelinePainter.h"
#include "timeline/TimelineToolTip.h"

#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ambrel {

namespace {

constexpr double kWheelStep = 1.25; // per notch of the wheel
constexpr double kBarTolerance = 3; // a thin bar is hard to hit exactly
constexpr int kRowsKeptBesideLegend = 3; // a shorter view leaves the legend out rather than the rows

} // namespace

TimelineView::TimelineView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("TimelineView"));
    setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(20);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TimelineView::verticalOffsetChanged);
    m_empty.today = QDate::currentDate();
    rebuildGeometry();
}

TimelineView::~TimelineView() = default;

void TimelineView::setData(const TimelineData *data)
{
    const double pixelsPerDay = m_geometry->pixelsPerDay();
    const int dateScroll = horizontalScrollBar()->value();
    const QDate firstShown = m_geometry->dateAt(dateScroll);
    m_data = data ? data : &m_empty;
    rebuildGeometry();
    if (m_fitted) {
        fitToWindow();
        return;
    }
    // A rebuild keeps the person's zoom and the date they were looking at.
    m_geometry->setPixelsPerDay(pixelsPerDay);
    updateScrollBars();
    horizontalScrollBar()->setValue(int(std::lround(m_geometry->xForDate(firstShown))));
    viewport()->update();
}

void TimelineView::rebuildGeometry()
{
    m_geometry = std::make_unique<TimelineGeometry>(m_data);
    m_geometry->setRowMetrics(m_headerHeight, m_rowHeight);
    m_painter = std::make_unique<TimelinePainter>(m_geometry.get());
    m_painter->setSelectedRows([this](int row) {
        const QAbstractItemModel *model = m_selection ? m_selection->model() : nullptr;
        return model && row < model->rowCount() && m_selection->isSelected(model->index(row, 0));
    });
}

void TimelineView::setSelectionModel(QItemSelectionModel *selectionModel)
{
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
    m_selection = selectionModel;
    if (m_selection) {
        const auto repaint = [this] { viewport()->update(); };
        connect(m_selection, &QItemSelectionModel::selectionChanged, this, repaint);
        connect(m_selection, &QItemSelectionModel::currentChanged, this, repaint);
    }
    viewport()->update();
}

void TimelineView::setRowMetrics(int headerHeight, int rowHeight)
{
    m_headerHeight = std::max(0, headerHeight);
    m_rowHeight = std::max(1, rowHeight);
    m_geometry->setRowMetrics(m_headerHeight, m_rowHeight);
    updateScrollBars();
    viewport()->update();
}

void TimelineView::setVerticalOffset(int pixels)
{
    verticalScrollBar()->setValue(pixels);
}

int TimelineView::verticalOffset() const
{
    return verticalScrollBar()->value();
}

double TimelineView::pixelsPerDay() const
{
    return m_geometry->pixelsPerDay();
}

double TimelineView::minPixelsPerDay() const
{
    // Zooming out stops once a year or so shows, or at the fitted zoom for a longer project.
    return std::min(1.0, m_geometry->pixelsPerDayToFit(viewport()->width()));
}

void TimelineView::zoomIn()
{
    m_fitted = false;
    zoomTo(m_geometry->pixelsPerDay() * kZoomStep, viewport()->width() / 2.0);
}

void TimelineView::zoomOut()
{
    m_fitted = false;
    zoomTo(m_geometry->pixelsPerDay() / kZoomStep, viewport()->width() / 2.0);
}

void TimelineView::fitToWindow()
{
    m_fitted = true;
    m_geometry->setPixelsPerDay(m_geometry->pixelsPerDayToFit(std::max(1, viewport()->width())));
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit zoomChanged(m_geometry->pixelsPerDay());
}

void TimelineView::zoomTo(double pixelsPerDay, double anchorX)
{
    const double before = m_geometry->pixelsPerDay();
    const double days = (horizontalScrollBar()->value() + anchorX) / before;
    m_geometry->setPixelsPerDay(std::max(pixelsPerDay, minPixelsPerDay()));
    updateScrollBars();
    horizontalScrollBar()->setValue(int(std::lround(days * m_geometry->pixelsPerDay() - anchorX)));
    viewport()->update();
    if (m_geometry->pixelsPerDay() != before)
        emit zoomChanged(m_geometry->pixelsPerDay());
}

void TimelineView::updateScrollBars()
{
    const QSize size = viewport()->size();
    QScrollBar *dates = horizontalScrollBar();
    dates->setPageStep(std::max(1, size.width()));
    dates->setRange(0, std::max(0, int(std::ceil(m_geometry->dateAxisWidth())) - size.width()));
    QScrollBar *rows = verticalScrollBar();
    rows->setSingleStep(m_rowHeight);
    const int rowsBottom = size.height() - legendBandHeight();
    rows->setPageStep(std::max(1, rowsBottom - m_headerHeight));
    rows->setRange(0, std::max(0, int(std::ceil(m_geometry->contentHeight())) - rowsBottom));
}

QRectF TimelineView::barRectOnViewport(int row) const
{
    return m_geometry->barRect(row).translated(
        -horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

int TimelineView::legendBandHeight() const
{
    const int band = int(std::ceil(m_painter->legendBandHeight(viewport()->width())));
    return viewport()->height() - band >= m_headerHeight + kRowsKeptBesideLegend * m_rowHeight ? band : 0;
}

int TimelineView::rowAtViewport(const QPoint &pos) const
{
    if (pos.y() < m_headerHeight || pos.y() >= viewport()->height() - legendBandHeight())
        return -1;
    return m_geometry->rowAt(pos.y() + verticalScrollBar()->value());
}

QString TimelineView::toolTipAt(const QPoint &viewportPos) const
{
    const int row = rowAtViewport(viewportPos);
    if (row < 0)
        return {};
    const QRectF bar = barRectOnViewport(row).adjusted(-kBarTolerance, 0, kBarTolerance, 0);
    if (bar.isEmpty() || viewportPos.x() < bar.left() || viewportPos.x() > bar.right())
        return {};
    return TimelineToolTip::html(m_data->tasks[size_t(row)], m_data->today);
}

void TimelineView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setFont(font());
    // The legend has a band of its own under the rows, so that it never covers a bar.
    const int band = legendBandHeight();
    const QRect rows = viewport()->rect().adjusted(0, 0, 0, -band);
    m_painter->paint(painter, rows, QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    if (band > 0)
        m_painter->paintLegendBand(painter, QRectF(0, rows.bottom() + 1, rows.width(), band));
}

void TimelineView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_fitted)
        fitToWindow();
    else
        updateScrollBars();
}

void TimelineView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) {
        m_fitted = false;
        zoomTo(m_geometry->pixelsPerDay() * std::pow(kWheelStep, notches), event->position().x());
    }
    event->accept();
}

void TimelineView::mousePressEvent(QMouseEvent *event)
{
    const int row = rowAtViewport(event->position().toPoint());
    if (event->button() != Qt::LeftButton || row < 0) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (m_selection && m_selection->model() && row < m_selection->model()->rowCount()) {
        m_selection->setCurrentIndex(m_selection->model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    emit rowClicked(row);
    event->accept();
}

bool TimelineView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TimelineView::scrollContentsBy(int, int)
{
    viewport()->update();
}

} // namespace ambrel
