#include "schedule/ScheduleBuilder.h"

#include "ReferenceCalendar.h"
#include "corekit/Clock.h"
#include "corekit/TextFormat.h"
#include "schedule/LineHints.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace ambrel;
using testing::weekFromText;

namespace {

const QDate kMonday(2024, 6, 3);

ScheduleRequest request(const QString &todoText, const char *week = "1111100", bool applies = true)
{
    ScheduleRequest r;
    r.todoText = todoText;
    r.projectName = QStringLiteral("My Project");
    r.calendar = WorkingCalendar(weekFromText(week), applies);
    r.startsAt = QStringLiteral("09:00 AM");
    r.endsAt = QStringLiteral("05:00 PM");
    return r;
}

struct Built {
    std::optional<Refusal> refusal;
    Schedule schedule;
};

void compareRows(const TaskRow &a, const TaskRow &b);

// The same build made row by row must hand over exactly the rows the schedule keeps, and keep none.
void compareRowByRow(ScheduleState state, const ScheduleRequest &r, const Built &built)
{
    Schedule schedule;
    std::vector<TaskRow> taken;
    const auto refusal = ScheduleBuilder::buildEachRow(
        state, r, Clock::today(), schedule, [&](TaskRow &row) { taken.push_back(row); });
    QCOMPARE(refusal.has_value(), built.refusal.has_value());
    if (refusal)
        return;
    QVERIFY(schedule.tasks.empty());
    QCOMPARE(taken.size(), built.schedule.tasks.size());
    for (std::size_t i = 0; i < taken.size() && !QTest::currentTestFailed(); ++i)
        compareRows(taken[i], built.schedule.tasks[i]);
}

void compareStates(const ScheduleState &a, const ScheduleState &b)
{
    QCOMPARE(a.TaskStart, b.TaskStart);
    QCOMPARE(a.TaskEnd, b.TaskEnd);
    QCOMPARE(a.PreviousTaskStart, b.PreviousTaskStart);
    QCOMPARE(a.NextTaskStart, b.NextTaskStart);
    QCOMPARE(a.PickedStartDate, b.PickedStartDate);
    QCOMPARE(a.txtPreviousItemDate, b.txtPreviousItemDate);
}

// Every field of a row that the list, the files or the next build read.
void compareRows(const TaskRow &a, const TaskRow &b)
{
    QCOMPARE(a.name, b.name);
    QCOMPARE(a.startDate, b.startDate);
    QCOMPARE(a.endDate, b.endDate);
    QCOMPARE(a.dayCount, b.dayCount);
    QCOMPARE(a.namePart, b.namePart);
    QVERIFY(a.marks == b.marks);
    QCOMPARE(a.marksText, b.marksText);
    QCOMPARE(a.eventText, b.eventText);
    QCOMPARE(a.events.size(), b.events.size());
    for (size_t i = 0; i < a.events.size(); ++i) {
        QCOMPARE(a.events[i].first, b.events[i].first);
        QCOMPARE(a.events[i].last, b.events[i].last);
    }
    QCOMPARE(a.progress.has_value(), b.progress.has_value());
    QCOMPARE(a.hint, b.hint);
    QCOMPARE(a.lineNumber, b.lineNumber);
    QCOMPARE(a.overlap.has_value(), b.overlap.has_value());
    if (a.overlap) {
        QCOMPARE(a.overlap->name, b.overlap->name);
        QCOMPARE(a.overlap->end, b.overlap->end);
    }
    QCOMPARE(a.afterRows, b.afterRows);
}

// A schedule kept between builds as the project keeps it: each build goes on after the rows above the
// first changed line, and must give what a full build from the same state gives.
struct Shown {
    ScheduleState state;
    ScheduleTrail trail;
    std::vector<TaskRow> rows;
    std::optional<Refusal> refusal;
    qsizetype from = -1;

    void build(const ScheduleRequest &r, const QDate &today = Clock::today())
    {
        ScheduleState fullState = state;
        Schedule full;
        const std::optional<Refusal> fullRefusal = ScheduleBuilder::build(fullState, r, today, full);
        const ScheduleState stateBefore = state;
        const ScheduleTrail trailBefore = trail;
        Schedule tail;
        from = -1;
        refusal = ScheduleBuilder::resume(state, r, today, rows, trail, tail, from);
        QCOMPARE(refusal ? refusal->text : QString(), fullRefusal ? fullRefusal->text : QString());
        if (refusal) {
            compareStates(state, stateBefore);
            QCOMPARE(trail.nextStarts, trailBefore.nextStarts);
            QCOMPARE(trail.parallel, trailBefore.parallel);
            QCOMPARE(trail.request.todoText, trailBefore.request.todoText);
            QCOMPARE(from, -1);
            return;
        }
        QVERIFY(from >= 0 && from <= qsizetype(rows.size()));
        rows.erase(rows.begin() + from, rows.end());
        std::move(tail.tasks.begin(), tail.tasks.end(), std::back_inserter(rows));
        QCOMPARE(rows.size(), full.tasks.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            compareRows(rows[i], full.tasks[i]);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("row %1 of %2").arg(i).arg(r.todoText.left(200))));
        }
        compareStates(state, fullState);
        QCOMPARE(tail.projectName, full.projectName);
        QCOMPARE(tail.startsAt, full.startsAt);
        QCOMPARE(tail.endsAt, full.endsAt);
        QCOMPARE(tail.waitForParallel, full.waitForParallel);
    }
};

