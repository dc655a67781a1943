#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace ambrel {

namespace {
QString s_overridePath;
}

QString ProgramFolder::path()
{
    if (!s_overridePath.isEmpty())
        return s_overridePath;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString ProgramFolder::filePath(const QString &fileName)
{
    return QDir(path()).filePath(fileName);
}

void ProgramFolder::setPath(const QString &path)
{
    s_overridePath = path;
}

} // namespace ambrel
