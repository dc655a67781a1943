#include "publish/CalendarFinder.h"
#include "publish/DavXml.h"
#include "publish/Publisher.h"

#include "FakeCalDav.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

namespace {

const QString kUser = QStringLiteral("tester");
const QString kPassword = QStringLiteral("secret");

std::vector<PublishEvent> plan(const QStringList &tasks)
{
    std::vector<EventRow> rows;
    for (int i = 0; i < tasks.size(); ++i) {
        EventRow row;
        row.description = tasks[i].section(QLatin1Char('@'), 0, 0);
        row.subjectBase = QLatin1String("P: ") + row.description;
        row.startDate = QDate(2024, 6, 3).addDays(7 * i + tasks[i].section(QLatin1Char('@'), 1).toInt());
        row.endDate = row.startDate.addDays(2);
        rows.push_back(row);
    }
    const IcsOptions options { QStringLiteral("P"), QStringLiteral("9 AM"), QStringLiteral("5 PM"),
        QDateTime::currentDateTimeUtc(), QStringLiteral("id-f") };
    return *publishEvents(options, rows);
}

QString told(const std::optional<Refusal> &refusal)
{
    return refusal ? refusal->text : QString();
}

} // namespace

// Publishing against a server with one fault at a time: the publish says what happened, and once the server
// is healthy again the next publish leaves exactly the plan and the foreign event on the calendar.
class TestPublishFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void faultThenHealed_data();
    void faultThenHealed();
    void secondPublishWaitsForTheLock();
    void oneRecordPerCalendar();
    void unwritableRecordSendsNothing();

private:
    QStringList onServer(const QUrl &calendar);

    QUrl m_base;
    QTemporaryDir m_data;
};

void TestPublishFaults::initTestCase()
{
    QFile url(qEnvironmentVariable("AMBREL_CALDAV_ROOT") + QStringLiteral("/fake/url"));
    QVERIFY(url.open(QIODevice::ReadOnly));
    m_base = QUrl(QString::fromUtf8(url.readAll()).trimmed());
}

// The events' paths on the server, as a healthy listing gives them.
QStringList TestPublishFaults::onServer(const QUrl &calendar)
{
    DavConnection connection(kUser, kPassword);
    QStringList paths;
    QEventLoop loop;
    connection.send("PROPFIND", calendar, { { "Depth", "1" } }, {}, [&](const DavResponse &response) {
        for (const DavEntry &entry : parseMultistatus(response.body))
            if (!entry.isCollection)
                paths << entry.href.section(QLatin1Char('/'), -1);
        loop.quit();
    });
    loop.exec();
    paths.sort();
    return paths;
}

void TestPublishFaults::faultThenHealed_data()
{
    QTest::addColumn<QByteArrayList>("faults");
    QTest::addColumn<QString>("first"); // the first publish's summary, or what its stop says
    QTest::addColumn<int>("putsAtMost"); // PUTs sent during the faulty publish

    const QString exact = QStringLiteral("8 new, 1 changed, 1 removed, 2 unchanged");
    QTest::newRow("a listing that leaves events out")
        << QByteArrayList { R"({"kind":"partial","depth":"1","count":9})" } << exact << 9;
    QTest::newRow("every event tagged anew") << QByteArrayList { "retag" } << exact << 9;
    QTest::newRow("507 stops at once")
        << QByteArrayList { R"({"kind":"status","method":"PUT","count":99,"status":507})" } << "no room left"
        << DavConnection::MaxInFlight;
    QTest::newRow("503, wait a second") << QByteArrayList {
        R"({"kind":"status","method":"PUT","count":3,"status":503,"headers":[["Retry-After","1"]]})"
    } << exact << 12;
    QTest::newRow("503, wait an hour") << QByteArrayList {
        R"({"kind":"status","method":"PUT","count":99,"status":503,"headers":[["Retry-After","3600"]]})"
    } << "asked to wait 3600 seconds" << DavConnection::MaxInFlight;
    QTest::newRow("connection reset after storing")
        << QByteArrayList { R"({"kind":"reset","count":4})" } << exact << 16;
    QTest::newRow("a listing that is not XML")
        << QByteArrayList { R"({"kind":"badxml","method":"PROPFIND","count":1})" } << "could not be read"
        << 0;
}

