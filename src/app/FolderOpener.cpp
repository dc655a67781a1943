#include "FolderOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace ambrel {

namespace {

struct Script {
    bool testing = false;
    bool succeed = true;
    QStringList opened;
};

Script &script()
{
    static Script instance;
    return instance;
}

} // namespace

bool FolderOpener::openFolder(const QString &path)
{
    Script &s = script();
    if (s.testing) {
        s.opened << path;
        return s.succeed;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void FolderOpener::setTesting(bool testing, bool succeed)
{
    script() = { testing, succeed, {} };
}

const QStringList &FolderOpener::opened()
{
    return script().opened;
}

} // namespace ambrel
