#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QUrl>

namespace ambrel {

// One event Ambrel put on the calendar.
struct RecordedEvent {
    QByteArray uid;
    QString href; // the resource's path on the server
    QByteArray etag; // as the server gave it after Ambrel's last request; empty when it gave none
    QByteArray hash; // of the text published, without its time stamp
    QString summary; // to name the event once the plan no longer has it
};

// What Ambrel published of one project to one calendar, in a small text file of the data folder named after
// both. Each successful request appends a line at once, so a publish that stops halfway leaves a record that
// the next one carries on from; a finished publish rewrites the file with one line per event.
//
// The file: "Ambrel publish record 1", "Project: <Id>", "Calendar: <URL>", an empty line, then lines
// "put<TAB>uid<TAB>href<TAB>etag<TAB>hash<TAB>summary" and "gone<TAB>uid", each field percent-encoded; a
// later line about a UID wins over an earlier one.
class PublishRecord final {
public:
    PublishRecord(const QString &folder, const QString &projectId, const QUrl &calendar);

    QString path() const { return m_path; }
    // Reads the file; a missing one is an empty record. False with *error when it cannot be read.
    bool load(QString *error);
    const QHash<QByteArray, RecordedEvent> &events() const { return m_events; }

    bool put(const RecordedEvent &event, QString *error);
    bool remove(const QByteArray &uid, QString *error);
    // Rewrites the file with the events as they stand, atomically.
    bool compact(QString *error);

private:
    bool append(const QByteArray &line, QString *error);
    QByteArray header() const;

    QString m_path;
    QString m_projectId;
    QString m_calendar;
    QHash<QByteArray, RecordedEvent> m_events;
    QFile m_journal;
};

// The hash a record keeps of an event's text: its DTSTAMP changes on every publish and is left out.
QByteArray publishedHash(const QByteArray &text);

} // namespace ambrel
