#include "ExportFile.h"

#include <QDir>
#include <QFileInfo>

namespace ambrel {

std::optional<Refusal> writeExportFile(const QString &path, const ContentWriter &write)
{
    const QString file = QDir::toNativeSeparators(path);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return couldNotWrite(file,
            QStringLiteral("the folder %1 could not be created.").arg(QDir::toNativeSeparators(folder)));
    QString reason;
    if (!writeFileAtomically(path, write, &reason))
        return couldNotWrite(file, reason);
    return std::nullopt;
}

} // namespace ambrel
