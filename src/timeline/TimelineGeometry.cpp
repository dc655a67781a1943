#include "timeline/TimelineGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace ambrel {

namespace {

// Scroll bars hold ints; the whole date axis has to fit in one with room to spare.
constexpr double kMaxAxisWidth = double(INT_MAX / 4);
constexpr double kMinPixelsPerDay = 1e-6;
// Narrower than this, a bar would vanish at a zoom that fits years on a screen.
constexpr double kMinBarWidth = 3;
constexpr double kMarkerWidth = 3;
// A milestone's diamond never gets smaller than this, however narrow its day.
constexpr double kMinDiamond = 9;
// How far a parallel group's bracket stands left of its bars, and the least run of a wait line.
constexpr double kBracketOffset = 5;
constexpr double kWaitStub = 4;

QDate earliest(const TimelineTask &task)
{
    return task.end.isValid() ? std::min(task.start, task.end) : task.start;
}

QDate latest(const TimelineTask &task)
{
    return task.end.isValid() ? std::max(task.start, task.end) : task.start;
}

QDate monthStart(const QDate &date)
{
    return QDate(date.year(), date.month(), 1);
}

// There is no year 0 in the calendar QDate follows; 1 BC is followed by AD 1.
QDate yearStart(int year)
{
    return QDate(year == 0 ? 1 : year, 1, 1);
}

// The smallest of 1, 2, 5, 10, 20, 50... that is at least n.
int niceStep(double n)
{
    for (int step = 1;; step *= 10) {
        for (int factor : { 1, 2, 5 }) {
            if (step * factor >= n || step > INT_MAX / 100)
                return step * factor;
        }
    }
}

} // namespace

TimelineGeometry::TimelineGeometry(const TimelineData *data)
    : m_data(data)
{
    for (const TimelineTask &task : data->tasks) {
        if (!task.start.isValid())
            continue;
        if (!m_first.isValid() || earliest(task) < m_first)
            m_first = earliest(task);
        if (!m_last.isValid() || latest(task) > m_last)
            m_last = latest(task);
    }
    if (!m_first.isValid()) {
        const QDate today = data->today.isValid() ? data->today : QDate::currentDate();
        m_first = today;
        m_last = today.addDays(13);
    }
    // A little room either side, so the first and last bars do not touch the edges.
    const qint64 margin = std::clamp<qint64>((m_last.toJulianDay() - m_first.toJulianDay()) / 40, 1, 60);
    m_first = m_first.addDays(-margin);
    m_last = m_last.addDays(margin);

    m_daysOff = data->daysOff;
    std::sort(m_daysOff.begin(), m_daysOff.end());
    m_daysOff.erase(std::unique(m_daysOff.begin(), m_daysOff.end()), m_daysOff.end());

    const int rows = int(data->tasks.size());
    for (int row = 0; row < rows;) {
        int last = row;
        while (last + 1 < rows && data->tasks[size_t(last + 1)].parallel)
            ++last;
        if (last > row)
            m_groups.push_back({ row, last });
        row = last + 1;
    }
}

qint64 TimelineGeometry::dayCount() const
{
    return m_last.toJulianDay() - m_first.toJulianDay() + 1;
}

void TimelineGeometry::setPixelsPerDay(double pixelsPerDay)
{
    m_pixelsPerDay = std::clamp(pixelsPerDay, kMinPixelsPerDay, maxPixelsPerDay());
}

double TimelineGeometry::maxPixelsPerDay() const
{
    return std::min(kMaxPixelsPerDay, kMaxAxisWidth / double(dayCount()));
}

double TimelineGeometry::pixelsPerDayToFit(double width) const
{
    return std::clamp(width / double(dayCount()), kMinPixelsPerDay, maxPixelsPerDay());
}

double TimelineGeometry::dateAxisWidth() const
{
    return double(dayCount()) * m_pixelsPerDay;
}

RulerScale TimelineGeometry::rulerScale() const
{
    if (m_pixelsPerDay >= kDaysFrom)
        return RulerScale::MonthsAndDays;
    if (m_pixelsPerDay >= kWeeksFrom)
        return RulerScale::MonthsAndWeeks;
    return RulerScale::YearsAndMonths;
}

double TimelineGeometry::xForDate(const QDate &date) const
{
    return double(date.toJulianDay() - m_first.toJulianDay()) * m_pixelsPerDay;
}

QDate TimelineGeometry::dateAt(double x) const
{
    return m_first.addDays(qint64(std::floor(x / m_pixelsPerDay)));
}

