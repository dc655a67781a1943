#include "tracking/ListEditing.h"

#include <QTest>

using namespace ambrel;

namespace {

// Four tasks a week apart, each five days long.
std::vector<TaskRow> fourTasks()
{
    std::vector<TaskRow> rows;
    for (int t = 0; t < 4; ++t) {
        TaskRow row;
        row.name = QStringLiteral("T%1").arg(t + 1);
        row.startDate = QDate(2024, 6, 3).addDays(t * 7);
        row.endDate = row.startDate.addDays(4);
        rows.push_back(row);
    }
    return rows;
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
