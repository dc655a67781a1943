#include "app/MainMenus.h"

#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/Printing.h"
#include "app/TaskListModel.h"
#include "app/TimelinePane.h"
#include "app/UserManual.h"
#include "project/ProjectSession.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTreeView>
#include <QtGlobal>

#include <libical/ical.h>

namespace ambrel {

namespace {

QAction *addNamedAction(QMenu *menu, const char *name, const QString &text, const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QMenu *addMenu(QMenuBar *bar, const char *name, const QString &title)
{
    QMenu *menu = bar->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

Form1Menus buildForm1Menus(Form1 *window, QTreeView *list, TimelinePane *timeline)
{
    Form1Menus menus;
    QMenuBar *bar = window->menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu *file = addMenu(bar, "menuFile", QStringLiteral("&File"));
    QObject::connect(addNamedAction(file, "actionNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)),
        &QAction::triggered, window, &Form1::newProject);
    QObject::connect(addNamedAction(file, "actionOpen", QStringLiteral("&Open…"), QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, window, &Form1::openProject);
    menus.recent = file->addMenu(QStringLiteral("Open &Recent"));
    menus.recent->setObjectName(QStringLiteral("menuOpenRecent"));
    file->addSeparator();
    QObject::connect(addNamedAction(file, "actionSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, window, &Form1::saveProject);
    QObject::connect(addNamedAction(file, "actionSaveAs", QStringLiteral("Save &As…"),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
        &QAction::triggered, window, &Form1::saveProjectAs);
    file->addSeparator();
    QObject::connect(addNamedAction(file, "actionExportCsv", QStringLiteral("&Export to Google Calendar (.csv)"),
                QKeySequence(Qt::CTRL | Qt::Key_E)),
        &QAction::triggered, window, &Form1::Command2_Click);
    menus.csvPerDay = addNamedAction(file, "actionCsvPerDay", QStringLiteral("CSV: One Event per &Working Day"));
    menus.csvPerDay->setCheckable(true);
    QObject::connect(addNamedAction(file, "actionExportIcs", QStringLiteral("Export to &iCalendar (.ics)…"),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)),
        &QAction::triggered, window, &Form1::exportIcs);
    QObject::connect(addNamedAction(file, "actionExportTimeline", QStringLiteral("Export &Timeline…")),
        &QAction::triggered, window, &Form1::exportTimeline);
    QObject::connect(addNamedAction(file, "actionPublish", QStringLiteral("P&ublish to Calendar…"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)),
        &QAction::triggered, window, &Form1::publishToCalendar);
    file->addSeparator();
    menus.print = addNamedAction(
        file, "actionPrint", QStringLiteral("&Print List…"), QKeySequence(Qt::CTRL | Qt::Key_P));
    QObject::connect(menus.print, &QAction::triggered, window, &Form1::cmdPrint_Click);
    QObject::connect(addNamedAction(file, "actionPrintPreview", QStringLiteral("Print Pre&view…")),
        &QAction::triggered, window, [window] { Printing::previewList(window, *window->taskModel()); });
    QObject::connect(addNamedAction(file, "actionPrintTimeline", QStringLiteral("Print Ti&meline…")),
        &QAction::triggered, window, [window] { Printing::printProjectTimeline(window, window->project()); });
    file->addSeparator();
    QObject::connect(addNamedAction(file, "actionClose", QStringLiteral("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W)),
        &QAction::triggered, window, &Form1::close);
    QObject::connect(addNamedAction(file, "actionQuit", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
        &QAction::triggered, window, [window] { quitEveryWindow(window); });

    QMenu *edit = addMenu(bar, "menuEdit", QStringLiteral("&Edit"));
    menus.undo = addNamedAction(edit, "actionUndo", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    menus.redo = addNamedAction(
        edit, "actionRedo", QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));

    QMenu *tasks = addMenu(bar, "menuTasks", QStringLiteral("&Tasks"));
    QObject::connect(addNamedAction(tasks, "actionRebuild", QStringLiteral("&Rebuild"), QKeySequence(Qt::Key_F5)),
        &QAction::triggered, window, &Form1::cmdToList_Click);
    tasks->addSeparator();
    menus.postpone
        = addNamedAction(tasks, "actionPostpone", QStringLiteral("&Postpone or Advance from Selected Task…"));
    QObject::connect(menus.postpone, &QAction::triggered, window, &Form1::postponeSelectedTask);
    menus.markDone = addNamedAction(tasks, "actionMarkDone", QStringLiteral("Mark &Done"), QKeySequence(Qt::CTRL | Qt::Key_D));
    // Delete acts only while the list has the focus, so that it still deletes text in the boxes.
    menus.removeSelected = addNamedAction(
        tasks, "actionRemoveSelected", QStringLiteral("Remove &Selected Task"), QKeySequence(Qt::Key_Delete));
    menus.removeSelected->setShortcutContext(Qt::WidgetShortcut);
    list->addAction(menus.removeSelected);
    QObject::connect(menus.removeSelected, &QAction::triggered, window, &Form1::cmdRemoveSelected_Click);
    menus.removeAll = addNamedAction(tasks, "actionRemoveAll", QStringLiteral("Remove &All Tasks"));
    QObject::connect(menus.removeAll, &QAction::triggered, window, &Form1::cmdRemove_Click);
    tasks->addSeparator();
    menus.convertToList
        = addNamedAction(tasks, "actionConvertToList", QStringLiteral("&Turn List Back into Text"));
    QObject::connect(menus.convertToList, &QAction::triggered, window, &Form1::cmdConvertToList_Click);
    tasks->addSeparator();
    menus.waitParallel = addNamedAction(tasks, "actionWaitParallel", QStringLiteral("Wait for parallel tasks"));
    menus.waitParallel->setCheckable(true);

    timeline->createViewMenu(bar);

    QMenu *settings = addMenu(bar, "menuSettings", QStringLiteral("&Settings"));
    QObject::connect(addNamedAction(settings, "actionWorkingWeek", QStringLiteral("&Working Week…")),
        &QAction::triggered, window, &Form1::lblSetWorkingDays_Click);
    QObject::connect(addNamedAction(settings, "actionDaysOff", QStringLiteral("&Days Off…")), &QAction::triggered,
        window, &Form1::daysOffWindow);

    QMenu *help = addMenu(bar, "menuHelp", QStringLiteral("&Help"));
    QObject::connect(
        addNamedAction(help, "actionUserManual", QStringLiteral("&User Manual"), QKeySequence::HelpContents),
        &QAction::triggered, window, [window] { UserManual::open(window); });
    QObject::connect(addNamedAction(help, "actionTips", QStringLiteral("&Tips")), &QAction::triggered, window,
        &Form1::Label15_Click);
    QObject::connect(addNamedAction(help, "actionAbout", QStringLiteral("&About Ambrel")), &QAction::triggered, window,
        &Form1::showAbout);

    menus.taskList = new QMenu(window);
    menus.taskList->setObjectName(QStringLiteral("menuTaskList"));
    menus.taskList->addActions({ menus.postpone, menus.markDone, menus.removeSelected, menus.removeAll });
    menus.taskList->addSeparator();
    menus.taskList->addAction(menus.convertToList);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    return menus;
}

void quitEveryWindow(Form1 *window)
{
    QList<QPointer<Form1>> windows { window };
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *other = qobject_cast<Form1 *>(widget);
        if (other && other != window && other->isVisible())
            windows << other;
    }
    for (const QPointer<Form1> &each : windows) {
        if (each && each->isVisible() && !each->close())
            return;
    }
}

void fillRecentMenu(QMenu *recentMenu, Form1 *window)
{
    // An entry may be the one whose triggering led here, so the old entries go once control returns.
    for (QAction *old : recentMenu->actions()) {
        recentMenu->removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    const QStringList recent = ProjectSession::recentFiles();
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QAction *entry = recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QFileInfo(path).fileName().replace(u'&', QLatin1String("&&"))));
        entry->setObjectName(QStringLiteral("actionRecent%1").arg(i + 1));
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        QObject::connect(entry, &QAction::triggered, window, [window, path] { window->openRecentProject(path); });
    }
    if (recent.isEmpty())
        recentMenu->addAction(QStringLiteral("No Recent Projects"))->setEnabled(false);
    recentMenu->addSeparator();
    QAction *clear = recentMenu->addAction(QStringLiteral("&Clear"));
    clear->setObjectName(QStringLiteral("actionClearRecent"));
    clear->setEnabled(!recent.isEmpty());
    QObject::connect(clear, &QAction::triggered, window, &Form1::clearRecentProjects);
}

void showAboutBox(QWidget *parent)
{
    MessageBox::show(parent,
        QStringLiteral("Ambrel Pro v1.4\nThe easiest and fastest way to bring your projects to life.\n\n"
                       "Qt %1\nlibical %2")
            .arg(QString::fromLatin1(qVersion()),
                // The short version string leaves out the patch level, which tells builds apart.
                QStringLiteral("%1.%2.%3")
                    .arg(ICAL_MAJOR_VERSION)
                    .arg(ICAL_MINOR_VERSION)
                    .arg(ICAL_PATCH_VERSION)),
        QStringLiteral("About Ambrel"), MessageBox::Information);
}

} // namespace ambrel
