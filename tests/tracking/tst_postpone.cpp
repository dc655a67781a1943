#include "tracking/Postpone.h"
#include "tracking/TaskStatus.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace ambrel;

namespace {

const QDate kToday(2024, 6, 3); // a Monday

TaskRow task(const QString &name, const QDate &start, const QDate &end, double dayCount)
{
    TaskRow row;
    row.name = name;
    row.namePart = name;
    row.startDate = start;
    row.endDate = end;
    row.dayCount = dayCount;
    return row;
}

std::vector<TaskRow> fiveTasks()
{
    return { task("Plan ", QDate(2024, 6, 3), QDate(2024, 6, 5), 3),
        task("Design ", QDate(2024, 6, 6), QDate(2024, 6, 7), 2),
        task("Build ", QDate(2024, 6, 10), QDate(2024, 6, 14), 5),
        task("Test ", QDate(2024, 6, 17), QDate(2024, 6, 18), 2.5),
        task("Ship ", QDate(2024, 6, 19), QDate(2024, 6, 21), 3) };
}

WorkingCalendar weekdays(bool applies)
{
    return WorkingCalendar({ 0, 1, 1, 1, 1, 1, 0, 0 }, applies);
}

PostponeRequest request(const QString &taskId, const QString &days, bool weekdaysOnly = false)
{
    PostponeRequest r;
    r.rowSelected = true;
    r.txtTaskID = taskId;
    r.txtDaysToPostPone = days;
    r.calendar = weekdays(weekdaysOnly);
    r.today = kToday;
    r.locale = QLocale::c();
    return r;
}

} // namespace

class TestPostpone : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void status_data();
    void status();
    void moves_data();
    void moves();
    void progressOfMovedRows();
    void rowsStay_data();
    void rowsStay();
    void eventsFollowTheirTask();
};

void TestPostpone::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestPostpone::status_data()
{
    QTest::addColumn<qint64>("startsIn");
    QTest::addColumn<qint64>("endsIn");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("expected");

    QTest::newRow("starts in 7 days") << qint64(7) << qint64(9) << "" << "Pending (Coming Soon)";
    QTest::newRow("starts in 8 days") << qint64(8) << qint64(9) << "" << "Pending";
    QTest::newRow("starts today, ends tomorrow") << qint64(0) << qint64(1) << "" << "Active";
    QTest::newRow("starts today, ends today") << qint64(0) << qint64(0) << "" << "Late";
    QTest::newRow("started yesterday, ends in 10 days") << qint64(-1) << qint64(10) << "" << "Active";
    QTest::newRow("future start, past end: soon by start alone")
        << qint64(3) << qint64(-4) << "" << "Pending (Coming Soon)";
    QTest::newRow("done, whatever the dates") << qint64(-5) << qint64(-3) << "[done]" << "Done";
    QTest::newRow("a full share is done") << qint64(4) << qint64(9) << "[100%]" << "Done";
    QTest::newRow("most of it is not") << qint64(-5) << qint64(0) << "[99%]" << "Late";
}

void TestPostpone::status()
{
    QFETCH(qint64, startsIn);
    QFETCH(qint64, endsIn);
    QFETCH(QString, marks);
    QFETCH(QString, expected);
    const QDate today(2024, 6, 3);
    TaskRow row;
    row.startDate = today.addDays(startsIn);
    row.endDate = today.addDays(endsIn);
    row.marks = ReadTaskLine(QStringLiteral("T ") + marks).marks;
    QCOMPARE(taskProgress(row, today).status, expected);
}

