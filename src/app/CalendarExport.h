#pragma once

#include <functional>

class QWidget;

namespace ambrel {

class Project;

enum class CalendarFormat { Csv, Ics };

// Exports the project's calendar into a .csv or .ics file the person chooses, with the window's questions:
// rebuild first when the tasks changed since the list was built (rebuild does it and says why it was
// refused), the "Missing Info" checks, replacing an earlier export, and "Done!".
void exportCalendar(
    QWidget *parent, Project &project, CalendarFormat format, const std::function<void()> &rebuild);

// The same questions before the calendar is published: false when publishing must stop.
bool readyToPublish(QWidget *parent, Project &project, const std::function<void()> &rebuild);

} // namespace ambrel
