#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace ambrel {

class ProjectDocument;

// Gives the person the say over what a plain save would lose: another program's newer version of the open
// file, a read-only file, a file with other names. When the window comes back into focus after another
// program changed the file, it offers to reload it.
class SaveGuard final : public QObject {
    Q_OBJECT

public:
    // saveAs asks for another file and saves there; true when it did.
    SaveGuard(QWidget *window, ProjectDocument *document, std::function<bool()> saveAs);

    // True when the document was saved at path (or, on the person's choice, as another file).
    bool saveTo(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void offerReload();
    void reload();

    QWidget *m_window = nullptr;
    ProjectDocument *m_document = nullptr;
    std::function<bool()> m_saveAs;
    bool m_asking = false;
};

} // namespace ambrel
