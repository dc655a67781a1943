#pragma once

#include "timeline/TimelineData.h"

#include <QDate>
#include <QLineF>
#include <QLocale>
#include <QRectF>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace ambrel {

// The ruler's two bands, chosen by how many pixels a day gets.
enum class RulerScale { MonthsAndDays, MonthsAndWeeks, YearsAndMonths };

// How a task's bar is drawn: solid runs with faint gaps, an outlined hatched bar for a task that makes no
// calendar event, a thin marker at the start for a task that ends before it starts, a diamond on a
// milestone's date.
enum class BarKind { Hidden, Events, NoEvent, Negative, Milestone };

// One labelled cell of a ruler band, from x0 to x1.
struct RulerCell {
    double x0 = 0;
    double x1 = 0;
    QString label;
};

struct RulerBands {
    std::vector<RulerCell> upper;
    std::vector<RulerCell> lower;
};

// A stretch of days that are not worked: weekdays off by the working week, or days off.
struct ShadedSpan {
    double x0 = 0;
    double x1 = 0;
    bool dayOff = false;
};

// A sequential row and the parallel rows directly under it, as row numbers from first to last.
struct ParallelGroup {
    int first = 0;
    int last = 0;
};

// Places the timeline on a plane: dates along x (x = 0 is the first day's left edge), rows along y below a
// header that holds the ruler. Every query takes the visible stretch so that painting costs what is seen,
// not what the project holds. Keeps a pointer to data, which must outlive it.
class TimelineGeometry final {
public:
    static constexpr double kMaxPixelsPerDay = 64;
    // From these many pixels per day on, the ruler shows days, then weeks; below, months.
    static constexpr double kDaysFrom = 14;
    static constexpr double kWeeksFrom = 2;

    explicit TimelineGeometry(const TimelineData *data);

    const TimelineData &data() const { return *m_data; }
    QDate firstDate() const { return m_first; }
    QDate lastDate() const { return m_last; }
    qint64 dayCount() const; // days from firstDate to lastDate, both included

    double pixelsPerDay() const { return m_pixelsPerDay; }
    void setPixelsPerDay(double pixelsPerDay); // kept between a tiny minimum and maxPixelsPerDay()
    double
    maxPixelsPerDay() const; // lower than kMaxPixelsPerDay where a long span would overflow a scroll bar
    double pixelsPerDayToFit(double width) const;
    double dateAxisWidth() const;
    RulerScale rulerScale() const;

    double xForDate(const QDate &date) const; // the day's left edge
    QDate dateAt(double x) const;

    void setRowMetrics(int headerHeight, int rowHeight);
    int headerHeight() const { return m_headerHeight; }
    int rowHeight() const { return m_rowHeight; }
    int rowCount() const { return int(m_data->tasks.size()); }
    double contentHeight() const; // the header and every row
    QRectF rowRect(int row) const; // the whole date axis wide
    int rowAt(double y) const; // -1 outside the rows
    // The rows that meet y0..y1, as first and one past the last.
    std::pair<int, int> rowsBetween(double y0, double y1) const;

    BarKind barKind(int row) const;
    // From the start day's left edge to the end day's right edge; the thin marker for a negative duration;
    // the square around a milestone's diamond, centred on its day and within it once a day is wide enough.
    QRectF barRect(int row) const;
    // The share of the bar a task marked with a percentage has done: from the bar's left edge, that share of
    // its width, a band along its middle. Empty for a task without one, a done task and a milestone.
    QRectF progressRect(int row) const;
    // From the end of the task on row above to the start of the task on row, which waits for it: along the
    // row above, then down onto the top of the waiting bar. Empty when either is not drawn.
    std::vector<QLineF> afterLine(int above, int row) const;
    // The bar's calendar events between x0 and x1, runs closer than a pixel merged into one.
    std::vector<QRectF> segments(int row, double x0, double x1) const;
    // The parts of the bar between x0 and x1 that go into no calendar event.
    std::vector<QRectF> gaps(int row, double x0, double x1) const;

    // The row's task name as the timeline shows it, without blanks around it: the project name in front is
    // left to the title.
    QString label(int row) const;

    // Every group of more than one row, in row order.
    const std::vector<ParallelGroup> &parallelGroups() const { return m_groups; }
    // The groups that have a row in first..end (one past the last).
    std::vector<ParallelGroup> parallelGroupsBetween(int first, int end) const;
    // A bracket just left of the group's bars: one upright line from the first bar's middle to the last
    // one's, and a tick from it to the left end of each bar.
    std::vector<QLineF> bracket(const ParallelGroup &group) const;
    // While the plan waits for parallel groups: from the end of the group's latest-ending task along its row,
    // then down to the top of the next row's bar, where that task starts. Empty when nothing waits.
    std::vector<QLineF> waitLine(const ParallelGroup &group) const;

    RulerBands ruler(double x0, double x1, const QLocale &locale = QLocale()) const;
    std::vector<ShadedSpan> shadedSpans(double x0, double x1) const;
    std::optional<double> todayX() const; // the middle of today's day, when it lies in the range

private:
    double barTop(int row) const;
    double barHeight() const;
    double barMiddle(int row) const;
    // The right end of the row's bar, where a line to a task that waits for it starts.
    double endX(int row) const;
    // The lines from x along y down onto target's bar.
    std::vector<QLineF> downOnto(double x, double y, int target) const;

    const TimelineData *m_data;
    std::vector<ParallelGroup> m_groups;
    std::vector<QDate> m_daysOff; // sorted, each once
    QDate m_first;
    QDate m_last;
    double m_pixelsPerDay = 16;
    int m_headerHeight = 36;
    int m_rowHeight = 22;
};

} // namespace ambrel
