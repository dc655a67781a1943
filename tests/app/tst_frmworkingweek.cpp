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

#include <memory>

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
    void failedSaveKeepsEverything_data();
    void failedSaveKeepsEverything();
    void opensModallyFromSettingsLink();

private:
    std::unique_ptr<SettingsFolder> m_folder;
};

void tst_frmWorkingWeek::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_frmWorkingWeek::init()
{
    MessageBox::setTesting(true);
    Clock::setToday(kWednesday);
    m_folder = std::make_unique<SettingsFolder>();
}

void tst_frmWorkingWeek::cleanup()
{
    m_folder.reset();
    Clock::setToday({});
}

void tst_frmWorkingWeek::loadsTheSettings()
{
    const auto main = openMainWindow();
    m_folder->write(QStringLiteral("workingweek.txt"), "1\n0\n1\n0\n1\n0\n1\n");
    m_folder->write(QStringLiteral("workingday_starts_at.txt"), "09:00 AM\r\n");

    const auto opened = main->workingWeekWindow();
    frmWorkingWeek &dialog = *opened;

    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Working Week"));
    for (int d = 1; d <= 7; ++d)
        QCOMPARE(dayBox(dialog, d)->isChecked(), d % 2 == 1);
    // Opening re-reads the week for the whole program.
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 0, 1, 0, 1, 0, 1 }));
    QCOMPARE(hourBox(dialog, "cboStartsAt")->count(), 48);
    QCOMPARE(hourBox(dialog, "cboStartsAt")->currentIndex(), k0900AM);
    QCOMPARE(hourBox(dialog, "cboEndsAt")->currentIndex(), k0500PM);
}

void tst_frmWorkingWeek::missingFileOnOpening_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<bool>("daysLoaded");
    QTest::addColumn<bool>("hoursLoaded");

    QTest::newRow("working week") << "workingweek.txt" << false << true;
    QTest::newRow("begin hour") << "workingday_starts_at.txt" << true << false;
    QTest::newRow("end hour") << "workingday_ends_at.txt" << true << false;
    QTest::newRow("hour choices") << "hours.txt" << true << false;
}

void tst_frmWorkingWeek::missingFileOnOpening()
{
    QFETCH(QString, missing);
    QFETCH(bool, daysLoaded);
    QFETCH(bool, hoursLoaded);

    const auto main = openMainWindow();
    QVERIFY(m_folder->remove(missing));
    const auto opened = main->workingWeekWindow();
    frmWorkingWeek &dialog = *opened;

    QCOMPARE(shownTexts(),
        QStringList {
            QStringLiteral("Error: %1 file not found. Please reinstall the software.").arg(missing) });
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Error"));
    QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Exclamation);
    QCOMPARE(dayBox(dialog, 1)->isChecked(), daysLoaded);
    for (const char *name : { "cboStartsAt", "cboEndsAt" }) {
        const QComboBox *box = hourBox(dialog, name);
        QCOMPARE(box->count(), hoursLoaded ? 48 : 0);
        if (!hoursLoaded) {
            QCOMPARE(box->currentText(), QStringLiteral("Combo1"));
            QCOMPARE(frmWorkingWeek::choicePosition(box), -1);
        }
    }

    if (!hoursLoaded) {
        MessageBox::clearShown();
        dialog.Command1_Click();
        QCOMPARE(shownTexts(),
            QStringList { "\"Combo1\" is not a time of day. Please write an hour such as 09:00 AM, 9 AM or 17:30." });
    }
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
                                                  << QStringList { QStringLiteral("Done!") };
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
                                            << QStringList { question(3), QStringLiteral("Done!") };
    QTest::newRow("one day asks too")
        << QList<int> { 7 } << 0 << five << true << QStringList { question(1), QStringLiteral("Done!") };
    QTest::newRow("five days, no question")
        << QList<int> { 2, 3, 4, 5, 6 } << k0900AM << five << true << QStringList { QStringLiteral("Done!") };
    QTest::newRow("typed end hour equal to a choice")
        << weekdays << k0900AM << "typed:06:00 PM" << true << QStringList { QStringLiteral("Done!") };
}

