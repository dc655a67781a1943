#include "Form1.h"

#include "app/FileDialog.h"
#include "app/MessageBox.h"
#include "app/ProjectSession.h"
#include "corekit/Clock.h"
#include "project/Project.h"
#include "project/ProjectFile.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTimer>

namespace ambrel {

namespace {

const QString kFileFilter = QStringLiteral("Ambrel projects (*.ambrel);;All files (*)");
const QString kTitle = QStringLiteral("Ambrel Pro v1.4");

// Long enough to gather a burst of typing into one write, short enough that a crash loses little.
constexpr int kAutosaveDelayMs = 1500;

} // namespace

ProjectFileContent Form1::content() const
{
    ProjectFileContent typed;
    typed.name = m_txtProjectName->text();
    typed.startOnPickedDate = m_optDate->checkedId() == 1;
    typed.pickedStartDate = m_Calendar2->selectedDate();
    typed.workingWeekApplies = m_chkExcludeWeekends->isChecked();
    typed.taskText = m_txtTodo->toPlainText();
    return typed;
}

void Form1::applyContent(const ProjectFileContent &content)
{
    // The opened dates are the person's own, so the start-up check must not move them.
    m_tmrDate->stop();
    const QDate date = content.startOnPickedDate ? content.pickedStartDate : Clock::today();
    {
        const QSignalBlocker calendar(m_Calendar2);
        const QSignalBlocker options(m_optDate);
        const QSignalBlocker name(m_txtProjectName);
        const QSignalBlocker tasks(m_txtTodo);
        const QSignalBlocker week(m_chkExcludeWeekends);
        m_Calendar2->setSelectedDate(date);
        m_calendarDate = m_Calendar2->selectedDate();
        m_optDate->button(content.startOnPickedDate ? 1 : 0)->setChecked(true);
        m_txtProjectName->setText(content.name);
        m_chkExcludeWeekends->setChecked(content.workingWeekApplies);
        m_txtTodo->setPlainText(content.taskText);
    }
    m_project->setPickedStartDate(date);
    SetProjectStartDate();
    cmdToList_Click();
}

void Form1::markSaved()
{
    m_savedBytes = projectFileBytes(content());
    updateModified();
}

void Form1::updateModified()
{
    m_modified = projectFileBytes(content()) != m_savedBytes;
    updateTitle();
    if (m_sessionKept)
        m_autosave->start();
}

void Form1::updateTitle()
{
    if (m_currentFile.isEmpty()) {
        setWindowTitle(kTitle);
        return;
    }
    setWindowTitle(QFileInfo(m_currentFile).fileName() + QStringLiteral("[*] - ") + kTitle);
    setWindowModified(m_modified);
}

void Form1::keepUnsavedWork()
{
    if (!m_sessionKept)
        return;
    // An open file's changes are kept beside it until they are saved, so that a crash does not lose them.
    if (!m_currentFile.isEmpty() && !m_modified) {
        ProjectSession::forgetUnsavedChanges();
        return;
    }
    QString error;
    const QByteArray bytes = projectFileBytes(content());
    const bool kept = m_currentFile.isEmpty()
        ? ProjectSession::keepUnsavedWork(bytes, &error)
        : ProjectSession::keepUnsavedChanges(m_currentFile, bytes, &error);
    if (!kept && !m_autosaveFailureShown) {
        // Told once: a full disk would otherwise bring the message back every few seconds.
        m_autosaveFailureShown = true;
        MessageBox::show(this, error, QStringLiteral("Error"), MessageBox::Exclamation);
    }
}

void Form1::rememberFile(const QString &path)
{
    m_currentFile = path;
    if (!m_sessionKept)
        return;
    m_autosave->stop();
    ProjectSession::setLastFile(path);
    if (!path.isEmpty())
        ProjectSession::addRecentFile(path);
    rebuildRecentMenu();
}

bool Form1::openProjectFile(const QString &path)
{
    QString error;
    const std::optional<ProjectFileContent> opened = loadProjectFile(path, &error);
    if (!opened) {
        MessageBox::show(this, error, QStringLiteral("Open Project"), MessageBox::Exclamation);
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    rememberFile(absolute);
    applyContent(*opened);
    markSaved();
    return true;
}

void Form1::restoreSession(const QString &fileName)
{
    if (!m_autosave) {
        m_autosave = new QTimer(this);
        m_autosave->setObjectName(QStringLiteral("tmrAutosave"));
        m_autosave->setSingleShot(true);
        m_autosave->setInterval(kAutosaveDelayMs);
        connect(m_autosave, &QTimer::timeout, this, &Form1::keepUnsavedWork);
    }
    m_sessionKept = true;
    rebuildRecentMenu();
    setTimelineShown(ProjectSession::timelineShown());

    const QString last = fileName.isEmpty() ? ProjectSession::lastFile() : fileName;
    if (!last.isEmpty()) {
        const std::optional<QByteArray> changes
            = ProjectSession::unsavedChanges(QFileInfo(last).absoluteFilePath());
        // A file that cannot be opened is told once; the window then starts with nothing open.
        if (!openProjectFile(last)) {
            rememberFile(QString());
            return;
        }
        // Changes that were not saved when the program last went come back, still unsaved.
        if (const std::optional<ProjectFileContent> changed
            = changes ? parseProjectFile(*changes, nullptr) : std::nullopt) {
            applyContent(*changed);
            updateModified();
        }
        return;
    }
    const std::optional<QByteArray> kept = ProjectSession::unsavedWork();
    if (!kept)
        return;
    const std::optional<ProjectFileContent> work = parseProjectFile(*kept, nullptr);
    if (!work)
        return;
    applyContent(*work);
    // The kept work was never saved, so it stays marked as unsaved against a new project.
    m_savedBytes = projectFileBytes(ProjectFileContent());
    updateModified();
}

bool Form1::maybeSave()
{
    if (!m_modified)
        return true;
    const QString project = !m_currentFile.isEmpty() ? QFileInfo(m_currentFile).fileName()
        : m_txtProjectName->text().isEmpty()         ? QStringLiteral("Untitled")
                                                     : m_txtProjectName->text();
    switch (MessageBox::show(this, QStringLiteral("Save changes to %1 before closing?").arg(project),
        QStringLiteral("Unsaved Changes"), MessageBox::Question, MessageBox::SaveDiscardCancel)) {
    case MessageBox::Save:
        return saveProject();
    case MessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void Form1::newProject()
{
    if (!maybeSave())
        return;
    rememberFile(QString());
    applyContent(ProjectFileContent());
    markSaved();
    if (m_sessionKept) {
        ProjectSession::forgetUnsavedWork();
        ProjectSession::forgetUnsavedChanges();
    }
}

void Form1::openProject()
{
    if (!maybeSave())
        return;
    const QString folder = m_currentFile.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        : QFileInfo(m_currentFile).absolutePath();
    const QString path
        = FileDialog::getOpenFileName(this, QStringLiteral("Open Project"), folder, kFileFilter);
    if (!path.isEmpty())
        openProjectFile(path);
}

void Form1::openRecentProject(const QString &path)
{
    if (!maybeSave())
        return;
    if (!openProjectFile(path) && m_sessionKept) {
        ProjectSession::removeRecentFile(path);
        rebuildRecentMenu();
    }
}

void Form1::clearRecentProjects()
{
    ProjectSession::clearRecentFiles();
    rebuildRecentMenu();
}

bool Form1::saveProject()
{
    return m_currentFile.isEmpty() ? saveProjectAs() : saveTo(m_currentFile);
}

bool Form1::saveProjectAs()
{
    const QString name = m_txtProjectName->text().trimmed().isEmpty() ? QStringLiteral("Untitled")
                                                                      : m_txtProjectName->text().trimmed();
    const QString suggested = m_currentFile.isEmpty()
        ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
              .filePath(name + QStringLiteral(".ambrel"))
        : m_currentFile;
    QString path
        = FileDialog::getSaveFileName(this, QStringLiteral("Save Project As"), suggested, kFileFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ambrel");
    return saveTo(path);
}

bool Form1::saveTo(const QString &path)
{
    QString error;
    if (!saveProjectFile(path, content(), &error)) {
        MessageBox::show(this, error, QStringLiteral("Error"), MessageBox::Critical);
        return false;
    }
    const bool wasUntitled = m_currentFile.isEmpty();
    rememberFile(QFileInfo(path).absoluteFilePath());
    if (wasUntitled && m_sessionKept)
        ProjectSession::forgetUnsavedWork();
    if (m_sessionKept)
        ProjectSession::forgetUnsavedChanges();
    markSaved();
    return true;
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    // Work that is still unsaved here was thrown away or never changed: nothing to bring back.
    if (m_sessionKept) {
        m_autosave->stop();
        if (m_currentFile.isEmpty())
            ProjectSession::forgetUnsavedWork();
        ProjectSession::forgetUnsavedChanges();
    }
    event->accept();
}

} // namespace ambrel
