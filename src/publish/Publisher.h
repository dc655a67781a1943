#pragma once

#include "export/EventRow.h"
#include "export/IcsWriter.h"
#include "publish/DavConnection.h"
#include "publish/PublishRecord.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

namespace ambrel {

// One event of the plan as it is published: one resource of the calendar.
struct PublishEvent {
    QByteArray uid;
    QString summary;
    QByteArray text; // a VCALENDAR with the one VEVENT
};

// The plan's events as resources; the same refusals as the iCalendar export.
Refusable<std::vector<PublishEvent>> publishEvents(
    const IcsOptions &options, const std::vector<EventRow> &events);

struct PublishOptions {
    QUrl calendar; // the calendar's own address
    QString projectId; // keys the record together with the calendar
    QString recordFolder; // the person's data folder
    bool overwriteEdited = false; // replace or remove events edited on the server since they were published
    QString projectFile = {}; // the project file published from; empty for one never saved or read from input
    int lockWaitMs = 5'000; // how long to wait for another publish of the same record
};

// What a publish did, and what it could not.
struct PublishOutcome {
    int created = 0;
    int changed = 0;
    int removed = 0;
    int unchanged = 0;
    QStringList editedThere; // events changed on the server since, left as they are: their summaries
    QStringList failures; // each refused request, naming its event and the server's reason
    std::optional<Refusal> stopped; // why publishing stopped before the end; nothing when it ran through
    bool unauthorized = false; // the server refused the user name or password
    bool notACalendar = false; // the address's listing shows no calendar there
    bool cancelled = false;
    std::optional<TlsProblem> tls;

    // Everything of the plan is on the calendar.
    bool complete() const { return editedThere.isEmpty() && failures.isEmpty() && !stopped; }
    // "5 new, 2 changed, 1 removed, 30 unchanged"
    QString summary() const;
};

// Publishes the plan's events to one calendar: creates new ones, replaces changed ones and removes those the
// plan no longer has, each guarded by its ETag, and touches nothing Ambrel did not put there. The record,
// not the listing, says what Ambrel put there; where the two disagree, the event itself is fetched and
// compared. Asynchronous; progress is emitted after each request, finished once.
class Publisher final : public QObject {
    Q_OBJECT

public:
    explicit Publisher(DavConnection *connection, QObject *parent = nullptr);

    void start(const PublishOptions &options, std::vector<PublishEvent> plan);
    // Stops after the requests already answered; the record keeps those.
    void cancel();

signals:
    void progress(int done, int total);
    void finished(const ambrel::PublishOutcome &outcome);

private:
    // Verify fetches an event whose ETag is not the recorded one, to tell a server's new tag from an edit.
    enum class Kind { Create, Replace, Delete, Verify };
    struct Job {
        Kind kind;
        QByteArray uid;
        QString summary;
        QString href;
        QByteArray etag; // the If-Match value
        QByteArray text; // empty when the plan no longer has the event
        QByteArray hash;
        QByteArray content; // eventContentKey(text)
        bool adopting = false;
        bool verified = false;
        bool sent = false; // this publish already sent the text once: a lost answer, the request made again
    };

    void listed(const DavResponse &response);
    void run(const Job &job);
    void answered(const Job &job, const DavResponse &response);
    void adopt(const Job &job);
    void verified(Job job, const DavResponse &response);
    void stop(const DavResponse &response);
    void record(const Job &job, const QByteArray &etag);
    void jobDone();
    void reconcile();
    void fillMissingEtags();
    void finish();

    DavConnection *m_connection;
    PublishOptions m_options;
    std::optional<PublishRecord> m_record;
    std::vector<PublishEvent> m_plan;
    PublishOutcome m_outcome;
    std::vector<Job> m_unanswered; // requests the server may have carried out without saying so
    QHash<QString, QByteArray> m_listed; // the events' paths and ETags listed before anything was sent
    int m_total = 0;
    int m_done = 0;
    int m_open = 0;
    bool m_stopping = false;
    bool m_finished = false;
};

// The same, waiting in a local event loop: for the command line.
PublishOutcome publishAndWait(
    DavConnection &connection, const PublishOptions &options, std::vector<PublishEvent> plan);

} // namespace ambrel
