#include "ExportFile.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>

namespace ambrel {

bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeExportFile(
        path, [&bytes](QIODevice *device, QString *) { return device->write(bytes) == bytes.size(); }, error);
}

bool writeExportFile(const QString &path, const ContentWriter &write, QString *error)
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
    if (!writeFileAtomically(path, write, &reason))
        return fail(reason);
    return true;
}

} // namespace ambrel
