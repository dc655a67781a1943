#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectSession.h"

#include <QDir>
#include <QFile>
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
    void everyWindowKeepsItsOwnWork();
    void runningWindowsKeepTheirWork();
    void namedFileLeavesOtherWorkKept();
    void relativeNameBringsBackItsChanges();
    void oldPlacesComeBackOnce();
    void savedOrClosedWorkDoesNotComeBack_data();
    void savedOrClosedWorkDoesNotComeBack();
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
    QCOMPARE(readFile(file), QByteArray(kSite).replace("Design + 3\n", "Design + 3\nBuild + 2\n"));

    const QString copy = path(QStringLiteral("copy.ambrel"));
    QVERIFY(!document.saveAs(copy));
    QCOMPARE(document.filePath(), copy);
    QCOMPARE(readFile(copy), readFile(file));

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
    QTest::newRow("closed") << "closed";
    QTest::newRow("new project") << "new";
    QTest::newRow("typed back") << "typed back";
}

void TestProjectDocument::savedOrClosedWorkDoesNotComeBack()
{
    QFETCH(QString, how);
    {
        const auto document = startedDocument(QString());
        type(*document, QStringLiteral("Walls + 2"));
        QVERIFY(!document->keepNow());
        QCOMPARE(ProjectSession::keptWork().size(), size_t(1));
        if (how == QLatin1String("saved")) {
            QVERIFY(!document->saveAs(path(QStringLiteral("shed.ambrel"))));
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
    QCOMPARE(readFile(path(QStringLiteral("site.ambrel"))), plan);

    // A new pick of the same past date is refused.
    project.setStartIsSaved(false);
    QVERIFY(project.rebuild(QDate(2024, 6, 10)));
}

QTEST_GUILESS_MAIN(TestProjectDocument)
#include "tst_projectdocument.moc"
