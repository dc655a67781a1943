#pragma once

#include <QString>

namespace ambrel {

// Where Ambrel's files live, decided here alone: the settings shipped with the program, the person's own
// settings, the default export folder, and the data folder that keeps the session and unsaved work.
// Today the first three are the program's folder; tests point them at a folder of their own.
class Paths final {
public:
    static QString shippedSettingsFolder();
    static QString settingsFolder();
    // A file in the person's settings folder.
    static QString settingsFile(const QString &fileName);
    static QString exportFolder();
    // A file in the default export folder.
    static QString exportFile(const QString &fileName);
    // Created by whoever first writes there.
    static QString dataFolder();

    // An empty path hands the folder back to the executable's own.
    static void setProgramFolder(const QString &path);
    // An empty path hands the data folder back to the user's.
    static void setDataFolder(const QString &path);

private:
    static QString programFolder();
};

} // namespace ambrel
