#include "schedule/TaskLine.h"
#include "schedule/TaskRow.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace ambrel;

class TestTaskLine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void readTaskLine_data();
    void readTaskLine();
    void readNumber_data();
    void readNumber();
    void readMarks_data();
    void readMarks();
    void tagReadsBackAsTheSameTask_data();
    void tagReadsBackAsTheSameTask();
    void garbageNeverHangs();
};

void TestTaskLine::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTaskLine::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestTaskLine::readTaskLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("namePart");
    QTest::addColumn<double>("dayCount");
    QTest::addColumn<bool>("parallel");

    QTest::newRow("Create Product + 10") << "Create Product + 10"
                                         << "Create Product " << 10.0 << false;
    QTest::newRow("Do This + 7 Days") << "Do This + 7 Days"
                                      << "Do This " << 7.0 << false;
    QTest::newRow("Review +2days") << "Review +2days"
                                   << "Review " << 2.0 << false;
    QTest::newRow("Plan") << "Plan"
                          << "Plan" << 1.0 << false;
    QTest::newRow("Test + 2.5 days") << "Test + 2.5 days"
                                     << "Test " << 2.5 << false;
    QTest::newRow("//Docs + 3") << "//Docs + 3"
                                << "//Docs " << 3.0 << true;
    QTest::newRow("Fix + 1 0 days") << "Fix + 1 0 days"
                                    << "Fix " << 10.0 << false;
    QTest::newRow("Ship + soon") << "Ship + soon"
                                 << "Ship " << 1.0 << false;
    QTest::newRow("Ship + 0") << "Ship + 0"
                              << "Ship " << 1.0 << false;
    QTest::newRow("first plus splits") << "R+D review + 3"
                                       << "R" << 1.0 << false;
    QTest::newRow("second plus stops the number") << "A + 3 + 4"
                                                  << "A " << 3.0 << false;
    QTest::newRow("weeks are not a unit") << "X + 2 weeks"
                                          << "X " << 2.0 << false;
    QTest::newRow("negative") << "X + -3"
                              << "X " << -3.0 << false;
    QTest::newRow("blank line") << ""
                                << "" << 1.0 << false;
    QTest::newRow("// then blank") << "// Review"
                                   << "// Review" << 1.0 << true;
    QTest::newRow("leading blank is not parallel") << " //Review"
                                                   << " //Review" << 1.0 << false;
    QTest::newRow("// inside is not parallel") << "Check a//b"
                                               << "Check a//b" << 1.0 << false;
    QTest::newRow("DAYS") << "X + 4 DAYS"
                          << "X " << 4.0 << false;
    QTest::newRow("DAY glued") << "X + 6DAY"
                               << "X " << 6.0 << false;
    QTest::newRow("dAys is not a word") << "X + dAys 5"
                                        << "X " << 1.0 << false;
    QTest::newRow("words removed inside digits") << "X + 1days2"
                                                 << "X " << 12.0 << false;
    QTest::newRow("tab and line feed skipped") << "X +\t1\n2"
                                               << "X " << 12.0 << false;
    QTest::newRow("fraction below one") << "X + 0.5"
                                        << "X " << 0.5 << false;
    QTest::newRow("second point stops") << "X + 1.5.5"
                                        << "X " << 1.5 << false;
    QTest::newRow("comma is no decimal point") << "X + 2,5"
                                               << "X " << 2.0 << false;
}

void TestTaskLine::readTaskLine()
{
    QFETCH(QString, line);
    QFETCH(QString, namePart);
    QFETCH(double, dayCount);
    QFETCH(bool, parallel);
    const TaskLine task = ReadTaskLine(line);
    QCOMPARE(task.namePart, namePart);
    QCOMPARE(task.dayCount, dayCount);
    QCOMPARE(task.parallelMarker, parallel);
}

