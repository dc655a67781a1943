#include "WindowTestSupport.h"

#include "app/FileDialog.h"
#include "app/FolderOpener.h"
#include "app/Form1.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "app/HelpWindow.h"
#include "app/ListPrinter.h"
#include "app/MessageBox.h"
#include "app/PostponeDialog.h"
#include "app/Printing.h"
#include "app/TaskListModel.h"
#include "app/WindowLook.h"
#include "app/frmTips.h"
#include "corekit/Clock.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <optional>

using namespace ambrel;

namespace {

const QDate kWednesday(2024, 6, 5);

class RecordingPrinter final : public LinePrinter {
public:
    bool printLines(const QStringList &lines, QString * /*error*/) override
    {
        printed << lines;
        return true;
    }
    QList<QStringList> printed;
};

QAction *action(const Form1 &window, const QString &name)
{
    auto *found = window.findChild<QAction *>(name);
    if (!found)
        qFatal("no action %s", qPrintable(name));
    return found;
}

// A window whose list holds "Design" and "Build", with the first row selected as a click would.
std::unique_ptr<Form1> windowWithTwoTasks()
{
    auto window = openForm1();
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))
        ->setPlainText(QStringLiteral("Design + 3\nBuild + 2"));
    window->cmdToList_Click();
    window->listView1()->setCurrentIndex(window->taskModel()->index(0, 0));
    return window;
}

QStringList taskNames(const Form1 &window)
{
    QStringList names;
    for (const auto &row : window.taskModel()->rows())
        names << row.namePart.trimmed();
    return names;
}

} // namespace

class tst_Form1Menus final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuActions_data();
    void menuActions();
    void postponeDialog_data();
    void postponeDialog();
    void selectionDrivesTaskActions_data();
    void selectionDrivesTaskActions();
    void deleteKeyOnlyInTheList();
    void enterClosingAMessageDoesNotRebuild_data();
    void enterClosingAMessageDoesNotRebuild();
    void linksActOnKeys_data();
    void linksActOnKeys();
    void tabReachesEveryControl();
    void designSizeBelowMenuBar();
    void smallestSizeKeepsControlsReachable();
    void exportDialogs_data();
    void exportDialogs();
    void printing_data();
    void printing();
    void userManualOnF1();
    void quitClosesEveryWindow();
    void refusedOptionChangesNothing();

private:
    std::optional<WindowTest> m_world;
    RecordingPrinter m_printer;
};

void tst_Form1Menus::initTestCase()
{
    WindowTest::initTestCase();
    ListPrinter::setPrinter(&m_printer);
}

void tst_Form1Menus::init()
{
    m_world.emplace(kWednesday);
    // Each export takes the file its dialog offers.
    FileDialog::setAcceptOffered(true);
    m_printer.printed.clear();
}

void tst_Form1Menus::cleanup()
{
    m_world.reset();
}

void tst_Form1Menus::menuActions_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("tasksAfter");
    QTest::addColumn<QString>("messageTitle"); // empty: no message
    QTest::addColumn<int>("printJobs");

    const QStringList both { QStringLiteral("Design"), QStringLiteral("Build") };
    QTest::newRow("Rebuild builds the box's three lines")
        << "actionRebuild" << QStringList { "Design", "Build", "Test" } << QString() << 0;
    QTest::newRow("Remove Selected drops the selected row")
        << "actionRemoveSelected" << QStringList { "Build", "Test" } << QString() << 0;
    QTest::newRow("Remove All empties the list") << "actionRemoveAll" << QStringList() << QString() << 0;
    QTest::newRow("Turn List Back into Text keeps the rows")
        << "actionConvertToList" << both << QString() << 0;
    // The box holds a line the list does not show yet: the export rebuilds first (the scripted Yes).
    const QStringList three { QStringLiteral("Design"), QStringLiteral("Build"), QStringLiteral("Test") };
    QTest::newRow("Export writes the calendar file") << "actionExportCsv" << three << "Done!" << 0;
    QTest::newRow("Export to iCalendar writes the .ics file") << "actionExportIcs" << three << "Done!" << 0;
    QTest::newRow("Print List prints one job") << "actionPrint" << both << "Ambrel" << 1;
    QTest::newRow("About names the versions") << "actionAbout" << both << "About Ambrel" << 0;
}

