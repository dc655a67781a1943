#include "WindowTestSupport.h"

#include "app/EventListModel.h"
#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "app/WindowLook.h"
#include "app/frmTips.h"
#include "corekit/Clock.h"
#include "project/Project.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <optional>

using namespace ambrel;

namespace {

const QDate kWednesday(2024, 6, 5); // a working day of the shipped Monday-to-Friday week

template <typename T> T *child(const Form1 &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

void setTasks(const Form1 &window, const QString &text)
{
    child<QPlainTextEdit>(window, "txtTodo")->setPlainText(text);
}

QDate firstStart(const Form1 &window)
{
    const auto &rows = window.taskModel()->rows();
    return rows.empty() ? QDate() : rows.front().startDate;
}

} // namespace

class tst_Form1 final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUp();
    void missingSettingsFile_data();
    void missingSettingsFile();
    void taskBoxKeys_data();
    void taskBoxKeys();
    void typingTasks();
    void buildTriggers_data();
    void buildTriggers();
    void calendarDateChange_data();
    void calendarDateChange();
    void calendarCheckTimer_data();
    void calendarCheckTimer();
    void resizeFollowsWidth_data();
    void resizeFollowsWidth();
    void tipsWindowOpensAfresh();

private:
    std::optional<WindowTest> m_world;
};

void tst_Form1::initTestCase()
{
    WindowTest::initTestCase();
}

void tst_Form1::init()
{
    m_world.emplace(kWednesday);
}

void tst_Form1::cleanup()
{
    m_world.reset();
}

void tst_Form1::startUp()
{
    const auto window = openForm1();

    QCOMPARE(window->windowTitle(), QStringLiteral("Ambrel Pro v1.4"));
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(window->taskModel()->rowCount(), 0);
    QCOMPARE(window->eventModel()->rowCount(), 0);
    QCOMPARE(window->project().settings().hours.starts, QStringLiteral("09:00 AM"));
    QCOMPARE(window->project().settings().hours.endsAt, QStringLiteral("05:00 PM"));
    QCOMPARE(window->workingWeek(), (WorkingWeekFlags { 0, 1, 1, 1, 1, 1, 0, 0 }));

    QCOMPARE(child<QLineEdit>(*window, "txtProjectName")->text(), QStringLiteral("My Project"));
    QVERIFY(child<QPlainTextEdit>(*window, "txtTodo")->toPlainText().isEmpty());
    QVERIFY(child<QRadioButton>(*window, "optDate_0")->isChecked());
    QVERIFY(!child<QRadioButton>(*window, "optDate_1")->isChecked());
    QVERIFY(child<QCheckBox>(*window, "chkExcludeWeekends")->isChecked());
    QCOMPARE(child<QCalendarWidget>(*window, "Calendar2")->selectedDate(), QDate(2020, 1, 13));

    for (const char *hidden : { "Frame1", "Frame4", "frInvisible", "picGrid", "ListView2" })
        QVERIFY2(child<QWidget>(*window, hidden)->isHidden(), hidden);
    for (const char *shown : { "Picture1", "picSidebar", "Frame2", "ListView1", "Command2" })
        QVERIFY2(!child<QWidget>(*window, shown)->isHidden(), shown);

    const QTreeView *list = window->listView1();
    QCOMPARE(list->header()->count(), 4);
    QCOMPARE(list->columnWidth(0), twipsToPixelsX(window.get(), 4000));
    QCOMPARE(list->columnWidth(3), twipsToPixelsX(window.get(), 2000));
    QCOMPARE(window->listView2()->header()->count(), 9);

    const auto *check = child<QWidget>(*window, "chkExcludeWeekends");
    QCOMPARE(
        child<QWidget>(*window, "lblSetWorkingDays")->y(), check->y() + twipsToPixelsY(window.get(), 50));

    const ScheduleState &state = window->project().state();
    QCOMPARE(state.TaskStart, kWednesday);
    QCOMPARE(state.PickedStartDate, kWednesday);
    QCOMPARE(state.NextTaskStart, kWednesday);
}

