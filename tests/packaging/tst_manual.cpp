#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

// The user manual as shipped: every page and picture present, every link and anchor resolving, and
// every page reachable from the contents.
class tst_manual final : public QObject {
    Q_OBJECT

private slots:
    void pagesAndPicturesArePresent_data();
    void pagesAndPicturesArePresent();
    void everyLinkResolves_data();
    void everyLinkResolves();
    void contentsReachEveryPage();

private:
    static QString read(const QString &path);
    static QSet<QString> anchorsOf(const QString &html);
    QDir m_manual { QStringLiteral(AMBREL_MANUAL_DIR) };
};

QString tst_manual::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QSet<QString> tst_manual::anchorsOf(const QString &html)
{
    static const QRegularExpression id(QStringLiteral("\\bid=\"([^\"]+)\""));
    QSet<QString> anchors;
    for (auto match = id.globalMatch(html); match.hasNext();)
        anchors.insert(match.next().captured(1));
    return anchors;
}

void tst_manual::pagesAndPicturesArePresent_data()
{
    QTest::addColumn<QString>("file");
    for (const char *file : { "index.html", "getting-started.html", "task-lines.html", "working-week.html",
             "project-files.html", "exports.html", "publishing.html", "timeline.html", "printing.html",
             "keyboard.html", "command-line.html", "style.css", "images/main-window.png",
             "images/main-window-timeline.png", "images/timeline.png" })
        QTest::newRow(file) << QString::fromLatin1(file);
}

void tst_manual::pagesAndPicturesArePresent()
{
    QFETCH(QString, file);
    const QFileInfo info(m_manual.filePath(file));
    QVERIFY2(info.isFile(), qPrintable(info.filePath()));
    QVERIFY2(info.size() > 100, qPrintable(info.filePath() + QStringLiteral(" is nearly empty")));
}

void tst_manual::everyLinkResolves_data()
{
    QTest::addColumn<QString>("page");
    for (const QString &page : m_manual.entryList({ QStringLiteral("*.html") }, QDir::Files))
        QTest::newRow(qPrintable(page)) << page;
}

void tst_manual::everyLinkResolves()
{
    QFETCH(QString, page);
    const QString html = read(m_manual.filePath(page));
    QVERIFY(!html.isEmpty());
    static const QRegularExpression link(QStringLiteral("\\b(?:href|src)=\"([^\"]*)\""));
    for (auto match = link.globalMatch(html); match.hasNext();) {
        const QString target = match.next().captured(1);
        if (target.startsWith(QLatin1String("https://")) || target.startsWith(QLatin1String("mailto:")))
            continue;
        QVERIFY2(!target.contains(QLatin1String("://")) && !target.startsWith(QLatin1Char('/')),
            qPrintable(page + QStringLiteral(": the offline manual links outside itself: ") + target));
        const QString file = target.section(QLatin1Char('#'), 0, 0);
        const QString anchor = target.section(QLatin1Char('#'), 1);
        const QString path = file.isEmpty() ? m_manual.filePath(page) : m_manual.filePath(file);
        QVERIFY2(QFileInfo(path).isFile(), qPrintable(page + QStringLiteral(": missing ") + target));
        if (!anchor.isEmpty())
            QVERIFY2(anchorsOf(read(path)).contains(anchor),
                qPrintable(page + QStringLiteral(": no anchor for ") + target));
    }
}

void tst_manual::contentsReachEveryPage()
{
    const QString index = read(m_manual.filePath(QStringLiteral("index.html")));
    static const QRegularExpression entry(QStringLiteral("<li><a href=\"([^\"#]+)\">"));
    QSet<QString> listed { QStringLiteral("index.html") };
    for (auto match = entry.globalMatch(index); match.hasNext();)
        listed.insert(match.next().captured(1));
    const QStringList pages = m_manual.entryList({ QStringLiteral("*.html") }, QDir::Files);
    QCOMPARE(listed, QSet<QString>(pages.cbegin(), pages.cend()));
}

QTEST_APPLESS_MAIN(tst_manual)
#include "tst_manual.moc"
