#include "publish/CalendarFinder.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

namespace {

const QString kUser = QStringLiteral("tester");
const QString kPassword = QStringLiteral("secret");

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// The calendar as another CalDAV client reads it: "UID<TAB>SUMMARY" lines, sorted.
QStringList peek(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList { qEnvironmentVariable("AMBREL_CALDAV_PEEK") } + arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning() << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

// ambrel-cli --publish against a Radicale server started by the test fixture, read back by another client.
class TestCliPublish : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void publishFollowsThePlan();
    void refusedBeforePublishing_data();
    void refusedBeforePublishing();

private:
    Run cli(const QStringList &arguments, const QString &password = kPassword);
    QStringList events() { return peek({ "list", m_calendar.toString(), kUser, kPassword }); }

    QTemporaryDir m_home;
    QUrl m_base;
    QUrl m_calendar;
};

void TestCliPublish::initTestCase()
{
    QVERIFY(m_home.isValid());
    m_base = QUrl(readAll(qEnvironmentVariable("AMBREL_CALDAV_ROOT") + QStringLiteral("/radicale/url")));
    QVERIFY(m_base.isValid());
    DavConnection connection(kUser, kPassword);
    const CalendarSearch search = findCalendars(connection, m_base);
    QVERIFY2(!search.home.isEmpty(), qPrintable(search.failure));
    QString failure;
    m_calendar = createCalendar(connection, search.home, QStringLiteral("Command line"), &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

Run TestCliPublish::cli(const QStringList &arguments, const QString &password)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The record goes to a data folder of the test's own, never the person's.
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("AMBREL_PASSWORD"), password);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_home.path());
    process.start(QStringLiteral(AMBREL_CLI_PATH),
        QStringList { "--today", "2024-06-03", "--week", "1111100", "--begins", "09:00", "--ends", "17:00" }
            + arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    return Run { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
        QString::fromUtf8(process.readAllStandardError()) };
}

void TestCliPublish::publishFollowsThePlan()
{
    const QString file = m_home.filePath(QStringLiteral("plan.ambrel"));
    const QByteArray header = "Ambrel project 1\nName: NAME\nStart: right away\nWorking week: on\nId: 0c1d\n\n";
    auto plan = [&](const QByteArray &name, const QByteArray &tasks) {
        writeFile(file, QByteArray(header).replace("NAME", name) + tasks);
    };
    const QStringList publish { file, "--publish", m_calendar.toString(), "--user", kUser };
    peek({ "add", m_calendar.toString(), kUser, kPassword, "foreign-1", "Someone else's" });

    plan("House", "Walls + 3\nPaint + 1\n");
    Run run = cli(publish);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("2 new, 0 changed, 0 removed, 0 unchanged"));
    const QStringList now = events();
    QCOMPARE(now.size(), 3);

    // The project's Id, not its name, makes the UIDs: a rename changes the events in place.
    plan("Home", "Walls + 3\nPaint + 1\n");
    QCOMPARE(cli(publish).out, QStringLiteral("0 new, 2 changed, 0 removed, 0 unchanged"));
    const QStringList renamed = events();
    QCOMPARE(renamed.size(), 3);
    for (int i = 0; i < now.size(); ++i)
        QCOMPARE(renamed[i].section(QLatin1Char('\t'), 0, 0), now[i].section(QLatin1Char('\t'), 0, 0));

    // An event edited on the server is named and left, until --overwrite.
    const QString walls = renamed.filter(QStringLiteral("Walls")).first().section(QLatin1Char('\t'), 0, 0);
    peek({ "edit", m_calendar.toString(), kUser, kPassword, walls, "Moved by hand" });
    run = cli(publish);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Walls")), qPrintable(run.err));
    QVERIFY(events().filter(QStringLiteral("Moved by hand")).size() == 1);
    QCOMPARE(cli(publish + QStringList { "--overwrite" }).exitCode, 0);
    QVERIFY(events().filter(QStringLiteral("Moved by hand")).isEmpty());

    // A wrong password publishes nothing and says so; the password never shows.
    plan("Home", "Walls + 3\n");
    run = cli(publish, QStringLiteral("not the password"));
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!run.err.isEmpty() && !run.err.contains(QStringLiteral("not the password")));
    QCOMPARE(events().size(), 3);
}

void TestCliPublish::refusedBeforePublishing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("server, not a calendar") << QStringList { "--publish", "BASE", "--user", kUser } << "CALENDAR";
    QTest::newRow("plain http elsewhere")
        << QStringList { "--publish", "http://calendar.example/cal/", "--user", kUser } << "plain http";
    QTest::newRow("no user") << QStringList { "--publish", "BASE" } << "--user";
    QTest::newRow("overwrite alone") << QStringList { "--overwrite" } << "--publish";
}

void TestCliPublish::refusedBeforePublishing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    arguments.replaceInStrings(QStringLiteral("BASE"), m_base.toString());
    const QString file = m_home.filePath(QStringLiteral("tasks.txt"));
    writeFile(file, "Design + 3\n");
    const Run run = cli(QStringList { file } + arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    // A server's address lists the calendars that can be published to.
    message.replace(QStringLiteral("CALENDAR"), m_calendar.toString());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestCliPublish)
#include "tst_clipublish.moc"
