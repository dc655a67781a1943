#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Writes the bytes to a file of that name in the folder and gives its path.
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// A preparation is shell code run before the command line (closing a stream, say); stdoutFile, when given,
// takes the standard output.
Run runCli(const QStringList &arguments, const QByteArray &input = {}, const QStringList &environment = {},
    const QString &preparation = {}, const QString &stdoutFile = {})
{
    QProcess process;
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &assignment : environment)
        env.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    if (preparation.isEmpty()) {
        process.start(QStringLiteral(AMBREL_CLI_PATH), arguments);
    } else {
        process.start(QStringLiteral("sh"),
            QStringList { "-c", preparation + " exec \"$0\" \"$@\"", QStringLiteral(AMBREL_CLI_PATH) }
                + arguments);
    }
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

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void output_data();
    void output();
    void hints_data();
    void hints();
    void daysOff_data();
    void daysOff();
    void calendarDaysOff_data();
    void calendarDaysOff();
    void picturesAndCalendars();
    void fileArgument();
    void csvFile();
    void refusals_data();
    void refusals();
    void projectFile_data();
    void projectFile();
    void projectFileRefused_data();
    void projectFileRefused();
    void planOverTime_data();
    void planOverTime();
    void csvPerDay();
    void outputFailure_data();
    void outputFailure();
    void limitsRefused_data();
    void limitsRefused();
    void badUsage_data();
    void badUsage();
    void help();
};

void TestCommandLine::output_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QByteArray>("out");

    const QByteArray workedOut = kTaskHeader
        + "My Project: Design \t2024-06-03\t2024-06-05\t3\n"
          "My Project: Build \t2024-06-06\t2024-06-12\t5\n"
          "My Project: Docs \t2024-06-06\t2024-06-07\t2\n"
          "My Project: Test\t2024-06-10\t2024-06-10\t1\n";
    const QByteArray eventHeader(
        "Subject\tStart Date\tStart Time\tEnd Date\tEnd Time\tAll Day Event\tDescription\t"
        "Location\tPrivate\n");
    QTest::newRow("worked example, line feeds")
        << kMondayToFriday << kWorkedExample << QStringList() << workedOut;
    QTest::newRow("worked example, CR LF")
        << kMondayToFriday << QByteArray("Design + 3\r\nBuild + 5\r\n//Docs + 2\r\nTest\r\n") << QStringList()
        << workedOut;
    QTest::newRow("worked example, no final break")
        << kMondayToFriday << QByteArray("Design + 3\nBuild + 5\n//Docs + 2\nTest") << QStringList()
        << workedOut;
    QTest::newRow("calendar days") << QStringList { "--today", "2024-06-06", "--week", "1111100",
        "--calendar-days" } << QByteArray("A + 5\nB")
                                   << QStringList()
                                   << kTaskHeader
            + "My Project: A \t2024-06-06\t2024-06-10\t5\n"
              "My Project: B\t2024-06-11\t2024-06-11\t1\n";
    QTest::newRow("a point whatever the locale") << kMondayToFriday << QByteArray("Test + 2.5\nNext + 1,5\n")
                                                 << QStringList { "LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8" }
                                                 << kTaskHeader
            + "My Project: Test \t2024-06-03\t2024-06-05\t2.5\n"
              "My Project: Next \t2024-06-06\t2024-06-06\t1\n";
    QTest::newRow("events; half a day has none")
        << kMondayToFriday + QStringList { "--events", "--project", "Launch" }
        << QByteArray("Write report + 5\n//Half + 0.5\n") << QStringList()
        << eventHeader
            + "Launch: Write report \t2024-06-03\t09:00 AM\t2024-06-07\t05:00 PM\tFalse\tWrite report \t"
              "Home\tTrue\n";
    QTest::newRow("events split by a weekend keep the hours as given") << QStringList { "--today",
        "2024-06-06", "--week", "1111100", "--events", "--begins", "8", "--ends", "4" }
                                                                       << QByteArray("T + 5") << QStringList()
                                                                       << eventHeader
            + "My Project: T \t2024-06-06\t8\t2024-06-07\t4\tFalse\tT \tHome\tTrue\n"
              "My Project: T  (2)\t2024-06-10\t8\t2024-06-12\t4\tFalse\tT \tHome\tTrue\n";
    QTest::newRow("status on --today; a milestone is a day without hours")
        << QStringList { "--today", "2024-06-05", "--week", "1111100", "--status" }
        << QByteArray("Design + 3 [done]\nBuild + 5\nRelease [milestone]") << QStringList()
        << QByteArray("Task\tStart Date\tEnd Date\tTask Duration\tStatus\n"
                      "My Project: Design \t2024-06-05\t2024-06-07\t3\tDone\n"
                      "My Project: Build \t2024-06-10\t2024-06-14\t5\tPending (Coming Soon)\n"
                      "My Project: Release\t2024-06-17\t2024-06-17\t0\tPending\n");
    // A Saturday: the shipped week is Monday to Friday, the shipped hours 09:00 AM to 05:00 PM.
    QTest::newRow("shipped settings are the defaults")
        << QStringList { "--today", "2024-06-08", "--events" } << QByteArray("Plan") << QStringList()
        << eventHeader
            + "My Project: Plan\t2024-06-10\t09:00 AM\t2024-06-10\t05:00 PM\tFalse\tPlan\tHome\tTrue\n";
}