void TimelineGeometry::setRowMetrics(int headerHeight, int rowHeight)
{
    m_headerHeight = std::max(0, headerHeight);
    m_rowHeight = std::max(1, rowHeight);
}

double TimelineGeometry::contentHeight() const
{
    return m_headerHeight + double(rowCount()) * m_rowHeight;
}

QRectF TimelineGeometry::rowRect(int row) const
{
    return QRectF(0, m_headerHeight + double(row) * m_rowHeight, dateAxisWidth(), m_rowHeight);
}

int TimelineGeometry::rowAt(double y) const
{
    if (y < m_headerHeight)
        return -1;
    const double row = std::floor((y - m_headerHeight) / m_rowHeight);
    return row < rowCount() ? int(row) : -1;
}

std::pair<int, int> TimelineGeometry::rowsBetween(double y0, double y1) const
{
    const auto clampRow = [this](double row) { return int(std::clamp(row, 0.0, double(rowCount()))); };
    return { clampRow(std::floor((y0 - m_headerHeight) / m_rowHeight)),
        clampRow(std::ceil((y1 - m_headerHeight) / m_rowHeight)) };
}

double TimelineGeometry::barHeight() const
{
    return std::max(2.0, std::round(m_rowHeight * 0.6));
}

double TimelineGeometry::barTop(int row) const
{
    return m_headerHeight + double(row) * m_rowHeight + std::floor((m_rowHeight - barHeight()) / 2);
}

BarKind TimelineGeometry::barKind(int row) const
{
    const TimelineTask &task = m_data->tasks[size_t(row)];
    if (!task.start.isValid())
        return BarKind::Hidden;
    if (task.marks.milestone)
        return BarKind::Milestone;
    if (task.end.isValid() && task.end < task.start)
        return BarKind::Negative;
    return task.runs.empty() ? BarKind::NoEvent : BarKind::Events;
}

QRectF TimelineGeometry::barRect(int row) const
{
    const TimelineTask &task = m_data->tasks[size_t(row)];
    switch (barKind(row)) {
    case BarKind::Hidden:
        return {};
    case BarKind::Negative: {
        const double height = std::min(double(m_rowHeight) - 2, barHeight() + 4);
        return QRectF(xForDate(task.start) - kMarkerWidth / 2,
            m_headerHeight + double(row) * m_rowHeight + (m_rowHeight - height) / 2, kMarkerWidth, height);
    }
    case BarKind::Milestone: {
        const double side
            = std::clamp(m_pixelsPerDay, kMinDiamond, std::min(double(m_rowHeight) - 2, barHeight() + 4));
        const QPointF middle(xForDate(task.start) + m_pixelsPerDay / 2, barMiddle(row));
        return QRectF(middle.x() - side / 2, middle.y() - side / 2, side, side);
    }
    case BarKind::Events:
    case BarKind::NoEvent:
        break;
    }
    const QDate end = task.end.isValid() ? task.end : task.start;
    const double x0 = xForDate(task.start);
    const double width = std::max(kMinBarWidth, xForDate(end.addDays(1)) - x0);
    return QRectF(x0, barTop(row), width, barHeight());
}

std::vector<QRectF> TimelineGeometry::segments(int row, double x0, double x1) const
{
    std::vector<QRectF> result;
    if (barKind(row) != BarKind::Events)
        return result;
    const std::vector<TimelineRun> &runs = m_data->tasks[size_t(row)].runs;
    const QDate from = dateAt(x0);
    auto run = std::lower_bound(runs.begin(), runs.end(), from,
        [](const TimelineRun &r, const QDate &date) { return r.last < date; });
    const double top = barTop(row);
    const double barRight = barRect(row).right();
    for (; run != runs.end(); ++run) {
        const double left = xForDate(run->first);
        if (left > x1)
            break;
        // Widened to stay visible, but never past the end of its bar.
        const double right
            = std::min(barRight, std::max(left + kMinBarWidth, xForDate(run->last.addDays(1))));
        if (!result.empty() && left - result.back().right() < 1)
            result.back().setRight(std::max(result.back().right(), right));
        else
            result.emplace_back(QPointF(left, top), QPointF(right, top + barHeight()));
    }
    return result;
}

