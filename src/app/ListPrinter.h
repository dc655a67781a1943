#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QPrinter;

namespace ambrel {

// Prints a document of plain text lines, one after another.
class LinePrinter {
public:
    virtual ~LinePrinter() = default;
    // Hands the lines to the printer as one job; false with *error when they did not reach it.
    virtual bool printLines(const QStringList &lines, QString *error) = 0;
};

// Draws the lines in the printer's default font, each text line indented by eight blanks, and starts a
// new page where the next line no longer fits. Prints on the system's default printer, or into a PDF file.
class PainterLinePrinter final : public LinePrinter {
    Q_DECLARE_TR_FUNCTIONS(PainterLinePrinter)

public:
    PainterLinePrinter() = default;
    explicit PainterLinePrinter(const QString &pdfFile);
    // Draws on a printer set up elsewhere (a print dialog, a preview); not owned.
    explicit PainterLinePrinter(QPrinter *printer);

    bool printLines(const QStringList &lines, QString *error) override;

    // The layout of the last job.
    int pageCount() const { return m_pageCount; }
    int linesPerPage() const { return m_linesPerPage; }

private:
    QString m_pdfFile;
    QPrinter *m_target = nullptr;
    int m_pageCount = 0;
    int m_linesPerPage = 0;
};

// Prints any list as plain lines: a heading, then one line per row with its cells joined by blanks.
class ListPrinter final {
public:
    // Three empty lines, the heading, one empty line, then each row's cells joined by single blanks
    // (an empty cell still adds its blank).
    static QStringList documentLines(const QAbstractItemModel &list);
    // The lines split into pages of linesPerPage lines each.
    static QList<QStringList> pages(const QStringList &lines, int linesPerPage);

    // Prints the list on the current printer; false with *error when the job did not reach it.
    static bool PrintaListview(const QAbstractItemModel &Lw, QString *error);

    // Tests print elsewhere; nullptr restores the default printer. The printer is not owned.
    static void setPrinter(LinePrinter *printer);
    // The printer tests set, else nullptr.
    static LinePrinter *printer();
};

} // namespace ambrel
