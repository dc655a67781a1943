#include "schedule/ScheduleBuilder.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/TimelinePalette.h"
#include "timeline/TimelineToolTip.h"

#include <QTest>

using namespace ambrel;

Q_DECLARE_METATYPE(ambrel::TimelineData)
Q_DECLARE_METATYPE(ambrel::TimelineTask)
Q_DECLARE_METATYPE(ambrel::RulerScale)

namespace {

const WorkingCalendar kMondayToFriday({ 0, 1, 1, 1, 1, 1, 0, 0 }, true);
const QDate kMonday(2024, 6, 3);

TimelineTask task(const QDate &start, const QDate &end, double dayCount, std::vector<TimelineRun> runs)
{
    TimelineTask made { QStringLiteral("Launch: Build"), start, end, dayCount, std::move(runs) };
    made.name = QStringLiteral("Build");
    return made;
}

TimelineData project(std::vector<TimelineTask> tasks, std::vector<QDate> daysOff = {})
{
    return TimelineData { std::move(tasks), kMondayToFriday, std::move(daysOff), kMonday,
        QStringLiteral("Launch") };
}

// The lines as a person types them, scheduled from kMonday and read into the timeline.
TimelineData typed(const QString &projectName, const QStringList &lines)
{
    ScheduleState state;
    state.PickedStartDate = kMonday;
    const ScheduleRequest request { lines.join(QStringLiteral("\r\n")), projectName, true, kMondayToFriday,
        QStringLiteral("9:00 AM"), QStringLiteral("5:00 PM") };
    Schedule schedule;
    if (ScheduleBuilder::build(state, request, kMonday, schedule))
        qFatal("the sample plan was refused");
    return TimelineData::fromSchedule(schedule, kMondayToFriday, kMonday);
}

// Whether the line runs through the inside of any bar; touching an edge is allowed.
bool crossesABar(const TimelineGeometry &geometry, const QLineF &line)
{
    for (int row = 0; row < geometry.rowCount(); ++row) {
        const QRectF inside = geometry.barRect(row).adjusted(1, 1, -1, -1);
        for (int step = 0; step <= 50; ++step) {
            if (inside.isValid() && inside.contains(line.pointAt(step / 50.0)))
                return true;
        }
    }
    return false;
}

// Rectangles read back as the days they cover, "first..last", so that a table row says which dates show.
QStringList days(const TimelineGeometry &geometry, const std::vector<QRectF> &rects)
{
    QStringList text;
    for (const QRectF &rect : rects)
        text << geometry.dateAt(rect.left() + 0.01).toString(Qt::ISODate) + QStringLiteral("..")
                + geometry.dateAt(rect.right() - 0.01).toString(Qt::ISODate);
    return text;
}

} // namespace

class TestTimelineGeometry : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void barRect_data();
    void barRect();
    void segmentsAndGaps_data();
    void segmentsAndGaps();
    void negativeMarkerAndHiddenRows();
    void rulerByZoom_data();
    void rulerByZoom();
    void shading_data();
    void shading();
    void rows_data();
    void rows();
    void longSpanStaysWithinScrollRange();
    void statusColorsDifferInGrey();
    void toolTip_data();
    void toolTip();
    void parallelGroupsAndNames_data();
    void parallelGroupsAndNames();
    void barsAndGroupMarks_data();
    void barsAndGroupMarks();
    void shareDone_data();
    void shareDone();
    void milestoneDiamond_data();
    void milestoneDiamond();
    void afterLines_data();
    void afterLines();
};

void TestTimelineGeometry::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTimelineGeometry::barRect_data()
{
    QTest::addColumn<QDate>("end");
    QTest::addColumn<double>("pixelsPerDay");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("width");

    // One day of margin lies before the start, so the bar begins one day in.
    QTest::newRow("three days at 10 px") << kMonday.addDays(2) << 10.0 << 10.0 << 30.0;
    QTest::newRow("a week over a weekend at 20 px") << kMonday.addDays(8) << 20.0 << 20.0 << 180.0;
    QTest::newRow("tiny zoom keeps a visible bar") << kMonday << 0.01 << 0.01 << 3.0;
}

