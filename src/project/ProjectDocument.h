#pragma once

#include "corekit/AtomicFile.h"
#include "corekit/Refusal.h"
#include "project/ProjectFile.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace ambrel {

class Project;
class WorkSlot;

// One project as a document: the Project it owns, the file it was opened from or saved to, the bytes last
// opened or saved (so that it knows whether it is modified), and, once keeping is on, its unsaved work kept
// in a place of its own in the data folder a moment after each change. The window pushes each edit into the
// project, which announces it; the document then works out whether it is modified. The window shows what the
// document says through the signals.
class ProjectDocument final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProjectDocument)

public:
    // Long enough to gather a burst of typing into one write, short enough that a crash loses little.
    static constexpr int kKeepDelayMs = 1500;

    explicit ProjectDocument(QObject *parent = nullptr);
    ~ProjectDocument() override;

    Project &project() const { return *m_project; }
    // The project file, absolute, or empty while the work was never saved.
    const QString &filePath() const { return m_filePath; }
    bool isModified() const { return m_modified; }
    // How the questions name the document: the file's name, else the project's name, else "Untitled".
    QString displayName() const;
    // What a project file would keep of the project now.
    ProjectFileContent content() const;

    // An edit reached the project: works out whether it is modified and keeps the work a moment later.
    void changed();

    // What the task list's actions do to the plan: each is written into the task text.
    enum class ListAction { Postpone, Remove, MarkDone };
    // The task text after the action on the given rows (0-based, as the list shows them), for the window to
    // put in the task box as one edit; days is the move of a postpone. When the text changed since the list
    // was built, the list is built afresh first and the action takes the same tasks there. Refused, with the
    // text untouched, when such a task is gone, when the action cannot be written into its line, or when
    // the builder would refuse the result.
    Refusable<QString> listActionText(ListAction action, const std::vector<int> &rows, qint64 days, const QDate &today);
    // What the project holds now counts as saved (a change made on the person's behalf, not by them).
    void markSaved();

    // A new, untitled project; kept work of this document is forgotten.
    void newProject();
    // Opens the file in place of the project; a file that cannot be opened changes nothing.
    std::optional<Refusal> open(const QString &path);
    // What saving over the open file does when another program changed it since it was opened or saved.
    enum class ChangedFile { Refuse, Overwrite };
    // Saves to the open file with the project's Id, or its name as its Id when it had none yet. options
    // force replacing a file writeCaution() warns of; only the person's yes may set them.
    std::optional<Refusal> save(WriteOptions options = {}, ChangedFile changed = ChangedFile::Refuse);
    // Saves to another file as a project of its own, with a new Id (work never saved keeps the Id it has);
    // to the open file, as save() does.
    std::optional<Refusal> saveAs(
        const QString &path, WriteOptions options = {}, ChangedFile changed = ChangedFile::Refuse);
    // Gives work never saved a lasting Id before it is published, so that its first save keeps the events
    // published; a project with an Id or a file keeps what it has.
    void takeLastingId();
    // Whether another program changed the open file since it was opened or saved here (a file moved away
    // counts as unchanged: saving puts it back).
    bool fileChangedElsewhere();
    // True once for each new version another program wrote, so that the window tells each once.
    bool takeNewChangeElsewhere();
    // Opens the file again, throwing away the changes made here.
    std::optional<Refusal> reload();
    // The document is closing with its work saved or thrown away: nothing of it is to come back.
    void close();

    // From now on unsaved work is kept and the session remembers the open file.
    void startKeeping();
    bool isKeeping() const { return m_keeping; }
    // Start-up: opens the named file (or, without one, brings back kept work no running window holds, or
    // else the last file) and starts keeping. Returns the further kept work, already claimed, that windows
    // of their own should bring back with restoreKept(); refusal says why a file could not be opened.
    std::vector<std::unique_ptr<WorkSlot>> restoreSession(
        const QString &fileName, std::optional<Refusal> *refusal = nullptr);
    // Brings back kept work in this document, still marked unsaved, and keeps it in the same place.
    std::optional<Refusal> restoreKept(std::unique_ptr<WorkSlot> slot);
    // Writes the kept work now rather than a moment later.
    std::optional<Refusal> keepNow();

signals:
    // The project's inputs were replaced (opened, new, brought back): the window shows them and builds.
    void contentReplaced();
    // The file or the modified state changed.
    void stateChanged();
    // Keeping the work failed; told once per document.
    void keepFailed(const ambrel::Refusal &refusal);

private:
    void setContent(const ProjectFileContent &content);
    std::optional<Refusal> write(const QString &path, const QString &id, WriteOptions options, ChangedFile changed);
    void setFile(const QString &path);
    std::optional<Refusal> applyKept(const WorkSlot &slot);
    QByteArray currentBytes() const;
    void keepLater();
    void rememberDisk();
    std::optional<Refusal> keptOverNewerFile(const QByteArray &base);

    Project *m_project = nullptr;
    QString m_filePath;
    QByteArray m_savedBytes;
    bool m_modified = false;
    bool m_keeping = false;
    bool m_keepFailureTold = false;
    QTimer *m_keepTimer = nullptr;
    std::unique_ptr<WorkSlot> m_slot;
    // The open file as this document last read or wrote it: its digest, and a stamp that saves reading it
    // again while the stamp stays the same.
    QByteArray m_diskDigest;
    QByteArray m_diskStamp;
    QByteArray m_toldDigest;
    bool m_replacing = false; // the inputs are being replaced as a whole: one change, not many
};

} // namespace ambrel