void tst_Form1::missingSettingsFile_data()
{
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("starts");
    QTest::addColumn<QString>("endsAt");
    QTest::addColumn<bool>("weekLoaded");

    const QString week = QStringLiteral("workingweek.txt");
    const QString starts = QStringLiteral("workingday_starts_at.txt");
    const QString ends = QStringLiteral("workingday_ends_at.txt");
    const auto message = [](const QString &file) {
        return QStringLiteral("Error: %1 file not found. Please reinstall the software.").arg(file);
    };

    QTest::newRow("working week") << QStringList { week } << QStringList { message(week) } << "09:00 AM"
                                  << "05:00 PM" << false;
    QTest::newRow("begin hour stops the hours")
        << QStringList { starts } << QStringList { message(starts) } << ""
        << "" << true;
    QTest::newRow("end hour keeps the begin hour")
        << QStringList { ends } << QStringList { message(ends) } << "09:00 AM"
        << "" << true;
    QTest::newRow("all three, start-up goes on")
        << QStringList { week, starts, ends } << QStringList { message(starts), message(week) } << ""
        << "" << false;
}

void tst_Form1::missingSettingsFile()
{
    QFETCH(QStringList, missing);
    QFETCH(QStringList, messages);
    QFETCH(QString, starts);
    QFETCH(QString, endsAt);
    QFETCH(bool, weekLoaded);

    for (const QString &file : missing)
        QVERIFY(m_world->folder.remove(file));
    const auto window = openForm1();

    QCOMPARE(shownTexts(), messages);
    for (const MessageBox::Shown &shown : MessageBox::shown()) {
        QCOMPARE(shown.title, QStringLiteral("Error"));
        QCOMPARE(shown.icon, MessageBox::Exclamation);
        QCOMPARE(shown.buttons, MessageBox::OkOnly);
    }
    QCOMPARE(window->project().settings().hours.starts, starts);
    QCOMPARE(window->project().settings().hours.endsAt, endsAt);
    QCOMPARE(window->workingWeek()[1] == 1, weekLoaded);
    QCOMPARE(window->windowTitle(), QStringLiteral("Ambrel Pro v1.4"));
    QCOMPARE(window->taskModel()->rowCount(), 0);
}

void tst_Form1::taskBoxKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<bool>("pressedInBox"); // false: only the release reaches the box
    QTest::addColumn<bool>("builds");

    QTest::newRow("Enter") << int(Qt::Key_Return) << false << true << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false << true << true;
    QTest::newRow("Up arrow") << int(Qt::Key_Up) << false << true << true;
    QTest::newRow("Down arrow") << int(Qt::Key_Down) << false << true << true;
    QTest::newRow("letter") << int(Qt::Key_A) << false << true << false;
    QTest::newRow("Left arrow") << int(Qt::Key_Left) << false << true << false;
    QTest::newRow("Space") << int(Qt::Key_Space) << false << true << false;
    QTest::newRow("held-down Down arrow repeating") << int(Qt::Key_Down) << true << true << false;
    QTest::newRow("Enter pressed in a message box") << int(Qt::Key_Return) << false << false << false;
    QTest::newRow("Down pressed elsewhere") << int(Qt::Key_Down) << false << false << false;
}

void tst_Form1::taskBoxKeys()
{
    QFETCH(int, key);
    QFETCH(bool, autoRepeat);
    QFETCH(bool, pressedInBox);
    QFETCH(bool, builds);

    const auto window = openForm1();
    setTasks(*window, QStringLiteral("Design + 3\nBuild"));
    QSignalSpy resets(window->taskModel(), &QAbstractItemModel::modelReset);

    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    if (pressedInBox)
        QApplication::sendEvent(child<QPlainTextEdit>(*window, "txtTodo"), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(child<QPlainTextEdit>(*window, "txtTodo"), &release);

    QCOMPARE(resets.count(), builds ? 1 : 0);
    QCOMPARE(window->taskModel()->rowCount(), builds ? 2 : 0);
    QCOMPARE(window->eventModel()->rowCount(), builds ? 2 : 0);
}

void tst_Form1::typingTasks()
{
    const auto window = openForm1();
    window->show();
    auto *box = child<QPlainTextEdit>(*window, "txtTodo");

    QTest::mouseClick(box->viewport(), Qt::LeftButton);
    QTest::keyClicks(box, QStringLiteral("Design + 3"));
    QCOMPARE(window->taskModel()->rowCount(), 0);

    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(window->taskModel()->rowCount(), 1);

    QTest::keyClicks(box, QStringLiteral("Build + 5"));
    QCOMPARE(window->taskModel()->rowCount(), 1);
    QTest::keyClick(box, Qt::Key_Up);

    const auto &rows = window->taskModel()->rows();
    QCOMPARE(rows.size(), size_t(2));
    QCOMPARE(rows[0].name, QStringLiteral("Design "));
    QCOMPARE(rows[0].endDate, QDate(2024, 6, 7));
    QCOMPARE(rows[1].startDate, QDate(2024, 6, 10)); // the week-end is skipped
    QCOMPARE(rows[1].endDate, QDate(2024, 6, 14));
    QCOMPARE(window->eventModel()->eventRow(0).startTime, QStringLiteral("09:00 AM"));
}

void tst_Form1::buildTriggers_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QDate>("end");

    // "A + 5" from Wednesday: over the working week it ends on Tuesday, over plain days on Sunday.
    QTest::newRow("right-away option") << "optDate_0" << QDate(2024, 6, 11);
    QTest::newRow("picked-date option") << "optDate_1" << QDate(2024, 6, 11);
    QTest::newRow("working-week box unticked") << "chkExcludeWeekends" << QDate(2024, 6, 9);
}

