#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// `cmake --install` into a scratch DESTDIR, then the installed programs run from a copy the test cannot
// have written into: what a package puts on a person's machine.
class tst_install final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void installsEachFile_data();
    void installsEachFile();
    void desktopFilesPassTheirValidators_data();
    void desktopFilesPassTheirValidators();
    void installedCommandLineRunsFromReadOnlyCopy_data();
    void installedCommandLineRunsFromReadOnlyCopy();
    void installedCommandLineUsesPersonalFolders();

private:
    struct Run {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QString &program, const QStringList &arguments, const QByteArray &input = {}) const;

    QTemporaryDir m_destDir;
    QTemporaryDir m_copyDir;
    QTemporaryDir m_home;
    QString m_prefix; // the installed /usr inside DESTDIR
    QString m_copy; // a read-only copy of it
};

tst_install::Run tst_install::run(const QString &program, const QStringList &arguments,
    const QByteArray &input) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The programs run in a home of their own, never the person's who runs the tests.
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput(), process.readAllStandardError() };
}

void tst_install::initTestCase()
{
    QVERIFY(m_destDir.isValid() && m_copyDir.isValid() && m_home.isValid());
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_destDir.path());
    install.setProcessEnvironment(environment);
    install.start(QStringLiteral(AMBREL_CMAKE_COMMAND),
        { QStringLiteral("--install"), QStringLiteral(AMBREL_BUILD_DIR), QStringLiteral("--prefix"),
            QStringLiteral("/usr") });
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    m_prefix = m_destDir.filePath(QStringLiteral("usr"));

    // Copied without its write permissions, as a program folder the person cannot write to.
    m_copy = m_copyDir.filePath(QStringLiteral("usr"));
    QCOMPARE(QProcess::execute(QStringLiteral("cp"), { QStringLiteral("-r"), m_prefix, m_copy }), 0);
    QCOMPARE(QProcess::execute(QStringLiteral("chmod"), { QStringLiteral("-R"), QStringLiteral("a-w"), m_copy }),
        0);
}

void tst_install::installsEachFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<int>("pixels"); // the width and height of a PNG icon, else 0

    QTest::newRow("planner") << "bin/ambrel" << true << 0;
    QTest::newRow("command line") << "bin/ambrel-cli" << true << 0;
    for (const char *settings : { "workingweek.txt", "workingday_starts_at.txt", "workingday_ends_at.txt",
             "hours.txt", "holidays.txt" })
        QTest::newRow(settings) << QStringLiteral("share/ambrel/%1").arg(QLatin1String(settings)) << false << 0;
    QTest::newRow("German translation") << "share/ambrel/translations/ambrel_de.qm" << false << 0;
    QTest::newRow("desktop entry") << "share/applications/org.ambrel.Ambrel.desktop" << false << 0;
    QTest::newRow("metainfo") << "share/metainfo/org.ambrel.Ambrel.metainfo.xml" << false << 0;
    QTest::newRow("MIME type") << "share/mime/packages/org.ambrel.Ambrel.xml" << false << 0;
    QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/org.ambrel.Ambrel.svg" << false << 0;
    for (int size : { 16, 32, 48, 256 })
        QTest::addRow("icon %d", size)
            << QStringLiteral("share/icons/hicolor/%1x%1/apps/org.ambrel.Ambrel.png").arg(size) << false << size;
    QTest::newRow("manual page ambrel") << "share/man/man1/ambrel.1.gz" << false << 0;
    QTest::newRow("manual page ambrel-cli") << "share/man/man1/ambrel-cli.1.gz" << false << 0;
    QTest::newRow("copyright") << "share/doc/ambrel/copyright" << false << 0;
    QTest::newRow("changelog") << "share/doc/ambrel/changelog.gz" << false << 0;
    QTest::newRow("user manual") << "share/doc/ambrel/manual/index.html" << false << 0;
    QTest::newRow("manual picture") << "share/doc/ambrel/manual/images/timeline.png" << false << 0;
}

void tst_install::installsEachFile()
{
    QFETCH(QString, file);
    QFETCH(bool, executable);
    QFETCH(int, pixels);
    const QFileInfo info(QDir(m_prefix).filePath(file));
    QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
    QCOMPARE(info.isExecutable(), executable);
    if (pixels > 0) {
        QFile png(info.filePath());
        QVERIFY(png.open(QIODevice::ReadOnly));
        const QByteArray header = png.read(24);
        QVERIFY(header.startsWith("\x89PNG"));
        const auto dimension = [&header](int at) {
            return (uchar(header[at]) << 24) | (uchar(header[at + 1]) << 16) | (uchar(header[at + 2]) << 8)
                | uchar(header[at + 3]);
        };
        QCOMPARE(dimension(16), pixels);
        QCOMPARE(dimension(20), pixels);
    }
}

