// The timeline in the main window: shown and hidden from the View menu, remembered, level with the task
// list, refreshed as the project changes, and exported as a picture.
#include "WindowTestSupport.h"

#include "app/FileDialog.h"
#include "app/TaskListModel.h"
#include "app/TimelineView.h"
#include "app/WindowLook.h"
#include "project/Project.h"
#include "timeline/TimelineGeometry.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <QWindow>

using namespace ambrel;

namespace {

const QDate kWednesday(2031, 5, 14);

QAction *action(const Form1 &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}

QString tasks(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << (i % 4 == 2 ? QStringLiteral("// Review %1 + 2").arg(i)
                             : QStringLiteral("Task %1 + 3").arg(i));
    return lines.join(QLatin1Char('\n'));
}

std::unique_ptr<Form1> shownWindow(int taskCount, bool timeline)
{
    auto window = openForm1();
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(tasks(taskCount));
    window->cmdToList_Click();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    if (timeline)
        window->setTimelineShown(true);
    return window;
}

QByteArray fileStart(const QString &path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

} // namespace

class tst_Form1Timeline final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void toggleIsRemembered_data();
    void toggleIsRemembered();
    void listKeepsItsPlaceWhileHidden_data();
    void listKeepsItsPlaceWhileHidden();
    void shownTimelineSharesTheListArea();
    void barClickSelectsTheRow_data();
    void barClickSelectsTheRow();
    void barsStayLevelWithTheirRows_data();
    void barsStayLevelWithTheirRows();
    void followsProjectChanges_data();
    void followsProjectChanges();
    void exportWritesThePicture_data();
    void exportWritesThePicture();
    void layoutHoldsAtEverySize_data();
    void layoutHoldsAtEverySize();
    void windowPlaceIsRemembered_data();
    void windowPlaceIsRemembered();

private:
    std::optional<WindowTest> m_world;
};

void tst_Form1Timeline::initTestCase()
{
    WindowTest::initTestCase();
}

void tst_Form1Timeline::init()
{
    m_world.emplace(kWednesday);
}

void tst_Form1Timeline::cleanup()
{
    m_world.reset();
}

void tst_Form1Timeline::toggleIsRemembered_data()
{
    QTest::addColumn<bool>("byKey"); // Ctrl+T, or the menu entry
    QTest::addColumn<int>("toggles");
    QTest::addColumn<bool>("shownAfter");

    QTest::newRow("Ctrl+T shows it") << true << 1 << true;
    QTest::newRow("Ctrl+T twice hides it again") << true << 2 << false;
    QTest::newRow("the menu entry shows it") << false << 1 << true;
    QTest::newRow("the menu entry thrice leaves it shown") << false << 3 << true;
}

void tst_Form1Timeline::toggleIsRemembered()
{
    QFETCH(bool, byKey);
    QFETCH(int, toggles);
    QFETCH(bool, shownAfter);

    {
        const auto window = shownWindow(3, false);
        QVERIFY(window);
        window->restoreSession();
        QVERIFY(!window->timelineView()->isVisible());
        for (int i = 0; i < toggles; ++i) {
            if (byKey) {
                // The task box has the focus: its own keys must not swallow the menu's.
                window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setFocus();
                QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
            } else {
                action(*window, "actionTimeline")->trigger();
            }
        }
        QCOMPARE(window->timelineView()->isVisible(), shownAfter);
        QCOMPARE(action(*window, "actionTimeline")->isChecked(), shownAfter);
        QCOMPARE(action(*window, "actionZoomIn")->isEnabled(), shownAfter);
    }

    // The next run opens as the last one was left.
    const auto next = shownWindow(3, false);
    QVERIFY(next);
    next->restoreSession();
    QCOMPARE(next->timelineView()->isVisible(), shownAfter);
    QCOMPARE(action(*next, "actionTimeline")->isChecked(), shownAfter);
    QVERIFY(MessageBox::shown().isEmpty());
}

void tst_Form1Timeline::listKeepsItsPlaceWhileHidden_data()
{
    QTest::addColumn<bool>("showFirst");
    QTest::addColumn<QSize>("resizeWhileShown"); // an empty size: no resize

    QTest::newRow("never shown") << false << QSize();
    QTest::newRow("shown, then hidden") << true << QSize();
    QTest::newRow("shown, resized and back, then hidden") << true << QSize(1500, 900);
}

