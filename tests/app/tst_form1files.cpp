#include "WindowTestSupport.h"

#include "app/FileDialog.h"
#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/TaskListModel.h"
#include "project/Project.h"
#include "project/ProjectSession.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTreeView>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace ambrel;

namespace {

const QDate kWednesday(2024, 6, 5);

// Whether some window keeps work for the file (empty: work never saved).
bool keptFor(const QString &file)
{
    const std::vector<ProjectSession::KeptWork> kept = ProjectSession::keptWork();
    return std::any_of(kept.begin(), kept.end(), [&](const auto &work) { return work.file == file; });
}

const QByteArray kProject = "Ambrel project 1\n"
                            "Name: Website: relaunch\n"
                            "Start: 2024-06-17\n"
                            "Working week: off\n"
                            "\n"
                            "Design + 3 days\n"
                            "Build + 10 days\n"
                            "// Docs + 4 days\n";

template <typename T> T *child(const Form1 &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

void trigger(const Form1 &window, const char *name)
{
    child<QAction>(window, name)->trigger();
}

void type(const Form1 &window, const QString &text)
{
    child<QPlainTextEdit>(window, "txtTodo")->setPlainText(text);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace

class tst_Form1Files final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void saveAndOpenGiveTheSameBytes();
    void openShowsTheFile();
    void openRefusesWhatIsNoProject();
    void longTextKeepsWhatIsTypedAtOnce();
    void pastStartDateOpensAndBuilds_data();
    void pastStartDateOpensAndBuilds();
    void failedSaveKeepsTheWorkUnsaved();
    void unsavedChangesQuestion_data();
    void unsavedChangesQuestion();
    void everyKilledWindowComesBackInAWindowOfItsOwn();
    void restoresTheLastFile_data();
    void restoresTheLastFile();
    void recentFiles();
    void saveAsksBeforeLosingAFile_data();
    void saveAsksBeforeLosingAFile();
    void focusOffersReloadOfAChangedFile();

private:
    QString path(const QString &name) const { return m_world->files.filePath(name); }

    std::optional<WindowTest> m_world;
};

void tst_Form1Files::initTestCase()
{
    WindowTest::initTestCase();
}

void tst_Form1Files::init()
{
    m_world.emplace(kWednesday);
}

void tst_Form1Files::cleanup()
{
    m_world.reset();
}

void tst_Form1Files::saveAndOpenGiveTheSameBytes()
{
    writeFile(path("first.ambrel"), kProject);
    const auto window = openForm1();
    QVERIFY(window->openProjectFile(path("first.ambrel")));
    QCOMPARE(window->windowTitle(), QStringLiteral("first.ambrel[*] - Ambrel Pro v1.4"));
    QVERIFY(!window->isModified());

    FileDialog::setNextSaveFileName(path("second.ambrel"));
    trigger(*window, "actionSaveAs");
    // What the copy holds and its new Id are the document's to test; the window takes the picked name.
    QCOMPARE(window->currentFile(), path("second.ambrel"));

    type(*window, QStringLiteral("Design + 3 days"));
    QVERIFY(window->isModified());
    QVERIFY(window->isWindowModified());
    trigger(*window, "actionSave");
    QVERIFY(!window->isModified());
    QVERIFY(readFile(path("second.ambrel")).endsWith("\n\nDesign + 3 days\n"));
    QVERIFY(MessageBox::shown().isEmpty());
}

// What each key of the file gives is the document's to test; the window shows what it took.
void tst_Form1Files::openShowsTheFile()
{
    const QByteArray bytes = kProject;
    const QString name = QStringLiteral("Website: relaunch");
    const bool picked = true;
    const bool workingWeek = false;
    const QString tasks = QStringLiteral("Design + 3 days\nBuild + 10 days\n// Docs + 4 days");

    writeFile(path("project.ambrel"), bytes);
    const auto window = openForm1();
    QSignalSpy builds(window->taskModel(), &QAbstractItemModel::modelReset);
    FileDialog::setNextOpenFileName(path("project.ambrel"));
    trigger(*window, "actionOpen");

    QCOMPARE(child<QLineEdit>(*window, "txtProjectName")->text(), name);
    QCOMPARE(child<QRadioButton>(*window, "optDate_1")->isChecked(), picked);
    QCOMPARE(child<QCalendarWidget>(*window, "Calendar2")->selectedDate(),
        picked ? QDate(2024, 6, 17) : kWednesday);
    QCOMPARE(child<QCheckBox>(*window, "chkExcludeWeekends")->isChecked(), workingWeek);
    QCOMPARE(child<QPlainTextEdit>(*window, "txtTodo")->toPlainText(), tasks);
    QCOMPARE(builds.count(), 1);
    QCOMPARE(window->taskModel()->rows().front().startDate, picked ? QDate(2024, 6, 17) : kWednesday);
    QVERIFY(!window->isModified());
    QVERIFY(MessageBox::shown().isEmpty());

    // The start-up check finds the opened dates as the person left them.
    window->tmrDate_Timer();
    QCOMPARE(builds.count(), 1);
    QVERIFY(!window->isModified());
}

// The other files the document refuses reach the window the same way.
void tst_Form1Files::openRefusesWhatIsNoProject()
{
    writeFile(path("other.ambrel"), "Design + 3\nBuild + 2\n");
    const auto window = openForm1();
    type(*window, QStringLiteral("Kept + 2"));
    window->cmdToList_Click();
    MessageBox::clearShown();

    FileDialog::setNextOpenFileName(path("other.ambrel"));
    MessageBox::setNextAnswer(MessageBox::Discard);
    trigger(*window, "actionOpen");

    QCOMPARE(MessageBox::shown().size(), 2); // the unsaved-changes question, then the refusal
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("other.ambrel")));
    QCOMPARE(child<QPlainTextEdit>(*window, "txtTodo")->toPlainText(), QStringLiteral("Kept + 2"));
    QCOMPARE(window->taskModel()->rowCount(), 1);
    QVERIFY(window->currentFile().isEmpty());
}

