#include "PublishRecord.h"

#include "corekit/AtomicFile.h"
#include "publish/DavConnection.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>

#include <algorithm>

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

QByteArray unfield(const QByteArray &value)
{
    return QByteArray::fromPercentEncoding(value);
}

QByteArray eventLines(const RecordedEvent &event)
{
    QByteArray lines = "put\t" + field(event.uid) + '\t' + field(event.href) + '\t' + field(event.etag) + '\t'
        + field(event.hash) + '\t' + field(event.summary) + '\n';
    if (!event.content.isEmpty())
        lines += "content\t" + field(event.uid) + '\t' + field(event.content) + '\n';
    return lines;
}

// The key the first versions gave a calendar: only user information and the closing slash were evened out.
QString legacyCalendarKey(QUrl calendar)
{
    calendar.setUserInfo(QString());
    if (!calendar.path().endsWith(QLatin1Char('/')))
        calendar.setPath(calendar.path() + QLatin1Char('/'));
    return calendar.toString(QUrl::FullyEncoded | QUrl::NormalizePathSegments);
}

QString recordPath(const QString &folder, const QString &projectId, const QString &calendar)
{
    const QByteArray key
        = QCryptographicHash::hash(projectId.toUtf8() + '\n' + calendar.toUtf8(), QCryptographicHash::Sha256)
              .toHex()
              .left(24);
    return QDir(folder).filePath(QStringLiteral("publish-%1.txt").arg(QString::fromLatin1(key)));
}

Refusal writeFailure(const QString &path, const QString &reason)
{
    return couldNotWrite(
        QStringLiteral("the publishing record %1").arg(QDir::toNativeSeparators(path)), reason);
}

} // namespace

QString calendarKey(const QUrl &calendar)
{
    QUrl url = calendar.adjusted(QUrl::RemoveUserInfo | QUrl::NormalizePathSegments);
    url.setScheme(url.scheme().toLower());
    url.setHost(isLoopbackHost(url.host()) ? QStringLiteral("localhost") : url.host().toLower());
    if (url.port() == (url.scheme() == QLatin1String("https") ? 443 : 80))
        url.setPort(-1);
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url.toString(QUrl::FullyEncoded);
}

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

QByteArray eventContentKey(const QByteArray &text)
{
    // The properties Ambrel writes; a server's CREATED, LAST-MODIFIED, SEQUENCE or own X- lines are not.
    static const QList<QByteArray> written { "UID", "DTSTART", "DTEND", "DURATION", "RRULE", "RDATE",
        "EXDATE", "SUMMARY", "DESCRIPTION", "LOCATION", "X-AMBREL-PROJECT" };
    QByteArray unfolded = text;
    unfolded.replace("\r\n", "\n").replace("\n ", "").replace("\n\t", "");
    QList<QByteArray> kept;
    bool inEvent = false;
    for (const QByteArray &line : unfolded.split('\n')) {
        if (line == "BEGIN:VEVENT")
            inEvent = true;
        else if (line == "END:VEVENT")
            break;
        qsizetype nameEnd = 0;
        while (nameEnd < line.size() && line[nameEnd] != ':' && line[nameEnd] != ';')
            ++nameEnd;
        if (inEvent && written.contains(line.left(nameEnd).toUpper()))
            kept << line;
    }
    if (kept.isEmpty())
        return {};
    std::sort(kept.begin(), kept.end());
    return QCryptographicHash::hash(kept.join('\n'), QCryptographicHash::Sha256).toHex().left(32);
}

PublishRecord::PublishRecord(const QString &folder, const QString &projectId, const QUrl &calendar)
    : m_folder(folder)
    , m_projectId(projectId)
    , m_calendar(calendarKey(calendar))
    , m_legacyCalendar(legacyCalendarKey(calendar))
{
    m_path = recordPath(folder, projectId, m_calendar);
    m_legacyPath = recordPath(folder, projectId, m_legacyCalendar);
}

PublishRecord::~PublishRecord() = default;

QByteArray PublishRecord::header(const QString &calendar) const
{
    return kFirstLine + "\nProject: " + field(m_projectId) + "\nCalendar: " + field(calendar) + "\n\n";
}