void TestPostpone::moves_data()
{
    QTest::addColumn<QString>("taskId");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<bool>("weekdaysOnly");
    QTest::addColumn<int>("firstMoved");
    QTest::addColumn<QDate>("firstStart");
    QTest::addColumn<QDate>("firstEnd");
    QTest::addColumn<QDate>("lastStart");
    QTest::addColumn<QDate>("lastEnd");

    QTest::newRow("third of five, 15 calendar days")
        << "3"
        << "15"
        << "C" << false << 2 << QDate(2024, 6, 25) << QDate(2024, 6, 29) << QDate(2024, 7, 4)
        << QDate(2024, 7, 6);
    QTest::newRow("third of five, 15 weekdays") << "3"
                                                << "15"
                                                << "C" << true << 2 << QDate(2024, 7, 1) << QDate(2024, 7, 5)
                                                << QDate(2024, 7, 10) << QDate(2024, 7, 12);
    QTest::newRow("advance 5 calendar days into the past")
        << "1"
        << "-5"
        << "C" << false << 0 << QDate(2024, 5, 29) << QDate(2024, 5, 31) << QDate(2024, 6, 14)
        << QDate(2024, 6, 16);
    QTest::newRow("fraction rounds down") << "3"
                                          << "3.7"
                                          << "C" << false << 2 << QDate(2024, 6, 13) << QDate(2024, 6, 17)
                                          << QDate(2024, 6, 22) << QDate(2024, 6, 24);
    QTest::newRow("negative fraction rounds down")
        << "3"
        << "-2.5"
        << "C" << false << 2 << QDate(2024, 6, 7) << QDate(2024, 6, 11) << QDate(2024, 6, 16)
        << QDate(2024, 6, 18);
    QTest::newRow("decimal comma of the locale")
        << "3"
        << "3,7"
        << "de_DE" << false << 2 << QDate(2024, 6, 13) << QDate(2024, 6, 17) << QDate(2024, 6, 22)
        << QDate(2024, 6, 24);
    QTest::newRow("zero days keeps the dates") << "3"
                                               << "0"
                                               << "C" << true << 2 << QDate(2024, 6, 10) << QDate(2024, 6, 14)
                                               << QDate(2024, 6, 19) << QDate(2024, 6, 21);
    QTest::newRow("fractional position rounds down")
        << "2.9"
        << "1"
        << "C" << false << 1 << QDate(2024, 6, 7) << QDate(2024, 6, 8) << QDate(2024, 6, 20)
        << QDate(2024, 6, 22);
    QTest::newRow("position 0 moves every row") << "0"
                                                << "1"
                                                << "C" << false << 0 << QDate(2024, 6, 4) << QDate(2024, 6, 6)
                                                << QDate(2024, 6, 20) << QDate(2024, 6, 22);
    QTest::newRow("last row alone") << "5"
                                    << "7"
                                    << "C" << false << 4 << QDate(2024, 6, 26) << QDate(2024, 6, 28)
                                    << QDate(2024, 6, 26) << QDate(2024, 6, 28);
}

void TestPostpone::moves()
{
    QFETCH(QString, taskId);
    QFETCH(QString, days);
    QFETCH(QString, localeName);
    QFETCH(bool, weekdaysOnly);
    QFETCH(int, firstMoved);
    QFETCH(QDate, firstStart);
    QFETCH(QDate, firstEnd);
    QFETCH(QDate, lastStart);
    QFETCH(QDate, lastEnd);

    const std::vector<TaskRow> before = fiveTasks();
    std::vector<TaskRow> model = before;

    PostponeRequest r = request(taskId, days, weekdaysOnly);
    r.locale = QLocale(localeName);
    QVERIFY(!postponeProject(model, r));

    const std::vector<TaskRow> &after = model;
    QCOMPARE(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        QCOMPARE(after[i].name, before[i].name);
        QCOMPARE(bool(after[i].progress), int(i) >= firstMoved);
        if (int(i) < firstMoved) {
            QCOMPARE(after[i].startDate, before[i].startDate);
            QCOMPARE(after[i].endDate, before[i].endDate);
        }
    }
    QCOMPARE(after[size_t(firstMoved)].startDate, firstStart);
    QCOMPARE(after[size_t(firstMoved)].endDate, firstEnd);
    QCOMPARE(after.back().startDate, lastStart);
    QCOMPARE(after.back().endDate, lastEnd);
}

void TestPostpone::progressOfMovedRows()
{
    std::vector<TaskRow> model = fiveTasks();
    QVERIFY(!postponeProject(model, request("1", "0")));

    const QStringList expected[] = { { "0", "2", "Active" }, { "3", "4", "Pending (Coming Soon)" },
        { "7", "11", "Pending (Coming Soon)" }, { "14", "15", "Pending" }, { "16", "18", "Pending" } };
    for (int row = 0; row < 5; ++row) {
        const TaskProgress &progress = *model[size_t(row)].progress;
        const QStringList shown { QString::number(progress.startsIn), QString::number(progress.endsIn),
            progress.status };
        QCOMPARE(shown, expected[row]);
    }
}

void TestPostpone::rowsStay_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("taskId");
    QTest::addColumn<QString>("days");
    QTest::addColumn<WorkingWeekFlags>("week");
    QTest::addColumn<QDate>("lastEnd");
    QTest::addColumn<QString>("refusalStart"); // empty: nothing happens and nothing is said

    const WorkingWeekFlags weekdays { 0, 1, 1, 1, 1, 1, 0, 0 };
    const WorkingWeekFlags none { 0, 0, 0, 0, 0, 0, 0, 0 };
    const QDate end(2024, 6, 21);
    QTest::newRow("no row selected") << false << "2"
                                     << "15" << weekdays << end << "";
    QTest::newRow("no row clicked since start") << true << ""
                                                << "15" << weekdays << end << "";
    QTest::newRow("no row clicked, days not a number") << true << ""
                                                       << "soon" << weekdays << end << "";
    QTest::newRow("position beyond the last row") << true << "6"
                                                  << "15" << weekdays << end << "";
    QTest::newRow("position far beyond, huge days") << true << "1e9"
                                                    << "1e12" << weekdays << end << "";
    QTest::newRow("days not a number") << true << "2"
                                       << "two weeks" << weekdays << end << "Please enter the number of days";
    QTest::newRow("number too large to read")
        << true << "2"
        << "1e999" << weekdays << end << "Please enter the number of days";
    QTest::newRow("week without a working day")
        << true << "2"
        << "3" << none << end << "Your working week has no working day";
    QTest::newRow("huge move") << true << "2"
                               << "100000000000000000000" << weekdays << end
                               << "Moving the tasks by that many";
    QTest::newRow("past the year 9999")
        << true << "2"
        << "1" << weekdays << QDate(9999, 12, 31) << "Moving the tasks by that many";
    QTest::newRow("before the year 1") << true << "2"
                                       << "-800000" << weekdays << end << "Moving the tasks by that many";
}