void TestPublishFaults::faultThenHealed()
{
    QFETCH(QByteArrayList, faults);
    QFETCH(QString, first);
    QFETCH(int, putsAtMost);
    fakeServerControl(m_base, QStringLiteral("/_heal"));
    DavConnection connection(kUser, kPassword);
    const Refusable<QUrl> created
        = createCalendar(connection, m_base.resolved(QUrl(QStringLiteral("/home/"))), QStringLiteral("F"));
    QVERIFY2(!created.refused(), qPrintable(told(created.failure())));
    const QUrl calendar = *created;
    QEventLoop stored;
    connection.send("PUT", calendar.resolved(QUrl(QStringLiteral("foreign.ics"))), {}, "BEGIN:VCALENDAR\r\n",
        [&](const DavResponse &) { stored.quit(); });
    stored.exec();
    const PublishOptions options { calendar, QStringLiteral("id-f"), m_data.path() };
    const auto before = plan({ "a", "b", "c", "d" });
    QCOMPARE(
        publishAndWait(connection, options, before).summary(), "4 new, 0 changed, 0 removed, 0 unchanged");

    // b moves a day, c goes, eight come.
    const auto after = plan({ "a", "b@1", "x", "d", "e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8" });
    std::vector<PublishEvent> wanted { after[0], after[1], after[3] };
    wanted.insert(wanted.end(), after.begin() + 4, after.end());
    for (const QByteArray &fault : faults)
        fakeServerControl(
            m_base, fault == "retag" ? QStringLiteral("/_retag") : QStringLiteral("/_fault"), fault);
    const int logged
        = int(QJsonDocument::fromJson(fakeServerControl(m_base, QStringLiteral("/_log"))).array().size());
    const PublishOutcome faulty = publishAndWait(connection, options, wanted);
    const QJsonArray log
        = QJsonDocument::fromJson(fakeServerControl(m_base, QStringLiteral("/_log"))).array();
    int puts = 0;
    for (qsizetype i = logged; i < log.size(); ++i)
        puts += log[i].toArray().first().toString() == QLatin1String("PUT");
    QVERIFY2(puts <= putsAtMost, qPrintable(QString::number(puts)));
    const QString told = faulty.stopped ? faulty.stopped->text : faulty.summary();
    QVERIFY2(told.contains(first) && !told.contains(QLatin1String("207")), qPrintable(told));
    QVERIFY(faulty.editedThere.isEmpty());

    fakeServerControl(m_base, QStringLiteral("/_heal"));
    const PublishOutcome healed = publishAndWait(connection, options, wanted);
    QVERIFY2(healed.complete(), qPrintable(::told(healed.stopped) + healed.failures.join(QLatin1Char(';'))));
    // What the faulty publish counted and what the healed one did add up to the change, nothing twice.
    QCOMPARE(faulty.created + healed.created, 8);
    QCOMPARE(faulty.changed + healed.changed, 1);
    QCOMPARE(faulty.removed + healed.removed, 1);
    QStringList expected { QStringLiteral("foreign.ics") };
    for (const PublishEvent &event : wanted)
        expected << QString::fromUtf8(event.uid).replace(QLatin1Char('@'), QLatin1Char('-'))
                + QLatin1String(".ics");
    expected.sort();
    QCOMPARE(onServer(calendar), expected);
    QCOMPARE(
        publishAndWait(connection, options, wanted).summary(), "0 new, 0 changed, 0 removed, 11 unchanged");
}

// A second publish of the same project to the same calendar waits for the first, then says who holds it.
void TestPublishFaults::secondPublishWaitsForTheLock()
{
    fakeServerControl(m_base, QStringLiteral("/_heal"));
    fakeServerControl(
        m_base, QStringLiteral("/_fault"), R"({"kind":"slow","method":"PROPFIND","count":1,"delay":1})");
    DavConnection connection(kUser, kPassword);
    PublishOptions options { m_base.resolved(QUrl(QStringLiteral("/home/locked/"))), QStringLiteral("id-l"),
        m_data.path() };
    options.lockWaitMs = 100;
    Publisher first(&connection);
    first.start(options, plan({ "a" }));
    const PublishOutcome second = publishAndWait(connection, options, plan({ "a" }));
    QVERIFY2(
        told(second.stopped).contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
        qPrintable(told(second.stopped)));
    QCOMPARE(second.created, 0);
}

// The calendar reached by another spelling of its address (this machine's other name, no closing slash)
// finds the same record, so what the plan dropped is still removed.
void TestPublishFaults::oneRecordPerCalendar()
{
    fakeServerControl(m_base, QStringLiteral("/_heal"));
    DavConnection connection(kUser, kPassword);
    const QUrl calendar = *createCalendar(connection, m_base.resolved(QUrl(QStringLiteral("/home/"))), {});
    PublishOptions options { calendar, QStringLiteral("id-s"), m_data.path() };
    QVERIFY(publishAndWait(connection, options, plan({ "a", "b" })).complete());
    options.calendar.setHost(QStringLiteral("LocalHost"));
    options.calendar.setPath(calendar.path().chopped(1));
    DavConnection again(kUser, kPassword);
    QCOMPARE(
        publishAndWait(again, options, plan({ "a" })).summary(), "0 new, 0 changed, 1 removed, 1 unchanged");
}

// Without a record the next publish could not tell its events from someone else's: nothing is sent.
void TestPublishFaults::unwritableRecordSendsNothing()
{
    QTemporaryDir data;
    QFile blocker(data.filePath(QStringLiteral("not a folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    const int logged
        = int(QJsonDocument::fromJson(fakeServerControl(m_base, QStringLiteral("/_log"))).array().size());
    DavConnection connection(kUser, kPassword);
    const PublishOutcome outcome = publishAndWait(connection,
        { m_base.resolved(QUrl(QStringLiteral("/home/x/"))), QStringLiteral("id-u"), blocker.fileName() },
        plan({ "a" }));
    QVERIFY2(told(outcome.stopped).startsWith(QStringLiteral("Could not write the publishing record")),
        qPrintable(told(outcome.stopped)));
    QCOMPARE(
        QJsonDocument::fromJson(fakeServerControl(m_base, QStringLiteral("/_log"))).array().size(), logged);
}

QTEST_GUILESS_MAIN(TestPublishFaults)
#include "tst_publishfaults.moc"
