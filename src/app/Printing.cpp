#include "app/Printing.h"

#include "app/ListPrinter.h"
#include "app/MessageBox.h"
#include "corekit/Clock.h"
#include "project/Project.h"
#include "timeline/TimelineData.h"
#include "timeline/TimelineExport.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace ambrel {

namespace {

QPrinter *&testPrinter()
{
    static QPrinter *printer = nullptr;
    return printer;
}

// Hands the job to the tests' printer, or to the one the person picks; false when they cancelled.
bool choosePrinter(QWidget *parent, QPrinter *printer, const QString &caption)
{
    if (testPrinter())
        return true;
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(caption);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

Printing::Result Printing::printList(QWidget *parent, const QAbstractItemModel &list, QString *error)
{
    if (ListPrinter::printer())
        return ListPrinter::PrintaListview(list, error) ? Result::Printed : Result::Failed;
    QPrinter own(QPrinter::HighResolution);
    QPrinter *printer = testPrinter() ? testPrinter() : &own;
    printer->setDocName(QStringLiteral("Ambrel task list"));
    if (!choosePrinter(parent, printer, tr("Print List")))
        return Result::Cancelled;
    PainterLinePrinter lines(printer);
    return lines.printLines(ListPrinter::documentLines(list), error) ? Result::Printed : Result::Failed;
}

void Printing::previewList(QWidget *parent, const QAbstractItemModel &list)
{
    const QStringList lines = ListPrinter::documentLines(list);
    const auto paint
        = [&lines](QPrinter *printer) { PainterLinePrinter(printer).printLines(lines, nullptr); };
    if (testPrinter()) {
        paint(testPrinter());
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Ambrel task list"));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(tr("Print Preview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paint);
    preview.resize(900, 760);
    preview.exec();
}

Printing::Result Printing::printTimeline(QWidget *parent, const TimelineData &data, QString *error)
{
    QPrinter own(QPrinter::HighResolution);
    QPrinter *printer = testPrinter() ? testPrinter() : &own;
    printer->setDocName(QStringLiteral("Ambrel timeline"));
    printer->setPageOrientation(QPageLayout::Landscape);
    if (!choosePrinter(parent, printer, tr("Print Timeline")))
        return Result::Cancelled;
    // The timeline is drawn in the PDF's units, whatever the printer's dots.
    printer->setResolution(96);
    if (TimelineExport::paintPages(data, printer) || printer->printerState() == QPrinter::Error) {
        if (error)
            *error
                = tr("The printer reported an error, so the timeline may not have been printed.");
        return Result::Failed;
    }
    return Result::Printed;
}

void Printing::printProjectTimeline(QWidget *parent, const Project &project)
{
    if (project.tasks().empty()) {
        MessageBox::show(parent, tr("Please add some tasks to your project."),
            tr("Missing Info"), MessageBox::Information);
        return;
    }
    QString error;
    if (printTimeline(parent, TimelineData::fromProject(project, Clock::today()), &error) == Result::Failed)
        MessageBox::show(parent, error, MessageBox::errorTitle(), MessageBox::Critical);
}

void Printing::setPrinter(QPrinter *printer)
{
    testPrinter() = printer;
}

} // namespace ambrel