void tst_frmWorkingWeek::save()
{
    QFETCH(QList<int>, days);
    QFETCH(int, starts);
    QFETCH(QString, endsAt);
    QFETCH(bool, answerYes);
    QFETCH(QStringList, messages);

    const auto main = openMainWindow();
    const auto filesBefore = m_folder->snapshot();
    const WorkingHours hoursBefore = main->project().settings().hours;
    const auto opened = main->workingWeekWindow();
    frmWorkingWeek &dialog = *opened;
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QSignalSpy rebuilt(main->taskModel(), &QAbstractItemModel::modelReset);

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
    const bool saved = messages.last() == QLatin1String("Done!");
    for (const MessageBox::Shown &shown : MessageBox::shown()) {
        QCOMPARE(shown.icon, MessageBox::Information);
        if (shown.text == question(days.size())) {
            QCOMPARE(shown.title, QStringLiteral("Important "));
            QCOMPARE(shown.buttons, MessageBox::YesNo);
        } else {
            QCOMPARE(shown.title, saved ? QStringLiteral("Done") : QStringLiteral("Error"));
        }
    }
    QCOMPARE(accepted.count(), saved ? 1 : 0);
    QCOMPARE(dialog.isVisible(), !saved);
    QCOMPARE(rebuilt.count(), saved ? 1 : 0);

    if (!saved) {
        QCOMPARE(m_folder->snapshot(), filesBefore);
        QCOMPARE(main->project().settings().hours.starts, hoursBefore.starts);
        QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 1, 1, 1, 1, 0, 0 }));
        return;
    }
    QStringList lines;
    WorkingWeekFlags week {};
    for (int d = 1; d <= 7; ++d) {
        lines << (days.contains(d) ? QStringLiteral("1") : QStringLiteral("0"));
        week[size_t(d)] = days.contains(d) ? 1 : 0;
    }
    QCOMPARE(weekLines(m_folder->read(QStringLiteral("workingweek.txt"))), lines);
    const QString startText = hourBox(dialog, "cboStartsAt")->currentText();
    QCOMPARE(QString::fromUtf8(m_folder->read(QStringLiteral("workingday_starts_at.txt"))), startText);
    QCOMPARE(
        QString::fromUtf8(m_folder->read(QStringLiteral("workingday_ends_at.txt"))), ends->currentText());
    QCOMPARE(main->project().settings().hours.starts, startText);
    QCOMPARE(main->project().settings().hours.endsAt, ends->currentText());
    QCOMPARE(main->workingWeek(), week);
    // The rebuild ran over the new week: the first task starts on a working day of it.
    const QDate firstStart = main->taskModel()->rows().at(0).startDate;
    QVERIFY(days.contains(firstStart.dayOfWeek()));
}

void tst_frmWorkingWeek::buildMessageComesBeforeDone()
{
    const auto main = openMainWindow();
    main->findChild<QRadioButton *>(QStringLiteral("optDate_1"))->click();
    Clock::setToday(kWednesday.addDays(1)); // the picked date is now in the past
    MessageBox::clearShown();

    const auto opened = main->workingWeekWindow();
    frmWorkingWeek &dialog = *opened;
    tickOnly(dialog, { 1, 2, 3, 4 });
    dialog.Command1_Click();

    QCOMPARE(shownTexts(),
        (QStringList { QStringLiteral("Your project is set to start on a past date. Please fix this."),
            QStringLiteral("Done!") }));
    QCOMPARE(weekLines(m_folder->read(QStringLiteral("workingweek.txt"))),
        (QStringList { "1", "1", "1", "1", "0", "0", "0" }));
}

