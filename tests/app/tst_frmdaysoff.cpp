#include "WindowTestSupport.h"

#include "FileSizeLimit.h"
#include "app/DaysOffImportDialog.h"
#include "app/FileDialog.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "app/frmDaysOff.h"
#include "project/Project.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <optional>

using namespace ambrel;

namespace {

const QDate kToday(2026, 12, 1);
const QString kHolidays = QStringLiteral("holidays.txt");
const QByteArray kChristmas = "# Days off, one per line: a date as YYYY-MM-DD, then optionally its name.\n"
                              "2026-12-24 Christmas Eve\n2026-12-25 Christmas Day\n";

void click(const QDialog &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

// The list as the person sees it: date, weekday and name of each row.
QStringList rows(const QDialog &dialog)
{
    const QAbstractItemModel *model = dialog.findChild<QTreeView *>(QStringLiteral("lstDaysOff"))->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

void add(const QDialog &dialog, const QDate &date, const QString &name)
{
    dialog.findChild<QDateEdit *>(QStringLiteral("dtpDayOff"))->setDate(date);
    dialog.findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(name);
    click(dialog, "cmdAdd");
}

// The settings as the main window hands them to the days-off window.
Settings christmas()
{
    Settings settings;
    settings.setDaysOff({ { QDate(2026, 12, 24), QStringLiteral("Christmas Eve") },
        { QDate(2026, 12, 25), QStringLiteral("Christmas Day") } });
    return settings;
}

void selectRows(const QDialog &dialog, const QList<int> &rows)
{
    auto *list = dialog.findChild<QTreeView *>(QStringLiteral("lstDaysOff"));
    list->selectionModel()->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(
            list->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace

class tst_frmDaysOff final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadsAndTellsSkippedLinesOnce();
    void editsTheList_data();
    void editsTheList();
    void importsFromACalendarFile();
    void saveWritesAndHandsOnTheDays();
    void failedSaveKeepsTheWindowOpen();
    void cancelChangesNothing();
    void unreadableFileIsNeverReplaced();

private:
    std::optional<WindowTest> m_world;
};

void tst_frmDaysOff::initTestCase()
{
    WindowTest::initTestCase();
}

void tst_frmDaysOff::init()
{
    m_world.emplace(kToday);
    m_world->folder.write(kHolidays, kChristmas);
}

void tst_frmDaysOff::cleanup()
{
    m_world.reset();
}

void tst_frmDaysOff::loadsAndTellsSkippedLinesOnce()
{
    m_world->folder.write(
        kHolidays, "# days off\r\n2026-12-25 Christmas Day\r\n2026-02-30 Nonsense\r\nEaster\r\n");
    const auto main = openForm1();
    MessageBox::clearShown();
    QStringList shown;
    onModalWindows<frmDaysOff>(this, { [&](frmDaysOff &dialog) {
        shown = rows(dialog);
        click(dialog, "cmdCancel");
    } });
    main->daysOffWindow();
    QCOMPARE(shown, QStringList { "12/25/2026|Friday|Christmas Day" });
    QCOMPARE(shownTexts(),
        QStringList { "These lines name no date and were left out:\n"
                      "holidays.txt line 3: \"2026-02-30\" is not a date of the form YYYY-MM-DD\n"
                      "holidays.txt line 4: \"Easter\" is not a date of the form YYYY-MM-DD" });
}

void tst_frmDaysOff::editsTheList_data()
{
    QTest::addColumn<QList<QDate>>("added");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("removed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("added days fall into date order")
        << QList<QDate> { QDate(2027, 1, 1), QDate(2026, 12, 1) } << QStringList { "New Year", "" }
        << QList<int>()
        << QStringList { "12/1/2026|Tuesday|", "12/24/2026|Thursday|Christmas Eve",
               "12/25/2026|Friday|Christmas Day", "1/1/2027|Friday|New Year" };
    QTest::newRow("a date already there takes the new name once")
        << QList<QDate> { QDate(2026, 12, 24) } << QStringList { "Holy Eve" } << QList<int>()
        << QStringList { "12/24/2026|Thursday|Holy Eve", "12/25/2026|Friday|Christmas Day" };
    QTest::newRow("remove several selected rows")
        << QList<QDate> { QDate(2026, 12, 31) } << QStringList { "" } << QList<int> { 0, 2 }
        << QStringList { "12/25/2026|Friday|Christmas Day" };
}

void tst_frmDaysOff::editsTheList()
{
    QFETCH(QList<QDate>, added);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, removed);
    QFETCH(QStringList, expected);
    frmDaysOff dialog(christmas());
    for (qsizetype i = 0; i < added.size(); ++i)
        add(dialog, added[i], names[i]);
    selectRows(dialog, removed);
    click(dialog, "cmdRemove");
    QCOMPARE(rows(dialog), expected);
}

// Import shows the file's dates first; only the ones left ticked when OK is clicked join the list.
void tst_frmDaysOff::importsFromACalendarFile()
{
    const QString ics = m_world->folder.filePath(QStringLiteral("public.ics"));
    m_world->folder.write(QStringLiteral("public.ics"),
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n"
        "BEGIN:VEVENT\r\nUID:1@test\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20261225\r\n"
        "SUMMARY:Noel\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:2@test\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20260101\r\n"
        "RRULE:FREQ=YEARLY;COUNT=2\r\nSUMMARY:New Year\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    m_world->folder.write(QStringLiteral("notes.ics"), "Christmas is on the 25th.\n");
    frmDaysOff dialog(christmas());
    dialog.show();
    // The preview hides its progress bar once it shows what it read.
    const auto finishReading = [](DaysOffImportDialog &preview) {
        QTRY_VERIFY(preview.findChild<QProgressBar *>(QStringLiteral("prgReading"))->isHidden());
    };

    FileDialog::setNextOpenFileName(ics);
    onModalWindows<DaysOffImportDialog>(this, { [&](DaysOffImportDialog &preview) {
        finishReading(preview);
        click(preview, "cmdOK");
    } });
    click(dialog, "cmdImport");
    QCOMPARE(rows(dialog),
        (QStringList { "1/1/2026|Thursday|New Year", "12/24/2026|Thursday|Christmas Eve",
            "12/25/2026|Friday|Christmas Day", "1/1/2027|Friday|New Year" }));
    QCOMPARE(FileDialog::calls().size(), 1);

    // A file that is no calendar is refused in the preview, which then adds nothing.
    QString status;
    FileDialog::setNextOpenFileName(m_world->folder.filePath(QStringLiteral("notes.ics")));
    onModalWindows<DaysOffImportDialog>(this, { [&](DaysOffImportDialog &preview) {
        finishReading(preview);
        status = preview.findChild<QLabel *>(QStringLiteral("lblStatus"))->text();
        click(preview, "cmdCancel");
    } });
    click(dialog, "cmdImport");
    QCOMPARE(rows(dialog).size(), 4);
    QVERIFY2(status.startsWith(QStringLiteral("Could not import notes.ics: ")), qPrintable(status));
    QVERIFY(shownTexts().isEmpty());
}

// The window returns the edited days; the main window saves them, applies them and rebuilds.
void tst_frmDaysOff::saveWritesAndHandsOnTheDays()
{
    const auto main = openForm1();
    MessageBox::clearShown();
    QSignalSpy rebuilt(main->taskModel(), &QAbstractItemModel::modelReset);
    onModalWindows<frmDaysOff>(this, { [](frmDaysOff &dialog) {
        add(dialog, QDate(2027, 1, 1), QStringLiteral("New Year's Day"));
        selectRows(dialog, { 0 });
        click(dialog, "cmdRemove");
        click(dialog, "cmdSave");
    } });
    main->daysOffWindow();

    QCOMPARE(main->project().settings().daysOff, (std::vector<QDate> { QDate(2026, 12, 25), QDate(2027, 1, 1) }));
    QCOMPARE(m_world->folder.read(kHolidays),
        QByteArray("# Days off, one per line: a date as YYYY-MM-DD, then optionally its name.\n"
                   "2026-12-25 Christmas Day\n2027-01-01 New Year's Day\n"));
    QCOMPARE(rebuilt.count(), 1);
    QCOMPARE(shownTexts(), QStringList { "Done!" });
}

// A save that fails is told, and the window opens again over the edit; the file stays whole.
void tst_frmDaysOff::failedSaveKeepsTheWindowOpen()
{
    QByteArray before = kChristmas;
    for (int i = 0; i < 1000; ++i)
        before
            += QDate(2030, 1, 1).addDays(i).toString(Qt::ISODate).toUtf8() + " A day off with a long name\n";
    m_world->folder.write(kHolidays, before);
    const auto main = openForm1();
    MessageBox::clearShown();
    const std::vector<QDate> daysBefore = main->project().settings().daysOff;
    QStringList reopened;
    // Held from the click until the window opens again, so that the save after it fails.
    std::optional<testing::FileSizeLimit> limit;
    onModalWindows<frmDaysOff>(this,
        { [&](frmDaysOff &dialog) {
             add(dialog, QDate(2026, 12, 31), QStringLiteral("New Year's Eve"));
             limit.emplace(before.size() + 10);
             QVERIFY(limit->isActive());
             click(dialog, "cmdSave");
         },
            [&](frmDaysOff &dialog) {
                limit.reset();
                reopened = rows(dialog).mid(0, 3);
                click(dialog, "cmdCancel");
            } });
    main->daysOffWindow();
    limit.reset();

    QCOMPARE(reopened,
        (QStringList { "12/24/2026|Thursday|Christmas Eve", "12/25/2026|Friday|Christmas Day",
            "12/31/2026|Thursday|New Year's Eve" }));
    QCOMPARE(shownTexts().size(), 1);
    QVERIFY(shownTexts().front().startsWith(QStringLiteral("Could not save holidays.txt: ")));
    QCOMPARE(m_world->folder.read(kHolidays), before);
    QCOMPARE(main->project().settings().daysOff, daysBefore);
}

void tst_frmDaysOff::cancelChangesNothing()
{
    frmDaysOff dialog(christmas());
    dialog.show();
    add(dialog, QDate(2026, 12, 31), QString());
    click(dialog, "cmdCancel");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.settings().daysOff, christmas().daysOff);
    QCOMPARE(m_world->folder.read(kHolidays), kChristmas);
}

// A days-off file too large to read is told, and no window opens whose save would replace it.
void tst_frmDaysOff::unreadableFileIsNeverReplaced()
{
    const auto main = openForm1();
    QByteArray huge = kChristmas;
    huge += QByteArray(16 << 20, '#');
    m_world->folder.write(kHolidays, huge);
    MessageBox::clearShown();
    bool opened = false;
    onModalWindows<frmDaysOff>(this, { [&](frmDaysOff &dialog) {
        opened = true;
        click(dialog, "cmdSave");
    } });
    main->daysOffWindow();
    QCoreApplication::processEvents();

    QVERIFY(!opened);
    QCOMPARE(shownTexts().size(), 1);
    QVERIFY2(
        shownTexts().front().contains(m_world->folder.filePath(kHolidays)), qPrintable(shownTexts().front()));
    QCOMPARE(MessageBox::shown().front().title, QStringLiteral("Days Off"));
    QCOMPARE(QFileInfo(m_world->folder.filePath(kHolidays)).size(), huge.size());
}

QTEST_MAIN(tst_frmDaysOff)
#include "tst_frmdaysoff.moc"