void TestTimelineGeometry::barRect()
{
    QFETCH(QDate, end);
    QFETCH(double, pixelsPerDay);
    QFETCH(double, left);
    QFETCH(double, width);

    const TimelineData data = project({ task(kMonday, end, 3, { { kMonday, end } }) });
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(30, 20);
    geometry.setPixelsPerDay(pixelsPerDay);
    QCOMPARE(geometry.barKind(0), BarKind::Events);
    const QRectF bar = geometry.barRect(0);
    QCOMPARE(bar.left(), left);
    QCOMPARE(bar.width(), width);
    // The bar sits inside its row, below the header.
    QVERIFY(bar.top() >= 30 && bar.bottom() <= 50);
}

void TestTimelineGeometry::segmentsAndGaps_data()
{
    QTest::addColumn<TimelineData>("data");
    QTest::addColumn<double>("pixelsPerDay");
    QTest::addColumn<QStringList>("segments");
    QTest::addColumn<QStringList>("gaps");

    const QDate thursday = kMonday.addDays(3);
    QTest::newRow("weekend between two events")
        << project({ task(thursday, thursday.addDays(6), 5,
               { { thursday, thursday.addDays(1) }, { thursday.addDays(4), thursday.addDays(6) } }) })
        << 10.0 << QStringList { "2024-06-06..2024-06-07", "2024-06-10..2024-06-12" }
        << QStringList { "2024-06-08..2024-06-09" };
    QTest::newRow("a day off on Wednesday")
        << project({ task(kMonday, kMonday.addDays(4), 4,
                       { { kMonday, kMonday.addDays(1) }, { kMonday.addDays(3), kMonday.addDays(4) } }) },
               { kMonday.addDays(2) })
        << 10.0 << QStringList { "2024-06-03..2024-06-04", "2024-06-06..2024-06-07" }
        << QStringList { "2024-06-05..2024-06-05" };
    QTest::newRow("half a day past the events is faint")
        << project({ task(kMonday, kMonday.addDays(2), 2.5, { { kMonday, kMonday.addDays(1) } }) }) << 10.0
        << QStringList { "2024-06-03..2024-06-04" } << QStringList { "2024-06-05..2024-06-05" };
    QTest::newRow("gaps under a pixel merge into one segment")
        << project({ task(thursday, thursday.addDays(6), 5,
               { { thursday, thursday.addDays(1) }, { thursday.addDays(4), thursday.addDays(6) } }) })
        << 0.2 << QStringList { "2024-06-06..2024-06-20" } << QStringList();
    QTest::newRow("no calendar event: no segments")
        << project({ task(kMonday, kMonday, 0.5, {}) }) << 10.0 << QStringList() << QStringList();
}

void TestTimelineGeometry::segmentsAndGaps()
{
    QFETCH(TimelineData, data);
    QFETCH(double, pixelsPerDay);
    QFETCH(QStringList, segments);
    QFETCH(QStringList, gaps);

    TimelineGeometry geometry(&data);
    geometry.setPixelsPerDay(pixelsPerDay);
    const double width = geometry.dateAxisWidth();
    QCOMPARE(days(geometry, geometry.segments(0, 0, width)), segments);
    QCOMPARE(days(geometry, geometry.gaps(0, 0, width)), gaps);
    // Segments and gaps lie inside the bar and leave none of it out.
    double covered = 0;
    for (const auto &part : { geometry.segments(0, 0, width), geometry.gaps(0, 0, width) }) {
        for (const QRectF &rect : part) {
            QVERIFY(geometry.barRect(0).contains(rect.center()));
            covered += rect.width();
        }
    }
    if (!segments.isEmpty())
        QCOMPARE(covered, geometry.barRect(0).width());
}

