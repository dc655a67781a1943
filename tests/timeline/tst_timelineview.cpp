#include "app/TimelineView.h"
#include "schedule/ScheduleBuilder.h"
#include "timeline/TimelineExport.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/TimelinePainter.h"
#include "timeline/TimelinePalette.h"

#include "TimelineSamples.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;
using testing::sampleTimeline;

namespace {

const QDate kMonday(2024, 6, 3);
const QDate kToday(2024, 6, 14);

// Within a few steps of each channel: SVG renderers smooth edges, not the middle of a bar.
bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 6 && qAbs(qGreen(a) - qGreen(b)) <= 6 && qAbs(qBlue(a) - qBlue(b)) <= 6;
}

QString textOf(const std::optional<Refusal> &refusal)
{
    return refusal ? refusal->text : QString();
}

} // namespace

class TestTimelineView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void svgHoldsABarPerTask();
    void marksShowInThePicture();
    void formatByExtension_data();
    void formatByExtension();
    void pictures_data();
    void pictures();
    void tallPngRefusedFileUntouched();
    void writeFailureNamesTheFile();
    void clickSelectsTheRowInTheSharedModel_data();
    void clickSelectsTheRowInTheSharedModel();
    void zoomAndFit();
    void toolTipsExplainOddBars();
    void legendBandBelowTheRows_data();
    void legendBandBelowTheRows();
};

void TestTimelineView::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTimelineView::svgHoldsABarPerTask()
{
    const TimelineData data = sampleTimeline(12, kMonday, kToday);
    const Refusable<QByteArray> drawn = TimelineExport::render(data, TimelineExport::Format::Svg);
    QVERIFY2(!drawn.refused(), qPrintable(textOf(drawn.failure())));
    const QByteArray &svg = *drawn;

    const TimelineExport::Layout layout = TimelineExport::pictureLayout(data);
    QSvgRenderer renderer(svg);
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.viewBox(), QRect(QPoint(0, 0), layout.size));
    QImage image(layout.size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), layout.size));
    painter.end();

    // The picture's geometry, found through the same public pieces the export uses.
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(layout.headerHeight, layout.rowHeight);
    geometry.setPixelsPerDay(layout.pixelsPerDay);
    int bars = 0;
    for (int row = 0; row < geometry.rowCount(); ++row) {
        const TimelineTask &task = data.tasks[size_t(row)];
        const QString status = task.end < task.start ? QString() : QStringLiteral("Late");
        QRectF bar = geometry.barRect(row).translated(layout.labelWidth, 0);
        if (geometry.barKind(row) == BarKind::Events)
            bar = geometry.segments(row, 0, geometry.dateAxisWidth())
                      .front()
                      .translated(layout.labelWidth, 0);
        // Every bar leaves a mark darker than the background in its middle column.
        bool marked = false;
        const QRect column = bar.toAlignedRect().adjusted(1, 1, -1, -1);
        for (int y = column.top(); y <= column.bottom() && !marked; ++y) {
            for (int x = column.left(); x <= column.right() && !marked; ++x)
                marked = qGray(image.pixel(x, y)) < 200
                    || (geometry.barKind(row) == BarKind::Events
                        && near(image.pixel(x, y),
                            TimelinePalette::statusColor(QStringLiteral("Pending")).rgb()));
        }
        QVERIFY2(marked, qPrintable(task.text + status));
        ++bars;
    }
    QCOMPARE(bars, 12);
    // A late solid bar shows in the late colour.
    const QRectF first
        = geometry.segments(0, 0, geometry.dateAxisWidth()).front().translated(layout.labelWidth, 0);
    QVERIFY(near(
        image.pixel(first.center().toPoint()), TimelinePalette::statusColor(QStringLiteral("Late")).rgb()));
}