void tst_Form1Menus::menuActions()
{
    QFETCH(QString, action);
    QFETCH(QStringList, tasksAfter);
    QFETCH(QString, messageTitle);
    QFETCH(int, printJobs);

    const auto window = windowWithTwoTasks();
    auto *box = window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"));
    box->setPlainText(QStringLiteral("Design + 3\nBuild + 2\nTest + 1"));
    MessageBox::clearShown();

    QVERIFY(::action(*window, action)->isEnabled());
    ::action(*window, action)->trigger();

    QCOMPARE(taskNames(*window), tasksAfter);
    const QList<MessageBox::Shown> shown = MessageBox::shown();
    QCOMPARE(shown.isEmpty() ? QString() : shown.last().title, messageTitle);
    QCOMPARE(m_printer.printed.size(), printJobs);
    if (action == QLatin1String("actionConvertToList"))
        QCOMPARE(box->toPlainText().split(u'\n', Qt::SkipEmptyParts).size(), 2);
    if (action == QLatin1String("actionAbout")) {
        QVERIFY(shown.last().text.contains(QStringLiteral("v1.4")));
        QVERIFY(shown.last().text.contains(QString::fromLatin1(qVersion())));
        QVERIFY(shown.last().text.contains(QStringLiteral("libical 3.0.")));
    }
}

void tst_Form1Menus::postponeDialog_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QDate>("buildStarts"); // the second task's start afterwards

    // Design runs Wednesday to Friday, so Build starts on Monday 10 June.
    QTest::newRow("postponed by 2 working days") << 2 << true << QDate(2024, 6, 12);
    QTest::newRow("advanced by 1 working day") << -1 << true << QDate(2024, 6, 7);
    QTest::newRow("cancelled") << 5 << false << QDate(2024, 6, 10);
}

void tst_Form1Menus::postponeDialog()
{
    QFETCH(int, days);
    QFETCH(bool, accepted);
    QFETCH(QDate, buildStarts);

    const auto window = windowWithTwoTasks();
    window->listView1()->setCurrentIndex(window->taskModel()->index(1, 0));
    QCOMPARE(window->taskModel()->rows().at(1).startDate, QDate(2024, 6, 10));

    int offered = 0;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<PostponeDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        auto *spin = dialog->findChild<QSpinBox *>(QStringLiteral("spnDays"));
        offered = spin->value();
        spin->setValue(days);
        accepted ? dialog->accept() : dialog->reject();
    });
    action(*window, QStringLiteral("actionPostpone"))->trigger();

    QCOMPARE(offered, 15);
    QCOMPARE(window->taskModel()->rows().at(0).startDate, kWednesday);
    QCOMPARE(window->taskModel()->rows().at(1).startDate, buildStarts);
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("txtDaysToPostPone"))->text(),
        accepted ? QString::number(days) : QStringLiteral("15"));
    QVERIFY(MessageBox::shown().isEmpty());
}

void tst_Form1Menus::selectionDrivesTaskActions_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("taskID"); // the hidden row-click box afterwards

    QTest::newRow("left click") << "left"
                                << "2";
    QTest::newRow("right click") << "right"
                                 << "2";
    QTest::newRow("Down arrow") << "down"
                                << "2";
}

