#include "ProjectDocument.h"

#include "project/Project.h"
#include "project/ProjectSession.h"

#include <QFileInfo>
#include <QTimer>

namespace ambrel {

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
    m_project->setName(content.name);
    m_project->setStartOnPickedDate(content.startOnPickedDate);
    if (content.startOnPickedDate)
        m_project->setPickedStartDate(content.pickedStartDate);
    m_project->setWorkingWeekApplies(content.workingWeekApplies);
    // A date read back from a file is the plan's start, not a new pick.
    m_project->setStartIsSaved(content.startOnPickedDate);
    m_project->setWaitForParallel(content.waitForParallel);
    m_project->setTaskText(content.taskText);
    emit contentReplaced();
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
    QString error;
    const std::optional<ProjectFileContent> opened = loadProjectFile(path, &error);
    if (!opened)
        return Refusal { error, QString() };
    setFile(QFileInfo(path).absoluteFilePath());
    setContent(*opened);
    markSaved();
    // Whatever this document kept belonged to what it showed before.
    if (m_slot)
        m_slot->forget();
    return std::nullopt;
}

std::optional<Refusal> ProjectDocument::save()
{
    return saveAs(m_filePath);
}

std::optional<Refusal> ProjectDocument::saveAs(const QString &path)
{
    QString error;
    if (!saveProjectFile(path, content(), &error))
        return Refusal { error, QString() };
    setFile(QFileInfo(path).absoluteFilePath());
    markSaved();
    if (m_slot)
        m_slot->forget();
    return std::nullopt;
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
    return m_slot->keep(m_filePath, currentBytes());
}

std::optional<Refusal> ProjectDocument::applyKept(const WorkSlot &slot)
{
    const ProjectSession::KeptWork &kept = slot.kept();
    const std::optional<ProjectFileContent> work = parseProjectFile(kept.bytes, nullptr);
    std::optional<Refusal> refusal;
    if (!kept.file.isEmpty())
        refusal = open(kept.file);
    // Changes to a file that can no longer be opened come back as untitled work rather than being lost.
    if (kept.file.isEmpty() || refusal) {
        setFile(QString());
        m_savedBytes = projectFileBytes(ProjectFileContent());
    }
    if (work)
        setContent(*work);
    changed();
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
        if (const std::optional<ProjectFileContent> changes = parseProjectFile(m_slot->kept().bytes, nullptr)) {
            setContent(*changes);
            changed();
        }
    }
    return {};
}

} // namespace ambrel
