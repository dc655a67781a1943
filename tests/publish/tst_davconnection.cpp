#include "publish/DavConnection.h"

#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace ambrel;

class TestDavConnection : public QObject {
    Q_OBJECT

private slots:
    void addresses_data();
    void addresses();
    void silentServerTimesOut();
};

void TestDavConnection::addresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("insecureAllowed");
    QTest::addColumn<bool>("refused");

    QTest::newRow("https") << "https://dav.example.com/cal/" << false << false;
    QTest::newRow("http to localhost") << "http://localhost:5232/" << false << false;
    QTest::newRow("http to 127.0.0.0/8") << "http://127.3.4.5/" << false << false;
    QTest::newRow("http to ::1") << "http://[::1]:8080/" << false << false;
    QTest::newRow("http to another host") << "http://dav.example.com/" << false << true;
    QTest::newRow("http to a LAN address") << "http://192.168.1.2/" << false << true;
    QTest::newRow("http to a host named like loopback") << "http://127.0.0.1.example.com/" << false << true;
    QTest::newRow("http to another host, allowed") << "http://dav.example.com/" << true << false;
    QTest::newRow("not http") << "ftp://dav.example.com/" << true << true;
    QTest::newRow("no host") << "https:///cal" << true << true;
}

void TestDavConnection::addresses()
{
    QFETCH(QString, url);
    QFETCH(bool, insecureAllowed);
    QFETCH(bool, refused);
    DavConnection connection(QStringLiteral("me"), QStringLiteral("secret"));
    connection.setInsecureAllowed(insecureAllowed);
    QCOMPARE(connection.addressRefusal(QUrl(url)).has_value(), refused);
}

// A server that takes the connection and never answers: the request ends after the time without progress,
// saying so, instead of hanging.
void TestDavConnection::silentServerTimesOut()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket *> held;
    connect(&silent, &QTcpServer::newConnection, this, [&] { held << silent.nextPendingConnection(); });

    DavConnection connection(QStringLiteral("me"), QStringLiteral("secret"));
    connection.setTimeout(300);
    DavResponse response;
    QEventLoop loop;
    connection.send("PROPFIND", QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())), {}, {},
        [&](const DavResponse &r) {
            response = r;
            loop.quit();
        });
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    QVERIFY(!response.answered());
    QVERIFY2(response.failure.contains(QLatin1String("did not answer")), qPrintable(response.failure));
    QVERIFY(!response.failure.contains(QLatin1String("secret")));
}

QTEST_GUILESS_MAIN(TestDavConnection)
#include "tst_davconnection.moc"
