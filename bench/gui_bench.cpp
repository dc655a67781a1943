// A full rebuild through the main window, as Enter in the task box triggers it: the schedule, both
// models' resets and the list's relayout, and the timeline's fresh data and repaint when it shows. Runs
// offscreen.
#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "app/TimelineView.h"
#include "corekit/Paths.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

using namespace ambrel;

namespace {

QString taskText(int64_t lines)
{
    QString text;
    for (int64_t i = 0; i < lines; ++i) {
        // Every seventh line a parallel task, as real projects have them.
        text += i % 7 == 3 ? QStringLiteral("//Review %1 + 2").arg(i)
                           : QStringLiteral("Task %1 + %2").arg(i).arg(1 + i % 5);
        text += QLatin1Char('\n');
    }
    return text;
}

void rebuildThroughWindow(benchmark::State &state, bool timeline)
{
    QTemporaryDir folder;
    const QDir shipped(QStringLiteral(AMBREL_SETTINGS_DIR));
    for (const QString &name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), folder.filePath(name));
    Paths::setProgramFolder(folder.path());
    MessageBox::setTesting(true);

    Form1 window;
    window.findChild<QTimer *>(QStringLiteral("tmrDate"))->stop();
    window.show();
    if (timeline)
        window.setTimelineShown(true);
    window.findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(taskText(state.range(0)));
    QApplication::processEvents();

    for (auto _ : state) {
        window.cmdToList_Click();
        if (timeline)
            window.timelineView()->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["tasks"] = double(window.taskModel()->rowCount());
    if (!MessageBox::shown().isEmpty())
        state.SkipWithError("the build was refused");
    Paths::setProgramFolder(QString());
}

void BM_RebuildThroughWindow(benchmark::State &state)
{
    rebuildThroughWindow(state, false);
}

void BM_RebuildThroughWindowWithTimeline(benchmark::State &state)
{
    rebuildThroughWindow(state, true);
}

} // namespace

BENCHMARK(BM_RebuildThroughWindow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildThroughWindowWithTimeline)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Showing the timeline remembers the choice; the benchmark keeps it out of the user's own folder.
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