std::vector<QRectF> TimelineGeometry::gaps(int row, double x0, double x1) const
{
    std::vector<QRectF> result;
    if (barKind(row) != BarKind::Events)
        return result;
    const QRectF bar = barRect(row);
    const double left = std::max(bar.left(), x0);
    const double right = std::min(bar.right(), x1);
    if (left >= right)
        return result;
    double cursor = left;
    for (const QRectF &segment : segments(row, left, right)) {
        if (segment.left() > cursor)
            result.emplace_back(QPointF(cursor, bar.top()), QPointF(segment.left(), bar.bottom()));
        cursor = std::max(cursor, segment.right());
    }
    if (cursor < right)
        result.emplace_back(QPointF(cursor, bar.top()), QPointF(right, bar.bottom()));
    return result;
}

double TimelineGeometry::barMiddle(int row) const
{
    return barTop(row) + barHeight() / 2;
}

QRectF TimelineGeometry::progressRect(int row) const
{
    const TimelineTask &task = m_data->tasks[size_t(row)];
    const BarKind kind = barKind(row);
    if ((kind != BarKind::Events && kind != BarKind::NoEvent) || !task.marks.progress || task.marks.isDone())
        return {};
    const QRectF bar = barRect(row);
    const double share = std::clamp(*task.marks.progress, 0, 100) / 100.0;
    const double height = std::max(2.0, std::round(bar.height() / 2));
    return QRectF(bar.left(), bar.center().y() - height / 2, bar.width() * share, height);
}

double TimelineGeometry::endX(int row) const
{
    const BarKind kind = barKind(row);
    if (kind == BarKind::Milestone)
        return barRect(row).right();
    // A bar widened to stay visible may reach past its end date; the line starts where the bar ends.
    return std::max(xForDate(m_data->tasks[size_t(row)].end.addDays(1)),
        kind == BarKind::Negative ? 0.0 : barRect(row).right());
}

std::vector<QLineF> TimelineGeometry::downOnto(double x, double y, int target) const
{
    // Clear of the end where there is room, but always onto the target bar, however short; onto a diamond's
    // top corner.
    const QRectF bar = barRect(target);
    const double down = barKind(target) == BarKind::Milestone
        ? bar.center().x()
        : std::max(bar.left(), std::min(x + kWaitStub, bar.center().x()));
    return { QLineF(x, y, down, y), QLineF(down, y, down, bar.top()) };
}

std::vector<QLineF> TimelineGeometry::afterLine(int above, int row) const
{
    if (above < 0 || above >= row || row >= rowCount() || barKind(above) == BarKind::Hidden
        || barKind(row) == BarKind::Hidden)
        return {};
    return downOnto(endX(above), barMiddle(above), row);
}

QString TimelineGeometry::label(int row) const
{
    // The blanks around a name ("// Review ") only say how it was typed.
    return m_data->tasks[size_t(row)].name.trimmed();
}

std::vector<ParallelGroup> TimelineGeometry::parallelGroupsBetween(int first, int end) const
{
    auto group = std::lower_bound(m_groups.begin(), m_groups.end(), first,
        [](const ParallelGroup &g, int row) { return g.last < row; });
    std::vector<ParallelGroup> result;
    for (; group != m_groups.end() && group->first < end; ++group)
        result.push_back(*group);
    return result;
}

std::vector<QLineF> TimelineGeometry::bracket(const ParallelGroup &group) const
{
    std::vector<int> shown;
    double left = 0;
    for (int row = group.first; row <= group.last; ++row) {
        if (barKind(row) == BarKind::Hidden)
            continue;
        left = shown.empty() ? barRect(row).left() : std::min(left, barRect(row).left());
        shown.push_back(row);
    }
    std::vector<QLineF> lines;
    if (shown.size() < 2)
        return lines;
    const double x = left - kBracketOffset;
    lines.emplace_back(x, barMiddle(shown.front()), x, barMiddle(shown.back()));
    for (int row : shown)
        lines.emplace_back(x, barMiddle(row), barRect(row).left(), barMiddle(row));
    return lines;
}

std::vector<QLineF> TimelineGeometry::waitLine(const ParallelGroup &group) const
{
    std::vector<QLineF> lines;
    const int next = group.last + 1;
    if (!m_data->waitsForParallel || next >= rowCount() || barKind(next) == BarKind::Hidden)
        return lines;
    int latest = -1;
    for (int row = group.first; row <= group.last; ++row) {
        const TimelineTask &task = m_data->tasks[size_t(row)];
        if (barKind(row) != BarKind::Hidden && task.end.isValid()
            && (latest < 0 || task.end > m_data->tasks[size_t(latest)].end))
            latest = row;
    }
    if (latest < 0)
        return lines;
    return downOnto(endX(latest), barMiddle(latest), next);
}