void TestCommandLine::output()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, environment);
    QFETCH(QByteArray, out);
    const Run run = runCli(arguments, input, environment);
    QCOMPARE(run.exitCode, 0);
    // Standard error holds at most the line hints, which leave the output as it is.
    for (const QByteArray &line : run.err.split('\n'))
        QVERIFY2(line.isEmpty() || line.startsWith("line "), line.constData());
    QCOMPARE(run.out, out);
}

void TestCommandLine::hints_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("err");

    QTest::newRow("nothing to hint prints nothing")
        << QByteArray("Plan + 3 days\n// Docs + 2\n") << QByteArray();
    QTest::newRow("numbered among every line, empty ones too")
        << QByteArray("Plan + 3\n\nShip + 2 weeks\nCall + 0.5\n")
        << QByteArray(
               "line 3: Read as 2 days: \"weeks\" is not understood. For two weeks write \"+ 10 days\".\n"
               "line 4: Half a day gets no calendar event.\n");
    QTest::newRow("a fraction in a German desktop still reads with a point") << QByteArray(
        "Test + 2.5\n") << QByteArray("line 1: 2.5 days: the list shows 3 days, the calendar gets 2.\n");
}

void TestCommandLine::hints()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, err);
    const Run run = runCli({ "--today", "2024-06-03", "--week", "1111100" }, input,
        { "LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8" });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, err);
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

void TestCommandLine::csvFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.csv"));
    const Run run = runCli(
        kMondayToFriday + QStringList { "--csv", path, "--project", "Café, Inc" }, "Plan \"big\" + 2\n");
    QCOMPARE(run.exitCode, 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
        QByteArray(
            "Subject,Start Date,Start Time,End Date,End Time,All Day Event,Description,Location,Private\r\n"
            "\"Caf\xC3\xA9, Inc: Plan \"\"big\"\" \",06/03/2024,09:00 AM,06/04/2024,05:00 PM,False,"
            "\"Plan \"\"big\"\" \",Home,True\r\n"));

    QFile blocker(dir.filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Run blocked = runCli(
        kMondayToFriday + QStringList { "--csv", dir.filePath(QStringLiteral("blocked/x.csv")) }, "Plan");
    QCOMPARE(blocked.exitCode, 1);
    QVERIFY(!blocked.err.isEmpty());
}

