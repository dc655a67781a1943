#include "DocumentActions.h"

#include "app/FileDialog.h"
#include "app/MainMenus.h"
#include "app/MessageBox.h"
#include "app/SaveGuard.h"
#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectSession.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

namespace ambrel {

namespace {

const char *const kFileFilter
    = QT_TRANSLATE_NOOP("ambrel::DocumentActions", "Ambrel projects (*.ambrel);;All files (*)");
const QString kTitle = QStringLiteral("Ambrel Pro v1.4");

} // namespace

DocumentActions::DocumentActions(ProjectDocument &document, QWidget *window)
    : QObject(window)
    , m_document(document)
    , m_window(window)
    , m_saveGuard(new SaveGuard(window, &document, [this] { return saveAs(); }))
{
    connect(&document, &ProjectDocument::stateChanged, this, &DocumentActions::updateTitle);
    connect(&document, &ProjectDocument::keepFailed, this, [this](const Refusal &refusal) {
        MessageBox::show(m_window, refusal.text, MessageBox::errorTitle(), MessageBox::Exclamation);
    });
    updateTitle();
}

void DocumentActions::setRecentMenu(QMenu *menu)
{
    m_recent = menu;
    connect(menu, &QMenu::aboutToShow, this, &DocumentActions::rebuildRecentMenu);
}

void DocumentActions::rebuildRecentMenu()
{
    fillRecentMenu(m_recent, this);
}

void DocumentActions::updateTitle()
{
    // Untitled work shows its unsaved state too, such as work brought back after a crash.
    const QString &file = m_document.filePath();
    if (file.isEmpty())
        m_window->setWindowTitle(m_document.isModified() ? kTitle + QStringLiteral("[*]") : kTitle);
    else
        m_window->setWindowTitle(QFileInfo(file).fileName() + QStringLiteral("[*] - ") + kTitle);
    m_window->setWindowModified(m_document.isModified());
}

bool DocumentActions::openFile(const QString &path)
{
    if (const std::optional<Refusal> refusal = m_document.open(path)) {
        MessageBox::show(m_window, refusal->text, tr("Open Project"), MessageBox::Exclamation);
        return false;
    }
    rebuildRecentMenu();
    return true;
}

bool DocumentActions::maybeSave()
{
    if (!m_document.isModified())
        return true;
    switch (MessageBox::show(m_window, tr("Save changes to %1 before closing?").arg(m_document.displayName()),
        tr("Unsaved Changes"), MessageBox::Question, MessageBox::SaveDiscardCancel)) {
    case MessageBox::Save:
        return save();
    case MessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void DocumentActions::newProject()
{
    if (!maybeSave())
        return;
    m_document.newProject();
    rebuildRecentMenu();
}

void DocumentActions::open()
{
    if (!maybeSave())
        return;
    const QString &file = m_document.filePath();
    const QString folder = file.isEmpty() ? Paths::projectFolder() : QFileInfo(file).absolutePath();
    const QString path = FileDialog::getOpenFileName(m_window, tr("Open Project"), folder, tr(kFileFilter));
    if (!path.isEmpty())
        openFile(path);
}

void DocumentActions::openRecent(const QString &path)
{
    if (!maybeSave())
        return;
    if (!openFile(path) && m_document.isKeeping()) {
        ProjectSession::removeRecentFile(path);
        rebuildRecentMenu();
    }
}

void DocumentActions::clearRecent()
{
    ProjectSession::clearRecentFiles();
    rebuildRecentMenu();
}

bool DocumentActions::save()
{
    return m_document.filePath().isEmpty() ? saveAs() : saveTo(m_document.filePath());
}

bool DocumentActions::saveAs()
{
    const QString name = m_document.project().name().trimmed();
    const QString &file = m_document.filePath();
    const QString suggested = file.isEmpty()
        ? QDir(Paths::projectFolder())
              .filePath((name.isEmpty() ? tr("Untitled") : name) + QStringLiteral(".ambrel"))
        : file;
    QString path = FileDialog::getSaveFileName(m_window, tr("Save Project As"), suggested, tr(kFileFilter));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ambrel");
    return saveTo(path);
}

bool DocumentActions::saveTo(const QString &path)
{
    if (!m_saveGuard->saveTo(path))
        return false;
    rebuildRecentMenu();
    return true;
}

} // namespace ambrel
