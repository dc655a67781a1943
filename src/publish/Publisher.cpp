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

Refusable<std::vector<PublishEvent>> publishEvents(
    const IcsOptions &options, const std::vector<EventRow> &events)
{
    Refusable<std::vector<IcsResource>> made = calendarIcsResources(options, events);
    if (made.refused())
        return made.refusal();
    std::vector<IcsResource> &resources = *made;
    std::vector<PublishEvent> plan;
    plan.reserve(resources.size());
    for (std::size_t i = 0; i < resources.size(); ++i)
        plan.push_back(PublishEvent { resources[i].uid, events[i].title(), std::move(resources[i].text) });
    return plan;
}

Publisher::Publisher(DavConnection *connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{
}

void Publisher::start(const PublishOptions &options, std::vector<PublishEvent> plan)
{
    m_options = options;
    // A collection's own address ends in a slash; some servers answer only that one.
    if (!m_options.calendar.path().endsWith(QLatin1Char('/')))
        m_options.calendar.setPath(m_options.calendar.path() + QLatin1Char('/'));
    m_plan = std::move(plan);
    m_outcome = {};
    m_unanswered.clear();
    m_total = m_done = m_open = 0;
    m_stopping = m_finished = false;
    m_record.emplace(options.recordFolder, options.projectId, options.calendar);
    // Nothing is sent unless what the server does can be recorded.
    std::optional<Refusal> unrecorded = m_record->lock(options.lockWaitMs);
    if (!unrecorded)
        unrecorded = m_record->load();
    if (!unrecorded)
        unrecorded = m_record->prepare();
    if (unrecorded) {
        m_record.reset();
        m_outcome.stopped = std::move(unrecorded);
        QMetaObject::invokeMethod(this, &Publisher::finish, Qt::QueuedConnection);
        return;
    }
    if (!options.projectFile.isEmpty())
        m_record->setPublishedFrom(options.projectFile);
    ++m_open;
    m_connection->send("PROPFIND", m_options.calendar, { { "Depth", "1" }, { "Content-Type", kXml } },
        propfindBody({ QStringLiteral("getetag"), QStringLiteral("resourcetype") }, {}),
        [this](const DavResponse &response) { listed(response); });
}

void Publisher::cancel()
{
    if (m_finished || m_stopping)
        return;
    m_outcome.cancelled = true;
    m_outcome.stopped = Refusal { QStringLiteral("Publishing was cancelled.") };
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
        m_outcome.stopped = Refusal { requestFailure(
            response, QStringLiteral("the calendar %1").arg(m_options.calendar.toDisplayString())) };
        finish();
        return;
    }
    const QString folder = collectionPath(m_options.calendar);
    QHash<QString, QByteArray> onServer;
    bool isCalendar = false;
    m_listed.clear();
    for (const DavEntry &entry : entries) {
        if (!entry.isCollection)
            onServer.insert(entry.href, entry.etag);
        if (!entry.isCollection)
            m_listed.insert(entry.href, entry.etag);
        else if (withSlash(entry.href) == folder)
            isCalendar = entry.isCalendar;
    }
    // Anywhere else the events would land among what the folder holds, where no calendar shows them.
    if (!isCalendar) {
        m_outcome.notACalendar = true;
        m_outcome.stopped
            = Refusal { QStringLiteral("%1 is not a calendar.").arg(m_options.calendar.toDisplayString()) };
        finish();
        return;
    }

    std::vector<Job> jobs;
    QSet<QByteArray> planned;
    for (const PublishEvent &event : m_plan) {
        planned.insert(event.uid);
        const QByteArray hash = publishedHash(event.text);
        const QByteArray content = eventContentKey(event.text);
        const auto recorded = m_record->events().constFind(event.uid);
        if (recorded == m_record->events().constEnd()) {
            jobs.push_back({ Kind::Create, event.uid, event.summary, folder + resourceName(event.uid), {},
                event.text, hash, content });
            continue;
        }
        const auto server = onServer.constFind(recorded->href);
        if (server == onServer.constEnd() || *server != recorded->etag || recorded->etag.isEmpty()) {
            // Left out of the listing, or tagged anew: only the event itself tells what happened to it.
            jobs.push_back(
                { Kind::Verify, event.uid, event.summary, recorded->href, {}, event.text, hash, content });
        } else if (recorded->hash != hash) {
            jobs.push_back({ Kind::Replace, event.uid, event.summary, recorded->href, *server, event.text,
                hash, content });
        } else {
            ++m_outcome.unchanged;
        }
    }
    for (const RecordedEvent &recorded : m_record->events()) {
        if (planned.contains(recorded.uid))
            continue;
        const auto server = onServer.constFind(recorded.href);
        const bool sameTag = server != onServer.constEnd() && *server == recorded.etag;
        // What the record says was published goes, whether or not a listing showed it; a 404 says it went.
        if (!recorded.etag.isEmpty() && (sameTag || server == onServer.constEnd()))
            jobs.push_back(
                { Kind::Delete, recorded.uid, recorded.summary, recorded.href, recorded.etag, {}, {}, {} });
        else
            jobs.push_back({ Kind::Verify, recorded.uid, recorded.summary, recorded.href, {}, {}, {}, {} });
    }

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
    case Kind::Verify:
        method = "GET";
        break;
    }
    ++m_open;
    const bool sendsText = job.kind == Kind::Create || job.kind == Kind::Replace;
    m_connection->send(method, url, headers, sendsText ? job.text : QByteArray(),
        [this, job](const DavResponse &response) { answered(job, response); });
}