void TestCommandLine::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("past start date") << QStringList {
        "--today", "2024-06-03", "--start", "2024-06-02"
    } << QByteArray("Plan") << QByteArray("Your project is set to start on a past date. Please fix this.\n");
    QTest::newRow("beyond 32 bits") << QStringList { "--today", "2024-06-03", "--calendar-days" }
                                    << QByteArray("Plan\r\nHuge + 99999999999\r\n") << QByteArray("Line 2");
    QTest::newRow("no working day") << QStringList { "--today", "2024-06-03", "--week", "0000000" }
                                    << QByteArray("Plan")
                                    << QByteArray(
                                           "Your working week has no working days. Give at least one "
                                           "with --week (e.g. --week 1111100) or in workingweek.txt, or "
                                           "count every day with --calendar-days.\n");
    QTest::newRow("past start before no working day")
        << QStringList { "--today", "2024-06-03", "--week", "0000000", "--start", "2024-06-01" }
        << QByteArray("Plan")
        << QByteArray("Your project is set to start on a past date. Please fix this.\n");
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
    QTest::addColumn<bool>("usage");
    QTest::newRow("unknown option") << QStringList { "--colour" } << true;
    QTest::newRow("week too short") << QStringList { "--week", "11111" } << true;
    QTest::newRow("week not 0 or 1") << QStringList { "--week", "1111102" } << true;
    QTest::newRow("not a date") << QStringList { "--today", "2024-13-01" } << true;
    QTest::newRow("date in another form") << QStringList { "--start", "6/3/2024" } << true;
    QTest::newRow("option without value") << QStringList { "--project" } << true;
    QTest::newRow("missing file") << QStringList { "/nonexistent/tasks.txt" } << false;
    QTest::newRow("two files") << QStringList { "a.txt", "b.txt" } << true;
}

void TestCommandLine::badUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, usage);
    const Run run = runCli(arguments, "Plan");
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith("ambrel-cli: "));
    QCOMPARE(run.out, QByteArray());
    // One line saying what is wrong, and where to read more, rather than the whole usage text.
    const QList<QByteArray> lines = run.err.split('\n');
    QCOMPARE(lines.size(), usage ? 3 : 2);
    if (usage)
        QCOMPARE(lines[1], QByteArray("Try 'ambrel-cli --help'."));
}

void TestCommandLine::help()
{
    const Run run = runCli({ "--help" });
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("Usage: ambrel-cli"));
}

void TestCommandLine::projectFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("arguments");
    // The same project given by options, with the task text on standard input.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("tasks");
    QTest::addColumn<int>("exitCode");

    const QByteArray tasks("Design + 3\nBuild + 5\n//Docs + 2\nTest");
    const QByteArray header("Ambrel project 1\nName: Web: relaunch\nStart: 2024-06-05\nWorking week: on\n\n");
    const QStringList named { "--project", "Web: relaunch" };
    QTest::newRow("name and picked start")
        << header + tasks + "\n"
        << QStringList() << named + QStringList { "--start", "2024-06-05" } << tasks << 0;
    QTest::newRow("working week off, right away")
        << QByteArray("Ambrel project 1\nName: P\nStart: right away\nWorking week: off\n\n") + tasks
        << QStringList() << QStringList { "--project", "P", "--calendar-days" } << tasks << 0;
    QByteArray windows = "\xEF\xBB\xBF" + header + tasks + "\n";
    windows.replace("\n", "\r\n");
    QTest::newRow("byte-order mark and CR LF")
        << windows << QStringList() << named + QStringList { "--start", "2024-06-05" } << tasks << 0;
    QTest::newRow("options override the header")
        << header + tasks << QStringList { "--project", "X", "--start", "2024-06-04", "--calendar-days" }
        << QStringList { "--project", "X", "--start", "2024-06-04", "--calendar-days" } << tasks << 0;
    QTest::newRow("a header date already past, picked again with --start")
        << QByteArray("Ambrel project 1\nStart: 2024-05-31\n\nA\n") << QStringList { "--start", "2024-05-31" }
        << QStringList { "--start", "2024-05-31" } << QByteArray("A") << 1;
}

// A project file gives exactly what the same project given by options gives, from a file or standard input.
void TestCommandLine::projectFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, tasks);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("project.ambrel"), file);

    const Run byOptions = runCli(kMondayToFriday + options, tasks);
    QCOMPARE(byOptions.exitCode, exitCode);
    const Run fromFile = runCli(kMondayToFriday + arguments + QStringList { path });
    QCOMPARE(fromFile.exitCode, exitCode);
    QCOMPARE(fromFile.out, byOptions.out);
    QCOMPARE(fromFile.err, byOptions.err);
    const Run fromInput = runCli(kMondayToFriday + arguments, file);
    QCOMPARE(fromInput.exitCode, exitCode);
    QCOMPARE(fromInput.out, byOptions.out);
}

