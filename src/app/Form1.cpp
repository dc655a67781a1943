#include "Form1.h"

#include "app/EventListModel.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "app/WindowLook.h"
#include "app/frmTips.h"
#include "app/frmWorkingWeek.h"
#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "timeline/TimelineData.h"
#include "workweek/DaysOff.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace ambrel {

namespace {

constexpr quint32 kWhite = 0x00FFFFFF;
constexpr quint32 kLinkColor = 0x00C0FFFF;
constexpr double kRightMargin = 700; // twips between the right-hand controls and the window's right edge
constexpr double kSidebarLeft = 180;
constexpr double kSidebarInnerWidth = 5370;
constexpr double kDesignWidth = 17130;
constexpr double kDesignHeight = 10005;
constexpr double kSidebarWidth = 5730;
constexpr double kExportButtonWidth = 6000;
constexpr double kSmallestWidth = kSidebarWidth + kExportButtonWidth + kRightMargin;

enum VirtualKey { VkReturn = 13, VkUp = 38, VkDown = 40 };

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QFont &font, quint32 color,
    double left, double top, double width, double height)
{
    QLabel *label = ambrel::makeLabel(parent, name, text, left, top, width, height, &font);
    setTextColor(label, colorFromBgr(color));
    return label;
}

// A named button or text box with its text, placed in twips.
template <typename Control>
Control *makeTextControl(QWidget *parent, const char *name, const QString &text, double left, double top,
    double width, double height)
{
    auto *control = new Control(text, parent);
    control->setObjectName(QString::fromLatin1(name));
    placeInTwips(control, left, top, width, height);
    return control;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, double left, double top,
    double width, double height)
{
    return makeTextControl<QPushButton>(parent, name, text, left, top, width, height);
}

QLineEdit *makeTextBox(QWidget *parent, const char *name, const QString &text, double left, double top,
    double width, double height)
{
    return makeTextControl<QLineEdit>(parent, name, text, left, top, width, height);
}

QWidget *makeContainer(
    QWidget *parent, const char *name, double left, double top, double width, double height)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    placeInTwips(frame, left, top, width, height);
    return frame;
}

void makeLink(QLabel *label, QObject *filter)
{
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(filter);
}

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

    createBanner();
    createSidebar();
    createLists();
    createHiddenContainers();
    createMenus();

    // The design size is the room below the menu bar; the smallest size still shows the export button
    // beside the side panel and every control of the side panel.
    m_body->setMinimumSize(twipsToPixelsX(this, kSmallestWidth), twipsToPixelsY(this, kDesignHeight));
    resize(twipsToPixelsX(this, kDesignWidth),
        twipsToPixelsY(this, kDesignHeight) + menuBar()->sizeHint().height());
    m_designListSize = m_ListView1->size();
    m_designTaskBoxHeight = m_txtTodo->height();
    m_designBuildButtonTop = m_cmdToList->y();
    m_body->installEventFilter(this);

    Form_Load();
    setKeyboardOrder();
    watchForChanges();
    connectTimeline();

    // The one-off calendar check starts once the window exists, as a single tick.
    m_tmrDate->start();
}

Form1::~Form1() = default;

