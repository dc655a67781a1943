#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QWidget;

namespace ambrel {

class ProjectDocument;
class SaveGuard;

// The File menu's project files for one window: new, open, open recent, save and save as, the question about
// unsaved work, and the window's title, which names the file and shows whether it is saved.
class DocumentActions final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentActions)

public:
    // window parents the questions and shows the title.
    DocumentActions(ProjectDocument &document, QWidget *window);

    // The recent files, filled afresh whenever they may have changed.
    void setRecentMenu(QMenu *menu);
    void rebuildRecentMenu();

    // Opens the project file in place of the current project without asking about unsaved changes; a file
    // that cannot be opened is reported and changes nothing.
    bool openFile(const QString &path);
    void newProject();
    void open();
    void openRecent(const QString &path);
    void clearRecent();
    bool save();
    bool saveAs();
    // Asks whether to save unsaved changes first; false when the person cancelled or the save failed.
    bool maybeSave();

private:
    bool saveTo(const QString &path);
    void updateTitle();

    ProjectDocument &m_document;
    QWidget *m_window;
    QMenu *m_recent = nullptr;
    SaveGuard *m_saveGuard;
};

} // namespace ambrel