// A long task text reaches the box after the list shows; a key pressed before then lands in the whole text,
// and a project opened meanwhile is the one that stays.
void tst_Form1Files::longTextKeepsWhatIsTypedAtOnce()
{
    QByteArray lines;
    for (int i = 0; lines.size() < 300'000; ++i)
        lines += "Task " + QByteArray::number(i) + " + 1\n";
    lines.chop(1);
    writeFile(path("long.ambrel"), "Ambrel project 1\nName: Long\n\n" + lines);
    writeFile(path("short.ambrel"), "Ambrel project 1\nName: Short\n\nShort + 2");
    const auto window = openForm1();
    auto *box = child<QPlainTextEdit>(*window, "txtTodo");

    QVERIFY(window->openProjectFile(path("short.ambrel")));
    QVERIFY(window->openProjectFile(path("long.ambrel")));
    QVERIFY(box->toPlainText().isEmpty()); // rather than the other project's text
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("Z"));
    QCOMPARE(box->toPlainText(), QString::fromLatin1(lines) + u'Z');
    QCOMPARE(window->project().taskText(), box->toPlainText());
    QCOMPARE(box->document()->defaultFont(), box->font());

    // A list action taken during the fill is written into the whole text, which a later key keeps.
    QVERIFY(window->openProjectFile(path("long.ambrel")));
    window->listView1()->setCurrentIndex(window->taskModel()->index(0, 0));
    window->findChild<QAction *>(QStringLiteral("actionMarkDone"))->trigger();
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(box->toPlainText().startsWith(QStringLiteral("Task 0 + 1 [done]\n")));
    QCOMPARE(window->project().taskText(), box->toPlainText());

    QVERIFY(window->openProjectFile(path("long.ambrel")));
    QVERIFY(window->openProjectFile(path("short.ambrel")));
    QTest::qWait(500);
    QCOMPARE(box->toPlainText(), QStringLiteral("Short + 2"));
}

void tst_Form1Files::pastStartDateOpensAndBuilds_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QDate>("savedOn");
    QTest::addColumn<QString>("firstStart");
    QTest::addColumn<bool>("notice");

    QTest::newRow("right away, saved on an earlier day: told once")
        << QByteArray("right away") << QDate(2024, 6, 3) << "6/5/2024" << true;
    QTest::newRow("right away, saved today") << QByteArray("right away") << kWednesday << "6/5/2024" << false;
}

