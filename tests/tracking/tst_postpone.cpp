#include "schedule/TaskLine.h"
#include "tracking/Postpone.h"
#include "tracking/TaskStatus.h"

#include <QTest>

using namespace ambrel;

class TestPostpone : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void status_data();
    void status();
    void move_data();
    void move();
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

void TestPostpone::move_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("taskId");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<int>("row"); // -1: nothing happens and nothing is said
    QTest::addColumn<qint64>("byDays");
    QTest::addColumn<bool>("refused");

    QTest::newRow("third of five, 15 days") << 2 << "3"
                                            << "15"
                                            << "C" << 2 << qint64(15) << false;
    QTest::newRow("advance from the first") << 0 << "1"
                                            << "-5"
                                            << "C" << 0 << qint64(-5) << false;
    QTest::newRow("zero days") << 4 << "5"
                               << "0"
                               << "C" << 4 << qint64(0) << false;
    QTest::newRow("fraction rounds down") << 2 << "3"
                                          << "3.7"
                                          << "C" << 2 << qint64(3) << false;
    QTest::newRow("negative fraction rounds down") << 2 << "3"
                                                   << " -2.5 "
                                                   << "C" << 2 << qint64(-3) << false;
    QTest::newRow("decimal comma of the locale") << 2 << "3"
                                                 << "3,7"
                                                 << "de_DE" << 2 << qint64(3) << false;
    QTest::newRow("fractional position rounds down") << 1 << "2.9"
                                                     << "1"
                                                     << "C" << 1 << qint64(1) << false;
    QTest::newRow("position 0 is the first row") << 0 << "0"
                                                 << "1"
                                                 << "C" << 0 << qint64(1) << false;
    QTest::newRow("huge move kept whole") << 1 << "2"
                                          << "1e20"
                                          << "C" << 1 << qint64(1e15) << false;
    QTest::newRow("no row selected") << -1 << "2"
                                     << "15"
                                     << "C" << -1 << qint64(0) << false;
    QTest::newRow("no row selected, days not a number") << -1 << "2"
                                                        << "soon"
                                                        << "C" << -1 << qint64(0) << false;
    QTest::newRow("no row clicked since start") << 1 << ""
                                                << "15"
                                                << "C" << -1 << qint64(0) << false;
    QTest::newRow("no row clicked, days not a number") << 1 << ""
                                                       << "soon"
                                                       << "C" << -1 << qint64(0) << false;
    QTest::newRow("clicked row not the selected one") << 1 << "3"
                                                      << "15"
                                                      << "C" << -1 << qint64(0) << false;
    QTest::newRow("position beyond the last row") << 4 << "6"
                                                  << "15"
                                                  << "C" << -1 << qint64(0) << false;
    QTest::newRow("position far beyond, huge days") << 4 << "1e9"
                                                    << "1e12"
                                                    << "C" << -1 << qint64(0) << false;
    QTest::newRow("days not a number") << 1 << "2"
                                       << "two weeks"
                                       << "C" << -1 << qint64(0) << true;
    QTest::newRow("days empty") << 1 << "2"
                                << ""
                                << "C" << -1 << qint64(0) << true;
    QTest::newRow("number too large to read") << 1 << "2"
                                              << "1e999"
                                              << "C" << -1 << qint64(0) << true;
    QTest::newRow("infinity") << 1 << "2"
                              << "inf"
                              << "C" << -1 << qint64(0) << true;
    QTest::newRow("not a number") << 1 << "2"
                                  << "nan"
                                  << "C" << -1 << qint64(0) << true;
    QTest::newRow("days not a number, position beyond") << 4 << "9"
                                                        << "soon"
                                                        << "C" << -1 << qint64(0) << true;
}

void TestPostpone::move()
{
    QFETCH(int, selected);
    QFETCH(QString, taskId);
    QFETCH(QString, days);
    QFETCH(QString, localeName);
    QFETCH(int, row);
    QFETCH(qint64, byDays);
    QFETCH(bool, refused);

    const Refusable<std::optional<PostponeMove>> move
        = postponeMove({ selected, taskId, days, 5, QLocale(localeName) });
    QCOMPARE(move.refused(), refused);
    if (refused) {
        QVERIFY2(move.refusal().text.startsWith(
                     QLatin1String("Please enter the number of days to move the project "
                                   "by: ")),
            qPrintable(move.refusal().text));
        return;
    }
    QCOMPARE(move->has_value(), row >= 0);
    if (*move) {
        QCOMPARE((*move)->row, row);
        QCOMPARE((*move)->days, byDays);
    }
}

QTEST_GUILESS_MAIN(TestPostpone)
#include "tst_postpone.moc"