void tst_Form1::buildTriggers()
{
    QFETCH(QString, control);
    QFETCH(QDate, end);

    const auto window = openForm1();
    setTasks(*window, QStringLiteral("A + 5"));
    QSignalSpy resets(window->taskModel(), &QAbstractItemModel::modelReset);

    auto *button = window->findChild<QAbstractButton *>(control);
    QVERIFY(button);
    if (qobject_cast<QCheckBox *>(button))
        QTest::keyClick(button, Qt::Key_Space);
    else
        button->click();

    QCOMPARE(resets.count(), 1);
    QCOMPARE(window->taskModel()->rows().at(0).startDate, kWednesday);
    QCOMPARE(window->taskModel()->rows().at(0).endDate, end);
}

void tst_Form1::calendarDateChange_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<int>("builds");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QDate>("start");

    QTest::newRow("switching the option builds twice")
        << 0 << QDate(2024, 6, 10) << 2 << false << QDate(2024, 6, 10);
    QTest::newRow("option already picked builds once")
        << 1 << QDate(2024, 6, 10) << 1 << false << QDate(2024, 6, 10);
    QTest::newRow("Saturday starts on Monday") << 1 << QDate(2024, 6, 8) << 1 << false << QDate(2024, 6, 10);
    QTest::newRow("today") << 0 << kWednesday << 2 << false << kWednesday;
    QTest::newRow("past date keeps the switch build") << 0 << QDate(2024, 6, 1) << 1 << true << kWednesday;
    QTest::newRow("past date keeps the last build") << 1 << QDate(2024, 6, 1) << 0 << true << kWednesday;
}

void tst_Form1::calendarDateChange()
{
    QFETCH(int, option);
    QFETCH(QDate, picked);
    QFETCH(int, builds);
    QFETCH(bool, refused);
    QFETCH(QDate, start);

    const auto window = openForm1();
    setTasks(*window, QStringLiteral("A + 2"));
    if (option == 1)
        child<QRadioButton>(*window, "optDate_1")->click();
    QSignalSpy resets(window->taskModel(), &QAbstractItemModel::modelReset);

    child<QCalendarWidget>(*window, "Calendar2")->setSelectedDate(picked);

    QVERIFY(child<QRadioButton>(*window, "optDate_1")->isChecked());
    QCOMPARE(resets.count(), builds);
    QCOMPARE(shownTexts().contains(
                 QStringLiteral("Your project is set to start on a past date. Please fix this.")),
        refused);
    QCOMPARE(firstStart(*window), start);
    QCOMPARE(window->project().state().PickedStartDate, picked);
}

void tst_Form1::calendarCheckTimer_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("moves");

    QTest::newRow("shown date in the past moves to today") << kWednesday << true;
    QTest::newRow("shown date ahead is left alone") << QDate(2019, 12, 2) << false;
}

void tst_Form1::calendarCheckTimer()
{
    QFETCH(QDate, today);
    QFETCH(bool, moves);

    Clock::setToday(today);
    const auto window = openForm1(true);
    setTasks(*window, QStringLiteral("A"));
    auto *timer = child<QTimer>(*window, "tmrDate");
    auto *calendar = child<QCalendarWidget>(*window, "Calendar2");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 300);

    QTRY_VERIFY(!timer->isActive());
    QCOMPARE(calendar->selectedDate(), moves ? today : QDate(2020, 1, 13));
    QCOMPARE(child<QRadioButton>(*window, "optDate_1")->isChecked(), moves);
    QCOMPARE(firstStart(*window), moves ? today : QDate());
    QVERIFY(MessageBox::shown().isEmpty());
}