void tst_Form1Files::pastStartDateOpensAndBuilds()
{
    QFETCH(QByteArray, start);
    QFETCH(QDate, savedOn);
    QFETCH(QString, firstStart);
    QFETCH(bool, notice);

    writeFile(path("old.ambrel"), "Ambrel project 1\nStart: " + start + "\n\nDesign + 3\n");
    QFile file(path("old.ambrel"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(savedOn, QTime(12, 0)), QFileDevice::FileModificationTime));
    file.close();
    const auto window = openForm1();
    QVERIFY(window->openProjectFile(path("old.ambrel")));

    QCOMPARE(window->taskModel()->cellText(0, TaskListModel::StartDateColumn), firstStart);
    QCOMPARE(MessageBox::shown().size(), notice ? 1 : 0);
    if (notice)
        QVERIFY2(MessageBox::shown().constFirst().text.contains(QStringLiteral("Start this project on")),
            qPrintable(MessageBox::shown().constFirst().text));
    QVERIFY(!window->isModified());
    QCOMPARE(window->currentFile(), path("old.ambrel"));

    // A past date clicked now is a new pick, and refused as before.
    MessageBox::clearShown();
    child<QCalendarWidget>(*window, "Calendar2")->setSelectedDate(QDate(2024, 5, 2));
    QCOMPARE(shownTexts(), QStringList { "Your project is set to start on a past date. Please fix this." });
}

void tst_Form1Files::failedSaveKeepsTheWorkUnsaved()
{
    writeFile(path("kept.ambrel"), kProject);
    const auto window = openForm1();
    QVERIFY(window->openProjectFile(path("kept.ambrel")));
    type(*window, QStringLiteral("Changed + 1"));

    // A folder in the file's place makes the atomic replacement fail.
    QVERIFY(QDir(m_world->files.path()).mkpath(QStringLiteral("blocked.ambrel/inside")));
    FileDialog::setNextSaveFileName(path("blocked.ambrel"));
    trigger(*window, "actionSaveAs");

    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.startsWith(QStringLiteral("Could not save ")));
    QCOMPARE(window->currentFile(), path("kept.ambrel"));
    QCOMPARE(readFile(path("kept.ambrel")), kProject);
}

void tst_Form1Files::unsavedChangesQuestion_data()
{
    QTest::addColumn<QString>("how"); // new, open or close
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");

    for (const char *how : { "new", "open", "close" }) {
        QTest::addRow("%s, Save", how) << how << int(MessageBox::Save) << true << true;
        QTest::addRow("%s, Discard", how) << how << int(MessageBox::Discard) << true << false;
        QTest::addRow("%s, Cancel", how) << how << int(MessageBox::Cancel) << false << false;
    }
}

void tst_Form1Files::unsavedChangesQuestion()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);

    writeFile(path("mine.ambrel"), kProject);
    writeFile(path("next.ambrel"), "Ambrel project 1\nName: Next\n\nNext + 1\n");
    const auto window = openForm1();
    window->show();
    QVERIFY(window->openProjectFile(path("mine.ambrel")));
    type(*window, QStringLiteral("Changed + 1"));

    MessageBox::setNextAnswer(MessageBox::Answer(answer));
    FileDialog::setNextOpenFileName(path("next.ambrel"));
    bool closed = false;
    if (how == QLatin1String("new"))
        trigger(*window, "actionNew");
    else if (how == QLatin1String("open"))
        trigger(*window, "actionOpen");
    else
        closed = window->close();

    QCOMPARE(shownTexts().first(), QStringLiteral("Save changes to mine.ambrel before closing?"));
    QCOMPARE(MessageBox::shown().first().buttons, MessageBox::SaveDiscardCancel);
    QCOMPARE(readFile(path("mine.ambrel")).endsWith("\n\nChanged + 1\n"), saved);
    const QString box = child<QPlainTextEdit>(*window, "txtTodo")->toPlainText();
    if (!goesOn) {
        QCOMPARE(box, QStringLiteral("Changed + 1"));
        QVERIFY(window->isModified());
        QCOMPARE(window->currentFile(), path("mine.ambrel"));
        QVERIFY(window->isVisible());
    } else if (how == QLatin1String("new")) {
        QVERIFY(box.isEmpty());
        QVERIFY(window->currentFile().isEmpty());
        QCOMPARE(window->windowTitle(), QStringLiteral("Ambrel Pro v1.4"));
    } else if (how == QLatin1String("open")) {
        QCOMPARE(box, QStringLiteral("Next + 1"));
        QCOMPARE(window->currentFile(), path("next.ambrel"));
    } else {
        QVERIFY(closed);
    }
}

