#include "Form1.h"

#include "app/DocumentActions.h"
#include "app/EventListModel.h"
#include "app/ExportActions.h"
#include "app/Form1Layout.h"
#include "app/LinkLabel.h"
#include "app/ListActions.h"
#include "app/MessageBox.h"
#include "app/PlanActions.h"
#include "app/PlanOptions.h"
#include "app/TaskBoxText.h"
#include "app/TaskListModel.h"
#include "app/TaskListPanel.h"
#include "app/TimelinePane.h"
#include "app/WindowLook.h"
#include "app/WindowPlace.h"
#include "app/frmTips.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectSession.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace ambrel {

namespace {

constexpr quint32 kWhite = 0x00FFFFFF;

enum VirtualKey { VkReturn = 13, VkUp = 38, VkDown = 40 };

} // namespace

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
    , m_document(new ProjectDocument(this))
    , m_project(&m_document->project())
    , m_tasks(new TaskListModel(m_project, this))
    , m_events(new EventListModel(m_project, this))
    , m_body(new QWidget(this))
{
    setObjectName(QStringLiteral("Form1"));
    setFont(verdana(8.25));
    m_body->setObjectName(QStringLiteral("Body"));
    setCentralWidget(m_body);

    m_ui = buildForm1Controls(this, m_body);
    LinkLabel::attach(m_ui.Label15, [this] { Label15_Click(); });
    LinkLabel::attach(m_ui.lblSetWorkingDays, [this] { lblSetWorkingDays_Click(); });
    const auto rebuild = [this] { cmdToList_Click(); };
    m_taskBox = new TaskBoxText(m_ui.txtTodo);
    m_plan = new PlanActions(
        *m_document, m_ui, m_taskBox, m_tasks, this, [this] { m_taskList->applyColumnWidths(); });
    m_listActions = new ListActions(*m_document, m_taskBox, m_ui.ListView1, this, rebuild, this);
    m_timeline = new TimelinePane(this, m_body, m_ui.ListView1, m_tasks, m_project);
    m_files = new DocumentActions(*m_document, this);
    m_exports = new ExportActions(*m_document, m_tasks, m_timeline, this, rebuild);
    wireControls();
    m_layout = std::make_unique<Form1Layout>(this, m_body, m_ui, m_timeline);
    m_body->installEventFilter(this);

    Form_Load();
    setKeyboardOrder(m_ui);
    connectPlanOptions(this, *m_document, m_menus, rebuild);
    m_taskList->followSelection();
    m_document->markSaved();
    m_timeline->connectList();

    // The one-off calendar check starts once the window exists, as a single tick.
    m_ui.tmrDate->start();
}

Form1::~Form1() = default;