void tst_Form1::resizeFollowsWidth_data()
{
    QTest::addColumn<double>("width"); // twips beyond the first display's width; NaN sets an absolute width
    QTest::addColumn<double>("height");

    QTest::newRow("wider by 1000 twips") << 1000.0 << 0.0;
    QTest::newRow("narrower by 2000 twips") << -2000.0 << 0.0;
    QTest::newRow("taller only") << 0.0 << 1500.0;
    QTest::newRow("wider and taller") << 3000.0 << 2500.0;
}

void tst_Form1::resizeFollowsWidth()
{
    QFETCH(double, width);
    QFETCH(double, height);

    const auto window = openForm1();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *button = child<QWidget>(*window, "Command2");
    auto *banner = child<QWidget>(*window, "Label13");
    auto *list = window->listView1();
    const int margin = twipsToPixelsX(window.get(), 700);

    // The first display already brings the right-hand controls inside the window.
    const int W = window->frameGeometry().width();
    QVERIFY(qAbs(button->geometry().right() + 1 - (W - margin)) <= 1);
    QVERIFY(qAbs(banner->geometry().right() + 1 - (W - margin)) <= 1);
    QVERIFY(qAbs(list->geometry().right() + 1 - (W - margin)) <= 1);
    const QRect buttonBefore = button->geometry();
    const QRect bannerBefore = banner->geometry();
    const QRect listBefore = list->geometry();

    const QSize size(window->width() + twipsToPixelsX(window.get(), width),
        window->height() + twipsToPixelsY(window.get(), height));
    auto *tasks = child<QWidget>(*window, "txtTodo");
    auto *build = child<QWidget>(*window, "cmdToList");
    const QRect tasksBefore = tasks->geometry();
    const QRect buildBefore = build->geometry();
    const int heightBefore = window->height();
    window->resize(size);
    QTRY_COMPARE(window->size(), size);

    const int dx = window->frameGeometry().width() - W;
    const int dy = window->height() - heightBefore;
    QVERIFY(qAbs(button->x() - (buttonBefore.x() + dx)) <= 1);
    QVERIFY(qAbs(banner->x() - (bannerBefore.x() + dx)) <= 1);
    QCOMPARE(button->size(), buttonBefore.size());
    QCOMPARE(banner->size(), bannerBefore.size());
    QCOMPARE(list->x(), listBefore.x());
    // The extra height goes to the task list and the task box; the build button stays below the box.
    QCOMPARE(list->height(), listBefore.height() + dy);
    QCOMPARE(tasks->height(), tasksBefore.height() + dy);
    QCOMPARE(build->y(), buildBefore.y() + dy);
    QCOMPARE(tasks->width(), tasksBefore.width());
    QVERIFY(qAbs(list->width() - (listBefore.width() + dx)) <= 1);
    // The slogan never slides off its banner, however wide the window grows.
    QVERIFY(child<QWidget>(*window, "Picture1")->width() >= banner->geometry().right());
}

void tst_Form1::tipsWindowOpensAfresh()
{
    const auto window = openForm1();
    window->show();
    auto *link = child<QLabel>(*window, "Label15");
    QCOMPARE(link->text(), QStringLiteral("Tips"));

    for (int opening = 0; opening < 2; ++opening) {
        QString title;
        QString example;
        bool proShown = false;
        bool mainBlocked = false;
        QTimer::singleShot(0, this, [&] {
            auto *tips = qobject_cast<frmTips *>(QApplication::activeModalWidget());
            if (!tips) {
                if (QWidget *other = QApplication::activeModalWidget())
                    other->close(); // never leave the test waiting on a window it did not expect
                return;
            }
            title = tips->windowTitle();
            example = tips->findChild<QLabel *>(QStringLiteral("Label7"))->text();
            proShown = tips->findChild<QLabel *>(QStringLiteral("lblPro"))->isVisible();
            mainBlocked = tips->isModal();
            tips->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        });
        QTest::mouseClick(link, Qt::LeftButton);

        QCOMPARE(title, QStringLiteral("Tips"));
        QCOMPARE(example, QStringLiteral(" Do This + 7 Days"));
        QVERIFY(proShown);
        QVERIFY(mainBlocked);
        QVERIFY(!window->findChild<frmTips *>());
    }
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