// The 1-based number of the first line, its line break counted as part of it, where the texts differ.
int firstDifferentLine(const QString &a, const QString &b)
{
    int line = 1;
    for (qsizetype i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i)
        line += a[i] == QLatin1Char('\n') ? 1 : 0;
    return line;
}

// Builds the text edited (its last line changed, a middle one changed, an empty line put in, a line left
// out) and then resumes to the text itself; only the rows from the edited line on are laid out again.
void compareResumed(const ScheduleState &before, const ScheduleRequest &r)
{
    const QStringList lines = r.todoText.split(QLatin1Char('\n'));
    const qsizetype middle = lines.size() / 2;
    qsizetype last = lines.size() - 1;
    while (last > 0 && lines[last].isEmpty())
        --last;
    QList<QStringList> edits(4, lines);
    edits[0][last] = QStringLiteral("Changed + 2");
    edits[1][middle] = QStringLiteral("Middle + 3");
    edits[2].insert(middle, QString());
    edits[3].removeAt(middle);
    for (const QStringList &edited : edits) {
        Shown shown;
        shown.state = before;
        ScheduleRequest variant = r;
        variant.todoText = edited.join(QLatin1Char('\n'));
        // The second build reads the txtPreviousItemDate the first one wrote, as the real text's does.
        shown.build(variant);
        shown.build(variant);
        const bool variantBuilt = !shown.refusal;
        std::vector<TaskRow> variantRows = shown.rows;
        shown.build(r);
        if (QTest::currentTestFailed() || shown.refusal)
            return;
        const int changedLine = firstDifferentLine(variant.todoText, r.todoText);
        const auto kept = std::count_if(variantRows.begin(), variantRows.end(),
            [&](const TaskRow &row) { return row.lineNumber < changedLine; });
        QCOMPARE(shown.from, variantBuilt ? qsizetype(kept) : 0);
    }
}

Built build(ScheduleState &state, const ScheduleRequest &r)
{
    const ScheduleState before = state;
    Built built;
    built.refusal = ScheduleBuilder::build(state, r, Clock::today(), built.schedule);
    compareRowByRow(before, r, built);
    compareResumed(before, r);
    return built;
}

// A working week with at least one working day, whether it applies, and a few days off around kMonday.
struct RandomWeek {
    WorkingWeekFlags week {};
    bool applies = true;
    std::vector<QDate> daysOff;
};

RandomWeek randomWeek(QRandomGenerator &random)
{
    RandomWeek made;
    for (int day = 1; day <= 7; ++day)
        made.week[day] = qint16(random.bounded(3) > 0 ? 1 : 0);
    made.week[1 + random.bounded(7)] = 1;
    made.applies = random.bounded(4) > 0;
    for (int i = random.bounded(6); i > 0; --i)
        made.daysOff.push_back(kMonday.addDays(random.bounded(-30, 60)));
    std::sort(made.daysOff.begin(), made.daysOff.end());
    return made;
}

// The lines built over the random week, from kMonday, first build after start-up.
Built buildRandom(const QStringList &lines, const RandomWeek &calendar, bool wait)
{
    ScheduleState state;
    ScheduleRequest r = request(lines.join(QLatin1Char('\n')));
    r.calendar = WorkingCalendar(calendar.week, calendar.applies, calendar.daysOff);
    r.waitForParallel = wait;
    return build(state, r);
}

} // namespace

class TestScheduleBuilder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void rowTexts_data();
    void rowTexts();
    void workedExample();
    void taskSpans_data();
    void taskSpans();
    void projectStart_data();
    void projectStart();
    void firstParallelLineAcrossBuilds();
    void parallelRules_data();
    void parallelRules();
    void refusalsKeepEverything_data();
    void refusalsKeepEverything();
    void garbageInput_data();
    void garbageInput();
    void savedStart_data();
    void savedStart();
    void joinRule_data();
    void joinRule();
    void joinRuleAgainstReference();
    void marksAgainstReference();
    void overlapHint_data();
    void overlapHint();
    void hintsOfTheCommandLine();
    void resumeAfterChanges_data();
    void resumeAfterChanges();
};

void TestScheduleBuilder::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::setToday(kMonday);
}

void TestScheduleBuilder::cleanupTestCase()
{
    Clock::setToday({});
    QLocale::setDefault(QLocale::c());
}

void TestScheduleBuilder::rowTexts_data()
{
    // How the grammar reads each line is shown with the task-line tests; here, what the list rows show.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rowTexts");

    QTest::newRow("name part keeps its blank")
        << "Create Product + 10" << QStringList { "My Project: Create Product " };
    QTest::newRow("no duration") << "Plan" << QStringList { "My Project: Plan" };
    QTest::newRow("parallel // leaves the text") << "//Docs + 3" << QStringList { "My Project: Docs " };
    QTest::newRow("// Review keeps the blank") << "// Review" << QStringList { "My Project:  Review" };
    QTest::newRow(" //Review loses the //") << " //Review" << QStringList { "My Project:  Review" };
    QTest::newRow("Check a//b") << "Check a//b" << QStringList { "My Project: Check ab" };
    QTest::newRow("empty lines and final break make no task")
        << "A\r\n\r\nB\r\n"
        << QStringList { "My Project: A", "My Project: B" };
    QTest::newRow("carriage return alone does not split")
        << "A + 1\rB + 2" << QStringList { "My Project: A " };
    QTest::newRow("line feed alone splits as CR LF does")
        << "A + 1\nB + 2" << QStringList { "My Project: A ", "My Project: B " };
}

