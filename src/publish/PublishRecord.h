#pragma once

#include "corekit/Refusal.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QLockFile;

namespace ambrel {

// One event Ambrel put on the calendar.
struct RecordedEvent {
    QByteArray uid;
    QString href; // the resource's path on the server
    QByteArray etag; // as the server gave it after Ambrel's last request; empty when it gave none
    QByteArray hash; // of the text published, without its time stamp
    QString summary; // to name the event once the plan no longer has it
    QByteArray content; // eventContentKey of the text published; empty in records of earlier versions
};

// What Ambrel published of one project to one calendar, in a small text file of the data folder named after
// both. Each successful request appends a line at once, so a publish that stops halfway leaves a record that
// the next one carries on from; a finished publish rewrites the file with one line per event. One publish
// at a time holds the record's lock.
//
// The file: "Ambrel publish record 1", "Project: <Id>", "Calendar: <URL>", an empty line, then lines
// "put<TAB>uid<TAB>href<TAB>etag<TAB>hash<TAB>summary", "content<TAB>uid<TAB>key", "gone<TAB>uid" and
// "from<TAB>project file", each field percent-encoded; a later line about a UID wins over an earlier one.
// Versions before "content" and "from" lines skip them.
class PublishRecord final {
public:
    PublishRecord(const QString &folder, const QString &projectId, const QUrl &calendar);
    ~PublishRecord();

    QString path() const { return m_path; }
    // Waits up to waitMs for another publish of the same record to end. Refused naming the process that
    // holds it, or why the lock could not be made.
    std::optional<Refusal> lock(int waitMs);
    // Reads the file, or the one an earlier version kept under its own key, which is moved to this one; a
    // missing one is an empty record. Refused when it cannot be read.
    std::optional<Refusal> load();
    // Creates the file when it is missing, so that a record that cannot be written stops a publish before
    // anything is sent.
    std::optional<Refusal> prepare();
    const QHash<QByteArray, RecordedEvent> &events() const { return m_events; }
    // The project file last published from; empty when unknown.
    QString publishedFrom() const { return m_from; }
    void setPublishedFrom(const QString &path) { m_from = path; }

    std::optional<Refusal> put(const RecordedEvent &event);
    std::optional<Refusal> remove(const QByteArray &uid);
    // Rewrites the file with the events as they stand, atomically.
    std::optional<Refusal> compact();

private:
    std::optional<Refusal> append(const QByteArray &line);
    std::optional<Refusal> read(const QString &path, const QByteArray &header);
    QByteArray header(const QString &calendar) const;

    QString m_folder;
    QString m_path;
    QString m_legacyPath;
    QString m_projectId;
    QString m_calendar;
    QString m_legacyCalendar;
    QString m_from;
    QHash<QByteArray, RecordedEvent> m_events;
    QFile m_journal;
    std::unique_ptr<QLockFile> m_lock;
};

// The hash a record keeps of an event's text: its DTSTAMP changes on every publish and is left out.
QByteArray publishedHash(const QByteArray &text);

// What an event says, as far as Ambrel wrote it: its own properties, unfolded and in order, without the
// time stamp and whatever a server adds on storing it. Two texts with the same key are the same event.
QByteArray eventContentKey(const QByteArray &text);

// The address a calendar is known by: without user information, with the scheme and host in lower case,
// no default port, a closing slash, and one name for this machine.
QString calendarKey(const QUrl &calendar);

} // namespace ambrel
