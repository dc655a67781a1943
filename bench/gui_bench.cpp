// A full rebuild through the main window, as Enter in the task box triggers it: the schedule, both
// models' resets and the list's relayout, and the timeline's fresh data and repaint when it shows. Runs
// offscreen.
#include "app/Form1.h"
#include "app/MemoryReuse.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "app/TimelineView.h"
#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectFile.h"
#include "workweek/WorkweekSettings.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <ctime>

using namespace ambrel;

namespace {

QString taskText(int64_t lines)
{
    // Above 100,000 lines the names are short and each task a day, so that a million of them stay within a
    // project file's size and its million calendar events.
    const bool brief = lines > 100'000;
    QString text;
    for (int64_t i = 0; i < lines; ++i) {
        // Every seventh line a parallel task, as real projects have them.
        if (brief)
            text += i % 7 == 3 ? QStringLiteral("//R%1 + 1").arg(i) : QStringLiteral("T%1 + 1").arg(i);
        else
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

// A scratch program folder holding the shipped settings, so that the window reads no one's own.
class ProgramFolder final {
public:
    ProgramFolder()
    {
        const QDir shipped(QStringLiteral(AMBREL_SETTINGS_DIR));
        for (const QString &name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), m_folder.filePath(name));
        Paths::setProgramFolder(m_folder.path());
        MessageBox::setTesting(true);
    }
    ~ProgramFolder() { Paths::setProgramFolder(QString()); }
    Q_DISABLE_COPY_MOVE(ProgramFolder)

    QString filePath(const QString &name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
};

QString projectFile(const ProgramFolder &folder, int64_t tasks)
{
    ProjectFileContent content;
    content.name = QStringLiteral("Bench");
    content.taskText = taskText(tasks);
    content.taskText.chop(1);
    const QString path = folder.filePath(QStringLiteral("bench.ambrel"));
    saveProjectFile(path, content);
    return path;
}

double processCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Counts the paint events of a widget, so that the list counts as shown only once it has painted.
class PaintCounter final : public QObject {
public:
    using QObject::QObject;
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// From a new window to the list of the opened project painted on the screen, against reading the same
// file and building it without any window. The ratio is the window's time over the plain one's.
void BM_OpenProjectThroughWindow(benchmark::State &state)
{
    const ProgramFolder folder;
    const QString path = projectFile(folder, state.range(0));
    using SteadyClock = std::chrono::steady_clock;
    std::chrono::duration<double> plain {};
    std::chrono::duration<double> windowed {};
    double plainCpu = 0;
    double windowCpu = 0;
    int rows = 0;
    for (auto _ : state) {
        const double cpuAtStart = processCpuSeconds();
        const auto start = SteadyClock::now();
        {
            ProjectDocument document;
            Project &project = document.project();
            project.begin(Clock::today());
            project.setSettings(loadSettings(Paths::settingsFolder()).settings);
            const bool opened = !document.open(path);
            project.SetProjectStartDate(Clock::today());
            if (!opened || project.rebuild(Clock::today())) {
                state.SkipWithError("the project did not open");
                return;
            }
            benchmark::DoNotOptimize(project.tasks().data());
        }
        const auto between = SteadyClock::now();
        const double cpuBetween = processCpuSeconds();
        {
            Form1 window;
            window.findChild<QTimer *>(QStringLiteral("tmrDate"))->stop();
            PaintCounter painted;
            window.listView1()->viewport()->installEventFilter(&painted);
            window.show();
            window.openProjectFile(path);
            while (painted.count == 0 || window.taskModel()->rowCount() == 0)
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            rows = window.taskModel()->rowCount();
            const auto shown = SteadyClock::now();
            windowCpu += processCpuSeconds() - cpuBetween;
            plainCpu += cpuBetween - cpuAtStart;
            windowed += shown - between;
            state.SetIterationTime(std::chrono::duration<double>(shown - between).count());
        }
        plain += between - start;
    }
    state.counters["tasks"] = rows;
    state.counters["plain_ms"] = plain.count() * 1000 / double(state.iterations());
    state.counters["plain_cpu_ms"] = plainCpu * 1000 / double(state.iterations());
    state.counters["window_cpu_ms"] = windowCpu * 1000 / double(state.iterations());
    state.counters["ratio"] = windowed.count() / plain.count();
}

// Enter in the task box of a large project: the line break, the rebuild and the list shown again.
void BM_EnterInTaskBox(benchmark::State &state)
{
    const ProgramFolder folder;
    const QString path = projectFile(folder, state.range(0));
    Form1 window;
    window.findChild<QTimer *>(QStringLiteral("tmrDate"))->stop();
    window.show();
    window.openProjectFile(path);
    QApplication::processEvents();
    auto *taskBox = window.findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"));
    taskBox->setFocus();
    QTextCursor end = taskBox->textCursor();
    end.movePosition(QTextCursor::End);
    taskBox->setTextCursor(end);
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(taskBox, Qt::Key_Return);
        window.listView1()->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["tasks"] = double(window.taskModel()->rowCount());
    if (!MessageBox::shown().isEmpty())
        state.SkipWithError("a message was shown");
}

} // namespace

BENCHMARK(BM_OpenProjectThroughWindow)->Arg(100'000)->Arg(1'000'000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnterInTaskBox)->Arg(100'000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildThroughWindow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildThroughWindowWithTimeline)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    keepFreedMemoryForRebuilds(); // as the planner does
    QApplication app(argc, argv);
    // Showing the timeline remembers the choice; the benchmark keeps it out of the user's own folder.
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