void TestScheduleBuilder::rowTexts()
{
    QFETCH(QString, text);
    QFETCH(QStringList, rowTexts);
    ScheduleState state;
    const Built built = build(state, request(text));
    QVERIFY(!built.refusal);
    QStringList texts;
    for (const TaskRow &row : built.schedule.tasks)
        texts << row.listText(built.schedule.projectName);
    QCOMPARE(texts, rowTexts);
}

void TestScheduleBuilder::workedExample()
{
    ScheduleState state;
    // Docs runs beside Build; Test follows Docs, not the longer Build.
    const Built built
        = build(state, request(QStringLiteral("Design + 3\r\nBuild + 5\r\n//Docs + 2\r\nTest")));
    QVERIFY(!built.refusal);
    const std::vector<TaskRow> &rows = built.schedule.tasks;
    QCOMPARE(rows.size(), size_t(4));
    const QList<QPair<QDate, QDate>> expected {
        { QDate(2024, 6, 3), QDate(2024, 6, 5) },
        { QDate(2024, 6, 6), QDate(2024, 6, 12) },
        { QDate(2024, 6, 6), QDate(2024, 6, 7) },
        { QDate(2024, 6, 10), QDate(2024, 6, 10) },
    };
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(rows[size_t(i)].startDate, expected[i].first);
        QCOMPARE(rows[size_t(i)].endDate, expected[i].second);
    }
    QCOMPARE(rows[2].name, QStringLiteral("Docs "));
    QCOMPARE(state.NextTaskStart, QDate(2024, 6, 11));
    QCOMPARE(state.txtPreviousItemDate, QStringLiteral("6/10/2024"));
}

void TestScheduleBuilder::taskSpans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QDate>("nextStart");
    QTest::addColumn<int>("events");

    // Monday to Friday, from Monday 3 June 2024.
    QTest::newRow("2.5: one and a half rounds to 2")
        << "A + 2.5" << QDate(2024, 6, 5) << QDate(2024, 6, 6) << 1;
    QTest::newRow("3.5: two and a half rounds to 2")
        << "A + 3.5" << QDate(2024, 6, 5) << QDate(2024, 6, 6) << 1;
    QTest::newRow("0.5 ends on its start, no event") << "A + 0.5" << kMonday << QDate(2024, 6, 4) << 0;
    QTest::newRow("1.5 ends on its start") << "A + 1.5" << kMonday << QDate(2024, 6, 4) << 1;
    QTest::newRow("-3: four working days back") << "A + -3" << QDate(2024, 5, 28) << QDate(2024, 5, 29) << 0;
    QTest::newRow("-0.5: minus one and a half rounds to -2")
        << "A + -0.5" << QDate(2024, 5, 30) << QDate(2024, 5, 31) << 0;
    QTest::newRow("6 days over a weekend") << "A + 6" << QDate(2024, 6, 10) << QDate(2024, 6, 11) << 2;
}

void TestScheduleBuilder::taskSpans()
{
    QFETCH(QString, text);
    QFETCH(QDate, end);
    QFETCH(QDate, nextStart);
    QFETCH(int, events);
    ScheduleState state;
    const Built built = build(state, request(text + QStringLiteral("\r\nNext")));
    QVERIFY(!built.refusal);
    QCOMPARE(built.schedule.tasks[0].startDate, kMonday);
    QCOMPARE(built.schedule.tasks[0].endDate, end);
    QCOMPARE(built.schedule.tasks[1].startDate, nextStart);
    QCOMPARE(built.schedule.tasks[0].events.size(), size_t(events));
}

void TestScheduleBuilder::projectStart_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("onPickedDate");
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QDate>("start");

    const QDate saturday(2024, 6, 8);
    const QDate wednesday(2024, 6, 5);
    const QDate nextSunday(2024, 6, 16);
    QTest::newRow("right away on a Saturday") << saturday << false << QDate() << true << QDate(2024, 6, 10);
    QTest::newRow("right away on a Saturday, box unticked")
        << saturday << false << QDate() << false << saturday;
    QTest::newRow("picked Sunday next week") << wednesday << true << nextSunday << true << QDate(2024, 6, 17);
    QTest::newRow("picked today, a Saturday") << saturday << true << saturday << true << QDate(2024, 6, 10);
    QTest::newRow("picked Saturday, box unticked") << wednesday << true << saturday << false << saturday;
}

void TestScheduleBuilder::projectStart()
{
    QFETCH(QDate, today);
    QFETCH(bool, onPickedDate);
    QFETCH(QDate, picked);
    QFETCH(bool, applies);
    QFETCH(QDate, start);
    Clock::setToday(today);
    ScheduleState state;
    state.PickedStartDate = picked;
    ScheduleRequest r = request(QStringLiteral("Plan"), "1111100", applies);
    r.startOnPickedDate = onPickedDate;
    const Built built = build(state, r);
    Clock::setToday(kMonday);
    QVERIFY(!built.refusal);
    QCOMPARE(built.schedule.tasks[0].startDate, start);
    QCOMPARE(built.schedule.tasks[0].endDate, start);
    QCOMPARE(state.PickedStartDate, picked); // the picked date stays as the person left it
}