RulerBands TimelineGeometry::ruler(double x0, double x1, const QLocale &locale) const
{
    RulerBands bands;
    x0 = std::max(0.0, x0);
    x1 = std::min(dateAxisWidth(), x1);
    if (x0 >= x1)
        return bands;
    const QDate from = dateAt(x0);
    const QDate to = std::min(dateAt(x1), m_last);
    const auto cell = [this](const QDate &first, const QDate &next, const QString &label) {
        return RulerCell { xForDate(first), xForDate(next), label };
    };
    const double monthWidth = 30.4 * m_pixelsPerDay;
    const auto monthLabel = [&](const QDate &month) {
        if (monthWidth >= 90)
            return locale.monthName(month.month(), QLocale::LongFormat) + QLatin1Char(' ')
                + QString::number(month.year());
        if (monthWidth >= 56)
            return locale.monthName(month.month(), QLocale::ShortFormat) + QLatin1Char(' ')
                + QString::number(month.year());
        if (monthWidth >= 28)
            return locale.monthName(month.month(), QLocale::ShortFormat);
        if (monthWidth >= 10)
            return locale.monthName(month.month(), QLocale::ShortFormat).left(1);
        return QString();
    };
    const auto addMonths = [&](std::vector<RulerCell> &band) {
        for (QDate month = monthStart(from); month <= to; month = month.addMonths(1))
            band.push_back(cell(month, month.addMonths(1), monthLabel(month)));
    };

    switch (rulerScale()) {
    case RulerScale::MonthsAndDays:
        addMonths(bands.upper);
        for (QDate day = from; day <= to; day = day.addDays(1))
            bands.lower.push_back(cell(day, day.addDays(1), QString::number(day.day())));
        break;
    case RulerScale::MonthsAndWeeks: {
        addMonths(bands.upper);
        const QDate monday = from.addDays(1 - from.dayOfWeek());
        for (QDate week = monday; week <= to; week = week.addDays(7))
            bands.lower.push_back(cell(week, week.addDays(7), QString::number(week.day())));
        break;
    }
    case RulerScale::YearsAndMonths: {
        // Years thin out to every 2nd, 5th, 10th... so that labels never crowd.
        const int step = niceStep(48.0 / (365.25 * m_pixelsPerDay));
        const int firstYear = from.year() - ((from.year() % step) + step) % step;
        for (int year = firstYear; year <= to.year(); year += step)
            bands.upper.push_back(cell(yearStart(year), yearStart(year + step), QString::number(year)));
        if (monthWidth >= 4) {
            addMonths(bands.lower);
        } else if (step == 1 && 365.25 * m_pixelsPerDay >= 4) {
            for (int year = from.year(); year <= to.year(); ++year)
                bands.lower.push_back(cell(yearStart(year), yearStart(year + 1), QString()));
        }
        break;
    }
    }
    return bands;
}

std::vector<ShadedSpan> TimelineGeometry::shadedSpans(double x0, double x1) const
{
    std::vector<ShadedSpan> spans;
    x0 = std::max(0.0, x0);
    x1 = std::min(dateAxisWidth(), x1);
    if (x0 >= x1)
        return spans;
    const QDate from = dateAt(x0);
    const QDate to = std::min(dateAt(x1), m_last);
    const auto add = [&](const QDate &day, bool dayOff) {
        const double left = xForDate(day);
        const double right = std::max(left + 1, xForDate(day.addDays(1)));
        if (!spans.empty() && spans.back().dayOff == dayOff && left - spans.back().x1 < 0.5)
            spans.back().x1 = right;
        else
            spans.push_back({ left, right, dayOff });
    };
    // Below a pixel and a half a day, weekends would only grey the whole axis; days off still show.
    if (m_pixelsPerDay >= 1.5) {
        auto off = std::lower_bound(m_daysOff.begin(), m_daysOff.end(), from);
        for (QDate day = from; day <= to; day = day.addDays(1)) {
            const bool dayOff = off != m_daysOff.end() && *off == day;
            if (dayOff)
                ++off;
            if (dayOff || !m_data->calendar.IsWorkingDay(day))
                add(day, dayOff);
        }
    } else {
        for (auto off = std::lower_bound(m_daysOff.begin(), m_daysOff.end(), from);
             off != m_daysOff.end() && *off <= to; ++off)
            add(*off, true);
    }
    return spans;
}

std::optional<double> TimelineGeometry::todayX() const
{
    const QDate today = m_data->today;
    if (!today.isValid() || today < m_first || today > m_last)
        return std::nullopt;
    return xForDate(today) + m_pixelsPerDay / 2;
}

} // namespace ambrel
