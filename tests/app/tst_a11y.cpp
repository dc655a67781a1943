#include "WindowTestSupport.h"

#include "app/DaysOffImportDialog.h"
#include "app/Form1.h"
#include "app/HelpWindow.h"
#include "app/PostponeDialog.h"
#include "app/PublishDialog.h"
#include "app/frmDaysOff.h"
#include "app/frmTips.h"
#include "app/frmWorkingWeek.h"
#include "project/Project.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QMenuBar>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace ambrel;

// Every control a person can reach in every window says what it is to a screen reader, and the German
// translation turns the windows German.
class tst_a11y final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void germanTranslationTranslatesMenus();

private:
    std::unique_ptr<SettingsFolder> m_folder;
};

void tst_a11y::initTestCase()
{
    m_folder = std::make_unique<SettingsFolder>();
}

void tst_a11y::everyControlIsNamed_data()
{
    QTest::addColumn<std::shared_ptr<QWidget>>("window");
    const Settings settings;
    QTemporaryFile calendar;
    QVERIFY(calendar.open());
    QTest::newRow("main window") << std::shared_ptr<QWidget>(openForm1());
    QTest::newRow("working week") << std::shared_ptr<QWidget>(new frmWorkingWeek(settings, { "09:00 AM" }));
    QTest::newRow("days off") << std::shared_ptr<QWidget>(new frmDaysOff(settings));
    QTest::newRow("days off import") << std::shared_ptr<QWidget>(new DaysOffImportDialog(calendar.fileName(), 2024));
    QTest::newRow("postpone") << std::shared_ptr<QWidget>(new PostponeDialog(QStringLiteral("A"), 3));
    QTest::newRow("publish") << std::shared_ptr<QWidget>(new PublishDialog(Project(), QString()));
    QTest::newRow("help") << std::shared_ptr<QWidget>(new HelpWindow(QStringLiteral(AMBREL_MANUAL_DIR)));
    QTest::newRow("tips") << std::shared_ptr<QWidget>(new frmTips);
}

void tst_a11y::everyControlIsNamed()
{
    QFETCH(std::shared_ptr<QWidget>, window);
    window->show();
    QStringList unnamed;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        // A button is pressed by pointer even where the keyboard never reaches it, such as the calendar's arrows.
        const bool interactive = widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(widget);
        if (!interactive)
            continue;
        // Only what the accessibility tree holds reaches a screen reader.
        QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
        if (!control || !control->parent() || control->parent()->indexOfChild(control) < 0)
            continue;
        // Here a combo box's name is its current choice, which does not say what it chooses.
        const QString name = control->role() == QAccessible::ComboBox ? widget->accessibleName()
                                                                      : control->text(QAccessible::Name);
        if (name.trimmed().isEmpty() && control->relations(QAccessible::Label).isEmpty())
            unnamed << widget->objectName() + QLatin1Char(' ') + QLatin1String(widget->metaObject()->className());
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void tst_a11y::germanTranslationTranslatesMenus()
{
    const auto window = openForm1();
    QStringList titles;
    for (QAction *menu : window->menuBar()->actions())
        titles << menu->text();
    QVERIFY(titles.contains(QStringLiteral("&File")));

    QTranslator german;
    QVERIFY(german.load(QStringLiteral(AMBREL_TRANSLATIONS_DIR "/ambrel_de.qm")));
    QCoreApplication::installTranslator(&german);
    const auto translated = openForm1();
    QCoreApplication::removeTranslator(&german);
    titles.clear();
    for (QAction *menu : translated->menuBar()->actions())
        titles << menu->text();
    QVERIFY2(titles.contains(QStringLiteral("&Datei")), qPrintable(titles.join(QLatin1Char(' '))));
    QVERIFY(!titles.contains(QStringLiteral("&File")));
}

QTEST_MAIN(tst_a11y)
#include "tst_a11y.moc"
