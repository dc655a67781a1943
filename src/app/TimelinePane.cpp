#include "TimelinePane.h"

#include "app/ExportDestination.h"
#include "app/FileDialog.h"
#include "app/MessageBox.h"
#include "project/ProjectSession.h"
#include "app/TaskListModel.h"
#include "app/TimelineView.h"
#include "app/WindowLook.h"
#include "corekit/Clock.h"
#include "project/Project.h"
#include "timeline/TimelineData.h"
#include "timeline/TimelineExport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <utility>

namespace ambrel {

namespace {

constexpr double kTaskColumnsTwips = 4000 + 2000 + 2000 + 2000;
constexpr int kHandleWidth = 6;
constexpr int kNarrowestTimeline = 120;
constexpr int kNarrowestList = 120;

const char *const kExportTitle = QT_TRANSLATE_NOOP("ambrel::TimelinePane", "Export Timeline");

// The bar between the list and the timeline: dragging it hands width from one to the other.
class SplitHandle final : public QWidget {
public:
    SplitHandle(QWidget *parent, std::function<void(int)> dragged)
        : QWidget(parent)
        , m_dragged(std::move(dragged))
    {
        setObjectName(QStringLiteral("TimelineHandle"));
        setCursor(Qt::SplitHCursor);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        m_pressX = event->globalPosition().x();
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!(event->buttons() & Qt::LeftButton))
            return;
        const double x = event->globalPosition().x();
        m_dragged(int(x - m_pressX));
        m_pressX = x;
        event->accept();
    }

private:
    std::function<void(int)> m_dragged;
    double m_pressX = 0;
};

} // namespace

TimelinePane::TimelinePane(QWidget *window, QWidget *body, QTreeView *list, TaskListModel *tasks, Project *project)
    : QObject(window)
    , m_window(window)
    , m_body(body)
    , m_list(list)
    , m_tasks(tasks)
    , m_project(project)
{
    m_timelineData = std::make_unique<TimelineData>();
    m_timeline = new TimelineView(m_body);
    m_timeline->setFont(m_list->font());
    // The list's scroll bar moves both, so the timeline keeps its own out of sight.
    m_timeline->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_timeline->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The list keeps the keyboard: the timeline only shows its selection, so Tab passes it by.
    m_timeline->setFocusPolicy(Qt::NoFocus);
    m_timeline->setAccessibleName(tr("Timeline"));
    m_timeline->hide();
    m_timelineHandle = new SplitHandle(m_body, [this](int dx) {
        m_listWidthBesideTimeline = m_list->width() + dx;
        layOutTimeline();
    });
    m_timelineHandle->hide();
    m_title = new QLabel(m_body);
    m_title->setObjectName(QStringLiteral("lblTimelineTitle"));
    QFont titleFont = m_list->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setIndent(4);
    m_title->hide();
}

TimelinePane::~TimelinePane() = default;

void TimelinePane::createViewMenu(QMenuBar *bar)
{
    QMenu *view = bar->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    m_actionTimeline = view->addAction(tr("&Timeline"));
    m_actionTimeline->setObjectName(QStringLiteral("actionTimeline"));
    m_actionTimeline->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    m_actionTimeline->setCheckable(true);
    connect(m_actionTimeline, &QAction::toggled, this, &TimelinePane::setShown);
    view->addSeparator();
    const struct {
        const char *name;
        QString text;
        QKeySequence keys;
        void (TimelineView::*slot)();
    } zooms[] = {
        { "actionZoomIn", tr("Zoom &In"), QKeySequence::ZoomIn, &TimelineView::zoomIn },
        { "actionZoomOut", tr("Zoom &Out"), QKeySequence::ZoomOut, &TimelineView::zoomOut },
        { "actionFitToWindow", tr("&Fit to Window"), QKeySequence(Qt::CTRL | Qt::Key_0),
            &TimelineView::fitToWindow },
    };
    for (const auto &zoom : zooms) {
        QAction *action = view->addAction(zoom.text);
        action->setObjectName(QString::fromLatin1(zoom.name));
        QList<QKeySequence> keys { zoom.keys };
        // Ctrl++ needs Shift on many keyboards, so the unshifted Ctrl+= zooms in as well.
        if (zoom.slot == &TimelineView::zoomIn)
            keys << QKeySequence(Qt::CTRL | Qt::Key_Equal);
        action->setShortcuts(keys);
        // Zooming a hidden timeline would change nothing the person can see.
        action->setEnabled(false);
        connect(m_actionTimeline, &QAction::toggled, action, &QAction::setEnabled);
        connect(action, &QAction::triggered, m_timeline, zoom.slot);
    }
}

void TimelinePane::connectList()
{
    // The list's model, and with it its selection model, is set once the window has loaded.
    m_timeline->setSelectionModel(m_list->selectionModel());
    connect(m_timeline, &TimelineView::rowClicked, this, &TimelinePane::rowClicked);
    connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, m_timeline,
        &TimelineView::setVerticalOffset);
    connect(m_timeline, &TimelineView::verticalOffsetChanged, m_list->verticalScrollBar(),
        &QScrollBar::setValue);
    connect(m_project, &Project::scheduleReset, this, &TimelinePane::refresh);
}

