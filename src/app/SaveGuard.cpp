#include "SaveGuard.h"

#include "app/MessageBox.h"
#include "corekit/AtomicFile.h"
#include "project/ProjectDocument.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QWidget>

namespace ambrel {

namespace {

const char *const kChangedTitle = QT_TRANSLATE_NOOP("ambrel::SaveGuard", "File Changed");

} // namespace

SaveGuard::SaveGuard(QWidget *window, ProjectDocument *document, std::function<bool()> saveAs)
    : QObject(window)
    , m_window(window)
    , m_document(document)
    , m_saveAs(std::move(saveAs))
{
    setObjectName(QStringLiteral("SaveGuard"));
    window->installEventFilter(this);
}

bool SaveGuard::saveTo(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    ProjectDocument::ChangedFile changed = ProjectDocument::ChangedFile::Refuse;
    if (QFileInfo(path).absoluteFilePath() == m_document->filePath() && m_document->fileChangedElsewhere()) {
        const QScopedValueRollback asking(m_asking, true);
        switch (MessageBox::show(m_window,
            tr("%1 was changed by another program since it was opened or saved here.\n\nReload it "
               "(your changes here are lost), overwrite it with your changes (theirs are lost), "
               "or save your changes as another file?")
                .arg(shown),
            tr(kChangedTitle), MessageBox::Exclamation, MessageBox::ReloadOverwriteSaveAsCancel)) {
        case MessageBox::Reload:
            reload();
            return false;
        case MessageBox::SaveAs:
            return m_saveAs();
        case MessageBox::Overwrite:
            changed = ProjectDocument::ChangedFile::Overwrite;
            break;
        default:
            return false;
        }
    }
    WriteOptions options;
    const WriteCaution caution = writeCaution(path);
    if (caution != WriteCaution::None) {
        const QString question = caution == WriteCaution::ReadOnly
            ? tr("%1 is read-only. Replace it anyway?")
            : caution == WriteCaution::HardLinked
            ? tr("%1 has other names (hard links), which would keep the earlier content. Save it "
                 "as a file of its own?")
            : tr("%1 has an access list or extended attributes that the saved file could not be "
                 "given: who may read it could change. Save it anyway?");
        if (MessageBox::show(m_window, question.arg(shown), tr("Save Project"),
                MessageBox::Question, MessageBox::YesNo)
            != MessageBox::Yes)
            return false;
        options = WriteOption::ReplaceReadOnly | WriteOption::SplitHardLink | WriteOption::DropAttributes;
    }
    if (const std::optional<Refusal> refusal = m_document->saveAs(path, options, changed)) {
        MessageBox::show(m_window, refusal->text, MessageBox::errorTitle(), MessageBox::Critical);
        return false;
    }
    return true;
}

bool SaveGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowActivate && !m_asking)
        offerReload();
    return QObject::eventFilter(watched, event);
}

void SaveGuard::offerReload()
{
    if (!m_document->takeNewChangeElsewhere())
        return;
    const QScopedValueRollback asking(m_asking, true);
    const QString shown = QDir::toNativeSeparators(m_document->filePath());
    const QString question = m_document->isModified()
        ? tr("%1 was changed by another program. Reload it and lose your unsaved changes here?\n\n"
             "No keeps them; saving then asks before it writes over the other program's version.")
        : tr("%1 was changed by another program. Reload it?");
    if (MessageBox::show(
            m_window, question.arg(shown), tr(kChangedTitle), MessageBox::Question, MessageBox::YesNo)
        == MessageBox::Yes)
        reload();
}

void SaveGuard::reload()
{
    if (const std::optional<Refusal> refusal = m_document->reload())
        MessageBox::show(m_window, refusal->text, tr("Open Project"), MessageBox::Exclamation);
}

} // namespace ambrel
