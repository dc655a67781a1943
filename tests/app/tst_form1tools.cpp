#include "WindowTestSupport.h"

#include "app/EventListModel.h"
#include "app/ExportDestination.h"
#include "app/FileDialog.h"
#include "app/FolderOpener.h"
#include "app/Form1.h"
#include "app/ListPrinter.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <optional>

using namespace ambrel;

namespace {

const QDate kWednesday(2024, 6, 5); // a working day of the shipped Monday-to-Friday week
const QString kDone = QStringLiteral(
    "Done! The software will now open a folder which contains a .csv file with your project info. You can "
    "now "
    "add this project (.csv) to your G calendar. For more details, please read the user manual.");
const QString kNights = QStringLiteral(
    " Events of several working days run through the nights between them; for working hours only, turn on "
    "File → CSV: One Event per Working Day and export again.");
const QString kOutOfDate
    = QStringLiteral("Your tasks changed since the list was built. Rebuild before exporting?");
const QByteArray kHeader
    = "Subject,Start Date,Start Time,End Date,End Time,All Day Event,Description,Location,"
      "Private\r\n";

class RecordingPrinter final : public LinePrinter {
public:
    bool printLines(const QStringList &lines, QString *error) override
    {
        printed << lines;
        if (!fails)
            return true;
        *error = QStringLiteral("The printer is off line.");
        return false;
    }