void tst_Form1Files::everyKilledWindowComesBackInAWindowOfItsOwn()
{
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kProject);
    {
        const auto untitled = openForm1();
        const auto onFile = openForm1();
        untitled->restoreSession();
        onFile->restoreSession(file);
        child<QLineEdit>(*untitled, "txtProjectName")->setText(QStringLiteral("Shed"));
        type(*untitled, QStringLiteral("Walls + 2"));
        type(*onFile, QStringLiteral("Design + 3 days\nLaunch + 1"));
        QTRY_VERIFY(keptFor(QString()) && keptFor(file));
        // Both windows go without closing, as they would when killed.
    }
    const auto window = openForm1();
    window->restoreSession();
    QList<Form1 *> windows;
    for (QWidget *topLevel : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form1 *>(topLevel))
            windows << form;
    }
    QCOMPARE(windows.size(), 2);
    QVERIFY(MessageBox::shown().isEmpty());
    QStringList texts;
    Form1 *untitled = nullptr;
    for (Form1 *form : windows) {
        if (form->currentFile().isEmpty())
            untitled = form;
        QVERIFY(form->isModified());
        // The title marks the work unsaved, untitled or not.
        QVERIFY(form->isWindowModified() && form->windowTitle().contains(QLatin1String("[*]")));
        texts << child<QPlainTextEdit>(*form, "txtTodo")->toPlainText();
    }
    texts.sort();
    QCOMPARE(texts, QStringList({ "Design + 3 days\nLaunch + 1", "Walls + 2" }));
    QVERIFY(untitled);
    QCOMPARE(child<QLineEdit>(*untitled, "txtProjectName")->text(), QStringLiteral("Shed"));
    QCOMPARE(untitled->taskModel()->rowCount(), 1);

    // Throwing the work away at the close means it does not come back.
    MessageBox::setNextAnswer(MessageBox::Discard);
    untitled->show();
    QVERIFY(untitled->close());
    QVERIFY(!keptFor(QString()));
    for (Form1 *form : windows) {
        // A restored window closed above deletes itself.
        if (form != window.get() && form != untitled)
            delete form;
    }
}

void tst_Form1Files::restoresTheLastFile_data()
{
    QTest::addColumn<bool>("vanishes");
    QTest::addColumn<bool>("named"); // the file is named on the command line instead

    QTest::newRow("last file") << false << false;
    QTest::newRow("last file vanished") << true << false;
    QTest::newRow("named file") << false << true;
    QTest::newRow("named file vanished") << true << true;
}

void tst_Form1Files::restoresTheLastFile()
{
    QFETCH(bool, vanishes);
    QFETCH(bool, named);

    writeFile(path("last.ambrel"), kProject);
    if (!named) {
        const auto window = openForm1();
        window->restoreSession();
        QVERIFY(window->openProjectFile(path("last.ambrel")));
    }
    if (vanishes)
        QFile::remove(path("last.ambrel"));

    for (int start = 0; start < 2; ++start) {
        const auto window = openForm1();
        window->restoreSession(named && start == 0 ? path("last.ambrel") : QString());
        QCOMPARE(window->currentFile(), vanishes ? QString() : path("last.ambrel"));
        QCOMPARE(window->taskModel()->rowCount(), vanishes ? 0 : 3);
        QVERIFY(!window->isModified());
    }
    // A vanished file is told once, not at every start.
    QCOMPARE(MessageBox::shown().size(), vanishes ? 1 : 0);
}

