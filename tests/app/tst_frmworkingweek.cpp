#include "WindowTestSupport.h"

#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "app/frmWorkingWeek.h"
#include "corekit/Clock.h"
#include "project/Project.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using namespace ambrel;

namespace {

const QDate kWednesday(2024, 6, 5);
const QString kEndsAtRefusal = QStringLiteral("Your 'Ends At' Hour should be higher.");
const QString kNoDayRefusal = QStringLiteral("Please select 1 or more working days (for a better software "
                                             "performance we recommend to select 4 at least).");
const int k0900AM = 18; // positions in the shipped hours.txt
const int k0500PM = 34;

QString question(int days)
{
    return QStringLiteral(
        "Your working week has %1 working days. For a better software performance is recommended "
        "to increase this value to 4 (min.). Save your changes anyway?")
        .arg(days);
}

std::unique_ptr<Form1> openMainWindow()
{
    auto window = openForm1();
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(QStringLiteral("A + 3"));
    return window;
}

QCheckBox *dayBox(const QDialog &dialog, int day)
{
    return dialog.findChild<QCheckBox *>(QStringLiteral("chkWorkingDay_%1").arg(day));
}

QComboBox *hourBox(const QDialog &dialog, const char *name)
{
    return dialog.findChild<QComboBox *>(QString::fromLatin1(name));
}

void tickOnly(const QDialog &dialog, const QList<int> &days)
{
    for (int d = 1; d <= 7; ++d)
        dayBox(dialog, d)->setChecked(days.contains(d));
}

QStringList weekLines(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList shippedChoices()
{
    QStringList choices;
    loadHourChoices(QStringLiteral(AMBREL_SETTINGS_DIR), choices);
    return choices;
}

Settings officeWeek()
{
    Settings settings;
    settings.WorkingWeek = { 0, 1, 1, 1, 1, 1, 0, 0 };
    settings.hours = { QStringLiteral("09:00 AM"), QStringLiteral("05:00 PM") };
    return settings;
}

void onWorkingWeekWindows(QObject *context, QList<std::function<void(frmWorkingWeek &)>> steps)
{
    onModalWindows<frmWorkingWeek>(context, std::move(steps));
}

void openFromLink(Form1 &main)
{
    QTest::mouseClick(main.findChild<QLabel *>(QStringLiteral("lblSetWorkingDays")), Qt::LeftButton);
}

} // namespace

class tst_frmWorkingWeek final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadsTheSettings();
    void missingFileOnOpening_data();
    void missingFileOnOpening();
    void save_data();
    void save();
    void buildMessageComesBeforeDone();
    void cancelSavesNothing();
    void failedSaveKeepsEverything();
    void opensModallyFromSettingsLink();

private:
    std::optional<WindowTest> m_world;
};

void tst_frmWorkingWeek::initTestCase()
{
    WindowTest::initTestCase();
}

void tst_frmWorkingWeek::init()
{
    m_world.emplace(kWednesday);
}

void tst_frmWorkingWeek::cleanup()
{
    m_world.reset();
}

void tst_frmWorkingWeek::loadsTheSettings()
{
    const auto main = openMainWindow();
    m_world->folder.write(QStringLiteral("workingweek.txt"), "1\n0\n1\n0\n1\n0\n1\n");
    m_world->folder.write(QStringLiteral("workingday_starts_at.txt"), "09:00 AM\r\n");
    QList<bool> ticked;
    QList<int> hours;
    onWorkingWeekWindows(this, { [&](frmWorkingWeek &dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Working Week"));
        for (int d = 1; d <= 7; ++d)
            ticked << dayBox(dialog, d)->isChecked();
        hours << hourBox(dialog, "cboStartsAt")->count() << hourBox(dialog, "cboStartsAt")->currentIndex()
              << hourBox(dialog, "cboEndsAt")->currentIndex();
        dialog.Command2_Click();
    } });
    openFromLink(*main);

    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(ticked, (QList<bool> { true, false, true, false, true, false, true }));
    QCOMPARE(hours, (QList<int> { 48, k0900AM, k0500PM }));
    // Opening re-reads the week for the whole program.
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 0, 1, 0, 1, 0, 1 }));
}

