#include "export/CsvWriter.h"
#include "schedule/ScheduleBuilder.h"
#include "workweek/WorkingCalendar.h"

#include "ReferenceCalendar.h"

#include <QBuffer>
#include <QStringList>

#include <benchmark/benchmark.h>

using namespace ambrel;

namespace {

const QDate kMonday(2024, 6, 3);

ScheduleRequest request(const QString &todoText, const char *week)
{
    ScheduleRequest r;
    r.todoText = todoText;
    r.projectName = QStringLiteral("Bench");
    r.calendar = WorkingCalendar(testing::weekFromText(week), true);
    r.startsAt = QStringLiteral("09:00 AM");
    r.endsAt = QStringLiteral("05:00 PM");
    return r;
}

// 10,000 tasks of 20 working days each, Monday to Friday: the rows and their 50,000 events.
// Each run is a fresh start of the program: new carried state, new lists.
void buildRepeatedly(benchmark::State &state, const ScheduleRequest &r)
{
    for (auto _ : state) {
        ScheduleState scheduleState;
        Schedule schedule;
        const auto refusal = ScheduleBuilder::build(scheduleState, r, kMonday, schedule);
        benchmark::DoNotOptimize(refusal);
        state.counters["events"] = double(schedule.eventCount());
    }
}

void BM_Build10000Tasks(benchmark::State &state)
{
    QStringList lines;
    for (int i = 1; i <= 10000; ++i)
        lines << QStringLiteral("Task %1 + 20 days").arg(i);
    buildRepeatedly(state, request(lines.join(QLatin1String("\r\n")), "1111100"));
}
BENCHMARK(BM_Build10000Tasks)->Unit(benchmark::kMillisecond);

void BM_AddWorkingDaysMillion(benchmark::State &state)
{
    const WorkingCalendar calendar(testing::weekFromText("1111100"), true);
    QDate date = kMonday;
    for (auto _ : state) {
        benchmark::DoNotOptimize(date);
        benchmark::DoNotOptimize(calendar.AddWorkingDays(date, 1'000'000));
    }
}
BENCHMARK(BM_AddWorkingDaysMillion)->Unit(benchmark::kMicrosecond);

// The same step walked one calendar day at a time, as the yardstick for the one above.
void BM_AddWorkingDaysMillionDayByDay(benchmark::State &state)
{
    const WorkingWeekFlags week = testing::weekFromText("1111100");
    QDate date = kMonday;
    for (auto _ : state) {
        benchmark::DoNotOptimize(date);
        benchmark::DoNotOptimize(testing::referenceAddWorkingDays(week, true, date, 1'000'000));
    }
}
BENCHMARK(BM_AddWorkingDaysMillionDayByDay)->Unit(benchmark::kMicrosecond);

// One task of 2,900,000 days over a week of seven working days: its row and its single event.
void BM_OneTaskOf2900000Days(benchmark::State &state)
{
    buildRepeatedly(state, request(QStringLiteral("Forever + 2900000"), "1111111"));
}
BENCHMARK(BM_OneTaskOf2900000Days)->Unit(benchmark::kMicrosecond);

void BM_Csv50000Events(benchmark::State &state)
{
    std::vector<EventRow> events(50000);
    for (size_t i = 0; i < events.size(); ++i) {
        EventRow &event = events[i];
        event.subjectBase = QStringLiteral("Bench: Task %1 ").arg(i / 5 + 1);
        event.number = int(i % 5) + 1;
        event.startDate = kMonday.addDays(qint64(i));
        event.endDate = event.startDate.addDays(4);
        event.startTime = QStringLiteral("09:00 AM");
        event.endTime = QStringLiteral("05:00 PM");
        event.description = QStringLiteral("Task %1, part of it").arg(i / 5 + 1);
    }
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        benchmark::DoNotOptimize(writeCalendarCsv(&buffer, events));
        state.counters["bytes"] = double(buffer.size());
    }
}
BENCHMARK(BM_Csv50000Events)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
