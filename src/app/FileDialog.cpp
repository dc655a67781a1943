#include "FileDialog.h"

#include <QFileDialog>

namespace ambrel {

namespace {

struct Script {
    bool testing = false;
    QList<QString> openNames;
    QList<QString> saveNames;
    QList<FileDialog::Call> calls;
    bool acceptOffered = false;
};

Script &script()
{
    static Script instance;
    return instance;
}

// Answers a call in testing mode; false when a real dialog is to be shown.
bool scripted(FileDialog::Call call, QString *answer)
{
    Script &s = script();
    if (!s.testing)
        return false;
    QList<QString> &names = call.kind == FileDialog::Open ? s.openNames : s.saveNames;
    const QString offered = call.kind == FileDialog::Save && s.acceptOffered ? call.folder : QString();
    *answer = names.isEmpty() ? offered : names.takeFirst();
    s.calls.append(std::move(call));
    return true;
}

} // namespace

QString FileDialog::getOpenFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    QString answer;
    if (scripted({ Open, caption, folder, filter }, &answer))
        return answer;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString FileDialog::getSaveFileName(QWidget *parent, const QString &caption, const QString &folder,
    const QString &filter, bool confirmOverwrite)
{
    QString answer;
    if (scripted({ Save, caption, folder, filter, confirmOverwrite }, &answer))
        return answer;
    return QFileDialog::getSaveFileName(parent, caption, folder, filter, nullptr,
        confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
}

void FileDialog::setTesting(bool testing)
{
    Script &s = script();
    s.testing = testing;
    s.openNames.clear();
    s.saveNames.clear();
    s.calls.clear();
    s.acceptOffered = false;
}

void FileDialog::setNextOpenFileName(const QString &path)
{
    script().openNames.append(path);
}

void FileDialog::setNextSaveFileName(const QString &path)
{
    script().saveNames.append(path);
}

void FileDialog::setAcceptOffered(bool accept)
{
    script().acceptOffered = accept;
}

const QList<FileDialog::Call> &FileDialog::calls()
{
    return script().calls;
}

void FileDialog::clearCalls()
{
    script().calls.clear();
}

} // namespace ambrel