void tst_Form1Timeline::listKeepsItsPlaceWhileHidden()
{
    QFETCH(bool, showFirst);
    QFETCH(QSize, resizeWhileShown);

    const auto window = shownWindow(5, showFirst);
    QVERIFY(window);
    const QSize designSize = window->size();
    if (resizeWhileShown.isValid()) {
        window->resize(resizeWhileShown);
        QTRY_COMPARE(window->size(), resizeWhileShown);
        window->resize(designSize);
        QTRY_COMPARE(window->size(), designSize);
    }
    if (showFirst)
        window->setTimelineShown(false);

    QTreeView *list = window->listView1();
    const int W = window->frameGeometry().width();
    QCOMPARE(list->x(), twipsToPixelsX(window.get(), 5895));
    QCOMPARE(list->y(), twipsToPixelsY(window.get(), 1800));
    QCOMPARE(list->height(), twipsToPixelsY(window.get(), 7755));
    QVERIFY(qAbs(list->geometry().right() + 1 - (W - twipsToPixelsX(window.get(), 700))) <= 1);
    QCOMPARE(list->verticalScrollMode(), QAbstractItemView::ScrollPerItem);
    QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QVERIFY(!window->timelineView()->isVisible());
}

void tst_Form1Timeline::shownTimelineSharesTheListArea()
{
    const auto window = shownWindow(5, false);
    QVERIFY(window);
    QTreeView *list = window->listView1();
    const QRect area = list->geometry();
    window->setTimelineShown(true);

    const QRect timeline = static_cast<QWidget *>(window->timelineView())->geometry();
    QCOMPARE(list->x(), area.x());
    QVERIFY(list->width() < area.width());
    QVERIFY(timeline.left() > list->geometry().right());
    QCOMPARE(timeline.right(), area.right());
    // The project's name takes a line above the timeline; the rows start below it, level with the list's.
    const QRect title = window->findChild<QWidget *>(QStringLiteral("lblTimelineTitle"))->geometry();
    QCOMPARE(title.top(), area.top());
    QCOMPARE(timeline.top(), title.bottom() + 1);
    QCOMPARE(list->y(), timeline.top());
    QCOMPARE(timeline.bottom(), area.bottom());
    QCOMPARE(window->timelineView()->geometry().rowCount(), 5);
}

void tst_Form1Timeline::barClickSelectsTheRow_data()
{
    QTest::addColumn<int>("row");

    QTest::newRow("the first bar") << 0;
    QTest::newRow("a parallel task's bar") << 2;
    QTest::newRow("the last bar") << 4;
}

void tst_Form1Timeline::barClickSelectsTheRow()
{
    QFETCH(int, row);

    const auto window = shownWindow(5, true);
    QVERIFY(window);
    TimelineView *view = window->timelineView();
    const QRectF bar = view->barRectOnViewport(row);
    QVERIFY(!bar.isEmpty());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, bar.center().toPoint());

    const QModelIndexList selected = window->listView1()->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), row);
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("txtTaskID"))->text(), QString::number(row + 1));
    QVERIFY(action(*window, "actionPostpone")->isEnabled());
}

void tst_Form1Timeline::barsStayLevelWithTheirRows_data()
{
    QTest::addColumn<int>("scrollTo"); // a row to bring into view in the list; -1 the very bottom

    QTest::newRow("unscrolled") << 0;
    QTest::newRow("scrolled to the middle") << 40;
    QTest::newRow("scrolled to the bottom") << -1;
}

void tst_Form1Timeline::barsStayLevelWithTheirRows()
{
    QFETCH(int, scrollTo);

    const auto window = shownWindow(80, true);
    QVERIFY(window);
    QTreeView *list = window->listView1();
    TimelineView *view = window->timelineView();
    QScrollBar *bar = list->verticalScrollBar();
    if (scrollTo < 0)
        bar->setValue(bar->maximum());
    else
        list->scrollTo(window->taskModel()->index(scrollTo, 0), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();

    const int row = scrollTo < 0 ? 79 : scrollTo;
    const QRect listRow = list->visualRect(window->taskModel()->index(row, 0));
    QVERIFY(list->viewport()->rect().intersects(listRow));
    const int listMiddle = list->viewport()->mapToGlobal(listRow.center()).y();
    const int barMiddle = view->viewport()->mapToGlobal(view->barRectOnViewport(row).center().toPoint()).y();
    QVERIFY2(qAbs(listMiddle - barMiddle) <= 1,
        qPrintable(QStringLiteral("%1 %2").arg(listMiddle).arg(barMiddle)));

    // Scrolling the timeline scrolls the list as well.
    view->setVerticalOffset(0);
    QCOMPARE(bar->value(), 0);
}

void tst_Form1Timeline::followsProjectChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<bool>("firstMoves"); // later, by the postponed working days

    QTest::newRow("rebuilt with more tasks") << "rebuild" << 6 << false;
    QTest::newRow("a task removed") << "actionRemoveSelected" << 3 << false;
    QTest::newRow("every task removed") << "actionRemoveAll" << 0 << false;
    QTest::newRow("postponed from the first task") << "postpone" << 4 << true;
}

