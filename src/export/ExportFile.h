#pragma once

#include <QByteArray>
#include <QString>

namespace ambrel {

// Writes an export file atomically, creating its folder when missing. On failure any earlier file stays
// whole and *error says "Could not write <file>: <reason>".
bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace ambrel