void tst_frmWorkingWeek::missingFileOnOpening_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<int>("choices");

    // A missing file is told; the window then shows the settings in force for it.
    QTest::newRow("working week") << "workingweek.txt" << 48;
    QTest::newRow("begin hour") << "workingday_starts_at.txt" << 48;
    QTest::newRow("end hour") << "workingday_ends_at.txt" << 48;
    QTest::newRow("hour choices") << "hours.txt" << 0;
}

void tst_frmWorkingWeek::missingFileOnOpening()
{
    QFETCH(QString, missing);
    QFETCH(int, choices);

    const auto main = openMainWindow();
    QVERIFY(m_world->folder.remove(missing));
    bool monday = false;
    QStringList shown;
    onWorkingWeekWindows(this, { [&](frmWorkingWeek &dialog) {
        monday = dayBox(dialog, 1)->isChecked();
        for (const char *name : { "cboStartsAt", "cboEndsAt" }) {
            const QComboBox *box = hourBox(dialog, name);
            QCOMPARE(box->count(), choices);
            shown << box->currentText();
        }
        dialog.Command2_Click();
    } });
    openFromLink(*main);

    QCOMPARE(shownTexts(),
        QStringList {
            QStringLiteral("Error: %1 file not found. Please reinstall the software.").arg(missing) });
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Error"));
    QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Exclamation);
    QVERIFY(monday);
    QCOMPARE(shown, (QStringList { "09:00 AM", "05:00 PM" }));
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 1, 1, 1, 1, 0, 0 }));
}

void tst_frmWorkingWeek::save_data()
{
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<int>("starts");
    QTest::addColumn<QString>("endsAt"); // a choice's position as text, or a typed hour
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QStringList>("messages");

    const QList<int> weekdays { 1, 2, 3, 4, 5 };
    const QString five = QString::number(k0500PM);
    QTest::newRow("same hour twice") << weekdays << k0900AM << QString::number(k0900AM) << true
                                     << QStringList { kEndsAtRefusal };
    QTest::newRow("end earlier in the list")
        << weekdays << k0500PM << QString::number(k0900AM) << true << QStringList { kEndsAtRefusal };
    // A typed hour is compared as a time of day; one that is no time is refused by name.
    QTest::newRow("typed end hour, a later time") << weekdays << k0900AM << "typed:5 PM" << true
                                                  << QStringList {};
    QTest::newRow("typed end hour, an earlier time")
        << weekdays << k0900AM << "typed:8:30am" << true << QStringList { kEndsAtRefusal };
    QTest::newRow("typed end hour that is no time")
        << weekdays << k0900AM << "typed:half eight" << true
        << QStringList { "\"half eight\" is not a time of day. Please write an hour such as 09:00 AM, 9 AM or 17:30." };
    QTest::newRow("no working day") << QList<int>() << k0900AM << five << true
                                    << QStringList { kNoDayRefusal };
    QTest::newRow("three days, answer No")
        << QList<int> { 1, 2, 3 } << k0900AM << five << false << QStringList { question(3) };
    QTest::newRow("three days, answer Yes") << QList<int> { 1, 3, 5 } << k0900AM << five << true
                                            << QStringList { question(3) };
    QTest::newRow("one day asks too") << QList<int> { 7 } << 0 << five << true << QStringList { question(1) };
    QTest::newRow("five days, no question")
        << QList<int> { 2, 3, 4, 5, 6 } << k0900AM << five << true << QStringList {};
    QTest::newRow("typed end hour equal to a choice")
        << weekdays << k0900AM << "typed:06:00 PM" << true << QStringList {};
}

