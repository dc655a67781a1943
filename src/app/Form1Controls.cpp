#include "app/Form1Controls.h"

#include "app/WindowLook.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

namespace ambrel {

namespace {

// The texts a person reads, in the language the program was started in.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Form1Controls)
};

constexpr quint32 kWhite = 0x00FFFFFF;
constexpr quint32 kLinkColor = 0x00C0FFFF;
constexpr double kSidebarLeft = 180;
constexpr double kSidebarInnerWidth = 5370;


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

// What a screen reader says for each field: the label beside it where there is one, else a name of its own,
// and what the field takes where the name alone does not tell.
void nameControls(const Form1Controls &ui, QWidget *body)
{
    const std::pair<const char *, QWidget *> labelled[] = { { "lblProjectName", ui.txtProjectName },
        { "lblProjectTasks", ui.txtTodo }, { "lblTask", ui.txtTask }, { "lblTaskID", ui.txtTaskID },
        { "lblTaskStartDate", ui.txtStartDate }, { "Label1", ui.txtDaysToPostPone } };
    for (const auto &[label, field] : labelled)
        body->findChild<QLabel *>(QString::fromLatin1(label))->setBuddy(field);
    ui.txtProjectName->setAccessibleDescription(Text::tr("Try to keep it short"));
    ui.txtTodo->setAccessibleDescription(Text::tr("One task per line, its days after a plus sign (Design + 5); "
                                                  "a line starting with // runs beside the one above"));
    nameScrollBars(ui.txtTodo);
    ui.txtDaysToPostPone->setAccessibleDescription(Text::tr("Days, counted from the current task"));
    ui.txtStarts->setAccessibleName(Text::tr("Working day starts at"));
    ui.txtEndsAt->setAccessibleName(Text::tr("Working day ends at"));
    ui.ListView1->setAccessibleName(Text::tr("Task list"));
    ui.ListView1->setAccessibleDescription(Text::tr("Each task with its start and end; Delete removes the "
                                                    "selected task, the menu key opens its actions"));
    ui.ListView2->setAccessibleName(Text::tr("Event list"));
    ui.Calendar2->setAccessibleName(Text::tr("Project start date"));
    // The calendar's own parts carry only arrows and numbers.
    const std::pair<const char *, QString> calendarParts[]
        = { { "qt_calendar_prevmonth", Text::tr("Previous month") },
              { "qt_calendar_nextmonth", Text::tr("Next month") }, { "qt_calendar_yearedit", Text::tr("Year") },
              { "qt_calendar_calendarview", Text::tr("Days of the month") } };
    for (const auto &[part, name] : calendarParts) {
        if (auto *widget = ui.Calendar2->findChild<QWidget *>(QString::fromLatin1(part)))
            widget->setAccessibleName(name);
    }
    // The day grid marks the keyboard's place with a faint dotted cell alone; a frame shows it has the focus.
    if (auto *days = ui.Calendar2->findChild<QFrame *>(QStringLiteral("qt_calendar_calendarview"))) {
        days->setFrameShape(QFrame::StyledPanel);
        days->setStyleSheet(QStringLiteral("QTableView { border: 2px solid transparent; } "
                                           "QTableView:focus { border: 2px solid palette(highlight); }"));
    }
}

} // namespace

