#include "HelpWindow.h"

#include "app/WindowLook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace ambrel {

namespace {

const QString kIndex = QStringLiteral("index.html");

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList searchWords(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

} // namespace

HelpWindow::HelpWindow(const QString &manualFolder, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_folder(manualFolder)
{
    setWindowTitle(tr("Ambrel User Manual"));
    resize(1100, 720);

    auto *back = new QToolButton;
    back->setText(tr("◀ Back"));
    back->setObjectName(QStringLiteral("helpBack"));
    auto *forward = new QToolButton;
    forward->setText(tr("Forward ▶"));
    forward->setObjectName(QStringLiteral("helpForward"));
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("helpSearch"));
    m_search->setPlaceholderText(tr("Search the manual"));
    m_search->setAccessibleName(tr("Search the manual"));
    m_search->setAccessibleDescription(tr("Lists the pages that hold every word; Enter opens the first"));
    m_search->setClearButtonEnabled(true);
    for (auto *clear : m_search->findChildren<QToolButton *>())
        clear->setAccessibleName(tr("Clear the search"));
    m_contents = new QListWidget;
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setAccessibleName(tr("Contents"));
    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setAccessibleName(tr("Manual page"));
    nameScrollBars(m_browser);
    m_browser->setOpenExternalLinks(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto *side = new QWidget;
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addLayout(buttons);
    // The manual is written in English alone, which a translated window says where its translation has the line.
    const QString englishOnly = tr("The manual is in English.");
    if (englishOnly != QLatin1String("The manual is in English.")) {
        auto *note = new QLabel(englishOnly);
        note->setObjectName(QStringLiteral("helpLanguage"));
        note->setWordWrap(true);
        sideLayout->addWidget(note);
    }
    sideLayout->addWidget(m_search);
    sideLayout->addWidget(m_contents);
    auto *splitter = new QSplitter;
    splitter->addWidget(side);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 260, 840 });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    connect(back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::search);
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::openFirstFound);
    connect(m_contents, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        showPage(item->data(Qt::UserRole).toString());
    });
    connect(m_contents, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showPage(m_pages.at(row).fileName);
    });
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::followSource);

    readPages();
    if (m_pages.isEmpty()) {
        m_search->setEnabled(false);
        m_browser->setHtml(tr("<h1>The manual is not installed</h1><p>Ambrel looks for it in a "
                              "folder <code>manual</code> beside the program, and in "
                              "<code>share/doc/ambrel/manual</code> where it is installed.</p>"));
        return;
    }
    showPage(kIndex);
}

void HelpWindow::readPages()
{
    if (m_folder.isEmpty())
        return;
    // The contents are the index page's list, so the manual alone decides its pages and their order.
    const QString index = readText(QDir(m_folder).filePath(kIndex));
    if (index.isEmpty())
        return;
    static const QRegularExpression entry(QStringLiteral("<li><a href=\"([^\"#]+)\">(.*?)</a></li>"));
    m_pages.append({ kIndex, tr("Contents"), {} });
    for (auto match = entry.globalMatch(index); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        m_pages.append({ found.captured(1), QTextDocumentFragment::fromHtml(found.captured(2)).toPlainText(), {} });
    }
    for (Page &page : m_pages) {
        QTextDocument document;
        document.setHtml(readText(QDir(m_folder).filePath(page.fileName)));
        page.text = document.toPlainText();
        auto *item = new QListWidgetItem(page.title, m_contents);
        item->setData(Qt::UserRole, page.fileName);
    }
}

bool HelpWindow::showPage(const QString &page)
{
    const QString fileName = page.section(QLatin1Char('#'), 0, 0);
    const QString path = QDir(m_folder).filePath(fileName);
    if (m_folder.isEmpty() || fileName.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (page.contains(QLatin1Char('#')))
        url.setFragment(page.section(QLatin1Char('#'), 1));
    m_browser->setSource(url);
    highlightSearch();
    return true;
}

QString HelpWindow::currentPage() const
{
    const QUrl source = m_browser->source();
    return source.isEmpty() ? QString() : QFileInfo(source.toLocalFile()).fileName();
}

void HelpWindow::search(const QString &words)
{
    const QStringList wanted = searchWords(words);
    for (int row = 0; row < m_contents->count(); ++row) {
        const QString &text = m_pages.at(row).text;
        const bool found = std::all_of(wanted.cbegin(), wanted.cend(),
            [&text](const QString &word) { return text.contains(word, Qt::CaseInsensitive); });
        m_contents->item(row)->setHidden(!found);
    }
}

void HelpWindow::openFirstFound()
{
    for (int row = 0; row < m_contents->count(); ++row) {
        if (!m_contents->item(row)->isHidden()) {
            showPage(m_pages.at(row).fileName);
            return;
        }
    }
}

void HelpWindow::followSource(const QUrl &source)
{
    const QString fileName = QFileInfo(source.toLocalFile()).fileName();
    const QSignalBlocker blocker(m_contents);
    for (int row = 0; row < m_contents->count(); ++row) {
        if (m_pages.at(row).fileName == fileName)
            m_contents->setCurrentRow(row);
    }
}

// Shows the first place on the page where the first searched word stands.
void HelpWindow::highlightSearch()
{
    const QStringList wanted = searchWords(m_search->text());
    if (wanted.isEmpty())
        return;
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->find(wanted.first());
}

} // namespace ambrel
