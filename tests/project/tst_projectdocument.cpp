#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectFile.h"
#include "project/ProjectSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ambrel;

namespace {

const QByteArray kSite = "Ambrel project 1\nName: Site\nStart: right away\nWorking week: on\n\nDesign + 3\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// An edit as the window pushes it.
void type(ProjectDocument &document, const QString &text)
{
    document.project().setTaskText(text);
    document.changed();
}

// A document that keeps its work, as a window's does once the session is restored.
std::unique_ptr<ProjectDocument> startedDocument(
    const QString &fileName, std::vector<std::unique_ptr<WorkSlot>> *others = nullptr)
{
    auto document = std::make_unique<ProjectDocument>();
    auto rest = document->restoreSession(fileName);
    if (others)
        *others = std::move(rest);
    return document;
}

} // namespace

class TestProjectDocument : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void modifiedFollowsTheSavedBytes();
    void saveAndOpenKeepTheBytes();
    void failedSaveKeepsTheWorkUnsaved();
    void openTakesTheFile_data();
    void openTakesTheFile();
    void openRefusesWhatIsNoProject_data();
    void openRefusesWhatIsNoProject();
    void savesGiveTheLastingId_data();
    void savesGiveTheLastingId();
    void everyWindowKeepsItsOwnWork();
    void runningWindowsKeepTheirWork();
    void namedFileLeavesOtherWorkKept();
    void relativeNameBringsBackItsChanges();
    void oldPlacesComeBackOnce();
    void savedOrClosedWorkDoesNotComeBack_data();
    void savedOrClosedWorkDoesNotComeBack();
    void changedElsewhereIsNotOverwrittenUnasked_data();
    void changedElsewhereIsNotOverwrittenUnasked();
    void keptChangesOverNewerFileAreTold_data();
    void keptChangesOverNewerFileAreTold();
    void keptChangesComeBack_data();
    void keptChangesComeBack();
    void openedPlanBuildsAfterItsStart();

private:
    QString path(const QString &name) const { return m_files->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<QTemporaryDir> m_files;
};

void TestProjectDocument::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    m_files = std::make_unique<QTemporaryDir>();
    Paths::setDataFolder(m_data->path());
}

void TestProjectDocument::cleanup()
{
    Paths::setDataFolder(QString());
    m_files.reset();
    m_data.reset();
}

void TestProjectDocument::modifiedFollowsTheSavedBytes()
{
    ProjectDocument document;
    QSignalSpy state(&document, &ProjectDocument::stateChanged);
    QVERIFY(!document.isModified());
    type(document, QStringLiteral("A + 1"));
    QVERIFY(document.isModified());
    QVERIFY(state.count() > 0);
    // Typing it back as it was is no change to save.
    type(document, QString());
    QVERIFY(!document.isModified());
    QCOMPARE(document.displayName(), QStringLiteral("My Project"));
    document.project().setName(QString());
    QCOMPARE(document.displayName(), QStringLiteral("Untitled"));
}

void TestProjectDocument::saveAndOpenKeepTheBytes()
{
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    ProjectDocument document;
    QSignalSpy replaced(&document, &ProjectDocument::contentReplaced);
    QVERIFY(!document.open(file));
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(document.filePath(), file);
    QCOMPARE(document.project().taskText(), QStringLiteral("Design + 3"));
    QVERIFY(!document.isModified());

    type(document, QStringLiteral("Design + 3\nBuild + 2"));
    QVERIFY(!document.save());
    QVERIFY(!document.isModified());
    QCOMPARE(readFile(file),
        QByteArray(kSite).replace("on\n\n", "on\nId: Site\n\n").replace("Design + 3\n", "Design + 3\nBuild + 2\n"));

    const QString copy = path(QStringLiteral("copy.ambrel"));
    QVERIFY(!document.saveAs(copy));
    QCOMPARE(document.filePath(), copy);
    QCOMPARE(readFile(copy).replace("Id: " + document.project().id().toUtf8(), "Id: Site"), readFile(file));

    // A file that cannot be opened changes nothing.
    const std::optional<Refusal> refusal = document.open(path(QStringLiteral("missing.ambrel")));
    QVERIFY(refusal);
    QVERIFY(refusal->text.contains(QStringLiteral("missing.ambrel")));
    QCOMPARE(document.filePath(), copy);
}

