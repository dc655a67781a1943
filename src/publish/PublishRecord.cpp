#include "PublishRecord.h"

#include "corekit/AtomicFile.h"

#include <QCryptographicHash>
#include <QDir>

namespace ambrel {

namespace {

const QByteArray kFirstLine("Ambrel publish record 1");

QByteArray field(const QByteArray &value)
{
    return value.toPercentEncoding();
}

QByteArray field(const QString &value)
{
    return value.toUtf8().toPercentEncoding();
}

QByteArray eventLine(const RecordedEvent &event)
{
    return "put\t" + field(event.uid) + '\t' + field(event.href) + '\t' + field(event.etag) + '\t'
        + field(event.hash) + '\t' + field(event.summary) + '\n';
}

// The same calendar written with or without its closing slash is one calendar.
QString calendarKey(QUrl calendar)
{
    calendar.setUserInfo(QString());
    if (!calendar.path().endsWith(QLatin1Char('/')))
        calendar.setPath(calendar.path() + QLatin1Char('/'));
    return calendar.toString(QUrl::FullyEncoded | QUrl::NormalizePathSegments);
}

} // namespace

QByteArray publishedHash(const QByteArray &text)
{
    QByteArray stable = text;
    const qsizetype stamp = stable.indexOf("\r\nDTSTAMP:");
    if (stamp >= 0) {
        const qsizetype end = stable.indexOf("\r\n", stamp + 2);
        stable.remove(stamp, (end < 0 ? stable.size() : end) - stamp);
    }
    return QCryptographicHash::hash(stable, QCryptographicHash::Sha256).toHex().left(32);
}

PublishRecord::PublishRecord(const QString &folder, const QString &projectId, const QUrl &calendar)
    : m_projectId(projectId)
    , m_calendar(calendarKey(calendar))
{
    const QByteArray key = QCryptographicHash::hash(
        projectId.toUtf8() + '\n' + m_calendar.toUtf8(), QCryptographicHash::Sha256)
                               .toHex()
                               .left(24);
    m_path = QDir(folder).filePath(QStringLiteral("publish-%1.txt").arg(QString::fromLatin1(key)));
}

QByteArray PublishRecord::header() const
{
    return kFirstLine + "\nProject: " + field(m_projectId) + "\nCalendar: " + field(m_calendar) + "\n\n";
}

bool PublishRecord::load(QString *error)
{
    m_events.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Could not read %1: %2")
                         .arg(QDir::toNativeSeparators(m_path), file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    // Another project or calendar whose key came out alike is not this record; start afresh.
    if (!bytes.startsWith(header()))
        return true;
    const QList<QByteArray> lines = bytes.mid(header().size()).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() == 6 && parts[0] == "put") {
            RecordedEvent event { QByteArray::fromPercentEncoding(parts[1]),
                QString::fromUtf8(QByteArray::fromPercentEncoding(parts[2])),
                QByteArray::fromPercentEncoding(parts[3]), QByteArray::fromPercentEncoding(parts[4]),
                QString::fromUtf8(QByteArray::fromPercentEncoding(parts[5])) };
            m_events.insert(event.uid, event);
        } else if (parts.size() == 2 && parts[0] == "gone") {
            m_events.remove(QByteArray::fromPercentEncoding(parts[1]));
        }
        // A line cut short by a crash is left out: its request is made again next time.
    }
    return true;
}

bool PublishRecord::append(const QByteArray &line, QString *error)
{
    if (!m_journal.isOpen()) {
        m_journal.setFileName(m_path);
        const bool fresh = !m_journal.exists() || m_journal.size() == 0;
        if (!QDir().mkpath(QFileInfo(m_path).absolutePath()) || !m_journal.open(QIODevice::Append)
            || (fresh && m_journal.write(header()) < 0)) {
            if (error)
                *error = QStringLiteral("Could not write %1: %2")
                             .arg(QDir::toNativeSeparators(m_path), m_journal.errorString());
            m_journal.close();
            return false;
        }
    }
    if (m_journal.write(line) != line.size() || !m_journal.flush()) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2")
                         .arg(QDir::toNativeSeparators(m_path), m_journal.errorString());
        return false;
    }
    return true;
}

bool PublishRecord::put(const RecordedEvent &event, QString *error)
{
    m_events.insert(event.uid, event);
    return append(eventLine(event), error);
}

bool PublishRecord::remove(const QByteArray &uid, QString *error)
{
    m_events.remove(uid);
    return append("gone\t" + field(uid) + '\n', error);
}

bool PublishRecord::compact(QString *error)
{
    m_journal.close();
    QByteArray bytes = header();
    QList<QByteArray> uids = m_events.keys();
    std::sort(uids.begin(), uids.end());
    for (const QByteArray &uid : uids)
        bytes += eventLine(m_events.value(uid));
    QString reason;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()) || !writeFileAtomically(m_path, bytes, &reason)) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(m_path), reason);
        return false;
    }
    return true;
}

} // namespace ambrel