void TestTimelineGeometry::negativeMarkerAndHiddenRows()
{
    const TimelineData data = project({ task(kMonday, kMonday.addDays(-4), -3, {}),
        task(kMonday, kMonday, 0.5, {}), task(QDate(), QDate(), 1, {}) });
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(30, 20);
    geometry.setPixelsPerDay(10);

    QCOMPARE(geometry.barKind(0), BarKind::Negative);
    const QRectF marker = geometry.barRect(0);
    QVERIFY(marker.width() <= 4);
    QCOMPARE(marker.center().x(), geometry.xForDate(kMonday));
    QVERIFY(geometry.segments(0, 0, 1000).empty());

    QCOMPARE(geometry.barKind(1), BarKind::NoEvent);
    QCOMPARE(geometry.barRect(1).width(), 10.0);
    QCOMPARE(geometry.barKind(2), BarKind::Hidden);
    QVERIFY(geometry.barRect(2).isNull());
    // The range holds the marker's end too: the negative task reaches back four days.
    QVERIFY(geometry.firstDate() < kMonday.addDays(-4));
}

void TestTimelineGeometry::rulerByZoom_data()
{
    QTest::addColumn<double>("pixelsPerDay");
    QTest::addColumn<RulerScale>("scale");
    QTest::addColumn<QString>("firstUpper");
    QTest::addColumn<QStringList>("firstLower"); // the first three labels

    QTest::newRow("30 px: months and days")
        << 30.0 << RulerScale::MonthsAndDays << "March 2024" << QStringList { "1", "2", "3" };
    QTest::newRow("14 px: still days")
        << 14.0 << RulerScale::MonthsAndDays << "March 2024" << QStringList { "1", "2", "3" };
    QTest::newRow("5 px: months and weeks from Monday")
        << 5.0 << RulerScale::MonthsAndWeeks << "March 2024" << QStringList { "26", "4", "11" };
    QTest::newRow("1 px: years and months")
        << 1.0 << RulerScale::YearsAndMonths << "2024" << QStringList { "Mar", "Apr", "May" };
    QTest::newRow("0.2 px: years and first letters")
        << 0.2 << RulerScale::YearsAndMonths << "2024" << QStringList { "", "", "" };
}

void TestTimelineGeometry::rulerByZoom()
{
    QFETCH(double, pixelsPerDay);
    QFETCH(RulerScale, scale);
    QFETCH(QString, firstUpper);
    QFETCH(QStringList, firstLower);

    const QDate start(2024, 3, 2);
    const TimelineData data = project({ task(start, start.addDays(900), 600, { { start, start } }) });
    TimelineGeometry geometry(&data);
    geometry.setPixelsPerDay(pixelsPerDay);
    QCOMPARE(geometry.rulerScale(), scale);
    const double x0 = geometry.xForDate(QDate(2024, 3, 1));
    const RulerBands bands = geometry.ruler(x0, x0 + 2000);
    QVERIFY(!bands.upper.empty());
    QCOMPARE(bands.upper.front().label, firstUpper);
    QStringList lower;
    for (size_t i = 0; i < 3 && i < bands.lower.size(); ++i)
        lower << bands.lower[i].label;
    QCOMPARE(lower, firstLower);
    // Cells follow each other without gaps or overlaps.
    for (const auto &band : { bands.upper, bands.lower }) {
        for (size_t i = 1; i < band.size(); ++i)
            QCOMPARE(band[i].x0, band[i - 1].x1);
    }
}

void TestTimelineGeometry::shading_data()
{
    QTest::addColumn<double>("pixelsPerDay");
    QTest::addColumn<QStringList>("spans"); // "first..last" and whether it is a day off

    QTest::newRow("10 px: weekends and the day off")
        << 10.0
        << QStringList { "2024-06-02..2024-06-02", "2024-06-05..2024-06-05 off", "2024-06-08..2024-06-08" };
    QTest::newRow("1 px: the day off only") << 1.0 << QStringList { "2024-06-05..2024-06-05 off" };
}

