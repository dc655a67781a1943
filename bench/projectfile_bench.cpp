#include "project/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <chrono>

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
        benchmark::DoNotOptimize(parseProjectFile(bytes));
}
BENCHMARK(BM_Read10000Tasks)->Unit(benchmark::kMicrosecond);

// The largest file taken: the reading cost has to stay proportional to the bytes. Each round also reads
// the 10,000-task file as often as it takes to read as many bytes; the ratio is the large file's cost per
// byte against the small one's.
void BM_ReadNear16MiB(benchmark::State &state)
{
    const QByteArray small = projectFileBytes(project(10'000));
    QByteArray bytes = small;
    const QByteArray body = bytes.mid(bytes.indexOf("\n\n") + 2);
    while (bytes.size() + body.size() <= MaxProjectFileBytes)
        bytes += body;
    const qsizetype rounds = bytes.size() / small.size();
    using Clock = std::chrono::steady_clock;
    std::chrono::duration<double> large {};
    std::chrono::duration<double> smalls {};
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(parseProjectFile(bytes));
        const auto between = Clock::now();
        for (qsizetype round = 0; round < rounds; ++round)
            benchmark::DoNotOptimize(parseProjectFile(small));
        const auto end = Clock::now();
        large += between - start;
        smalls += end - between;
        state.SetIterationTime(std::chrono::duration<double>(between - start).count());
    }
    state.counters["MiB"] = double(bytes.size()) / (1024 * 1024);
    state.counters["ratio"] = (large.count() / double(bytes.size()))
        / (smalls.count() / double(rounds * small.size()));
}
BENCHMARK(BM_ReadNear16MiB)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
