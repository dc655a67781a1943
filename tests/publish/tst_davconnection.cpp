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
    void credentialsStayWithTheServer_data();
    void credentialsStayWithTheServer();
    void endlessAnswersEnd_data();
    void endlessAnswersEnd();
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
    QByteArray reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
    connect(&server, &QSslServer::pendingConnectionAvailable, this, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, &reply] {
            if (socket->readAll().contains("\r\n\r\n"))
                socket->write(reply);
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

    // A trusted certificate does not make a move to plain http any safer.
    reply = "HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:" + QByteArray::number(server.serverPort())
        + "/\r\nContent-Length: 0\r\n\r\n";
    const DavResponse moved = answer(connection, url);
    QVERIFY2(!moved.answered() && moved.failure.contains(QLatin1String("over plain http")),
        qPrintable(moved.failure));
}

void TestDavConnection::credentialsStayWithTheServer_data()
{
    QTest::addColumn<QString>("location"); // OTHER stands for the second server's port
    QTest::addColumn<bool>("followed");
    QTest::newRow("same server, another path, again and again") << "/cal/" << true;
    QTest::newRow("another host") << "http://localhost:OTHER/cal/" << false;
    QTest::newRow("another port") << "http://127.0.0.1:OTHER/cal/" << false;
}

// The password goes to the scheme, host and port it was given for; a redirect anywhere else is refused,
// naming both addresses, and the other server hears nothing.
void TestDavConnection::credentialsStayWithTheServer()
{
    QFETCH(QString, location);
    QFETCH(bool, followed);
    TinyServer other("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    location.replace(QStringLiteral("OTHER"), QString::number(other.port()));
    TinyServer first(
        "HTTP/1.1 307 Moved\r\nLocation: " + location.toUtf8() + "\r\nContent-Length: 0\r\n\r\n");

    DavConnection connection(QStringLiteral("me"), QStringLiteral("secret"));
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/").arg(first.port()));
    const DavResponse response = answer(connection, url);
    const QByteArray authorization = "\r\nAuthorization: Basic " + QByteArray("me:secret").toBase64();
    QVERIFY(first.requests.first().contains(authorization));
    QCOMPARE(other.requests.size(), 0);
    QVERIFY(!response.answered());
    // The same server sends it on and on: followed five times, with the password, then called a loop.
    QCOMPARE(first.requests.size(), followed ? 6 : 1);
    if (followed) {
        QVERIFY(
            first.requests.last().startsWith("GET /cal/ ") && first.requests.last().contains(authorization));
        QVERIFY2(response.failure.contains(QLatin1String("redirect loop")), qPrintable(response.failure));
    } else {
        QVERIFY2(response.failure.contains(url.toString()) && response.failure.contains(location),
            qPrintable(response.failure));
    }
}

void TestDavConnection::endlessAnswersEnd_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("chunk"); // bytes sent every 50 ms
    QTest::addColumn<QString>("failure");
    QTest::newRow("a byte at a time")
        << QByteArray("Content-Length: 100000") << 1 << "not finished answering after 1.5";
    QTest::newRow("announced larger than the limit")
        << QByteArray("Content-Length: 5000000") << 1 << "larger than 1.0 MB";
    QTest::newRow("larger than the limit, unannounced")
        << QByteArray("Connection: close") << 200'000 << "larger than 1.0 MB";
}

// A server that trickles, or answers without end, cannot hold a request past the deadline or fill the memory.
void TestDavConnection::endlessAnswersEnd()
{
    QFETCH(QByteArray, head);
    QFETCH(int, chunk);
    QFETCH(QString, failure);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QTimer drip;
    QList<QTcpSocket *> sockets;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        sockets << socket;
        socket->write("HTTP/1.1 207 Multi-Status\r\n" + head + "\r\n\r\n");
        connect(&drip, &QTimer::timeout, socket, [socket, chunk] { socket->write(QByteArray(chunk, ' ')); });
        drip.start(50);
    });
    DavConnection connection(QStringLiteral("me"), QStringLiteral("secret"));
    connection.setTimeout(1'000);
    connection.setDeadline(1'500);
    connection.setAnswerLimit(1024 * 1024);
    const DavResponse response
        = answer(connection, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort())));
    QVERIFY(!response.answered());
    QVERIFY2(response.failure.contains(failure), qPrintable(response.failure));
    QVERIFY(response.body.isEmpty());
}

QTEST_GUILESS_MAIN(TestDavConnection)
#include "tst_davconnection.moc"
