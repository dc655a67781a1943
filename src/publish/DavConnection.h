#pragma once

#include "corekit/Refusal.h"

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
#include <list>
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
    int retryAfter = -1; // the seconds a 503 or 429 asked to wait; -1 when it named none

    bool answered() const { return status != 0; }
    bool succeeded() const { return status >= 200 && status < 300; }
};

// One account on one calendar server: requests run a few at a time over Qt's connection pool, each
// carrying the account's credentials to that server only: the scheme, host and port of the first request.
// A redirect anywhere else, or from https to http, is refused rather than followed. A request fails with no
// progress for the timeout, or unfinished at the deadline, or when its answer outgrows the limit; so does
// plain http to a host that is not this machine unless insecure addresses are allowed, and a certificate
// that does not verify unless its fingerprint was trusted for that host. A 503 or 429 whose Retry-After is
// short is asked again after that wait, a few times.
class DavConnection final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DavConnection)

public:
    using Header = QPair<QByteArray, QByteArray>;
    using Done = std::function<void(const DavResponse &)>;

    static constexpr int MaxInFlight = 4;
    static constexpr int DefaultTimeoutMs = 30'000;
    // Long enough for a listing of 100,000 events over a slow line.
    static constexpr int DefaultDeadlineMs = 5 * 60'000;
    // A listing of 100,000 events is about 40 MB.
    static constexpr qint64 DefaultAnswerLimit = 128 * 1024 * 1024;
    static constexpr int MaxRetryWaitSeconds = 60;
    static constexpr int MaxRetries = 3;

    DavConnection(const QString &user, const QString &password, QObject *parent = nullptr);
    ~DavConnection() override;

    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    void setAnswerLimit(qint64 bytes) { m_answerLimit = bytes; }
    void setInsecureAllowed(bool allowed) { m_insecureAllowed = allowed; }
    // Trusts this certificate (fingerprint as TlsProblem gives it) for that host from now on.
    void trustCertificate(const QString &host, const QByteArray &fingerprint);

    // Why requests to url are refused before any is sent (not http or https, plain http to another host);
    // nothing when it will do.
    std::optional<Refusal> addressRefusal(const QUrl &url) const;

    // Why the account's credentials may not go to url, an address the server named in an answer from
    // `from`: another scheme, host or port than the one they were given for. Nothing when it is the same.
    std::optional<Refusal> foreignRefusal(const QUrl &from, const QUrl &url) const;

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
        int retries = 0;
    };
    struct Answer;
    void startNext();
    void start(Pending pending);
    void finish(QNetworkReply *reply, Pending pending, const Answer &answer);
    void retryLater(Pending pending, int seconds);

    QNetworkAccessManager *m_network;
    QByteArray m_authorization;
    QString m_origin; // the scheme, host and port the credentials are for
    int m_timeoutMs = DefaultTimeoutMs;
    int m_deadlineMs = DefaultDeadlineMs;
    qint64 m_answerLimit = DefaultAnswerLimit;
    bool m_insecureAllowed = false;
    QHash<QString, QSet<QByteArray>> m_trusted;
    std::deque<Pending> m_waiting;
    QList<QPointer<QNetworkReply>> m_running;
    std::list<std::pair<QTimer *, Pending>> m_sleeping; // asked again after a Retry-After
};

bool isLoopbackHost(const QString &host);
// The scheme, host and port of url, the default port written out: "https://dav.example:443".
QString originOf(const QUrl &url);

} // namespace ambrel
