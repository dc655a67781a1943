#include "schedule/LineHints.h"

#include <QString>

#include <benchmark/benchmark.h>

using namespace ambrel;

namespace {

// The hints are worked out for the whole task text as it is typed, so a long text must stay quick.
// 10,000 lines, one in ten of them hinted.
QString longTaskText()
{
    static const char *const lines[] = { "Design + 3 days", "Build + 5", "//Docs + 2", "Test",
        "Review +2days", "Fix + 1 0 days", "Plan + 10", "Ship + 4 DAYS", "Write report + 6", "X + 2 weeks" };
    QString text;
    for (int i = 0; i < 10'000; ++i)
        text += QString::fromLatin1(lines[i % 10]) + QLatin1String("\r\n");
    return text;
}

void taskTextHintsOfLongText(benchmark::State &state)
{
    const QString text = longTaskText();
    for (auto _ : state) {
        const std::vector<LineHint> hints = taskTextHints(text);
        benchmark::DoNotOptimize(hints.data());
        state.counters["hints"] = double(hints.size());
    }
}

} // namespace

BENCHMARK(taskTextHintsOfLongText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
