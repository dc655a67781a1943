#pragma once

#include <QString>
#include <QStringList>

namespace ambrel {

// Opens a folder in the desktop's file manager. Tests switch on testing mode: nothing opens, each path
// is recorded, and the answer is the one they chose.
class FolderOpener final {
public:
    // False when the desktop could not open the folder.
    static bool openFolder(const QString &path);

    static void setTesting(bool testing, bool succeed = true);
    static const QStringList &opened();
};

} // namespace ambrel
