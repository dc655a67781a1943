#pragma once

class QWidget;

namespace ambrel {

// What the main window remembers of itself between runs: its size, position and maximised state, and how
// wide the task list is beside the timeline (0: not set by the person).
namespace WindowPlace {

// Brings the window back as it was last closed; returns the list's remembered width beside the timeline.
int restore(QWidget *window);
// Keeps the window's place for the next run. A place that cannot be kept costs only the next run's layout,
// so it is not worth a message as the window closes.
void save(const QWidget *window, int listWidthBesideTimeline);

// On a window narrower than its design, the export button gives up width, down to what its text needs,
// rather than cover the side panel.
void fitExportButton(QWidget *button, const QWidget *sidePanel, int designWidth);

} // namespace WindowPlace

} // namespace ambrel
