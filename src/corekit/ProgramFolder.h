#pragma once

#include <QString>

namespace ambrel {

// The folder that holds the program: settings files live here, exports go below it.
// Tests point it at a temporary folder with setPath().
class ProgramFolder final {
public:
    static QString path();
    static QString filePath(const QString &fileName);
    // An empty path hands the folder back to the executable's own.
    static void setPath(const QString &path);
};

} // namespace ambrel
