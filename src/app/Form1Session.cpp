#include "Form1.h"

#include "app/FileDialog.h"
#include "app/MessageBox.h"
#include "app/TimelinePane.h"
#include "app/WindowPlace.h"
#include "app/SaveGuard.h"
#include "corekit/Clock.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectSession.h"

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

const char *const kFileFilter = QT_TRANSLATE_NOOP("ambrel::Form1", "Ambrel projects (*.ambrel);;All files (*)");
const QString kTitle = QStringLiteral("Ambrel Pro v1.4");

} // namespace

const QString &Form1::currentFile() const
{
    return m_document->filePath();
}

bool Form1::isModified() const
{
    return m_document->isModified();
}

void Form1::showContent()
{
    // The opened dates are the person's own, so the start-up check must not move them.
    m_ui.tmrDate->stop();
    const Project &project = *m_project;
    const QDate date = project.startsOnPickedDate() ? project.pickedStartDate() : Clock::today();
    {
        const QSignalBlocker calendar(m_ui.Calendar2);
        const QSignalBlocker options(m_ui.optDate);
        const QSignalBlocker name(m_ui.txtProjectName);
        const QSignalBlocker tasks(m_ui.txtTodo);
        const QSignalBlocker week(m_ui.chkExcludeWeekends);
        m_ui.Calendar2->setSelectedDate(date);
        m_calendarDate = m_ui.Calendar2->selectedDate();
        m_ui.optDate->button(project.startsOnPickedDate() ? 1 : 0)->setChecked(true);
        m_ui.txtProjectName->setText(project.name());
        m_ui.chkExcludeWeekends->setChecked(project.workingWeekApplies());
        m_ui.txtTodo->setPlainText(project.taskText());
    }
    m_project->setPickedStartDate(date);
    SetProjectStartDate();
    cmdToList_Click();
}

void Form1::updateTitle()
{
    // Untitled work shows its unsaved state too, such as work brought back after a crash.
    if (currentFile().isEmpty())
        setWindowTitle(isModified() ? kTitle + QStringLiteral("[*]") : kTitle);
    else
        setWindowTitle(QFileInfo(currentFile()).fileName() + QStringLiteral("[*] - ") + kTitle);
    setWindowModified(isModified());
}

bool Form1::openProjectFile(const QString &path)
{
    if (const std::optional<Refusal> refusal = m_document->open(path)) {
        MessageBox::show(this, refusal->text, tr("Open Project"), MessageBox::Exclamation);
        return false;
    }
    rebuildRecentMenu();
    return true;
}

void Form1::restoreSession(const QString &fileName)
{
    m_document->startKeeping();
    rebuildRecentMenu();
    m_timeline->setListWidthBesideTimeline(WindowPlace::restore(this));
    setTimelineShown(ProjectSession::timelineShown());
    std::optional<Refusal> refusal;
    std::vector<std::unique_ptr<WorkSlot>> others = m_document->restoreSession(fileName, &refusal);
    // A file that cannot be opened is told once; the window then starts with nothing open.
    if (refusal)
        MessageBox::show(this, refusal->text, tr("Open Project"), MessageBox::Exclamation);
    rebuildRecentMenu();
    // Every other window's kept work comes back in a window of its own.
    for (std::unique_ptr<WorkSlot> &slot : others) {
        auto *window = new Form1;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->setTimelineShown(ProjectSession::timelineShown());
        if (const std::optional<Refusal> failed = window->m_document->restoreKept(std::move(slot)))
            MessageBox::show(window, failed->text, tr("Open Project"), MessageBox::Exclamation);
        window->rebuildRecentMenu();
    }
}

bool Form1::maybeSave()
{
    if (!isModified())
        return true;
    switch (MessageBox::show(this,
        tr("Save changes to %1 before closing?").arg(m_document->displayName()),
        tr("Unsaved Changes"), MessageBox::Question, MessageBox::SaveDiscardCancel)) {
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
    m_document->newProject();
    rebuildRecentMenu();
}

void Form1::openProject()
{
    if (!maybeSave())
        return;
    const QString folder = currentFile().isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        : QFileInfo(currentFile()).absolutePath();
    const QString path
        = FileDialog::getOpenFileName(this, tr("Open Project"), folder, tr(kFileFilter));
    if (!path.isEmpty())
        openProjectFile(path);
}

void Form1::openRecentProject(const QString &path)
{
    if (!maybeSave())
        return;
    if (!openProjectFile(path) && m_document->isKeeping()) {
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
    return currentFile().isEmpty() ? saveProjectAs() : saveTo(currentFile());
}

bool Form1::saveProjectAs()
{
    const QString name = m_project->name().trimmed().isEmpty() ? tr("Untitled")
                                                               : m_project->name().trimmed();
    const QString suggested = currentFile().isEmpty()
        ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
              .filePath(name + QStringLiteral(".ambrel"))
        : currentFile();
    QString path
        = FileDialog::getSaveFileName(this, tr("Save Project As"), suggested, tr(kFileFilter));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ambrel");
    return saveTo(path);
}

bool Form1::saveTo(const QString &path)
{
    if (!m_saveGuard->saveTo(path))
        return false;
    rebuildRecentMenu();
    return true;
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    // Work that is still unsaved here was thrown away or never changed: nothing to bring back.
    m_document->close();
    WindowPlace::save(this, m_timeline->listWidthBesideTimeline());
    event->accept();
}

} // namespace ambrel