void tst_Form1Timeline::followsProjectChanges()
{
    QFETCH(QString, change);
    QFETCH(int, rowsAfter);
    QFETCH(bool, firstMoves);

    const auto window = shownWindow(4, true);
    QVERIFY(window);
    window->listView1()->setCurrentIndex(window->taskModel()->index(0, 0));
    const QDate firstStart = window->project().tasks().front().startDate;
    if (change == QLatin1String("rebuild")) {
        window->findChild<QPlainTextEdit *>(QStringLiteral("txtTodo"))->setPlainText(tasks(6));
        window->cmdToList_Click();
    } else if (change == QLatin1String("postpone")) {
        window->findChild<QLineEdit *>(QStringLiteral("txtDaysToPostPone"))->setText(QStringLiteral("7"));
        window->cmdPostpone_Click();
    } else {
        action(*window, qPrintable(change))->trigger();
    }

    const TimelineData &shown = window->timelineView()->geometry().data();
    QCOMPARE(int(shown.tasks.size()), rowsAfter);
    QCOMPARE(shown.today, kWednesday);
    for (int row = 0; row < rowsAfter; ++row) {
        QCOMPARE(shown.tasks[size_t(row)].start, window->project().tasks()[size_t(row)].startDate);
        QCOMPARE(shown.tasks[size_t(row)].end, window->project().tasks()[size_t(row)].endDate);
    }
    if (rowsAfter > 0)
        QCOMPARE(shown.tasks.front().start > firstStart, firstMoves);
}

void tst_Form1Timeline::exportWritesThePicture_data()
{
    QTest::addColumn<QString>("name"); // in the scratch folder; empty: the person cancels
    QTest::addColumn<QByteArray>("fileStart"); // empty: no file is written
    QTest::addColumn<QString>("message"); // a part of the one message shown; empty: none

    QTest::newRow("PNG") << "plan.png" << QByteArray("\x89PNG") << "Done!";
    QTest::newRow("SVG, extension in capitals") << "plan.SVG" << QByteArray("<?xml") << "Done!";
    QTest::newRow("PDF") << "plan.pdf" << QByteArray("%PDF") << "Done!";
    QTest::newRow("an unknown extension is refused") << "plan.jpg" << QByteArray() << ".png, .svg or .pdf";
    QTest::newRow("no extension is refused") << "plan" << QByteArray() << ".png, .svg or .pdf";
    QTest::newRow("a missing folder is told") << "missing/plan.png" << QByteArray() << "Could not write";
    QTest::newRow("cancelled") << "" << QByteArray() << "";
}

void tst_Form1Timeline::exportWritesThePicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, fileStart);
    QFETCH(QString, message);

    // The picture is drawn whether or not the timeline shows.
    const auto window = shownWindow(3, false);
    QVERIFY(window);
    const QString path = name.isEmpty() ? QString() : m_world->files.filePath(name);
    FileDialog::setNextSaveFileName(path);
    action(*window, "actionExportTimeline")->trigger();

    QCOMPARE(FileDialog::calls().size(), 1);
    QCOMPARE(FileDialog::calls().first().kind, FileDialog::Save);
    QVERIFY(FileDialog::calls().first().filter.contains(QLatin1String("*.svg")));
    if (fileStart.isEmpty())
        QVERIFY(!QFile::exists(path));
    else
        QCOMPARE(::fileStart(path, int(fileStart.size())), fileStart);
    const QStringList texts = shownTexts();
    QCOMPARE(texts.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(texts.first().contains(message), qPrintable(texts.first()));
}

void tst_Form1Timeline::layoutHoldsAtEverySize_data()
{
    QTest::addColumn<QSize>("size"); // an empty size: the smallest the window takes

    QTest::newRow("smallest") << QSize();
    QTest::newRow("800 x 600") << QSize(800, 600);
    QTest::newRow("design") << QSize(1142, 689);
    QTest::newRow("1920 x 1080") << QSize(1920, 1080);
}

