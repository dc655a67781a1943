#include "Publisher.h"

#include "publish/CalendarFinder.h"
#include "publish/DavXml.h"

#include <QEventLoop>
#include <QHash>

namespace ambrel {

namespace {

const QByteArray kXml("application/xml; charset=utf-8");
const QByteArray kCalendarType("text/calendar; charset=utf-8");

QString withSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString collectionPath(const QUrl &calendar)
{
    return withSlash(calendar.path(QUrl::FullyDecoded));
}

// Lines longer than 75 octets are folded, and a server may fold them elsewhere.
QByteArray unfolded(QByteArray text)
{
    return text.replace("\r\n ", "").replace("\r\n\t", "");
}

// The line that marks an event as the project's, as the plan's text holds it.
QByteArray ownerLine(const QByteArray &text)
{
    static const QByteArray mark("\r\nX-AMBREL-PROJECT:");
    const qsizetype begin = text.indexOf(mark);
    return begin < 0 ? QByteArray() : text.mid(begin, text.indexOf("\r\n", begin + 2) + 2 - begin);
}

QString resourceName(const QByteArray &uid)
{
    QString name;
    for (const char c : uid)
        name += QChar::fromLatin1(QChar::isLetterOrNumber(uchar(c)) || c == '-' || c == '_' ? c : '-');
    return name + QLatin1String(".ics");
}

} // namespace

QString PublishOutcome::summary() const
{
    return QStringLiteral("%1 new, %2 changed, %3 removed, %4 unchanged")
        .arg(created)
        .arg(changed)
        .arg(removed)
        .arg(unchanged);
}

std::optional<QString> publishEvents(
    const IcsOptions &options, const std::vector<EventRow> &events, std::vector<PublishEvent> *out)
{
    std::vector<IcsResource> resources;
    if (std::optional<QString> refusal = calendarIcsResources(options, events, &resources))
        return refusal;
    std::vector<PublishEvent> plan;
    plan.reserve(resources.size());
    for (std::size_t i = 0; i < resources.size(); ++i)
        plan.push_back(PublishEvent { resources[i].uid, events[i].title(), std::move(resources[i].text) });
    *out = std::move(plan);
    return std::nullopt;
}

Publisher::Publisher(DavConnection *connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{
}

void Publisher::start(const PublishOptions &options, std::vector<PublishEvent> plan)
{
    m_options = options;
    m_plan = std::move(plan);
    m_outcome = {};
    m_total = m_done = m_open = 0;
    m_stopping = m_finished = false;
    m_record.emplace(options.recordFolder, options.projectId, options.calendar);
    QString error;
    if (!m_record->load(&error)) {
        m_outcome.stopped = error;
        QMetaObject::invokeMethod(this, &Publisher::finish, Qt::QueuedConnection);
        return;
    }
    ++m_open;
    m_connection->send("PROPFIND", options.calendar, { { "Depth", "1" }, { "Content-Type", kXml } },
        propfindBody({ QStringLiteral("getetag"), QStringLiteral("resourcetype") }, {}),
        [this](const DavResponse &response) { listed(response); });
}

void Publisher::cancel()
{
    if (m_finished || m_stopping)
        return;
    m_outcome.cancelled = true;
    m_outcome.stopped = QStringLiteral("Publishing was cancelled.");
    m_stopping = true;
    m_connection->cancelAll();
}

void Publisher::listed(const DavResponse &response)
{
    --m_open;
    if (m_stopping) {
        finish();
        return;
    }
    bool ok = false;
    const QList<DavEntry> entries
        = response.status == 207 ? parseMultistatus(response.body, &ok) : QList<DavEntry>();
    if (!ok) {
        stop(response);
        m_outcome.stopped = requestFailure(
            response, QStringLiteral("the calendar %1").arg(m_options.calendar.toDisplayString()));
        finish();
        return;
    }
    const QString folder = collectionPath(m_options.calendar);
    QHash<QString, QByteArray> onServer;
    bool isCalendar = false;
    for (const DavEntry &entry : entries) {
        if (!entry.isCollection)
            onServer.insert(entry.href, entry.etag);
        else if (withSlash(entry.href) == folder)
            isCalendar = entry.isCalendar;
    }
    // Anywhere else the events would land among what the folder holds, where no calendar shows them.
    if (!isCalendar) {
        m_outcome.stopped = QStringLiteral("%1 is not a calendar.").arg(m_options.calendar.toDisplayString());
        finish();
        return;
    }

    std::vector<Job> jobs;
    QSet<QByteArray> planned;
    auto editedThere = [this](const QString &summary) { m_outcome.editedThere << summary; };
    for (const PublishEvent &event : m_plan) {
        planned.insert(event.uid);
        const QByteArray hash = publishedHash(event.text);
        const auto recorded = m_record->events().constFind(event.uid);
        if (recorded == m_record->events().constEnd()) {
            jobs.push_back({ Kind::Create, event.uid, event.summary, folder + resourceName(event.uid), {},
                event.text, hash });
            continue;
        }
        const auto server = onServer.constFind(recorded->href);
        if (server == onServer.constEnd()) {
            // Removed on the server by someone: theirs to decide, as an edit is.
            if (m_options.overwriteEdited)
                jobs.push_back(
                    { Kind::Create, event.uid, event.summary, recorded->href, {}, event.text, hash });
            else
                editedThere(event.summary);
        } else if (*server != recorded->etag || recorded->etag.isEmpty()) {
            if (m_options.overwriteEdited)
                jobs.push_back(
                    { Kind::Replace, event.uid, event.summary, recorded->href, *server, event.text, hash });
            else
                editedThere(event.summary);
        } else if (recorded->hash != hash) {
            jobs.push_back(
                { Kind::Replace, event.uid, event.summary, recorded->href, *server, event.text, hash });
        } else {
            ++m_outcome.unchanged;
        }
    }
    QString error;
    QList<QByteArray> gone;
    for (const RecordedEvent &recorded : m_record->events()) {
        if (planned.contains(recorded.uid))
            continue;
        const auto server = onServer.constFind(recorded.href);
        if (server == onServer.constEnd()) {
            // Already gone from the calendar: nothing left to remove.
            gone << recorded.uid;
        } else if (*server != recorded.etag || recorded.etag.isEmpty()) {
            if (m_options.overwriteEdited)
                jobs.push_back(
                    { Kind::Delete, recorded.uid, recorded.summary, recorded.href, *server, {}, {} });
            else
                editedThere(recorded.summary);
        } else {
            jobs.push_back({ Kind::Delete, recorded.uid, recorded.summary, recorded.href, *server, {}, {} });
        }
    }

    for (const QByteArray &uid : gone)
        m_record->remove(uid, &error);
    m_total = int(jobs.size());
    emit progress(0, m_total);
    for (const Job &job : jobs)
        run(job);
    if (m_open == 0)
        finish();
}

void Publisher::run(const Job &job)
{
    QUrl url = m_options.calendar;
    url.setPath(job.href);
    QList<DavConnection::Header> headers;
    QByteArray method = "PUT";
    switch (job.kind) {
    case Kind::Create:
        headers << DavConnection::Header { "If-None-Match", "*" }
                << DavConnection::Header { "Content-Type", kCalendarType };
        break;
    case Kind::Replace:
        headers << DavConnection::Header { "If-Match", job.etag }
                << DavConnection::Header { "Content-Type", kCalendarType };
        break;
    case Kind::Delete:
        method = "DELETE";
        headers << DavConnection::Header { "If-Match", job.etag };
        break;
    }
    ++m_open;
    m_connection->send(method, url, headers, job.kind == Kind::Delete ? QByteArray() : job.text,
        [this, job](const DavResponse &response) { answered(job, response); });
}

void Publisher::answered(const Job &job, const DavResponse &response)
{
    --m_open;
    // Requests the server carried out count and are recorded even after a stop.
    if (response.succeeded() || (job.kind == Kind::Delete && response.status == 404)) {
        record(job, response.etag);
        if (job.adopting || job.kind == Kind::Replace)
            ++m_outcome.changed;
        else if (job.kind == Kind::Create)
            ++m_outcome.created;
        else
            ++m_outcome.removed;
    } else if (m_stopping) {
        // Its reason is already told.
    } else if (!response.answered() || response.status == 401) {
        stop(response);
    } else if (response.status == 412 && job.kind == Kind::Create && !job.adopting) {
        adopt(job);
        return;
    } else if (response.status == 412) {
        // The event changed on the server between the listing and this request.
        m_outcome.editedThere << job.summary;
    } else {
        const QString action
            = job.kind == Kind::Delete ? QStringLiteral("remove") : QStringLiteral("publish");
        m_outcome.failures << QStringLiteral("Could not %1 \"%2\": %3 %4")
                                  .arg(action, job.summary)
                                  .arg(response.status)
                                  .arg(response.reason);
    }
    jobDone();
}

// A resource at the new event's address: either Ambrel's own, published by a run whose record was lost, or
// someone else's, which is never touched.
void Publisher::adopt(const Job &job)
{
    QUrl url = m_options.calendar;
    url.setPath(job.href);
    ++m_open;
    m_connection->send("GET", url, {}, {}, [this, job](const DavResponse &response) {
        --m_open;
        const QByteArray theirs = unfolded(response.body);
        const QByteArray owner = ownerLine(unfolded(job.text));
        const bool ours = response.succeeded() && theirs.contains("\r\nUID:" + job.uid + "\r\n")
            && !owner.isEmpty() && theirs.contains(owner);
        if (m_stopping || !ours || response.etag.isEmpty()) {
            if (!m_stopping && !response.answered()) {
                stop(response);
            } else if (!m_stopping) {
                m_outcome.failures << QStringLiteral(
                    "Could not publish \"%1\": the calendar already holds another "
                    "event at %2, which Ambrel leaves alone.")
                                          .arg(job.summary, job.href);
            }
            jobDone();
            return;
        }
        Job replace = job;
        replace.kind = Kind::Replace;
        replace.etag = response.etag;
        replace.adopting = true;
        run(replace);
    });
}

void Publisher::stop(const DavResponse &response)
{
    if (m_stopping)
        return;
    m_stopping = true;
    m_outcome.unauthorized = response.status == 401;
    m_outcome.tls = response.tls;
    m_outcome.stopped = response.status == 401
        ? QStringLiteral("%1 refused the user name or password (401 %2).")
              .arg(response.url.host(), response.reason)
        : QStringLiteral("Publishing stopped: %1").arg(response.failure);
    m_connection->cancelAll();
}

void Publisher::record(const Job &job, const QByteArray &etag)
{
    QString error;
    const bool written = job.kind == Kind::Delete
        ? m_record->remove(job.uid, &error)
        : m_record->put(RecordedEvent { job.uid, job.href, etag, job.hash, job.summary }, &error);
    if (!written && !m_stopping) {
        // Without a record the next publish could not tell these events from someone else's.
        m_stopping = true;
        m_outcome.stopped = error;
        m_connection->cancelAll();
    }
}

void Publisher::jobDone()
{
    ++m_done;
    emit progress(m_done, m_total);
    if (m_open == 0)
        fillMissingEtags();
}

// A server that changes what it stores gives no ETag with its answer; the listing gives the one it keeps, or
// the next publish would take the event for edited there.
void Publisher::fillMissingEtags()
{
    bool missing = false;
    for (const RecordedEvent &event : m_record->events())
        missing = missing || event.etag.isEmpty();
    if (!missing || m_stopping) {
        finish();
        return;
    }
    ++m_open;
    m_connection->send("PROPFIND", m_options.calendar, { { "Depth", "1" }, { "Content-Type", kXml } },
        propfindBody({ QStringLiteral("getetag") }, {}), [this](const DavResponse &response) {
            --m_open;
            QHash<QString, QByteArray> onServer;
            for (const DavEntry &entry : parseMultistatus(response.body))
                onServer.insert(entry.href, entry.etag);
            QString error;
            const QList<RecordedEvent> events = m_record->events().values();
            for (RecordedEvent event : events) {
                if (event.etag.isEmpty() && !onServer.value(event.href).isEmpty()) {
                    event.etag = onServer.value(event.href);
                    m_record->put(event, &error);
                }
            }
            finish();
        });
}

void Publisher::finish()
{
    if (m_finished || m_open > 0)
        return;
    m_finished = true;
    QString error;
    if (m_record && !m_record->compact(&error) && m_outcome.stopped.isEmpty())
        m_outcome.stopped = error;
    emit finished(m_outcome);
}

PublishOutcome publishAndWait(
    DavConnection &connection, const PublishOptions &options, std::vector<PublishEvent> plan)
{
    Publisher publisher(&connection);
    PublishOutcome result;
    QEventLoop loop;
    QObject::connect(&publisher, &Publisher::finished, &loop, [&](const PublishOutcome &outcome) {
        result = outcome;
        loop.quit();
    });
    publisher.start(options, std::move(plan));
    loop.exec();
    return result;
}

} // namespace ambrel