void TestProjectDocument::failedSaveKeepsTheWorkUnsaved()
{
    ProjectDocument document;
    type(document, QStringLiteral("A + 1"));
    const QString folder = path(QStringLiteral("folder.ambrel"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/inside")));
    QVERIFY(document.saveAs(folder));
    QVERIFY(document.isModified());
    QVERIFY(document.filePath().isEmpty());
}

void TestProjectDocument::openTakesTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("picked"); // null: the project starts right away
    QTest::addColumn<bool>("workingWeek");
    QTest::addColumn<QString>("tasks");

    QTest::newRow("every key")
        << QByteArray("Ambrel project 1\nName: Website: relaunch\nStart: 2024-06-17\nWorking week: off\n\n"
                      "Design + 3 days\nBuild + 10 days\n// Docs + 4 days\n")
        << "Website: relaunch" << QDate(2024, 6, 17) << false
        << "Design + 3 days\nBuild + 10 days\n// Docs + 4 days";
    QTest::newRow("missing keys take their defaults")
        << QByteArray("Ambrel project 1\n\nDesign + 3\n") << "My Project" << QDate() << true << "Design + 3";
    QTest::newRow("unknown key is passed over")
        << QByteArray("Ambrel project 1\nColour: red\nName: Shed\n\nDesign + 3\n") << "Shed" << QDate() << true
        << "Design + 3";
    QTest::newRow("CR LF line ends") << QByteArray("Ambrel project 1\r\nName: Shed\r\n\r\nA + 1\r\nB + 2\r\n")
                                     << "Shed" << QDate() << true << "A + 1\nB + 2";
}

void TestProjectDocument::openTakesTheFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QDate, picked);
    QFETCH(bool, workingWeek);
    QFETCH(QString, tasks);

    const QString file = path(QStringLiteral("project.ambrel"));
    writeFile(file, bytes);
    ProjectDocument document;
    QVERIFY(!document.open(file));
    const ProjectFileContent content = document.content();
    QCOMPARE(content.name, name);
    QCOMPARE(content.startOnPickedDate, picked.isValid());
    if (picked.isValid())
        QCOMPARE(content.pickedStartDate, picked);
    QCOMPARE(content.workingWeekApplies, workingWeek);
    QCOMPARE(content.taskText, tasks);
    QVERIFY(!document.isModified());
}

void TestProjectDocument::openRefusesWhatIsNoProject_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no such file

    QTest::newRow("plain task text") << QByteArray("Design + 3\nBuild + 2\n");
    QTest::newRow("start it cannot take") << QByteArray("Ambrel project 1\nStart: soon\n\nA + 1\n");
    QTest::newRow("vanished file") << QByteArray();
}

// A refused file names itself and leaves the work there was, unsaved, in place.
void TestProjectDocument::openRefusesWhatIsNoProject()
{
    QFETCH(QByteArray, bytes);

    const QString file = path(QStringLiteral("other.ambrel"));
    if (!bytes.isNull())
        writeFile(file, bytes);
    ProjectDocument document;
    type(document, QStringLiteral("Kept + 2"));
    QSignalSpy replaced(&document, &ProjectDocument::contentReplaced);

    const std::optional<Refusal> refusal = document.open(file);
    QVERIFY(refusal);
    QVERIFY2(refusal->text.contains(QStringLiteral("other.ambrel")), qPrintable(refusal->text));
    QCOMPARE(replaced.count(), 0);
    QCOMPARE(document.project().taskText(), QStringLiteral("Kept + 2"));
    QVERIFY(document.isModified());
    QVERIFY(document.filePath().isEmpty());
}

