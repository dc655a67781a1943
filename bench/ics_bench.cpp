#include "export/IcsWriter.h"

#include <benchmark/benchmark.h>

using namespace ambrel;

namespace {

// Tasks of five working days, Monday to Friday: one event of five days each, as a real project makes them.
std::vector<EventRow> events(int count)
{
    std::vector<EventRow> rows;
    rows.reserve(std::size_t(count));
    const QDate monday(2024, 6, 3);
    for (int i = 0; i < count; ++i) {
        EventRow row;
        row.description = QStringLiteral("Task %1 ").arg(i + 1);
        row.subjectBase = QStringLiteral("Bench: ") + row.description;
        row.startDate = monday.addDays(7 * (i / 10));
        row.endDate = row.startDate.addDays(4);
        row.startTime = QStringLiteral("09:00 AM");
        row.endTime = QStringLiteral("05:00 PM");
        rows.push_back(row);
    }
    return rows;
}

void BM_WriteIcs(benchmark::State &state)
{
    const std::vector<EventRow> rows = events(int(state.range(0)));
    const IcsOptions options { QStringLiteral("Bench"), QStringLiteral("09:00 AM"),
        QStringLiteral("05:00 PM"), QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC) };
    for (auto _ : state) {
        const Refusable<QByteArray> text = calendarIcs(options, rows);
        benchmark::DoNotOptimize(text->data());
        state.counters["bytes"] = double(text->size());
    }
}
// The events are composed on a thread of their own, so the CPU time is the whole process's.
BENCHMARK(BM_WriteIcs)->Arg(1000)->Arg(50000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