Form1Controls buildForm1Controls(QMainWindow *window, QWidget *body)
{
    Form1Controls ui;
    ui.Picture1 = makeContainer(body, "Picture1", 0, 0, 17130, 1095);
    setBackgroundColor(ui.Picture1, colorFromBgr(0x00400040));
    makeLabel(ui.Picture1, "lblAppName", Text::tr("Ambrel!"), verdana(14.25, true), kWhite, 270, 315,
        7215, 420);
    ui.Label13 = makeLabel(ui.Picture1, "Label13",
        Text::tr("The Easiest and Fastest way to Bring Your Projects to Life!"), verdana(11.25),
        0x00FFC0FF, 12330, 315, 7575, 420);

    ui.Command2 = makeButton(
        body, "Command2", Text::tr("Export Project to .CSV For G Calendar"), 13995, 1215, 6000, 465);

    ui.picSidebar = makeContainer(body, "picSidebar", 0, 1095, 5730, 8910);
    setBackgroundColor(ui.picSidebar, colorFromBgr(0x00800080));
    QWidget *side = ui.picSidebar;
    const double left = kSidebarLeft;
    const double width = kSidebarInnerWidth;

    makeLabel(side, "lblProjectName", Text::tr("Project Name:"), verdana(9.75, true), kWhite, left, 150,
        2500, 285);
    ui.txtProjectName
        = makeTextBox(side, "txtProjectName", QStringLiteral("My Project"), left, 450, 3000, 345);
    ui.txtProjectName->setFont(verdana(9.75));
    ui.txtProjectName->installEventFilter(window);
    makeLabel(side, "lblNameHint", Text::tr("Try to Keep it Short."), verdana(8.25), kWhite, 3330, 510,
        2300, 285);

    QWidget *tipsFrame = makeContainer(side, "Frame3", left, 930, width, 330);
    makeLabel(tipsFrame, "lblTaskHint", Text::tr("Enter 1 Task Per Line. "), verdana(8.25), kWhite, 0,
        45, 3600, 240);
    ui.Label15 = makeLabel(tipsFrame, "Label15", Text::tr("Tips"), verdana(9, false, true), kLinkColor,
        3780, 45, 1320, 240);

    ui.Frame2 = makeContainer(side, "Frame2", left, 1320, width, 3810);
    makeLabel(ui.Frame2, "lblStartDate", Text::tr("Project Start date:"), verdana(9.75, true), kWhite, 0,
        0, width, 285);
    ui.optDate = new QButtonGroup(ui.Frame2);
    ui.optDate->setObjectName(QStringLiteral("optDate"));
    const QString optionTexts[] = { Text::tr("I want to start running this project right away."),
        Text::tr("Start this project on ") };
    for (int index = 0; index < 2; ++index) {
        auto *option = new QRadioButton(optionTexts[index], ui.Frame2);
        option->setObjectName(QStringLiteral("optDate_%1").arg(index));
        setTextColor(option, colorFromBgr(kWhite));
        placeInTwips(option, 0, 315 + index * 300, width, 300);
        ui.optDate->addButton(option, index);
    }
    ui.optDate->button(0)->setChecked(true);

    ui.Calendar2 = new QCalendarWidget(ui.Frame2);
    ui.Calendar2->setObjectName(QStringLiteral("Calendar2"));
    ui.Calendar2->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    ui.Calendar2->setSelectedDate(QDate(2020, 1, 13));
    ui.Calendar2->setAutoFillBackground(true);
    setBackgroundColor(ui.Calendar2, window->palette().color(QPalette::Window));
    placeInTwips(ui.Calendar2, 0, 945, width, 2850);

    ui.tmrDate = new QTimer(ui.Frame2);
    ui.tmrDate->setObjectName(QStringLiteral("tmrDate"));
    ui.tmrDate->setSingleShot(true);
    ui.tmrDate->setInterval(300);

    ui.chkExcludeWeekends = new QCheckBox(Text::tr("Adjust Tasks to My Working Week."), side);
    ui.chkExcludeWeekends->setObjectName(QStringLiteral("chkExcludeWeekends"));
    ui.chkExcludeWeekends->setChecked(true);
    placeInTwips(ui.chkExcludeWeekends, left, 5190, 4000, 300);

    ui.lblSetWorkingDays = makeLabel(side, "lblSetWorkingDays", Text::tr("Settings"),
        verdana(9, false, true), kLinkColor, 4350, 5190, 1200, 240);

    makeLabel(side, "lblProjectTasks", Text::tr("Project Tasks:"), verdana(9.75, true), kWhite, left,
        5580, width, 285);
    ui.txtTodo = new QPlainTextEdit(side);
    ui.txtTodo->setObjectName(QStringLiteral("txtTodo"));
    ui.txtTodo->setFont(verdana(9.75));
    ui.txtTodo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ui.txtTodo->installEventFilter(window);
    placeInTwips(ui.txtTodo, left, 5880, width, 2310);

    ui.cmdToList = makeButton(side, "cmdToList", Text::tr("Create Project!"), left, 8280, width, 480);
    ui.cmdToList->setFont(verdana(9.75, true));

    ui.ListView1 = new QTreeView(body);
    ui.ListView1->setObjectName(QStringLiteral("ListView1"));
    ui.ListView1->setUniformRowHeights(true);
    ui.ListView1->setRootIsDecorated(false);
    ui.ListView1->setItemsExpandable(false);
    ui.ListView1->setAllColumnsShowFocus(true);
    ui.ListView1->setFont(verdana(9.75, true));
    QPalette colors = ui.ListView1->palette();
    colors.setColor(QPalette::Text, colorFromBgr(0x00800000));
    colors.setColor(QPalette::Base, colorFromBgr(0x00C0FFFF));
    colors.setColor(QPalette::AlternateBase, colorFromBgr(0x00C0FFFF));
    ui.ListView1->setPalette(colors);
    ui.ListView1->header()->setFont(verdana(8.25));
    placeInTwips(ui.ListView1, 5895, 1800, 14100, 7755);

    // Under the list, in the margin below it, a line that says when some rows carry a hint.
    ui.lblHints = new QLabel(body);
    ui.lblHints->setObjectName(QStringLiteral("lblHints"));
    ui.lblHints->setFont(verdana(8.25));
    ui.lblHints->setWordWrap(true); // beside the timeline the list is narrower than the line
    ui.lblHints->hide();

    ui.ListView2 = new QTreeView(body);
    ui.ListView2->setObjectName(QStringLiteral("ListView2"));
    ui.ListView2->setUniformRowHeights(true);
    ui.ListView2->setRootIsDecorated(false);
    placeInTwips(ui.ListView2, 6210, 3825, 15675, 4650);
    ui.ListView2->hide();

    auto *frame4 = new QGroupBox(Text::tr("GCalendar"), body);
    frame4->setObjectName(QStringLiteral("Frame4"));
    placeInTwips(frame4, 8730, 6120, 8160, 4965);
    ui.txtStarts = makeTextBox(frame4, "txtStarts", QString(), 240, 360, 2000, 315);
    ui.txtEndsAt = makeTextBox(frame4, "txtEndsAt", QString(), 240, 780, 2000, 315);
    frame4->hide();

    QWidget *frame1 = makeContainer(body, "Frame1", 8325, 1305, 5145, 1950);
    const QString tips[] = {
        Text::tr("Tip: You can set the duration of each task at the end of it by using \"+ [Days]\". "
                 "Example:"),
        Text::tr("Create Product + 10"),
        Text::tr("This will assign 10 days to this task. If there's another task, its start date will be "
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

    QWidget *frInvisible = makeContainer(body, "frInvisible", 17145, 4140, 6720, 3660);
    makeLabel(frInvisible, "lblTask", Text::tr("Task:"), window->font(), 0, 120, 240, 1200, 285);
    ui.txtTask = makeTextBox(frInvisible, "txtTask", QStringLiteral("Text1"), 1440, 240, 5000, 315);
    makeLabel(frInvisible, "lblTaskID", Text::tr("Task ID:"), window->font(), 0, 120, 700, 1200, 285);
    ui.txtTaskID = makeTextBox(frInvisible, "txtTaskID", QString(), 1440, 700, 5000, 315);
    makeLabel(
        frInvisible, "lblTaskStartDate", Text::tr("Start Date:"), window->font(), 0, 120, 1160, 1200, 285);
    ui.txtStartDate = makeTextBox(frInvisible, "txtStartDate", QStringLiteral("Text1"), 1440, 1160, 5000, 315);
    frInvisible->hide();

    QWidget *grid = makeContainer(body, "picGrid", 13140, 6390, 14565, 6000);
    makeLabel(grid, "Label6", Text::tr("Advance the whole project"), window->font(), 0, 240, 240, 4000, 285);
    makeLabel(
        grid, "Label1", Text::tr("Post-Pone the whole project for "), window->font(), 0, 240, 600, 3600, 285);
    ui.txtDaysToPostPone = makeTextBox(grid, "txtDaysToPostPone", QStringLiteral("15"), 3900, 570, 700, 315);
    makeLabel(grid, "Label2", Text::tr("days (counted from the current task.)"), window->font(), 0, 4700, 600,
        4000, 285);
    makeButton(grid, "cmdPostpone", Text::tr("Post-Pone"), 240, 1050, 1800, 400);
    makeButton(grid, "cmdConvertToList", Text::tr("Convert Items to List"), 240, 1600, 2600, 400);
    makeButton(grid, "cmdRemove", Text::tr("Remove Items"), 3000, 1600, 2000, 400);
    makeButton(grid, "cmdRemoveSelected", Text::tr("Remove Selected"), 5160, 1600, 2000, 400);
    makeButton(grid, "cmdPrint", Text::tr("Print"), 7320, 1600, 1500, 400);
    grid->hide();
    nameControls(ui, body);
    return ui;
}

void setKeyboardOrder(const Form1Controls &ui)
{
    // The task box takes Tab as a move to the next control, so the keyboard never gets stuck in it.
    ui.txtTodo->setTabChangesFocus(true);
    ui.Label15->setFocusPolicy(Qt::TabFocus);
    ui.lblSetWorkingDays->setFocusPolicy(Qt::TabFocus);
    const QList<QWidget *> order { ui.txtProjectName, ui.Label15, ui.optDate->button(0),
        ui.optDate->button(1), ui.Calendar2, ui.chkExcludeWeekends, ui.lblSetWorkingDays, ui.txtTodo,
        ui.cmdToList, ui.ListView1, ui.Command2 };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace ambrel