void TestProjectDocument::savesGiveTheLastingId_data()
{
    QTest::addColumn<QByteArray>("idLine"); // of the file opened; empty for a new project
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<QString>("expected"); // "new" for a fresh UUID
    QTest::newRow("new project, first save") << QByteArray() << true << "new";
    QTest::newRow("untitled work keeps the Id it published under") << QByteArray("untitled") << true << "";
    QTest::newRow("old file saved takes its name") << QByteArray("-") << false << "Site";
    QTest::newRow("old file saved as a copy") << QByteArray("-") << true << "new";
    QTest::newRow("Id kept on save") << QByteArray("Id: 1234abcd") << false << "1234abcd";
    QTest::newRow("Id kept over a rename") << QByteArray("Id: 1234abcd") << false << "1234abcd";
    QTest::newRow("copy gets its own Id") << QByteArray("Id: 1234abcd") << true << "new";
}

void TestProjectDocument::savesGiveTheLastingId()
{
    QFETCH(QByteArray, idLine);
    QFETCH(bool, saveAs);
    QFETCH(QString, expected);
    ProjectDocument document;
    if (idLine == "untitled") {
        document.takeLastingId(); // before a publish
        expected = document.project().id();
    } else if (!idLine.isEmpty()) {
        const QString file = path(QStringLiteral("site.ambrel"));
        writeFile(file, idLine == "-" ? kSite : QByteArray(kSite).replace("on\n\n", "on\n" + idLine + "\n\n"));
        QVERIFY(!document.open(file));
    }
    if (QString::fromUtf8(QTest::currentDataTag()).contains(QLatin1String("rename")))
        document.project().setName(QStringLiteral("Renamed"));
    const QString target = path(saveAs ? QStringLiteral("other.ambrel") : QStringLiteral("site.ambrel"));
    QVERIFY(!(saveAs ? document.saveAs(target) : document.save()));

    const QString id = document.project().id();
    if (expected == QLatin1String("new")) {
        static const QRegularExpression uuid(
            QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
        QVERIFY2(uuid.match(id).hasMatch(), qPrintable(id));
        QVERIFY(id != QLatin1String("1234abcd"));
    } else {
        QCOMPARE(id, expected);
    }
    QVERIFY(readFile(target).contains("\nId: " + id.toUtf8() + "\n"));
    QVERIFY(!document.isModified());
}

void TestProjectDocument::everyWindowKeepsItsOwnWork()
{
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    {
        // Two windows, one untitled and one on a file, both edited, both killed.
        const auto untitled = startedDocument(QString());
        const auto onFile = startedDocument(file);
        type(*untitled, QStringLiteral("Walls + 2"));
        type(*onFile, QStringLiteral("Design + 3\nLaunch + 1"));
        QVERIFY(!untitled->keepNow());
        QVERIFY(!onFile->keepNow());
    }
    std::vector<std::unique_ptr<WorkSlot>> others;
    const auto first = startedDocument(QString(), &others);
    QCOMPARE(others.size(), size_t(1));
    ProjectDocument second;
    QVERIFY(!second.restoreKept(std::move(others.front())));

    QStringList texts { first->project().taskText(), second.project().taskText() };
    texts.sort();
    QCOMPARE(texts, QStringList({ "Design + 3\nLaunch + 1", "Walls + 2" }));
    QVERIFY(first->isModified() && second.isModified());
    const ProjectDocument &onFile = first->filePath().isEmpty() ? second : *first;
    QCOMPARE(onFile.filePath(), file);
    QCOMPARE(readFile(file), kSite); // the file itself keeps what was saved
}

void TestProjectDocument::runningWindowsKeepTheirWork()
{
    const auto running = startedDocument(QString());
    type(*running, QStringLiteral("Walls + 2"));
    QVERIFY(!running->keepNow());
    // A second start while the first window runs takes nothing of its work.
    std::vector<std::unique_ptr<WorkSlot>> others;
    const auto second = startedDocument(QString(), &others);
    QVERIFY(others.empty());
    QVERIFY(second->project().taskText().isEmpty());
    QCOMPARE(ProjectSession::keptWork().size(), size_t(1));
}

void TestProjectDocument::namedFileLeavesOtherWorkKept()
{
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    {
        const auto untitled = startedDocument(QString());
        type(*untitled, QStringLiteral("Walls + 2"));
        QVERIFY(!untitled->keepNow());
    }
    {
        std::vector<std::unique_ptr<WorkSlot>> others;
        const auto named = startedDocument(file, &others);
        QCOMPARE(named->filePath(), file);
        QVERIFY(!named->isModified());
        QVERIFY(others.empty());
        named->close();
    }
    // The untitled work waits for the next start without a file.
    const auto next = startedDocument(QString());
    QCOMPARE(next->project().taskText(), QStringLiteral("Walls + 2"));
    QVERIFY(next->filePath().isEmpty());
}

void TestProjectDocument::relativeNameBringsBackItsChanges()
{
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    const QString before = QDir::currentPath();
    QDir::setCurrent(m_files->path());
    {
        const auto crashed = startedDocument(QStringLiteral("site.ambrel"));
        type(*crashed, QStringLiteral("Design + 3\nLaunch + 1"));
        QVERIFY(!crashed->keepNow());
    }
    const auto restarted = startedDocument(QStringLiteral("site.ambrel"));
    QDir::setCurrent(before);
    QCOMPARE(restarted->filePath(), file);
    QCOMPARE(restarted->project().taskText(), QStringLiteral("Design + 3\nLaunch + 1"));
    QVERIFY(restarted->isModified());
}

void TestProjectDocument::oldPlacesComeBackOnce()
{
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    const QDir data(m_data->path());
    writeFile(data.filePath(QStringLiteral("unsaved.ambrel")),
        "Ambrel project 1\nName: Shed\nStart: right away\nWorking week: on\n\nRoof + 1\n");
    writeFile(data.filePath(QStringLiteral("unsaved-changes.txt")),
        file.toUtf8() + "\n" + QByteArray(kSite).replace("Design + 3", "Design + 5"));

    std::vector<std::unique_ptr<WorkSlot>> others;
    const auto first = startedDocument(QString(), &others);
    QCOMPARE(others.size(), size_t(1));
    ProjectDocument second;
    second.restoreKept(std::move(others.front()));
    QStringList texts { first->project().taskText(), second.project().taskText() };
    texts.sort();
    QCOMPARE(texts, QStringList({ "Design + 5", "Roof + 1" }));
    QVERIFY(!QFile::exists(data.filePath(QStringLiteral("unsaved.ambrel"))));
    QVERIFY(!QFile::exists(data.filePath(QStringLiteral("unsaved-changes.txt"))));
}

void TestProjectDocument::savedOrClosedWorkDoesNotComeBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("saved") << "saved";
    QTest::newRow("saved over its file") << "saved in place";
    QTest::newRow("closed") << "closed";
    QTest::newRow("new project") << "new";
    QTest::newRow("typed back") << "typed back";
}

