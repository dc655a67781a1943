#include "ProjectSession.h"

#include "corekit/AtomicFile.h"
#include "corekit/Paths.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QUuid>

namespace ambrel {

namespace {

const QString kLastFile = QStringLiteral("last-project.txt");
const QString kRecentFiles = QStringLiteral("recent-projects.txt");
const QString kUnsavedWork = QStringLiteral("unsaved.ambrel");
const QString kUnsavedChanges
    = QStringLiteral("unsaved-changes.txt"); // the file's path, a line feed, the project
// Each window's kept work: "<id>.kept" (the file's path or an empty line, a line feed, the project) beside
// the lock "<id>.lock" of the window that holds it.
const QString kWindows = QStringLiteral("windows");
const QString kKeptSuffix = QStringLiteral(".kept");
// Beside "<id>.kept": the digest of the file the kept changes were made to, as it was then.
const QString kBaseSuffix = QStringLiteral(".base");
const QString kTimeline = QStringLiteral("timeline.txt");
const QString kTimelineShown = QStringLiteral("shown");
const QString kTimelineHidden = QStringLiteral("hidden");
const QString kWindowPlace = QStringLiteral("window.txt");
const QString kCsvLayout = QStringLiteral("csvlayout.txt");
const QString kCsvPerDay = QStringLiteral("per-day");
const QString kCsvRuns = QStringLiteral("runs");

// A session file never holds more than a few paths or one project, so anything larger is not ours.
constexpr qint64 kLargestSessionFile = 16 * 1024 * 1024;

std::optional<QByteArray> readSessionFile(const QString &name)
{
    QFile file(QDir(ProjectSession::folder()).filePath(name));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSessionFile)
        return std::nullopt;
    return file.readAll();
}

std::optional<Refusal> writeSessionFile(const QString &name, const QByteArray &bytes)
{
    const QString folder = ProjectSession::folder();
    if (!QDir().mkpath(folder))
        return Refusal { QStringLiteral("Could not create the folder %1.").arg(QDir::toNativeSeparators(folder)) };
    return saveFileAtomically(QDir(folder).filePath(name), bytes);
}

QStringList lines(const std::optional<QByteArray> &bytes)
{
    if (!bytes)
        return {};
    QStringList found;
    for (const QString &line : QString::fromUtf8(*bytes).split(u'\n')) {
        if (!line.trimmed().isEmpty())
            found << line;
    }
    return found;
}

std::optional<Refusal> writeRecentFiles(const QStringList &paths)
{
    QByteArray bytes;
    for (const QString &path : paths)
        bytes += path.toUtf8() + '\n';
    return writeSessionFile(kRecentFiles, bytes);
}

} // namespace

QString ProjectSession::folder()
{
    return Paths::dataFolder();
}

QString ProjectSession::lastFile()
{
    const QStringList found = lines(readSessionFile(kLastFile));
    return found.isEmpty() ? QString() : found.first();
}

std::optional<Refusal> ProjectSession::setLastFile(const QString &path)
{
    return writeSessionFile(kLastFile, path.isEmpty() ? QByteArray() : path.toUtf8() + '\n');
}

QStringList ProjectSession::recentFiles()
{
    QStringList found = lines(readSessionFile(kRecentFiles));
    found.removeDuplicates();
    return found.mid(0, kMostRecentFiles);
}

std::optional<Refusal> ProjectSession::addRecentFile(const QString &path)
{
    QStringList paths = recentFiles();
    paths.removeAll(path);
    paths.prepend(path);
    return writeRecentFiles(paths.mid(0, kMostRecentFiles));
}

std::optional<Refusal> ProjectSession::removeRecentFile(const QString &path)
{
    QStringList paths = recentFiles();
    paths.removeAll(path);
    return writeRecentFiles(paths);
}

std::optional<Refusal> ProjectSession::clearRecentFiles()
{
    return writeRecentFiles({});
}

bool ProjectSession::timelineShown()
{
    const QStringList found = lines(readSessionFile(kTimeline));
    return !found.isEmpty() && found.first().trimmed() == kTimelineShown;
}

std::optional<Refusal> ProjectSession::setTimelineShown(bool shown)
{
    return writeSessionFile(kTimeline, (shown ? kTimelineShown : kTimelineHidden).toUtf8() + '\n');
}

QByteArray ProjectSession::windowPlace()
{
    return readSessionFile(kWindowPlace).value_or(QByteArray());
}

std::optional<Refusal> ProjectSession::setWindowPlace(const QByteArray &place)
{
    return writeSessionFile(kWindowPlace, place);
}

bool ProjectSession::csvPerDay()
{
    const QStringList found = lines(readSessionFile(kCsvLayout));
    return !found.isEmpty() && found.first().trimmed() == kCsvPerDay;
}

std::optional<Refusal> ProjectSession::setCsvPerDay(bool perDay)
{
    return writeSessionFile(kCsvLayout, (perDay ? kCsvPerDay : kCsvRuns).toUtf8() + '\n');
}