void TestPostpone::rowsStay()
{
    QFETCH(bool, selected);
    QFETCH(QString, taskId);
    QFETCH(QString, days);
    QFETCH(WorkingWeekFlags, week);
    QFETCH(QDate, lastEnd);
    QFETCH(QString, refusalStart);

    std::vector<TaskRow> rows = fiveTasks();
    rows.back().endDate = lastEnd;
    std::vector<TaskRow> model = rows;

    PostponeRequest r = request(taskId, days);
    r.rowSelected = selected;
    r.calendar = WorkingCalendar(week, true);
    const std::optional<Refusal> refusal = postponeProject(model, r);
    QCOMPARE(bool(refusal), !refusalStart.isEmpty());
    if (refusal) {
        QVERIFY2(refusal->text.startsWith(refusalStart), qPrintable(refusal->text));
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE(model[i].startDate, rows[i].startDate);
        QCOMPARE(model[i].endDate, rows[i].endDate);
        QVERIFY(!model[i].progress);
    }
}

void TestPostpone::eventsFollowTheirTask()
{
    // After a move, each task's events are those a fresh build of its line makes from its new start.
    QRandomGenerator random(20261207);
    static const char *const counts[] = { "1", "2", "4", "7", "12", "30", "0.5", "2.5", "-3" };
    for (int round = 0; round < 300; ++round) {
        WorkingWeekFlags week {};
        for (int day = 1; day <= 7; ++day)
            week[day] = qint16(random.bounded(3) > 0 ? 1 : 0);
        week[1 + random.bounded(7)] = 1;
        std::vector<QDate> daysOff;
        for (int i = random.bounded(12); i > 0; --i)
            daysOff.push_back(kToday.addDays(random.bounded(-60, 120)));
        const WorkingCalendar calendar(week, random.bounded(5) > 0, daysOff);

        QStringList lines;
        for (int i = 1 + random.bounded(8); i > 0; --i) {
            lines << QStringLiteral("%1T%2 + %3")
                         .arg(random.bounded(4) == 0 ? QStringLiteral("//") : QString())
                         .arg(i)
                         .arg(QLatin1String(counts[random.bounded(int(std::size(counts)))]));
        }
        ScheduleRequest build;
        build.todoText = lines.join(QLatin1Char('\n'));
        build.calendar = calendar;
        ScheduleState state;
        Schedule schedule;
        QVERIFY(!ScheduleBuilder::build(state, build, kToday, schedule));

        std::vector<TaskRow> rows = schedule.tasks;
        const qsizetype first = random.bounded(qsizetype(rows.size()));
        const qint64 days = random.bounded(-40, 41);
        QVERIFY(!postponeRows(rows, first, days, calendar, kToday));

        for (size_t i = 0; i < rows.size(); ++i) {
            ScheduleRequest fresh;
            fresh.todoText = rows[i].tag();
            fresh.calendar = calendar;
            fresh.startOnPickedDate = true;
            fresh.startIsSaved = true;
            ScheduleState freshState;
            freshState.PickedStartDate = rows[i].startDate;
            Schedule freshSchedule;
            QVERIFY(!ScheduleBuilder::build(freshState, fresh, kToday, freshSchedule));
            const auto &expected = freshSchedule.tasks[0].events;
            const auto &actual = rows[i].events;
            const QByteArray where = build.todoText.toUtf8() + " moved from row "
                + QByteArray::number(first + 1) + " by " + QByteArray::number(days) + ", row "
                + QByteArray::number(qsizetype(i + 1));
            QVERIFY2(freshSchedule.tasks[0].startDate == rows[i].startDate, where.constData());
            QVERIFY2(std::equal(actual.begin(), actual.end(), expected.begin(), expected.end(),
                         [](const WorkingRun &a, const WorkingRun &b) {
                             return a.first == b.first && a.last == b.last;
                         }),
                where.constData());
        }
    }
}

QTEST_GUILESS_MAIN(TestPostpone)
#include "tst_postpone.moc"