void TestScheduleBuilder::firstParallelLineAcrossBuilds()
{
    ScheduleState state;
    const ScheduleRequest r = request(QStringLiteral("//Intro + 2\r\nNext"));
    const Built first = build(state, r);
    QVERIFY(!first.refusal);
    QCOMPARE(state.txtPreviousItemDate, QStringLiteral("6/5/2024"));
    QCOMPARE(first.schedule.tasks[0].eventText, QStringLiteral("//Intro "));

    const Built second = build(state, r);
    QVERIFY(!second.refusal);
    QCOMPARE(second.schedule.tasks[0].eventText, QStringLiteral("Intro "));
    // Only the events change: the dates stay, and the next sequential task still follows the parallel one.
    QCOMPARE(second.schedule.tasks[0].endDate, first.schedule.tasks[0].endDate);
    QCOMPARE(second.schedule.tasks[1].startDate, QDate(2024, 6, 5));
}

void TestScheduleBuilder::parallelRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QString>("description");

    QTest::newRow("parallel after a parallel shares its start")
        << "A + 2\r\n//B + 3\r\n//C + 1" << 2 << kMonday << kMonday << "C ";
    QTest::newRow("every // of a parallel task leaves the events")
        << "A\r\n//B//x + 1" << 1 << kMonday << kMonday << "Bx ";
    QTest::newRow("a sequential task keeps // in its events")
        << "Plan//Design" << 0 << kMonday << kMonday << "Plan//Design";
    QTest::newRow("leading blank makes it sequential")
        << "A + 2\r\n //B" << 1 << QDate(2024, 6, 5) << QDate(2024, 6, 5) << " //B";
}

void TestScheduleBuilder::parallelRules()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(QString, description);
    ScheduleState state;
    const Built built = build(state, request(text));
    QVERIFY(!built.refusal);
    const TaskRow &task = built.schedule.tasks[size_t(row)];
    QCOMPARE(task.startDate, start);
    QCOMPARE(task.endDate, end);
    QCOMPARE(task.eventText, description);
}

void TestScheduleBuilder::refusalsKeepEverything_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("onPastDate");
    QTest::addColumn<QStringList>("messageParts");

    QTest::newRow("past picked date")
        << "Plan"
        << "1111100" << true
        << QStringList { "Your project is set to start on a past date. Please fix this." };
    QTest::newRow("no working day") << "Plan"
                                    << "0000000" << false << QStringList { "no working days" };
    QTest::newRow("rounding beyond 32 bits")
        << "Plan\r\nBig + 3000000000"
        << "1111111" << false << QStringList { "Line 2", "Big + 3000000000" };
    QTest::newRow("hexadecimal beyond 32 bits")
        << "Big + &HFFFFFFFF"
        << "1111111" << false << QStringList { "Line 1", "&HFFFFFFFF" };
    QTest::newRow("endless digits") << "A\r\nB\r\nC + " + QString(300000, QLatin1Char('9')) << "1111111"
                                    << false << QStringList { "Line 3" };
    QTest::newRow("past the year 9999")
        << "Plan\r\nLong + 3000000"
        << "1111111" << false << QStringList { "Line 2", "Long + 3000000", "9999" };
    QTest::newRow("before the year 1") << "Back + -800000"
                                       << "1111100" << false << QStringList { "Line 1" };
    // Three one-day runs a week: a million and one events fit in the calendar but not in a project.
    QTest::newRow("too many events") << "Many + 1000001"
                                     << "1010100" << false << QStringList { "Line 1" };
    // Parallel tasks pile up events without moving the dates on.
    QTest::newRow("too many events from parallel tasks")
        << "Base + 10" + QString(QStringLiteral("\r\n//Side + 200000")).repeated(12) << "1010100" << false
        << QStringList { "Line 6" };
    QTest::newRow("long line quoted without a broken character")
        << QString(59, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80")
            + QStringLiteral(" + 99999999999")
        << "1111111" << false << QStringList { "Line 1", QString(59, QLatin1Char('a')) };
}