// Done, share done, a milestone and an [after] line, each found in the SVG picture where its geometry says.
void TestTimelineView::marksShowInThePicture()
{
    const WorkingCalendar calendar({ 0, 1, 1, 1, 1, 1, 0, 0 }, true);
    ScheduleState state;
    state.PickedStartDate = kMonday;
    const ScheduleRequest request { QStringLiteral(
                                        "Requirements + 3 [done]\nBackend + 8 [50%]\nBeta [milestone]\n"
                                        "Integration + 3 [after Requirements]"),
        QStringLiteral("Launch"), true, calendar, QStringLiteral("9:00 AM"), QStringLiteral("5:00 PM") };
    Schedule schedule;
    QVERIFY(!ScheduleBuilder::build(state, request, kMonday, schedule));
    const TimelineData data = TimelineData::fromSchedule(schedule, calendar, kToday);
    const QByteArray svg = *TimelineExport::render(data, TimelineExport::Format::Svg);
    const TimelineExport::Layout layout = TimelineExport::pictureLayout(data);
    QImage image(layout.size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QSvgRenderer(svg).render(&painter, QRectF(QPointF(0, 0), layout.size));
    painter.end();
    TimelineGeometry geometry(&data);
    geometry.setRowMetrics(layout.headerHeight, layout.rowHeight);
    geometry.setPixelsPerDay(layout.pixelsPerDay);
    const auto pixel
        = [&](const QPointF &at) { return image.pixel(at.toPoint() + QPoint(int(layout.labelWidth), 0)); };
    const auto color
        = [](const char *status) { return TimelinePalette::statusColor(QLatin1String(status)).rgb(); };

    QVERIFY(near(pixel(geometry.barRect(0).topRight() + QPointF(-3, 2)), color("Done")));
    const QRectF share = geometry.progressRect(1);
    QVERIFY(near(pixel(share.center()), TimelinePalette::background().rgb()));
    QVERIFY(near(pixel(QPointF(share.right() + 3, share.center().y())), color("Active")));
    QVERIFY(near(pixel(geometry.barRect(2).center()), color("Pending (Coming Soon)")));
    const std::vector<QLineF> after = geometry.afterLine(0, 3);
    QCOMPARE(after.size(), std::size_t(2));
    QVERIFY(qGray(pixel(after.back().center())) < 120);
}

void TestTimelineView::formatByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format"); // -1: none

    QTest::newRow("png") << "plan.png" << int(TimelineExport::Format::Png);
    QTest::newRow("upper-case SVG") << "plan.SVG" << int(TimelineExport::Format::Svg);
    QTest::newRow("pdf in a folder with dots") << "out.v2/plan.pdf" << int(TimelineExport::Format::Pdf);
    QTest::newRow("jpg") << "plan.jpg" << -1;
    QTest::newRow("no extension") << "png" << -1;
    QTest::newRow("png then txt") << "plan.png.txt" << -1;
}

void TestTimelineView::formatByExtension()
{
    QFETCH(QString, name);
    QFETCH(int, format);

    const auto found = TimelineExport::formatForFile(name);
    QCOMPARE(found ? int(*found) : -1, format);
    if (format < 0) {
        QCOMPARE(textOf(TimelineExport::write(sampleTimeline(3, kMonday, kToday), name)),
            QStringLiteral("Could not write %1: name it .png, .svg or .pdf.").arg(name));
        QVERIFY(!QFile::exists(name));
    }
}

void TestTimelineView::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("taskCount");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<int>("pdfPages"); // 0: not a PDF

    QTest::newRow("png") << "plan.png" << 20 << QByteArray("\x89PNG") << 0;
    QTest::newRow("svg") << "plan.svg" << 20 << QByteArray("<?xml") << 0;
    QTest::newRow("pdf, one page") << "plan.pdf" << 10 << QByteArray("%PDF") << 1;
    QTest::newRow("pdf, rows over pages") << "plan.pdf" << 100 << QByteArray("%PDF") << 4;
}

void TestTimelineView::pictures()
{
    QFETCH(QString, name);
    QFETCH(int, taskCount);
    QFETCH(QByteArray, magic);
    QFETCH(int, pdfPages);

    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    const std::optional<Refusal> failed
        = TimelineExport::write(sampleTimeline(taskCount, kMonday, kToday), path);
    QVERIFY2(!failed, qPrintable(textOf(failed)));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(magic));
    if (pdfPages > 0)
        QCOMPARE(
            int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page ") + bytes.count("/Type /Page/")),
            pdfPages);
    if (name.endsWith(QStringLiteral(".png"))) {
        const QImage image(path);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() <= TimelineExport::kMaxWidth);
    }
}

void TestTimelineView::tallPngRefusedFileUntouched()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.png"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier picture");
    old.close();

    TimelineData data = sampleTimeline(1000, kMonday, kToday);
    // A task of 2.9 million days still makes a picture no wider than the limit.
    data.tasks[0].end = data.tasks[0].start.addDays(2'900'000);
    QVERIFY(TimelineExport::pictureLayout(data).size.width() <= TimelineExport::kMaxWidth);
    const QString error = textOf(TimelineExport::write(data, path));
    QVERIFY2(error.contains(QStringLiteral("SVG or PDF")), qPrintable(error));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("earlier picture"));

    data.tasks.resize(5);
    QCOMPARE(textOf(TimelineExport::write(data, path)), QString());
    QCOMPARE(QImage(path).width(), TimelineExport::pictureLayout(data).size.width());
}

void TestTimelineView::writeFailureNamesTheFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("missing/plan.svg"));
    const QString error = textOf(TimelineExport::write(sampleTimeline(3, kMonday, kToday), path));
    QVERIFY2(error.startsWith(QStringLiteral("Could not write %1: ").arg(path)), qPrintable(error));
    QVERIFY(error.size() > QStringLiteral("Could not write %1: ").arg(path).size());
}

void TestTimelineView::clickSelectsTheRowInTheSharedModel_data()
{
    QTest::addColumn<int>("offset"); // rows scrolled away
    QTest::addColumn<int>("row");

    QTest::newRow("third row") << 0 << 2;
    QTest::newRow("first row") << 0 << 0;
    QTest::newRow("scrolled by five rows") << 5 << 7;
}