void TestProjectDocument::savedOrClosedWorkDoesNotComeBack()
{
    QFETCH(QString, how);
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    {
        const auto document = startedDocument(how == QLatin1String("saved in place") ? file : QString());
        type(*document, QStringLiteral("Walls + 2"));
        QVERIFY(!document->keepNow());
        QCOMPARE(ProjectSession::keptWork().size(), size_t(1));
        if (how == QLatin1String("saved")) {
            QVERIFY(!document->saveAs(path(QStringLiteral("shed.ambrel"))));
        } else if (how == QLatin1String("saved in place")) {
            QVERIFY(!document->save());
        } else if (how == QLatin1String("closed")) {
            document->close();
        } else if (how == QLatin1String("new")) {
            document->newProject();
        } else {
            type(*document, QString());
            QVERIFY(!document->keepNow());
        }
    }
    QVERIFY(ProjectSession::keptWork().empty());
}

void TestProjectDocument::changedElsewhereIsNotOverwrittenUnasked_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("changed");
    QTest::newRow("rewritten in place") << "rewritten" << true;
    QTest::newRow("replaced by a new file") << "replaced" << true;
    QTest::newRow("touched, same bytes") << "touched" << false;
    QTest::newRow("moved away") << "moved" << false;
}

void TestProjectDocument::changedElsewhereIsNotOverwrittenUnasked()
{
    QFETCH(QString, how);
    QFETCH(bool, changed);
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    ProjectDocument document;
    QVERIFY(!document.open(file));
    const QByteArray theirs = QByteArray(kSite).replace("Design + 3", "Design + 9");
    if (how == QLatin1String("rewritten")) {
        writeFile(file, theirs);
    } else if (how == QLatin1String("replaced")) {
        writeFile(path(QStringLiteral("sync.tmp")), theirs);
        QVERIFY(QFile::remove(file) && QFile::rename(path(QStringLiteral("sync.tmp")), file));
    } else if (how == QLatin1String("touched")) {
        writeFile(file, kSite);
    } else {
        QVERIFY(QFile::rename(file, path(QStringLiteral("elsewhere.ambrel"))));
    }
    QCOMPARE(document.fileChangedElsewhere(), changed);
    QCOMPARE(document.takeNewChangeElsewhere(), changed);
    QVERIFY(!document.takeNewChangeElsewhere()); // each change is told once

    type(document, QStringLiteral("Design + 3\nBuild + 2"));
    const std::optional<Refusal> refused = document.save();
    QCOMPARE(bool(refused), changed);
    if (!changed)
        return;
    QVERIFY(refused->text.contains(file));
    QCOMPARE(readFile(file), theirs);
    QVERIFY(document.isModified());
    // Save As onto another file needs no asking; the person's Overwrite does write over theirs.
    QVERIFY(!document.saveAs(file, {}, ProjectDocument::ChangedFile::Overwrite));
    QVERIFY(readFile(file).contains("Build + 2"));
    QVERIFY(!document.fileChangedElsewhere());
    // Reload takes the other program's version and leaves nothing unsaved.
    writeFile(file, theirs);
    QVERIFY(!document.reload());
    QCOMPARE(document.project().taskText(), QStringLiteral("Design + 9"));
    QVERIFY(!document.isModified() && !document.fileChangedElsewhere());
}