void TestScheduleBuilder::refusalsKeepEverything()
{
    QFETCH(QString, text);
    QFETCH(QString, week);
    QFETCH(bool, onPastDate);
    QFETCH(QStringList, messageParts);

    ScheduleState state;
    Built earlier = build(state, request(QStringLiteral("Earlier + 3\r\n//Side")));
    QVERIFY(!earlier.refusal);
    const ScheduleState stateBefore = state;

    ScheduleRequest r = request(text, week.toLatin1().constData());
    if (onPastDate) {
        r.startOnPickedDate = true;
        state.PickedStartDate = kMonday.addDays(-1);
    }
    Schedule schedule = earlier.schedule;
    const auto refusal = ScheduleBuilder::build(state, r, Clock::today(), schedule);
    QVERIFY(refusal);
    for (const QString &part : messageParts)
        QVERIFY2(refusal->text.contains(part), qPrintable(refusal->text));
    QVERIFY2(refusal->text.size() < 300, "a message quotes a long line only in part");
    QCOMPARE(QString::fromUtf8(refusal->text.toUtf8()), refusal->text);

    QCOMPARE(schedule.tasks.size(), earlier.schedule.tasks.size());
    QCOMPARE(schedule.eventCount(), earlier.schedule.eventCount());
    QCOMPARE(schedule.tasks[0].name, QStringLiteral("Earlier "));
    const auto dates = [](const ScheduleState &s) {
        return QList<QDate> { s.TaskStart, s.TaskEnd, s.PreviousTaskStart, s.NextTaskStart };
    };
    QCOMPARE(dates(state), dates(stateBefore));
    QCOMPARE(state.txtPreviousItemDate, stateBefore.txtPreviousItemDate);

    // Below kept rows the line is refused alike and nothing changes, so the next build still goes on from them.
    Shown shown;
    shown.state.PickedStartDate = state.PickedStartDate;
    ScheduleRequest below = r;
    below.todoText = QStringLiteral("Earlier + 3\r\n//Side\r\n");
    shown.build(below);
    shown.build(below);
    const bool earlierRefused = shown.refusal.has_value();
    below.todoText += text;
    shown.build(below);
    QVERIFY(shown.refusal);
    below.todoText = QStringLiteral("Earlier + 3\r\n//Side\r\nLater + 2");
    shown.build(below);
    QCOMPARE(shown.refusal.has_value(), earlierRefused);
}

void TestScheduleBuilder::garbageInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");

    QString binary;
    for (int c = 0; c < 256; ++c)
        binary += QChar(c);
    binary += QString::fromUtf8(QByteArray("\xff\xfe\x00\xc3\x28\xf0\x9f\x98\x80", 9));
    QTest::newRow("binary bytes: its line feed starts a second line") << binary << 2;
    QTest::newRow("a 300,000-character line")
        << QString(300000, QLatin1Char('x')) + QStringLiteral(" + 2") << 1;
    QStringList lines;
    for (int i = 0; i < 100000; ++i)
        lines << QStringLiteral("Task %1 + %2").arg(i).arg(i % 7);
    QTest::newRow("100,000 lines") << lines.join(QLatin1String("\r\n")) << 100000;
    QTest::newRow("100,000 parallel lines") << QStringLiteral("A + 5\r\n")
            + QStringList(100000, QStringLiteral("//B + 3")).join(QLatin1String("\r\n"))
                                            << 100001;
}

void TestScheduleBuilder::garbageInput()
{
    QFETCH(QString, text);
    QFETCH(int, rows);
    ScheduleState state;
    const Built built = build(state, request(text));
    QVERIFY(!built.refusal);
    QCOMPARE(built.schedule.tasks.size(), size_t(rows));
}

void TestScheduleBuilder::savedStart_data()
{
    QTest::addColumn<bool>("onPickedDate");
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QDate>("start"); // invalid: refused

    const QDate lastWednesday(2024, 5, 29);
    const QDate lastSunday(2024, 6, 2);
    QTest::newRow("a saved past date is the start") << true << lastWednesday << true << lastWednesday;
    QTest::newRow("a saved past Sunday moves on to Monday") << true << lastSunday << true << kMonday;
    QTest::newRow("a past date picked now is refused") << true << lastWednesday << false << QDate();
    QTest::newRow("a saved right away starts today") << false << lastWednesday << true << kMonday;
}

void TestScheduleBuilder::savedStart()
{
    QFETCH(bool, onPickedDate);
    QFETCH(QDate, picked);
    QFETCH(bool, saved);
    QFETCH(QDate, start);
    ScheduleState state;
    state.PickedStartDate = picked;
    ScheduleRequest r = request(QStringLiteral("Plan + 3"));
    r.startOnPickedDate = onPickedDate;
    r.startIsSaved = saved;
    const Built built = build(state, r);
    QCOMPARE(!built.refusal, start.isValid());
    if (start.isValid())
        QCOMPARE(built.schedule.tasks[0].startDate, start);
}

void TestScheduleBuilder::joinRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wait");
    QTest::addColumn<QList<QDate>>("starts");

    // Monday 3 June 2024 onwards, Monday to Friday. Two rows to read the rule by; the comparison with the
    // reference below holds the rest (longer groups, negative counts, every day counted).
    const QString interviews = QStringLiteral("Requirements + 5\n// Interviews + 2\nArchitecture + 4");
    QTest::newRow("a short parallel line, off")
        << interviews << false << QList<QDate> { kMonday, kMonday, QDate(2024, 6, 5) };
    QTest::newRow("a short parallel line, on")
        << interviews << true << QList<QDate> { kMonday, kMonday, QDate(2024, 6, 10) };
}

void TestScheduleBuilder::joinRule()
{
    QFETCH(QString, text);
    QFETCH(bool, wait);
    QFETCH(QList<QDate>, starts);
    ScheduleState state;
    ScheduleRequest r = request(text);
    r.waitForParallel = wait;
    const Built built = build(state, r);
    QVERIFY(!built.refusal);
    QList<QDate> actual;
    for (const TaskRow &task : built.schedule.tasks)
        actual << task.startDate;
    QCOMPARE(actual, starts);
}

