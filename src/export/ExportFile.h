#pragma once

#include "corekit/AtomicFile.h"
#include "corekit/Refusal.h"

#include <QString>

#include <optional>

namespace ambrel {

// Writes an export file atomically, its content written as it is made, creating its folder when missing.
// On failure any earlier file stays whole and the refusal says "Could not write <file>: <reason>".
std::optional<Refusal> writeExportFile(const QString &path, const ContentWriter &write);

} // namespace ambrel
