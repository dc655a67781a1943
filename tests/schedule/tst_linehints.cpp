#include "schedule/LineHints.h"

#include <QLocale>
#include <QTest>

using namespace ambrel;

class TestLineHints : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void lineHint_data();
    void lineHint();
    void taskTextHints_data();
    void taskTextHints();
};

void TestLineHints::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestLineHints::cleanup()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestLineHints::lineHint_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("workingDaysPerWeek");
    QTest::addColumn<QString>("hint");

    const QString us = QStringLiteral("en_US");
    const QString none;
    // Lines that read as their writer means them.
    for (const char *line :
        { "Create Product + 10", "Do This + 7 Days", "Review +2days", "Plan", "//Docs + 3", "Fix + 1 0 days",
            "Ship +", "Ship + 0", "X + 1 0", " ", "// Review", " //Review", "Check a//b", "Design + 3",
            "Build + 5", "//Docs + 2", "Test", "//Intro", "Plan//Design", "Create Product  +10", "X + 4 DAYS",
            "X + 6DAY", "X + 1 day", "Tab +\t3\t", "Hex + &H10", "Octal + &O7", "X + 3.0", "X + + 3" })
        QTest::newRow(line) << QString::fromUtf8(line) << us << 5 << none;

    QTest::newRow("weeks")
        << "X + 2 weeks" << us << 5
        << "Read as 2 days: \"weeks\" is not understood. For two weeks write \"+ 10 days\".";
    QTest::newRow("one week, calendar days")
        << "X + 1 Week" << us << 7
        << "Read as 1 day: \"Week\" is not understood. For one week write "
           "\"+ 7 days\".";
    QTest::newRow("first plus splits")
        << "R+D review + 3" << us << 5
        << "Read as 1 day: the first \"+\" starts the duration, so the task is "
           "named \"R\".";
    QTest::newRow("first plus, no name")
        << "+D + 3" << us << 5
        << "Read as 1 day: the first \"+\" starts the duration, so the task has "
           "no name.";
    QTest::newRow("second plus") << "A + 3 + 4" << us << 5
                                 << "Read as 3 days: the second \"+\" ends the duration, so \"+ 4\" is not "
                                    "counted.";
    QTest::newRow("words") << "Ship + soon" << us << 5
                           << "Read as 1 day: \"soon\" is not understood. Write a number of days, as \"+ 3 "
                              "days\".";
    QTest::newRow("hours") << "Call + 4 hours" << us << 5
                           << "Read as 4 days: \"hours\" is not understood. Write a number of days, as \"+ 3 "
                              "days\".";
    QTest::newRow("lone sign") << "X + -" << us << 5
                               << "Read as 1 day: \"-\" is not understood. Write a number of days, as \"+ 3 "
                                  "days\".";
    QTest::newRow("second point") << "X + 1.2.3" << us << 5
                                  << "Read as 1.2 days: \".3\" is not understood. Write a number of days, as "
                                     "\"+ 3 days\".";
    QTest::newRow("comma fraction") << "X + 2,5" << us << 5
                                    << "Read as 2 days: the comma is not understood; for 2.5 days write \"+ "
                                       "2.5\".";
    QTest::newRow("control character after the number") << "X + 3\r" << us << 5
                                                        << "Read as 3 days: the text after the number is not "
                                                           "understood.";
    QTest::newRow("long text is cut") << "X + 3 and then some more review rounds" << us << 5
                                      << QString::fromUtf8("Read as 3 days: \"and then some more r…\" is not "
                                                           "understood. Write a number of days, as \"+ 3 "
                                                           "days\".");
    QTest::newRow("unread text wins over a fraction")
        << "X + 2.5 weeks" << us << 5
        << "Read as 2.5 days: \"weeks\" is not understood. Write a "
           "number of days, as \"+ 3 days\".";

    QTest::newRow("negative")
        << "X + -3" << us << 5
        << "Read as -3 days: the task ends before it starts and gets no calendar event.";
    QTest::newRow("minus one")
        << "X + -1 day" << us << 5
        << "Read as -1 day: the task ends before it starts and gets no calendar event.";
    QTest::newRow("half a day") << "A + 0.5" << us << 5 << "Half a day gets no calendar event.";
    QTest::newRow("quarter day") << "A + .25" << us << 5
                                 << "Read as 0.25 days: less than a whole day gets no calendar event.";
    QTest::newRow("2.5 days") << "Test + 2.5 days" << us << 5
                              << "2.5 days: the list shows 3 days, the calendar gets 2.";
    QTest::newRow("3.5 rounds to even")
        << "A + 3.5" << us << 5 << "3.5 days: the list shows 3 days, the calendar gets 3.";
    QTest::newRow("1.5 rounds to even")
        << "A + 1.5" << us << 5 << "1.5 days: the list shows 1 day, the calendar gets 1.";
    QTest::newRow("comma locale") << "Test + 2.5" << QStringLiteral("de_DE") << 5
                                  << "2,5 days: the list shows 3 days, the calendar gets 2.";
    // A typo of hundreds of digits gets a hint of one short sentence, not the digits twice.
    QTest::newRow("hundreds of digits, a comma fraction")
        << "D + 25" + QString(300, QLatin1Char('0')) + ",5" << us << 5
        << QStringLiteral(
               "Read as 2.5E+301 days: \"%1\" is not understood. Write a number of days, as \"+ 3 days\".")
               .arg(QStringLiteral(",5"));

    // Marks: the text before them is read as any line is; a group that is no mark is named.
    QTest::newRow("marks read as written") << "Build + 3 [after Design] [wait 2]" << us << 5 << none;
    QTest::newRow("the text before the marks") << "X + 2 weeks  [done]" << us << 5
                                               << "Read as 2 days: \"weeks\" is not understood. For two "
                                                  "weeks write \"+ 10 days\".";
    QTest::newRow("a milestone's count says nothing") << "Launch + 0.5 [milestone]" << us << 5 << none;
    QTest::newRow("a group that is no mark")
        << "Buy + 1 [milk] [done]" << us << 5
        << "\"[milk]\" is not a mark, so the whole line is read as it stands. Marks are [done], [N%], "
           "[after NAME], [wait N], [from YYYY-MM-DD] and [milestone].";
}