void Form1::createBanner()
{
    m_Picture1 = makeContainer(m_body, "Picture1", 0, 0, 17130, 1095);
    setBackgroundColor(m_Picture1, colorFromBgr(0x00400040));
    makeLabel(m_Picture1, "lblAppName", QStringLiteral("Ambrel!"), verdana(14.25, true), kWhite, 270, 315,
        7215, 420);
    m_Label13 = makeLabel(m_Picture1, "Label13",
        QStringLiteral("The Easiest and Fastest way to Bring Your Projects to Life!"), verdana(11.25),
        0x00FFC0FF, 12330, 315, 7575, 420);

    m_Command2 = makeButton(
        m_body, "Command2", QStringLiteral("Export Project to .CSV For G Calendar"), 13995, 1215, 6000, 465);
    connect(m_Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

void Form1::createSidebar()
{
    m_picSidebar = makeContainer(m_body, "picSidebar", 0, 1095, 5730, 8910);
    setBackgroundColor(m_picSidebar, colorFromBgr(0x00800080));
    QWidget *side = m_picSidebar;
    const double left = kSidebarLeft;
    const double width = kSidebarInnerWidth;

    makeLabel(side, "lblProjectName", QStringLiteral("Project Name:"), verdana(9.75, true), kWhite, left, 150,
        2500, 285);
    m_txtProjectName
        = makeTextBox(side, "txtProjectName", QStringLiteral("My Project"), left, 450, 3000, 345);
    m_txtProjectName->setFont(verdana(9.75));
    m_txtProjectName->installEventFilter(this);
    makeLabel(side, "lblNameHint", QStringLiteral("Try to Keep it Short."), verdana(8.25), kWhite, 3330, 510,
        2300, 285);

    QWidget *tipsFrame = makeContainer(side, "Frame3", left, 930, width, 330);
    makeLabel(tipsFrame, "lblTaskHint", QStringLiteral("Enter 1 Task Per Line. "), verdana(8.25), kWhite, 0,
        45, 3600, 240);
    m_Label15 = makeLabel(tipsFrame, "Label15", QStringLiteral("Tips"), verdana(9, false, true), kLinkColor,
        3780, 45, 1320, 240);
    makeLink(m_Label15, this);

    m_Frame2 = makeContainer(side, "Frame2", left, 1320, width, 3810);
    makeLabel(m_Frame2, "lblStartDate", QStringLiteral("Project Start date:"), verdana(9.75, true), kWhite, 0,
        0, width, 285);
    m_optDate = new QButtonGroup(m_Frame2);
    m_optDate->setObjectName(QStringLiteral("optDate"));
    const QString optionTexts[] = { QStringLiteral("I want to start running this project right away."),
        QStringLiteral("Start this project on ") };
    for (int index = 0; index < 2; ++index) {
        auto *option = new QRadioButton(optionTexts[index], m_Frame2);
        option->setObjectName(QStringLiteral("optDate_%1").arg(index));
        setTextColor(option, colorFromBgr(kWhite));
        placeInTwips(option, 0, 315 + index * 300, width, 300);
        m_optDate->addButton(option, index);
    }
    m_optDate->button(0)->setChecked(true);
    connect(m_optDate, &QButtonGroup::idClicked, this, &Form1::optDate_Click);

    m_Calendar2 = new QCalendarWidget(m_Frame2);
    m_Calendar2->setObjectName(QStringLiteral("Calendar2"));
    m_Calendar2->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_Calendar2->setSelectedDate(QDate(2020, 1, 13));
    m_Calendar2->setAutoFillBackground(true);
    setBackgroundColor(m_Calendar2, palette().color(QPalette::Window));
    placeInTwips(m_Calendar2, 0, 945, width, 2850);
    m_calendarDate = m_Calendar2->selectedDate();
    connect(m_Calendar2, &QCalendarWidget::selectionChanged, this, &Form1::onCalendarSelectionChanged);

    m_tmrDate = new QTimer(m_Frame2);
    m_tmrDate->setObjectName(QStringLiteral("tmrDate"));
    m_tmrDate->setSingleShot(true);
    m_tmrDate->setInterval(300);
    connect(m_tmrDate, &QTimer::timeout, this, &Form1::tmrDate_Timer);

    m_chkExcludeWeekends = new QCheckBox(QStringLiteral("Adjust Tasks to My Working Week."), side);
    m_chkExcludeWeekends->setObjectName(QStringLiteral("chkExcludeWeekends"));
    m_chkExcludeWeekends->setChecked(true);
    placeInTwips(m_chkExcludeWeekends, left, 5190, 4000, 300);
    connect(m_chkExcludeWeekends, &QCheckBox::clicked, this, &Form1::chkExcludeWeekends_Click);

    m_lblSetWorkingDays = makeLabel(side, "lblSetWorkingDays", QStringLiteral("Settings"),
        verdana(9, false, true), kLinkColor, 4350, 5190, 1200, 240);
    makeLink(m_lblSetWorkingDays, this);

    makeLabel(side, "lblProjectTasks", QStringLiteral("Project Tasks:"), verdana(9.75, true), kWhite, left,
        5580, width, 285);
    m_txtTodo = new QPlainTextEdit(side);
    m_txtTodo->setObjectName(QStringLiteral("txtTodo"));
    m_txtTodo->setFont(verdana(9.75));
    m_txtTodo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtTodo->installEventFilter(this);
    placeInTwips(m_txtTodo, left, 5880, width, 2310);

    m_cmdToList = makeButton(side, "cmdToList", QStringLiteral("Create Project!"), left, 8280, width, 480);
    m_cmdToList->setFont(verdana(9.75, true));
    connect(m_cmdToList, &QPushButton::clicked, this, &Form1::cmdToList_Click);
}

void Form1::createLists()
{
    m_ListView1 = new QTreeView(m_body);
    m_ListView1->setObjectName(QStringLiteral("ListView1"));
    m_ListView1->setUniformRowHeights(true);
    m_ListView1->setRootIsDecorated(false);
    m_ListView1->setItemsExpandable(false);
    m_ListView1->setAllColumnsShowFocus(true);
    m_ListView1->setFont(verdana(9.75, true));
    QPalette colors = m_ListView1->palette();
    colors.setColor(QPalette::Text, colorFromBgr(0x00800000));
    colors.setColor(QPalette::Base, colorFromBgr(0x00C0FFFF));
    colors.setColor(QPalette::AlternateBase, colorFromBgr(0x00C0FFFF));
    m_ListView1->setPalette(colors);
    m_ListView1->header()->setFont(verdana(8.25));
    placeInTwips(m_ListView1, 5895, 1800, 14100, 7755);
    connect(m_ListView1, &QTreeView::clicked, this, &Form1::ListView1_ItemClick);

    // Under the list, in the margin below it, a line that says when some rows carry a hint.
    m_lblHints = new QLabel(m_body);
    m_lblHints->setObjectName(QStringLiteral("lblHints"));
    m_lblHints->setFont(verdana(8.25));
    m_lblHints->hide();
    connect(m_tasks, &QAbstractItemModel::modelReset, this, &Form1::updateHintLine);
    connect(m_tasks, &QAbstractItemModel::rowsRemoved, this, &Form1::updateHintLine);

    m_ListView2 = new QTreeView(m_body);
    m_ListView2->setObjectName(QStringLiteral("ListView2"));
    m_ListView2->setUniformRowHeights(true);
    m_ListView2->setRootIsDecorated(false);
    placeInTwips(m_ListView2, 6210, 3825, 15675, 4650);
    m_ListView2->hide();
    createTimeline();
}

void Form1::createHiddenContainers()
{
    auto *frame4 = new QGroupBox(QStringLiteral("GCalendar"), m_body);
    frame4->setObjectName(QStringLiteral("Frame4"));
    placeInTwips(frame4, 8730, 6120, 8160, 4965);
    m_txtStarts = makeTextBox(frame4, "txtStarts", QString(), 240, 360, 2000, 315);
    m_txtEndsAt = makeTextBox(frame4, "txtEndsAt", QString(), 240, 780, 2000, 315);
    frame4->hide();

    QWidget *frame1 = makeContainer(m_body, "Frame1", 8325, 1305, 5145, 1950);
    const QString tips[] = {
        QStringLiteral("Tip: You can set the duration of each task at the end of it by using \"+ [Days]\". "
                       "Example:"),
        QStringLiteral("Create Product + 10"),
        QStringLiteral(
            "This will assign 10 days to this task. If there's another task, its start date will be "
            "calculated to begin when the previous one ends."),
    };
    const double tipTops[] = { 60, 660, 960 };
    const double tipHeights[] = { 585, 285, 930 };
    for (int i = 0; i < 3; ++i) {
        QLabel *tip = makeLabel(frame1, "", tips[i], verdana(8.25), 0, 120, tipTops[i], 4900, tipHeights[i]);
        tip->setObjectName(QStringLiteral("lblTip%1").arg(i + 1));
        tip->setWordWrap(true);
    }
    frame1->hide();

    QWidget *frInvisible = makeContainer(m_body, "frInvisible", 17145, 4140, 6720, 3660);
    makeLabel(frInvisible, "lblTask", QStringLiteral("Task:"), font(), 0, 120, 240, 1200, 285);
    m_txtTask = makeTextBox(frInvisible, "txtTask", QStringLiteral("Text1"), 1440, 240, 5000, 315);
    makeLabel(frInvisible, "lblTaskID", QStringLiteral("Task ID:"), font(), 0, 120, 700, 1200, 285);
    m_txtTaskID = makeTextBox(frInvisible, "txtTaskID", QString(), 1440, 700, 5000, 315);
    makeLabel(
        frInvisible, "lblTaskStartDate", QStringLiteral("Start Date:"), font(), 0, 120, 1160, 1200, 285);
    m_txtStartDate = makeTextBox(frInvisible, "txtStartDate", QStringLiteral("Text1"), 1440, 1160, 5000, 315);
    frInvisible->hide();

    QWidget *grid = makeContainer(m_body, "picGrid", 13140, 6390, 14565, 6000);
    makeLabel(grid, "Label6", QStringLiteral("Advance the whole project"), font(), 0, 240, 240, 4000, 285);
    makeLabel(
        grid, "Label1", QStringLiteral("Post-Pone the whole project for "), font(), 0, 240, 600, 3600, 285);
    m_txtDaysToPostPone = makeTextBox(grid, "txtDaysToPostPone", QStringLiteral("15"), 3900, 570, 700, 315);
    makeLabel(grid, "Label2", QStringLiteral("days (counted from the current task.)"), font(), 0, 4700, 600,
        4000, 285);
    connect(makeButton(grid, "cmdPostpone", QStringLiteral("Post-Pone"), 240, 1050, 1800, 400),
        &QPushButton::clicked, this, &Form1::cmdPostpone_Click);
    connect(
        makeButton(grid, "cmdConvertToList", QStringLiteral("Convert Items to List"), 240, 1600, 2600, 400),
        &QPushButton::clicked, this, &Form1::cmdConvertToList_Click);
    connect(makeButton(grid, "cmdRemove", QStringLiteral("Remove Items"), 3000, 1600, 2000, 400),
        &QPushButton::clicked, this, &Form1::cmdRemove_Click);
    connect(makeButton(grid, "cmdRemoveSelected", QStringLiteral("Remove Selected"), 5160, 1600, 2000, 400),
        &QPushButton::clicked, this, &Form1::cmdRemoveSelected_Click);
    connect(makeButton(grid, "cmdPrint", QStringLiteral("Print"), 7320, 1600, 1500, 400),
        &QPushButton::clicked, this, &Form1::cmdPrint_Click);
    grid->hide();
}

void Form1::Form_Load()
{
    m_project->begin(Clock::today());

    // The hours are read first, the week after; each file's trouble is told in that order.
    LoadedSettings loaded = loadSettings(Paths::settingsFolder(), {}, m_project->settings());
    for (const Refusal &message : loaded.messages)
        MessageBox::show(this, message.text, message.title, MessageBox::Exclamation);
    // A missing days-off file is simply no days off; lines that name no date are told once.
    QStringList skipped = loaded.skippedDaysOff;
    if (loaded.daysOffError)
        skipped << loaded.daysOffError->text;
    if (!skipped.isEmpty())
        MessageBox::show(this,
            QStringLiteral("Some days off were left out:\n") + skipped.join(QLatin1Char('\n')),
            QStringLiteral("Days Off"), MessageBox::Exclamation);
    const Settings &settings = loaded.settings;
    applySettings(settings);

    setTextColor(m_chkExcludeWeekends, colorFromBgr(kWhite));
    m_Frame2->show();
    m_lblSetWorkingDays->move(m_lblSetWorkingDays->x(), m_chkExcludeWeekends->y() + twipsToPixelsY(this, 50));
    updateTitle();

    m_ListView1->setModel(m_tasks);
    applyTaskColumnWidths();
    m_ListView2->setModel(m_events);
    SetProjectStartDate();
}

void Form1::applyTaskColumnWidths()
{
    const double widths[] = { 4000, 2000, 2000, 2000 };
    for (int column = 0; column < 4; ++column)
        m_ListView1->setColumnWidth(column, twipsToPixelsX(this, widths[column]));
}

const WorkingWeekFlags &Form1::workingWeek() const
{
    return m_project->settings().WorkingWeek;
}

void Form1::applySettings(const Settings &settings)
{
    m_project->setSettings(settings);
    m_txtStarts->setText(settings.hours.starts);
    m_txtEndsAt->setText(settings.hours.endsAt);
}

void Form1::SetProjectStartDate()
{
    m_project->SetProjectStartDate(Clock::today());
}

void Form1::cmdToList_Click()
{
    const int columnsBefore = m_tasks->columnCount();
    if (auto refusal = m_project->rebuild(Clock::today())) {
        MessageBox::show(this, refusal->text, ooopsTitle(), MessageBox::Information);
        return;
    }
    if (m_tasks->columnCount() != columnsBefore)
        applyTaskColumnWidths();
}

void Form1::Calendar2_DateChange(const QDate & /*OldDate*/, const QDate &NewDate)
{
    QAbstractButton *pickedOption = m_optDate->button(1);
    if (!pickedOption->isChecked()) {
        // Selecting the option from code counts as its click, which builds with the previous date.
        pickedOption->setChecked(true);
        optDate_Click(1);
    }
    m_project->setPickedStartDate(NewDate);
    SetProjectStartDate();
    cmdToList_Click();
}

void Form1::onCalendarSelectionChanged()
{
    const QDate NewDate = m_Calendar2->selectedDate();
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
    m_tmrDate->stop();
    const bool wasModified = m_document->isModified();
    const QDate today = Clock::today();
    if (m_Calendar2->selectedDate() < today)
        m_Calendar2->setSelectedDate(today);
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
    workingWeekWindow()->exec();
}

std::unique_ptr<frmWorkingWeek> Form1::workingWeekWindow()
{
    auto window = std::make_unique<frmWorkingWeek>(m_project->settings(), this);
    if (window->weekLoaded()) {
        Settings refreshed = m_project->settings();
        refreshed.WorkingWeek = window->settings().WorkingWeek;
        applySettings(refreshed);
    }
    connect(window.get(), &frmWorkingWeek::settingsSaved, this, [this](const Settings &saved) {
        applySettings(saved);
        cmdToList_Click();
    });
    return window;
}

void Form1::updateHintLine()
{
    const auto hinted = std::count_if(m_project->tasks().begin(), m_project->tasks().end(),
        [](const TaskRow &task) { return !task.hint.isEmpty(); });
    m_lblHints->setText(hinted == 1
            ? QStringLiteral("1 line may not say what you meant — hover the mark.")
            : QStringLiteral("%1 lines may not say what you meant — hover the marks.").arg(hinted));
    placeHintLine();
    m_lblHints->setVisible(hinted > 0);
}

void Form1::placeHintLine()
{
    const QRect list(m_ListView1->mapTo(m_body, QPoint(0, 0)), m_ListView1->size());
    m_lblHints->setGeometry(list.left(), list.bottom() + 4, list.width(), m_lblHints->sizeHint().height());
}

void Form1::growWithHeight()
{
    // At the design size nothing moves; the extra height goes to the task list and the task box.
    const int extra = std::max(0, m_body->height() - twipsToPixelsY(this, kDesignHeight));
    m_ListView1->resize(m_ListView1->width(), m_designListSize.height() + extra);
    m_txtTodo->resize(m_txtTodo->width(), m_designTaskBoxHeight + extra);
    m_cmdToList->move(m_cmdToList->x(), m_designBuildButtonTop + extra);
    placeHintLine();
}

void Form1::stretchBackgrounds()
{
    // The banner and the side panel are backgrounds: on a larger window they reach its edges, so that the
    // slogan that follows the right edge stays on the banner and the panel does not end in mid-air.
    m_Picture1->resize(std::max(m_body->width(), twipsToPixelsX(this, kDesignWidth)), m_Picture1->height());
    m_picSidebar->resize(
        m_picSidebar->width(), std::max(m_body->height() - m_picSidebar->y(), twipsToPixelsY(this, 8910)));
}

void Form1::Form_Resize()
{
    // Single precision, in twips, against the outer width of the window as its width property gives it.
    const auto W = float(pixelsToTwipsX(this, frameGeometry().width()));
    const auto margin = float(kRightMargin);
    const auto toPixels = [this](float twips) { return twipsToPixelsX(this, double(twips)); };

    m_Command2->move(
        toPixels(W - float(pixelsToTwipsX(this, m_Command2->width())) - margin), m_Command2->y());
    m_Label13->move(toPixels(W - float(pixelsToTwipsX(this, m_Label13->width())) - margin), m_Label13->y());
    const float listWidth = W - float(pixelsToTwipsX(this, m_ListView1->x())) - margin;
    if (listWidth >= 0)
        m_ListView1->resize(toPixels(listWidth), m_ListView1->height());
    placeHintLine();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_txtTodo || watched == m_txtProjectName) && event->type() == QEvent::ShortcutOverride) {
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
        stretchBackgrounds();
        growWithHeight();
        takeListArea();
    } else if (watched == m_txtTodo
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
    } else if (watched == m_Label15 || watched == m_lblSetWorkingDays) {
        auto *label = static_cast<QLabel *>(watched);
        switch (event->type()) {
        case QEvent::MouseButtonRelease: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
                linkActivated(watched);
                return true;
            }
            break;
        }
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            const int pressed = key->key();
            if (!key->isAutoRepeat()
                && (pressed == Qt::Key_Return || pressed == Qt::Key_Enter || pressed == Qt::Key_Space)) {
                linkActivated(watched);
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            // A link has no look of its own for the keyboard's focus, so it gets a frame while it has it.
            label->setFrameShape(label->hasFocus() ? QFrame::Box : QFrame::NoFrame);
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::linkActivated(QObject *link)
{
    if (link == m_Label15)
        Label15_Click();
    else
        lblSetWorkingDays_Click();
}

} // namespace ambrel
