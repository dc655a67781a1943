#pragma once

#include <QString>

class QWidget;

namespace ambrel {

// Where an export goes: a save dialog offering a file name made from the project's name, in the last
// folder used for that kind of export; the first time, the default export folder.
class ExportDestination final {
public:
    enum Kind { Csv, Ics, Timeline };

    // The chosen file, or empty when the person cancelled. The folder it lies in is remembered for the
    // kind. Without askOverwrite the dialog leaves the question about an existing file to the caller.
    static QString choose(QWidget *parent, Kind kind, const QString &projectName, const QString &caption,
        const QString &filter, bool askOverwrite);

    // The project's name as a file name with extension: characters a file name cannot hold become '-', and
    // an empty name is "project".
    static QString fileName(const QString &projectName, const QString &extension);
};

} // namespace ambrel