void TestScheduleBuilder::joinRuleAgainstReference()
{
    // Random plans laid out by a plain day-by-day reading of both rules; a first build, so a first "//"
    // line is sequential.
    QRandomGenerator random(20261207);
    static const char *const counts[] = { "1", "2", "3", "5", "8", "13", "0.3", "0.5", "2.5", "-1", "-4" };
    for (int round = 0; round < 400; ++round) {
        const RandomWeek calendar = randomWeek(random);
        const WorkingWeekFlags &week = calendar.week;
        const bool applies = calendar.applies;
        const std::vector<QDate> &daysOff = calendar.daysOff;
        const bool wait = random.bounded(2) == 1;

        QStringList lines;
        std::vector<bool> parallel;
        std::vector<double> dayCounts;
        for (int i = 1 + random.bounded(10); i > 0; --i) {
            const char *count = counts[random.bounded(int(std::size(counts)))];
            parallel.push_back(random.bounded(5) < 2);
            dayCounts.push_back(QByteArray(count).toDouble());
            lines << QStringLiteral("%1T%2 + %3")
                         .arg(parallel.back() ? QStringLiteral("//") : QString())
                         .arg(lines.size())
                         .arg(QLatin1String(count));
        }
        parallel[0] = false;

        std::vector<QDate> starts;
        std::vector<QDate> ends;
        QDate groupEnd;
        const auto add = [&](const QDate &date, qint64 n) {
            return testing::referenceAddWorkingDays(week, applies, daysOff, date, n);
        };
        const QDate projectStart
            = testing::referenceIsWorkingDay(week, applies, daysOff, kMonday) ? kMonday : add(kMonday, 1);
        for (size_t i = 0; i < size_t(lines.size()); ++i) {
            QDate start;
            if (i == 0)
                start = projectStart;
            else if (parallel[i])
                start = starts.back();
            else
                start = add(wait ? groupEnd : ends.back(), 1);
            starts.push_back(start);
            ends.push_back(add(start, qint64(std::nearbyint(dayCounts[i] - 1))));
            groupEnd = parallel[i] ? std::max(groupEnd, ends.back()) : ends.back();
        }

        const Built built = buildRandom(lines, calendar, wait);
        QVERIFY(!built.refusal);
        const auto &tasks = built.schedule.tasks;
        QCOMPARE(tasks.size(), size_t(lines.size()));
        for (size_t i = 0; i < tasks.size(); ++i) {
            const QByteArray where = lines.join(QLatin1String(" | ")).toUtf8() + (wait ? " waiting" : "")
                + ", line " + QByteArray::number(qsizetype(i + 1));
            QVERIFY2(tasks[i].startDate == starts[i] && tasks[i].endDate == ends[i], where.constData());

            // The task above that ends last, the nearest on a tie, when this sequential one starts first.
            size_t above = i;
            for (size_t j = 0; j < i; ++j) {
                if (above == i || ends[j] >= ends[above])
                    above = j;
            }
            const bool overlaps = !parallel[i] && above < i && starts[i] <= ends[above];
            QVERIFY2(bool(tasks[i].overlap) == overlaps, where.constData());
            if (overlaps) {
                QCOMPARE(tasks[i].overlap->name, QStringLiteral("T%1 ").arg(above));
                QCOMPARE(tasks[i].overlap->end, ends[above]);
                const bool readAsWritten = lineHint(lines[qsizetype(i)]).isEmpty();
                QVERIFY2(shownHint(tasks[i], wait, &formatIsoDate)
                                 .startsWith(QStringLiteral("Starts before \"T%1\" ends (").arg(above))
                        == readAsWritten,
                    where.constData());
            }
        }
    }
}

