#include "schedule/ScheduleBuilder.h"

#include "ReferenceCalendar.h"
#include "corekit/Clock.h"

#include <QTest>

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

Built build(ScheduleState &state, const ScheduleRequest &r)
{
    Built built;
    built.refusal = ScheduleBuilder::build(state, r, Clock::today(), built.schedule);
    return built;
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
        texts << row.text;
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
    QCOMPARE(rows[2].text, QStringLiteral("My Project: Docs "));
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
    QCOMPARE(refusal->title, QStringLiteral("Ooops!"));
    for (const QString &part : messageParts)
        QVERIFY2(refusal->text.contains(part), qPrintable(refusal->text));
    QVERIFY2(refusal->text.size() < 300, "a message quotes a long line only in part");
    QCOMPARE(QString::fromUtf8(refusal->text.toUtf8()), refusal->text);

    QCOMPARE(schedule.tasks.size(), earlier.schedule.tasks.size());
    QCOMPARE(schedule.eventCount(), earlier.schedule.eventCount());
    QCOMPARE(schedule.tasks[0].text, QStringLiteral("My Project: Earlier "));
    const auto dates = [](const ScheduleState &s) {
        return QList<QDate> { s.TaskStart, s.TaskEnd, s.PreviousTaskStart, s.NextTaskStart };
    };
    QCOMPARE(dates(state), dates(stateBefore));
    QCOMPARE(state.txtPreviousItemDate, stateBefore.txtPreviousItemDate);
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

QTEST_APPLESS_MAIN(TestScheduleBuilder)
#include "tst_schedulebuilder.moc"
