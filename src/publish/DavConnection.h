#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUrl>

#include <deque>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QTimer;

namespace ambrel {

// A certificate the connection refused, as the person is shown it before choosing to trust it.
struct TlsProblem {
    QString host;
    QString issuer;
    QByteArray fingerprint; // SHA-256 of the certificate, hex pairs joined by colons
    QStringList errors;
};

// What came back for one request.
struct DavResponse {
    int status = 0; // the HTTP status; 0 when no answer came
    QByteArray etag;
    QByteArray body;
    QUrl url; // where the answer came from, after redirects
    QString reason; // the server's reason phrase and the start of its message, for messages
    QString failure; // why no answer came: timeout, lost connection, certificate, refused address
    std::optional<TlsProblem> tls;
    bool cancelled = false;

    bool answered() const { return status != 0; }
    bool succeeded() const { return status >= 200 && status < 300; }
};

// One account on one calendar server: requests run a few at a time over Qt's connection pool, each
// carrying the account's credentials to that server only. A request with no progress for the timeout
// fails, as does plain http to a host that is not this machine unless insecure addresses are allowed, and a
// certificate that does not verify unless its fingerprint was trusted for that host.
class DavConnection final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DavConnection)

public:
    using Header = QPair<QByteArray, QByteArray>;
    using Done = std::function<void(const DavResponse &)>;

    static constexpr int MaxInFlight = 4;
    static constexpr int DefaultTimeoutMs = 30'000;

    DavConnection(const QString &user, const QString &password, QObject *parent = nullptr);
    ~DavConnection() override;

    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    void setInsecureAllowed(bool allowed) { m_insecureAllowed = allowed; }
    // Trusts this certificate (fingerprint as TlsProblem gives it) for that host from now on.
    void trustCertificate(const QString &host, const QByteArray &fingerprint);

    // Why requests to url are refused before any is sent (not http or https, plain http to another host);
    // nothing when it will do.
    std::optional<QString> addressRefusal(const QUrl &url) const;

    // Lets the credentials follow the server from an address it was given them for to one it named in an
    // answer from there (a calendar home on another host), over https only.
    void follow(const QUrl &from, const QUrl &to);

    // Sends the request when fewer than MaxInFlight run; done is called once, on this object's thread.
    void send(const QByteArray &method, const QUrl &url, const QList<Header> &headers, const QByteArray &body,
        Done done);
    // Ends every running and waiting request; each is answered as cancelled.
    void cancelAll();

private:
    struct Pending {
        QByteArray method;
        QUrl url;
        QList<Header> headers;
        QByteArray body;
        Done done;
        int redirects = 0;
    };
    void startNext();
    void start(Pending pending);
    void finish(QNetworkReply *reply, Pending pending, QTimer *timer, const QString &timedOut);

    QNetworkAccessManager *m_network;
    QByteArray m_authorization;
    // Credentials go to the first server asked and to those it sends the client to over https, no further.
    QSet<QString> m_authorizedOrigins;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_insecureAllowed = false;
    QHash<QString, QSet<QByteArray>> m_trusted;
    std::deque<Pending> m_waiting;
    QList<QPointer<QNetworkReply>> m_running;
};

bool isLoopbackHost(const QString &host);

} // namespace ambrel
