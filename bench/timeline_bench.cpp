// The timeline: a full repaint of the view at each ruler's zoom, and the SVG picture of a whole project.
// Runs offscreen.
#include "app/TimelineView.h"
#include "timeline/TimelineExport.h"

#include "TimelineSamples.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

using namespace ambrel;

namespace {

const QDate kStart(2024, 6, 3);

// Counts paint events, so that a repaint that never reaches the view cannot pass for a fast one.
class PaintCounter final : public QObject {
public:
    PaintCounter(int *count, QObject *parent)
        : QObject(parent)
        , m_count(count)
    {
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++*m_count;
        return false;
    }

private:
    int *m_count;
};

// The second argument is how many times View → Zoom In was chosen: 0 fitted (years), 12 weeks, 16 days.
// The plan waits for its parallel groups, so that brackets and wait lines are drawn too.
void BM_RepaintView(benchmark::State &state)
{
    TimelineData data = testing::sampleTimeline(int(state.range(0)), kStart, kStart.addDays(40));
    data.waitsForParallel = true;
    TimelineView view;
    view.resize(1280, 800);
    view.setRowMetrics(24, 20);
    view.setData(&data);
    view.show();
    QApplication::processEvents();
    for (int i = 0; i < state.range(1); ++i)
        view.zoomIn();
    int painted = 0;
    view.viewport()->installEventFilter(new PaintCounter(&painted, &view));
    for (auto _ : state)
        view.viewport()->repaint();
    if (painted < int(state.iterations()))
        state.SkipWithError("the view did not paint");
    state.counters["px_per_day"] = view.pixelsPerDay();
}

void BM_SvgPicture(benchmark::State &state)
{
    const TimelineData data = testing::sampleTimeline(int(state.range(0)), kStart, kStart.addDays(40));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("timeline.svg"));
    for (auto _ : state) {
        if (const std::optional<Refusal> failed = TimelineExport::write(data, path))
            state.SkipWithError(qPrintable(failed->text));
    }
}

} // namespace

BENCHMARK(BM_RepaintView)
    ->Args({ 10000, 0 })
    ->Args({ 10000, 12 })
    ->Args({ 10000, 16 })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvgPicture)->Arg(1000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
