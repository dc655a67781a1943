#pragma once

#include "corekit/Refusal.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ambrel {

// Plain file and text operations the planner moves its settings and task text with.
// Loads read LF and CR LF files, with or without a final line break, as UTF-8.
// Saves are atomic: a failed save leaves the earlier file whole and says "Could not save <file>: <reason>".

bool FileExists(const QString &path);

// Reads at most maxBytes of the file; settings files are small and a huge one must not stall the program.
// A file that cannot be read gives nothing, and the system's reason in *reason for the one caller that
// words it for the person.
QStringList LoadLines(const QString &path, qint64 maxBytes = 1 << 20);
QString LoadText(const QString &path, qint64 maxBytes = 1 << 20, QString *reason = nullptr);

// Writes each item followed by a line feed.
std::optional<Refusal> SaveLines(const QStringList &lines, const QString &path);
std::optional<Refusal> SaveText(const QString &text, const QString &path);

// Every occurrence of find replaced by replacement; matching is case-sensitive.
QString ReplaceAll(const QString &text, const QString &find, const QString &replacement);

// The pieces of text between separators, in order. Empty pieces make no item, so a blank line
// or the end after a final line break never turns into a task.
QStringList SplitLines(const QString &text, const QString &separator);

} // namespace ambrel