void TestCommandLine::projectFileRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("reason");

    QTest::newRow("a start it cannot take")
        << QByteArray("Ambrel project 1\nName: P\nStart: soon\n\nA\n")
        << QByteArray(
               "Line 3: \"Start: soon\" is not a start: write \"right away\" or a date as YYYY-MM-DD.");
    QTest::newRow("a switch it cannot take")
        << QByteArray("Ambrel project 1\r\nWorking week: maybe\r\n")
        << QByteArray(
               "Line 2: \"Working week: maybe\" is not a working-week switch: write \"on\" or \"off\".");
}

void TestCommandLine::projectFileRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, reason);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("bad.ambrel"), file);

    const Run run = runCli(kMondayToFriday + QStringList { path });
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, "ambrel-cli: Could not open " + path.toUtf8() + ": " + reason + "\n");
}

void TestCommandLine::planOverTime_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("out");

    const QByteArray saved("Ambrel project 1\nStart: 2024-05-27\n\nA + 3\nB + 2\n");
    QTest::newRow("a saved start opens after it has passed")
        << saved << QStringList()
        << kTaskHeader + "My Project: A \t2024-05-27\t2024-05-29\t3\nMy Project: B \t2024-05-30\t2024-05-31\t2\n";

    const QByteArray group("Requirements + 5\n//Interviews + 2\nArchitecture + 4\n");
    const QByteArray joined = kTaskHeader
        + "My Project: Requirements \t2024-06-03\t2024-06-07\t5\n"
          "My Project: Interviews \t2024-06-03\t2024-06-04\t2\n"
          "My Project: Architecture \t2024-06-10\t2024-06-13\t4\n";
    QTest::newRow("--wait-parallel joins the group")
        << group << QStringList { "--wait-parallel" } << joined;
    QTest::newRow("\"Parallel: wait\" in a project file joins the group")
        << QByteArray("Ambrel project 1\nStart: right away\nParallel: wait\n\n") + group << QStringList() << joined;
}

// Saved plans open on any later day, and the join rule comes from the option or the file.
void TestCommandLine::planOverTime()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, out);
    const Run run = runCli(kMondayToFriday + arguments, input);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, out);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
}

void TestCommandLine::csvPerDay()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("days.csv"));
    // Thursday: a five-day task runs over a weekend, so its second run is numbered.
    const Run run = runCli(QStringList { "--today", "2024-06-06", "--week", "1111100", "--begins", "09:00 AM",
                               "--ends", "05:00 PM", "--csv", path, "--csv-per-day" },
        "T + 5\n");
    QCOMPARE(run.exitCode, 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 7); // the header, five days, and the empty rest after the last line end
    QCOMPARE(lines[1], QByteArray("My Project: T ,06/06/2024,09:00 AM,06/06/2024,05:00 PM,False,T ,Home,True\r"));
    QCOMPARE(lines[5], QByteArray("My Project: T  (2),06/12/2024,09:00 AM,06/12/2024,05:00 PM,False,T ,Home,True\r"));
}

void TestCommandLine::outputFailure_data()
{
    QTest::addColumn<QString>("preparation");
    QTest::addColumn<QString>("stdoutFile");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");

    QTest::newRow("a full disk") << QString() << QStringLiteral("/dev/full") << kMondayToFriday << 1
                                 << QByteArray(
                                        "ambrel-cli: could not write the output: No space left on device\n");
    QTest::newRow("standard output closed")
        << QStringLiteral("exec >&-;") << QString() << kMondayToFriday << 1
        << QByteArray("ambrel-cli: could not write the output: Bad file descriptor\n");
    QTest::newRow("both closed") << QStringLiteral("exec >&- 2>&-;") << QString() << kMondayToFriday << 1
                                 << QByteArray();
    QTest::newRow("standard error closed, bad usage")
        << QStringLiteral("exec 2>&-;") << QString() << QStringList { "--colour" } << 2 << QByteArray();
}

