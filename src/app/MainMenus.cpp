#include "app/MainMenus.h"

#include "app/DocumentActions.h"
#include "app/ExportActions.h"
#include "app/ListActions.h"
#include "app/MessageBox.h"
#include "app/TimelinePane.h"
#include "app/UserManual.h"
#include "project/ProjectSession.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTreeView>
#include <QtGlobal>

#include <libical/ical.h>

namespace ambrel {

namespace {

// The texts a person reads, in the language the program was started in.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(MainMenus)
};

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

Form1Menus buildForm1Menus(QMainWindow *window, QTreeView *list, const MenuTargets &targets)
{
    Form1Menus menus;
    DocumentActions *files = targets.files;
    ExportActions *exports = targets.exports;
    QMenuBar *bar = window->menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu *file = addMenu(bar, "menuFile", Text::tr("&File"));
    QObject::connect(addNamedAction(file, "actionNew", Text::tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)),
        &QAction::triggered, files, &DocumentActions::newProject);
    QObject::connect(
        addNamedAction(file, "actionOpen", Text::tr("&Open…"), QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, files, &DocumentActions::open);
    menus.recent = file->addMenu(Text::tr("Open &Recent"));
    menus.recent->setObjectName(QStringLiteral("menuOpenRecent"));
    file->addSeparator();
    QObject::connect(
        addNamedAction(file, "actionSave", Text::tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, files, &DocumentActions::save);
    QObject::connect(addNamedAction(file, "actionSaveAs", Text::tr("Save &As…"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
        &QAction::triggered, files, &DocumentActions::saveAs);
    file->addSeparator();
    QObject::connect(addNamedAction(file, "actionExportCsv", Text::tr("&Export to Google Calendar (.csv)"),
                         QKeySequence(Qt::CTRL | Qt::Key_E)),
        &QAction::triggered, exports, &ExportActions::exportCsv);
    menus.csvPerDay = addNamedAction(file, "actionCsvPerDay", Text::tr("CSV: One Event per &Working Day"));
    menus.csvPerDay->setCheckable(true);
    QObject::connect(addNamedAction(file, "actionExportIcs", Text::tr("Export to &iCalendar (.ics)…"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)),
        &QAction::triggered, exports, &ExportActions::exportIcs);
    QObject::connect(addNamedAction(file, "actionExportTimeline", Text::tr("Export &Timeline…")),
        &QAction::triggered, exports, &ExportActions::exportTimeline);
    QObject::connect(addNamedAction(file, "actionPublish", Text::tr("P&ublish to Calendar…"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)),
        &QAction::triggered, exports, &ExportActions::publish);
    file->addSeparator();
    menus.print = addNamedAction(
        file, "actionPrint", Text::tr("&Print List…"), QKeySequence(Qt::CTRL | Qt::Key_P));
    QObject::connect(menus.print, &QAction::triggered, window, targets.print);
    QObject::connect(addNamedAction(file, "actionPrintPreview", Text::tr("Print Pre&view…")),
        &QAction::triggered, exports, &ExportActions::previewList);
    QObject::connect(addNamedAction(file, "actionPrintTimeline", Text::tr("Print Ti&meline…")),
        &QAction::triggered, exports, &ExportActions::printTimeline);
    file->addSeparator();
    QObject::connect(
        addNamedAction(file, "actionClose", Text::tr("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W)),
        &QAction::triggered, window, &QWidget::close);
    QObject::connect(addNamedAction(file, "actionQuit", Text::tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
        &QAction::triggered, window, [window] { quitEveryWindow(window); });

    QMenu *edit = addMenu(bar, "menuEdit", Text::tr("&Edit"));
    menus.undo = addNamedAction(edit, "actionUndo", Text::tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    menus.redo = addNamedAction(
        edit, "actionRedo", Text::tr("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));

    QMenu *tasks = addMenu(bar, "menuTasks", Text::tr("&Tasks"));
    QObject::connect(addNamedAction(tasks, "actionRebuild", Text::tr("&Rebuild"), QKeySequence(Qt::Key_F5)),
        &QAction::triggered, window, targets.rebuild);
    tasks->addSeparator();
    menus.postpone
        = addNamedAction(tasks, "actionPostpone", Text::tr("&Postpone or Advance from Selected Task…"));
    QObject::connect(menus.postpone, &QAction::triggered, window, targets.postpone);
    menus.markDone = addNamedAction(tasks, "actionMarkDone", Text::tr("Mark &Done"), QKeySequence(Qt::CTRL | Qt::Key_D));
    QObject::connect(menus.markDone, &QAction::triggered, targets.list, &ListActions::markDone);
    // Delete acts only while the list has the focus, so that it still deletes text in the boxes.
    menus.removeSelected = addNamedAction(
        tasks, "actionRemoveSelected", Text::tr("Remove &Selected Task"), QKeySequence(Qt::Key_Delete));
    menus.removeSelected->setShortcutContext(Qt::WidgetShortcut);
    list->addAction(menus.removeSelected);
    QObject::connect(menus.removeSelected, &QAction::triggered, targets.list, &ListActions::removeSelected);
    menus.removeAll = addNamedAction(tasks, "actionRemoveAll", Text::tr("Remove &All Tasks"));
    QObject::connect(menus.removeAll, &QAction::triggered, targets.list, &ListActions::removeAll);
    tasks->addSeparator();
    menus.convertToList
        = addNamedAction(tasks, "actionConvertToList", Text::tr("&Turn List Back into Text"));
    QObject::connect(menus.convertToList, &QAction::triggered, targets.list, &ListActions::convertToText);
    tasks->addSeparator();
    menus.waitParallel = addNamedAction(tasks, "actionWaitParallel", Text::tr("Wait for parallel tasks"));
    menus.waitParallel->setCheckable(true);

    targets.timeline->createViewMenu(bar);

    QMenu *settings = addMenu(bar, "menuSettings", Text::tr("&Settings"));
    QObject::connect(addNamedAction(settings, "actionWorkingWeek", Text::tr("&Working Week…")),
        &QAction::triggered, window, targets.workingWeek);
    QObject::connect(addNamedAction(settings, "actionDaysOff", Text::tr("&Days Off…")), &QAction::triggered,
        window, targets.daysOff);

    QMenu *help = addMenu(bar, "menuHelp", Text::tr("&Help"));
    QObject::connect(
        addNamedAction(help, "actionUserManual", Text::tr("&User Manual"), QKeySequence::HelpContents),
        &QAction::triggered, window, [window] { UserManual::open(window); });
    QObject::connect(
        addNamedAction(help, "actionTips", Text::tr("&Tips")), &QAction::triggered, window, targets.tips);
    QObject::connect(addNamedAction(help, "actionAbout", Text::tr("&About Ambrel")), &QAction::triggered,
        window, [window] { showAboutBox(window); });

    menus.taskList = new QMenu(window);
    menus.taskList->setObjectName(QStringLiteral("menuTaskList"));
    menus.taskList->addActions({ menus.postpone, menus.markDone, menus.removeSelected, menus.removeAll });
    menus.taskList->addSeparator();
    menus.taskList->addAction(menus.convertToList);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    return menus;
}

void quitEveryWindow(QMainWindow *window)
{
    // Every other window of the planner is of the same class as this one.
    QList<QPointer<QWidget>> windows { window };
    for (QWidget *other : QApplication::topLevelWidgets()) {
        if (other->metaObject() == window->metaObject() && other != window && other->isVisible())
            windows << other;
    }
    for (const QPointer<QWidget> &each : windows) {
        if (each && each->isVisible() && !each->close())
            return;
    }
}

void fillRecentMenu(QMenu *recentMenu, DocumentActions *files)
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
        QObject::connect(entry, &QAction::triggered, files, [files, path] { files->openRecent(path); });
    }
    if (recent.isEmpty())
        recentMenu->addAction(Text::tr("No Recent Projects"))->setEnabled(false);
    recentMenu->addSeparator();
    QAction *clear = recentMenu->addAction(Text::tr("&Clear"));
    clear->setObjectName(QStringLiteral("actionClearRecent"));
    clear->setEnabled(!recent.isEmpty());
    QObject::connect(clear, &QAction::triggered, files, &DocumentActions::clearRecent);
}

void showAboutBox(QWidget *parent)
{
    MessageBox::show(parent,
        Text::tr("Ambrel Pro v1.4\nThe easiest and fastest way to bring your projects to life.\n\n"
                 "Qt %1\nlibical %2")
            .arg(QString::fromLatin1(qVersion()),
                // The short version string leaves out the patch level, which tells builds apart.
                QStringLiteral("%1.%2.%3")
                    .arg(ICAL_MAJOR_VERSION)
                    .arg(ICAL_MINOR_VERSION)
                    .arg(ICAL_PATCH_VERSION)),
        Text::tr("About Ambrel"), MessageBox::Information);
}

} // namespace ambrel
