#include "ProjectDocument.h"

#include "export/IcsWriter.h"
#include "project/Project.h"
#include "project/ProjectSession.h"
#include "project/TaskTextEdits.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>

#include <sys/stat.h>

namespace ambrel {

namespace {

// What changes whenever a file is written or replaced: its identity, size and time of change.
QByteArray stampOf(const QString &path)
{
    struct stat status { };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return QByteArray::number(quint64(status.st_dev)) + ':' + QByteArray::number(quint64(status.st_ino)) + ':'
        + QByteArray::number(qint64(status.st_size)) + ':' + QByteArray::number(qint64(status.st_mtim.tv_sec))
        + '.' + QByteArray::number(qint64(status.st_mtim.tv_nsec)) + ':'
        + QByteArray::number(qint64(status.st_ctim.tv_sec)) + '.'
        + QByteArray::number(qint64(status.st_ctim.tv_nsec));
}

// Empty for a file that cannot be read.
QByteArray digestOf(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

} // namespace

ProjectDocument::ProjectDocument(QObject *parent)
    : QObject(parent)
    , m_project(new Project(this))
    , m_keepTimer(new QTimer(this))
{
    m_keepTimer->setObjectName(QStringLiteral("tmrAutosave"));
    m_keepTimer->setSingleShot(true);
    m_keepTimer->setInterval(kKeepDelayMs);
    connect(m_keepTimer, &QTimer::timeout, this, [this] {
        if (const std::optional<Refusal> failed = keepNow(); failed && !m_keepFailureTold) {
            // Told once: a full disk would otherwise bring the message back every few seconds.
            m_keepFailureTold = true;
            emit keepFailed(*failed);
        }
    });
    m_savedBytes = currentBytes();
    connect(m_project, &Project::edited, this, [this] {
        if (!m_replacing)
            changed();
    });
}

ProjectDocument::~ProjectDocument() = default;

QString ProjectDocument::displayName() const
{
    if (!m_filePath.isEmpty())
        return QFileInfo(m_filePath).fileName();
    return m_project->name().isEmpty() ? QStringLiteral("Untitled") : m_project->name();
}

ProjectFileContent ProjectDocument::content() const
{
    ProjectFileContent content;
    content.name = m_project->name();
    content.id = m_project->id();
    content.startOnPickedDate = m_project->startsOnPickedDate();
    content.pickedStartDate = m_project->pickedStartDate();
    content.workingWeekApplies = m_project->workingWeekApplies();
    content.waitForParallel = m_project->waitsForParallel();
    content.taskText = m_project->taskText();
    return content;
}

QByteArray ProjectDocument::currentBytes() const
{
    return projectFileBytes(content());
}

void ProjectDocument::changed()
{
    const bool modified = currentBytes() != m_savedBytes;
    m_modified = modified;
    emit stateChanged();
    keepLater();
}

void ProjectDocument::keepLater()
{
    if (m_keeping)
        m_keepTimer->start();
}

void ProjectDocument::markSaved()
{
    m_savedBytes = currentBytes();
    changed();
}

void ProjectDocument::setContent(const ProjectFileContent &content)
{
    m_replacing = true;
    m_project->setName(content.name);
    m_project->setId(content.id);
    m_project->setStartOnPickedDate(content.startOnPickedDate);
    if (content.startOnPickedDate)
        m_project->setPickedStartDate(content.pickedStartDate);
    m_project->setWorkingWeekApplies(content.workingWeekApplies);
    // A date read back from a file is the plan's start, not a new pick.
    m_project->setStartIsSaved(content.startOnPickedDate);
    m_project->setWaitForParallel(content.waitForParallel);
    m_project->setTaskText(content.taskText);
    m_replacing = false;
    emit contentReplaced();
}

Refusable<QString> ProjectDocument::listActionText(
    ListAction action, const std::vector<int> &rows, qint64 days, const QDate &today)
{
    // A task is known by its name part and which of the tasks of that name part it is, so that the same
    // task is found again after lines were typed above it.
    const auto occurrence = [this](int row) {
        const std::vector<TaskRow> &tasks = m_project->tasks();
        return int(std::count_if(tasks.begin(), tasks.begin() + row,
            [&](const TaskRow &task) { return task.namePart == tasks[size_t(row)].namePart; }));
    };
    std::vector<std::pair<QString, int>> wanted;
    for (const int row : rows) {
        if (row >= 0 && row < qsizetype(m_project->tasks().size()))
            wanted.emplace_back(m_project->tasks()[size_t(row)].namePart, occurrence(row));
    }
    if (m_project->changedSinceBuild()) {
        if (std::optional<Refusal> refusal = m_project->rebuild(today))
            return *refusal;
    }
    std::vector<int> lines;
    for (const auto &[namePart, nth] : wanted) {
        int seen = 0;
        int found = 0;
        for (const TaskRow &task : m_project->tasks()) {
            if (task.namePart == namePart && seen++ == nth) {
                found = task.lineNumber;
                break;
            }
        }
        if (found == 0) {
            return Refusal { QStringLiteral("The task \"%1\" is no longer in your task text.")
                                 .arg(QString(namePart).remove(QStringLiteral("//")).trimmed()) };
        }
        lines.push_back(found);
    }
    if (lines.empty())
        return m_project->taskText();

    const Refusable<QString> result = action == ListAction::Postpone
        ? withWaitAdded(m_project->taskText(), lines.front(), days)
        : action == ListAction::Remove ? Refusable<QString>(withoutLines(m_project->taskText(), lines))
                                       : withDoneToggled(m_project->taskText(), lines);
    if (result.refused())
        return result;
    if (std::optional<Refusal> refusal = m_project->refusalOfBuild(*result, today))
        return *refusal;
    return result;
}

void ProjectDocument::setFile(const QString &path)
{
    m_filePath = path;
    if (!m_keeping)
        return;
    m_keepTimer->stop();
    ProjectSession::setLastFile(path);
    if (!path.isEmpty())
        ProjectSession::addRecentFile(path);
}

void ProjectDocument::newProject()
{
    setFile(QString());
    setContent(ProjectFileContent());
    markSaved();
    if (m_slot)
        m_slot->forget();
}

std::optional<Refusal> ProjectDocument::open(const QString &path)
{
    const Refusable<ProjectFileContent> opened = loadProjectFile(path);
    if (opened.refused())
        return opened.refusal();
    setFile(QFileInfo(path).absoluteFilePath());
    rememberDisk();
    setContent(*opened);
    markSaved();
    // Whatever this document kept belonged to what it showed before.
    if (m_slot)
        m_slot->forget();
    return std::nullopt;
}

std::optional<Refusal> ProjectDocument::save(WriteOptions options, ChangedFile changed)
{
    if (m_filePath.isEmpty())
        return saveAs(m_filePath, options, changed);
    return write(m_filePath, lastingProjectId(m_project->id(), m_project->name()), options, changed);
}

std::optional<Refusal> ProjectDocument::saveAs(const QString &path, WriteOptions options, ChangedFile changed)
{
    // Another file is another project: a copy used as a template must not take over the original's events.
    const bool sameFile = !m_filePath.isEmpty() && !path.isEmpty()
        && QFileInfo(path).absoluteFilePath() == m_filePath;
    if (sameFile)
        return save(options, changed);
    // Work never saved may already have published under its Id; its first file keeps it.
    const bool untitledWithId = m_filePath.isEmpty() && !m_project->id().isEmpty();
    return write(path, untitledWithId ? m_project->id() : newProjectId(), options, changed);
}

void ProjectDocument::takeLastingId()
{
    if (m_filePath.isEmpty() && m_project->id().isEmpty())
        m_project->setId(newProjectId());
}

std::optional<Refusal> ProjectDocument::write(
    const QString &path, const QString &id, WriteOptions options, ChangedFile changed)
{
    const bool sameFile = !m_filePath.isEmpty() && QFileInfo(path).absoluteFilePath() == m_filePath;
    // Another program's work in the file is never written over unasked.
    if (sameFile && changed == ChangedFile::Refuse && fileChangedElsewhere()) {
        return Refusal { QStringLiteral(
                             "%1 was changed by another program since it was opened or saved here.")
                             .arg(QDir::toNativeSeparators(m_filePath)) };
    }
    ProjectFileContent saved = content();
    saved.id = id;
    if (std::optional<Refusal> failed = saveProjectFile(path, saved, options))
        return failed;
    m_project->setId(id);
    setFile(QFileInfo(path).absoluteFilePath());
    rememberDisk();
    markSaved();
    if (m_slot)
        m_slot->forget();
    return std::nullopt;
}

void ProjectDocument::rememberDisk()
{
    m_diskStamp = stampOf(m_filePath);
    m_diskDigest = digestOf(m_filePath);
    m_toldDigest = m_diskDigest;
}

bool ProjectDocument::fileChangedElsewhere()
{
    if (m_filePath.isEmpty() || m_diskDigest.isEmpty())
        return false;
    const QByteArray stamp = stampOf(m_filePath);
    if (stamp.isEmpty() || stamp == m_diskStamp)
        return false;
    const QByteArray digest = digestOf(m_filePath);
    if (digest.isEmpty())
        return false;
    // Touched or rewritten with the same bytes: nothing to ask about.
    if (digest == m_diskDigest) {
        m_diskStamp = stamp;
        return false;
    }
    return true;
}

bool ProjectDocument::takeNewChangeElsewhere()
{
    if (!fileChangedElsewhere())
        return false;
    const QByteArray digest = digestOf(m_filePath);
    if (digest == m_toldDigest)
        return false;
    m_toldDigest = digest;
    return true;
}

std::optional<Refusal> ProjectDocument::reload()
{
    return open(m_filePath);
}

std::optional<Refusal> ProjectDocument::keptOverNewerFile(const QByteArray &base)
{
    if (base.isEmpty() || base == m_diskDigest)
        return std::nullopt;
    // The kept changes were made to the file as it was; saving must ask before it writes over the newer one.
    m_diskDigest = base;
    m_diskStamp.clear();
    return Refusal { QStringLiteral("%1 was changed elsewhere after your unsaved changes to it were kept. "
                                    "They are back here, unsaved, over the newer file; saving will ask "
                                    "before it writes over it.")
                         .arg(QDir::toNativeSeparators(m_filePath)) };
}

void ProjectDocument::close()
{
    m_keepTimer->stop();
    if (m_slot)
        m_slot->forget();
}

void ProjectDocument::startKeeping()
{
    m_keeping = true;
}

std::optional<Refusal> ProjectDocument::keepNow()
{
    m_keepTimer->stop();
    if (!m_keeping)
        return std::nullopt;
    // An open file's changes are kept beside it until they are saved, so that a crash does not lose them.
    if (!m_modified) {
        if (m_slot)
            m_slot->forget();
        return std::nullopt;
    }
    if (!m_slot)
        m_slot = WorkSlot::create();
    return m_slot->keep(m_filePath, currentBytes(), m_filePath.isEmpty() ? QByteArray() : m_diskDigest);
}

std::optional<Refusal> ProjectDocument::applyKept(const WorkSlot &slot)
{
    const ProjectSession::KeptWork &kept = slot.kept();
    const Refusable<ProjectFileContent> work = parseProjectFile(kept.bytes);
    std::optional<Refusal> refusal;
    if (!kept.file.isEmpty())
        refusal = open(kept.file);
    // Changes to a file that can no longer be opened come back as untitled work rather than being lost.
    if (kept.file.isEmpty() || refusal) {
        setFile(QString());
        m_savedBytes = projectFileBytes(ProjectFileContent());
    }
    if (!work.refused())
        setContent(*work);
    changed();
    if (refusal && !work.refused()) {
        refusal->text += QStringLiteral("\n\nYour unsaved changes to %1 are back here as untitled work; use "
                                        "Save As to keep them.")
                             .arg(QDir::toNativeSeparators(kept.file));
    }
    if (!refusal && !kept.file.isEmpty())
        refusal = keptOverNewerFile(kept.base);
    if (work.refused()) {
        const QString told = QStringLiteral("Your kept unsaved work could not be read back, and stays in %1.")
                                 .arg(QDir::toNativeSeparators(ProjectSession::folder()));
        refusal = Refusal { refusal ? refusal->text + QStringLiteral("\n\n") + told : told };
    }
    return refusal;
}

std::optional<Refusal> ProjectDocument::restoreKept(std::unique_ptr<WorkSlot> slot)
{
    m_keeping = true;
    m_slot = std::move(slot);
    const std::optional<Refusal> refusal = applyKept(*m_slot);
    if (m_modified)
        keepNow(); // a file that could not be opened leaves untitled work, kept as such
    return refusal;
}

std::vector<std::unique_ptr<WorkSlot>> ProjectDocument::restoreSession(
    const QString &fileName, std::optional<Refusal> *refusal)
{
    m_keeping = true;
    std::vector<std::unique_ptr<WorkSlot>> claimed = WorkSlot::claimUnheld();
    const QString last = ProjectSession::lastFile();
    if (fileName.isEmpty() && !claimed.empty()) {
        std::optional<Refusal> failed = restoreKept(std::move(claimed.front()));
        claimed.erase(claimed.begin());
        if (refusal)
            *refusal = failed;
        return claimed;
    }
    const QString file = fileName.isEmpty() ? last : fileName;
    if (file.isEmpty())
        return {};
    // The named file's own kept changes come back with it; kept work of other windows waits for a start
    // without a file.
    const QString absolute = QFileInfo(file).absoluteFilePath();
    std::unique_ptr<WorkSlot> mine;
    for (std::unique_ptr<WorkSlot> &slot : claimed) {
        if (!mine && slot->kept().file == absolute)
            mine = std::move(slot);
    }
    claimed.clear();
    if (std::optional<Refusal> failed = open(file)) {
        setFile(QString());
        if (refusal)
            *refusal = failed;
        return {};
    }
    if (mine) {
        m_slot = std::move(mine);
        if (const Refusable<ProjectFileContent> changes = parseProjectFile(m_slot->kept().bytes);
            !changes.refused()) {
            setContent(*changes);
            changed();
            if (std::optional<Refusal> newer = keptOverNewerFile(m_slot->kept().base); newer && refusal)
                *refusal = newer;
        }
    }
    return {};
}

} // namespace ambrel
