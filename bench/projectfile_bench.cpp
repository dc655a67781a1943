#include "project/ProjectFile.h"

#include <benchmark/benchmark.h>

using namespace ambrel;

namespace {

// A project of the given number of tasks, every tenth one running beside the one before it.
ProjectFileContent project(int tasks)
{
    ProjectFileContent content;
    content.name = QStringLiteral("Bench: relaunch");
    content.startOnPickedDate = true;
    content.pickedStartDate = QDate(2026, 12, 14);
    for (int i = 0; i < tasks; ++i) {
        content.taskText += (i % 10 == 9 ? QStringLiteral("// Task %1 + %2 days\n")
                                         : QStringLiteral("Task %1 + %2 days\n"))
                                .arg(i)
                                .arg(i % 20 + 1);
    }
    return content;
}

void BM_Write10000Tasks(benchmark::State &state)
{
    const ProjectFileContent content = project(10'000);
    for (auto _ : state)
        benchmark::DoNotOptimize(projectFileBytes(content));
}
BENCHMARK(BM_Write10000Tasks)->Unit(benchmark::kMicrosecond);

void BM_Read10000Tasks(benchmark::State &state)
{
    const QByteArray bytes = projectFileBytes(project(10'000));
    for (auto _ : state)
        benchmark::DoNotOptimize(parseProjectFile(bytes, nullptr));
}
BENCHMARK(BM_Read10000Tasks)->Unit(benchmark::kMicrosecond);

// The largest file taken: the reading cost has to stay proportional to the bytes.
void BM_ReadNear16MiB(benchmark::State &state)
{
    QByteArray bytes = projectFileBytes(project(10'000));
    const QByteArray body = bytes.mid(bytes.indexOf("\n\n") + 2);
    while (bytes.size() + body.size() <= MaxProjectFileBytes)
        bytes += body;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseProjectFile(bytes, nullptr));
    state.counters["MiB"] = double(bytes.size()) / (1024 * 1024);
}
BENCHMARK(BM_ReadNear16MiB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
