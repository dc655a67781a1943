#include "WindowTestSupport.h"

#include "app/PasswordKeeper.h"
#include "app/PublishDialog.h"
#include "corekit/Paths.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace ambrel;

namespace {

// The keyring as the tests see it: a map, or no keyring at all.
class FakeKeeper final : public PasswordKeeper {
public:
    Read read(const QString &key) override
    {
        return Read { available && kept.contains(key) ? std::optional<QString>(kept.value(key)) : std::nullopt,
            available };
    }
    bool write(const QString &key, const QString &password) override
    {
        if (available)
            kept.insert(key, password);
        return available;
    }

    bool available = true;
    QHash<QString, QString> kept;
};

template <typename T> T *in(QWidget *dialog, const char *name)
{
    T *found = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

// File → Publish to Calendar…: the action, the first-time setup against Radicale, and the straight publish
// that follows. The publishing itself is tested below the window.
class TestPublishDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void firstTimeThenStraightThere();
    void passwordInTheAddressIsNotKept();

private:
    // Triggers the action and hands the dialog to check while it is open; the dialog is closed after.
    void whileOpen(Form1 &window, const std::function<void(QDialog *)> &check);

    SettingsFolder m_settings;
    QTemporaryDir m_data;
    FakeKeeper m_keeper;
};

void TestPublishDialog::initTestCase()
{
    MessageBox::setTesting(true);
    Paths::setDataFolder(m_data.path());
    PasswordKeeper::setInstance(&m_keeper);
}

void TestPublishDialog::cleanupTestCase()
{
    PasswordKeeper::setInstance(nullptr);
    Paths::setDataFolder(QString());
}

void TestPublishDialog::whileOpen(Form1 &window, const std::function<void(QDialog *)> &check)
{
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog)
            check(dialog);
        checked = dialog != nullptr;
        if (dialog)
            dialog->reject();
    });
    QAction *action = window.findChild<QAction *>(QStringLiteral("actionPublish"));
    QVERIFY(action);
    QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    action->trigger();
    QVERIFY(checked);
}

void TestPublishDialog::firstTimeThenStraightThere()
{
    QFile url(qEnvironmentVariable("AMBREL_CALDAV_ROOT") + QStringLiteral("/radicale/url"));
    QVERIFY(url.open(QIODevice::ReadOnly));
    const QString server = QString::fromUtf8(url.readAll()).trimmed();

    auto window = openForm1();
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(QStringLiteral("A + 2\nB + 1"));
    window->cmdToList_Click();

    whileOpen(*window, [&](QDialog *dialog) {
        in<QLineEdit>(dialog, "serverEdit")->setText(server);
        in<QLineEdit>(dialog, "userEdit")->setText(QStringLiteral("tester"));
        in<QLineEdit>(dialog, "passwordEdit")->setText(QStringLiteral("secret"));
        in<QPushButton>(dialog, "findButton")->click();
        auto *calendars = in<QListWidget>(dialog, "calendarList");
        QTRY_VERIFY_WITH_TIMEOUT(calendars->count() > 0, 20000);
        QCOMPARE(calendars->item(calendars->count() - 1)->text(), QStringLiteral("New calendar named after the project"));
        calendars->setCurrentRow(calendars->count() - 1);
        in<QPushButton>(dialog, "publishButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(in<QLabel>(dialog, "result")->text().section(QLatin1Char('\n'), 0, 0),
            QStringLiteral("2 new, 0 changed, 0 removed, 0 unchanged"), 20000);
    });
    QCOMPARE(m_keeper.kept.values(), QStringList { QStringLiteral("secret") });

    // The choice and the password were kept: the next publish goes straight there.
    whileOpen(*window, [&](QDialog *dialog) {
        QTRY_COMPARE_WITH_TIMEOUT(in<QLabel>(dialog, "result")->text(),
            QStringLiteral("0 new, 0 changed, 0 removed, 2 unchanged"), 20000);
    });

    // Without a keyring the password is asked for, and the dialog says it cannot be kept.
    m_keeper.available = false;
    whileOpen(*window, [&](QDialog *dialog) {
        QVERIFY(in<QLineEdit>(dialog, "passwordEdit")->isVisible());
        QVERIFY(in<QLabel>(dialog, "keyringNote")->isVisible());
    });
    m_keeper.available = true;
}

// A user name and password typed into the address fill the fields; the password serves this publish and
// is kept in no file, no keyring and no field that shows the address.
void TestPublishDialog::passwordInTheAddressIsNotKept()
{
    QFile url(qEnvironmentVariable("AMBREL_CALDAV_ROOT") + QStringLiteral("/radicale/url"));
    QVERIFY(url.open(QIODevice::ReadOnly));
    const QString server = QString::fromUtf8(url.readAll()).trimmed().replace("//", "//tester:secret@");
    m_keeper.kept.clear();
    auto window = openForm1();
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(QStringLiteral("C + 1"));
    window->cmdToList_Click();
    whileOpen(*window, [&](QDialog *dialog) {
        in<QLineEdit>(dialog, "serverEdit")->setText(server);
        in<QPushButton>(dialog, "findButton")->click();
        auto *calendars = in<QListWidget>(dialog, "calendarList");
        QTRY_VERIFY_WITH_TIMEOUT(calendars->count() > 1, 20000);
        QVERIFY(!in<QLineEdit>(dialog, "serverEdit")->text().contains(QStringLiteral("secret")));
        QCOMPARE(in<QLineEdit>(dialog, "userEdit")->text(), QStringLiteral("tester"));
        calendars->setCurrentRow(calendars->count() - 1);
        in<QPushButton>(dialog, "publishButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(
            in<QLabel>(dialog, "result")->text().startsWith(QStringLiteral("1 new")), 20000);
        QVERIFY(!in<QLabel>(dialog, "publishingTo")->text().contains(QStringLiteral("secret")));
    });
    QVERIFY(m_keeper.kept.isEmpty());
    QDirIterator stored(m_data.path(), QDir::Files, QDirIterator::Subdirectories);
    while (stored.hasNext()) {
        QFile file(stored.next());
        QVERIFY(file.open(QIODevice::ReadOnly) && !file.readAll().contains("secret"));
    }
}

QTEST_MAIN(TestPublishDialog)
#include "tst_publishdialog.moc"
