#include "app/EventListModel.h"
#include "app/TaskListModel.h"
#include "project/Project.h"
#include "timeline/TimelinePalette.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QTest>

using namespace ambrel;

namespace {

const QDate kMonday(2024, 6, 3);

// T1 makes one event, T2 two, T3 none and T4 two.
void build(Project &project, const QString &text = QStringLiteral("T1 + 1\nT2 + 8\nT3 + 0.5\nT4 + 6"))
{
    Settings settings;
    settings.WorkingWeek = { 0, 1, 1, 1, 1, 1, 0, 0 };
    project.setSettings(settings);
    project.begin(kMonday);
    project.setName(QStringLiteral("P"));
    project.setTaskText(text);
    QVERIFY(!project.rebuild(kMonday));
}

QStringList column(const QAbstractItemModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

} // namespace

class TestListModels : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void followTheProject();
    void progressColumnsComeWithEveryBuild();
    void rowColourStaysWithItsTask();
};

void TestListModels::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestListModels::followTheProject()
{
    Project project;
    TaskListModel tasks(&project);
    EventListModel events(&project);
    QAbstractItemModelTester taskTester(&tasks, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester eventTester(&events, QAbstractItemModelTester::FailureReportingMode::QtTest);
    build(project);
    QCOMPARE(tasks.rowCount(), 4);
    QCOMPARE(column(events, EventRow::Subject),
        QStringList({ "P: T1 ", "P: T2 ", "P: T2  (2)", "P: T4 ", "P: T4  (2)" }));
    QCOMPARE(events.index(1, EventRow::StartDate).data().toString(), QStringLiteral("6/4/2024"));
}

void TestListModels::progressColumnsComeWithEveryBuild()
{
    Project project;
    TaskListModel tasks(&project);
    QAbstractItemModelTester tester(&tasks, QAbstractItemModelTester::FailureReportingMode::QtTest);
    build(project, QStringLiteral("T1 + 1 [done]\nT2 + 8\nT3 + 0.5\nT4 + 6"));
    QCOMPARE(tasks.columnCount(), 7);
    QCOMPARE(
        tasks.headerData(TaskListModel::StatusColumn, Qt::Horizontal).toString(), QStringLiteral("Status"));
    QCOMPARE(column(tasks, TaskListModel::StatusColumn),
        QStringList({ "Done", "Pending (Coming Soon)", "Pending", "Pending" }));
    QCOMPARE(column(tasks, TaskListModel::StartsInColumn), QStringList({ "0", "1", "11", "14" }));
    // Each status shows the colour the timeline gives it.
    for (int row = 0; row < tasks.rowCount(); ++row)
        QCOMPARE(tasks.index(row, TaskListModel::StatusColumn).data(Qt::DecorationRole).value<QColor>(),
            TimelinePalette::statusColor(tasks.cellText(row, TaskListModel::StatusColumn)));

    // An empty list has nothing to show in them.
    project.removeAll(kMonday);
    QCOMPARE(tasks.columnCount(), 4);
}

void TestListModels::rowColourStaysWithItsTask()
{
    Project project;
    TaskListModel tasks(&project);
    QAbstractItemModelTester tester(&tasks, QAbstractItemModelTester::FailureReportingMode::QtTest);
    build(project);
    tasks.setRowColor(1, 0x0080FF); // orange, as 0x00BBGGRR
    for (int column = 0; column < tasks.columnCount(); ++column) {
        QCOMPARE(tasks.index(1, column).data(Qt::ForegroundRole).value<QColor>(), QColor(0xFF, 0x80, 0x00));
        QVERIFY(!tasks.index(0, column).data(Qt::ForegroundRole).isValid());
    }
    QVERIFY(!project.rebuild(kMonday));
    QVERIFY(!tasks.rowColor(0));
}

QTEST_GUILESS_MAIN(TestListModels)
#include "tst_listmodels.moc"
