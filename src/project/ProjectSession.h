#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "corekit/Refusal.h"

#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

class QLockFile;

namespace ambrel {

// What the planner remembers between runs, kept as small files in the user's data folder
// (Paths::dataFolder()): the project file open when it last closed, the recent project files, whether the
// timeline shows, and each window's unsaved work, in the project file's own format. Every file is written
// atomically.
class ProjectSession final {
public:
    static constexpr int kMostRecentFiles = 8;

    // The data folder; created on the first write.
    static QString folder();

    // The project file that was open, or empty when the work was never saved.
    static QString lastFile();
    static std::optional<Refusal> setLastFile(const QString &path);

    // Most recent first, at most kMostRecentFiles, each path once.
    static QStringList recentFiles();
    static std::optional<Refusal> addRecentFile(const QString &path);
    static std::optional<Refusal> removeRecentFile(const QString &path);
    static std::optional<Refusal> clearRecentFiles();

    // Whether the timeline shows beside the task list; hidden until the person first shows it.
    static bool timelineShown();
    static std::optional<Refusal> setTimelineShown(bool shown);
    // Whether the Google Calendar export writes one event per working day; off until the person picks it.
    static bool csvPerDay();
    static std::optional<Refusal> setCsvPerDay(bool perDay);

    // Where the window was and how the list and timeline shared it, as the window wrote it; empty at first.
    static QByteArray windowPlace();
    static std::optional<Refusal> setWindowPlace(const QByteArray &place);

    // Work a window kept: the project file it belongs to (empty when never saved) and the project's bytes.
    struct KeptWork {
        QString file;
        QByteArray bytes;
        // The digest of the file as it was when the changes began; empty for untitled work or older places.
        QByteArray base;
    };
    // Every window's kept work in the data folder, whether a running window holds it or not.
    static std::vector<KeptWork> keptWork();
};

// One window's own place for its unsaved work in the data folder, held by a lock while the window lives so
// that no other window takes it; a window that goes without closing (a crash) leaves it for the next start.
class WorkSlot final {
    Q_DISABLE_COPY_MOVE(WorkSlot)

public:
    ~WorkSlot();

    // A new place of its own, held at once.
    static std::unique_ptr<WorkSlot> create();
    // Every place whose work no running window holds, held now for whoever brings it back. The work kept in
    // the places used by earlier versions comes first into places of this kind.
    static std::vector<std::unique_ptr<WorkSlot>> claimUnheld();

    // What the place held when it was claimed.
    const ProjectSession::KeptWork &kept() const { return m_kept; }
    // Larger work is refused, so that whatever was kept can be brought back.
    static constexpr qint64 kLargestKeptBytes = 2 * 16 * 1024 * 1024;
    std::optional<Refusal> keep(const QString &file, const QByteArray &bytes, const QByteArray &base = {});
    // The work is saved or thrown away; the place stays held.
    void forget();

private:
    explicit WorkSlot(const QString &id);
    bool hold();

    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    ProjectSession::KeptWork m_kept;
    QByteArray m_writtenBase; // the digest beside the kept work now, so that it is written only on change
};

} // namespace ambrel
