#include "Form1.h"

#include "app/MessageBox.h"
#include "app/PostponeDialog.h"
#include "app/TaskListModel.h"
#include "app/TimelinePane.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectSession.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
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

void Form1::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu *file = addMenu(bar, "menuFile", QStringLiteral("&File"));
    connect(addNamedAction(file, "actionNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)),
        &QAction::triggered, this, &Form1::newProject);
    connect(addNamedAction(file, "actionOpen", QStringLiteral("&Open…"), QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, this, &Form1::openProject);
    m_recentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    m_recentMenu->setObjectName(QStringLiteral("menuOpenRecent"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &Form1::rebuildRecentMenu);
    file->addSeparator();
    connect(addNamedAction(file, "actionSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, this, &Form1::saveProject);
    connect(addNamedAction(file, "actionSaveAs", QStringLiteral("Save &As…"),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
        &QAction::triggered, this, &Form1::saveProjectAs);
    file->addSeparator();
    connect(addNamedAction(file, "actionExportCsv", QStringLiteral("&Export to Google Calendar (.csv)"),
                QKeySequence(Qt::CTRL | Qt::Key_E)),
        &QAction::triggered, this, &Form1::Command2_Click);
    connect(addNamedAction(file, "actionExportIcs", QStringLiteral("Export to &iCalendar (.ics)…"),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)),
        &QAction::triggered, this, &Form1::exportIcs);
    connect(addNamedAction(file, "actionExportTimeline", QStringLiteral("Export &Timeline…")),
        &QAction::triggered, this, &Form1::exportTimeline);
    file->addSeparator();
    m_actionPrint = addNamedAction(
        file, "actionPrint", QStringLiteral("&Print List…"), QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_actionPrint, &QAction::triggered, this, &Form1::cmdPrint_Click);
    file->addSeparator();
    connect(addNamedAction(file, "actionQuit", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
        &QAction::triggered, this, &Form1::close);

    QMenu *tasks = addMenu(bar, "menuTasks", QStringLiteral("&Tasks"));
    connect(addNamedAction(tasks, "actionRebuild", QStringLiteral("&Rebuild"), QKeySequence(Qt::Key_F5)),
        &QAction::triggered, this, &Form1::cmdToList_Click);
    tasks->addSeparator();
    m_actionPostpone
        = addNamedAction(tasks, "actionPostpone", QStringLiteral("&Postpone or Advance from Selected Task…"));
    connect(m_actionPostpone, &QAction::triggered, this, &Form1::postponeSelectedTask);
    // Delete acts only while the list has the focus, so that it still deletes text in the boxes.
    m_actionRemoveSelected = addNamedAction(
        tasks, "actionRemoveSelected", QStringLiteral("Remove &Selected Task"), QKeySequence(Qt::Key_Delete));
    m_actionRemoveSelected->setShortcutContext(Qt::WidgetShortcut);
    m_ui.ListView1->addAction(m_actionRemoveSelected);
    connect(m_actionRemoveSelected, &QAction::triggered, this, &Form1::cmdRemoveSelected_Click);
    m_actionRemoveAll = addNamedAction(tasks, "actionRemoveAll", QStringLiteral("Remove &All Tasks"));
    connect(m_actionRemoveAll, &QAction::triggered, this, &Form1::cmdRemove_Click);
    tasks->addSeparator();
    m_actionConvertToList
        = addNamedAction(tasks, "actionConvertToList", QStringLiteral("&Turn List Back into Text"));
    connect(m_actionConvertToList, &QAction::triggered, this, &Form1::cmdConvertToList_Click);

    m_timeline->createViewMenu(bar);

    QMenu *settings = addMenu(bar, "menuSettings", QStringLiteral("&Settings"));
    connect(addNamedAction(settings, "actionWorkingWeek", QStringLiteral("&Working Week…")),
        &QAction::triggered, this, &Form1::lblSetWorkingDays_Click);
    connect(addNamedAction(settings, "actionDaysOff", QStringLiteral("&Days Off…")), &QAction::triggered,
        this, &Form1::daysOffWindow);

    QMenu *help = addMenu(bar, "menuHelp", QStringLiteral("&Help"));
    connect(addNamedAction(help, "actionTips", QStringLiteral("&Tips")), &QAction::triggered, this,
        &Form1::Label15_Click);
    connect(addNamedAction(help, "actionAbout", QStringLiteral("&About Ambrel")), &QAction::triggered, this,
        &Form1::showAbout);

    m_taskListMenu = new QMenu(this);
    m_taskListMenu->setObjectName(QStringLiteral("menuTaskList"));
    m_taskListMenu->addActions({ m_actionPostpone, m_actionRemoveSelected, m_actionRemoveAll });
    m_taskListMenu->addSeparator();
    m_taskListMenu->addAction(m_actionConvertToList);
    m_ui.ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui.ListView1, &QWidget::customContextMenuRequested, this, &Form1::showTaskListMenu);
}

void Form1::setKeyboardOrder()
{
    // The task box takes Tab as a move to the next control, so the keyboard never gets stuck in it.
    m_ui.txtTodo->setTabChangesFocus(true);
    m_ui.Label15->setFocusPolicy(Qt::TabFocus);
    m_ui.lblSetWorkingDays->setFocusPolicy(Qt::TabFocus);
    const QList<QWidget *> order { m_ui.txtProjectName, m_ui.Label15, m_ui.optDate->button(0), m_ui.optDate->button(1),
        m_ui.Calendar2, m_ui.chkExcludeWeekends, m_ui.lblSetWorkingDays, m_ui.txtTodo, m_ui.cmdToList, m_ui.ListView1,
        m_ui.Command2 };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form1::watchForChanges()
{
    // Each edit goes into the project as it happens; the document then knows whether it is modified.
    connect(m_ui.txtTodo, &QPlainTextEdit::textChanged, this, [this] {
        m_project->setTaskText(m_ui.txtTodo->toPlainText());
        m_document->changed();
    });
    connect(m_ui.txtProjectName, &QLineEdit::textChanged, this, [this](const QString &name) {
        m_project->setName(name);
        m_document->changed();
    });
    connect(m_ui.optDate, &QButtonGroup::idToggled, this, [this] {
        m_project->setStartOnPickedDate(m_ui.optDate->checkedId() == 1);
        m_document->changed();
    });
    connect(m_ui.Calendar2, &QCalendarWidget::selectionChanged, m_document, &ProjectDocument::changed);
    connect(m_ui.chkExcludeWeekends, &QCheckBox::toggled, this, [this](bool applies) {
        m_project->setWorkingWeekApplies(applies);
        m_document->changed();
    });
    connect(m_document, &ProjectDocument::contentReplaced, this, &Form1::showContent);
    connect(m_document, &ProjectDocument::stateChanged, this, &Form1::updateTitle);
    connect(m_document, &ProjectDocument::keepFailed, this, [this](const Refusal &refusal) {
        MessageBox::show(this, refusal.text, QStringLiteral("Error"), MessageBox::Exclamation);
    });

    connect(m_ui.ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &Form1::onTaskSelectionChanged);
    connect(m_tasks, &QAbstractItemModel::modelReset, this, &Form1::updateActions);
    connect(m_tasks, &QAbstractItemModel::rowsRemoved, this, &Form1::updateActions);
    m_document->markSaved();
    updateActions();
}

void Form1::updateActions()
{
    const QItemSelectionModel *selection = m_ui.ListView1->selectionModel();
    const bool rowSelected = selection && selection->hasSelection();
    const bool hasRows = m_tasks->rowCount() > 0;
    m_actionPostpone->setEnabled(rowSelected);
    m_actionRemoveSelected->setEnabled(rowSelected);
    m_actionRemoveAll->setEnabled(hasRows);
    // Without rows, turning the list back into text would only empty the task box.
    m_actionConvertToList->setEnabled(hasRows);
    m_actionPrint->setEnabled(hasRows);
}

void Form1::onTaskSelectionChanged()
{
    // However the row was selected, the task actions act on the row the person sees selected.
    const QModelIndexList rows = m_ui.ListView1->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        ListView1_ItemClick(rows.first());
    updateActions();
}

void Form1::showTaskListMenu(const QPoint &position)
{
    const QModelIndex under = m_ui.ListView1->indexAt(position);
    if (under.isValid()) {
        m_ui.ListView1->selectionModel()->select(
            under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_ui.ListView1->selectionModel()->setCurrentIndex(under, QItemSelectionModel::NoUpdate);
    }
    m_taskListMenu->popup(m_ui.ListView1->viewport()->mapToGlobal(position));
}

void Form1::rebuildRecentMenu()
{
    // An entry may be the one whose triggering led here, so the old entries go once control returns.
    for (QAction *old : m_recentMenu->actions()) {
        m_recentMenu->removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    const QStringList recent = ProjectSession::recentFiles();
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QAction *entry = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QFileInfo(path).fileName().replace(u'&', QLatin1String("&&"))));
        entry->setObjectName(QStringLiteral("actionRecent%1").arg(i + 1));
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { openRecentProject(path); });
    }
    if (recent.isEmpty())
        m_recentMenu->addAction(QStringLiteral("No Recent Projects"))->setEnabled(false);
    m_recentMenu->addSeparator();
    QAction *clear = m_recentMenu->addAction(QStringLiteral("&Clear"));
    clear->setObjectName(QStringLiteral("actionClearRecent"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, &Form1::clearRecentProjects);
}

void Form1::postponeSelectedTask()
{
    if (!m_ui.ListView1->selectionModel()->hasSelection())
        return;
    PostponeDialog dialog(m_current.txtTask.trimmed(), m_ui.txtDaysToPostPone->text().toInt(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_ui.txtDaysToPostPone->setText(QString::number(dialog.days()));
    cmdPostpone_Click();
}

void Form1::showAbout()
{
    MessageBox::show(this,
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
