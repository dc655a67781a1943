#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ambrel {

namespace {
QString s_programFolder;
QString s_dataFolder;

// The folder names of the first releases, which set no organisation name; both programs share them.
const QString kFolderName = QStringLiteral("Ambrel");
} // namespace

QString Paths::programFolder()
{
    if (!s_programFolder.isEmpty())
        return s_programFolder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

bool Paths::isPortable()
{
    const QString folder = programFolder();
    // Without an installed share/ambrel there is nowhere else to look, so a file missing from a build
    // tree is still told as missing there.
    return (QFileInfo(QDir(folder).filePath(QStringLiteral("workingweek.txt"))).isFile()
               && QFileInfo(folder).isWritable())
        || !QFileInfo(QDir(folder).filePath(QStringLiteral("../share/ambrel"))).isDir();
}

QString Paths::shippedSettingsFolder()
{
    if (isPortable())
        return programFolder();
    return QDir::cleanPath(QDir(programFolder()).filePath(QStringLiteral("../share/ambrel")));
}

QString Paths::translationsFolder()
{
    return QDir(shippedSettingsFolder()).filePath(QStringLiteral("translations"));
}

QString Paths::settingsFolder()
{
    if (isPortable())
        return programFolder();
    // By name rather than AppConfigLocation, so that ambrel-cli, named otherwise, shares the window's folder.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(kFolderName);
}

QString Paths::settingsFile(const QString &fileName)
{
    return QDir(settingsFolder()).filePath(fileName);
}

QString Paths::settingsFileToRead(const QString &folder, const QString &fileName)
{
    const QString own = QDir(folder).filePath(fileName);
    if (QFileInfo::exists(own) || QDir::cleanPath(folder) != QDir::cleanPath(settingsFolder()))
        return own;
    return QDir(shippedSettingsFolder()).filePath(fileName);
}

QString Paths::exportFolder()
{
    if (isPortable())
        return QDir(programFolder()).filePath(QStringLiteral("output"));
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
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

QString Paths::projectFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString Paths::manualFolder()
{
    const QDir program(programFolder());
    for (const QString &candidate : { program.filePath(QStringLiteral("manual")),
             program.filePath(QStringLiteral("../share/doc/ambrel/manual")) }) {
        if (QFileInfo::exists(QDir(candidate).filePath(QStringLiteral("index.html"))))
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
    }
    return {};
}

QString Paths::iconsFolder()
{
    return QDir(programFolder()).filePath(QStringLiteral("../share/icons/hicolor"));
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
