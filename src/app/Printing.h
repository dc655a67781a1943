#pragma once

#include <QCoreApplication>
#include <QString>

class QAbstractItemModel;
class QPrinter;
class QWidget;

namespace ambrel {

class Project;
struct TimelineData;

// The File menu's printing: the system's print dialog (printer, pages, copies, print to a PDF file, which
// works without any printer), the preview of the list's printout, and the timeline across pages.
class Printing final {
    Q_DECLARE_TR_FUNCTIONS(Printing)

public:
    enum class Result { Printed, Cancelled, Failed };

    // The list as ListPrinter lays it out, on the printer the person chooses.
    static Result printList(QWidget *parent, const QAbstractItemModel &list, QString *error);
    // The list's printout on screen first, printed from there when the person says so.
    static void previewList(QWidget *parent, const QAbstractItemModel &list);
    // The timeline in landscape, its rows broken into pages as in its PDF.
    static Result printTimeline(QWidget *parent, const TimelineData &data, QString *error);
    // File → Print Timeline…: the project's timeline as of today, with the window's messages.
    static void printProjectTimeline(QWidget *parent, const Project &project);

    // Tests print onto this printer without any dialog; nullptr shows the dialogs again. Not owned.
    static void setPrinter(QPrinter *printer);
};

} // namespace ambrel
