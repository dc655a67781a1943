#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QUrl;

namespace ambrel {

// The user manual, shown offline inside the planner: its pages in a contents list beside the page, and a
// search that narrows the contents to the pages holding every word typed.
class HelpWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    // An empty manualFolder shows where the manual was looked for instead of a page.
    explicit HelpWindow(const QString &manualFolder, QWidget *parent = nullptr);

    // Opens a page by its file name, optionally with an anchor ("exports.html#ics"). False, leaving the
    // window as it was, when the manual has no such page.
    bool showPage(const QString &page);
    // The file name of the page shown, without its anchor; empty before any page is shown.
    QString currentPage() const;

private:
    struct Page {
        QString fileName;
        QString title;
        QString text; // plain text, for the search
    };

    void readPages();
    void search(const QString &words);
    void openFirstFound();
    void followSource(const QUrl &source);
    void highlightSearch();

    QString m_folder;
    QList<Page> m_pages;
    QLineEdit *m_search = nullptr;
    QListWidget *m_contents = nullptr;
    QTextBrowser *m_browser = nullptr;
};

} // namespace ambrel