void TestScheduleBuilder::marksAgainstReference()
{
    // Random marked plans laid out by a plain reading of the marks written here, day by day.
    QRandomGenerator random(20261208);
    static const char *const counts[] = { "1", "2", "3", "5", "0.5", "2.5", "-2" };
    for (int round = 0; round < 400; ++round) {
        const RandomWeek calendar = randomWeek(random);
        const WorkingWeekFlags &week = calendar.week;
        const bool applies = calendar.applies;
        const std::vector<QDate> &daysOff = calendar.daysOff;
        const bool wait = random.bounded(2) == 1;
        const auto isWorking = [&](const QDate &date) {
            return testing::referenceIsWorkingDay(week, applies, daysOff, date);
        };
        const auto add = [&](const QDate &date, qint64 n) {
            return testing::referenceAddWorkingDays(week, applies, daysOff, date, n);
        };

        QStringList lines;
        std::vector<QDate> starts, ends, nexts;
        std::vector<bool> missingName;
        QDate previousStart = isWorking(kMonday) ? kMonday : add(kMonday, 1);
        QDate next = previousStart;
        QDate groupNext;
        for (int i = 0, count = 1 + random.bounded(9); i < count; ++i) {
            const char *days = counts[random.bounded(int(std::size(counts)))];
            // Names repeat, so that "[after]" must find the nearest; case and blanks differ.
            const QString name = QStringLiteral("T%1").arg(random.bounded(5));
            const bool marker = random.bounded(3) == 0;
            QString line = QStringLiteral("%1%2 + %3").arg(marker ? "//" : "", name, QLatin1String(days));
            QStringList named;
            QDate after;
            bool missing = false;
            if (random.bounded(3) == 0) {
                for (int n = 1 + random.bounded(2); n > 0; --n) {
                    const int j = random.bounded(i + 1);
                    const QString target = j < i ? lines[j].section(QLatin1Char('+'), 0, 0).remove("//").trimmed()
                                                 : QStringLiteral("Nobody");
                    named << (random.bounded(2) ? target.toLower() : QStringLiteral(" %1 ").arg(target));
                    // The nearest line above with that name.
                    int nearest = -1;
                    for (int k = 0; k < i; ++k) {
                        if (lines[k].section(QLatin1Char('+'), 0, 0).remove("//").trimmed().compare(
                                target, Qt::CaseInsensitive)
                            == 0)
                            nearest = k;
                    }
                    if (nearest < 0)
                        missing = true;
                    else if (!after.isValid() || nexts[size_t(nearest)] > after)
                        after = nexts[size_t(nearest)];
                }
                line += QStringLiteral(" [after %1]").arg(named.join(QLatin1Char(',')));
            }
            const bool milestone = random.bounded(6) == 0;
            const int waitDays = random.bounded(4) == 0 ? random.bounded(-4, 5) : 0;
            const QDate from = random.bounded(4) == 0 ? kMonday.addDays(random.bounded(-5, 30)) : QDate();
            if (milestone)
                line += QStringLiteral(" [Milestone]");
            if (waitDays != 0 || random.bounded(8) == 0)
                line += QStringLiteral("[wait %1]").arg(waitDays);
            if (from.isValid())
                line += QStringLiteral(" [from %1]").arg(from.toString(Qt::ISODate));
            if (random.bounded(5) == 0)
                line += QStringLiteral(" [done]");

            const bool parallel = i > 0 && marker && !after.isValid() && !milestone;
            QDate start = after.isValid() ? after : parallel ? previousStart : wait && groupNext.isValid() ? groupNext : next;
            start = add(start, waitDays);
            if (from.isValid() && start < from)
                start = isWorking(from) ? from : add(from, 1);
            const QDate end = milestone ? start : add(start, qint64(std::nearbyint(QByteArray(days).toDouble() - 1)));
            next = milestone ? start : add(end, 1);
            groupNext = parallel && groupNext.isValid() ? std::max(groupNext, next) : next;
            previousStart = start;
            lines << line;
            starts.push_back(start);
            ends.push_back(end);
            nexts.push_back(next);
            missingName.push_back(missing);
        }

        const Built built = buildRandom(lines, calendar, wait);
        QVERIFY(!built.refusal);
        const auto &tasks = built.schedule.tasks;
        QCOMPARE(tasks.size(), size_t(lines.size()));
        for (size_t i = 0; i < tasks.size(); ++i) {
            const QByteArray where = lines.join(QLatin1String(" | ")).toUtf8() + (wait ? " waiting" : "")
                + ", line " + QByteArray::number(qsizetype(i + 1));
            QVERIFY2(tasks[i].startDate == starts[i] && tasks[i].endDate == ends[i], where.constData());
            QVERIFY2(tasks[i].hint.startsWith(QLatin1String("No task above is named")) == missingName[i]
                    || !lineHint(lines[qsizetype(i)]).isEmpty(),
                where.constData());
            if (tasks[i].marks.milestone) {
                QVERIFY2(tasks[i].dayCount == 0 && tasks[i].events.size() == 1
                        && tasks[i].events[0].first == starts[i] && tasks[i].events[0].last == starts[i],
                    where.constData());
            }
        }
    }
}

void TestScheduleBuilder::overlapHint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wait");
    QTest::addColumn<QStringList>("hints");

    QTest::newRow("a line after a short parallel one")
        << "Requirements + 5\n// Interviews + 2\nArchitecture + 4" << false
        << QStringList { QString(), QString(),
               QStringLiteral("Starts before \"Requirements\" ends (6/7/2024). To make it wait, turn on "
                              "Tasks \u2192 Wait for parallel tasks (ambrel-cli --wait-parallel; "
                              "\"Parallel: wait\" in a project file).") };
    QTest::newRow("waiting cannot help a task that ends before it starts")
        << "A + 3\nB + -5\nC + 1" << true
        << QStringList { QString(), lineHint(QStringLiteral("B + -5")),
               QStringLiteral("Starts before \"A\" ends (6/5/2024). Waiting for parallel tasks is on, so a "
                              "task above ends before it starts: give it a positive number of days to make "
                              "this line wait.") };
    QTest::newRow("a line placed by a mark is placed on purpose")
        << "Requirements + 5\n// Interviews + 2\nArchitecture + 4 [wait 1]" << false
        << QStringList { QString(), QString(), QString() };
    QTest::newRow("a misread line keeps its hint")
        << "A + 5\n//B + 1\nC + 2 weeks" << false
        << QStringList { QString(), QString(), lineHint(QStringLiteral("C + 2 weeks")) };
}

