#include "Form1Layout.h"

#include "app/TimelinePane.h"
#include "app/WindowLook.h"
#include "app/WindowPlace.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>

namespace ambrel {

namespace {

constexpr double kRightMargin = 700; // twips between the right-hand controls and the window's right edge
constexpr double kDesignWidth = 17130;
constexpr double kDesignHeight = 10005;
constexpr double kSidebarWidth = 5730;
constexpr double kExportButtonWidth = 6000;
// The side panel and the export button at its narrowest, which still shows its whole text.
constexpr double kSmallestWidth = kSidebarWidth + 5100 + kRightMargin;
constexpr double kSmallestTaskBox = 900; // twips: the task box shrinks to three lines on a short window

} // namespace

Form1Layout::Form1Layout(QMainWindow *window, QWidget *body, const Form1Controls &ui, TimelinePane *timeline)
    : m_window(window)
    , m_body(body)
    , m_ui(ui)
    , m_timeline(timeline)
    , m_designListSize(ui.ListView1->size())
    , m_designTaskBoxHeight(ui.txtTodo->height())
{
    // The design size is the room below the menu bar; the smallest size still shows the export button
    // beside the side panel and every control of the side panel.
    body->setMinimumSize(twipsToPixelsX(window, kSmallestWidth),
        twipsToPixelsY(window, kDesignHeight) - m_designTaskBoxHeight
            + twipsToPixelsY(window, kSmallestTaskBox));
    window->resize(twipsToPixelsX(window, kDesignWidth),
        twipsToPixelsY(window, kDesignHeight) + window->menuBar()->sizeHint().height());
    m_designBuildButtonTop = ui.cmdToList->y();
}

void Form1Layout::fit()
{
    followWidth();
    WindowPlace::fitExportButton(
        m_ui.Command2, m_ui.picSidebar, twipsToPixelsX(m_window, kExportButtonWidth));
    stretchBackgrounds();
    growWithHeight();
    m_timeline->takeListArea();
}

void Form1Layout::followWidth()
{
    // Single precision, in twips, against the outer width of the window as its width property gives it.
    const auto W = float(pixelsToTwipsX(m_window, m_window->frameGeometry().width()));
    const auto margin = float(kRightMargin);
    const auto toPixels = [this](float twips) { return twipsToPixelsX(m_window, double(twips)); };

    m_ui.Command2->move(
        toPixels(W - float(pixelsToTwipsX(m_window, m_ui.Command2->width())) - margin), m_ui.Command2->y());
    m_ui.Label13->move(
        toPixels(W - float(pixelsToTwipsX(m_window, m_ui.Label13->width())) - margin), m_ui.Label13->y());
    const float listWidth = W - float(pixelsToTwipsX(m_window, m_ui.ListView1->x())) - margin;
    if (listWidth >= 0)
        m_ui.ListView1->resize(toPixels(listWidth), m_ui.ListView1->height());
}

void Form1Layout::growWithHeight()
{
    // At the design size nothing moves; the extra height goes to the task list and the task box.
    const int extra = std::max(twipsToPixelsY(m_window, kSmallestTaskBox) - m_designTaskBoxHeight,
        m_body->height() - twipsToPixelsY(m_window, kDesignHeight));
    m_ui.ListView1->resize(m_ui.ListView1->width(), m_designListSize.height() + extra);
    m_ui.txtTodo->resize(m_ui.txtTodo->width(), m_designTaskBoxHeight + extra);
    m_ui.cmdToList->move(m_ui.cmdToList->x(), m_designBuildButtonTop + extra);
}

void Form1Layout::stretchBackgrounds()
{
    // The banner and the side panel are backgrounds: on a larger window they reach its edges, so that the
    // slogan that follows the right edge stays on the banner and the panel does not end in mid-air.
    m_ui.Picture1->resize(
        std::max(m_body->width(), twipsToPixelsX(m_window, kDesignWidth)), m_ui.Picture1->height());
    m_ui.picSidebar->resize(m_ui.picSidebar->width(),
        std::max(m_body->height() - m_ui.picSidebar->y(), twipsToPixelsY(m_window, 8910)));
}

} // namespace ambrel