void TestLineHints::lineHint()
{
    QFETCH(QString, line);
    QFETCH(QString, locale);
    QFETCH(int, workingDaysPerWeek);
    QFETCH(QString, hint);

    QLocale::setDefault(QLocale(locale));
    QCOMPARE(ambrel::lineHint(line, workingDaysPerWeek), hint);
}

void TestLineHints::taskTextHints_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("hints");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("nothing to hint") << "Design + 3\r\nBuild + 5\r\n//Docs + 2\r\nTest\r\n" << QStringList();
    QTest::newRow("CR LF, empty lines counted")
        << "Plan\r\n\r\nX + 2 weeks\r\nA + 0.5\r\n"
        << QStringList { "3: Read as 2 days: \"weeks\" is not understood. For two weeks write \"+ 10 days\".",
               "4: Half a day gets no calendar event." };
    QTest::newRow("LF, no final break")
        << "\nR+D review + 3\nPlan + 2"
        << QStringList {
               "2: Read as 1 day: the first \"+\" starts the duration, so the task is named \"R\"."
           };
    QTest::newRow("a stray CR stays in its line")
        << "A + 3\r\r\nB"
        << QStringList { "1: Read as 3 days: the text after the number "
                         "is not understood." };
}

void TestLineHints::taskTextHints()
{
    QFETCH(QString, text);
    QFETCH(QStringList, hints);

    QStringList got;
    for (const LineHint &hint : ambrel::taskTextHints(text))
        got << QStringLiteral("%1: %2").arg(hint.lineNumber).arg(hint.text);
    QCOMPARE(got, hints);
}

QTEST_GUILESS_MAIN(TestLineHints)
#include "tst_linehints.moc"