std::optional<Refusal> PublishRecord::lock(int waitMs)
{
    QString reason;
    if (!makeOwnerOnlyFolder(m_folder, &reason))
        return writeFailure(m_path, reason);
    m_lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
    // Only a lock whose process has gone is stale: a publish of many events may take minutes.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(waitMs))
        return std::nullopt;
    qint64 pid = 0;
    QString host;
    QString program;
    Refusal refusal;
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->getLockInfo(&pid, &host, &program)) {
        refusal.text
            = QStringLiteral("Another publish of this project to this calendar is running (%1, process %2 on "
                             "%3); try again when it has ended.")
                  .arg(program.isEmpty() ? QStringLiteral("a program") : program)
                  .arg(pid)
                  .arg(host);
    } else {
        refusal = writeFailure(m_path + QStringLiteral(".lock"),
            m_lock->error() == QLockFile::PermissionError ? QStringLiteral("permission denied")
                                                          : QStringLiteral("it is held by another publish"));
    }
    m_lock.reset();
    return refusal;
}

std::optional<Refusal> PublishRecord::read(const QString &path, const QByteArray &header)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Refusal {
            QStringLiteral("Could not read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString())
        };
    }
    const QByteArray bytes = file.readAll();
    // Another project or calendar whose key came out alike is not this record; start afresh.
    if (!bytes.startsWith(header))
        return std::nullopt;
    const QList<QByteArray> lines = bytes.mid(header.size()).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() == 6 && parts[0] == "put") {
            RecordedEvent event { unfield(parts[1]), QString::fromUtf8(unfield(parts[2])), unfield(parts[3]),
                unfield(parts[4]), QString::fromUtf8(unfield(parts[5])), {} };
            m_events.insert(event.uid, event);
        } else if (parts.size() == 3 && parts[0] == "content") {
            const auto event = m_events.find(unfield(parts[1]));
            if (event != m_events.end())
                event->content = unfield(parts[2]);
        } else if (parts.size() == 2 && parts[0] == "gone") {
            m_events.remove(unfield(parts[1]));
        } else if (parts.size() == 2 && parts[0] == "from") {
            m_from = QString::fromUtf8(unfield(parts[1]));
        }
        // A line cut short by a crash is left out: its request is made again next time.
    }
    return std::nullopt;
}

std::optional<Refusal> PublishRecord::load()
{
    m_events.clear();
    m_from.clear();
    if (QFile::exists(m_path))
        return read(m_path, header(m_calendar));
    if (m_legacyPath == m_path || !QFile::exists(m_legacyPath))
        return std::nullopt;
    if (std::optional<Refusal> unread = read(m_legacyPath, header(m_legacyCalendar)))
        return unread;
    // Under the new key from now on, so that every spelling of the address finds it; only by the publish
    // that holds the lock.
    if (m_lock && !compact())
        QFile::remove(m_legacyPath);
    return std::nullopt;
}

std::optional<Refusal> PublishRecord::prepare()
{
    QString reason;
    if (!makeOwnerOnlyFolder(m_folder, &reason)
        || (!QFile::exists(m_path)
            && !writeFileAtomically(m_path, header(m_calendar), &reason, WriteOption::OwnerOnly)))
        return writeFailure(m_path, reason);
    if (!m_journal.isOpen()) {
        m_journal.setFileName(m_path);
        if (!m_journal.open(QIODevice::Append))
            return writeFailure(m_path, m_journal.errorString());
    }
    return std::nullopt;
}

std::optional<Refusal> PublishRecord::append(const QByteArray &line)
{
    if (std::optional<Refusal> unprepared = prepare())
        return unprepared;
    if (m_journal.write(line) != line.size() || !m_journal.flush())
        return writeFailure(m_path, m_journal.errorString());
    return std::nullopt;
}

std::optional<Refusal> PublishRecord::put(const RecordedEvent &event)
{
    m_events.insert(event.uid, event);
    return append(eventLines(event));
}

std::optional<Refusal> PublishRecord::remove(const QByteArray &uid)
{
    m_events.remove(uid);
    return append("gone\t" + field(uid) + '\n');
}

std::optional<Refusal> PublishRecord::compact()
{
    m_journal.close();
    QByteArray bytes = header(m_calendar);
    if (!m_from.isEmpty())
        bytes += "from\t" + field(m_from) + '\n';
    QList<QByteArray> uids = m_events.keys();
    std::sort(uids.begin(), uids.end());
    for (const QByteArray &uid : uids)
        bytes += eventLines(m_events.value(uid));
    QString reason;
    if (!makeOwnerOnlyFolder(m_folder, &reason)
        || !writeFileAtomically(m_path, bytes, &reason, WriteOption::OwnerOnly))
        return writeFailure(m_path, reason);
    return std::nullopt;
}

} // namespace ambrel