void TestTimelineGeometry::shading()
{
    QFETCH(double, pixelsPerDay);
    QFETCH(QStringList, spans);

    const TimelineData data
        = project({ task(kMonday, kMonday.addDays(4), 4, { { kMonday, kMonday.addDays(4) } }) },
            { kMonday.addDays(2), kMonday.addDays(2) });
    TimelineGeometry geometry(&data);
    geometry.setPixelsPerDay(pixelsPerDay);
    QStringList shown;
    for (const ShadedSpan &span : geometry.shadedSpans(0, geometry.dateAxisWidth())) {
        shown << days(geometry, { QRectF(span.x0, 0, span.x1 - span.x0, 1) }).front()
                + (span.dayOff ? QStringLiteral(" off") : QString());
    }
    QCOMPARE(shown, spans);
}

void TestTimelineGeometry::rows_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("row");

    QTest::newRow("in the header") << 29.0 << -1;
    QTest::newRow("top of the first row") << 30.0 << 0;
    QTest::newRow("the third row") << 70.0 << 2;
    QTest::newRow("below the last row") << 90.0 << -1;
}

void TestTimelineGeometry::rows()
{
    QFETCH(double, y);
    QFETCH(int, row);

    const TimelineData data = project({ task(kMonday, kMonday, 1, { { kMonday, kMonday } }),
        task(kMonday, kMonday, 1, { { kMonday, kMonday } }),
        task(kMonday, kMonday, 1, { { kMonday, kMonday } }) });
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(30, 20);
    QCOMPARE(geometry.rowAt(y), row);
    QCOMPARE(geometry.contentHeight(), 90.0);
}

void TestTimelineGeometry::longSpanStaysWithinScrollRange()
{
    const TimelineData data = project(
        { task(kMonday, kMonday.addDays(2'900'000), 2'900'001, { { kMonday, kMonday.addDays(4) } }) });
    TimelineGeometry geometry(&data);
    geometry.setPixelsPerDay(TimelineGeometry::kMaxPixelsPerDay);
    QVERIFY(geometry.dateAxisWidth() < double(INT_MAX) / 2);
    geometry.setPixelsPerDay(geometry.pixelsPerDayToFit(8000));
    QVERIFY(geometry.dateAxisWidth() <= 8000);
    QCOMPARE(geometry.rulerScale(), RulerScale::YearsAndMonths);
    // Years thin out to a handful of labels across the whole axis.
    const RulerBands bands = geometry.ruler(0, 8000);
    QVERIFY(bands.upper.size() < 200);
}

void TestTimelineGeometry::statusColorsDifferInGrey()
{
    const QStringList statuses = TimelinePalette::statuses();
    QCOMPARE(statuses, QStringList({ "Pending", "Pending (Coming Soon)", "Active", "Late", "Done" }));
    // Light to dark in legend order, each step big enough to survive a grey printout.
    for (int i = 1; i < 4; ++i) {
        const int lighter = TimelinePalette::greyLevel(TimelinePalette::statusColor(statuses[i - 1]));
        const int darker = TimelinePalette::greyLevel(TimelinePalette::statusColor(statuses[i]));
        QVERIFY2(lighter - darker >= 40, qPrintable(statuses[i]));
    }
    // Done, which also carries a tick, stays apart from each of them in grey.
    const int done = TimelinePalette::greyLevel(TimelinePalette::statusColor(QStringLiteral("Done")));
    for (int i = 0; i < 4; ++i)
        QVERIFY2(qAbs(TimelinePalette::greyLevel(TimelinePalette::statusColor(statuses[i])) - done) >= 30,
            qPrintable(statuses[i]));
    // The days between a bar's events stay apart from its solid runs and from the page, in grey too.
    for (const QString &status : statuses) {
        const int between = TimelinePalette::greyLevel(TimelinePalette::betweenEventsColor(status));
        QVERIFY2(between - TimelinePalette::greyLevel(TimelinePalette::statusColor(status)) >= 18,
            qPrintable(status));
        QVERIFY2(
            TimelinePalette::greyLevel(TimelinePalette::background()) - between >= 18, qPrintable(status));
    }
    // The lightest bar still stands out from the shading of days not worked.
    QVERIFY(TimelinePalette::greyLevel(TimelinePalette::nonWorkingDay())
            - TimelinePalette::greyLevel(TimelinePalette::statusColor(statuses[0]))
        >= 15);
}