void tst_Form1Menus::selectionDrivesTaskActions()
{
    QFETCH(QString, how);
    QFETCH(QString, taskID);

    auto window = openForm1();
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))
        ->setPlainText(QStringLiteral("Design\nBuild"));
    window->cmdToList_Click();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTreeView *list = window->listView1();

    QVERIFY(!action(*window, QStringLiteral("actionPostpone"))->isEnabled());
    QVERIFY(!action(*window, QStringLiteral("actionRemoveSelected"))->isEnabled());
    QVERIFY(action(*window, QStringLiteral("actionRemoveAll"))->isEnabled());
    const QList<QAction *> rightClick = window->taskListMenu()->actions();
    for (const char *name :
        { "actionPostpone", "actionRemoveSelected", "actionRemoveAll", "actionConvertToList" })
        QVERIFY2(rightClick.contains(action(*window, QString::fromLatin1(name))), name);

    const QPoint second = list->visualRect(window->taskModel()->index(1, 0)).center();
    if (how == QLatin1String("left")) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    } else if (how == QLatin1String("right")) {
        emit list->customContextMenuRequested(second);
        window->taskListMenu()->close();
    } else {
        list->setFocus();
        list->setCurrentIndex(window->taskModel()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Down);
    }

    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("txtTaskID"))->text(), taskID);
    QVERIFY(action(*window, QStringLiteral("actionPostpone"))->isEnabled());
    QVERIFY(action(*window, QStringLiteral("actionRemoveSelected"))->isEnabled());

    action(*window, QStringLiteral("actionRemoveAll"))->trigger();
    QVERIFY(!action(*window, QStringLiteral("actionPostpone"))->isEnabled());
    QVERIFY(!action(*window, QStringLiteral("actionRemoveAll"))->isEnabled());
    // The text holds every task, so turning an empty list back into text is still offered, with a question.
    QVERIFY(action(*window, QStringLiteral("actionConvertToList"))->isEnabled());
}

void tst_Form1Menus::deleteKeyOnlyInTheList()
{
    const auto window = windowWithTwoTasks();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *box = window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"));

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(window->taskModel()->rowCount(), 2);
    QCOMPARE(box->toPlainText(), QStringLiteral("esign + 3\nBuild + 2"));
    box->undo();

    window->listView1()->setFocus();
    QTest::keyClick(window->listView1(), Qt::Key_Delete);
    QCOMPARE(taskNames(*window), QStringList { QStringLiteral("Build") });
}

void tst_Form1Menus::enterClosingAMessageDoesNotRebuild_data()
{
    QTest::addColumn<QString>("tasks");
    QTest::addColumn<bool>("pastDate");
    QTest::addColumn<QString>("message");

    QTest::newRow("past start date") << "Design + 3" << true
                                     << "Your project is set to start on a past date. Please fix this.";
    QTest::newRow("too many days") << "Design + 99999999" << false << QString();
}

void tst_Form1Menus::enterClosingAMessageDoesNotRebuild()
{
    QFETCH(QString, tasks);
    QFETCH(bool, pastDate);
    QFETCH(QString, message);

    const auto window = openForm1();
    auto *box = window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"));
    if (pastDate) {
        window->findChild<QCalendarWidget *>(QStringLiteral("Calendar2"))
            ->setSelectedDate(kWednesday.addDays(7));
        Clock::setToday(kWednesday.addDays(14));
    }
    box->setPlainText(tasks);
    MessageBox::clearShown();

    // Enter in the box builds and brings the refusal; the Enter that closes it ends as a bare release.
    QTest::keyPress(box, Qt::Key_Return);
    QTest::keyRelease(box, Qt::Key_Return);
    QCOMPARE(MessageBox::shown().size(), 1);
    if (!message.isEmpty())
        QCOMPARE(MessageBox::shown().first().text, message);
    QTest::keyRelease(box, Qt::Key_Return);
    QTest::keyRelease(box, Qt::Key_Return);
    QCOMPARE(MessageBox::shown().size(), 1);
}

void tst_Form1Menus::linksActOnKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("opens");

    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << true;
    QTest::newRow("letter") << int(Qt::Key_T) << false;
}

