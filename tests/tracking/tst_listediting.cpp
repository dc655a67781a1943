#include "export/EventListModel.h"
#include "schedule/TaskListModel.h"
#include "tracking/ListEditing.h"
#include "tracking/RowColor.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QTest>

using namespace ambrel;

namespace {

// Four tasks with one, three, no and two calendar events; each event's subject names its task.
void fillLists(TaskListModel &tasks, EventListModel &events)
{
    const QList<int> eventCounts { 1, 3, 0, 2 };
    std::vector<TaskRow> rows;
    std::vector<EventRow> eventRows;
    for (int t = 0; t < eventCounts.size(); ++t) {
        TaskRow row;
        row.text = QStringLiteral("P: T%1").arg(t + 1);
        row.namePart = QStringLiteral("T%1 ").arg(t + 1);
        row.startDate = QDate(2024, 6, 3).addDays(t * 7);
        row.endDate = row.startDate.addDays(4);
        row.dayCount = t + 1;
        row.eventCount = eventCounts[t];
        rows.push_back(row);
        for (int e = 1; e <= eventCounts[t]; ++e) {
            EventRow event;
            event.subjectBase = QStringLiteral("T%1").arg(t + 1);
            event.number = e;
            event.startDate = row.startDate;
            event.endDate = row.endDate;
            eventRows.push_back(event);
        }
    }
    tasks.setRows(rows);
    events.setRows(eventRows);
}

QStringList taskTexts(const TaskListModel &tasks)
{
    QStringList texts;
    for (const TaskRow &row : tasks.rows())
        texts << row.text;
    return texts;
}

QStringList eventNames(const EventListModel &events)
{
    QStringList names;
    for (const EventRow &event : events.rows())
        names << QStringLiteral("%1.%2").arg(event.subjectBase).arg(event.number);
    return names;
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
    void colorRow();
    void colorRowFailure_data();
    void colorRowFailure();
};

void TestListEditing::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestListEditing::rowClick()
{
    TaskListModel tasks;
    EventListModel events;
    fillLists(tasks, events);

    const std::optional<CurrentTask> second = clickedTask(tasks, 1);
    QVERIFY(second);
    QCOMPARE(second->txtTaskID, QStringLiteral("2"));
    QCOMPARE(second->txtTask, QStringLiteral("P: T2"));
    QCOMPARE(second->txtStartDate, QStringLiteral("6/10/2024"));

    QVERIFY(!clickedTask(tasks, 4));
    QVERIFY(!clickedTask(tasks, -1));
    QCOMPARE(CurrentTask().txtTask, QStringLiteral("Text1"));
    QVERIFY(CurrentTask().txtTaskID.isEmpty());
}

void TestListEditing::removeSelected_data()
{
    QTest::addColumn<int>("eventsGone"); // events already removed from the top of the list
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QStringList>("tasksLeft");
    QTest::addColumn<QStringList>("eventsLeft");

    const QStringList allTasks { "P: T1", "P: T2", "P: T3", "P: T4" };
    const QStringList allEvents { "T1.1", "T2.1", "T2.2", "T2.3", "T4.1", "T4.2" };
    QTest::newRow("first task, one event") << 0 << 0 << true << QStringList { "P: T2", "P: T3", "P: T4" }
                                           << QStringList { "T2.1", "T2.2", "T2.3", "T4.1", "T4.2" };
    QTest::newRow("task of several events") << 0 << 1 << true << QStringList { "P: T1", "P: T3", "P: T4" }
                                            << QStringList { "T1.1", "T4.1", "T4.2" };
    QTest::newRow("task of no events")
        << 0 << 2 << true << QStringList { "P: T1", "P: T2", "P: T4" } << allEvents;
    QTest::newRow("last task, after one of none")
        << 0 << 3 << true << QStringList { "P: T1", "P: T2", "P: T3" }
        << QStringList { "T1.1", "T2.1", "T2.2", "T2.3" };
    QTest::newRow("no row selected") << 0 << -1 << false << allTasks << allEvents;
    QTest::newRow("row past the end") << 0 << 4 << false << allTasks << allEvents;
    // With the lists out of step, no event of another task may go with it.
    QTest::newRow("lists out of step")
        << 1 << 1 << true << QStringList { "P: T1", "P: T3", "P: T4" } << allEvents.mid(1);
}

void TestListEditing::removeSelected()
{
    QFETCH(int, eventsGone);
    QFETCH(int, row);
    QFETCH(bool, removed);
    QFETCH(QStringList, tasksLeft);
    QFETCH(QStringList, eventsLeft);

    TaskListModel tasks;
    EventListModel events;
    QAbstractItemModelTester taskTester(&tasks, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester eventTester(&events, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fillLists(tasks, events);
    if (eventsGone > 0)
        events.removeEvents(0, eventsGone);

    QCOMPARE(removeSelectedTask(tasks, events, row), removed);
    QCOMPARE(taskTexts(tasks), tasksLeft);
    QCOMPARE(eventNames(events), eventsLeft);
}

void TestListEditing::convertToList()
{
    TaskListModel tasks;
    QCOMPARE(convertItemsToList(tasks), QString());
    // Each row's tag, as the task-line tests show it, ends with a line break of its own.
    tasks.setRows({ namedTask(QStringLiteral("Plan"), 1), namedTask(QStringLiteral("//Docs "), 2.5) });
    QCOMPARE(convertItemsToList(tasks), QStringLiteral("Plan +1\r\n//Docs  +2.5\r\n"));
}

void TestListEditing::colorRow()
{
    TaskListModel tasks;
    EventListModel events;
    QAbstractItemModelTester tester(&tasks, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fillLists(tasks, events);

    QString error;
    QVERIFY(ColorListviewRow(tasks, 2, 0x0080FF, &error)); // orange, as 0x00BBGGRR
    QVERIFY(error.isEmpty());
    for (int column = 0; column < tasks.columnCount(); ++column) {
        const QVariant foreground = tasks.index(1, column).data(Qt::ForegroundRole);
        QCOMPARE(foreground.value<QColor>(), QColor(0xFF, 0x80, 0x00));
        QVERIFY(!tasks.index(0, column).data(Qt::ForegroundRole).isValid());
        QVERIFY(!tasks.index(2, column).data(Qt::ForegroundRole).isValid());
    }

    // The colour stays with its task when a row above it goes, and a rebuild drops it.
    QVERIFY(removeSelectedTask(tasks, events, 0));
    QCOMPARE(tasks.rowColor(0), std::optional<quint32>(0x0080FF));
    QVERIFY(!tasks.rowColor(1));
    tasks.setRows(std::vector<TaskRow>(tasks.rows()));
    QVERIFY(!tasks.rowColor(0));
}

void TestListEditing::colorRowFailure_data()
{
    QTest::addColumn<int>("taskCount");
    QTest::addColumn<qint64>("rowNbr");

    QTest::newRow("row beyond the last") << 4 << qint64(5);
    QTest::newRow("row 0") << 4 << qint64(0);
    QTest::newRow("list without rows") << 0 << qint64(1);
}

void TestListEditing::colorRowFailure()
{
    QFETCH(int, taskCount);
    QFETCH(qint64, rowNbr);

    TaskListModel tasks;
    EventListModel events;
    fillLists(tasks, events);
    tasks.setRows(std::vector<TaskRow>(tasks.rows().begin(), tasks.rows().begin() + taskCount));

    QString error;
    QVERIFY(!ColorListviewRow(tasks, rowNbr, 0x0000FF, &error));
    QCOMPARE(error, QStringLiteral("Index out of bounds"));
    for (int row = 0; row < tasks.rowCount(); ++row)
        QVERIFY(!tasks.rowColor(row));
}

QTEST_GUILESS_MAIN(TestListEditing)
#include "tst_listediting.moc"
