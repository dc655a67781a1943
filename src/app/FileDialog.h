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
    };

    // An empty result means the person cancelled.
    static QString getOpenFileName(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
    static QString getSaveFileName(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter);

    static void setTesting(bool testing);
    static void setNextOpenFileName(const QString &path);
    static void setNextSaveFileName(const QString &path);
    static const QList<Call> &calls();
    static void clearCalls();
};

} // namespace ambrel
