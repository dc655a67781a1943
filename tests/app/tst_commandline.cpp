#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList &arguments, const QByteArray &input = {}, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &assignment : environment)
        env.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(AMBREL_CLI_PATH), arguments);
    Run run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

const QStringList kMondayToFriday { "--today", "2024-06-03", "--week", "1111100", "--begins", "09:00 AM",
                                    "--ends", "05:00 PM" };
const QByteArray kTaskHeader("Task\tStart Date\tEnd Date\tTask Duration\n");
const QByteArray kWorkedExample("Design + 3\nBuild + 5\n//Docs + 2\nTest\n");

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void workedExample_data();
    void workedExample();
    void events();
    void csvFile();
    void fileArgument();
    void calendarDays();
    void shippedSettingsAreTheDefaults();
    void pointWhateverTheLocale();
    void refusals_data();
    void refusals();
    void badUsage_data();
    void badUsage();
    void help();
};

void TestCommandLine::workedExample_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("line feeds") << kWorkedExample;
    QTest::newRow("CR LF") << QByteArray("Design + 3\r\nBuild + 5\r\n//Docs + 2\r\nTest\r\n");
    QTest::newRow("no final break") << QByteArray("Design + 3\nBuild + 5\n//Docs + 2\nTest");
}

void TestCommandLine::workedExample()
{
    QFETCH(QByteArray, input);
    const Run run = runCli(kMondayToFriday, input);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, kTaskHeader
                          + "My Project: Design \t2024-06-03\t2024-06-05\t3\n"
                            "My Project: Build \t2024-06-06\t2024-06-12\t5\n"
                            "My Project: Docs \t2024-06-06\t2024-06-07\t2\n"
                            "My Project: Test\t2024-06-10\t2024-06-10\t1\n");
}

void TestCommandLine::events()
{
    const Run run = runCli(kMondayToFriday + QStringList { "--events", "--project", "Launch" },
                           "Write report + 5\n//Half + 0.5\n");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("Subject\tStart Date\tStart Time\tEnd Date\tEnd Time\tAll Day Event\tDescription\t"
                                 "Location\tPrivate\n"
                                 "Launch: Write report \t2024-06-03\t09:00 AM\t2024-06-07\t05:00 PM\tFalse\t"
                                 "Write report \tHome\tTrue\n"));

    const Run split = runCli(QStringList { "--today", "2024-06-06", "--week", "1111100", "--events", "--begins",
                                           "8", "--ends", "4" },
                             "T + 5");
    QCOMPARE(split.exitCode, 0);
    const QList<QByteArray> lines = split.out.split('\n');
    QCOMPARE(lines.size(), 4); // header, two events, the empty end
    QCOMPARE(lines[1], QByteArray("My Project: T \t2024-06-06\t8\t2024-06-07\t4\tFalse\tT \tHome\tTrue"));
    QCOMPARE(lines[2], QByteArray("My Project: T  (2)\t2024-06-10\t8\t2024-06-12\t4\tFalse\tT \tHome\tTrue"));
}

void TestCommandLine::csvFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("output/project.csv"));
    const Run run = runCli(kMondayToFriday + QStringList { "--csv", path, "--project", "Café, Inc" },
                           "Plan \"big\" + 2\n");
    QCOMPARE(run.exitCode, 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("Subject,Start Date,Start Time,End Date,End Time,All Day Event,Description,Location,Private\r\n"
                        "\"Caf\xC3\xA9, Inc: Plan \"\"big\"\" \",06/03/2024,09:00 AM,06/04/2024,05:00 PM,False,"
                        "\"Plan \"\"big\"\" \",Home,True\r\n"));

    QFile blocker(dir.filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Run blocked = runCli(kMondayToFriday + QStringList { "--csv", dir.filePath(QStringLiteral("blocked/x.csv")) },
                               "Plan");
    QCOMPARE(blocked.exitCode, 1);
    QVERIFY(!blocked.err.isEmpty());
}

void TestCommandLine::fileArgument()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("tasks.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kWorkedExample);
    file.close();
    const Run fromFile = runCli(kMondayToFriday + QStringList { file.fileName() });
    const Run fromInput = runCli(kMondayToFriday + QStringList { "-" }, kWorkedExample);
    QCOMPARE(fromFile.exitCode, 0);
    QCOMPARE(fromFile.out, fromInput.out);
    QCOMPARE(fromFile.out.count('\n'), 5);
}

void TestCommandLine::calendarDays()
{
    const Run run = runCli({ "--today", "2024-06-06", "--week", "1111100", "--calendar-days" }, "A + 5\nB");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, kTaskHeader + "My Project: A \t2024-06-06\t2024-06-10\t5\n"
                                    "My Project: B\t2024-06-11\t2024-06-11\t1\n");
}

void TestCommandLine::shippedSettingsAreTheDefaults()
{
    // A Saturday: the shipped week is Monday to Friday, the shipped hours 09:00 AM to 05:00 PM.
    const Run run = runCli({ "--today", "2024-06-08", "--events" }, "Plan");
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("My Project: Plan\t2024-06-10\t09:00 AM\t2024-06-10\t05:00 PM\t"), run.out.constData());
}

void TestCommandLine::pointWhateverTheLocale()
{
    const Run run = runCli(kMondayToFriday, "Test + 2.5\nNext + 1,5\n", { "LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8" });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, kTaskHeader + "My Project: Test \t2024-06-03\t2024-06-05\t2.5\n"
                                    "My Project: Next \t2024-06-06\t2024-06-06\t1\n");
}

void TestCommandLine::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("past start date") << QStringList { "--today", "2024-06-03", "--start", "2024-06-02" }
                                     << QByteArray("Plan")
                                     << QByteArray("Your project is set to start on a past date. Please fix this.\n");
    QTest::newRow("no working day") << QStringList { "--today", "2024-06-03", "--week", "0000000" }
                                    << QByteArray("Plan") << QByteArray("no working days");
    QTest::newRow("beyond 32 bits") << QStringList { "--today", "2024-06-03", "--calendar-days" }
                                    << QByteArray("Plan\r\nHuge + 99999999999\r\n") << QByteArray("Line 2");
    QTest::newRow("past the year 9999") << QStringList { "--today", "2024-06-03", "--calendar-days" }
                                        << QByteArray("Long + 2900000\nLonger + 2900000") << QByteArray("Line 2");
}

void TestCommandLine::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, message);
    const Run run = runCli(arguments, input);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QCOMPARE(run.out, QByteArray());
}

void TestCommandLine::badUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList { "--colour" };
    QTest::newRow("week too short") << QStringList { "--week", "11111" };
    QTest::newRow("week not 0 or 1") << QStringList { "--week", "1111102" };
    QTest::newRow("not a date") << QStringList { "--today", "2024-13-01" };
    QTest::newRow("date in another form") << QStringList { "--start", "6/3/2024" };
    QTest::newRow("option without value") << QStringList { "--project" };
    QTest::newRow("missing file") << QStringList { "/nonexistent/tasks.txt" };
    QTest::newRow("two files") << QStringList { "a.txt", "b.txt" };
}

void TestCommandLine::badUsage()
{
    QFETCH(QStringList, arguments);
    const Run run = runCli(arguments, "Plan");
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith("ambrel-cli: "));
    QCOMPARE(run.out, QByteArray());
}

void TestCommandLine::help()
{
    const Run run = runCli({ "--help" });
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("Usage: ambrel-cli"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
