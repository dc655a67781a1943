#include "ExportFile.h"

#include "corekit/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

namespace ambrel {

bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(
            QStringLiteral("the folder %1 could not be created.").arg(QDir::toNativeSeparators(folder)));
    QString reason;
    if (!writeFileAtomically(path, bytes, &reason))
        return fail(reason);
    return true;
}

} // namespace ambrel
