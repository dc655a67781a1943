#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace ambrel {

// Every file chooser of the planner goes through here. In testing mode no dialog is shown: each call is
// recorded and answered with the next scripted name, or with an empty name (the person cancelled).
class FileDialog final {
public:
    enum Kind { Open, Save };

    struct Call {
        Kind kind = Open;
        QString caption;
        QString folder;
        QString filter;
        bool confirmOverwrite = true;
    };

    // An empty result means the person cancelled.
    static QString getOpenFileName(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
    // Without confirmOverwrite the dialog does not ask about an existing file: the caller asks its own.
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &folder,
        const QString &filter, bool confirmOverwrite = true);

    static void setTesting(bool testing);
    static void setNextOpenFileName(const QString &path);
    static void setNextSaveFileName(const QString &path);
    // When no scripted name is left, a save takes the name it offered instead of cancelling.
    static void setAcceptOffered(bool accept);
    static const QList<Call> &calls();
    static void clearCalls();
};

} // namespace ambrel