// At any size the side panel's controls and the export button stay in sight, the list keeps its four
// columns within reach, and the legend's band lies under the rows, level with the list's end.
void tst_Form1Timeline::layoutHoldsAtEverySize()
{
    QFETCH(QSize, size);

    const auto window = shownWindow(30, true);
    QVERIFY(window);
    const QSize smallest = window->minimumSizeHint().expandedTo(window->minimumSize());
    QVERIFY2(smallest.width() <= 800 && smallest.height() <= 600, qPrintable(QStringLiteral("%1 x %2")
        .arg(smallest.width()).arg(smallest.height())));
    window->resize(size.isValid() ? size : smallest);
    QTRY_COMPARE(window->size(), size.isValid() ? size : smallest);
    QApplication::processEvents();

    const QWidget *body = window->centralWidget();
    const auto placed = [&](const char *name) {
        const auto *control = window->findChild<QWidget *>(QString::fromLatin1(name));
        return QRect(control->mapTo(body, QPoint(0, 0)), control->size());
    };
    for (const char *name : { "txtProjectName", "Calendar2", "chkExcludeWeekends", "txtTodo", "cmdToList",
             "Command2", "ListView1", "TimelineView" })
        QVERIFY2(body->rect().contains(placed(name)), name);
    QVERIFY(!placed("Command2").intersects(placed("picSidebar")));
    QVERIFY(placed("txtTodo").height() >= 3 * window->findChild<QWidget *>("txtTodo")->fontMetrics().height());

    QTreeView *list = window->listView1();
    const int columns = list->header()->count();
    QCOMPARE(columns, 7);
    for (int column = 0; column < columns; ++column)
        QVERIFY(!list->isColumnHidden(column) && list->columnWidth(column) > 0);
    QVERIFY(list->horizontalScrollBar()->maximum() >= list->header()->length() - list->viewport()->width());

    TimelineView *view = window->timelineView();
    const int band = view->legendBandHeight();
    QVERIFY(band > 0);
    const int rowsEnd = view->viewport()->mapTo(body, QPoint(0, view->viewport()->height() - band)).y();
    QCOMPARE(list->viewport()->mapTo(body, QPoint(0, list->viewport()->height())).y(), rowsEnd);
    // The last row scrolled into view ends above the band.
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    QApplication::processEvents();
    QVERIFY(view->barRectOnViewport(29).bottom() <= view->viewport()->height() - band);

    // A click on the band selects no row.
    list->clearSelection();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(view->viewport()->width() / 2,
        view->viewport()->height() - band / 2));
    QVERIFY(list->selectionModel()->selectedRows().isEmpty());
    QVERIFY(view->toolTipAt(QPoint(10, view->viewport()->height() - 2)).isEmpty());
}

void tst_Form1Timeline::windowPlaceIsRemembered_data()
{
    QTest::addColumn<bool>("maximised");

    QTest::newRow("moved, resized and the divider dragged") << false;
    QTest::newRow("maximised") << true;
}

// The next run opens where the last closed, at its size or maximised, with the list as wide as it was left.
void tst_Form1Timeline::windowPlaceIsRemembered()
{
    QFETCH(bool, maximised);

    auto window = shownWindow(5, true);
    QVERIFY(window);
    window->restoreSession();
    window->setGeometry(QRect(QPoint(12, 9), QSize(780, 595)));
    QTRY_COMPARE(window->size(), QSize(780, 595));
    auto *handle = window->findChild<QWidget *>(QStringLiteral("TimelineHandle"));
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 20));
    QTest::mouseMove(handle, QPoint(42, 20));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(42, 20));
    const int listWidth = window->listView1()->width();
    if (maximised) {
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
    }
    const QRect normal = window->normalGeometry();
    QVERIFY(window->close()); // discarding the unsaved tasks
    window.reset();
    MessageBox::clearShown();

    const auto next = shownWindow(5, false);
    QVERIFY(next);
    next->restoreSession();
    QTRY_COMPARE(next->isMaximized(), maximised);
    if (!maximised) {
        // The test's screen is hardly larger than the window, so Qt may nudge it; its size is kept.
        QTRY_COMPARE(next->size(), normal.size());
        QCOMPARE(next->listView1()->width(), listWidth);
    }
    QVERIFY(next->timelineView()->isVisible());
    QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(shownTexts().join('|')));
}

QTEST_MAIN(tst_Form1Timeline)
#include "tst_form1timeline.moc"
