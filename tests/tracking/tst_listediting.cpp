#include "tracking/ListEditing.h"

#include <QTest>

using namespace ambrel;

namespace {

// Four tasks with one, three, no and two calendar events; the third waits for the first two, the fourth for
// the two before it.
std::vector<TaskRow> fourTasks()
{
    const QList<int> eventCounts { 1, 3, 0, 2 };
    std::vector<TaskRow> rows;
    for (int t = 0; t < eventCounts.size(); ++t) {
        TaskRow row;
        row.name = QStringLiteral("T%1").arg(t + 1);
        row.namePart = QStringLiteral("T%1 ").arg(t + 1);
        row.startDate = QDate(2024, 6, 3).addDays(t * 7);
        row.endDate = row.startDate.addDays(4);
        row.dayCount = t + 1;
        for (int e = 1; e <= eventCounts[t]; ++e)
            row.events.push_back({ row.startDate.addDays(e), row.startDate.addDays(e) });
        rows.push_back(row);
    }
    rows[2].afterRows = { 0, 1 };
    rows[3].afterRows = { 1, 2 };
    return rows;
}

QStringList taskTexts(const std::vector<TaskRow> &tasks)
{
    QStringList texts;
    for (const TaskRow &row : tasks) {
        QStringList waitsFor;
        for (int above : row.afterRows)
            waitsFor << (above >= 0 && above < qsizetype(tasks.size()) ? tasks[size_t(above)].name : "?");
        texts << QStringLiteral("%1/%2").arg(row.listText(QStringLiteral("P"))).arg(row.events.size())
                + (waitsFor.isEmpty() ? QString() : QLatin1Char('<') + waitsFor.join(QLatin1Char(',')));
    }
    return texts;
}

TaskRow namedTask(const QString &namePart, double dayCount)
{
    TaskRow row;
    row.namePart = namePart;
    row.dayCount = dayCount;
    return row;
}

} // namespace

class TestListEditing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void rowClick();
    void removeSelected_data();
    void removeSelected();
    void convertToList();
};

void TestListEditing::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestListEditing::rowClick()
{
    const std::vector<TaskRow> tasks = fourTasks();
    const std::optional<CurrentTask> second = clickedTask(tasks, 1, QStringLiteral("P"));
    QVERIFY(second);
    QCOMPARE(second->txtTaskID, QStringLiteral("2"));
    QCOMPARE(second->txtTask, QStringLiteral("P: T2"));
    QCOMPARE(second->txtStartDate, QStringLiteral("6/10/2024"));

    QVERIFY(!clickedTask(tasks, 4, QStringLiteral("P")));
    QVERIFY(!clickedTask(tasks, -1, QStringLiteral("P")));
    QCOMPARE(CurrentTask().txtTask, QStringLiteral("Text1"));
    QVERIFY(CurrentTask().txtTaskID.isEmpty());
}

void TestListEditing::removeSelected_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("removed");
    // Each task's text, how many events it keeps and, after "<", the tasks it waits for.
    QTest::addColumn<QStringList>("tasksLeft");

    const QStringList all { "P: T1/1", "P: T2/3", "P: T3/0<T1,T2", "P: T4/2<T2,T3" };
    QTest::newRow("first task, one event")
        << 0 << true << QStringList { "P: T2/3", "P: T3/0<T2", "P: T4/2<T2,T3" };
    QTest::newRow("task of several events")
        << 1 << true << QStringList { "P: T1/1", "P: T3/0<T1", "P: T4/2<T3" };
    QTest::newRow("task of no events") << 2 << true << QStringList { "P: T1/1", "P: T2/3", "P: T4/2<T2" };
    QTest::newRow("no row selected") << -1 << false << all;
    QTest::newRow("row past the end") << 4 << false << all;
}

void TestListEditing::removeSelected()
{
    QFETCH(int, row);
    QFETCH(bool, removed);
    QFETCH(QStringList, tasksLeft);

    std::vector<TaskRow> tasks = fourTasks();
    QCOMPARE(removeSelectedTask(tasks, row), removed);
    QCOMPARE(taskTexts(tasks), tasksLeft);
}

void TestListEditing::convertToList()
{
    QCOMPARE(convertItemsToList({}), QString());
    // Each row's tag, as the task-line tests show it, ends with a line break of its own.
    const std::vector<TaskRow> tasks { namedTask(QStringLiteral("Plan"), 1),
        namedTask(QStringLiteral("//Docs "), 2.5) };
    QCOMPARE(convertItemsToList(tasks), QStringLiteral("Plan +1\r\n//Docs  +2.5\r\n"));
}

QTEST_GUILESS_MAIN(TestListEditing)
#include "tst_listediting.moc"