// Output that never arrived is a failure like any other failed write, not a success.
void TestCommandLine::outputFailure()
{
    QFETCH(QString, preparation);
    QFETCH(QString, stdoutFile);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    if (!stdoutFile.isEmpty() && !QFile::exists(stdoutFile))
        QSKIP("no /dev/full here");
    const Run run = runCli(arguments, "Plan + 2\nShip\n", {}, preparation, stdoutFile);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err, err);
}

void TestCommandLine::limitsRefused_data()
{
    QTest::addColumn<QString>("preparation");
    QTest::addColumn<QByteArray>("file"); // given as FILE when not empty
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("reason");

    QTest::newRow("endless standard input")
        << QStringLiteral("exec </dev/zero;") << QByteArray() << QStringList() << 2
        << QByteArray("Could not open standard input: It is larger than 16 MiB");
    QTest::newRow("a UTF-16 file") << QString() << QByteArray("\xff\xfeP\0l\0a\0n\0\n\0") << QStringList()
                                   << 2 << QByteArray("It is UTF-16 text");
    QTest::newRow("a file-size limit")
        << QStringLiteral("ulimit -f 0;") << QByteArray() << QStringList { "--csv", "$DIR/new.csv" } << 1
        << QByteArray("File too large");
    QTest::newRow("a read-only target")
        << QStringLiteral("echo old > \"$DIR/old.csv\"; chmod 0444 \"$DIR/old.csv\";") << QByteArray()
        << QStringList { "--csv", "$DIR/old.csv" } << 1 << QByteArray("The file is read-only");
    QTest::newRow("a hard-linked target")
        << QStringLiteral("echo old > \"$DIR/old.csv\"; ln \"$DIR/old.csv\" \"$DIR/other.csv\";")
        << QByteArray() << QStringList { "--csv", "$DIR/old.csv" } << 1 << QByteArray("hard links");
}

// Input the window refuses and targets it would ask about end in a reason and a failing status, with
// nothing taken and every earlier file whole.
void TestCommandLine::limitsRefused()
{
    QFETCH(QString, preparation);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, reason);
    QTemporaryDir dir;
    preparation.replace(QLatin1String("$DIR"), dir.path());
    for (QString &argument : arguments)
        argument.replace(QLatin1String("$DIR"), dir.path());
    if (!file.isEmpty())
        arguments << writeFile(dir, QStringLiteral("input.txt"), file);
    // Standard error goes to a pipe, which no file-size limit touches.
    const Run run = runCli(kMondayToFriday + arguments, "Plan + 2\n", {}, preparation);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("ambrel-cli: ") && run.err.contains(reason), run.err.constData());
    if (QFile::exists(dir.filePath(QStringLiteral("old.csv")))) {
        QFile old(dir.filePath(QStringLiteral("old.csv")));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old\n"));
    }
}

void TestCommandLine::daysOff_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: --days-off ""
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    const QByteArray header = "Task\tStart Date\tEnd Date\tTask Duration\n";
    QTest::newRow("a day off inside a task moves its end")
        << QByteArray("# comment\n2024-06-04 Holiday\n")
        << header + "My Project: A \t2024-06-03\t2024-06-06\t3\n"
        << QByteArray();
    QTest::newRow("a bad line is skipped with a warning")
        << QByteArray("2024-02-30\r\n2024-06-04\r\n")
        << header + "My Project: A \t2024-06-03\t2024-06-06\t3\n"
        << QByteArray("days.txt line 1: \"2024-02-30\" is not a date of the form YYYY-MM-DD\n");
    QTest::newRow("none") << QByteArray() << header + "My Project: A \t2024-06-03\t2024-06-05\t3\n"
                          << QByteArray();
}

void TestCommandLine::daysOff()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QTemporaryDir dir;
    const QString path = file.isEmpty() ? QString() : writeFile(dir, QStringLiteral("days.txt"), file);
    const Run run
        = runCli({ "--today", "2024-06-03", "--week", "1111100", "--days-off", path }, QByteArray("A + 3\n"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, err);
}

