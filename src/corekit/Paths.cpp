#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace ambrel {

namespace {
QString s_programFolder;
QString s_dataFolder;
} // namespace

QString Paths::programFolder()
{
    if (!s_programFolder.isEmpty())
        return s_programFolder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString Paths::shippedSettingsFolder()
{
    return programFolder();
}

QString Paths::settingsFolder()
{
    return programFolder();
}

QString Paths::settingsFile(const QString &fileName)
{
    return QDir(settingsFolder()).filePath(fileName);
}

QString Paths::exportFolder()
{
    return QDir(programFolder()).filePath(QStringLiteral("output"));
}

QString Paths::exportFile(const QString &fileName)
{
    return QDir(exportFolder()).filePath(fileName);
}

QString Paths::dataFolder()
{
    if (!s_dataFolder.isEmpty())
        return s_dataFolder;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void Paths::setProgramFolder(const QString &path)
{
    s_programFolder = path;
}

void Paths::setDataFolder(const QString &path)
{
    s_dataFolder = path;
}

} // namespace ambrel
