#include "tracking/TaskStatus.h"

#include <QTest>

using namespace ambrel;

class TestTaskStatus : public QObject
{
    Q_OBJECT

private slots:
    void status_data();
    void status();
    void progressFromDates_data();
    void progressFromDates();
};

void TestTaskStatus::status_data()
{
    QTest::addColumn<qint64>("startsIn");
    QTest::addColumn<qint64>("endsIn");
    QTest::addColumn<QString>("expected");

    QTest::newRow("starts tomorrow") << qint64(1) << qint64(3) << "Pending (Coming Soon)";
    QTest::newRow("starts in 7 days") << qint64(7) << qint64(9) << "Pending (Coming Soon)";
    QTest::newRow("starts in 8 days") << qint64(8) << qint64(9) << "Pending";
    QTest::newRow("starts far ahead") << qint64(4000) << qint64(4001) << "Pending";
    QTest::newRow("starts today, ends tomorrow") << qint64(0) << qint64(1) << "Active";
    QTest::newRow("starts today, ends today") << qint64(0) << qint64(0) << "Late";
    QTest::newRow("started yesterday, ends in 10 days") << qint64(-1) << qint64(10) << "Active";
    QTest::newRow("started and ended in the past") << qint64(-9) << qint64(-2) << "Late";
    QTest::newRow("future start, past end: soon by start alone") << qint64(3) << qint64(-4) << "Pending (Coming Soon)";
    QTest::newRow("future start, past end: pending by start alone") << qint64(20) << qint64(-4) << "Pending";
}

void TestTaskStatus::status()
{
    QFETCH(qint64, startsIn);
    QFETCH(qint64, endsIn);
    QFETCH(QString, expected);
    QCOMPARE(GetTaskStatus(startsIn, endsIn), expected);
}

void TestTaskStatus::progressFromDates_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<qint64>("startsIn");
    QTest::addColumn<qint64>("endsIn");
    QTest::addColumn<QString>("status");

    QTest::newRow("across a month end") << QDate(2024, 3, 2) << QDate(2024, 3, 5) << qint64(2) << qint64(5)
                                        << "Pending (Coming Soon)";
    QTest::newRow("across a leap day, in the past") << QDate(2024, 2, 27) << QDate(2024, 2, 29) << qint64(-2)
                                                    << qint64(0) << "Late";
    QTest::newRow("across a year end") << QDate(2023, 12, 30) << QDate(2024, 1, 10) << qint64(-61)
                                       << qint64(-50) << "Late";
}

void TestTaskStatus::progressFromDates()
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(qint64, startsIn);
    QFETCH(qint64, endsIn);
    QFETCH(QString, status);

    const TaskProgress progress = taskProgress(start, end, QDate(2024, 2, 29));
    QCOMPARE(progress.startsIn, startsIn);
    QCOMPARE(progress.endsIn, endsIn);
    QCOMPARE(progress.status, status);
}

QTEST_APPLESS_MAIN(TestTaskStatus)
#include "tst_taskstatus.moc"
