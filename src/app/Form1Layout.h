#pragma once

#include "app/Form1Controls.h"

#include <QSize>

class QMainWindow;
class QWidget;

namespace ambrel {

class TimelinePane;

// Where the main window's controls go as it changes size: at the design size nothing moves; a wider window
// moves the right-hand controls along and widens the list, a taller one gives the list and the task box the
// extra height, and the banner and side panel reach the edges.
class Form1Layout final {
public:
    // Takes the design's sizes from the controls as built, sets the smallest size that still shows the export
    // button beside the side panel, and gives the window its design size below its menu bar.
    Form1Layout(QMainWindow *window, QWidget *body, const Form1Controls &ui, TimelinePane *timeline);

    // The body has just been resized.
    void fit();

private:
    void followWidth();
    void growWithHeight();
    void stretchBackgrounds();

    QMainWindow *m_window;
    QWidget *m_body;
    Form1Controls m_ui;
    TimelinePane *m_timeline;
    QSize m_designListSize;
    int m_designTaskBoxHeight = 0;
    int m_designBuildButtonTop = 0;
};

} // namespace ambrel
