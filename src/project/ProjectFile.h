#pragma once

#include "corekit/AtomicFile.h"
#include "corekit/Refusal.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

class QIODevice;

namespace ambrel {

// What a project file keeps: what the person typed and chose in the window, not their own settings.
struct ProjectFileContent {
    QString name = QStringLiteral("My Project");
    bool startOnPickedDate = false;
    QDate pickedStartDate; // read only when startOnPickedDate
    bool workingWeekApplies = true;
    QString taskText; // line feeds between lines

    // "Parallel: wait": the task after a parallel group waits for all of the group's tasks. Written only
    // when on, so that files of plans that never use it stay as they were.
    bool waitForParallel = false;
    // The project's lasting identity, written as the "Id" header key when set; empty for a file saved
    // before projects had one.
    QString id;
};

// A fresh project identity: a UUID, lowercase, with hyphens and no braces.
QString newProjectId();

// Larger files are refused unread: no project a person typed comes near it.
inline constexpr qint64 MaxProjectFileBytes = 16 * 1024 * 1024;

// Whether the bytes start with the project file's first line, after an optional byte-order mark.
bool isProjectFile(const QByteArray &bytes);

// The project in a file's bytes; refused, naming the line at fault, when the file cannot be taken. CR LF
// (and any CRs piled before an LF) is read as LF, also in the task text.
Refusable<ProjectFileContent> parseProjectFile(const QByteArray &bytes);

// The file's bytes: parsing them gives the content back, with the task text's CR LF turned into LF and
// line breaks in the name into blanks.
QByteArray projectFileBytes(const ProjectFileContent &content);

// The project in bytes already read from fileName; the same checks and messages as loadProjectFile.
Refusable<ProjectFileContent> readProjectFile(const QByteArray &bytes, const QString &fileName);

// The project in the file at path; refused with "Could not open <file>: <reason>" when it is missing,
// unreadable, too large, or not a project Ambrel can take.
Refusable<ProjectFileContent> loadProjectFile(const QString &path);

// A file or standard input (named name in messages) as the command line takes it: a project file, or else
// task text, given as the task text of a project whose other fields keep their defaults. Reads no more
// than MaxProjectFileBytes and refuses, with loadProjectFile's messages, what the window refuses: input
// larger than that, text that is not UTF-8, lines that end in CR alone, a project file it cannot take.
Refusable<ProjectFileContent> loadProjectOrTaskText(const QString &path);
Refusable<ProjectFileContent> readProjectOrTaskText(QIODevice &input, const QString &name);

// Replaces the file at path atomically; on failure the earlier file stays whole and the refusal says
// "Could not save <file>: <reason>".
std::optional<Refusal> saveProjectFile(
    const QString &path, const ProjectFileContent &content, WriteOptions options = {});

} // namespace ambrel
