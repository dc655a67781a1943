#include "app/ExportDestination.h"

#include "app/FileDialog.h"
#include "corekit/AtomicFile.h"
#include "corekit/Paths.h"
#include "project/ProjectSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ambrel {

namespace {

// One line per kind: its key, a tab, the folder last exported to.
const QString kFoldersFile = QStringLiteral("export-folders.txt");
constexpr qint64 kLargestFoldersFile = 64 * 1024;

QString keyOf(ExportDestination::Kind kind)
{
    switch (kind) {
    case ExportDestination::Csv:
        return QStringLiteral("csv");
    case ExportDestination::Ics:
        return QStringLiteral("ics");
    case ExportDestination::Timeline:
        break;
    }
    return QStringLiteral("timeline");
}

QString foldersFile()
{
    return QDir(ProjectSession::folder()).filePath(kFoldersFile);
}

QStringList folderLines()
{
    QFile file(foldersFile());
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestFoldersFile)
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QString lastFolder(ExportDestination::Kind kind)
{
    const QString prefix = keyOf(kind) + u'\t';
    for (const QString &line : folderLines()) {
        // A folder removed since is no help; the default one is.
        if (line.startsWith(prefix) && QFileInfo(line.mid(prefix.size())).isDir())
            return line.mid(prefix.size());
    }
    // A dialog offering a folder that is not there opens somewhere else; a fresh home may lack Documents.
    const QString folder = Paths::exportFolder();
    QDir().mkpath(folder);
    return folder;
}

void rememberFolder(ExportDestination::Kind kind, const QString &folder)
{
    const QString prefix = keyOf(kind) + u'\t';
    QStringList lines { prefix + folder };
    for (const QString &line : folderLines()) {
        if (!line.startsWith(prefix))
            lines << line;
    }
    // Only a convenience: a folder that cannot be remembered is offered again by default next time.
    if (QDir().mkpath(ProjectSession::folder()))
        writeFileAtomically(foldersFile(), lines.join(u'\n').toUtf8() + '\n');
}

} // namespace

QString ExportDestination::fileName(const QString &projectName, const QString &extension)
{
    QString name = projectName.trimmed();
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'-';
    }
    // A name of dots alone would mean a folder, or lead to a hidden file.
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("project");
    return name + u'.' + extension;
}

QString ExportDestination::choose(QWidget *parent, Kind kind, const QString &projectName,
    const QString &caption, const QString &filter, bool askOverwrite)
{
    const QString extension = kind == Csv ? QStringLiteral("csv")
        : kind == Ics                     ? QStringLiteral("ics")
                                          : QStringLiteral("png");
    const QString offered = QDir(lastFolder(kind)).filePath(fileName(projectName, extension));
    const QString chosen = FileDialog::getSaveFileName(parent, caption, offered, filter, askOverwrite);
    if (!chosen.isEmpty())
        rememberFolder(kind, QFileInfo(chosen).absolutePath());
    return chosen;
}

} // namespace ambrel
