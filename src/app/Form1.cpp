#include "Form1.h"

#include "app/EventListModel.h"
#include "app/LinkLabel.h"
#include "app/ListActions.h"
#include "app/MessageBox.h"
#include "app/SaveGuard.h"
#include "app/TaskListModel.h"
#include "app/TimelinePane.h"
#include "app/WindowLook.h"
#include "app/WindowPlace.h"
#include "app/frmTips.h"
#include "app/SettingsWindows.h"
#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace ambrel {

namespace {

constexpr quint32 kWhite = 0x00FFFFFF;
constexpr double kRightMargin = 700; // twips between the right-hand controls and the window's right edge
constexpr double kDesignWidth = 17130;
constexpr double kDesignHeight = 10005;
constexpr double kSidebarWidth = 5730;
constexpr double kExportButtonWidth = 6000;
// The side panel and the export button at its narrowest, which still shows its whole text.
constexpr double kSmallestWidth = kSidebarWidth + 5100 + kRightMargin;
constexpr double kSmallestTaskBox = 900; // twips: the task box shrinks to three lines on a short window

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
    m_listActions = new ListActions(*m_document, m_ui.txtTodo, m_ui.ListView1, this, [this] { cmdToList_Click(); }, this);
    m_calendarDate = m_ui.Calendar2->selectedDate();
    m_timeline = new TimelinePane(this, m_body, m_ui.ListView1, m_tasks, m_project);
    connect(m_timeline, &TimelinePane::rowClicked, this,
        [this](int row) { ListView1_ItemClick(m_tasks->index(row, 0)); });
    connect(m_timeline, &TimelinePane::listPlaced, this, &Form1::placeHintLine);
    wireControls();
    createMenus();
    m_saveGuard = new SaveGuard(this, m_document, [this] { return saveProjectAs(); });

    // The design size is the room below the menu bar; the smallest size still shows the export button
    // beside the side panel and every control of the side panel.
    m_designListSize = m_ui.ListView1->size();
    m_designTaskBoxHeight = m_ui.txtTodo->height();
    m_body->setMinimumSize(twipsToPixelsX(this, kSmallestWidth),
        twipsToPixelsY(this, kDesignHeight) - m_designTaskBoxHeight + twipsToPixelsY(this, kSmallestTaskBox));
    resize(twipsToPixelsX(this, kDesignWidth),
        twipsToPixelsY(this, kDesignHeight) + menuBar()->sizeHint().height());
    m_designBuildButtonTop = m_ui.cmdToList->y();
    m_body->installEventFilter(this);

    Form_Load();
    setKeyboardOrder();
    watchForChanges();
    m_timeline->connectList();

    // The one-off calendar check starts once the window exists, as a single tick.
    m_ui.tmrDate->start();
}

Form1::~Form1() = default;

TimelineView *Form1::timelineView() const
{
    return m_timeline->view();
}

void Form1::setTimelineShown(bool shown)
{
    m_timeline->setShown(shown);
}

void Form1::exportTimeline()
{
    m_timeline->exportPicture(currentFile());
}