void TestTimelineGeometry::toolTip_data()
{
    QTest::addColumn<TimelineTask>("task");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("two events, active") << task(kMonday.addDays(-1), kMonday.addDays(3), 5, { {}, {} })
                                        << QStringList { "Launch: Build", "Start: 6/2/2024", "End: 6/6/2024",
                                               "Days: 5", "Status: Active", "Calendar events: 2" };
    QTest::newRow("half a day: no event")
        << task(kMonday, kMonday, 0.5, {})
        << QStringList { "Launch: Build", "Start: 6/3/2024", "End: 6/3/2024", "Days: 0.5", "Status: Late",
               "Calendar events: 0", "No calendar event: fewer than one whole day" };
    QTest::newRow("negative: ends before it starts")
        << task(kMonday.addDays(5), kMonday.addDays(1), -3, {})
        << QStringList { "Launch: Build", "Start: 6/8/2024", "End: 6/4/2024", "Days: -3",
               "Status: Pending (Coming Soon)", "Calendar events: 0",
               "Negative duration: the task ends before it starts" };
    TimelineTask marked = task(kMonday.addDays(-9), kMonday.addDays(-5), 5, { {} });
    marked.marks.progress = 100;
    QTest::newRow("done, though past its end")
        << marked
        << QStringList { "Launch: Build", "Start: 5/25/2024", "End: 5/29/2024", "Days: 5", "Status: Done",
               "Calendar events: 1" };
    marked = task(kMonday, kMonday.addDays(4), 5, { {} });
    marked.marks.progress = 40;
    marked.marks.after = QStringList { "Backend", "Frontend" };
    QTest::newRow("share done, after two tasks")
        << marked
        << QStringList { "Launch: Build", "Start: 6/3/2024", "End: 6/7/2024", "Days: 5", "Status: Active",
               "Progress: 40%", "After: Backend, Frontend", "Calendar events: 1" };
    marked = task(kMonday.addDays(1), kMonday.addDays(1), 0, { {} });
    marked.marks.milestone = true;
    QTest::newRow("milestone") << marked
                               << QStringList { "Launch: Build", "Start: 6/4/2024", "End: 6/4/2024",
                                      "Days: 0", "Status: Pending (Coming Soon)", "Milestone",
                                      "Calendar events: 1" };
}

void TestTimelineGeometry::toolTip()
{
    QFETCH(TimelineTask, task);
    QFETCH(QStringList, lines);

    QCOMPARE(TimelineToolTip::text(task, kMonday).split(QLatin1Char('\n')), lines);
    task.text = QStringLiteral("<b>Bold</b> & co");
    const QString html = TimelineToolTip::html(task, kMonday);
    QVERIFY(html.contains(QStringLiteral("&lt;b&gt;Bold&lt;/b&gt; &amp; co")));
    QVERIFY(!html.contains(QStringLiteral("<b>")));
}

