#include "DavConnection.h"

#include <QDateTime>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace ambrel {

namespace {

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

// Retry-After as seconds or as an HTTP date; -1 when absent or unreadable.
int retryAfterOf(const QByteArray &value)
{
    bool number = false;
    const int seconds = value.trimmed().toInt(&number);
    if (number)
        return std::max(seconds, 0);
    const QDateTime at = QDateTime::fromString(QString::fromLatin1(value.trimmed()), Qt::RFC2822Date);
    return at.isValid() ? int(std::clamp<qint64>(QDateTime::currentDateTimeUtc().secsTo(at), 0, 1 << 30))
                        : -1;
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024 * 1024), 'f', bytes < 10 * 1024 * 1024 ? 1 : 0);
}

} // namespace

QString originOf(const QUrl &url)
{
    return url.scheme().toLower() + QLatin1String("://") + url.host().toLower() + QLatin1Char(':')
        + QString::number(url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80));
}

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
    m_sleeping.clear();
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

std::optional<Refusal> DavConnection::addressRefusal(const QUrl &url) const
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return Refusal { QStringLiteral("\"%1\" is not the address of a calendar server (https://\u2026).")
                             .arg(url.toDisplayString()) };
    if (scheme == QLatin1String("http") && !m_insecureAllowed && !isLoopbackHost(url.host())) {
        return Refusal { QStringLiteral(
            "%1 would be reached over plain http, which sends the password and the "
            "plan unencrypted; use https, or allow insecure addresses.")
                             .arg(url.host()) };
    }
    return std::nullopt;
}

void DavConnection::send(const QByteArray &method, const QUrl &url, const QList<Header> &headers,
    const QByteArray &body, Done done)
{
    if (m_origin.isEmpty())
        m_origin = originOf(url);
    // Credentials go in the header, to the one server; an address never carries them, nor shows them.
    m_waiting.push_back(
        Pending { method, url.adjusted(QUrl::RemoveUserInfo), headers, body, std::move(done), 0, 0 });
    startNext();
}

std::optional<Refusal> DavConnection::foreignRefusal(const QUrl &from, const QUrl &url) const
{
    if (originOf(url) == (m_origin.isEmpty() ? originOf(from) : m_origin))
        return std::nullopt;
    return Refusal {
        QStringLiteral("%1 named %2, another server than the one given; Ambrel sends the password "
                       "only to %3, so it stopped there.")
            .arg(from.toDisplayString(QUrl::RemoveUserInfo), url.toDisplayString(QUrl::RemoveUserInfo),
                m_origin.isEmpty() ? originOf(from) : m_origin)
    };
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

// What one reply gathered while it ran.
struct DavConnection::Answer {
    QByteArray body;
    QString failure; // the timeout, the deadline or the size that ended it
    std::optional<TlsProblem> tls;
};

void DavConnection::start(Pending pending)
{
    if (const std::optional<Refusal> refusal = addressRefusal(pending.url)) {
        DavResponse response;
        response.url = pending.url;
        response.failure = refusal->text;
        // Answered from the event loop, as every other request is, so callers see one order of events.
        QTimer::singleShot(0, this, [done = std::move(pending.done), response] { done(response); });
        return;
    }
    QNetworkRequest request(pending.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    for (const Header &header : pending.headers)
        request.setRawHeader(header.first, header.second);
    if (!m_authorization.isEmpty() && originOf(pending.url) == m_origin)
        request.setRawHeader("Authorization", m_authorization);
    QNetworkReply *reply = m_network->sendCustomRequest(request, pending.method, pending.body);
    m_running << reply;

    auto answer = std::make_shared<Answer>();
    const QString host = pending.url.host();
    auto end = [reply, answer](const QString &why) {
        if (answer->failure.isEmpty())
            answer->failure = why;
        reply->abort();
    };
    auto *idle = new QTimer(reply);
    idle->setSingleShot(true);
    idle->start(m_timeoutMs);
    connect(idle, &QTimer::timeout, reply, [end, host, seconds = m_timeoutMs / 1000.0] {
        end(QStringLiteral("%1 did not answer for %2 seconds.").arg(host).arg(seconds));
    });
    // A server that trickles a byte at a time keeps the idle timer going; this one it cannot.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    deadline->start(m_deadlineMs);
    connect(deadline, &QTimer::timeout, reply, [end, host, seconds = m_deadlineMs / 1000.0] {
        end(QStringLiteral("%1 had not finished answering after %2 seconds.").arg(host).arg(seconds));
    });
    auto progressed = [idle, this] { idle->start(m_timeoutMs); };
    connect(reply, &QNetworkReply::uploadProgress, idle, progressed);
    connect(reply, &QNetworkReply::downloadProgress, idle, progressed);
    const qint64 limit = m_answerLimit;
    const QString tooLarge
        = QStringLiteral("%1 sent an answer larger than %2 MB, more than any calendar needs.")
              .arg(host, megabytes(limit));
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, end, limit, tooLarge] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > limit)
            end(tooLarge);
    });
    // Read as it comes, so that the cap holds for what is kept, not only for what was announced.
    connect(reply, &QNetworkReply::readyRead, reply, [reply, answer, end, limit, tooLarge] {
        answer->body += reply->read(std::max<qint64>(limit + 1 - answer->body.size(), 1));
        if (answer->body.size() > limit)
            end(tooLarge);
    });
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply, answer](const QList<QSslError> &errors) {
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
        answer->tls = problem;
    });
    connect(reply, &QNetworkReply::finished, this,
        [this, reply, pending = std::move(pending), answer, idle, deadline]() mutable {
            idle->stop();
            deadline->stop();
            finish(reply, std::move(pending), *answer);
        });
}