void Form1::wireControls()
{
    connect(m_ui.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(m_ui.optDate, &QButtonGroup::idClicked, this, &Form1::optDate_Click);
    connect(m_ui.Calendar2, &QCalendarWidget::selectionChanged, this, &Form1::onCalendarSelectionChanged);
    connect(m_ui.tmrDate, &QTimer::timeout, this, &Form1::tmrDate_Timer);
    connect(m_ui.chkExcludeWeekends, &QCheckBox::clicked, this, &Form1::chkExcludeWeekends_Click);
    connect(m_ui.cmdToList, &QPushButton::clicked, this, &Form1::cmdToList_Click);
    connect(m_ui.ListView1, &QTreeView::clicked, this, &Form1::ListView1_ItemClick);
    connect(m_tasks, &QAbstractItemModel::modelReset, this, &Form1::updateHintLine);
    connect(m_tasks, &QAbstractItemModel::rowsRemoved, this, &Form1::updateHintLine);
    connect(m_listActions, &ListActions::emptiedChanged, this, &Form1::updateHintLine);
    const std::pair<const char *, void (Form1::*)()> buttons[] = { { "cmdPostpone", &Form1::cmdPostpone_Click },
        { "cmdConvertToList", &Form1::cmdConvertToList_Click }, { "cmdRemove", &Form1::cmdRemove_Click },
        { "cmdRemoveSelected", &Form1::cmdRemoveSelected_Click }, { "cmdPrint", &Form1::cmdPrint_Click } };
    for (const auto &[name, handler] : buttons)
        connect(findChild<QPushButton *>(QString::fromLatin1(name)), &QPushButton::clicked, this, handler);
}

void Form1::Form_Load()
{
    m_project->begin(Clock::today());

    // The hours are read first, the week after; each file's trouble is told in that order.
    LoadedSettings loaded = loadSettings(Paths::settingsFolder(), {}, m_project->settings());
    for (const Refusal &message : loaded.messages)
        MessageBox::show(this, message.text, MessageBox::errorTitle(), MessageBox::Exclamation);
    // A missing days-off file is simply no days off; lines that name no date are told once.
    QStringList skipped = loaded.skippedDaysOff;
    if (loaded.daysOffError)
        skipped << loaded.daysOffError->text;
    if (!skipped.isEmpty())
        MessageBox::show(this,
            tr("Some days off were left out:\n") + skipped.join(QLatin1Char('\n')),
            tr("Days Off"), MessageBox::Exclamation);
    const Settings &settings = loaded.settings;
    applySettings(settings);

    setTextColor(m_ui.chkExcludeWeekends, colorFromBgr(kWhite));
    m_ui.Frame2->show();
    m_ui.lblSetWorkingDays->move(m_ui.lblSetWorkingDays->x(), m_ui.chkExcludeWeekends->y() + twipsToPixelsY(this, 50));
    updateTitle();

    m_ui.ListView1->setModel(m_tasks);
    applyTaskColumnWidths();
    m_ui.ListView2->setModel(m_events);
    SetProjectStartDate();
}

void Form1::applyTaskColumnWidths()
{
    // The day counts are short; the status holds "Pending (Coming Soon)" beside its colour.
    const double widths[] = { 4000, 2000, 2000, 2000, 1100, 1100, 2800 };
    const int columns = std::min(m_tasks->columnCount(), int(std::size(widths)));
    for (int column = 0; column < columns; ++column)
        m_ui.ListView1->setColumnWidth(column, twipsToPixelsX(this, widths[column]));
}

const WorkingWeekFlags &Form1::workingWeek() const
{
    return m_project->settings().WorkingWeek;
}

void Form1::applySettings(const Settings &settings)
{
    m_project->setSettings(settings);
    m_ui.txtStarts->setText(settings.hours.starts);
    m_ui.txtEndsAt->setText(settings.hours.endsAt);
}

void Form1::SetProjectStartDate()
{
    m_project->SetProjectStartDate(Clock::today());
}

void Form1::cmdToList_Click()
{
    const int columnsBefore = m_tasks->columnCount();
    if (auto refusal = m_project->rebuild(Clock::today())) {
        MessageBox::show(this, refusal->text, MessageBox::ooopsTitle(), MessageBox::Information);
        return;
    }
    if (m_tasks->columnCount() != columnsBefore)
        applyTaskColumnWidths();
}

void Form1::Calendar2_DateChange(const QDate & /*OldDate*/, const QDate &NewDate)
{
    QAbstractButton *pickedOption = m_ui.optDate->button(1);
    if (!pickedOption->isChecked()) {
        // Selecting the option from code counts as its click, which builds with the previous date.
        pickedOption->setChecked(true);
        optDate_Click(1);
    }
    m_project->setPickedStartDate(NewDate);
    m_project->setStartIsSaved(false); // a date clicked now is a new pick, checked against today
    SetProjectStartDate();
    cmdToList_Click();
}

void Form1::onCalendarSelectionChanged()
{
    const QDate NewDate = m_ui.Calendar2->selectedDate();
    if (NewDate == m_calendarDate)
        return;
    const QDate OldDate = m_calendarDate;
    m_calendarDate = NewDate;
    Calendar2_DateChange(OldDate, NewDate);
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
    m_ui.tmrDate->stop();
    const bool wasModified = m_document->isModified();
    const QDate today = Clock::today();
    if (m_ui.Calendar2->selectedDate() < today)
        m_ui.Calendar2->setSelectedDate(today);
    // The check moves the date on the person's behalf; that is no change of theirs to save.
    if (!wasModified)
        m_document->markSaved();
}

void Form1::Label15_Click()
{
    frmTips tips(this);
    tips.exec();
}

void Form1::lblSetWorkingDays_Click()
{
    SettingsWindows::editWorkingWeek(this, m_project->settings(), settingsApplier());
}

SettingsWindows::Apply Form1::settingsApplier()
{
    return [this](const Settings &settings, bool saved) {
        applySettings(settings);
        if (saved)
            cmdToList_Click();
    };
}

void Form1::updateHintLine()
{
    const auto hinted = std::count_if(m_project->tasks().begin(), m_project->tasks().end(),
        [](const TaskRow &task) { return !task.hint.isEmpty() || task.overlap; });
    QString text = hinted == 1
        ? tr("1 line may not say what you meant — hover the mark.")
        : tr("%n lines may not say what you meant — hover the marks.", nullptr, int(hinted));
    const bool emptied = m_listActions->emptied();
    if (emptied)
        text = tr("The list is empty until the next rebuild; your task text still holds every task.");
    m_ui.lblHints->setText(text);
    placeHintLine();
    m_ui.lblHints->setVisible(hinted > 0 || emptied);
}

void Form1::placeHintLine()
{
    const QRect list(m_ui.ListView1->mapTo(m_body, QPoint(0, 0)), m_ui.ListView1->size());
    const int width = std::max(list.width(), m_body->width() - list.left() - 8); // under the timeline too
    m_ui.lblHints->setGeometry(list.left(), list.bottom() + 4, width, m_ui.lblHints->heightForWidth(width));
}

void Form1::growWithHeight()
{
    // At the design size nothing moves; the extra height goes to the task list and the task box.
    const int extra = std::max(twipsToPixelsY(this, kSmallestTaskBox) - m_designTaskBoxHeight,
        m_body->height() - twipsToPixelsY(this, kDesignHeight));
    m_ui.ListView1->resize(m_ui.ListView1->width(), m_designListSize.height() + extra);
    m_ui.txtTodo->resize(m_ui.txtTodo->width(), m_designTaskBoxHeight + extra);
    m_ui.cmdToList->move(m_ui.cmdToList->x(), m_designBuildButtonTop + extra);
    placeHintLine();
}

void Form1::stretchBackgrounds()
{
    // The banner and the side panel are backgrounds: on a larger window they reach its edges, so that the
    // slogan that follows the right edge stays on the banner and the panel does not end in mid-air.
    m_ui.Picture1->resize(std::max(m_body->width(), twipsToPixelsX(this, kDesignWidth)), m_ui.Picture1->height());
    m_ui.picSidebar->resize(
        m_ui.picSidebar->width(), std::max(m_body->height() - m_ui.picSidebar->y(), twipsToPixelsY(this, 8910)));
}

void Form1::Form_Resize()
{
    // Single precision, in twips, against the outer width of the window as its width property gives it.
    const auto W = float(pixelsToTwipsX(this, frameGeometry().width()));
    const auto margin = float(kRightMargin);
    const auto toPixels = [this](float twips) { return twipsToPixelsX(this, double(twips)); };

    m_ui.Command2->move(
        toPixels(W - float(pixelsToTwipsX(this, m_ui.Command2->width())) - margin), m_ui.Command2->y());
    m_ui.Label13->move(toPixels(W - float(pixelsToTwipsX(this, m_ui.Label13->width())) - margin), m_ui.Label13->y());
    const float listWidth = W - float(pixelsToTwipsX(this, m_ui.ListView1->x())) - margin;
    if (listWidth >= 0)
        m_ui.ListView1->resize(toPixels(listWidth), m_ui.ListView1->height());
    placeHintLine();
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
        WindowPlace::fitExportButton(m_ui.Command2, m_ui.picSidebar, twipsToPixelsX(this, kExportButtonWidth));
        stretchBackgrounds();
        growWithHeight();
        m_timeline->takeListArea();
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
