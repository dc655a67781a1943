#pragma once

#include <QByteArray>
#include <QString>

namespace ambrel {

// The one way Ambrel writes a file: the bytes go to a temporary file beside it, are flushed and checked,
// and only then replace the earlier file. Any failure, including one that only shows when the buffer
// reaches the disk, leaves the earlier file whole and puts the reason in *reason
// ("No space left on device", "File too large", ...).
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

} // namespace ambrel
