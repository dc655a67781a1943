#include "project/Project.h"
#include "project/ProjectDocument.h"

#include <QSignalSpy>
#include <QTest>

using namespace ambrel;

namespace {

const QDate kMonday(2024, 6, 3);

} // namespace

// What each list action writes into the task text: the plan stays in the text, so a save, a restart and a
// publish from the file all see it.
class TestListActions : public QObject {
    Q_OBJECT

private slots:
    void actionText_data();
    void actionText();
    void projectAnnouncesItsEdits();
};

void TestListActions::actionText_data()
{
    QTest::addColumn<QString>("built"); // the task text the list was built from
    QTest::addColumn<QString>("typed"); // the text typed since, when it differs
    QTest::addColumn<QString>("action");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("after"); // the new text, or "refused: " and a word of the refusal

    using Rows = QList<int>;
    QTest::newRow("postpone writes a wait") << "A + 2\nB + 3" << "" << "postpone" << Rows { 1 } << 3
                                            << "A + 2\nB + 3 [wait 3]";
    QTest::newRow("advance writes a negative wait") << "A + 2  " << "" << "postpone" << Rows { 0 } << -2
                                                    << "A + 2 [wait -2]";
    QTest::newRow("a wait already there adds up") << "A + 2 [wait 2] [40%]" << "" << "postpone" << Rows { 0 }
                                                  << 3 << "A + 2 [wait 5] [40%]";
    QTest::newRow("the last of two waits is the one that counts")
        << "A [wait 1][WAIT 4]" << "" << "postpone" << Rows { 0 } << 1 << "A [wait 1][wait 5]";
    QTest::newRow("back to no wait takes the mark away") << "A + 2 [wait 2] [done]" << "" << "postpone"
                                                         << Rows { 0 } << -2 << "A + 2 [done]";
    QTest::newRow("a group that is no mark refuses a move")
        << "Buy [milk]" << "" << "postpone" << Rows { 0 } << 1 << "refused: [milk]";
    QTest::newRow("more than six digits refused") << "A [wait 999998]" << "" << "postpone" << Rows { 0 } << 2
                                                  << "refused: 999,999";
    QTest::newRow("a move the builder refuses changes nothing")
        << "A + 1 [from 9999-12-01]\nB + 10" << "" << "postpone" << Rows { 1 } << 20 << "refused: 9999";
    QTest::newRow("remove takes the line, empty lines counted")
        << "A\n\nB\nC" << "" << "remove" << Rows { 1 } << 0 << "A\n\nC";
    QTest::newRow("remove the last line") << "A\r\nB" << "" << "remove" << Rows { 1 } << 0 << "A";
    QTest::newRow("mark done") << "A + 2\nB" << "" << "done" << Rows { 0, 1 } << 0 << "A + 2 [done]\nB [done]";
    QTest::newRow("some done: all done") << "A [done]\nB" << "" << "done" << Rows { 0, 1 } << 0
                                         << "A [done]\nB [done]";
    QTest::newRow("all done: undone, a share counts again")
        << "A [40%] [done]\nB [100%]" << "" << "done" << Rows { 0, 1 } << 0 << "A [40%]\nB";
    QTest::newRow("a group that is no mark refuses done")
        << "Buy [milk]" << "" << "done" << Rows { 0 } << 0 << "refused: [milk]";
    QTest::newRow("typed since the build: the same task, built afresh")
        << "A\nB + 2" << "X\nA\nB + 2" << "postpone" << Rows { 1 } << 1 << "X\nA\nB + 2 [wait 1]";
    QTest::newRow("typed since the build: the nearest line of that name")
        << "A\nB\nA" << "X\nA\nB\nA" << "postpone" << Rows { 2 } << 1 << "X\nA\nB\nA [wait 1]";
    QTest::newRow("typed since the build: the task is gone")
        << "A\nB + 2" << "A\nC + 2" << "remove" << Rows { 1 } << 0 << "refused: no longer";
}

void TestListActions::actionText()
{
    QFETCH(QString, built);
    QFETCH(QString, typed);
    QFETCH(QString, action);
    QFETCH(QList<int>, rows);
    QFETCH(int, days);
    QFETCH(QString, after);

    ProjectDocument document;
    Project &project = document.project();
    Settings settings;
    settings.WorkingWeek = { 0, 1, 1, 1, 1, 1, 0, 0 };
    project.setSettings(settings);
    project.begin(kMonday);
    project.setTaskText(built);
    QVERIFY(!project.rebuild(kMonday));
    if (!typed.isEmpty())
        project.setTaskText(typed);
    const QString before = project.taskText();

    const auto kind = action == QLatin1String("postpone") ? ProjectDocument::ListAction::Postpone
        : action == QLatin1String("remove")               ? ProjectDocument::ListAction::Remove
                                                          : ProjectDocument::ListAction::MarkDone;
    const Refusable<QString> text
        = document.listActionText(kind, std::vector<int>(rows.begin(), rows.end()), days, kMonday);
    if (after.startsWith(QLatin1String("refused: "))) {
        QVERIFY(text.refused());
        QVERIFY2(text.refusal().text.contains(after.mid(9)), qPrintable(text.refusal().text));
    } else {
        QVERIFY2(!text.refused(), text.refused() ? qPrintable(text.refusal().text) : "");
        QCOMPARE(*text, after);
    }
    // The document computes the text; only the window puts it in the task box.
    QCOMPARE(project.taskText(), before);
}

void TestListActions::projectAnnouncesItsEdits()
{
    ProjectDocument document;
    QSignalSpy state(&document, &ProjectDocument::stateChanged);
    document.project().setTaskText(QStringLiteral("A + 1"));
    QVERIFY(document.isModified());
    const auto told = state.count();
    document.project().setTaskText(QStringLiteral("A + 1"));
    QCOMPARE(state.count(), told); // the same text again is no edit
    document.project().setTaskText(QString());
    QVERIFY(!document.isModified());
}

QTEST_GUILESS_MAIN(TestListActions)
#include "tst_listactions.moc"
