#include "publish/CalendarFinder.h"
#include "publish/Publisher.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace ambrel;

namespace {

struct Server {
    QUrl base;
    QString user;
    QString password;
};

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

QString serverDir(const QString &kind)
{
    return qEnvironmentVariable("AMBREL_CALDAV_ROOT") + QLatin1Char('/') + kind;
}

Server serverAt(const QString &kind, const QString &dir)
{
    const bool radicale = kind == QLatin1String("radicale");
    return Server { QUrl(readAll(dir + QLatin1String("/url"))),
        radicale ? QStringLiteral("tester") : QString(), radicale ? QStringLiteral("secret") : QString() };
}

bool runScript(const QStringList &arguments)
{
    return QProcess::execute(qEnvironmentVariable("AMBREL_CALDAV_SCRIPT"), arguments) == 0;
}

QString told(const std::optional<Refusal> &refusal)
{
    return refusal ? refusal->text : QString();
}

// A calendar of its own for each test, made the way a person would: found from the server's address.
QUrl freshCalendar(const Server &server)
{
    DavConnection connection(server.user, server.password);
    const CalendarSearch search = findCalendars(connection, server.base);
    if (search.home.isEmpty()) {
        qWarning() << "no calendar home:" << told(search.failure);
        return {};
    }
    const Refusable<QUrl> calendar = createCalendar(connection, search.home, QStringLiteral("Tests"));
    if (calendar.refused())
        qWarning() << calendar.refusal().text;
    return calendar.refused() ? QUrl() : *calendar;
}

// The calendar's events as an independent client reads them: "UID<tab>SUMMARY", sorted.
QStringList peek(const Server &server, const QUrl &calendar, const QStringList &command = { "list" })
{
    QProcess process;
    QStringList arguments { qEnvironmentVariable("AMBREL_CALDAV_PEEK"), command.first(), calendar.toString(),
        server.user, server.password };
    arguments << command.mid(1);
    process.start(QStringLiteral("/usr/bin/python3"), arguments);
    process.waitForFinished(30'000);
    if (process.exitCode() != 0)
        qWarning() << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A plan of one event per task, a task a week, as the schedule makes them.
std::vector<PublishEvent> plan(
    const QString &name, const QString &id, const QStringList &tasks, int shift = 0)
{
    std::vector<EventRow> rows;
    for (int i = 0; i < tasks.size(); ++i) {
        EventRow row;
        row.description = tasks[i];
        row.subjectBase = name + QLatin1String(": ") + tasks[i];
        row.name = tasks[i];
        row.startDate = QDate(2024, 6, 3).addDays(7 * i + shift);
        row.endDate = row.startDate.addDays(2);
        rows.push_back(row);
    }
    const IcsOptions options { name, QStringLiteral("9 AM"), QStringLiteral("5 PM"),
        QDateTime::currentDateTimeUtc(), id };
    const Refusable<std::vector<PublishEvent>> events = publishEvents(options, rows);
    if (events.refused())
        qWarning() << events.refusal().text;
    return events.refused() ? std::vector<PublishEvent>() : *events;
}

QStringList expected(const std::vector<PublishEvent> &events, const QStringList &others = {})
{
    QStringList lines = others;
    for (const PublishEvent &event : events)
        lines << QString::fromUtf8(event.uid) + QLatin1Char('\t') + event.summary;
    lines.sort();
    return lines;
}

QString counts(const PublishOutcome &outcome)
{
    return outcome.summary()
        + (outcome.complete() ? QString()
                              : QStringLiteral(" / ") + told(outcome.stopped)
                    + outcome.failures.join(QLatin1Char(';')) + outcome.editedThere.join(QLatin1Char(';')));
}

} // namespace

class TestPublish : public QObject {
    Q_OBJECT

private slots:
    void init();
    void discovery_data();
    void discovery();
    void publishesAndKeepsUpToDate_data();
    void publishesAndKeepsUpToDate();
    void serverEditsAreReported_data();
    void serverEditsAreReported();
    void wrongPassword();
    void notACalendarIsRefused();
    void interruptedThenCompleted_data();
    void interruptedThenCompleted();

private:
    QTemporaryDir m_data;
};

void TestPublish::init()
{
    QVERIFY(m_data.isValid());
    QDir(m_data.path()).removeRecursively();
    QDir().mkpath(m_data.path());
}

void TestPublish::discovery_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("radicale") << "radicale";
    QTest::newRow("xandikos") << "xandikos";
}

void TestPublish::discovery()
{
    QFETCH(QString, kind);
    const Server server = serverAt(kind, serverDir(kind));
    DavConnection connection(server.user, server.password);
    const CalendarSearch before = findCalendars(connection, server.base);
    QVERIFY2(!before.home.isEmpty(), qPrintable(told(before.failure)));

    const QString name
        = QStringLiteral("Relaunch \u00e9t\u00e9 ") + QUuid::createUuid().toString(QUuid::Id128);
    const Refusable<QUrl> created = createCalendar(connection, before.home, name);
    QVERIFY2(!created.refused(), qPrintable(told(created.failure())));
    const QUrl calendar = *created;

    const CalendarSearch after = findCalendars(connection, server.base);
    QVERIFY(!after.addressIsCalendar);
    const auto listed = std::find_if(after.calendars.begin(), after.calendars.end(),
        [&](const CalendarInfo &info) { return info.displayName == name; });
    QVERIFY(listed != after.calendars.end());
    QCOMPARE(listed->url.path(), calendar.path());

    const CalendarSearch itself = findCalendars(connection, calendar);
    QVERIFY(itself.addressIsCalendar);
    QCOMPARE(itself.calendars.size(), 1);
    QCOMPARE(itself.calendars.first().displayName, name);
}

void TestPublish::publishesAndKeepsUpToDate_data()
{
    discovery_data();
}

// Publish, change the plan, publish again: exactly the plan's events, someone else's event untouched, an
// unchanged plan sends nothing, and a rename keeps the events.
void TestPublish::publishesAndKeepsUpToDate()
{
    QFETCH(QString, kind);
    const Server server = serverAt(kind, serverDir(kind));
    const QUrl calendar = freshCalendar(server);
    QVERIFY(calendar.isValid());
    peek(server, calendar, { "add", "someone-else-1", "Dentist" });
    const QStringList foreign { QStringLiteral("someone-else-1\tDentist") };

    DavConnection connection(server.user, server.password);
    const PublishOptions options { calendar, QStringLiteral("id-1"), m_data.path() };
    const auto first = plan("Relaunch", "id-1", { "Design", "Build", "Docs, part 1" });
    QCOMPARE(counts(publishAndWait(connection, options, first)), "3 new, 0 changed, 0 removed, 0 unchanged");
    QCOMPARE(peek(server, calendar), expected(first, foreign));

    // Design moves a day, Build goes, Docs stays, Test comes.
    const std::vector<PublishEvent> second { plan("Relaunch", "id-1", { "Design" }, 1)[0], first[2],
        plan("Relaunch", "id-1", { "", "", "", "Test" })[3] };
    QCOMPARE(counts(publishAndWait(connection, options, second)), "1 new, 1 changed, 1 removed, 1 unchanged");
    QCOMPARE(peek(server, calendar), expected(second, foreign));

    QCOMPARE(counts(publishAndWait(connection, options, second)), "0 new, 0 changed, 0 removed, 3 unchanged");

    const std::vector<PublishEvent> renamed { plan("Website", "id-1", { "Design" }, 1)[0],
        plan("Website", "id-1", { "Design", "Build", "Docs, part 1" })[2],
        plan("Website", "id-1", { "", "", "", "Test" })[3] };
    QCOMPARE(
        counts(publishAndWait(connection, options, renamed)), "0 new, 3 changed, 0 removed, 0 unchanged");
    QCOMPARE(peek(server, calendar), expected(renamed, foreign));
}

void TestPublish::serverEditsAreReported_data()
{
    discovery_data();
}

void TestPublish::serverEditsAreReported()
{
    QFETCH(QString, kind);
    const Server server = serverAt(kind, serverDir(kind));
    const QUrl calendar = freshCalendar(server);
    QVERIFY(calendar.isValid());
    DavConnection connection(server.user, server.password);
    PublishOptions options { calendar, QStringLiteral("id-2"), m_data.path() };
    const auto events = plan("P", "id-2", { "A", "B", "C" });
    QVERIFY(publishAndWait(connection, options, events).complete());

    peek(server, calendar, { "edit", QString::fromUtf8(events[0].uid), "Moved by hand" });
    peek(server, calendar, { "edit", QString::fromUtf8(events[2].uid), "Also moved" });
    const auto changed = plan("P", "id-2", { "A", "B" }, 1);
    const PublishOutcome kept = publishAndWait(connection, options, changed);
    QCOMPARE(kept.editedThere, QStringList({ "A", "C" }));
    QCOMPARE(kept.changed, 1);
    QCOMPARE(kept.complete(), false);
    QStringList theirs { QString::fromUtf8(events[0].uid) + "\tMoved by hand",
        QString::fromUtf8(changed[1].uid) + "\tB", QString::fromUtf8(events[2].uid) + "\tAlso moved" };
    theirs.sort();
    QCOMPARE(peek(server, calendar), theirs);

    options.overwriteEdited = true;
    QCOMPARE(
        counts(publishAndWait(connection, options, changed)), "0 new, 1 changed, 1 removed, 1 unchanged");
    QCOMPARE(peek(server, calendar), expected(changed));
}

void TestPublish::wrongPassword()
{
    const Server server = serverAt("radicale", serverDir("radicale"));
    const QUrl calendar = freshCalendar(server);
    QVERIFY(calendar.isValid());
    DavConnection connection(server.user, QStringLiteral("not the password"));
    const PublishOutcome outcome = publishAndWait(
        connection, { calendar, QStringLiteral("id-3"), m_data.path() }, plan("P", "id-3", { "A" }));
    QVERIFY(outcome.unauthorized);
    QVERIFY2(told(outcome.stopped).contains("401"), qPrintable(told(outcome.stopped)));
    QVERIFY(!told(outcome.stopped).contains("not the password"));
    QCOMPARE(peek(server, calendar), QStringList());

    DavConnection finder(server.user, QStringLiteral("not the password"));
    QVERIFY(findCalendars(finder, server.base).unauthorized);
}

void TestPublish::notACalendarIsRefused()
{
    const Server server = serverAt("xandikos", serverDir("xandikos"));
    DavConnection connection(server.user, server.password);
    const CalendarSearch search = findCalendars(connection, server.base);
    QVERIFY(!search.home.isEmpty());
    const PublishOutcome outcome = publishAndWait(
        connection, { search.home, QStringLiteral("id-5"), m_data.path() }, plan("P", "id-5", { "A" }));
    QVERIFY2(told(outcome.stopped).contains("is not a calendar"), qPrintable(told(outcome.stopped)));
    QCOMPARE(outcome.created, 0);
}

void TestPublish::interruptedThenCompleted_data()
{
    QTest::addColumn<bool>("kill");
    QTest::addColumn<int>("tasks");
    QTest::addColumn<int>("stopAt");
    QTest::newRow("cancelled") << false << 30 << 5;
    QTest::newRow("server killed") << true << 60 << 15;
}

// Publishing stops partway, by cancelling or because the server dies; what the server stored before is
// recorded or recognised as Ambrel's own, so a later publish completes with exactly the plan.
void TestPublish::interruptedThenCompleted()
{
    QFETCH(bool, kill);
    QFETCH(int, tasks);
    QFETCH(int, stopAt);
    // A server of its own when it is to be killed, so the other tests keep theirs.
    QTemporaryDir scratch;
    const QString dir = kill ? scratch.filePath("radicale") : serverDir("xandikos");
    if (kill)
        QVERIFY(runScript({ "start", "radicale", dir }));
    const Server server = serverAt(kill ? "radicale" : "xandikos", dir);
    const QUrl calendar = freshCalendar(server);
    QVERIFY(calendar.isValid());

    QStringList names;
    for (int i = 0; i < tasks; ++i)
        names << QStringLiteral("Task %1").arg(i);
    const auto events = plan("P", "id-6", names);
    const PublishOptions options { calendar, QStringLiteral("id-6"), m_data.path() };
    PublishOutcome outcome;
    {
        DavConnection connection(server.user, server.password);
        connection.setTimeout(5'000);
        Publisher publisher(&connection);
        QEventLoop loop;
        connect(&publisher, &Publisher::progress, this, [&](int done, int) {
            if (done != stopAt)
                return;
            if (kill)
                runScript({ "kill", dir });
            else
                publisher.cancel();
        });
        connect(&publisher, &Publisher::finished, &loop, [&](const PublishOutcome &result) {
            outcome = result;
            loop.quit();
        });
        publisher.start(options, events);
        loop.exec();
    }
    if (kill)
        QVERIFY2(outcome.stopped, qPrintable(counts(outcome)));
    else
        QVERIFY(outcome.cancelled);
    QVERIFY(outcome.created >= stopAt && outcome.created < tasks);

    if (kill) {
        const QString port = server.base.port() > 0 ? QString::number(server.base.port()) : QString();
        QVERIFY(runScript({ "start", "radicale", dir, port }));
    }
    DavConnection connection(server.user, server.password);
    const PublishOutcome rest = publishAndWait(connection, options, events);
    QVERIFY2(rest.complete(), qPrintable(counts(rest)));
    // What the server stored before the stop is found as the plan has it: not changed again.
    QCOMPARE(rest.changed, 0);
    if (!kill)
        QCOMPARE(rest.created + rest.unchanged, 30);
    QCOMPARE(peek(server, calendar), expected(events));
    if (kill) {
        QCOMPARE(counts(publishAndWait(connection, options, events)),
            "0 new, 0 changed, 0 removed, 60 unchanged");
        runScript({ "stop", dir });
    }
}

QTEST_GUILESS_MAIN(TestPublish)
#include "tst_publish.moc"
