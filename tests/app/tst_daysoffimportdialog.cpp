#include "app/DaysOffImportDialog.h"

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <sys/stat.h>

using namespace ambrel;

namespace {

const QTimeZone kBerlin("Europe/Berlin");

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("holidays.ics"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

void click(const QDialog &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

QStringList rows(const QDialog &dialog)
{
    const QAbstractItemModel *model = dialog.findChild<QTreeView *>(QStringLiteral("lstFound"))->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex date = model->index(row, 0);
        QString line = date.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStringLiteral("[x] ")
                                                                            : QStringLiteral("[ ] ");
        for (int column = 0; column < model->columnCount(); ++column)
            line += (column ? QStringLiteral("|") : QString()) + model->index(row, column).data().toString();
        rows << line;
    }
    return rows;
}

QStringList names(const std::vector<DayOff> &days)
{
    QStringList list;
    for (const DayOff &day : days)
        list << day.date.toString(Qt::ISODate) + QLatin1Char(' ') + day.name;
    return list;
}

} // namespace

class tst_DaysOffImportDialog final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void listsTicksAndReturnsTheChosenDays();
    void tellsWhyAFileIsRefused();
    void cancelDoesNotWaitForTheReading();
};

void tst_DaysOffImportDialog::listsTicksAndReturnsTheChosenDays()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir,
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20261225\r\nSUMMARY:Christmas\r\n"
        "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\nDTSTART:20261228T080000Z\r\nDTEND:20261228T090000Z\r\n"
        "SUMMARY:Review\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:c\r\nDTSTART:20260101T000000Z\r\n"
        "RRULE:FREQ=MINUTELY\r\nSUMMARY:Tick\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    DaysOffImportDialog dialog(path, 2026, nullptr, kBerlin);
    QAbstractItemModelTester tester(dialog.findChild<QTreeView *>(QStringLiteral("lstFound"))->model());
    QSignalSpy finished(&dialog, &DaysOffImportDialog::readingFinished);
    dialog.show();
    QTRY_COMPARE(finished.count(), 1);

    QCOMPARE(rows(dialog),
        QStringList(
            { "[x] 25/12/2026|Friday|All day|Christmas", "[ ] 28/12/2026|Monday|09:00 – 10:00|Review" }));
    const auto *leftOut = dialog.findChild<QListWidget *>(QStringLiteral("lstLeftOut"));
    QCOMPARE(leftOut->count(), 1);
    QCOMPARE(
        leftOut->item(0)->text(), "\"Tick\" (line 13): it repeats more often than daily (FREQ=MINUTELY)");
    QCOMPARE(names(dialog.chosenDays()), QStringList { "2026-12-25 Christmas" });

    click(dialog, "cmdSelectAll");
    QCOMPARE(names(dialog.chosenDays()), QStringList({ "2026-12-25 Christmas", "2026-12-28 Review" }));
    click(dialog, "cmdSelectNone");
    QVERIFY(dialog.chosenDays().empty());
    auto *model = dialog.findChild<QTreeView *>(QStringLiteral("lstFound"))->model();
    QVERIFY(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(names(dialog.chosenDays()), QStringList { "2026-12-28 Review" });

    click(dialog, "cmdOK");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void tst_DaysOffImportDialog::tellsWhyAFileIsRefused()
{
    QTemporaryDir dir;
    DaysOffImportDialog dialog(writeFile(dir, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"), 2026, nullptr, kBerlin);
    QSignalSpy finished(&dialog, &DaysOffImportDialog::readingFinished);
    dialog.show();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
        "Could not import holidays.ics: it ends without END:VCALENDAR; the file may be cut short");
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"))->isEnabled());
}

void tst_DaysOffImportDialog::cancelDoesNotWaitForTheReading()
{
    // A pipe that nothing is written to yet holds the reading up, as a parse that cannot look at Cancel
    // would.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("holidays.ics"));
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    auto dialog = std::make_unique<DaysOffImportDialog>(path, 2026, nullptr, kBerlin);
    dialog->show();
    click(*dialog, "cmdCancel");
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(dialog->chosenDays().empty());
    QVERIFY(dialog->isReading());
    dialog.reset(); // returns while the reading still waits for its file

    QFile pipe(path);
    QVERIFY(pipe.open(QIODevice::WriteOnly));
    pipe.write("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
}

QTEST_MAIN(tst_DaysOffImportDialog)
#include "tst_daysoffimportdialog.moc"