    bool fails = false;
    QList<QStringList> printed;
};

template <typename T> T *child(const Form1 &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// The window with the tasks built, its one-off calendar check held back.
std::unique_ptr<Form1> windowWith(const QString &tasks)
{
    auto window = openForm1();
    child<QPlainTextEdit>(*window, "txtTodo")->setPlainText(tasks);
    window->cmdToList_Click();
    return window;
}

void press(const Form1 &window, const char *button)
{
    child<QPushButton>(window, button)->click();
}

void clickRow(const Form1 &window, int row)
{
    QTreeView *list = window.listView1();
    const QRect cell = list->visualRect(window.taskModel()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

QStringList dates(const Form1 &window, int column)
{
    QStringList texts;
    for (int row = 0; row < window.taskModel()->rowCount(); ++row)
        texts << window.taskModel()->cellText(row, column);
    return texts;
}

} // namespace

class tst_Form1Tools final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exportChecks_data();
    void exportChecks();
    void hintMarks();
    void daysOffReachTheSchedule();
    void outOfDateQuestion_data();
    void outOfDateQuestion();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void quotedFields();
    void blockedOutputFolder();
    void folderOpensBeforeDone_data();
    void folderOpensBeforeDone();
    void postpone_data();
    void postpone();
    void removeSelectedKeepsExportInStep();
    void convertedTextBuildsTheSameSchedule();
    void listActionsAreUndoableEdits_data();
    void listActionsAreUndoableEdits();
    void csvLayoutChoice();
    void waitForParallelTasks();
    void print_data();
    void print();
    void colorRow_data();
    void colorRow();
    void exportFileNames_data();
    void exportFileNames();

private:
    // The file the last export's dialog offered, which each export takes.
    QString csvPath() const
    {
        return FileDialog::calls().isEmpty() ? m_world->folder.filePath(QStringLiteral("output/project.csv"))
                                             : FileDialog::calls().constLast().folder;
    }
    QByteArray csv() const
    {
        QFile file(csvPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::optional<WindowTest> m_world;
    RecordingPrinter m_printer;
};

void tst_Form1Tools::initTestCase()
{
    WindowTest::initTestCase();
    ListPrinter::setPrinter(&m_printer);
}

void tst_Form1Tools::init()
{
    m_world.emplace(kWednesday);
    FileDialog::setAcceptOffered(true);
    m_printer = RecordingPrinter();
}

void tst_Form1Tools::cleanup()
{
    m_world.reset();
}

void tst_Form1Tools::exportChecks_data()
{
    QTest::addColumn<QString>("tasks");
    QTest::addColumn<QString>("projectName");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("file");

    const QString noTasks = QStringLiteral("Please add some tasks to your project.");
    const QString noName = QStringLiteral("Please enter a project name.");
    QTest::newRow("no tasks") << ""
                              << "My Project" << noTasks << QByteArray();
    QTest::newRow("name cleared after the build") << "Plan + 2"
                                                  << "" << noName << QByteArray();
    QTest::newRow("a blank is a name")
        << "Plan + 2"
        << " " << kDone + kNights
        << kHeader + "My Project: Plan ,06/05/2024,09:00 AM,06/06/2024,05:00 PM,False,Plan ,Home,True\r\n";
    QTest::newRow("tasks without events give the header alone")
        << "Call + 0.5"
        << "My Project" << kDone + " No task had a whole working day, so the file holds no calendar events."
        << kHeader;
}

void tst_Form1Tools::exportChecks()
{
    QFETCH(QString, tasks);
    QFETCH(QString, projectName);
    QFETCH(QString, message);
    QFETCH(QByteArray, file);

    const auto window = windowWith(tasks);
    child<QLineEdit>(*window, "txtProjectName")->setText(projectName);
    // A name changed since the build is asked about first; going on without a rebuild exports the list.
    const bool renamed = projectName != QLatin1String("My Project");
    if (renamed)
        MessageBox::setNextAnswer(MessageBox::No);
    press(*window, "Command2");

    QCOMPARE(shownTexts(), (renamed ? QStringList { kOutOfDate } : QStringList()) + QStringList { message });
    const MessageBox::Shown &shown = MessageBox::shown().constLast();
    QCOMPARE(
        shown.title, message.startsWith(kDone) ? QStringLiteral("Done!") : QStringLiteral("Missing Info"));
    QCOMPARE(shown.icon, MessageBox::Information);
    QCOMPARE(shown.buttons, MessageBox::OkOnly);
    QCOMPARE(csv(), file);
    QCOMPARE(QFile::exists(csvPath()), !file.isEmpty());
    QCOMPARE(FolderOpener::opened().size(), file.isEmpty() ? 0 : 1);
}

void tst_Form1Tools::hintMarks()
{
    const auto window = windowWith(QStringLiteral("R+D review + 3\nShip + 2 weeks\nPlan + 3"));
    auto *line = child<QLabel>(*window, "lblHints");
    QVERIFY(!line->isHidden());
    QCOMPARE(line->text(), QStringLiteral("2 lines may not say what you meant — hover the marks."));
    const TaskListModel &tasks = *window->taskModel();
    QCOMPARE(tasks.index(0, 0).data(Qt::ToolTipRole).toString(),
        QStringLiteral("Read as 1 day: the first \"+\" starts the duration, so the task is named \"R\"."));
    QVERIFY(tasks.index(1, 0).data(Qt::DecorationRole).isValid());
    QVERIFY(tasks.index(2, 0).data(Qt::ToolTipRole).isNull());
    QCOMPARE(tasks.index(0, 0).data().toString(), QStringLiteral("My Project: R")); // the text stays

    // The line counts the rows that are left; emptying the list says that the text still holds them.
    window->listView1()->selectionModel()->select(tasks.index(0, 0), QItemSelectionModel::ClearAndSelect);
    window->cmdRemoveSelected_Click();
    QCOMPARE(line->text(), QStringLiteral("1 line may not say what you meant — hover the mark."));
    window->cmdRemove_Click();
    QVERIFY2(line->text().startsWith(QStringLiteral("The list is empty until the next rebuild")),
        qPrintable(line->text()));
    window->cmdToList_Click();
    QCOMPARE(tasks.rowCount(), 2);
}

void tst_Form1Tools::daysOffReachTheSchedule()
{
    const auto window = windowWith(QStringLiteral("Plan + 2"));
    QCOMPARE(window->taskModel()->rows().front().endDate, QDate(2024, 6, 6));
    // Thursday becomes a day off: the task steps over it, and the file keeps it for the next start.
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        dialog->findChild<QDateEdit *>(QStringLiteral("dtpDayOff"))->setDate(QDate(2024, 6, 6));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdAdd"))->click();
        dialog->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
    });
    window->daysOffWindow();
    QCOMPARE(window->taskModel()->rows().front().endDate, QDate(2024, 6, 7));
    QVERIFY(m_world->folder.read(QStringLiteral("holidays.txt")).contains("2024-06-06"));
    QCOMPARE(openForm1()->project().settings().daysOff, std::vector<QDate> { QDate(2024, 6, 6) });
}

void tst_Form1Tools::outOfDateQuestion_data()
{
    QTest::addColumn<MessageBox::Answer>("answer");
    QTest::addColumn<QStringList>("subjects"); // empty: nothing written

    QTest::newRow("Yes rebuilds and exports what is typed")
        << MessageBox::Yes << QStringList { "My Project: Plan ", "My Project: Ship " };
    QTest::newRow("No exports the list as it is") << MessageBox::No << QStringList { "My Project: Plan " };
    QTest::newRow("Cancel stops") << MessageBox::Cancel << QStringList();
}

void tst_Form1Tools::outOfDateQuestion()
{
    QFETCH(MessageBox::Answer, answer);
    QFETCH(QStringList, subjects);
    const auto window = windowWith(QStringLiteral("Plan + 2"));
    // A task typed without Enter: the list does not show it yet.
    child<QPlainTextEdit>(*window, "txtTodo")->setPlainText(QStringLiteral("Plan + 2\nShip + 1"));
    MessageBox::setNextAnswer(answer);
    press(*window, "Command2");

    QCOMPARE(shownTexts().value(0), kOutOfDate);
    QCOMPARE(MessageBox::shown().constFirst().buttons, MessageBox::YesNoCancel);
    QStringList written;
    for (const QByteArray &line : csv().split('\n').mid(1)) {
        if (!line.isEmpty())
            written << QString::fromUtf8(line.left(line.indexOf(',')));
    }
    QCOMPARE(written, subjects);

    // With nothing changed, the export asks nothing more than before.
    MessageBox::clearShown();
    window->cmdToList_Click();
    press(*window, "Command2");
    QVERIFY(!shownTexts().contains(kOutOfDate));
}

void tst_Form1Tools::overwriteQuestion_data()
{
    QTest::addColumn<MessageBox::Answer>("answer");
    QTest::newRow("Yes replaces the file") << MessageBox::Yes;
    QTest::newRow("No leaves the first file") << MessageBox::No;
}

void tst_Form1Tools::overwriteQuestion()
{
    QFETCH(MessageBox::Answer, answer);

    const auto window = windowWith(QStringLiteral("Plan + 2"));
    press(*window, "Command2");
    const QByteArray first = csv();
    QVERIFY(first.startsWith(kHeader));
    child<QPlainTextEdit>(*window, "txtTodo")->setPlainText(QStringLiteral("Ship + 1"));
    window->cmdToList_Click();
    MessageBox::clearShown();
    FolderOpener::setTesting(true);

    MessageBox::setNextAnswer(answer);
    press(*window, "Command2");

    const MessageBox::Shown &question = MessageBox::shown().constFirst();
    QCOMPARE(question.text, QStringLiteral("Overwrite the previous .csv file (maybe from another project)?"));
    QCOMPARE(question.title, QStringLiteral("Confirm"));
    QCOMPARE(question.icon, MessageBox::Question);
    QCOMPARE(question.buttons, MessageBox::YesNo);
    if (answer == MessageBox::No) {
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(csv(), first);
        QVERIFY(FolderOpener::opened().isEmpty());
    } else {
        QCOMPARE(shownTexts().constLast(), kDone);
        QVERIFY(csv().contains("My Project: Ship ,"));
        QVERIFY(!csv().contains("Plan"));
        QCOMPARE(FolderOpener::opened().size(), 1);
    }
}

void tst_Form1Tools::quotedFields()
{
    const auto window = windowWith(QStringLiteral("Design, \"big\" + 1"));
    child<QLineEdit>(*window, "txtProjectName")->setText(QStringLiteral("Acme, Inc"));
    window->cmdToList_Click();
    press(*window, "Command2");

    QCOMPARE(csv(),
        kHeader
            + "\"Acme, Inc: Design, \"\"big\"\" \",06/05/2024,09:00 AM,06/05/2024,05:00 PM,False,"
              "\"Design, \"\"big\"\" \",Home,True\r\n");
}

void tst_Form1Tools::blockedOutputFolder()
{
    // A plain file where the folder should be blocks the export even for a user that ignores permissions.
    m_world->folder.write(QStringLiteral("output"), "not a folder");
    const auto window = windowWith(QStringLiteral("Plan + 2"));
    press(*window, "Command2");

    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown &shown = MessageBox::shown().constFirst();
    QVERIFY2(shown.text.contains(QStringLiteral("My Project.csv")), qPrintable(shown.text));
    QCOMPARE(shown.title, QStringLiteral("Error"));
    QCOMPARE(shown.icon, MessageBox::Critical);
    QVERIFY(FolderOpener::opened().isEmpty());
    QCOMPARE(m_world->folder.read(QStringLiteral("output")), QByteArray("not a folder"));
}

void tst_Form1Tools::folderOpensBeforeDone_data()
{
    QTest::addColumn<bool>("opens");
    QTest::newRow("folder opens") << true;
    QTest::newRow("folder cannot open: the message says where the file is") << false;
}

void tst_Form1Tools::folderOpensBeforeDone()
{
    QFETCH(bool, opens);

    FolderOpener::setTesting(true, opens);
    const auto window = windowWith(QStringLiteral("Plan + 2"));
    press(*window, "Command2");

    QCOMPARE(FolderOpener::opened(), QStringList { m_world->folder.filePath(QStringLiteral("output")) });
    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown &shown = MessageBox::shown().constFirst();
    QCOMPARE(shown.title, QStringLiteral("Done!"));
    QCOMPARE(shown.icon, MessageBox::Information);
    // The wording depends on whether the folder opened, so it is chosen after the attempt.
    QCOMPARE(shown.text == kDone + kNights, opens);
    QCOMPARE(shown.text.contains(QDir::toNativeSeparators(csvPath())), !opens);
}

void tst_Form1Tools::postpone_data()
{
    QTest::addColumn<bool>("workingWeek");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QStringList>("starts");
    QTest::addColumn<QString>("refusal");

    const QStringList calendarDays { "6/5/2024", "6/6/2024", "6/7/2024", "6/8/2024", "6/9/2024" };

    QTest::newRow("row 3, 15 calendar days")
        << false << "15" << QStringList { "6/5/2024", "6/6/2024", "6/22/2024", "6/23/2024", "6/24/2024" }
        << "";
    QTest::newRow("row 3, 15 working days skip week-ends")
        << true << "15" << QStringList { "6/5/2024", "6/6/2024", "6/28/2024", "7/1/2024", "7/2/2024" } << "";
    QTest::newRow("days not a number: refused, nothing moves") << false << "soon" << calendarDays << "Ooops!";
}

void tst_Form1Tools::postpone()
{
    QFETCH(bool, workingWeek);
    QFETCH(QString, days);
    QFETCH(QStringList, starts);
    QFETCH(QString, refusal);

    const auto window = windowWith(QStringLiteral("A\nB\nC\nD\nE"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    if (!workingWeek)
        QTest::keyClick(child<QCheckBox>(*window, "chkExcludeWeekends"), Qt::Key_Space);
    QCOMPARE(window->taskModel()->rowCount(), 5);
    clickRow(*window, 2);
    QCOMPARE(child<QLineEdit>(*window, "txtTaskID")->text(), QStringLiteral("3"));
    QCOMPARE(child<QLineEdit>(*window, "txtTask")->text(), QStringLiteral("My Project: C"));
    QCOMPARE(child<QLineEdit>(*window, "txtStartDate")->text(),
        window->taskModel()->cellText(2, TaskListModel::StartDateColumn));
    child<QLineEdit>(*window, "txtDaysToPostPone")->setText(days);

    press(*window, "cmdPostpone");

    QCOMPARE(dates(*window, TaskListModel::StartDateColumn), starts);
    QCOMPARE(dates(*window, TaskListModel::EndDateColumn), starts); // one-day tasks end where they start
    QCOMPARE(MessageBox::shown().size(), refusal.isEmpty() ? 0 : 1);
    if (!refusal.isEmpty()) {
        QCOMPARE(MessageBox::shown().constFirst().title, refusal);
        QCOMPARE(MessageBox::shown().constFirst().icon, MessageBox::Exclamation);
    }
}

void tst_Form1Tools::removeSelectedKeepsExportInStep()
{
    // Plan spans a week-end and makes two events; Call is shorter than a day and makes none.
    const auto window = windowWith(QStringLiteral("Plan + 4\nCall + 0.5\nShip + 1"));
    QCOMPARE(window->eventModel()->rowCount(), 3);
    press(*window, "Command2");
    const QList<QByteArray> full = csv().split('\n');
    const QByteArray shipLine = full.at(3) + '\n';
    QVERIFY(shipLine.startsWith("My Project: Ship ,"));

    press(*window, "cmdRemoveSelected"); // nothing selected
    QCOMPARE(window->taskModel()->rowCount(), 3);

    QItemSelectionModel *selection = window->listView1()->selectionModel();
    for (const QString &kept : { QStringLiteral("My Project: Call "), QStringLiteral("My Project: Ship ") }) {
        selection->select(window->taskModel()->index(0, 0), QItemSelectionModel::ClearAndSelect);
        press(*window, "cmdRemoveSelected");
        QCOMPARE(window->taskModel()->cellText(0, 0), kept);
    }
    QCOMPARE(window->eventModel()->rowCount(), 1);

    // The removed lines left the text, so Ship moved up to where Plan began.
    press(*window, "Command2");
    QCOMPARE(csv(), kHeader + QByteArray(shipLine).replace("06/12/2024", "06/05/2024"));
}

void tst_Form1Tools::listActionsAreUndoableEdits_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("text");

    QTest::newRow("remove") << "cmdRemoveSelected" << "A\nC";
    QTest::newRow("postpone") << "cmdPostpone" << "A\nB [wait 3]\nC";
    QTest::newRow("mark done") << "actionMarkDone" << "A\nB [done]\nC";
}

// A list action is written into the task text as one step of the box's history, and the work is unsaved.
void tst_Form1Tools::listActionsAreUndoableEdits()
{
    QFETCH(QString, action);
    QFETCH(QString, text);

    const auto window = windowWith(QStringLiteral("A\nB\nC"));
    window->document().markSaved();
    auto *box = child<QPlainTextEdit>(*window, "txtTodo");
    window->listView1()->selectionModel()->select(
        window->taskModel()->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    child<QLineEdit>(*window, "txtDaysToPostPone")->setText(QStringLiteral("3"));
    if (action.startsWith(QLatin1String("action")))
        child<QAction>(*window, qPrintable(action))->trigger();
    else
        press(*window, qPrintable(action));
    QCOMPARE(box->toPlainText(), text);
    QVERIFY(window->isModified());
    QCOMPARE(window->project().taskText(), text);
    QVERIFY(!window->project().changedSinceBuild());

    child<QAction>(*window, "actionUndo")->trigger();
    QCOMPARE(box->toPlainText(), QStringLiteral("A\nB\nC"));
    QCOMPARE(window->taskModel()->rowCount(), 3);
    QVERIFY(!window->isModified());
    child<QAction>(*window, "actionRedo")->trigger();
    QCOMPARE(box->toPlainText(), text);
    QVERIFY(MessageBox::shown().isEmpty());
}

void tst_Form1Tools::csvLayoutChoice()
{
    // The choice is remembered in a data folder of this test's own, which no other test empties meanwhile.
    QTemporaryDir data;
    Paths::setDataFolder(data.path());
    const auto restore = qScopeGuard([] { Paths::setDataFolder(QString()); });
    const auto window = windowWith(QStringLiteral("Plan + 3"));
    auto *perDay = child<QAction>(*window, "actionCsvPerDay");
    QVERIFY(perDay->isCheckable());
    QVERIFY(!perDay->isChecked());
    press(*window, "Command2");
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(shownTexts(), QStringList { kDone + kNights });
    QCOMPARE(csv().count('\n'), 2);

    perDay->trigger();
    MessageBox::clearShown();
    // The choice is remembered: a window opened later exports one event per day too.
    const auto later = windowWith(QStringLiteral("Plan + 3"));
    QVERIFY(child<QAction>(*later, "actionCsvPerDay")->isChecked());
    press(*later, "Command2");
    QCOMPARE(csv().count('\n'), 4);
    QCOMPARE(shownTexts().last(), kDone);
}

void tst_Form1Tools::waitForParallelTasks()
{
    const auto window = windowWith(QStringLiteral("Requirements + 5\n// Interviews + 2\nArchitecture + 4"));
    QCOMPARE(window->taskModel()->cellText(2, TaskListModel::StartDateColumn), QStringLiteral("6/7/2024"));
    QVERIFY(window->taskModel()->rows().at(2).overlap.has_value());
    auto *wait = child<QAction>(*window, "actionWaitParallel");
    QVERIFY(wait->isCheckable());
    wait->trigger();
    QVERIFY(window->project().waitsForParallel());
    QCOMPARE(window->taskModel()->cellText(2, TaskListModel::StartDateColumn), QStringLiteral("6/12/2024"));
    QVERIFY(window->isModified());
}

void tst_Form1Tools::convertedTextBuildsTheSameSchedule()
{
    const auto window
        = windowWith(QStringLiteral("Design + 3\n// Review + 2\nCall + 0.5\nBuild, test + 1.5"));
    const std::vector<TaskRow> built = window->taskModel()->rows();
    const int events = window->eventModel()->rowCount();
    auto *box = child<QPlainTextEdit>(*window, "txtTodo");
    QSignalSpy resets(window->taskModel(), &QAbstractItemModel::modelReset);

    press(*window, "cmdConvertToList");
    QCOMPARE(
        box->toPlainText(), QStringLiteral("Design  +3\n// Review  +2\nCall  +0.5\nBuild, test  +1.5\n"));
    QCOMPARE(resets.count(), 0);

    press(*window, "cmdRemove");
    QCOMPARE(window->taskModel()->rowCount(), 0);
    QCOMPARE(box->blockCount(), 5);
    QTest::keyClick(box, Qt::Key_Down);

    const std::vector<TaskRow> &again = window->taskModel()->rows();
    QCOMPARE(again.size(), built.size());
    for (size_t i = 0; i < built.size(); ++i) {
        // Each round trip adds the blank before " +" to the name; the schedule itself is unchanged.
        QCOMPARE(again[i].name.trimmed(), built[i].name.trimmed());
        QCOMPARE(again[i].startDate, built[i].startDate);
        QCOMPARE(again[i].endDate, built[i].endDate);
        QCOMPARE(again[i].dayCount, built[i].dayCount);
    }
    QCOMPARE(window->eventModel()->rowCount(), events);
}

void tst_Form1Tools::print_data()
{
    QTest::addColumn<QString>("tasks");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("rowLines");

    QTest::newRow("empty list") << "" << false << QStringList();
    QTest::newRow("several rows") << "Plan + 2\nShip" << false
                                  << QStringList { "My Project: Plan  6/5/2024 6/6/2024 2",
                                         "My Project: Ship 6/7/2024 6/7/2024 1" };
    QTest::newRow("printer fails") << "Plan + 2" << true
                                   << QStringList { "My Project: Plan  6/5/2024 6/6/2024 2" };
}

void tst_Form1Tools::print()
{
    QFETCH(QString, tasks);
    QFETCH(bool, fails);
    QFETCH(QStringList, rowLines);

    m_printer.fails = fails;
    const auto window = windowWith(tasks);
    press(*window, "cmdPrint");

    QCOMPARE(m_printer.printed.size(), 1);
    QCOMPARE(m_printer.printed.constFirst(),
        QStringList({ "", "", "", "ListView Print Sample Heading", "" }) + rowLines);
    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown &shown = MessageBox::shown().constFirst();
    QCOMPARE(shown.text,
        fails ? QStringLiteral("The printer is off line.") : QStringLiteral("Print Job Finished"));
    QCOMPARE(shown.icon, fails ? MessageBox::Critical : MessageBox::NoIcon);
    if (!fails)
        QCOMPARE(shown.title, QStringLiteral("Ambrel"));
}

void tst_Form1Tools::colorRow_data()
{
    QTest::addColumn<int>("rowNbr");
    QTest::addColumn<bool>("painted");
    QTest::newRow("last row") << 2 << true;
    QTest::newRow("beyond the last row") << 3 << false;
}

void tst_Form1Tools::colorRow()
{
    QFETCH(int, rowNbr);
    QFETCH(bool, painted);

    const auto window = windowWith(QStringLiteral("Plan\nShip"));
    window->ColorListviewRow(window->listView1(), rowNbr, 0x000000FF);

    QCOMPARE(window->taskModel()->rowColor(1).has_value(), painted && rowNbr == 2);
    QCOMPARE(window->taskModel()->rowColor(0).has_value(), false);
    QCOMPARE(MessageBox::shown().size(), painted ? 0 : 1);
    if (!painted) {
        QCOMPARE(MessageBox::shown().constFirst().buttons, MessageBox::OkOnly);
        QCOMPARE(MessageBox::shown().constFirst().title, QStringLiteral("Ambrel"));
    }
}

void tst_Form1Tools::exportFileNames_data()
{
    QTest::addColumn<QString>("projectName");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("as typed") << "Website relaunch"
                              << "Website relaunch.ics";
    QTest::newRow("folder separators and reserved marks") << "R/D: \"big\" *plan*?"
                                                          << "R-D- -big- -plan--.ics";
    QTest::newRow("control characters") << "Tab\there"
                                        << "Tab-here.ics";
    QTest::newRow("no hidden file, no parent folder") << "../up"
                                                      << "-up.ics";
    QTest::newRow("blank") << "   "
                           << "project.ics";
}

// The offered name never leads out of the chosen folder nor to a name the file system refuses.
void tst_Form1Tools::exportFileNames()
{
    QFETCH(QString, projectName);
    QFETCH(QString, fileName);
    QCOMPARE(ExportDestination::fileName(projectName, QStringLiteral("ics")), fileName);
}

QTEST_MAIN(tst_Form1Tools)
#include "tst_form1tools.moc"
