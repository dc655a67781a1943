#include "schedule/ScheduleBuilder.h"
#include "workweek/WorkingCalendar.h"

#include "ReferenceCalendar.h"

#include <QStringList>

#include <benchmark/benchmark.h>

using namespace ambrel;

namespace {

const QDate kMonday(2024, 6, 3);

// count days off, one every `every` days from first, moved off weekends so each one matters.
std::vector<QDate> spreadDaysOff(const QDate &first, int count, int every)
{
    std::vector<QDate> days;
    for (int i = 0; i < count; ++i) {
        QDate day = first.addDays(qint64(i) * every);
        while (day.dayOfWeek() > 5)
            day = day.addDays(1);
        days.push_back(day);
    }
    return days;
}

ScheduleRequest request(const QString &todoText, const char *week, const std::vector<QDate> &daysOff)
{
    ScheduleRequest r;
    r.todoText = todoText;
    r.projectName = QStringLiteral("Bench");
    r.calendar = WorkingCalendar(testing::weekFromText(week), true, daysOff);
    r.startsAt = QStringLiteral("09:00 AM");
    r.endsAt = QStringLiteral("05:00 PM");
    return r;
}

void buildRepeatedly(benchmark::State &state, const ScheduleRequest &r, size_t rows, size_t events)
{
    for (auto _ : state) {
        ScheduleState scheduleState;
        Schedule schedule;
        const auto refusal = ScheduleBuilder::build(scheduleState, r, kMonday, schedule);
        if (refusal || schedule.tasks.size() != rows || size_t(schedule.eventCount()) != events) {
            state.SkipWithError("the build did not give the expected rows and events");
            return;
        }
        state.counters["events"] = double(size_t(schedule.eventCount()));
    }
}

// A million working days, Monday to Friday, over 10,000 days off spread across the span.
const std::vector<QDate> &millionDaysOff()
{
    static const std::vector<QDate> days = spreadDaysOff(kMonday.addDays(3), 10'000, 140);
    return days;
}

void BM_AddWorkingDaysMillionOver10000DaysOff(benchmark::State &state)
{
    const WorkingCalendar calendar(testing::weekFromText("1111100"), true, millionDaysOff());
    QDate date = kMonday;
    for (auto _ : state) {
        benchmark::DoNotOptimize(date);
        benchmark::DoNotOptimize(calendar.AddWorkingDays(date, 1'000'000));
    }
}
BENCHMARK(BM_AddWorkingDaysMillionOver10000DaysOff)->Unit(benchmark::kMicrosecond);

// The same step walked one calendar day at a time, as the yardstick for the one above.
void BM_AddWorkingDaysMillionOver10000DaysOffDayByDay(benchmark::State &state)
{
    const WorkingWeekFlags week = testing::weekFromText("1111100");
    const WorkingCalendar calendar(week, true, millionDaysOff());
    QDate date = kMonday;
    for (auto _ : state) {
        benchmark::DoNotOptimize(date);
        const QDate walked = testing::referenceAddWorkingDays(week, true, millionDaysOff(), date, 1'000'000);
        if (walked != calendar.AddWorkingDays(date, 1'000'000)) {
            state.SkipWithError("the calendar and the day-by-day walk disagree");
            return;
        }
    }
}
BENCHMARK(BM_AddWorkingDaysMillionOver10000DaysOffDayByDay)->Unit(benchmark::kMicrosecond);

// One task of 2,900,000 days over a seven-day week, across a block of 10,000 consecutive days off: one row,
// two events.
void BM_OneTaskAcrossABlockOf10000DaysOff(benchmark::State &state)
{
    std::vector<QDate> block;
    for (int i = 0; i < 10'000; ++i)
        block.push_back(QDate(2030, 1, 1).addDays(i));
    buildRepeatedly(state, request(QStringLiteral("Forever + 2900000"), "1111111", block), 1, 2);
}
BENCHMARK(BM_OneTaskAcrossABlockOf10000DaysOff)->Unit(benchmark::kMicrosecond);

// 10,000 tasks of 20 working days each, Monday to Friday, with 200 days off across the project.
void BM_Build10000TasksWith200DaysOff(benchmark::State &state)
{
    QStringList lines;
    for (int i = 1; i <= 10000; ++i)
        lines << QStringLiteral("Task %1 + 20 days").arg(i);
    const std::vector<QDate> daysOff = spreadDaysOff(kMonday.addDays(10), 200, 1400);
    ScheduleRequest r = request(lines.join(QLatin1String("\r\n")), "1111100", daysOff);
    // Each day off that a task spans splits one of its events in two, or moves a weekend split.
    ScheduleState scheduleState;
    Schedule schedule;
    ScheduleBuilder::build(scheduleState, r, kMonday, schedule);
    buildRepeatedly(state, r, 10000, size_t(schedule.eventCount()));
}
BENCHMARK(BM_Build10000TasksWith200DaysOff)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