void tst_Form1Menus::linksActOnKeys()
{
    QFETCH(int, key);
    QFETCH(bool, opens);

    const auto window = openForm1();
    auto *link = window->findChild<QLabel *>(QStringLiteral("Label15"));
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        opened = qobject_cast<frmTips *>(modal) != nullptr;
        if (modal)
            modal->close();
    });
    QTest::keyPress(link, Qt::Key(key));
    if (!opens)
        QTest::qWait(0);
    QCOMPARE(opened, opens);
}

void tst_Form1Menus::tabReachesEveryControl()
{
    const auto window = openForm1();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->findChild<QWidget *>(QStringLiteral("txtProjectName"))->setFocus();

    QStringList reached;
    for (int press = 0; press < 11; ++press) {
        QWidget *focus = QApplication::focusWidget();
        // The calendar's focus sits on its inner table.
        while (
            focus && (focus->objectName().isEmpty() || focus->objectName().startsWith(QLatin1String("qt_"))))
            focus = focus->parentWidget();
        reached << (focus ? focus->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(reached,
        (QStringList { "txtProjectName", "Label15", "optDate_0", "Calendar2", "chkExcludeWeekends",
            "lblSetWorkingDays", "txtTodo", "cmdToList", "ListView1", "Command2", "txtProjectName" }));
}

void tst_Form1Menus::designSizeBelowMenuBar()
{
    const auto window = openForm1();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget *body = window->centralWidget();
    QCOMPARE(body->size(), QSize(twipsToPixelsX(window.get(), 17130), twipsToPixelsY(window.get(), 10005)));
    QCOMPARE(window->height(), body->height() + window->menuBar()->height());
}

void tst_Form1Menus::smallestSizeKeepsControlsReachable()
{
    const auto window = openForm1();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->resize(200, 200);
    QTRY_VERIFY(window->width() > 200);

    const QRect sidebar = window->findChild<QWidget *>(QStringLiteral("picSidebar"))->geometry();
    const QRect body = window->centralWidget()->rect();
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("Command2"))->x() >= sidebar.right());
    for (const char *name : { "txtProjectName", "Calendar2", "txtTodo", "cmdToList" }) {
        const QWidget *control = window->findChild<QWidget *>(QString::fromLatin1(name));
        const QRect inBody(control->mapTo(window->centralWidget(), QPoint(0, 0)), control->size());
        QVERIFY2(body.contains(inBody), name);
    }
}

void tst_Form1Menus::quitClosesEveryWindow()
{
    const auto first = windowWithTwoTasks();
    const auto second = windowWithTwoTasks();
    const auto third = windowWithTwoTasks();
    for (Form1 *window : { first.get(), second.get(), third.get() })
        window->show();
    MessageBox::clearShown();
    // Each window asks about its own unsaved work; a Cancel stops the quit there.
    MessageBox::setNextAnswer(MessageBox::Discard);
    MessageBox::setNextAnswer(MessageBox::Cancel);
    action(*second, QStringLiteral("actionQuit"))->trigger();
    QCOMPARE(MessageBox::shown().size(), 2);
    QVERIFY(!second->isVisible());
    QCOMPARE(int(first->isVisible()) + int(third->isVisible()), 2);

    MessageBox::setNextAnswer(MessageBox::Discard);
    MessageBox::setNextAnswer(MessageBox::Discard);
    action(*first, QStringLiteral("actionQuit"))->trigger();
    QVERIFY(!first->isVisible() && !third->isVisible());
}

void tst_Form1Menus::refusedOptionChangesNothing()
{
    const auto window = openForm1();
    window->findChild<QCalendarWidget *>(QStringLiteral("Calendar2"))->setSelectedDate(kWednesday.addDays(7));
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(QStringLiteral("A + 3\n// B\nC"));
    window->cmdToList_Click();
    window->document().markSaved();
    const QDate cStart = window->project().tasks().back().startDate;
    // The picked start has passed: every build is refused, so the option must not take.
    Clock::setToday(kWednesday.addDays(14));
    MessageBox::clearShown();
    QAction *wait = action(*window, QStringLiteral("actionWaitParallel"));
    wait->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(!wait->isChecked());
    QVERIFY(!window->project().waitsForParallel());
    QVERIFY(!window->isModified());
    QCOMPARE(window->project().tasks().back().startDate, cStart);
}

