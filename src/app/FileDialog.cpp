#include "FileDialog.h"

#include <QFileDialog>

namespace ambrel {

namespace {

struct Script {
    bool testing = false;
    QStringList openNames;
    QStringList saveNames;
    QStringList calls;
};

Script &script()
{
    static Script instance;
    return instance;
}

QString takeScripted(QStringList &names)
{
    return names.isEmpty() ? QString() : names.takeFirst();
}

} // namespace

QString FileDialog::getOpenFileName(
    QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    Script &s = script();
    if (s.testing) {
        s.calls.append(caption);
        return takeScripted(s.openNames);
    }
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString FileDialog::getSaveFileName(
    QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    Script &s = script();
    if (s.testing) {
        s.calls.append(caption);
        return takeScripted(s.saveNames);
    }
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void FileDialog::setTesting(bool testing)
{
    Script &s = script();
    s.testing = testing;
    s.openNames.clear();
    s.saveNames.clear();
    s.calls.clear();
}

void FileDialog::setNextOpenFileName(const QString &name)
{
    script().openNames.append(name);
}

void FileDialog::setNextSaveFileName(const QString &name)
{
    script().saveNames.append(name);
}

const QStringList &FileDialog::calls()
{
    return script().calls;
}

} // namespace ambrel