// The window alone: it checks the edit and returns it, and writes no file.
void tst_frmWorkingWeek::save()
{
    QFETCH(QList<int>, days);
    QFETCH(int, starts);
    QFETCH(QString, endsAt);
    QFETCH(bool, answerYes);
    QFETCH(QStringList, messages);

    const auto filesBefore = m_world->folder.snapshot();
    frmWorkingWeek dialog(officeWeek(), shippedChoices());
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);

    tickOnly(dialog, days);
    hourBox(dialog, "cboStartsAt")->setCurrentIndex(starts);
    QComboBox *ends = hourBox(dialog, "cboEndsAt");
    if (endsAt.startsWith(QLatin1String("typed:")))
        ends->setEditText(endsAt.mid(6));
    else
        ends->setCurrentIndex(endsAt.toInt());
    MessageBox::setNextAnswer(answerYes ? MessageBox::Yes : MessageBox::No);
    dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();

    QCOMPARE(shownTexts(), messages);
    const bool saved = messages.isEmpty() || (messages.last() == question(days.size()) && answerYes);
    for (const MessageBox::Shown &shown : MessageBox::shown()) {
        QCOMPARE(shown.icon, MessageBox::Information);
        if (shown.text == question(days.size())) {
            QCOMPARE(shown.title, QStringLiteral("Important "));
            QCOMPARE(shown.buttons, MessageBox::YesNo);
        } else {
            QCOMPARE(shown.title, QStringLiteral("Error"));
        }
    }
    QCOMPARE(accepted.count(), saved ? 1 : 0);
    QCOMPARE(dialog.isVisible(), !saved);
    QCOMPARE(m_world->folder.snapshot(), filesBefore);
    if (!saved) {
        QCOMPARE(dialog.settings().hours.starts, QStringLiteral("09:00 AM"));
        QCOMPARE(dialog.settings().WorkingWeek, officeWeek().WorkingWeek);
        return;
    }
    WorkingWeekFlags week {};
    for (int d = 1; d <= 7; ++d)
        week[size_t(d)] = days.contains(d) ? 1 : 0;
    QCOMPARE(dialog.settings().WorkingWeek, week);
    QCOMPARE(dialog.settings().hours.starts, hourBox(dialog, "cboStartsAt")->currentText());
    QCOMPARE(dialog.settings().hours.endsAt, ends->currentText());
}

void tst_frmWorkingWeek::buildMessageComesBeforeDone()
{
    const auto main = openMainWindow();
    main->findChild<QRadioButton *>(QStringLiteral("optDate_1"))->click();
    Clock::setToday(kWednesday.addDays(1)); // the picked date is now in the past
    MessageBox::clearShown();

    onWorkingWeekWindows(this, { [](frmWorkingWeek &dialog) {
        tickOnly(dialog, { 1, 2, 3, 4 });
        dialog.Command1_Click();
    } });
    openFromLink(*main);

    QCOMPARE(shownTexts(),
        (QStringList { QStringLiteral("Your project is set to start on a past date. Please fix this."),
            QStringLiteral("Done!") }));
    QCOMPARE(weekLines(m_world->folder.read(QStringLiteral("workingweek.txt"))),
        (QStringList { "1", "1", "1", "1", "0", "0", "0" }));
}

void tst_frmWorkingWeek::cancelSavesNothing()
{
    const auto main = openMainWindow();
    const auto filesBefore = m_world->folder.snapshot();
    QSignalSpy rebuilt(main->taskModel(), &QAbstractItemModel::modelReset);
    onWorkingWeekWindows(this, { [](frmWorkingWeek &dialog) {
        tickOnly(dialog, { 6, 7 });
        hourBox(dialog, "cboEndsAt")->setCurrentIndex(47);
        dialog.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    } });
    openFromLink(*main);

    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(rebuilt.count(), 0);
    QCOMPARE(m_world->folder.snapshot(), filesBefore);
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 1, 1, 1, 1, 0, 0 }));
    QCOMPARE(main->project().settings().hours.endsAt, QStringLiteral("05:00 PM"));
}

