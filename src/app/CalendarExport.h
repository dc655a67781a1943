#pragma once

#include "export/CsvWriter.h"

#include <functional>

class QWidget;

namespace ambrel {

class Project;

enum class CalendarFormat { Csv, Ics };

// Exports the project's calendar into the export folder ("project.csv" or "project.ics"), with the
// window's questions: rebuild first when the tasks changed since the list was built (rebuild does it and
// says why it was refused), the "Missing Info" checks, replacing an earlier export, and "Done!".
// The CSV file is written in layout.
void exportCalendar(QWidget *parent, Project &project, CalendarFormat format, const std::function<void()> &rebuild,
    CsvLayout layout = CsvLayout::Runs);

} // namespace ambrel
