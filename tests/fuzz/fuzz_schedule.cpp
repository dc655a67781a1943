// Schedule: any task text, project name, working week, days off, start option, dates and hours through three
// builds, the calendar events and the export files, checked against what the planner promises.
#include "FuzzChecks.h"

#include "corekit/TextFormat.h"
#include "export/CsvWriter.h"
#include "export/EventRow.h"
#include "export/IcsWriter.h"
#include "schedule/ScheduleBuilder.h"
#include "schedule/TaskLine.h"

#include <QLocale>
#include <QTimeZone>

#include <libical/ical.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <iterator>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

using namespace ambrel;

namespace {

// More days than this in one input is legitimate but slow under the sanitizers.
constexpr double kMaxTotalDays = 20'000;
// Reading a calendar back costs far more than writing it; larger ones are written but not read back.
constexpr std::size_t kMaxIcsEventsReadBack = 2'000;

struct Input {
    ScheduleRequest request;
    WorkingWeekFlags week {};
    bool weekApplies = false;
    QDate today;
    QDate picked;
    std::vector<QDate> daysOff;
    IcsOptions ics;
};

QString consumeText(FuzzedDataProvider &provider, std::size_t maxLength)
{
    const std::string bytes = provider.ConsumeRandomLengthString(maxLength);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// Dates near both ends of the calendar the planner accepts, and around now.
QDate consumeDate(FuzzedDataProvider &provider)
{
    const qint64 first = QDate(1, 1, 1).toJulianDay();
    const qint64 last = QDate(9999, 12, 31).toJulianDay();
    switch (provider.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return QDate::fromJulianDay(first + provider.ConsumeIntegralInRange<qint64>(0, 1000));
    case 1:
        return QDate::fromJulianDay(last - provider.ConsumeIntegralInRange<qint64>(0, 1000));
    case 2:
        return QDate(2024, 6, 3).addDays(provider.ConsumeIntegralInRange<qint64>(-1000, 1000));
    default:
        return QDate::fromJulianDay(provider.ConsumeIntegralInRange<qint64>(first, last));
    }
}

Input consumeInput(FuzzedDataProvider &provider)
{
    Input input;
    for (int day = 1; day <= 7; ++day) {
        const auto flag = provider.ConsumeIntegral<std::uint8_t>();
        // Mostly 0 or 1; now and then another value, which is no working day.
        input.week[day] = flag & 0x80 ? qint16(flag) - 0xC0 : qint16(flag & 1);
    }
    input.weekApplies = provider.ConsumeBool();
    input.today = consumeDate(provider);
    input.picked = provider.ConsumeBool() ? input.today.addDays(provider.ConsumeIntegralInRange(-400, 4000))
                                          : consumeDate(provider);
    ScheduleRequest &request = input.request;
    request.startOnPickedDate = provider.ConsumeBool();
    // A few days off where the tasks fall: near today and near the picked date, repeats allowed.
    for (int count = provider.ConsumeIntegralInRange(0, 5); count > 0; --count) {
        const QDate near = provider.ConsumeBool() ? input.today : input.picked;
        const QDate day = near.addDays(provider.ConsumeIntegralInRange(-3, 40));
        if (day.isValid())
            input.daysOff.push_back(day);
    }
    request.calendar = WorkingCalendar(input.week, input.weekApplies, input.daysOff);
    request.startsAt = consumeText(provider, 24);
    request.endsAt = consumeText(provider, 24);
    request.projectName = consumeText(provider, 64);
    // The calendar file needs hours it can read: mostly usual ones, sometimes those of the events.
    static const char *const hours[][2]
        = { { "09:00 AM", "05:00 PM" }, { "8:30", "17:15" }, { "12:00 AM", "11:59 PM" } };
    const std::size_t pick = provider.ConsumeIntegralInRange<std::size_t>(0, std::size(hours));
    input.ics.projectName = request.projectName;
    input.ics.startsAt = pick < std::size(hours) ? QString::fromLatin1(hours[pick][0]) : request.startsAt;
    input.ics.endsAt = pick < std::size(hours) ? QString::fromLatin1(hours[pick][1]) : request.endsAt;
    input.ics.stamp = QDateTime(QDate(2024, 6, 3), QTime(12, 30), QTimeZone::utc());
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    request.todoText = QString::fromUtf8(rest.data(), qsizetype(rest.size()));
    return input;
}

QStringList taskLines(const QString &text)
{
    // A line feed ends a line whether or not a carriage return stands before it.
    return QString(text)
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool tooSlow(const QStringList &lines)
{
    double total = 0;
    for (const QString &line : lines) {
        const double days = std::fabs(ReadTaskLine(line).dayCount);
        // Counts beyond 32 bits are refused before any day is placed.
        if (days < 2'147'483'648.0)
            total += days;
    }
    return total > kMaxTotalDays;
}

bool isWorkingDay(const Input &input, const QDate &date)
{
    return !input.weekApplies
        || (input.week[date.dayOfWeek()] == 1
            && std::find(input.daysOff.begin(), input.daysOff.end(), date) == input.daysOff.end());
}

qint64 workingDaysBetween(const Input &input, QDate from, const QDate &to)
{
    qint64 count = 0;
    for (; from <= to; from = from.addDays(1))
        count += isWorkingDay(input, from) ? 1 : 0;
    return count;
}

bool sameState(const ScheduleState &a, const ScheduleState &b)
{
    return a.TaskStart == b.TaskStart && a.TaskEnd == b.TaskEnd && a.PreviousTaskStart == b.PreviousTaskStart
        && a.NextTaskStart == b.NextTaskStart && a.PickedStartDate == b.PickedStartDate
        && a.txtPreviousItemDate == b.txtPreviousItemDate;
}

bool sameRows(const Schedule &a, const Schedule &b)
{
    const std::vector<EventRow> aEvents = calendarEventRows(a), bEvents = calendarEventRows(b);
    if (a.tasks.size() != b.tasks.size() || aEvents.size() != bEvents.size())
        return false;
    for (std::size_t i = 0; i < a.tasks.size(); ++i) {
        const TaskRow &x = a.tasks[i], &y = b.tasks[i];
        if (x.name != y.name || x.startDate != y.startDate || x.endDate != y.endDate
            || x.dayCount != y.dayCount || x.namePart != y.namePart || x.events.size() != y.events.size())
            return false;
    }
    for (std::size_t i = 0; i < aEvents.size(); ++i) {
        for (int column = 0; column < EventRow::ColumnCount; ++column) {
            if (aEvents[i].cell(column, &formatIsoDate) != bEvents[i].cell(column, &formatIsoDate))
                return false;
        }
    }
    return true;
}

// One row per task line, read by the grammar, on working days, spanning the rounded count.
void checkTasks(const Input &input, const Schedule &schedule)
{
    const QStringList lines = taskLines(input.request.todoText);
    FUZZ_REQUIRE(schedule.tasks.size() == std::size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TaskRow &row = schedule.tasks[std::size_t(i)];
        const TaskLine task = ReadTaskLine(lines[i]);
        FUZZ_REQUIRE(row.dayCount == (task.marks.milestone ? 0 : task.dayCount) && row.namePart == task.namePart);
        FUZZ_REQUIRE(row.name == QString(task.namePart).remove(QLatin1String("//")));
        FUZZ_REQUIRE(row.startDate.isValid() && row.endDate.isValid());
        FUZZ_REQUIRE(row.startDate.year() >= 1 && row.endDate.year() <= 9999 && row.endDate.year() >= 1);
        FUZZ_REQUIRE(isWorkingDay(input, row.startDate) && isWorkingDay(input, row.endDate));
        if (task.marks.milestone) {
            FUZZ_REQUIRE(row.startDate == row.endDate);
            continue;
        }
        const qint64 n = qint64(std::nearbyint(row.dayCount - 1.0));
        if (n >= 0)
            FUZZ_REQUIRE(workingDaysBetween(input, row.startDate, row.endDate) == n + 1);
        else
            FUZZ_REQUIRE(workingDaysBetween(input, row.endDate, row.startDate) == -n + 1);
    }
}

// Each task's events are the maximal runs of working days that hold exactly its whole days.
void checkEvents(const Input &input, const Schedule &schedule)
{
    const std::vector<EventRow> events = calendarEventRows(schedule);
    std::size_t next = 0;
    for (const TaskRow &row : schedule.tasks) {
        const auto eventCount = int(row.events.size());
        FUZZ_REQUIRE(next + std::size_t(eventCount) <= events.size());
        if (row.marks.milestone) {
            // A milestone is one all-day event on its date.
            const EventRow &event = events[next++];
            FUZZ_REQUIRE(eventCount == 1 && event.allDay && event.startTime.isEmpty());
            FUZZ_REQUIRE(event.startDate == row.startDate && event.endDate == row.startDate);
            continue;
        }
        qint64 remaining = row.dayCount >= 1 ? qint64(std::floor(row.dayCount)) : 0;
        QDate runStart = row.startDate;
        for (int number = 1; number <= eventCount; ++number) {
            const EventRow &event = events[next++];
            FUZZ_REQUIRE(event.number == number && remaining > 0);
            FUZZ_REQUIRE(event.startDate == runStart && event.endDate >= event.startDate);
            FUZZ_REQUIRE(event.endDate <= row.endDate);
            const qint64 length = event.startDate.daysTo(event.endDate) + 1;
            FUZZ_REQUIRE(
                length <= remaining && workingDaysBetween(input, event.startDate, event.endDate) == length);
            remaining -= length;
            if (remaining > 0) {
                runStart = event.endDate.addDays(1);
                FUZZ_REQUIRE(!isWorkingDay(input, runStart));
                while (!isWorkingDay(input, runStart))
                    runStart = runStart.addDays(1);
            }
            FUZZ_REQUIRE(event.startTime == input.request.startsAt && event.endTime == input.request.endsAt);
            const QString namePart = row.namePart;
            FUZZ_REQUIRE(event.description == namePart
                || event.description == QString(namePart).remove(QLatin1String("//")));
            FUZZ_REQUIRE(
                event.subjectBase == input.request.projectName + QLatin1String(": ") + event.description);
        }
        FUZZ_REQUIRE(remaining == 0);
    }
    FUZZ_REQUIRE(next == events.size());
}

// Reads the export file under RFC 4180: quoted fields may hold commas, quotes (doubled) and line breaks.
std::optional<QList<QStringList>> readCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size) {
        QString field;
        if (text[i] == QLatin1Char('"')) {
            for (++i;; ++i) {
                if (i >= size)
                    return std::nullopt;
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < size && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
        } else {
            for (; i < size && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\r'); ++i) {
                if (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\n'))
                    return std::nullopt;
                field += text[i];
            }
        }
        record << field;
        if (i < size && text[i] == QLatin1Char(',')) {
            ++i;
            continue;
        }
        if (i + 1 < size && text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n')) {
            i += 2;
            records << record;
            record.clear();
            continue;
        }
        return std::nullopt; // every record ends in CR LF
    }
    if (!record.isEmpty())
        return std::nullopt;
    return records;
}

void checkCsv(const Schedule &schedule)
{
    const std::vector<EventRow> events = calendarEventRows(schedule);
    const QByteArray bytes = calendarCsv(events);
    const QString text = QString::fromUtf8(bytes);
    FUZZ_REQUIRE(text.toUtf8() == bytes);
    const std::optional<QList<QStringList>> records = readCsv(text);
    FUZZ_REQUIRE(records && records->size() == qsizetype(events.size()) + 1);
    FUZZ_REQUIRE(records->front() == eventColumnTitles());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const QStringList &record = (*records)[qsizetype(i) + 1];
        FUZZ_REQUIRE(record.size() == EventRow::ColumnCount);
        for (int column = 0; column < EventRow::ColumnCount; ++column)
            FUZZ_REQUIRE(record[column] == events[i].cell(column, &formatExportDate));
    }
}

struct ComponentFree {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};

// The calendar file is refused only for hours it cannot use, and otherwise reads back as one calendar
// holding one event per event row.
void checkIcs(const Input &input, const Schedule &schedule)
{
    const std::vector<EventRow> events = calendarEventRows(schedule);
    const Refusable<QByteArray> made = calendarIcs(input.ics, events);
    FUZZ_REQUIRE(made.refused() == icsHoursRefusal(input.ics.startsAt, input.ics.endsAt).has_value());
    if (made.refused()) {
        FUZZ_REQUIRE(!made.refusal().text.isEmpty());
        return;
    }
    const QByteArray &bytes = *made;
    FUZZ_REQUIRE(!bytes.isEmpty() && !bytes.startsWith("\xEF\xBB\xBF"));
    if (events.size() > kMaxIcsEventsReadBack)
        return;
    const std::unique_ptr<icalcomponent, ComponentFree> calendar(icalparser_parse_string(bytes.constData()));
    FUZZ_REQUIRE(calendar && icalcomponent_isa(calendar.get()) == ICAL_VCALENDAR_COMPONENT);
    FUZZ_REQUIRE(icalcomponent_count_components(calendar.get(), ICAL_VCALENDAR_COMPONENT) == 0);
    FUZZ_REQUIRE(
        std::size_t(icalcomponent_count_components(calendar.get(), ICAL_VEVENT_COMPONENT)) == events.size());
}

// A build that goes on from the rows kept above the first changed line gives what a build afresh gives:
// the text is built, then edited by dropping its middle third, which may split a line.
void checkResumed(const Input &input, const ScheduleState &settled)
{
    ScheduleState state = settled;
    ScheduleTrail trail;
    Schedule first;
    qsizetype from = -1;
    if (ScheduleBuilder::resume(state, input.request, input.today, {}, trail, first, from))
        return;
    ScheduleRequest edited = input.request;
    const QString &text = input.request.todoText;
    const qsizetype third = text.size() / 3;
    edited.todoText = text.left(third) + text.mid(2 * third);
    if (tooSlow(taskLines(edited.todoText)))
        return;
    ScheduleState fullState = state;
    Schedule full;
    const std::optional<Refusal> fullRefusal = ScheduleBuilder::build(fullState, edited, input.today, full);
    Schedule tail;
    const auto refusal = ScheduleBuilder::resume(state, edited, input.today, first.tasks, trail, tail, from);
    FUZZ_REQUIRE(refusal.has_value() == fullRefusal.has_value());
    if (refusal)
        return;
    FUZZ_REQUIRE(from >= 0 && from <= qsizetype(first.tasks.size()));
    first.tasks.erase(first.tasks.begin() + from, first.tasks.end());
    std::move(tail.tasks.begin(), tail.tasks.end(), std::back_inserter(first.tasks));
    tail.tasks = std::move(first.tasks);
    FUZZ_REQUIRE(sameRows(tail, full) && sameState(state, fullState));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    pinLocaleOnce();

    FuzzedDataProvider provider(data, size);
    const Input input = consumeInput(provider);
    if (tooSlow(taskLines(input.request.todoText)))
        return 0;

    ScheduleState state;
    state.TaskStart = input.today;
    state.PickedStartDate = input.picked;
    Schedule schedule;
    std::optional<Schedule> second;
    for (int round = 1; round <= 3; ++round) {
        const ScheduleState stateBefore = state;
        const Schedule scheduleBefore = schedule;
        if (const auto refusal = ScheduleBuilder::build(state, input.request, input.today, schedule)) {
            // A refusal changes nothing, and the same input is refused again.
            FUZZ_REQUIRE(!refusal->text.isEmpty());
            FUZZ_REQUIRE(sameState(stateBefore, state) && sameRows(scheduleBefore, schedule));
            FUZZ_REQUIRE(!second);
            continue;
        }
        checkTasks(input, schedule);
        checkEvents(input, schedule);
        checkCsv(schedule);
        if (round == 3)
            checkIcs(input, schedule);
        // The state carried between builds settles after one build.
        if (round == 2)
            second = schedule;
        if (round == 3) {
            FUZZ_REQUIRE(second && sameRows(*second, schedule));
            checkResumed(input, stateBefore);
        }
    }
    return 0;
}
