#include "ListPrinter.h"

#include "schedule/TaskRow.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <memory>
#include <utility>

namespace ambrel {

namespace {

LinePrinter *&printerOverride()
{
    static LinePrinter *printer = nullptr;
    return printer;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

PainterLinePrinter::PainterLinePrinter(const QString &pdfFile)
    : m_pdfFile(pdfFile)
{
}

PainterLinePrinter::PainterLinePrinter(QPrinter *printer)
    : m_target(printer)
{
}

bool PainterLinePrinter::printLines(const QStringList &lines, QString *error)
{
    m_pageCount = 0;
    m_linesPerPage = 0;
    std::unique_ptr<QPrinter> owned;
    QPrinter *printer = m_target;
    if (printer) {
        // Set up by the dialog that chose it.
    } else if (m_pdfFile.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return fail(
                error, QStringLiteral("No printer is installed. Please install a printer and try again."));
        owned = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        printer = owned.get();
    } else {
        owned = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer = owned.get();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_pdfFile);
    }
    printer->setDocName(QStringLiteral("Ambrel task list"));

    const QString pdfFile
        = printer->outputFormat() == QPrinter::PdfFormat ? printer->outputFileName() : QString();
    QPainter painter;
    if (!painter.begin(printer)) {
        return fail(error,
            pdfFile.isEmpty() ? QStringLiteral("The printer could not be started. Please check that it is "
                                               "switched on and ready.")
                              : QStringLiteral("The file %1 could not be written.").arg(pdfFile));
    }
    const QFontMetrics metrics = painter.fontMetrics();
    const int indent = metrics.horizontalAdvance(QString(8, QLatin1Char(' ')));
    const int lineHeight = std::max(1, metrics.lineSpacing());
    m_linesPerPage = std::max(1, printer->height() / lineHeight);

    const QList<QStringList> pages = ListPrinter::pages(lines, m_linesPerPage);
    // The pages the print dialog asked for; none asked is every page.
    const int from = printer->fromPage();
    const int to = printer->toPage() > 0 ? printer->toPage() : int(pages.size());
    bool started = false;
    for (qsizetype page = 0; page < pages.size(); ++page) {
        if (from > 0 && (page + 1 < from || page + 1 > to))
            continue;
        if (std::exchange(started, true) && !printer->newPage()) {
            painter.end();
            return fail(error, QStringLiteral("The printer stopped after page %1.").arg(page));
        }
        int y = metrics.ascent();
        for (const QString &line : pages[page]) {
            if (!line.isEmpty())
                painter.drawText(indent, y, line);
            y += lineHeight;
        }
    }
    m_pageCount = int(std::max<qsizetype>(1, pages.size()));
    if (!painter.end() || printer->printerState() == QPrinter::Error)
        return fail(error,
            QStringLiteral("The printer reported an error, so the task list may not have been "
                           "printed."));
    return true;
}

QStringList ListPrinter::documentLines(const QAbstractItemModel &list)
{
    QStringList lines { QString(), QString(), QString(), QStringLiteral("ListView Print Sample Heading"),
        QString() };
    // The printout keeps the schedule's own four columns; the status columns are for the screen.
    const int columns = std::min(list.columnCount(), int(taskColumnTitles().size()));
    for (int row = 0; row < list.rowCount(); ++row) {
        QString line = list.index(row, 0).data().toString();
        for (int column = 1; column < columns; ++column)
            line += QLatin1Char(' ') + list.index(row, column).data().toString();
        lines << line;
    }
    return lines;
}

QList<QStringList> ListPrinter::pages(const QStringList &lines, int linesPerPage)
{
    linesPerPage = std::max(1, linesPerPage);
    QList<QStringList> result;
    for (qsizetype first = 0; first < lines.size(); first += linesPerPage)
        result << lines.mid(first, linesPerPage);
    return result;
}

bool ListPrinter::PrintaListview(const QAbstractItemModel &Lw, QString *error)
{
    const QStringList lines = documentLines(Lw);
    if (LinePrinter *printer = printerOverride())
        return printer->printLines(lines, error);
    PainterLinePrinter defaultPrinter;
    return defaultPrinter.printLines(lines, error);
}

void ListPrinter::setPrinter(LinePrinter *printer)
{
    printerOverride() = printer;
}

LinePrinter *ListPrinter::printer()
{
    return printerOverride();
}

} // namespace ambrel