void TestTaskLine::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");

    QTest::newRow("only blanks") << " \t\n " << 0.0;
    QTest::newRow("plus sign") << "+5" << 5.0;
    QTest::newRow("blank after sign") << "- 3" << -3.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("two signs") << "--3" << 0.0;
    QTest::newRow("letters first") << "soon 3" << 0.0;
    QTest::newRow("lower-case prefix") << "&h10" << 16.0;
    QTest::newRow("negative hexadecimal") << "-&HA" << -10.0;
    QTest::newRow("prefix alone") << "&H" << 0.0;
    QTest::newRow("hexadecimal stops at g") << "&HFg1" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("unknown prefix") << "&X12" << 0.0;
    QTest::newRow("exponent not read") << "1E3" << 1.0;
    QTest::newRow("fifteen digits") << "987654321098765" << 987654321098765.0;
    QTest::newRow("sixteen digits") << "9876543210987654" << 9876543210987654.0;
    QTest::newRow("many zeros") << QString(400, QLatin1Char('0')) + QLatin1Char('7') << 7.0;
    QTest::newRow("tiny fraction") << QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QLatin1Char('1')
                                   << 0.0;
}

void TestTaskLine::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(ReadNumber(text), number);
}

namespace {

// The marks in a form a table row can spell out: "40% | after A;B | wait 2 | from 2027-03-01 | milestone".
QString spelled(const TaskMarks &marks)
{
    QStringList parts;
    if (marks.progress)
        parts << QStringLiteral("%1%").arg(*marks.progress);
    if (!marks.after.isEmpty())
        parts << QStringLiteral("after ") + marks.after.join(QLatin1Char(';'));
    if (marks.wait)
        parts << QStringLiteral("wait %1").arg(*marks.wait);
    if (marks.from.isValid())
        parts << QStringLiteral("from ") + marks.from.toString(Qt::ISODate);
    if (marks.milestone)
        parts << QStringLiteral("milestone");
    return parts.join(QLatin1String(" | "));
}

} // namespace

void TestTaskLine::readMarks_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("namePart");
    QTest::addColumn<double>("dayCount");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("unreadGroup");

    QTest::newRow("three marks") << "Integration + 5 days [after Backend, Frontend] [wait 2] [40%]"
                                 << "Integration " << 5.0 << "40% | after Backend;Frontend | wait 2" << "";
    QTest::newRow("milestone, no count") << "Launch [milestone]"
                                         << "Launch" << 1.0 << "milestone" << "";
    QTest::newRow("done") << "Requirements + 5 [done]"
                          << "Requirements " << 5.0 << "100%" << "";
    QTest::newRow("from") << "Workshop + 2 [from 2027-03-01]"
                          << "Workshop " << 2.0 << "from 2027-03-01" << "";
    QTest::newRow("touching, any case, blanks inside; the last progress counts")
        << "A + 3[DONE][ 0 % ]\t"
        << "A " << 3.0 << "0%" << "";
    QTest::newRow("the last wait counts") << "A + 3 [wait 2] [ WAIT - 5 ]"
                                          << "A " << 3.0 << "wait -5" << "";
    QTest::newRow("names keep inner blanks") << "A [after  Code review , B ]"
                                             << "A" << 1.0 << "after Code review;B" << "";
    QTest::newRow("marks alone") << "[done]"
                                 << "" << 1.0 << "100%" << "";
    QTest::newRow("seven digits") << "A + 3 [wait 1234567]"
                                  << "A " << 3.0 << "" << "[wait 1234567]";
    QTest::newRow("six digits") << "A + 3 [wait -999999]"
                                << "A " << 3.0 << "wait -999999" << "";
    QTest::newRow("over a hundred percent") << "A + 3 [101%]"
                                            << "A " << 3.0 << "" << "[101%]";
    QTest::newRow("no such date") << "A + 3 [from 2027-02-29]"
                                  << "A " << 3.0 << "" << "[from 2027-02-29]";
    QTest::newRow("after without a name") << "A + 3 [after ]"
                                          << "A " << 3.0 << "" << "[after ]";
    QTest::newRow("after with an empty name") << "A + 3 [after X,,Y]"
                                              << "A " << 3.0 << "" << "[after X,,Y]";
    QTest::newRow("one group no mark leaves all plain") << "Buy [milk] [done]"
                                                        << "Buy [milk] [done]" << 1.0 << "" << "[milk]";
    QTest::newRow("text after the groups") << "A + 3 [done] later"
                                           << "A " << 3.0 << "" << "";
}