void TestTimelineView::clickSelectsTheRowInTheSharedModel()
{
    QFETCH(int, offset);
    QFETCH(int, row);

    const TimelineData data = sampleTimeline(40, kMonday, kToday);
    QStandardItemModel model(40, 4);
    QItemSelectionModel selection(&model);
    TimelineView view;
    view.resize(800, 300);
    view.setSelectionModel(&selection);
    view.setRowMetrics(26, 18);
    view.setData(&data);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy clicked(&view, &TimelineView::rowClicked);

    view.setVerticalOffset(offset * 18);
    QCOMPARE(view.verticalOffset(), offset * 18);
    const QPoint bar = view.barRectOnViewport(row).center().toPoint();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, bar);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.front().front().toInt(), row);
    QCOMPARE(selection.currentIndex().row(), row);
    QVERIFY(selection.isRowSelected(row, {}));
    QCOMPARE(selection.selectedRows().size(), 1);

    // A click on the ruler selects nothing.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(bar.x(), 5));
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(selection.currentIndex().row(), row);
}

void TestTimelineView::zoomAndFit()
{
    const TimelineData data = sampleTimeline(30, kMonday, kToday);
    TimelineView view;
    view.resize(600, 300);
    view.setData(&data);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // Opens fitted: the whole range fills the width, no date scroll.
    QVERIFY(view.isFitted());
    QVERIFY(qAbs(view.geometry().dateAxisWidth() - view.viewport()->width()) < 1);
    QCOMPARE(view.horizontalScrollBar()->maximum(), 0);

    const double fitted = view.pixelsPerDay();
    view.zoomIn();
    QVERIFY(!view.isFitted());
    QCOMPARE(view.pixelsPerDay(), fitted * TimelineView::kZoomStep);
    QVERIFY(view.horizontalScrollBar()->maximum() > 0);

    QWheelEvent wheel(QPointF(100, 100), view.viewport()->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, 240),
        Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    QVERIFY(view.pixelsPerDay() > fitted * TimelineView::kZoomStep * 1.5);

    // A rebuild keeps the person's zoom; Fit to Window brings the whole project back.
    const double zoomed = view.pixelsPerDay();
    view.setData(&data);
    QCOMPARE(view.pixelsPerDay(), zoomed);
    view.fitToWindow();
    QCOMPARE(view.pixelsPerDay(), fitted);
    for (int i = 0; i < 40; ++i)
        view.zoomOut();
    QVERIFY(view.pixelsPerDay() > 0);
    QVERIFY(view.pixelsPerDay() <= fitted);
}

void TestTimelineView::toolTipsExplainOddBars()
{
    const TimelineData data = sampleTimeline(12, kMonday, kToday);
    TimelineView view;
    view.resize(900, 400);
    view.setData(&data);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // Row 5 is half a day, row 9 a negative count (see sampleTimeline).
    const QString half = view.toolTipAt(view.barRectOnViewport(5).center().toPoint());
    QVERIFY2(half.contains(QStringLiteral("No calendar event: fewer than one whole day")), qPrintable(half));
    const QString negative = view.toolTipAt(view.barRectOnViewport(9).center().toPoint());
    QVERIFY2(negative.contains(QStringLiteral("ends before it starts")), qPrintable(negative));
    QVERIFY(view.toolTipAt(QPoint(5, 5)).isEmpty());
}

void TestTimelineView::legendBandBelowTheRows_data()
{
    QTest::addColumn<int>("taskCount");

    QTest::newRow("one task: the narrowest picture") << 1;
    QTest::newRow("30 tasks") << 30;
    QTest::newRow("300 tasks") << 300;
}

void TestTimelineView::legendBandBelowTheRows()
{
    QFETCH(int, taskCount);

    const TimelineData data = sampleTimeline(taskCount, kMonday, kToday);
    const TimelineExport::Layout layout = TimelineExport::pictureLayout(data);
    QVERIFY(layout.legend.top() >= layout.headerHeight + taskCount * layout.rowHeight);
    QVERIFY(layout.legend.bottom() <= layout.size.height());
    // The legend, wrapped to the picture's width, fits in its band.
    TimelineGeometry geometry(&data);
    const TimelinePainter painter(&geometry);
    const double width = layout.legend.width() - 20;
    QVERIFY(painter.legendSize(width).width() <= width);
    QVERIFY(painter.legendBandHeight(width) <= layout.legend.height());

    // The project name is the picture's title; the rows show the task names alone.
    const QByteArray svg = *TimelineExport::render(data, TimelineExport::Format::Svg);
    QVERIFY(svg.contains("<title>Launch</title>"));
    QVERIFY(svg.contains(">Task 0<"));
    QVERIFY(!svg.contains("Launch: "));
}

QTEST_MAIN(TestTimelineView)
#include "tst_timelineview.moc"
