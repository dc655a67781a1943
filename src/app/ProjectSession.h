#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ambrel {

// What the planner remembers between runs, kept as small files in the user's data folder
// (QStandardPaths::AppDataLocation): the project file open when it last closed, the recent project files,
// whether the timeline shows, and work that was never saved, in the project file's own format. Every file is
// written atomically.
class ProjectSession final {
public:
    static constexpr int kMostRecentFiles = 8;

    // The data folder; created on the first write.
    static QString folder();

    // The project file that was open, or empty when the work was never saved.
    static QString lastFile();
    static bool setLastFile(const QString &path, QString *error = nullptr);

    // Most recent first, at most kMostRecentFiles, each path once.
    static QStringList recentFiles();
    static bool addRecentFile(const QString &path, QString *error = nullptr);
    static bool removeRecentFile(const QString &path, QString *error = nullptr);
    static bool clearRecentFiles(QString *error = nullptr);

    // Whether the timeline shows beside the task list; hidden until the person first shows it.
    static bool timelineShown();
    static bool setTimelineShown(bool shown, QString *error = nullptr);

    static std::optional<QByteArray> unsavedWork();
    static bool keepUnsavedWork(const QByteArray &bytes, QString *error = nullptr);
    static void forgetUnsavedWork();

    // Changes to an open project file that were not saved yet, kept with the file's path; nothing when the
    // kept changes belong to another file or there are none.
    static std::optional<QByteArray> unsavedChanges(const QString &file);
    static bool keepUnsavedChanges(const QString &file, const QByteArray &bytes, QString *error = nullptr);
    static void forgetUnsavedChanges();
};

} // namespace ambrel