void Publisher::answered(const Job &job, const DavResponse &response)
{
    --m_open;
    if (job.kind == Kind::Verify && response.status != 0 && !m_stopping) {
        verified(job, response);
        return;
    }
    // Requests the server carried out count and are recorded even after a stop.
    if (job.kind != Kind::Verify
        && (response.succeeded() || (job.kind == Kind::Delete && response.status == 404))) {
        record(job, response.etag);
        if (job.adopting || job.kind == Kind::Replace)
            ++m_outcome.changed;
        else if (job.kind == Kind::Create)
            ++m_outcome.created;
        else if (response.status != 404 || m_listed.contains(job.href))
            ++m_outcome.removed; // a 404 for a listed event: a request made again after its answer was lost
    } else if (!response.answered() && job.kind != Kind::Verify && !m_outcome.cancelled) {
        // The answer was lost, or cut off by a stop: the server may have carried the request out.
        m_unanswered.push_back(job);
        stop(response);
    } else if (m_stopping) {
        // Its reason is already told.
    } else if (!response.answered() || response.status == 401 || response.status == 507
        || response.status == 503 || response.status == 429) {
        stop(response);
    } else if (response.status == 412 && job.kind == Kind::Create && !job.adopting) {
        adopt(job);
        return;
    } else if (response.status == 412 && !job.verified) {
        // The ETag changed since the listing: a server's new tag or someone's edit.
        Job verify = job;
        verify.kind = Kind::Verify;
        verify.sent = job.kind == Kind::Replace;
        run(verify);
        return;
    } else if (response.status == 412) {
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

// The event as the server holds it, where its ETag is not the recorded one: the same content as the plan
// needs nothing but the new tag recorded, the content Ambrel last published is the server's own change of
// tag, and anything else is someone's edit.
void Publisher::verified(Job job, const DavResponse &response)
{
    const bool planned = !job.text.isEmpty();
    const RecordedEvent recorded = m_record->events().value(job.uid);
    job.verified = true;
    if (response.status == 404) {
        if (!planned) {
            record({ Kind::Delete, job.uid, job.summary, job.href, {}, {}, {}, {} }, {});
        } else if (m_options.overwriteEdited) {
            job.kind = Kind::Create;
            run(job);
            return;
        } else {
            // Removed in the calendar by someone: theirs to decide, as an edit is.
            m_outcome.editedThere << job.summary;
        }
        jobDone();
        return;
    }
    // A server that gives no ETag with an event may still have listed one.
    const QByteArray etag = response.etag.isEmpty() ? m_listed.value(job.href) : response.etag;
    if (!response.succeeded() || etag.isEmpty()) {
        if (response.status == 401 || response.status == 507 || response.status == 503
            || response.status == 429)
            stop(response);
        else
            m_outcome.failures << QStringLiteral("Could not read \"%1\" back from the calendar: %2 %3")
                                      .arg(job.summary)
                                      .arg(response.status)
                                      .arg(response.succeeded() ? QStringLiteral("no ETag came with it")
                                                                : response.reason);
        jobDone();
        return;
    }
    const QByteArray theirs = eventContentKey(response.body);
    const bool asPublished
        = !theirs.isEmpty() && (theirs == recorded.content || publishedHash(response.body) == recorded.hash);
    if (planned && theirs == job.content) {
        job.kind = Kind::Replace;
        record(job, etag);
        ++(job.sent ? m_outcome.changed : m_outcome.unchanged);
    } else if (asPublished || m_options.overwriteEdited) {
        job.kind = planned ? Kind::Replace : Kind::Delete;
        job.etag = etag;
        run(job);
        return;
    } else {
        m_outcome.editedThere << job.summary;
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
        if (eventContentKey(response.body) == job.content) {
            // Already as the plan has it: stored by this publish when the listing did not show it yet (its
            // answer lost, the request made again), else by an earlier one whose record was lost.
            record(replace, response.etag);
            ++(m_listed.contains(job.href) ? m_outcome.unchanged : m_outcome.created);
            jobDone();
            return;
        }
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
    const QString host = response.url.host();
    QString told;
    if (response.status == 401) {
        told = QStringLiteral("%1 refused the user name or password (401 %2).").arg(host, response.reason);
    } else if (response.status == 507) {
        told = QStringLiteral("%1 has no room left for more events (507 %2); publishing stopped.")
                   .arg(host, response.reason);
    } else if (response.status == 503 || response.status == 429) {
        const QString wait = response.retryAfter > DavConnection::MaxRetryWaitSeconds
            ? QStringLiteral(" and asked to wait %1 seconds").arg(response.retryAfter)
            : QString();
        told = QStringLiteral("%1 is not taking requests now (%2 %3)%4; publishing stopped, publish "
                              "again later.")
                   .arg(host)
                   .arg(response.status)
                   .arg(response.reason, wait);
    } else {
        told = QStringLiteral("Publishing stopped: %1").arg(response.failure);
    }
    m_outcome.stopped = Refusal { told };
    m_connection->cancelAll();
}

void Publisher::record(const Job &job, const QByteArray &etag)
{
    std::optional<Refusal> unwritten = job.kind == Kind::Delete
        ? m_record->remove(job.uid)
        : m_record->put(RecordedEvent { job.uid, job.href, etag, job.hash, job.summary, job.content });
    if (unwritten && !m_stopping) {
        // Without a record the next publish could not tell these events from someone else's.
        m_stopping = true;
        m_outcome.stopped = std::move(unwritten);
        m_connection->cancelAll();
    }
}

void Publisher::jobDone()
{
    ++m_done;
    emit progress(m_done, m_total);
    // An answer that comes in after the publish finished has nothing left to settle: the record is closed.
    if (m_open == 0 && !m_finished)
        reconcile();
}

// After a broken connection the server may have carried out requests whose answers were lost; one more
// listing tells, so that the counts and the record say what the server holds.
void Publisher::reconcile()
{
    if (m_unanswered.empty() || m_outcome.cancelled || m_finished) {
        fillMissingEtags();
        return;
    }
    std::vector<Job> unanswered;
    unanswered.swap(m_unanswered);
    ++m_open;
    m_connection->send("PROPFIND", m_options.calendar, { { "Depth", "1" }, { "Content-Type", kXml } },
        propfindBody({ QStringLiteral("getetag") }, {}), [this, unanswered](const DavResponse &response) {
            --m_open;
            if (m_finished || !m_record)
                return;
            bool ok = false;
            const QList<DavEntry> entries
                = response.status == 207 ? parseMultistatus(response.body, &ok) : QList<DavEntry>();
            QHash<QString, QByteArray> onServer;
            for (const DavEntry &entry : entries)
                onServer.insert(entry.href, entry.etag);
            for (const Job &job : unanswered) {
                if (!ok)
                    break;
                const auto server = onServer.constFind(job.href);
                if (job.kind == Kind::Delete && server == onServer.constEnd()) {
                    record(job, {});
                    ++m_outcome.removed;
                } else if (job.kind == Kind::Create && server != onServer.constEnd()) {
                    record(job, *server);
                    ++m_outcome.created;
                } else if (job.kind == Kind::Replace && server != onServer.constEnd()
                    && *server != job.etag) {
                    record(job, *server);
                    ++m_outcome.changed;
                }
            }
            finish();
        });
}

// A server that changes what it stores gives no ETag with its answer; the listing gives the one it keeps, or
// the next publish would take the event for edited there.
void Publisher::fillMissingEtags()
{
    if (m_finished || !m_record)
        return;
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
            if (m_finished || !m_record)
                return;
            QHash<QString, QByteArray> onServer;
            for (const DavEntry &entry : parseMultistatus(response.body))
                onServer.insert(entry.href, entry.etag);
            const QList<RecordedEvent> events = m_record->events().values();
            for (RecordedEvent event : events) {
                if (event.etag.isEmpty() && !onServer.value(event.href).isEmpty()) {
                    event.etag = onServer.value(event.href);
                    m_record->put(event);
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
    // Answers come in any order; the names are told in a fixed one.
    m_outcome.editedThere.sort();
    if (m_record) {
        if (std::optional<Refusal> uncompacted = m_record->compact(); uncompacted && !m_outcome.stopped)
            m_outcome.stopped = std::move(uncompacted);
    }
    // Lets the next publish of the same record go ahead.
    m_record.reset();
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