// A save that fails is told, and the window opens again over the person's edit. Which files a failed
// save leaves, a read-only folder included, is the settings loader's rule; here one failure is enough.
void tst_frmWorkingWeek::failedSaveKeepsEverything()
{
    const auto main = openMainWindow();
    const auto filesBefore = m_world->folder.snapshot();
    QSignalSpy rebuilt(main->taskModel(), &QAbstractItemModel::modelReset);
    QList<bool> reopenedTicks;
    int reopenedStart = -1;
    onWorkingWeekWindows(this,
        { [&](frmWorkingWeek &dialog) {
             tickOnly(dialog, { 1, 2, 3, 4, 5, 6 });
             hourBox(dialog, "cboStartsAt")->setCurrentIndex(k0900AM - 2);
             // A folder where the week file should be: the hour files are written first, then the week fails.
             QVERIFY(m_world->folder.remove(QStringLiteral("workingweek.txt")));
             QVERIFY(QDir(m_world->folder.path()).mkdir(QStringLiteral("workingweek.txt")));
             dialog.Command1_Click();
         },
            [&](frmWorkingWeek &dialog) {
                for (int d = 1; d <= 7; ++d)
                    reopenedTicks << dayBox(dialog, d)->isChecked();
                reopenedStart = hourBox(dialog, "cboStartsAt")->currentIndex();
                dialog.Command2_Click();
            } });
    openFromLink(*main);

    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown &failure = MessageBox::shown().at(0);
    QVERIFY2(failure.text.contains(QStringLiteral("workingweek.txt")), qPrintable(failure.text));
    QCOMPARE(failure.title, QStringLiteral("Error"));
    QCOMPARE(reopenedTicks, (QList<bool> { true, true, true, true, true, true, false }));
    QCOMPARE(reopenedStart, k0900AM - 2);
    QCOMPARE(rebuilt.count(), 0);
    QCOMPARE(m_world->folder.read(QStringLiteral("workingday_starts_at.txt")), filesBefore.at(1));
    QCOMPARE(m_world->folder.read(QStringLiteral("workingday_ends_at.txt")), filesBefore.at(2));
    QCOMPARE(main->project().settings().hours.starts, QStringLiteral("09:00 AM"));
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 1, 1, 1, 1, 0, 0 }));
}

// The link reaches the window, and what the window returns is saved, applied and rebuilt over.
void tst_frmWorkingWeek::opensModallyFromSettingsLink()
{
    const auto main = openMainWindow();
    main->show();
    bool modal = false;
    QSignalSpy rebuilt(main->taskModel(), &QAbstractItemModel::modelReset);
    onWorkingWeekWindows(this, { [&](frmWorkingWeek &dialog) {
        modal = dialog.isModal();
        tickOnly(dialog, { 2, 3, 4, 5, 6 });
        hourBox(dialog, "cboEndsAt")->setEditText(QStringLiteral("5:30 PM"));
        dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    } });
    openFromLink(*main);

    QVERIFY(modal);
    QCOMPARE(shownTexts(), QStringList { QStringLiteral("Done!") });
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Done"));
    QCOMPARE(weekLines(m_world->folder.read(QStringLiteral("workingweek.txt"))),
        (QStringList { "0", "1", "1", "1", "1", "1", "0" }));
    QCOMPARE(m_world->folder.read(QStringLiteral("workingday_ends_at.txt")), QByteArray("5:30 PM"));
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 0, 1, 1, 1, 1, 1, 0 }));
    QCOMPARE(main->project().settings().hours.endsAt, QStringLiteral("5:30 PM"));
    QCOMPARE(rebuilt.count(), 1);
    // The rebuild ran over the new week: the first task starts on a working day of it.
    QVERIFY(main->taskModel()->rows().at(0).startDate.dayOfWeek() != 1);
    QVERIFY(!main->findChild<frmWorkingWeek *>());
}

QTEST_MAIN(tst_frmWorkingWeek)
#include "tst_frmworkingweek.moc"