QTEST_MAIN(tst_Form1Menus)
void tst_Form1Menus::exportDialogs_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("dialogAsksOverwrite"); // the calendar exports ask their own question
    QTest::addColumn<QString>("helpPage");

    QTest::newRow("csv") << "actionExportCsv"
                         << "Website relaunch.csv" << false << "exports.html#google-calendar";
    QTest::newRow("ics") << "actionExportIcs"
                         << "Website relaunch.ics" << false << "exports.html#ics";
    QTest::newRow("timeline") << "actionExportTimeline"
                              << "Website relaunch.png" << true << "exports.html#timeline-picture";
}

// Each export offers the project's name in the default folder first, then in the folder last chosen.
void tst_Form1Menus::exportDialogs()
{
    QFETCH(QString, action);
    QFETCH(QString, fileName);
    QFETCH(bool, dialogAsksOverwrite);
    QFETCH(QString, helpPage);
    const auto window = windowWithTwoTasks();
    window->findChild<QLineEdit *>(QStringLiteral("txtProjectName"))
        ->setText(QStringLiteral("Website relaunch"));
    window->cmdToList_Click();

    ::action(*window, action)->trigger();
    QCOMPARE(FileDialog::calls().size(), 1);
    QCOMPARE(FileDialog::calls().constLast().folder,
        m_world->folder.filePath(QStringLiteral("output/") + fileName));
    QCOMPARE(FileDialog::calls().constLast().confirmOverwrite, dialogAsksOverwrite);
    QVERIFY(QFile::exists(m_world->folder.filePath(QStringLiteral("output/") + fileName)));
    QCOMPARE(MessageBox::shown().constLast().helpPage, helpPage);

    QTemporaryDir elsewhere;
    FileDialog::setNextSaveFileName(
        elsewhere.filePath(QStringLiteral("chosen.") + QFileInfo(fileName).suffix()));
    ::action(*window, action)->trigger();
    QVERIFY(QFile::exists(FileDialog::calls().constLast().folder));
    ::action(*window, action)->trigger();
    QCOMPARE(FileDialog::calls().constLast().folder, elsewhere.filePath(fileName));
}

void tst_Form1Menus::printing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("tasks");
    QTest::addColumn<bool>("severalPages");

    QTest::newRow("preview of the list") << "actionPrintPreview" << 2 << false;
    QTest::newRow("timeline on one page") << "actionPrintTimeline" << 2 << false;
    QTest::newRow("timeline across pages") << "actionPrintTimeline" << 80 << true;
}

// The printouts reach the printer the dialogs would have chosen: here a PDF file, as with no printer.
void tst_Form1Menus::printing()
{
    QFETCH(QString, action);
    QFETCH(int, tasks);
    QFETCH(bool, severalPages);
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("printout.pdf")));
    Printing::setPrinter(&printer);
    const auto window = windowWithTwoTasks();
    QStringList lines;
    for (int task = 1; task <= tasks; ++task)
        lines << QStringLiteral("Task %1 + 1").arg(task);
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(lines.join(u'\n'));
    window->cmdToList_Click();
    MessageBox::clearShown();

    ::action(*window, action)->trigger();
    Printing::setPrinter(nullptr);
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(bytes.count("/Type /Page\n") > 1, severalPages);
    QVERIFY(MessageBox::shown().isEmpty());
}

void tst_Form1Menus::userManualOnF1()
{
    const auto window = windowWithTwoTasks();
    QAction *manual = ::action(*window, QStringLiteral("actionUserManual"));
    QCOMPARE(manual->shortcut(), QKeySequence(Qt::Key_F1));
    manual->trigger();
    manual->trigger();
    const QList<HelpWindow *> shown = window->findChildren<HelpWindow *>();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first()->isVisible());
}

#include "tst_form1menus.moc"
