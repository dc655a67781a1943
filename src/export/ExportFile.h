#pragma once

#include "corekit/AtomicFile.h"

#include <QByteArray>
#include <QString>

namespace ambrel {

// Writes an export file atomically, creating its folder when missing. On failure any earlier file stays
// whole and *error says "Could not write <file>: <reason>".
bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// The same with the content written as it is made, for files too large to hold whole.
bool writeExportFile(const QString &path, const ContentWriter &write, QString *error = nullptr);

} // namespace ambrel