void Form1::wireControls()
{
    connect(m_timeline, &TimelinePane::rowClicked, this,
        [this](int row) { ListView1_ItemClick(m_tasks->index(row, 0)); });
    connect(m_ui.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(m_ui.optDate, &QButtonGroup::idClicked, this, &Form1::optDate_Click);
    connect(m_plan, &PlanActions::calendarDateChanged, this, &Form1::Calendar2_DateChange);
    connect(m_ui.tmrDate, &QTimer::timeout, this, &Form1::tmrDate_Timer);
    connect(m_ui.chkExcludeWeekends, &QCheckBox::clicked, this, &Form1::chkExcludeWeekends_Click);
    connect(m_ui.cmdToList, &QPushButton::clicked, this, &Form1::cmdToList_Click);
    connect(m_ui.ListView1, &QTreeView::clicked, this, &Form1::ListView1_ItemClick);
    const std::pair<const char *, void (Form1::*)()> buttons[] = { { "cmdPostpone", &Form1::cmdPostpone_Click },
        { "cmdConvertToList", &Form1::cmdConvertToList_Click }, { "cmdRemove", &Form1::cmdRemove_Click },
        { "cmdRemoveSelected", &Form1::cmdRemoveSelected_Click }, { "cmdPrint", &Form1::cmdPrint_Click } };
    for (const auto &[name, handler] : buttons)
        connect(findChild<QPushButton *>(QString::fromLatin1(name)), &QPushButton::clicked, this, handler);

    MenuTargets targets { m_files, m_exports, m_listActions, m_timeline, [this] { cmdToList_Click(); },
        [this] {
            if (m_listActions->askDays(m_taskList->current().txtTask, m_ui.txtDaysToPostPone))
                cmdPostpone_Click();
        },
        [this] { cmdPrint_Click(); }, [this] { lblSetWorkingDays_Click(); }, [this] { daysOffWindow(); },
        [this] { Label15_Click(); } };
    m_menus = buildForm1Menus(this, m_ui.ListView1, targets);
    m_files->setRecentMenu(m_menus.recent);
    m_taskList = new TaskListPanel(*m_project, m_tasks, m_ui, m_menus, m_listActions, this);
    connect(m_timeline, &TimelinePane::listPlaced, m_taskList, &TaskListPanel::placeHintLine);
    connect(m_taskList, &TaskListPanel::rowSelected, this, &Form1::ListView1_ItemClick);

    // The task box's history is the one Edit menu's: typing and list actions undo alike.
    connect(m_ui.txtTodo, &QPlainTextEdit::undoAvailable, m_menus.undo, &QAction::setEnabled);
    connect(m_ui.txtTodo, &QPlainTextEdit::redoAvailable, m_menus.redo, &QAction::setEnabled);
    m_menus.undo->setEnabled(false);
    m_menus.redo->setEnabled(false);
    connect(m_menus.undo, &QAction::triggered, this, [this] {
        m_taskBox->settled()->undo();
        cmdToList_Click();
    });
    connect(m_menus.redo, &QAction::triggered, this, [this] {
        m_taskBox->settled()->redo();
        cmdToList_Click();
    });
}

void Form1::Form_Load()
{
    m_plan->load();
    setTextColor(m_ui.chkExcludeWeekends, colorFromBgr(kWhite));
    m_ui.Frame2->show();
    m_ui.lblSetWorkingDays->move(
        m_ui.lblSetWorkingDays->x(), m_ui.chkExcludeWeekends->y() + twipsToPixelsY(this, 50));
    m_ui.ListView1->setModel(m_tasks);
    m_taskList->applyColumnWidths();
    m_ui.ListView2->setModel(m_events);
    SetProjectStartDate();
}

TimelineView *Form1::timelineView() const
{
    return m_timeline->view();
}

const WorkingWeekFlags &Form1::workingWeek() const
{
    return m_project->settings().WorkingWeek;
}

const QString &Form1::currentFile() const
{
    return m_document->filePath();
}

bool Form1::isModified() const
{
    return m_document->isModified();
}

bool Form1::openProjectFile(const QString &path)
{
    return m_files->openFile(path);
}

void Form1::restoreSession(const QString &fileName)
{
    m_document->startKeeping();
    m_files->rebuildRecentMenu();
    m_timeline->setListWidthBesideTimeline(WindowPlace::restore(this));
    setTimelineShown(ProjectSession::timelineShown());
    std::optional<Refusal> refusal;
    std::vector<std::unique_ptr<WorkSlot>> others = m_document->restoreSession(fileName, &refusal);
    // A file that cannot be opened is told once; the window then starts with nothing open.
    if (refusal)
        MessageBox::show(this, refusal->text, DocumentActions::tr("Open Project"), MessageBox::Exclamation);
    m_files->rebuildRecentMenu();
    // Every other window's kept work comes back in a window of its own.
    for (std::unique_ptr<WorkSlot> &slot : others) {
        auto *window = new Form1;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->setTimelineShown(ProjectSession::timelineShown());
        if (const std::optional<Refusal> failed = window->m_document->restoreKept(std::move(slot)))
            MessageBox::show(
                window, failed->text, DocumentActions::tr("Open Project"), MessageBox::Exclamation);
        window->m_files->rebuildRecentMenu();
    }
}

void Form1::PrintaListview(QAbstractItemModel *lv)
{
    m_exports->printList(lv);
}

void Form1::ColorListviewRow(QTreeView *lv, int RowNbr, quint32 RowColor)
{
    m_taskList->paintRow(lv, RowNbr, RowColor);
}

void Form1::cmdToList_Click()
{
    m_plan->rebuild();
}

void Form1::Calendar2_DateChange(const QDate & /*OldDate*/, const QDate &NewDate)
{
    m_plan->startOn(NewDate);
}

void Form1::optDate_Click(int /*Index*/)
{
    cmdToList_Click();
}

void Form1::chkExcludeWeekends_Click()
{
    cmdToList_Click();
}

void Form1::txtTodo_KeyUp(int KeyCode, Qt::KeyboardModifiers /*Shift*/)
{
    if (KeyCode == VkReturn || KeyCode == VkUp || KeyCode == VkDown)
        cmdToList_Click();
}

void Form1::tmrDate_Timer()
{
    m_plan->checkCalendarDate();
}

void Form1::Label15_Click()
{
    frmTips(this).exec();
}

void Form1::lblSetWorkingDays_Click()
{
    m_plan->editWorkingWeek();
}

void Form1::Command2_Click()
{
    m_exports->exportCsv();
}

void Form1::daysOffWindow()
{
    m_plan->editDaysOff();
}

void Form1::ListView1_ItemClick(const QModelIndex &Item)
{
    m_taskList->pickRow(Item.row());
}

void Form1::cmdPostpone_Click()
{
    m_listActions->postponeClicked(m_taskList->current().txtTaskID, m_ui.txtDaysToPostPone->text());
}

void Form1::cmdRemove_Click()
{
    m_listActions->removeAll();
}

void Form1::cmdRemoveSelected_Click()
{
    m_listActions->removeSelected();
}

void Form1::cmdConvertToList_Click()
{
    m_listActions->convertToText();
}

void Form1::cmdPrint_Click()
{
    PrintaListview(m_tasks);
}

void Form1::setTimelineShown(bool shown)
{
    m_timeline->setShown(shown);
}

void Form1::SetProjectStartDate()
{
    m_plan->SetProjectStartDate();
}

void Form1::Form_Resize()
{
    m_layout->fit();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!m_files->maybeSave()) {
        event->ignore();
        return;
    }
    // Work that is still unsaved here was thrown away or never changed: nothing to bring back.
    m_document->close();
    WindowPlace::save(this, m_timeline->listWidthBesideTimeline());
    event->accept();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_ui.txtTodo || watched == m_ui.txtProjectName) && event->type() == QEvent::ShortcutOverride) {
        // The text boxes would take keys such as Ctrl+E (end of line) for themselves; the menus' keys win.
        const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
        for (const QAction *action : menuBar()->findChildren<QAction *>()) {
            if (action->shortcutContext() != Qt::WidgetShortcut && action->isEnabled()
                && action->shortcut() == pressed)
                return true;
        }
    }
    if (watched == m_body && event->type() == QEvent::Resize) {
        Form_Resize();
        m_taskList->placeHintLine();
    } else if (watched == m_ui.txtTodo
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat())
            return QMainWindow::eventFilter(watched, event);
        if (event->type() == QEvent::KeyPress) {
            m_keysDownInTaskBox.insert(key->key());
            return QMainWindow::eventFilter(watched, event);
        }
        // A release whose press went elsewhere, such as the Enter that closed a message, is not typing.
        if (!m_keysDownInTaskBox.remove(key->key()))
            return QMainWindow::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            txtTodo_KeyUp(VkReturn, key->modifiers());
            break;
        case Qt::Key_Up:
            txtTodo_KeyUp(VkUp, key->modifiers());
            break;
        case Qt::Key_Down:
            txtTodo_KeyUp(VkDown, key->modifiers());
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace ambrel
