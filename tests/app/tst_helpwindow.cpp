#include "app/HelpWindow.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>

using ambrel::HelpWindow;

// The help window over the shipped manual: wiring only, the manual's own links are checked elsewhere.
class tst_helpwindow final : public QObject {
    Q_OBJECT

private slots:
    void opensANamedPage();
    void searchNarrowsTheContents();
    void saysWhenTheManualIsMissing();

private:
    const QString m_manual = QStringLiteral(AMBREL_MANUAL_DIR);
};

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
