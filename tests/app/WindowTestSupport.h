#pragma once

#include "app/FileDialog.h"
#include "app/FolderOpener.h"
#include "app/Form1.h"
#include "app/MessageBox.h"
#include "corekit/Clock.h"
#include "corekit/Paths.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// A program folder of its own for each test, holding copies of the shipped settings files.
class SettingsFolder final {
public:
    SettingsFolder()
    {
        const QDir shipped(QStringLiteral(AMBREL_SETTINGS_DIR));
        for (const QString &name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), m_dir.filePath(name));
        ambrel::Paths::setProgramFolder(m_dir.path());
        // Whatever a window keeps between runs goes to a folder of this test's own, never the person's, and
        // never one that window tests running beside it share.
        QStandardPaths::setTestModeEnabled(true);
        ambrel::Paths::setDataFolder(m_dir.filePath(QStringLiteral("data")));
    }
    ~SettingsFolder()
    {
        ambrel::Paths::setDataFolder(QString());
        ambrel::Paths::setProgramFolder(QString());
    }
    SettingsFolder(const SettingsFolder &) = delete;
    SettingsFolder &operator=(const SettingsFolder &) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    bool remove(const QString &name) const { return QFile::remove(filePath(name)); }

    QByteArray read(const QString &name) const
    {
        QFile file(filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    }

    // Every settings file's bytes, to show that a refused or failed save changed nothing.
    QList<QByteArray> snapshot() const
    {
        return { read(QStringLiteral("workingweek.txt")), read(QStringLiteral("workingday_starts_at.txt")),
            read(QStringLiteral("workingday_ends_at.txt")) };
    }

private:
    QTemporaryDir m_dir;
};

// What each window test starts from: message boxes, file dialogs and the file manager answered by the test,
// today fixed, a program folder of its own (folder) and a folder for the test's project files (files).
class WindowTest final {
public:
    // Once per test program: dates written as in the United States, under the planner's name.
    static void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setApplicationName(QStringLiteral("Ambrel"));
    }

    explicit WindowTest(const QDate &today)
    {
        ambrel::MessageBox::setTesting(true);
        ambrel::FileDialog::setTesting(true);
        ambrel::FolderOpener::setTesting(true);
        ambrel::Clock::setToday(today);
    }
    ~WindowTest() { ambrel::Clock::setToday({}); }
    WindowTest(const WindowTest &) = delete;
    WindowTest &operator=(const WindowTest &) = delete;

    SettingsFolder folder;
    QTemporaryDir files;
};

// The main window with its one-off calendar check held back (unless kept), so that waiting for a dialog
// cannot move the date.
inline std::unique_ptr<ambrel::Form1> openForm1(bool keepTimer = false)
{
    auto window = std::make_unique<ambrel::Form1>();
    if (!keepTimer)
        window->findChild<QTimer *>(QStringLiteral("tmrDate"))->stop();
    return window;
}

// The texts of the message boxes shown so far, in order.
inline QStringList shownTexts()
{
    QStringList texts;
    for (const ambrel::MessageBox::Shown &shown : ambrel::MessageBox::shown())
        texts << shown.text;
    return texts;
}

// Runs each step, in order, on the next window of type W to open modally; a window a step leaves open is
// closed so that a failing test never waits.
template <typename W>
void onModalWindows(QObject *context, QList<std::function<void(W &)>> steps)
{
    auto *timer = new QTimer(context);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, context, [timer, steps]() mutable {
        auto *window = qobject_cast<W *>(QApplication::activeModalWidget());
        if (!window || window->property("handled").toBool())
            return;
        window->setProperty("handled", true);
        if (!steps.isEmpty())
            steps.takeFirst()(*window);
        if (window->isVisible())
            window->close();
        if (steps.isEmpty())
            timer->deleteLater();
    });
    timer->start();
}
