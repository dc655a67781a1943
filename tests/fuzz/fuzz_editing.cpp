// Editing: a built project, then any sequence of row clicks, postpone requests, removals and rows turned back
// into text, each checked against what it promises to keep.
#include "FuzzChecks.h"

#include "export/EventRow.h"
#include "project/Project.h"
#include "schedule/ScheduleBuilder.h"
#include "schedule/TaskLine.h"
#include "tracking/ListEditing.h"
#include "tracking/Postpone.h"

#include <QLocale>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using namespace ambrel;

namespace {

// More days than this in one input is legitimate but slow under the sanitizers.
constexpr double kMaxTotalDays = 20'000;
constexpr int kMaxSteps = 24;

struct Week {
    WorkingWeekFlags flags {};
    bool applies = false;
    std::vector<QDate> daysOff;
};

QString consumeText(FuzzedDataProvider &provider, std::size_t maxLength)
{
    const std::string bytes = provider.ConsumeRandomLengthString(maxLength);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// Mostly around now; now and then near the ends of the years a postpone may reach.
QDate consumeToday(FuzzedDataProvider &provider)
{
    switch (provider.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return QDate(1, 1, 1).addDays(provider.ConsumeIntegralInRange(0, 400));
    case 1:
        return QDate(9999, 12, 31).addDays(-provider.ConsumeIntegralInRange(0, 400));
    default:
        return QDate(2024, 6, 3).addDays(provider.ConsumeIntegralInRange(-1000, 1000));
    }
}

QLocale consumeLocale(FuzzedDataProvider &provider)
{
    static const QLocale locales[] = { QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France) };
    return locales[provider.ConsumeIntegralInRange<std::size_t>(0, std::size(locales) - 1)];
}

QString consumeDaysText(FuzzedDataProvider &provider, const QLocale &locale)
{
    switch (provider.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return QString::number(provider.ConsumeIntegralInRange(-400, 400));
    case 1:
        return locale.toString(provider.ConsumeFloatingPointInRange(-60.0, 60.0));
    default:
        return consumeText(provider, 16);
    }
}

bool tooSlow(const QString &taskText)
{
    double total = 0;
    for (const QString &line : TaskTextLines(taskText)) {
        const double days = std::fabs(ReadTaskLine(line).dayCount);
        // Counts beyond 32 bits are refused before any day is placed.
        if (days < 2'147'483'648.0)
            total += days;
    }
    return total > kMaxTotalDays;
}

bool sameCount(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool sameProgress(const std::optional<TaskProgress> &a, const std::optional<TaskProgress> &b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (a->startsIn == b->startsIn && a->endsIn == b->endsIn && a->status == b->status);
}

bool sameEvents(const TaskRow &a, const TaskRow &b)
{
    return a.events.size() == b.events.size()
        && std::equal(a.events.begin(), a.events.end(), b.events.begin(),
            [](const WorkingRun &x, const WorkingRun &y) { return x.first == y.first && x.last == y.last; });
}

bool sameRow(const TaskRow &a, const TaskRow &b)
{
    return a.name == b.name && a.startDate == b.startDate && a.endDate == b.endDate
        && sameCount(a.dayCount, b.dayCount) && a.namePart == b.namePart && a.eventText == b.eventText
        && sameEvents(a, b) && sameProgress(a.progress, b.progress);
}

bool sameRows(const std::vector<TaskRow> &a, const std::vector<TaskRow> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameRow);
}

bool sameState(const ScheduleState &a, const ScheduleState &b)
{
    return a.TaskStart == b.TaskStart && a.TaskEnd == b.TaskEnd && a.PreviousTaskStart == b.PreviousTaskStart
        && a.NextTaskStart == b.NextTaskStart && a.PickedStartDate == b.PickedStartDate
        && a.txtPreviousItemDate == b.txtPreviousItemDate;
}

// The rows as text, built again: the same tasks, with the same day counts and parallel marks.
void checkTextBack(Project &project, const QDate &today)
{
    const std::vector<TaskRow> before = project.tasks();
    const ScheduleState stateBefore = project.state();
    const QString text = project.taskTextFromRows();
    FUZZ_REQUIRE(text.isEmpty() == before.empty());
    project.setTaskText(text);
    if (const auto refusal = project.rebuild(today)) {
        FUZZ_REQUIRE(!refusal->text.isEmpty());
        FUZZ_REQUIRE(sameRows(before, project.tasks()) && sameState(stateBefore, project.state()));
        return;
    }
    const std::vector<TaskRow> &after = project.tasks();
    FUZZ_REQUIRE(after.size() == before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        FUZZ_REQUIRE(sameCount(after[i].dayCount, before[i].dayCount));
        FUZZ_REQUIRE(after[i].namePart == before[i].namePart + QLatin1Char(' '));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    pinLocaleOnce();

    FuzzedDataProvider provider(data, size);
    Week week;
    for (int day = 1; day <= 7; ++day)
        week.flags[day] = qint16(provider.ConsumeBool());
    week.applies = provider.ConsumeBool();
    const QDate today = consumeToday(provider);
    for (int count = provider.ConsumeIntegralInRange(0, 4); count > 0; --count)
        week.daysOff.push_back(today.addDays(provider.ConsumeIntegralInRange(-5, 40)));

    Project project;
    Settings settings;
    settings.WorkingWeek = week.flags;
    settings.hours = { QStringLiteral("09:00 AM"), QStringLiteral("05:00 PM") };
    settings.daysOff = week.daysOff;
    project.setSettings(settings);
    project.setWorkingWeekApplies(week.applies);
    project.begin(today);
    project.setStartOnPickedDate(provider.ConsumeBool());
    project.setPickedStartDate(today.addDays(provider.ConsumeIntegralInRange(-30, 300)));
    project.setName(consumeText(provider, 32));
    project.setTaskText(consumeText(provider, 1024));
    if (tooSlow(project.taskText()))
        return 0;
    project.rebuild(today);

    std::optional<CurrentTask> current;
    for (int step = 0; step < kMaxSteps && provider.remaining_bytes() > 0; ++step) {
        const int rows = int(project.tasks().size());
        const Schedule before = project.schedule();
        switch (provider.ConsumeIntegralInRange(0, 3)) {
        case 0:
            // A click on a row that is not there changes nothing, as in the list.
            if (auto clicked = clickedTask(project.tasks(), provider.ConsumeIntegralInRange(-1, rows), project.name()))
                current = clicked;
            break;
        case 1: {
            const int selected
                = rows > 0 && provider.ConsumeBool() ? provider.ConsumeIntegralInRange(0, rows - 1) : -1;
            const QLocale locale = consumeLocale(provider);
            const QString daysText = consumeDaysText(provider, locale);
            const QString taskID = current ? current->txtTaskID : QString();
            const auto move = postponeMove({ selected, taskID, daysText, rows, locale });
            // The days box as the window reads it: a number in the locale, rounded down.
            bool number = false;
            const double days = locale.toDouble(daysText.trimmed(), &number);
            const bool asked = selected >= 0 && !taskID.isEmpty();
            FUZZ_REQUIRE(move.refused() == (asked && !(number && std::isfinite(days))));
            if (!move.refused() && *move) {
                FUZZ_REQUIRE((*move)->row == selected && (*move)->row == taskID.toInt() - 1);
                FUZZ_REQUIRE(double((*move)->days) == std::clamp(std::floor(days), -1e15, 1e15));
            }
            FUZZ_REQUIRE(sameRows(before.tasks, project.tasks()));
            break;
        }
        case 2:
            project.removeAll(today);
            FUZZ_REQUIRE(project.tasks().empty() && calendarEventRows(project.schedule()).empty());
            break;
        default:
            checkTextBack(project, today);
            break;
        }
    }
    return 0;
}
