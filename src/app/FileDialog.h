#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace ambrel {

// Every file dialog of the planner goes through here. Tests switch on testing mode: nothing is shown, each
// call is recorded by its caption, and the name comes from the scripted names (an empty name, or none left,
// is the person cancelling).
class FileDialog final {
public:
    static QString getOpenFileName(
        QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
    static QString getSaveFileName(
        QWidget *parent, const QString &caption, const QString &dir, const QString &filter);

    static void setTesting(bool testing);
    static void setNextOpenFileName(const QString &name);
    static void setNextSaveFileName(const QString &name);
    static const QStringList &calls();
};

} // namespace ambrel
