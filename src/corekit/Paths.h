#pragma once

#include <QString>

namespace ambrel {

// Where Ambrel's files live, decided here alone: the settings shipped with the program, the person's own
// settings, the default export folder, and the data folder that keeps the session and unsaved work.
//
// A portable program folder (it holds workingweek.txt and can be written to, as a build tree or an unpacked
// copy, or it has no installed ../share/ambrel beside it) keeps everything beside the program. An installed
// program reads its shipped settings from ../share/ambrel beside its bin/ folder, keeps the person's own
// settings in ~/.config/Ambrel (overriding the shipped ones file by file) and exports to the Documents
// folder. Tests point the program folder at a folder of their own.
class Paths final {
public:
    // Whether the program folder keeps the settings itself.
    static bool isPortable();
    static QString shippedSettingsFolder();
    // The windows' translations (.qm files), shipped beside the settings.
    static QString translationsFolder();
    // The person's own settings folder, where settings are saved; created by whoever first writes there.
    static QString settingsFolder();
    // A file in the person's settings folder: where that setting is saved.
    static QString settingsFile(const QString &fileName);
    // The file a setting is read from: the one in folder, or, when folder is the person's settings folder
    // and does not hold it, the shipped one.
    static QString settingsFileToRead(const QString &folder, const QString &fileName);
    static QString exportFolder();
    // A file in the default export folder.
    static QString exportFile(const QString &fileName);
    // Created by whoever first writes there.
    static QString dataFolder();
    // Where Open and Save As start while no project file is open: the person's documents.
    static QString projectFolder();
    // The user manual: beside the program (a build tree, an unpacked copy), else where an install puts it,
    // ../share/doc/ambrel/manual from the program's bin/. Empty when neither holds the manual.
    static QString manualFolder();
    // The icon theme an install puts beside the program, ../share/icons/hicolor from its bin/.
    static QString iconsFolder();

    // An empty path hands the folder back to the executable's own.
    static void setProgramFolder(const QString &path);
    // An empty path hands the data folder back to the user's.
    static void setDataFolder(const QString &path);

private:
    static QString programFolder();
};

} // namespace ambrel