void TestTimelineGeometry::parallelGroupsAndNames_data()
{
    QTest::addColumn<QString>("projectName");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("groups"); // first-last of each group
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("two groups") << "Website Relaunch"
                                << QStringList { "Design + 2", "// Copy + 3", "//Photos + 1", "Build + 4",
                                       "// Test + 2", "Launch + 1" }
                                << "0-2 3-4"
                                << QStringList { "Design", "Copy", "Photos", "Build", "Test", "Launch" };
    QTest::newRow("a first // line has nothing to run beside")
        << "Plan" << QStringList { "// Alone + 1", "Next + 1", "// Beside + 1" } << "1-2"
        << QStringList { "Alone", "Next", "Beside" };
    QTest::newRow("a colon in the project and task names")
        << "R&D: Phase 2" << QStringList { "Plan: draft + 1", "// Plan: review + 1" } << "0-1"
        << QStringList { "Plan: draft", "Plan: review" };
    QTest::newRow("no project name") << "" << QStringList { "A + 1", "B + 1" } << ""
                                     << QStringList { "A", "B" };
    QTest::newRow("slashes inside a name") << "P" << QStringList { "Read a//b + 1", "////Twice + 1" } << "0-1"
                                           << QStringList { "Read ab", "Twice" };
}

void TestTimelineGeometry::parallelGroupsAndNames()
{
    QFETCH(QString, projectName);
    QFETCH(QStringList, lines);
    QFETCH(QString, groups);
    QFETCH(QStringList, labels);

    const TimelineData data = typed(projectName, lines);
    QCOMPARE(data.projectName, projectName);
    const TimelineGeometry geometry(&data);
    QStringList found;
    for (const ParallelGroup &group : geometry.parallelGroups())
        found << QStringLiteral("%1-%2").arg(group.first).arg(group.last);
    QCOMPARE(found.join(QLatin1Char(' ')), groups);
    QStringList shown;
    for (int row = 0; row < geometry.rowCount(); ++row)
        shown << geometry.label(row);
    QCOMPARE(shown, labels);
}

void TestTimelineGeometry::barsAndGroupMarks_data()
{
    QTest::addColumn<double>("pixelsPerDay");
    QTest::addColumn<bool>("waits");

    QTest::newRow("days, waiting for groups") << 24.0 << true;
    QTest::newRow("weeks, waiting for groups") << 4.0 << true;
    QTest::newRow("days, not waiting") << 24.0 << false;
}

void TestTimelineGeometry::barsAndGroupMarks()
{
    QFETCH(double, pixelsPerDay);
    QFETCH(bool, waits);

    // Groups led by the longest and by the shortest task, a half day and a negative count inside groups.
    TimelineData data = typed(QStringLiteral("Launch"),
        { "Kick-off + 1", "Requirements + 5", "// Interviews + 2", "// Survey + 7", "Architecture + 4",
            "Design + 6", "// Review + 0.5", "// Undo + -2", "Build + 10", "// Docs + 3", "Close + 1" });
    data.waitsForParallel = waits;
    if (waits) {
        // As the plan would be built: the task after a group starts the day after the group's latest end.
        const std::vector<ParallelGroup> groups = TimelineGeometry(&data).parallelGroups();
        for (const ParallelGroup &group : groups) {
            QDate latest;
            for (int row = group.first; row <= group.last; ++row)
                latest = std::max(latest, data.tasks[size_t(row)].end);
            TimelineTask &next = data.tasks[size_t(group.last + 1)];
            const qint64 shift = std::max<qint64>(0, next.start.daysTo(latest.addDays(1)));
            next.start = next.start.addDays(shift);
            next.end = next.end.addDays(shift);
            for (TimelineRun &run : next.runs)
                run = { run.first.addDays(shift), run.last.addDays(shift) };
        }
    }
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(30, 20);
    geometry.setPixelsPerDay(pixelsPerDay);

    // One bar per task, from its start day's left edge to its end day's right edge, inside its own row.
    for (int row = 0; row < geometry.rowCount(); ++row) {
        const TimelineTask &task = data.tasks[size_t(row)];
        const QRectF bar = geometry.barRect(row);
        QVERIFY(geometry.rowRect(row).contains(bar.center()));
        QVERIFY(bar.top() >= geometry.rowRect(row).top() && bar.bottom() <= geometry.rowRect(row).bottom());
        if (task.end >= task.start) {
            QCOMPARE(bar.left(), geometry.xForDate(task.start));
            QCOMPARE(bar.right(), std::max(bar.left() + 3, geometry.xForDate(task.end.addDays(1))));
        }
    }

    QCOMPARE(geometry.parallelGroups().size(), size_t(3));
    for (const ParallelGroup &group : geometry.parallelGroups()) {
        const std::vector<QLineF> bracket = geometry.bracket(group);
        // An upright line from the first bar of the group to the last, and a tick to each bar's left end.
        QCOMPARE(int(bracket.size()), group.last - group.first + 2);
        QCOMPARE(bracket.front().y1(), geometry.barRect(group.first).center().y());
        QCOMPARE(bracket.front().y2(), geometry.barRect(group.last).center().y());
        for (int row = group.first; row <= group.last; ++row)
            QCOMPARE(bracket[size_t(row - group.first + 1)].p2(),
                QPointF(geometry.barRect(row).left(), geometry.barRect(row).center().y()));
        const std::vector<QLineF> wait = geometry.waitLine(group);
        QCOMPARE(wait.empty(), !waits);
        if (waits) {
            // From where the group's last task ends, down onto the bar of the task that waits for it.
            QDate latest;
            for (int row = group.first; row <= group.last; ++row)
                latest = std::max(latest, data.tasks[size_t(row)].end);
            QCOMPARE(wait.front().x1(), geometry.xForDate(latest.addDays(1)));
            const QRectF next = geometry.barRect(group.last + 1);
            QCOMPARE(wait.back().y2(), next.top());
            QVERIFY(wait.back().x2() >= next.left() && wait.back().x2() < next.right());
        }
        for (const auto &lines : { bracket, wait }) {
            for (const QLineF &line : lines)
                QVERIFY2(!crossesABar(geometry, line), qPrintable(data.tasks[size_t(group.first)].text));
        }
    }
}

