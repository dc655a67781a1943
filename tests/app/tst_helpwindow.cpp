#include "app/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using ambrel::HelpWindow;

// The help window over the shipped manual: wiring only, the manual's own links are checked elsewhere.
class tst_helpwindow final : public QObject {
    Q_OBJECT

private slots:
    void findsTheManual_data();
    void findsTheManual();
    void opensANamedPage();
    void searchNarrowsTheContents();
    void saysWhenTheManualIsMissing();

private:
    const QString m_manual = QStringLiteral(AMBREL_MANUAL_DIR);
};

void tst_helpwindow::findsTheManual_data()
{
    QTest::addColumn<QString>("manualAt"); // relative to the program's folder, bin/; empty for none
    QTest::newRow("beside the program") << "manual";
    QTest::newRow("installed") << "../share/doc/ambrel/manual";
    QTest::newRow("nowhere") << "";
}

void tst_helpwindow::findsTheManual()
{
    QFETCH(QString, manualAt);
    QTemporaryDir root;
    const QDir bin(root.filePath(QStringLiteral("bin")));
    QVERIFY(QDir().mkpath(bin.path()));
    QString expected;
    if (!manualAt.isEmpty()) {
        expected = QDir::cleanPath(bin.filePath(manualAt));
        QVERIFY(QDir().mkpath(expected));
        QVERIFY(QFile::copy(QDir(m_manual).filePath(QStringLiteral("index.html")),
            QDir(expected).filePath(QStringLiteral("index.html"))));
    }
    QCOMPARE(HelpWindow::findManual(bin.path()), expected);
}

void tst_helpwindow::opensANamedPage()
{
    HelpWindow window(m_manual);
    QCOMPARE(window.currentPage(), QStringLiteral("index.html"));
    QVERIFY(window.showPage(QStringLiteral("exports.html#thunderbird")));
    QCOMPARE(window.currentPage(), QStringLiteral("exports.html"));
    auto *contents = window.findChild<QListWidget *>(QStringLiteral("helpContents"));
    QVERIFY(contents);
    QCOMPARE(contents->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("exports.html"));
    QVERIFY(!window.showPage(QStringLiteral("no-such-page.html")));
    QCOMPARE(window.currentPage(), QStringLiteral("exports.html"));

    contents->setCurrentRow(1);
    QCOMPARE(window.currentPage(), contents->item(1)->data(Qt::UserRole).toString());
}

void tst_helpwindow::searchNarrowsTheContents()
{
    HelpWindow window(m_manual);
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("helpSearch"));
    auto *contents = window.findChild<QListWidget *>(QStringLiteral("helpContents"));
    QVERIFY(search && contents);
    QTest::keyClicks(search, QStringLiteral("thunderbird"));
    QStringList shown;
    for (int row = 0; row < contents->count(); ++row) {
        if (!contents->item(row)->isHidden())
            shown << contents->item(row)->data(Qt::UserRole).toString();
    }
    QCOMPARE(shown, QStringList { QStringLiteral("exports.html") });
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(window.currentPage(), QStringLiteral("exports.html"));
    QVERIFY(window.findChild<QTextBrowser *>(QStringLiteral("helpBrowser"))->textCursor().hasSelection());
}

void tst_helpwindow::saysWhenTheManualIsMissing()
{
    HelpWindow window(QString {});
    QVERIFY(!window.showPage(QStringLiteral("index.html")));
    QVERIFY(window.findChild<QTextBrowser *>(QStringLiteral("helpBrowser"))
                ->toPlainText()
                .contains(QStringLiteral("not installed")));
}

QTEST_MAIN(tst_helpwindow)
#include "tst_helpwindow.moc"