void tst_frmWorkingWeek::cancelSavesNothing()
{
    const auto main = openMainWindow();
    const auto filesBefore = m_folder->snapshot();
    const auto opened = main->workingWeekWindow();
    frmWorkingWeek &dialog = *opened;
    dialog.show();
    tickOnly(dialog, { 6, 7 });
    hourBox(dialog, "cboEndsAt")->setCurrentIndex(47);

    dialog.findChild<QPushButton *>(QStringLiteral("Command2"))->click();

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(m_folder->snapshot(), filesBefore);
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 1, 1, 1, 1, 0, 0 }));
    QCOMPARE(main->project().settings().hours.endsAt, QStringLiteral("05:00 PM"));
}

void tst_frmWorkingWeek::failedSaveKeepsEverything_data()
{
    QTest::addColumn<bool>("readOnlyFolder");

    QTest::newRow("week file cannot be replaced") << false;
    QTest::newRow("read-only program folder") << true;
}

void tst_frmWorkingWeek::failedSaveKeepsEverything()
{
    QFETCH(bool, readOnlyFolder);

    const auto main = openMainWindow();
    const auto opened = main->workingWeekWindow();
    frmWorkingWeek &dialog = *opened;
    dialog.show();
    tickOnly(dialog, { 1, 2, 3, 4, 5, 6 });
    hourBox(dialog, "cboStartsAt")->setCurrentIndex(k0900AM - 2);
    const auto filesBefore = m_folder->snapshot();

    QFile folder(m_folder->path());
    const auto permissions = folder.permissions();
    if (readOnlyFolder) {
        folder.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(m_folder->filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            folder.setPermissions(permissions);
            QSKIP("this user may write into a read-only folder");
        }
    } else {
        // A folder where the week file should be: the hour files are written first, then the week fails.
        QVERIFY(m_folder->remove(QStringLiteral("workingweek.txt")));
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("workingweek.txt")));
    }
    QSignalSpy rebuilt(main->taskModel(), &QAbstractItemModel::modelReset);

    dialog.Command1_Click();
    folder.setPermissions(permissions);

    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown &failure = MessageBox::shown().at(0);
    QVERIFY2(failure.text.contains(readOnlyFolder ? QStringLiteral("workingday_starts_at.txt")
                                                  : QStringLiteral("workingweek.txt")),
        qPrintable(failure.text));
    QCOMPARE(failure.title, QStringLiteral("Error"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(rebuilt.count(), 0);
    QCOMPARE(m_folder->read(QStringLiteral("workingday_starts_at.txt")), filesBefore.at(1));
    QCOMPARE(m_folder->read(QStringLiteral("workingday_ends_at.txt")), filesBefore.at(2));
    QCOMPARE(main->project().settings().hours.starts, QStringLiteral("09:00 AM"));
    QCOMPARE(main->workingWeek(), (WorkingWeekFlags { 0, 1, 1, 1, 1, 1, 0, 0 }));
}

void tst_frmWorkingWeek::opensModallyFromSettingsLink()
{
    const auto main = openMainWindow();
    main->show();
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<frmWorkingWeek *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (QWidget *other = QApplication::activeModalWidget())
                other->close(); // never leave the test waiting on a window it did not expect
            return;
        }
        modal = dialog->isModal();
        dayBox(*dialog, 6)->setChecked(true);
        dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    });
    QTest::mouseClick(main->findChild<QLabel *>(QStringLiteral("lblSetWorkingDays")), Qt::LeftButton);

    QVERIFY(modal);
    QCOMPARE(shownTexts(), QStringList { QStringLiteral("Done!") });
    QCOMPARE(main->workingWeek()[6], qint16(1));
    QCOMPARE(main->taskModel()->rowCount(), 1);
    QVERIFY(!main->findChild<frmWorkingWeek *>());
}

QTEST_MAIN(tst_frmWorkingWeek)
#include "tst_frmworkingweek.moc"