void TestTimelineGeometry::shareDone_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("share"); // -1: no share shown

    QTest::newRow("40% of a week") << "Build + 5 [40%]" << 0.4;
    QTest::newRow("25% over a weekend") << "Build + 8 [25%]" << 0.25;
    QTest::newRow("70% of a bar without events") << "Call + 0.5 [70%]" << 0.7;
    QTest::newRow("none yet") << "Build + 5 [0%]" << 0.0;
    QTest::newRow("done: the whole bar says so") << "Build + 5 [done]" << -1.0;
    QTest::newRow("no mark") << "Build + 5" << -1.0;
    QTest::newRow("a milestone has no bar to fill") << "Beta [milestone] [50%]" << -1.0;
}

void TestTimelineGeometry::shareDone()
{
    QFETCH(QString, line);
    QFETCH(double, share);

    const TimelineData data = typed(QStringLiteral("Launch"), { line });
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(30, 20);
    geometry.setPixelsPerDay(13);
    const QRectF bar = geometry.barRect(0);
    const QRectF done = geometry.progressRect(0);
    QCOMPARE(done.isNull(), share < 0);
    if (share >= 0) {
        QCOMPARE(done.left(), bar.left());
        QCOMPARE(done.width(), bar.width() * share);
        QVERIFY(done.height() >= 2 && done.top() > bar.top() && done.bottom() < bar.bottom());
    }
}

void TestTimelineGeometry::milestoneDiamond_data()
{
    QTest::addColumn<double>("pixelsPerDay");

    QTest::newRow("days") << 20.0;
    QTest::newRow("widest zoom") << 64.0;
    QTest::newRow("a day just wide enough") << 9.0;
    QTest::newRow("weeks: wider than its day") << 3.0;
    QTest::newRow("years") << 0.05;
}