void TestTaskLine::readMarks()
{
    QFETCH(QString, line);
    QFETCH(QString, namePart);
    QFETCH(double, dayCount);
    QFETCH(QString, marks);
    QFETCH(QString, unreadGroup);
    const TaskLine task = ReadTaskLine(line);
    QCOMPARE(task.namePart, namePart);
    QCOMPARE(task.dayCount, dayCount);
    QCOMPARE(spelled(task.marks), marks);
    QCOMPARE(task.unreadGroup, unreadGroup);
    QCOMPARE(task.marksAt >= 0, !marks.isEmpty());
}

void TestTaskLine::tagReadsBackAsTheSameTask_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("tag");

    QTest::newRow("Create Product") << "en_US"
                                    << "Create Product + 10"
                                    << "Create Product  +10";
    QTest::newRow("parallel keeps //") << "en_US"
                                       << "//Docs + 3"
                                       << "//Docs  +3";
    QTest::newRow("negative") << "en_US"
                              << "X + -3"
                              << "X  +-3";
    // A comma in the tag would read back as 2 days: the tag keeps the point.
    QTest::newRow("fraction under de_DE") << "de_DE"
                                          << "Test + 2.5"
                                          << "Test  +2.5";
    QTest::newRow("marks follow the count") << "en_US"
                                            << "Build + 4 [after Design]  [wait -2]"
                                            << "Build  +4 [after Design]  [wait -2]";
}

void TestTaskLine::tagReadsBackAsTheSameTask()
{
    QFETCH(QString, locale);
    QFETCH(QString, line);
    QFETCH(QString, tag);
    QLocale::setDefault(QLocale(locale));
    const TaskLine task = ReadTaskLine(line);
    TaskRow row;
    row.namePart = task.namePart;
    row.dayCount = task.dayCount;
    if (task.marksAt >= 0)
        row.marksText = line.mid(task.marksAt);
    QCOMPARE(row.tag(), tag);
    const TaskLine again = ReadTaskLine(row.tag());
    QCOMPARE(again.dayCount, task.dayCount);
    QCOMPARE(again.namePart, task.namePart + QLatin1Char(' '));
    QCOMPARE(again.parallelMarker, task.parallelMarker);
    QCOMPARE(again.marks, task.marks);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTaskLine::garbageNeverHangs()
{
    // Every code unit a pasted binary file can bring, in one line and as a duration.
    QString binary;
    for (char16_t c = 0; c < 0x2000; ++c)
        binary += QChar(c);
    ReadTaskLine(binary);
    ReadTaskLine(QStringLiteral("x +") + binary);
    const double endless = ReadTaskLine(QStringLiteral("X + ") + QString(300000, QLatin1Char('9'))).dayCount;
    QVERIFY(std::isinf(endless));
    const TaskLine longName = ReadTaskLine(QString(300000, QLatin1Char('a')) + QStringLiteral(" + 2"));
    QCOMPARE(longName.namePart.size(), 300001);
    QCOMPARE(longName.dayCount, 2.0);
    QCOMPARE(ReadTaskLine(QStringLiteral("X + &H") + QString(300000, QLatin1Char('F'))).dayCount,
        std::numeric_limits<double>::infinity());
}

QTEST_APPLESS_MAIN(TestTaskLine)
#include "tst_taskline.moc"