void TestProjectDocument::keptChangesOverNewerFileAreTold_data()
{
    QTest::addColumn<bool>("named");
    QTest::newRow("start with the last work") << false;
    QTest::newRow("start with the file named") << true;
}

void TestProjectDocument::keptChangesOverNewerFileAreTold()
{
    QFETCH(bool, named);
    const QString file = path(QStringLiteral("site.ambrel"));
    writeFile(file, kSite);
    {
        const auto crashed = startedDocument(file);
        type(*crashed, QStringLiteral("Design + 3\nMine + 1"));
        QVERIFY(!crashed->keepNow());
    }
    const QByteArray theirs = QByteArray(kSite).replace("Design + 3", "Design + 9");
    writeFile(file, theirs);

    std::optional<Refusal> told;
    ProjectDocument restarted;
    restarted.restoreSession(named ? file : QString(), &told);
    QVERIFY(told);
    QVERIFY2(told->text.contains(file) && told->text.contains(QStringLiteral("changed elsewhere")),
        qPrintable(told->text));
    QCOMPARE(restarted.project().taskText(), QStringLiteral("Design + 3\nMine + 1"));
    QVERIFY(restarted.isModified());
    // Saving the old edits asks first, and the newer file stays as it is until then.
    QVERIFY(restarted.save());
    QCOMPARE(readFile(file), theirs);
}