void tst_install::desktopFilesPassTheirValidators_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments"); // relative to the installed prefix where they name a file

    QTest::newRow("desktop entry") << "desktop-file-validate"
                                   << QStringList { "share/applications/org.ambrel.Ambrel.desktop" };
    QTest::newRow("metainfo") << "appstreamcli"
                              << QStringList { "validate", "--no-net", "share/metainfo/org.ambrel.Ambrel.metainfo.xml" };
    QTest::newRow("MIME type") << "update-mime-database" << QStringList { "share/mime" };
}

void tst_install::desktopFilesPassTheirValidators()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("share/")))
            argument = QDir(m_prefix).filePath(argument);
    }
    const Run result = run(tool, arguments);
    QVERIFY2(result.status == 0, (result.out + result.err).constData());
    if (tool == QLatin1String("update-mime-database")) {
        // The compiled database knows project files by their name and by their first line.
        QFile globs(QDir(m_prefix).filePath(QStringLiteral("share/mime/globs2")));
        QVERIFY(globs.open(QIODevice::ReadOnly));
        QVERIFY(globs.readAll().contains("application/x-ambrel-project:*.ambrel"));
        QFile magic(QDir(m_prefix).filePath(QStringLiteral("share/mime/magic")));
        QVERIFY(magic.open(QIODevice::ReadOnly));
        QVERIFY(magic.readAll().contains("Ambrel project 1"));
    }
}

void tst_install::installedCommandLineRunsFromReadOnlyCopy_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("written"); // files the run must write into a writable folder

    const QStringList settings { "--today", "2026-12-07", "--week", "1111100", "--begins", "09:00 AM",
        "--ends", "05:00 PM", "--days-off", "" };
    QTest::newRow("usage") << QStringList { "--help" } << QStringList {};
    QTest::newRow("tasks") << settings << QStringList {};
    QTest::newRow("events") << settings + QStringList { "--events" } << QStringList {};
    QTest::newRow("exports") << settings
            + QStringList { "--csv", "OUT/plan.csv", "--ics", "OUT/plan.ics", "--timeline", "OUT/plan.svg" }
                             << QStringList { "plan.csv", "plan.ics", "plan.svg" };
}

// With every setting given on the command line, the installed program answers as the one in the build
// tree does, and writes its exports where it is told.
void tst_install::installedCommandLineRunsFromReadOnlyCopy()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, written);
    QTemporaryDir installedOut;
    QTemporaryDir builtOut;
    const QByteArray tasks = "Design + 3 days\nBuild + 10\n// Docs + 4\nReview + 0.5\n";
    const auto withFolder = [&arguments](const QString &folder) {
        QStringList result = arguments;
        result.replaceInStrings(QStringLiteral("OUT/"), folder + QLatin1Char('/'));
        return result;
    };
    const Run installed = run(QDir(m_copy).filePath(QStringLiteral("bin/ambrel-cli")),
        withFolder(installedOut.path()), tasks);
    const Run built = run(QStringLiteral(AMBREL_BUILD_DIR "/bin/ambrel-cli"), withFolder(builtOut.path()), tasks);
    QVERIFY2(installed.status == 0, installed.err.constData());
    QCOMPARE(installed.out, built.out);
    QCOMPARE(installed.err, built.err);
    for (const QString &file : written)
        QVERIFY2(QFileInfo(QDir(installedOut.path()).filePath(file)).size() > 0, qPrintable(file));
}

// The installed program reads the shipped settings from share/ambrel, and the person's own settings in
// their configuration folder win file by file.
void tst_install::installedCommandLineUsesPersonalFolders()
{
    const QString installed = QDir(m_copy).filePath(QStringLiteral("bin/ambrel-cli"));
    const QString built = QStringLiteral(AMBREL_BUILD_DIR "/bin/ambrel-cli");
    const QByteArray tasks = "Design + 3 days\nBuild + 10\nReview + 0.5\n";
    const QStringList today { "--today", "2026-12-07", "--events" };
    const QDir personal(m_home.filePath(QStringLiteral("config/Ambrel")));
    QVERIFY(!personal.exists());

    const Run shipped = run(installed, today, tasks);
    QVERIFY2(shipped.status == 0, shipped.err.constData());
    QCOMPARE(shipped.out, run(built, today, tasks).out);
    QVERIFY2(!personal.exists(), "reading created the person's settings folder");

    // Only the week is the person's own; the hours still come from the shipped files.
    QVERIFY(QDir().mkpath(personal.path()));
    QFile week(personal.filePath(QStringLiteral("workingweek.txt")));
    QVERIFY(week.open(QIODevice::WriteOnly));
    week.write("1\n1\n1\n1\n1\n1\n1\n");
    week.close();
    const Run own = run(installed, today, tasks);
    QVERIFY2(own.status == 0, own.err.constData());
    QCOMPARE(own.out, run(built, today + QStringList { "--week", "1111111" }, tasks).out);
    QVERIFY(own.out != shipped.out);
    QVERIFY(QFile::remove(personal.filePath(QStringLiteral("workingweek.txt"))));
}

QTEST_GUILESS_MAIN(tst_install)
#include "tst_install.moc"