namespace {

QString windowsFolder()
{
    return QDir(ProjectSession::folder()).filePath(kWindows);
}

QString slotFile(const QString &id, const QString &suffix)
{
    return QDir(windowsFolder()).filePath(id + suffix);
}

std::optional<ProjectSession::KeptWork> readKept(const QString &path)
{
    QFile file(path);
    // The path line comes on top of the project, so the limit is the kept work's own, not a session file's.
    if (!file.open(QIODevice::ReadOnly) || file.size() > WorkSlot::kLargestKeptBytes + 64 * 1024)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd < 0)
        return std::nullopt;
    QFile base(path.chopped(kKeptSuffix.size()) + kBaseSuffix);
    const QByteArray digest = base.open(QIODevice::ReadOnly) ? base.read(256).trimmed() : QByteArray();
    return ProjectSession::KeptWork { QString::fromUtf8(bytes.left(lineEnd)), bytes.mid(lineEnd + 1),
        digest };
}

QByteArray keptBytes(const QString &file, const QByteArray &bytes)
{
    return file.toUtf8() + '\n' + bytes;
}

// Work kept where earlier versions kept it moves into places of its own, so that it comes back once and is
// never overwritten by a window of this version.
void moveOldPlaces()
{
    const QDir data(ProjectSession::folder());
    const std::pair<QString, bool> oldPlaces[] = { { kUnsavedWork, false }, { kUnsavedChanges, true } };
    for (const auto &[name, withPath] : oldPlaces) {
        const std::optional<QByteArray> old = readSessionFile(name);
        if (!old)
            continue;
        const QByteArray bytes = withPath ? *old : keptBytes(QString(), *old);
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (QDir().mkpath(windowsFolder()) && writeFileAtomically(slotFile(id, kKeptSuffix), bytes))
            QFile::remove(data.filePath(name));
    }
}

} // namespace

std::vector<ProjectSession::KeptWork> ProjectSession::keptWork()
{
    std::vector<KeptWork> found;
    const QDir windows(windowsFolder());
    for (const QString &name : windows.entryList({ QLatin1Char('*') + kKeptSuffix }, QDir::Files, QDir::Name)) {
        if (std::optional<KeptWork> kept = readKept(windows.filePath(name)))
            found.push_back(std::move(*kept));
    }
    return found;
}

WorkSlot::WorkSlot(const QString &id)
    : m_id(id)
    , m_lock(std::make_unique<QLockFile>(slotFile(id, QStringLiteral(".lock"))))
{
    // Only a lock whose process has gone is stale: a window may hold its place for days.
    m_lock->setStaleLockTime(0);
}

WorkSlot::~WorkSlot() = default;

bool WorkSlot::hold()
{
    return QDir().mkpath(windowsFolder()) && m_lock->tryLock(0);
}

std::unique_ptr<WorkSlot> WorkSlot::create()
{
    std::unique_ptr<WorkSlot> slot(new WorkSlot(QUuid::createUuid().toString(QUuid::WithoutBraces)));
    slot->hold();
    return slot;
}

std::vector<std::unique_ptr<WorkSlot>> WorkSlot::claimUnheld()
{
    moveOldPlaces();
    std::vector<std::unique_ptr<WorkSlot>> claimed;
    const QDir windows(windowsFolder());
    for (const QString &name : windows.entryList({ QLatin1Char('*') + kKeptSuffix }, QDir::Files, QDir::Name)) {
        std::unique_ptr<WorkSlot> slot(new WorkSlot(name.chopped(kKeptSuffix.size())));
        if (!slot->hold())
            continue;
        const std::optional<ProjectSession::KeptWork> kept = readKept(windows.filePath(name));
        if (!kept)
            continue; // unreadable: left where it is, never deleted
        slot->m_kept = *kept;
        slot->m_writtenBase = kept->base;
        claimed.push_back(std::move(slot));
    }
    return claimed;
}

std::optional<Refusal> WorkSlot::keep(const QString &file, const QByteArray &bytes, const QByteArray &base)
{
    if (bytes.size() > kLargestKeptBytes) {
        return Refusal { QStringLiteral("Your unsaved work is larger than %1 MiB, too large to keep until it "
                                        "is saved. Save it now.")
                             .arg(kLargestKeptBytes / (1024 * 1024)) };
    }
    if (!m_lock->isLocked())
        hold();
    // The digest goes first: kept changes without it would be laid over a newer file unasked.
    if (base != m_writtenBase) {
        if (base.isEmpty())
            QFile::remove(slotFile(m_id, kBaseSuffix));
        else if (std::optional<Refusal> failed
            = writeSessionFile(kWindows + QLatin1Char('/') + m_id + kBaseSuffix, base + '\n'))
            return failed;
        m_writtenBase = base;
    }
    return writeSessionFile(kWindows + QLatin1Char('/') + m_id + kKeptSuffix, keptBytes(file, bytes));
}

void WorkSlot::forget()
{
    QFile::remove(slotFile(m_id, kKeptSuffix));
    QFile::remove(slotFile(m_id, kBaseSuffix));
    m_writtenBase.clear();
}

} // namespace ambrel