void TestProjectDocument::keptChangesComeBack_data()
{
    QTest::addColumn<bool>("moved"); // else the file is as large as a project file may be
    QTest::newRow("file moved away") << true;
    QTest::newRow("largest file") << false;
}

void TestProjectDocument::keptChangesComeBack()
{
    QFETCH(bool, moved);
    const QString file = path(moved ? QStringLiteral("site.ambrel") : QStringLiteral("large.ambrel"));
    QByteArray bytes = kSite;
    if (!moved) {
        bytes = "Ambrel project 1\nName: Large\n\n";
        const QByteArray line = "Task + 1\n";
        while (bytes.size() + line.size() <= MaxProjectFileBytes)
            bytes += line;
    }
    writeFile(file, bytes);
    {
        const auto crashed = startedDocument(file);
        QVERIFY(crashed->filePath() == file);
        const QString added = moved ? QStringLiteral("\nMine + 1") : QStringLiteral("\nLast + 1");
        type(*crashed, crashed->project().taskText() + added);
        QVERIFY(!crashed->keepNow());
    }
    if (!moved) {
        // The kept copy of a file at the size limit is not refused as too large.
        std::optional<Refusal> told;
        ProjectDocument restarted;
        restarted.restoreSession(QString(), &told);
        QVERIFY(!told);
        QVERIFY(restarted.isModified());
        QVERIFY(restarted.project().taskText().endsWith(QStringLiteral("\nLast + 1")));
        return;
    }
    QVERIFY(QFile::rename(file, path(QStringLiteral("renamed.ambrel"))));
    for (int start = 0; start < 2; ++start) {
        std::optional<Refusal> told;
        ProjectDocument restarted;
        restarted.restoreSession(QString(), &told);
        if (start == 0)
            QVERIFY2(told && told->text.contains(file) && told->text.contains(QStringLiteral("Save As")),
                qPrintable(told->text));
        QCOMPARE(restarted.project().taskText(), QStringLiteral("Design + 3\nMine + 1"));
        QVERIFY(restarted.isModified());
        QVERIFY(restarted.filePath().isEmpty());
        // A second start without saving still finds them: nothing deleted them.
    }
}

// A file's start and join rule are the plan's own: it builds after its start, and saves them back as read.
void TestProjectDocument::openedPlanBuildsAfterItsStart()
{
    const QByteArray plan = "Ambrel project 1\nName: Site\nStart: 2024-05-27\nWorking week: off\nParallel: wait\n\n"
                            "A + 3\n// B + 1\nC + 1\n";
    writeFile(path(QStringLiteral("site.ambrel")), plan);
    ProjectDocument document;
    QVERIFY(!document.open(path(QStringLiteral("site.ambrel"))));
    Project &project = document.project();
    QVERIFY(!project.rebuild(QDate(2024, 6, 10)));
    QCOMPARE(project.tasks().at(0).startDate, QDate(2024, 5, 27));
    QCOMPARE(project.tasks().at(2).startDate, QDate(2024, 5, 30));
    QVERIFY(project.schedule().waitForParallel);
    QVERIFY(!document.save());
    // The file gains the name as its lasting Id, and keeps the rest as read.
    QCOMPARE(readFile(path(QStringLiteral("site.ambrel"))),
        QByteArray(plan).replace("Parallel: wait\n", "Parallel: wait\nId: Site\n"));

    // A new pick of the same past date is refused.
    project.setStartIsSaved(false);
    QVERIFY(project.rebuild(QDate(2024, 6, 10)));
}

QTEST_GUILESS_MAIN(TestProjectDocument)
#include "tst_projectdocument.moc"