void TestTimelineGeometry::milestoneDiamond()
{
    QFETCH(double, pixelsPerDay);

    const TimelineData data = typed(QStringLiteral("Launch"), { "Draft + 2", "Beta [milestone]", "Ship + 1" });
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(30, 20);
    geometry.setPixelsPerDay(pixelsPerDay);
    const QDate day = kMonday.addDays(2);
    QCOMPARE(data.tasks[1].start, day);
    QCOMPARE(geometry.barKind(1), BarKind::Milestone);
    const QRectF diamond = geometry.barRect(1);
    // A square on the middle of its day, inside its row, never too small to see.
    QCOMPARE(diamond.width(), diamond.height());
    QVERIFY(diamond.width() >= 9);
    QVERIFY(qAbs(diamond.center().x() - (geometry.xForDate(day) + pixelsPerDay / 2)) < 1e-9);
    QVERIFY(diamond.top() >= geometry.rowRect(1).top() && diamond.bottom() <= geometry.rowRect(1).bottom());
    if (pixelsPerDay >= 9) {
        QVERIFY(diamond.left() >= geometry.xForDate(day) - 1e-9);
        QVERIFY(diamond.right() <= geometry.xForDate(day.addDays(1)) + 1e-9);
    }
    QVERIFY(geometry.segments(1, 0, geometry.dateAxisWidth()).empty());
}

void TestTimelineGeometry::afterLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("waitsFor"); // the last row's rows above, as named

    QTest::newRow("one name") << QStringList { "Backend + 3", "Frontend + 2",
        "Integration + 2 [after Backend]" }
                              << QList<int> { 0 };
    QTest::newRow("two names, case and blanks ignored") << QStringList { "Backend + 3", "Frontend + 5",
        "Integration + 2 [after  frontend , BACKEND]" } << QList<int> { 1, 0 };
    QTest::newRow("the nearest of two alike")
        << QStringList { "Test + 1", "Fix + 2", "Test + 1", "Ship + 1 [after Test]" } << QList<int> { 2 };
    QTest::newRow("after a milestone")
        << QStringList { "Draft + 2", "Beta [milestone]", "Launch + 1 [after Beta]" } << QList<int> { 1 };
    QTest::newRow("onto a milestone")
        << QStringList { "Build + 3", "Other + 6", "Review [milestone] [after Build]" } << QList<int> { 0 };
    QTest::newRow("started before the end")
        << QStringList { "Build + 5", "Docs + 2 [after Build] [wait -3]" } << QList<int> { 0 };
    QTest::newRow("unknown name: no line")
        << QStringList { "Build + 5", "Docs + 2 [after Nothing]" } << QList<int> {};
}

void TestTimelineGeometry::afterLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, waitsFor);

    const TimelineData data = typed(QStringLiteral("Launch"), lines);
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(30, 20);
    geometry.setPixelsPerDay(24);
    const int row = geometry.rowCount() - 1;
    QCOMPARE(QList<int>(data.tasks.back().afterRows.begin(), data.tasks.back().afterRows.end()), waitsFor);
    const QRectF target = geometry.barRect(row);
    for (const int above : waitsFor) {
        const std::vector<QLineF> path = geometry.afterLine(above, row);
        QVERIFY(!path.empty());
        // From the named task's end, at its middle, in level and upright steps down onto the waiting task's
        // start.
        const QRectF source = geometry.barRect(above);
        const TimelineTask &named = data.tasks[size_t(above)];
        const double end = geometry.barKind(above) == BarKind::Milestone
            ? source.right()
            : std::max(source.right(), geometry.xForDate(named.end.addDays(1)));
        QCOMPARE(path.front().p1(), QPointF(end, source.center().y()));
        for (size_t i = 0; i < path.size(); ++i) {
            QVERIFY(path[i].x1() == path[i].x2() || path[i].y1() == path[i].y2());
            if (i > 0)
                QCOMPARE(path[i].p1(), path[i - 1].p2());
        }
        QCOMPARE(path.back().y2(), target.top());
        if (geometry.barKind(row) == BarKind::Milestone)
            QCOMPARE(path.back().x2(), target.center().x());
        else
            QVERIFY(path.back().x2() >= target.left() && path.back().x2() <= target.center().x());
    }
    QVERIFY(geometry.afterLine(row, row).empty());
}

QTEST_GUILESS_MAIN(TestTimelineGeometry)
#include "tst_timelinegeometry.moc"
