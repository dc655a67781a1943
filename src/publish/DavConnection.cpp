#include "DavConnection.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

#include <memory>

namespace ambrel {

namespace {

QString originOf(const QUrl &url)
{
    return url.scheme().toLower() + QLatin1String("://") + url.host().toLower() + QLatin1Char(':')
        + QString::number(url.port(url.scheme() == QLatin1String("https") ? 443 : 80));
}

QByteArray fingerprintOf(const QSslCertificate &certificate)
{
    return certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper();
}

// A server's error page can be large and full of markup; the message needs only its gist.
QString reasonOf(QNetworkReply *reply, const QByteArray &body)
{
    QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    QString text = QString::fromUtf8(body.left(2000));
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    text.remove(tags);
    text = text.simplified();
    if (text.size() > 200)
        text = text.left(200) + QChar(0x2026);
    if (!text.isEmpty() && !reason.contains(text))
        reason += (reason.isEmpty() ? QString() : QStringLiteral(": ")) + text;
    return reason;
}

} // namespace

bool isLoopbackHost(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

DavConnection::DavConnection(const QString &user, const QString &password, QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    if (!user.isEmpty() || !password.isEmpty())
        m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

DavConnection::~DavConnection()
{
    // Whoever waits for an answer may be gone already: end the requests without calling back.
    m_waiting.clear();
    for (const QPointer<QNetworkReply> &reply : std::as_const(m_running)) {
        if (reply) {
            reply->disconnect(this);
            reply->abort();
        }
    }
}

void DavConnection::trustCertificate(const QString &host, const QByteArray &fingerprint)
{
    m_trusted[host.toLower()].insert(fingerprint.toUpper());
}

std::optional<QString> DavConnection::addressRefusal(const QUrl &url) const
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return QStringLiteral("\"%1\" is not the address of a calendar server (https://\u2026).")
            .arg(url.toDisplayString());
    if (scheme == QLatin1String("http") && !m_insecureAllowed && !isLoopbackHost(url.host())) {
        return QStringLiteral("%1 would be reached over plain http, which sends the password and the plan "
                              "unencrypted; use https, or allow insecure addresses.")
            .arg(url.host());
    }
    return std::nullopt;
}

void DavConnection::send(const QByteArray &method, const QUrl &url, const QList<Header> &headers,
    const QByteArray &body, Done done)
{
    if (m_authorizedOrigins.isEmpty())
        m_authorizedOrigins.insert(originOf(url));
    m_waiting.push_back(Pending { method, url, headers, body, std::move(done), 0 });
    startNext();
}

void DavConnection::startNext()
{
    m_running.removeIf([](const QPointer<QNetworkReply> &reply) { return reply.isNull(); });
    while (m_running.size() < MaxInFlight && !m_waiting.empty()) {
        Pending pending = std::move(m_waiting.front());
        m_waiting.pop_front();
        start(std::move(pending));
    }
}

void DavConnection::start(Pending pending)
{
    if (const std::optional<QString> refusal = addressRefusal(pending.url)) {
        DavResponse response;
        response.url = pending.url;
        response.failure = *refusal;
        // Answered from the event loop, as every other request is, so callers see one order of events.
        QTimer::singleShot(0, this, [done = std::move(pending.done), response] { done(response); });
        return;
    }
    QNetworkRequest request(pending.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    for (const Header &header : pending.headers)
        request.setRawHeader(header.first, header.second);
    if (!m_authorization.isEmpty() && m_authorizedOrigins.contains(originOf(pending.url)))
        request.setRawHeader("Authorization", m_authorization);
    QNetworkReply *reply = m_network->sendCustomRequest(request, pending.method, pending.body);
    m_running << reply;

    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    timer->start(m_timeoutMs);
    auto timedOut = std::make_shared<bool>(false);
    auto progressed = [timer, this] { timer->start(m_timeoutMs); };
    connect(reply, &QNetworkReply::uploadProgress, timer, progressed);
    connect(reply, &QNetworkReply::downloadProgress, timer, progressed);
    connect(timer, &QTimer::timeout, reply, [reply, timedOut] {
        *timedOut = true;
        reply->abort();
    });
    auto tls = std::make_shared<std::optional<TlsProblem>>();
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply, tls](const QList<QSslError> &errors) {
        const QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
        const QString host = reply->url().host().toLower();
        const QByteArray fingerprint = fingerprintOf(certificate);
        if (!certificate.isNull() && m_trusted.value(host).contains(fingerprint)) {
            reply->ignoreSslErrors(errors);
            return;
        }
        TlsProblem problem { host, certificate.issuerDisplayName(), fingerprint, {} };
        for (const QSslError &error : errors)
            problem.errors << error.errorString();
        *tls = problem;
    });
    connect(reply, &QNetworkReply::finished, this,
        [this, reply, pending = std::move(pending), timer, timedOut, tls]() mutable {
            const QString timeoutText = *timedOut ? QStringLiteral("%1 did not answer for %2 seconds.")
                                                        .arg(pending.url.host())
                                                        .arg(m_timeoutMs / 1000.0)
                                                  : QString();
            if (tls->has_value() && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 0) {
                DavResponse response;
                response.url = pending.url;
                response.tls = *tls;
                response.failure
                    = QStringLiteral("The certificate of %1 (issued by %2, fingerprint %3) was "
                                     "refused: %4")
                          .arg((*tls)->host, (*tls)->issuer, QString::fromLatin1((*tls)->fingerprint),
                              (*tls)->errors.join(QStringLiteral("; ")));
                reply->deleteLater();
                m_running.removeAll(QPointer<QNetworkReply>(reply));
                pending.done(response);
                startNext();
                return;
            }
            finish(reply, std::move(pending), timer, timeoutText);
        });
}

void DavConnection::finish(QNetworkReply *reply, Pending pending, QTimer *timer, const QString &timedOut)
{
    timer->stop();
    reply->deleteLater();
    m_running.removeAll(QPointer<QNetworkReply>(reply));
    DavResponse response;
    response.url = pending.url;
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        response.body = reply->readAll();
    response.etag = reply->rawHeader("ETag");
    if (!timedOut.isEmpty()) {
        response.status = 0;
        response.failure = timedOut;
    } else if (response.status == 0) {
        response.cancelled = reply->error() == QNetworkReply::OperationCanceledError;
        response.failure = response.cancelled
            ? QStringLiteral("Cancelled.")
            : QStringLiteral("%1: %2").arg(pending.url.host(), reply->errorString());
    } else {
        response.reason = reasonOf(reply, response.body);
    }

    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const bool redirect = (response.status == 301 || response.status == 302 || response.status == 303
                              || response.status == 307 || response.status == 308)
        && location.isValid();
    if (redirect && pending.redirects < 5) {
        const QUrl target = pending.url.resolved(location);
        // A move from https to http would send the request unencrypted.
        if (!(pending.url.scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https"))) {
            follow(pending.url, target);
            pending.url = target;
            ++pending.redirects;
            start(std::move(pending));
            return;
        }
    }
    pending.done(response);
    startNext();
}

void DavConnection::follow(const QUrl &from, const QUrl &to)
{
    const QString origin = originOf(to);
    if (m_authorizedOrigins.contains(originOf(from))
        && (to.scheme() == QLatin1String("https") || origin == originOf(from)))
        m_authorizedOrigins.insert(origin);
}

void DavConnection::cancelAll()
{
    std::deque<Pending> waiting;
    waiting.swap(m_waiting);
    for (Pending &pending : waiting) {
        DavResponse response;
        response.url = pending.url;
        response.cancelled = true;
        response.failure = QStringLiteral("Cancelled.");
        pending.done(response);
    }
    const QList<QPointer<QNetworkReply>> running = m_running;
    for (const QPointer<QNetworkReply> &reply : running) {
        if (reply && !reply->isFinished())
            reply->abort();
    }
}

} // namespace ambrel