void DavConnection::finish(QNetworkReply *reply, Pending pending, const Answer &answer)
{
    reply->deleteLater();
    m_running.removeAll(QPointer<QNetworkReply>(reply));
    DavResponse response;
    response.url = pending.url;
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    response.body = answer.body;
    if (reply->isOpen() && answer.failure.isEmpty())
        response.body += reply->readAll();
    response.etag = reply->rawHeader("ETag");
    if (answer.tls && response.status == 0) {
        response.tls = answer.tls;
        response.failure
            = QStringLiteral("The certificate of %1 (issued by %2, fingerprint %3) was refused: %4")
                  .arg(answer.tls->host, answer.tls->issuer, QString::fromLatin1(answer.tls->fingerprint),
                      answer.tls->errors.join(QStringLiteral("; ")));
    } else if (!answer.failure.isEmpty()) {
        response.status = 0;
        response.body.clear();
        response.failure = answer.failure;
    } else if (response.status == 0) {
        response.cancelled = reply->error() == QNetworkReply::OperationCanceledError;
        response.failure = response.cancelled
            ? QStringLiteral("Cancelled.")
            : QStringLiteral("%1: %2").arg(pending.url.host(), reply->errorString());
    } else {
        response.reason = reasonOf(reply, response.body);
    }
    if (response.status == 503 || response.status == 429) {
        response.retryAfter = retryAfterOf(reply->rawHeader("Retry-After"));
        if (response.retryAfter >= 0 && response.retryAfter <= MaxRetryWaitSeconds
            && pending.retries < MaxRetries) {
            ++pending.retries;
            retryLater(std::move(pending), response.retryAfter);
            startNext();
            return;
        }
    }

    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const bool redirect = (response.status == 301 || response.status == 302 || response.status == 303
                              || response.status == 307 || response.status == 308)
        && location.isValid();
    if (redirect) {
        const QUrl target = pending.url.resolved(location);
        const QString from = pending.url.toDisplayString(QUrl::RemoveUserInfo);
        const QString to = target.toDisplayString(QUrl::RemoveUserInfo);
        QString refusal;
        if (pending.url.scheme().toLower() == QLatin1String("https")
            && target.scheme().toLower() != QLatin1String("https"))
            refusal
                = QStringLiteral("%1 sent the request on to %2, over plain http; Ambrel does not follow it.")
                      .arg(from, to);
        else if (originOf(target) != m_origin)
            refusal
                = QStringLiteral("%1 sent the request on to %2, another server; Ambrel sends the password "
                                 "only to %3, so it stopped there.")
                      .arg(from, to, m_origin);
        else if (pending.redirects >= 5)
            refusal
                = QStringLiteral("%1 sent the request on more than 5 times (a redirect loop), last to %2.")
                      .arg(from, to);
        if (refusal.isEmpty()) {
            pending.url = target;
            ++pending.redirects;
            start(std::move(pending));
            return;
        }
        response.status = 0;
        response.failure = refusal;
    }
    pending.done(response);
    startNext();
}

void DavConnection::retryLater(Pending pending, int seconds)
{
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    m_sleeping.emplace_back(timer, std::move(pending));
    connect(timer, &QTimer::timeout, this, [this, timer] {
        const auto it = std::find_if(m_sleeping.begin(), m_sleeping.end(),
            [timer](const std::pair<QTimer *, Pending> &entry) { return entry.first == timer; });
        if (it == m_sleeping.end())
            return;
        m_waiting.push_front(std::move(it->second));
        m_sleeping.erase(it);
        timer->deleteLater();
        startNext();
    });
    timer->start(seconds * 1000);
}

void DavConnection::cancelAll()
{
    std::deque<Pending> waiting;
    waiting.swap(m_waiting);
    for (auto &[timer, pending] : m_sleeping) {
        delete timer;
        waiting.push_back(std::move(pending));
    }
    m_sleeping.clear();
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
