#include "ProjectSession.h"

#include "corekit/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace ambrel {

namespace {

const QString kLastFile = QStringLiteral("last-project.txt");
const QString kRecentFiles = QStringLiteral("recent-projects.txt");
const QString kUnsavedWork = QStringLiteral("unsaved.ambrel");
const QString kUnsavedChanges
    = QStringLiteral("unsaved-changes.txt"); // the file's path, a line feed, the project
const QString kTimeline = QStringLiteral("timeline.txt");
const QString kTimelineShown = QStringLiteral("shown");
const QString kTimelineHidden = QStringLiteral("hidden");

// A session file never holds more than a few paths or one project, so anything larger is not ours.
constexpr qint64 kLargestSessionFile = 16 * 1024 * 1024;

std::optional<QByteArray> readSessionFile(const QString &name)
{
    QFile file(QDir(ProjectSession::folder()).filePath(name));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSessionFile)
        return std::nullopt;
    return file.readAll();
}

bool writeSessionFile(const QString &name, const QByteArray &bytes, QString *error)
{
    const QString folder = ProjectSession::folder();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Could not create the folder %1.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QString path = QDir(folder).filePath(name);
    QString reason;
    if (writeFileAtomically(path, bytes, &reason))
        return true;
    if (error)
        *error = QStringLiteral("Could not save %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
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

bool writeRecentFiles(const QStringList &paths, QString *error)
{
    QByteArray bytes;
    for (const QString &path : paths)
        bytes += path.toUtf8() + '\n';
    return writeSessionFile(kRecentFiles, bytes, error);
}

} // namespace

QString ProjectSession::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString ProjectSession::lastFile()
{
    const QStringList found = lines(readSessionFile(kLastFile));
    return found.isEmpty() ? QString() : found.first();
}

bool ProjectSession::setLastFile(const QString &path, QString *error)
{
    return writeSessionFile(kLastFile, path.isEmpty() ? QByteArray() : path.toUtf8() + '\n', error);
}

QStringList ProjectSession::recentFiles()
{
    QStringList found = lines(readSessionFile(kRecentFiles));
    found.removeDuplicates();
    return found.mid(0, kMostRecentFiles);
}

bool ProjectSession::addRecentFile(const QString &path, QString *error)
{
    QStringList paths = recentFiles();
    paths.removeAll(path);
    paths.prepend(path);
    return writeRecentFiles(paths.mid(0, kMostRecentFiles), error);
}

bool ProjectSession::removeRecentFile(const QString &path, QString *error)
{
    QStringList paths = recentFiles();
    paths.removeAll(path);
    return writeRecentFiles(paths, error);
}

bool ProjectSession::clearRecentFiles(QString *error)
{
    return writeRecentFiles({}, error);
}

bool ProjectSession::timelineShown()
{
    const QStringList found = lines(readSessionFile(kTimeline));
    return !found.isEmpty() && found.first().trimmed() == kTimelineShown;
}

bool ProjectSession::setTimelineShown(bool shown, QString *error)
{
    return writeSessionFile(kTimeline, (shown ? kTimelineShown : kTimelineHidden).toUtf8() + '\n', error);
}

std::optional<QByteArray> ProjectSession::unsavedWork()
{
    return readSessionFile(kUnsavedWork);
}

bool ProjectSession::keepUnsavedWork(const QByteArray &bytes, QString *error)
{
    return writeSessionFile(kUnsavedWork, bytes, error);
}

void ProjectSession::forgetUnsavedWork()
{
    QFile::remove(QDir(folder()).filePath(kUnsavedWork));
}

std::optional<QByteArray> ProjectSession::unsavedChanges(const QString &file)
{
    const std::optional<QByteArray> kept = readSessionFile(kUnsavedChanges);
    if (!kept || file.isEmpty())
        return std::nullopt;
    const qsizetype lineEnd = kept->indexOf('\n');
    if (lineEnd < 0 || QString::fromUtf8(kept->left(lineEnd)) != file)
        return std::nullopt;
    return kept->mid(lineEnd + 1);
}

bool ProjectSession::keepUnsavedChanges(const QString &file, const QByteArray &bytes, QString *error)
{
    return writeSessionFile(kUnsavedChanges, file.toUtf8() + '\n' + bytes, error);
}

void ProjectSession::forgetUnsavedChanges()
{
    QFile::remove(QDir(folder()).filePath(kUnsavedChanges));
}

} // namespace ambrel