void TimelinePane::refresh()
{
    m_timelineStale = true;
    // A hidden timeline costs a rebuild nothing; it catches up when it is shown.
    if (!m_actionTimeline->isChecked())
        return;
    *m_timelineData = TimelineData::fromProject(*m_project, Clock::today());
    if (m_tasks->rowCount() > 0)
        m_timeline->setRowMetrics(m_list->header()->height(), m_list->sizeHintForRow(0));
    m_timeline->setData(m_timelineData.get());
    m_title->setText(m_timelineData->projectName.trimmed());
    // The legend's band can grow with what the plan holds, and the list ends level with the rows above it.
    layOutTimeline();
    m_timeline->setVerticalOffset(m_list->verticalScrollBar()->value());
    m_timelineStale = false;
}

void TimelinePane::setShown(bool shown)
{
    if (m_actionTimeline->isChecked() != shown) {
        // Checking the action comes back here through its toggled signal.
        m_actionTimeline->setChecked(shown);
        return;
    }
    if (shown == m_timeline->isVisibleTo(m_body))
        return;
    if (shown) {
        m_listArea = m_list->geometry();
        // Row by row the list could stop short of the timeline's last pixels, leaving bars off their rows.
        m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_timeline->show();
        m_timelineHandle->show();
        m_title->show();
        layOutTimeline();
        if (m_timelineStale)
            refresh();
    } else {
        m_timeline->hide();
        m_timelineHandle->hide();
        m_title->hide();
        m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_list->setGeometry(m_listArea);
        emit listPlaced();
    }
    m_timeline->setVerticalOffset(m_list->verticalScrollBar()->value());
    // Start-up shows the timeline as remembered, which needs no second write.
    if (ProjectSession::timelineShown() == shown)
        return;
    if (const std::optional<Refusal> failed = ProjectSession::setTimelineShown(shown))
        MessageBox::show(m_window, failed->text, tr("Timeline"), MessageBox::Exclamation);
}

void TimelinePane::takeListArea()
{
    const int top = m_listArea.y();
    const bool shown = m_timeline->isVisibleTo(m_body);
    m_listArea = m_list->geometry();
    // While the timeline shows, the list sits below the title, whose line still belongs to the area.
    if (shown)
        m_listArea.moveTop(top);
    layOutTimeline();
}

void TimelinePane::setListWidthBesideTimeline(int width)
{
    m_listWidthBesideTimeline = std::max(0, width);
    layOutTimeline();
}

void TimelinePane::layOutTimeline()
{
    if (!m_timeline->isVisibleTo(m_body))
        return;
    // The title takes a line off the top of the area, across the list as well, so that rows stay level.
    const int titleHeight = m_title->fontMetrics().height() + 6;
    const QRect area = m_listArea.adjusted(0, std::min(titleHeight, m_listArea.height()), 0, 0);
    const int columns = twipsToPixelsX(m_window, kTaskColumnsTwips) + 2 * m_list->frameWidth()
        + m_window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list);
    // Until the person drags the handle, the list keeps its four columns where the area has room for
    // them, and otherwise half of it, so that the bars are not squeezed to a sliver.
    const int wanted = m_listWidthBesideTimeline > 0 ? m_listWidthBesideTimeline
                                                     : std::min(columns, area.width() / 2);
    const int room = area.width() - kHandleWidth - kNarrowestTimeline;
    const int listWidth = std::max(std::min(wanted, room), std::min(kNarrowestList, room));
    m_list->setGeometry(area.x(), area.y(), std::max(0, listWidth), area.height());
    m_timelineHandle->setGeometry(m_list->geometry().right() + 1, area.y(), kHandleWidth, area.height());
    const int timelineLeft = m_timelineHandle->geometry().right() + 1;
    const int timelineWidth = std::max(0, area.right() + 1 - timelineLeft);
    m_timeline->setGeometry(timelineLeft, area.y(), timelineWidth, area.height());
    m_title->setGeometry(timelineLeft, m_listArea.y(), timelineWidth, area.y() - m_listArea.y());
    // The list stops where the timeline's rows stop, above the legend's band, so both scroll alike.
    m_list->resize(m_list->width(), std::max(0, area.height() - m_timeline->legendBandHeight()));
    emit listPlaced();
}

void TimelinePane::exportPicture(const QString &)
{
    if (m_tasks->rowCount() == 0) {
        MessageBox::show(m_window, tr("Please add some tasks to your project."),
            tr("Missing Info"), MessageBox::Information);
        return;
    }
    const QString path = ExportDestination::choose(m_window, ExportDestination::Timeline,
        m_project->name().trimmed().isEmpty() ? tr("Timeline") : m_project->name(), tr(kExportTitle),
        tr("PNG picture (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"), true);
    if (path.isEmpty())
        return;
    if (!TimelineExport::formatForFile(path)) {
        MessageBox::show(m_window,
            tr("The timeline can be saved only as a .png, .svg or .pdf file; \"%1\" ends in none "
               "of these. Nothing was written.")
                .arg(QFileInfo(path).fileName()),
            tr(kExportTitle), MessageBox::Exclamation);
        return;
    }
    // The picture shows the schedule as it is now, even while the timeline is hidden.
    const TimelineData data = TimelineData::fromProject(*m_project, Clock::today());
    if (const std::optional<Refusal> failed = TimelineExport::write(data, path)) {
        MessageBox::show(m_window, failed->text, tr(kExportTitle), MessageBox::Critical);
        return;
    }
    MessageBox::show(m_window,
        tr("Done! The timeline was saved to %1.").arg(QDir::toNativeSeparators(path)),
        tr(kExportTitle), MessageBox::Information, MessageBox::OkOnly,
        QStringLiteral("exports.html#timeline-picture"));
}

} // namespace ambrel