// An iCalendar file of days off gives the days of its all-day events; what it leaves out is told, and a
// calendar it cannot read stops the run rather than plan without the days off.
void TestCommandLine::calendarDaysOff_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no file at the path
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // %1 stands for the file's path

    const auto calendar = [](const QByteArray &event) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:1@test\r\n"
               "DTSTAMP:20240101T000000Z\r\nSUMMARY:Holiday\r\n"
            + event + "END:VEVENT\r\nEND:VCALENDAR\r\n";
    };
    QTest::newRow("an all-day event is a day off")
        << calendar("DTSTART;VALUE=DATE:20240604\r\n") << 0
        << kTaskHeader + "My Project: A \t2024-06-03\t2024-06-06\t3\n" << QByteArray();
    QTest::newRow("a timed event is told and left out")
        << calendar("DTSTART:20240604T100000\r\nDTEND:20240604T110000\r\n") << 0
        << kTaskHeader + "My Project: A \t2024-06-03\t2024-06-05\t3\n"
        << QByteArray("days.ics: 2024-06-04 \"Holiday\" left out: a timed event (10:00-11:00), not a whole day\n");
    QTest::newRow("an event left out is told with its line")
        << calendar("DTSTART;VALUE=DATE:20240604\r\nRRULE:FREQ=HOURLY\r\n") << 0
        << kTaskHeader + "My Project: A \t2024-06-03\t2024-06-05\t3\n"
        << QByteArray("days.ics line 4: \"Holiday\" left out: it repeats more often than daily (FREQ=HOURLY)\n");
    QTest::newRow("a calendar that cannot be read stops the run")
        << QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n") << 2 << QByteArray()
        << QByteArray("ambrel-cli: cannot read %1: the VEVENT begun at line 2 is never closed\n");
    QTest::newRow("a missing file stops the run")
        << QByteArray() << 2 << QByteArray() << QByteArray("ambrel-cli: cannot read %1: no such file\n");
}

void TestCommandLine::calendarDaysOff()
{
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QTemporaryDir dir;
    const QString path
        = file.isEmpty() ? dir.filePath(QStringLiteral("days.ics")) : writeFile(dir, QStringLiteral("days.ics"), file);
    const Run run
        = runCli({ "--today", "2024-06-03", "--week", "1111100", "--days-off", path }, QByteArray("A + 3\n"));
    QCOMPARE(run.err, QString::fromUtf8(err).arg(path).toUtf8());
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, out);
}

void TestCommandLine::picturesAndCalendars()
{
    QTemporaryDir dir;
    const QStringList base { "--today", "2024-06-03", "--week", "1111100", "--begins", "9 AM", "--ends",
        "5 PM" };
    const Run written
        = runCli(base + QStringList { "--ics", dir.filePath("p.ics"), "--timeline", dir.filePath("p.svg") },
            QByteArray("Plan + 6\n"), { "XDG_RUNTIME_DIR=" });
    QCOMPARE(written.exitCode, 0);
    QCOMPARE(written.err, QByteArray()); // nothing of Qt's own notices, even with no runtime folder
    QFile ics(dir.filePath("p.ics"));
    QVERIFY(ics.open(QIODevice::ReadOnly));
    const QByteArray calendar = ics.readAll();
    QVERIFY(calendar.startsWith("BEGIN:VCALENDAR\r\n"));
    QCOMPARE(calendar.count("BEGIN:VEVENT"), 2); // the weekend splits the task in two
    QVERIFY(QFile::exists(dir.filePath("p.svg")));

    const Run badPicture
        = runCli(base + QStringList { "--timeline", dir.filePath("p.txt") }, QByteArray("A\n"));
    QCOMPARE(badPicture.exitCode, 2);
    const Run badHours = runCli(
        { "--ics", dir.filePath("q.ics"), "--begins", "half eight", "--ends", "5 PM" }, QByteArray("A\n"));
    QCOMPARE(badHours.exitCode, 1);
    QVERIFY(!QFile::exists(dir.filePath("q.ics")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
