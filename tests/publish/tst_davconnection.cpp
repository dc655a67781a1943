#include "publish/DavConnection.h"

#include <QEventLoop>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ambrel;

class TestDavConnection : public QObject {
    Q_OBJECT

private slots:
    void addresses_data();
    void addresses();
    void silentServerTimesOut();
    void untrustedCertificateIsShownThenTrusted();
    void credentialsStayWithTheServer();
};

namespace {

DavResponse answer(DavConnection &connection, const QUrl &url)
{
    DavResponse response;
    QEventLoop loop;
    connection.send("GET", url, {}, {}, [&](const DavResponse &r) {
        response = r;
        loop.quit();
    });
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    return response;
}

// Answers every request with one reply, keeping the requests it got.
class TinyServer final : public QObject {
public:
    explicit TinyServer(const QByteArray &reply)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this, reply] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, reply] {
                requests << socket->readAll();
                socket->write(reply);
            });
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    QByteArrayList requests;

private:
    QTcpServer m_server;
};

} // namespace

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
    const DavResponse response
        = answer(connection, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())));
    QVERIFY(!response.answered());
    QVERIFY2(response.failure.contains(QLatin1String("did not answer")), qPrintable(response.failure));
    QVERIFY(!response.failure.contains(QLatin1String("secret")));
}

// A self-signed certificate is refused with what the person needs to judge it, and taken once its
// fingerprint is trusted for that host.
void TestDavConnection::untrustedCertificateIsShownThenTrusted()
{
    QTemporaryDir dir;
    const int made = QProcess::execute(QStringLiteral("openssl"),
        { "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
            "-subj", "/CN=Test Issuer", "-keyout", dir.filePath("key.pem"), "-out",
            dir.filePath("cert.pem") });
    QCOMPARE(made, 0);
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(dir.filePath("cert.pem"));
    QCOMPARE(certificates.size(), 1);
    QFile keyFile(dir.filePath("key.pem"));
    QVERIFY(keyFile.open(QIODevice::ReadOnly));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(certificates.first());
    tls.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));

    QSslServer server;
    server.setSslConfiguration(tls);
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QSslServer::pendingConnectionAvailable, this, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            if (socket->readAll().contains("\r\n\r\n"))
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
        });
    });
    const QUrl url(QStringLiteral("https://127.0.0.1:%1/").arg(server.serverPort()));

    DavConnection connection(QStringLiteral("me"), QStringLiteral("secret"));
    const DavResponse refused = answer(connection, url);
    QVERIFY(!refused.answered());
    QVERIFY(refused.tls.has_value());
    const QByteArray fingerprint
        = certificates.first().digest(QCryptographicHash::Sha256).toHex(':').toUpper();
    QCOMPARE(refused.tls->host, "127.0.0.1");
    QCOMPARE(refused.tls->issuer, "Test Issuer");
    QCOMPARE(refused.tls->fingerprint, fingerprint);
    QVERIFY2(refused.failure.contains(QString::fromLatin1(fingerprint)), qPrintable(refused.failure));

    connection.trustCertificate(QStringLiteral("127.0.0.1"), fingerprint);
    const DavResponse taken = answer(connection, url);
    QCOMPARE(taken.status, 200);
    QCOMPARE(taken.body, "ok");
}

// The password goes to the server it was given for, and not on to a plain-http host it redirects to.
void TestDavConnection::credentialsStayWithTheServer()
{
    TinyServer other("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    const QByteArray moved = "HTTP/1.1 307 Moved\r\nLocation: http://localhost:"
        + QByteArray::number(other.port()) + "/cal/\r\nContent-Length: 0\r\n\r\n";
    TinyServer first(moved);

    DavConnection connection(QStringLiteral("me"), QStringLiteral("secret"));
    const DavResponse response
        = answer(connection, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(first.port())));
    QCOMPARE(response.status, 200);
    QCOMPARE(first.requests.size(), 1);
    QCOMPARE(other.requests.size(), 1);
    QVERIFY(
        first.requests.first().contains("\r\nAuthorization: Basic " + QByteArray("me:secret").toBase64()));
    QVERIFY(!other.requests.first().contains("Authorization"));
}

QTEST_GUILESS_MAIN(TestDavConnection)
#include "tst_davconnection.moc"