void TestScheduleBuilder::overlapHint()
{
    QFETCH(QString, text);
    QFETCH(bool, wait);
    QFETCH(QStringList, hints);
    ScheduleState state;
    ScheduleRequest r = request(text);
    r.waitForParallel = wait;
    const Built built = build(state, r);
    QVERIFY(!built.refusal);
    QStringList actual;
    for (const TaskRow &task : built.schedule.tasks)
        actual << shownHint(task, wait, [](const QDate &date) { return formatShortDate(date); });
    QCOMPARE(actual, hints);
}

void TestScheduleBuilder::hintsOfTheCommandLine()
{
    // Line numbers count empty lines; the misread line 5 keeps its own hint although it starts early too.
    const QString text = QStringLiteral("A + 5\r\n\r\n//B + 1\nC\nD + x\n");
    ScheduleState state;
    const Built built = build(state, request(text));
    QVERIFY(!built.refusal);
    const std::vector<LineHint> hints = scheduleHints(built.schedule, &formatIsoDate);
    QCOMPARE(hints.size(), size_t(2));
    QCOMPARE(hints[0].lineNumber, 4);
    QVERIFY(hints[0].text.startsWith(QStringLiteral("Starts before \"A\" ends (2024-06-07).")));
    QCOMPARE(hints[1].lineNumber, 5);
    QCOMPARE(hints[1].text, lineHint(QStringLiteral("D + x")));
}

void TestScheduleBuilder::resumeAfterChanges_data()
{
    // Built twice before (unless a first build), then once after the change; kept counts the rows that the
    // last build kept rather than laid out again, -1 when it is refused. Every build is checked against a
    // full one.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("kept");

    const QString plan = QStringLiteral("A + 2\nB + 3\nC + 1");
    const QString edited = QStringLiteral("A + 2\nB + 3\nD + 4");
    QTest::newRow("last line") << plan << edited << "" << 2;
    QTest::newRow("empty line put in moves the rows below")
        << plan << QStringLiteral("A + 2\n\nB + 3\nC + 1") << "" << 1;
    QTest::newRow("CR LF") << "A + 2\r\nB + 3\r\nC" << "A + 2\r\nB + 3\r\nD" << "" << 2;
    QTest::newRow("CR LF becomes LF") << "A + 2\r\nB + 3" << "A + 2\nB + 3" << "" << 0;
    QTest::newRow("CR at the end gets its LF") << "A + 2\nB + 3\r" << "A + 2\nB + 3\r\n" << "" << 1;
    QTest::newRow("Enter at the end") << plan << plan + "\n" << "" << 2;
    QTest::newRow("after names a kept row")
        << plan << QStringLiteral("A + 2\nB + 3\nC + 1 [after a]\nD [after B, c]") << "" << 2;
    QTest::newRow("waiting for a kept group")
        << "A + 2\n//B + 5\n//C\nD" << "A + 2\n//B + 5\n//C\nE + 2" << "waiting" << 3;
    // One event a working day: the kept rows' four events take the project over the limit.
    QTest::newRow("events of kept rows count")
        << "A + 3\nB" << "A + 3\nB\nMany + 999997" << "alternate days" << -1;
    QTest::newRow("days off made again") << plan << edited << "same days off" << 2;
    QTest::newRow("first build after start-up")
        << "//A + 2\nB" << "//A + 2\nC" << "first build" << 0;
    QTest::newRow("working week") << plan << edited << "working week" << 0;
    QTest::newRow("day off moved") << plan << edited << "day off moved" << 0;
    QTest::newRow("wait for parallel")
        << "A + 2\n//B + 5\nC\nD" << "A + 2\n//B + 5\nC\nE" << "wait for parallel" << 0;
    QTest::newRow("start on the picked date") << plan << edited << "start on picked date" << 0;
    QTest::newRow("picked date") << plan << edited << "picked date" << 0;
    QTest::newRow("today") << plan << edited << "today" << 0;
}

void TestScheduleBuilder::resumeAfterChanges()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, change);
    QFETCH(int, kept);

    const auto calendar = [](int dayOff) {
        return WorkingCalendar(weekFromText("1111100"), true, { kMonday.addDays(dayOff) });
    };
    Shown shown;
    shown.state.PickedStartDate = kMonday.addDays(7);
    ScheduleRequest r = request(before);
    r.calendar = change == "alternate days" ? WorkingCalendar(weekFromText("1010100"), true) : calendar(1);
    r.waitForParallel = change == "waiting";
    r.startOnPickedDate = change == "picked date";
    QDate today = kMonday;
    shown.build(r, today);
    if (change != "first build")
        shown.build(r, today);

    r.todoText = after;
    if (change == "same days off")
        r.calendar = calendar(1);
    else if (change == "working week")
        r.calendar = WorkingCalendar(weekFromText("1111110"), true, { kMonday.addDays(1) });
    else if (change == "day off moved")
        r.calendar = calendar(2);
    else if (change == "wait for parallel")
        r.waitForParallel = true;
    else if (change == "start on picked date")
        r.startOnPickedDate = true;
    else if (change == "picked date")
        shown.state.PickedStartDate = kMonday.addDays(8);
    else if (change == "today")
        today = today.addDays(1);
    shown.build(r, today);
    QCOMPARE(shown.refusal.has_value(), kept < 0);
    QCOMPARE(shown.from, qsizetype(kept));
}

QTEST_APPLESS_MAIN(TestScheduleBuilder)
#include "tst_schedulebuilder.moc"