void tst_Form1Files::recentFiles()
{
    const auto window = openForm1();
    window->restoreSession();
    for (int i = 1; i <= 9; ++i) {
        const QString file = path(QStringLiteral("p%1.ambrel").arg(i));
        writeFile(file, kProject);
        QVERIFY(window->openProjectFile(file));
    }
    QVERIFY(window->openProjectFile(path("p3.ambrel")));

    const QStringList recent = ProjectSession::recentFiles();
    QCOMPARE(recent.size(), 8);
    QCOMPARE(recent.first(), path("p3.ambrel"));
    QCOMPARE(recent.at(1), path("p9.ambrel"));
    QVERIFY(!recent.contains(path("p1.ambrel")));

    auto *openRecent = child<QMenu>(*window, "menuOpenRecent");
    emit openRecent->aboutToShow();
    child<QAction>(*window, "actionRecent2")->trigger();
    QCOMPARE(window->currentFile(), path("p9.ambrel"));

    emit openRecent->aboutToShow();
    child<QAction>(*window, "actionClearRecent")->trigger();
    QVERIFY(ProjectSession::recentFiles().isEmpty());
}

void tst_Form1Files::saveAsksBeforeLosingAFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("expected"); // what the file holds afterwards: "mine", "theirs" or "old"
    QTest::newRow("changed, cancel") << "changed" << int(MessageBox::Cancel) << "theirs";
    QTest::newRow("changed, overwrite") << "changed" << int(MessageBox::Overwrite) << "mine";
    QTest::newRow("changed, reload") << "changed" << int(MessageBox::Reload) << "theirs";
    QTest::newRow("changed, save as") << "changed" << int(MessageBox::SaveAs) << "theirs";
    QTest::newRow("read-only, no") << "read-only" << int(MessageBox::No) << "old";
    QTest::newRow("read-only, yes") << "read-only" << int(MessageBox::Yes) << "mine";
    QTest::newRow("hard-linked, yes") << "hard-linked" << int(MessageBox::Yes) << "mine";
}

void tst_Form1Files::saveAsksBeforeLosingAFile()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(QString, expected);
    const QString file = path("site.ambrel");
    writeFile(file, kProject);
    const auto window = openForm1();
    QVERIFY(window->openProjectFile(file));
    type(*window, QStringLiteral("Mine + 1"));
    const QByteArray theirs = QByteArray(kProject).replace("Design + 3", "Design + 9");
    if (how == QLatin1String("changed"))
        writeFile(file, theirs);
    else if (how == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    else
        QCOMPARE(::link(qPrintable(file), qPrintable(path("other.ambrel"))), 0);
    MessageBox::setNextAnswer(MessageBox::Answer(answer));
    FileDialog::setNextSaveFileName(path("copy.ambrel"));
    trigger(*window, "actionSave");

    QCOMPARE(MessageBox::shown().size(), 1);
    const QByteArray now = readFile(file);
    QCOMPARE(now.contains("Mine + 1"), expected == QLatin1String("mine"));
    QCOMPARE(now == theirs, expected == QLatin1String("theirs"));
    QCOMPARE(window->isModified(), answer == MessageBox::Cancel || answer == MessageBox::No);
    if (answer == MessageBox::Reload)
        QVERIFY(
            child<QPlainTextEdit>(*window, "txtTodo")->toPlainText().contains(QStringLiteral("Design + 9")));
    if (answer == MessageBox::SaveAs)
        QVERIFY(readFile(path("copy.ambrel")).contains("Mine + 1"));
    if (how == QLatin1String("read-only"))
        QCOMPARE(QFileInfo(file).permissions() & QFile::WriteOwner, QFile::Permissions());
}

void tst_Form1Files::focusOffersReloadOfAChangedFile()
{
    const QString file = path("site.ambrel");
    writeFile(file, kProject);
    const auto window = openForm1();
    QVERIFY(window->openProjectFile(file));
    writeFile(file, QByteArray(kProject).replace("Design + 3", "Design + 9"));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().buttons, MessageBox::YesNo);
    QVERIFY(child<QPlainTextEdit>(*window, "txtTodo")->toPlainText().contains(QStringLiteral("Design + 9")));
    QVERIFY(!window->isModified());
    // Told once: coming back again asks nothing.
    QApplication::sendEvent(window.get(), &activate);
    QCOMPARE(MessageBox::shown().size(), 1);
}

QTEST_MAIN(tst_Form1Files)
#include "tst_form1files.moc"
