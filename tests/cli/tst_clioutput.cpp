#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The command line's standard output sent where it cannot be written: the failure must be seen.
class TestCliOutput : public QObject {
    Q_OBJECT

private slots:
    void failedOutput_data();
    void failedOutput();
};

void TestCliOutput::failedOutput_data()
{
    QTest::addColumn<QString>("redirect");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("messageOnError");

    const QStringList week { "--today", "2024-06-03", "--week", "1111100", "--begins", "09:00 AM", "--ends",
        "05:00 PM" };
    QTest::newRow("written") << "" << week << 0 << false;
    QTest::newRow("full, tasks") << ">/dev/full" << week << 1 << true;
    QTest::newRow("full, events") << ">/dev/full" << (week + QStringList { "--events" }) << 1 << true;
    QTest::newRow("full, help") << ">/dev/full" << QStringList { "--help" } << 1 << true;
    QTest::newRow("closed, tasks") << ">&-" << week << 1 << true;
    QTest::newRow("closed, help") << ">&-" << QStringList { "--help" } << 1 << true;
    QTest::newRow("closed, with an export file")
        << ">&-" << (week + QStringList { "--csv", "CSV" }) << 1 << true;
    // A refusal keeps its own status and message.
    QTest::newRow("full, refused") << ">/dev/full" << QStringList { "--week", "0000000" } << 1 << true;
}

void TestCliOutput::failedOutput()
{
    QFETCH(QString, redirect);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(bool, messageOnError);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString csvPath = folder.filePath(QStringLiteral("out.csv"));
    arguments.replaceInStrings(QStringLiteral("CSV"), csvPath);

    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral("/bin/sh"),
        QStringList {
            "-c", QStringLiteral("exec \"$0\" \"$@\" %1").arg(redirect), QStringLiteral(AMBREL_CLI_PATH) }
            + arguments);
    QVERIFY(process.waitForStarted(10000));
    process.write("Design + 3\nBuild + 5\n//Docs + 2\nTest\n");
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    // The line hints (a task that starts before one above has ended) are no error message.
    QByteArray errors;
    for (const QByteArray &line : process.readAllStandardError().split('\n')) {
        if (!line.startsWith("line "))
            errors += line;
    }
    QCOMPARE(!errors.isEmpty(), messageOnError);

    // Output meant for the closed standard output never ends up in a file the program wrote.
    if (arguments.contains(csvPath)) {
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("Subject,Start Date,"));
        QVERIFY(!bytes.contains("Task\tStart Date"));
    }
}

QTEST_GUILESS_MAIN(TestCliOutput)
#include "tst_clioutput.moc"
