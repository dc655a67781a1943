#include "project/ProjectFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

Q_DECLARE_METATYPE(ambrel::ProjectFileContent)

namespace {

ProjectFileContent content(const QString &name, const QDate &picked, bool workingWeek, const QString &tasks)
{
    ProjectFileContent result;
    result.name = name;
    result.startOnPickedDate = picked.isValid();
    result.pickedStartDate = picked;
    result.workingWeekApplies = workingWeek;
    result.taskText = tasks;
    return result;
}

void compareContent(const ProjectFileContent &actual, const ProjectFileContent &expected)
{
    QCOMPARE(actual.name, expected.name);
    QCOMPARE(actual.startOnPickedDate, expected.startOnPickedDate);
    if (expected.startOnPickedDate)
        QCOMPARE(actual.pickedStartDate, expected.pickedStartDate);
    QCOMPARE(actual.workingWeekApplies, expected.workingWeekApplies);
    QCOMPARE(actual.taskText, expected.taskText);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kExample("Ambrel project 1\n"
                          "Name: Website relaunch\n"
                          "Start: 2026-12-14\n"
                          "Working week: on\n"
                          "\n"
                          "Design + 3 days\n"
                          "Build + 10 days\n"
                          "// Docs + 4 days\n");

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT

private slots:
    void written_data();
    void written();
    void read_data();
    void read();
    void refused_data();
    void refused();
    void recognised_data();
    void recognised();
    void saveAndLoad();
    void failedSaveKeepsEarlierFile();
    void loadRefused_data();
    void loadRefused();
};

void TestProjectFile::written_data()
{
    QTest::addColumn<ProjectFileContent>("project");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("the example") << content(QStringLiteral("Website relaunch"), QDate(2026, 12, 14), true,
        QStringLiteral("Design + 3 days\nBuild + 10 days\n// Docs + 4 days"))
                                 << kExample;
    QTest::newRow("defaults, no tasks")
        << ProjectFileContent()
        << QByteArray("Ambrel project 1\nName: My Project\nStart: right away\n"
                      "Working week: on\n\n\n");
    QTest::newRow("empty name, calendar days")
        << content(QString(), QDate(), false, QStringLiteral("A"))
        << QByteArray("Ambrel project 1\nName: \nStart: right away\nWorking week: off\n\nA\n");
    QTest::newRow("colons and non-ASCII in the name")
        << content(QStringLiteral("Café: phase 2: ship"), QDate(2024, 6, 3), true, QStringLiteral("A"))
        << QByteArray("Ambrel project 1\nName: Caf\xC3\xA9: phase 2: ship\nStart: 2024-06-03\n"
                      "Working week: on\n\nA\n");
    QTest::newRow("blank lines and a final break are kept")
        << content(QStringLiteral("P"), QDate(), true, QStringLiteral("\nA\n\n// B + 2\n"))
        << QByteArray(
               "Ambrel project 1\nName: P\nStart: right away\nWorking week: on\n\n\nA\n\n// B + 2\n\n");
    QTest::newRow("a task text that looks like a header")
        << content(QStringLiteral("P"), QDate(), true, QStringLiteral("Name: not the name\nStart: soon"))
        << QByteArray("Ambrel project 1\nName: P\nStart: right away\nWorking week: on\n\n"
                      "Name: not the name\nStart: soon\n");
}

// Writing gives exactly these bytes, reading them gives the project back, and writing that again the same
// bytes: a file Ambrel wrote survives open and save unchanged.
void TestProjectFile::written()
{
    QFETCH(ProjectFileContent, project);
    QFETCH(QByteArray, bytes);
    QCOMPARE(projectFileBytes(project), bytes);
    QString error;
    const auto read = parseProjectFile(bytes, &error);
    QVERIFY2(read, qPrintable(error));
    compareContent(*read, project);
    QCOMPARE(projectFileBytes(*read), bytes);
}

void TestProjectFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ProjectFileContent>("project");

    const ProjectFileContent example = content(QStringLiteral("Website relaunch"), QDate(2026, 12, 14), true,
        QStringLiteral("Design + 3 days\nBuild + 10 days\n// Docs + 4 days"));
    QByteArray crlf = kExample;
    crlf.replace("\n", "\r\n");
    QTest::newRow("CR LF throughout") << crlf << example;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + kExample << example;
    QTest::newRow("no final line break") << kExample.chopped(1) << example;
    QTest::newRow("keys in another order, an unknown key")
        << QByteArray("Ambrel project 1\nWorking week: on\nColour: blue\nStart: 2026-12-14\n"
                      "Name: Website relaunch\n\nDesign + 3 days\nBuild + 10 days\n// Docs + 4 days\n")
        << example;
    QTest::newRow("every key missing")
        << QByteArray("Ambrel project 1\n\nA\n") << content(QStringLiteral("My Project"), {}, true, "A");
    QTest::newRow("ends after the header: no tasks")
        << QByteArray("Ambrel project 1\nName: P\nWorking week: off")
        << content(QStringLiteral("P"), {}, false, QString());
    QTest::newRow("only the first line") << QByteArray("Ambrel project 1\n") << ProjectFileContent();
    QTest::newRow("trimmed trailing blank after an empty name")
        << QByteArray("Ambrel project 1\nName:\n\nA\n") << content(QString(), {}, true, "A");
    QTest::newRow("the name keeps its blanks, the switches not")
        << QByteArray("Ambrel project 1\nName:  two  \nStart:  right away \nWorking week: off \n\nA")
        << content(QStringLiteral(" two  "), {}, false, "A");
    QTest::newRow("the later of two lines for a key")
        << QByteArray("Ambrel project 1\nName: A\nName: B\n\n") << content(QStringLiteral("B"), {}, true, {});
}

void TestProjectFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ProjectFileContent, project);
    QString error;
    const auto read = parseProjectFile(bytes, &error);
    QVERIFY2(read, qPrintable(error));
    compareContent(*read, project);
}

void TestProjectFile::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    QTest::newRow("a start it cannot take")
        << QByteArray("Ambrel project 1\nName: P\nStart: soon\n\nA\n")
        << QStringLiteral(
               "Line 3: \"Start: soon\" is not a start: write \"right away\" or a date as YYYY-MM-DD.");
    QTest::newRow("a date that does not exist")
        << QByteArray("Ambrel project 1\r\nStart: 2026-02-30\r\n\r\n")
        << QStringLiteral(
               "Line 2: \"Start: 2026-02-30\" is not a start: write \"right away\" or a date as YYYY-MM-DD.");
    QTest::newRow("a date in another form")
        << QByteArray("Ambrel project 1\nStart: 14.12.2026\n")
        << QStringLiteral(
               "Line 2: \"Start: 14.12.2026\" is not a start: write \"right away\" or a date as YYYY-MM-DD.");
    QTest::newRow("a switch it cannot take")
        << QByteArray("\xEF\xBB\xBF"
                      "Ambrel project 1\nName: P\nStart: right away\nWorking week: maybe\n\n")
        << QStringLiteral(
               "Line 4: \"Working week: maybe\" is not a working-week switch: write \"on\" or \"off\".");
    QTest::newRow("tasks without the empty line before them")
        << QByteArray("Ambrel project 1\nName: P\nDesign + 3\n")
        << QStringLiteral(
               "Line 3: \"Design + 3\" is not a header line: write \"Key: value\", and an empty line "
               "before the tasks.");
    QTest::newRow("another first line")
        << QByteArray("Design + 3\n")
        << QStringLiteral("It is not an Ambrel project file: its first line is "
                          "not \"Ambrel project 1\".");
    QTest::newRow("a later format") << QByteArray("Ambrel project 10\n")
                                    << QStringLiteral("It is not an Ambrel project file: its first line is "
                                                      "not \"Ambrel project 1\".");
    QTest::newRow("empty") << QByteArray()
                           << QStringLiteral("It is not an Ambrel project file: its first line is "
                                             "not \"Ambrel project 1\".");
    QTest::newRow("not UTF-8") << QByteArray("Ambrel project 1\nName: Caf\xE9\n\n")
                               << QStringLiteral(
                                      "It is not UTF-8 text, so it is not an Ambrel project file.");
    QTest::newRow("a NUL byte") << QByteArray("Ambrel project 1\n\nA\0B",
        21) << QStringLiteral("It is not UTF-8 text, so it is not an Ambrel project file.");
}

void TestProjectFile::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QString message;
    QVERIFY(!parseProjectFile(bytes, &message));
    QCOMPARE(message, error);
}

void TestProjectFile::recognised_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("project");

    QTest::newRow("the example") << kExample << true;
    QTest::newRow("CR LF") << QByteArray("Ambrel project 1\r\nName: P\r\n") << true;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                   "Ambrel project 1\n")
                                     << true;
    QTest::newRow("the first line alone") << QByteArray("Ambrel project 1") << true;
    QTest::newRow("task text") << QByteArray("Design + 3\n") << false;
    QTest::newRow("a longer first line") << QByteArray("Ambrel project 12\n") << false;
    QTest::newRow("trailing blank") << QByteArray("Ambrel project 1 \n") << false;
    QTest::newRow("a lone CR") << QByteArray("Ambrel project 1\rName: P") << false;
    QTest::newRow("lower case") << QByteArray("ambrel project 1\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestProjectFile::recognised()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, project);
    QCOMPARE(isProjectFile(bytes), project);
}

void TestProjectFile::saveAndLoad()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("launch.ambrel"));
    // The text box of a list turned back into text ends its lines in CR LF; the file has LF only.
    const ProjectFileContent typed
        = content(QStringLiteral("Launch"), QDate(2025, 1, 31), false, QStringLiteral("A + 2\r\n// B\r\n"));
    QString error;
    QVERIFY2(saveProjectFile(path, typed, &error), qPrintable(error));
    const QByteArray saved = readBytes(path);
    QVERIFY(!saved.contains('\r'));

    const auto loaded = loadProjectFile(path, &error);
    QVERIFY2(loaded, qPrintable(error));
    compareContent(*loaded, content(QStringLiteral("Launch"), QDate(2025, 1, 31), false, "A + 2\n// B\n"));
    QVERIFY(saveProjectFile(path, *loaded, &error));
    QCOMPARE(readBytes(path), saved);
}

void TestProjectFile::failedSaveKeepsEarlierFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.ambrel"));
    QVERIFY(writeBytes(path, kExample));
    QString error;
    {
        testing::FileSizeLimit full(0);
        if (!full.isActive())
            QSKIP("the file size limit cannot be set here");
        QVERIFY(!saveProjectFile(path, ProjectFileContent(), &error));
    }
    QVERIFY2(error.startsWith(QStringLiteral("Could not save %1: ").arg(QDir::toNativeSeparators(path))),
        qPrintable(error));
    QVERIFY(error.size() > path.size() + 17);
    QCOMPARE(readBytes(path), kExample);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("kept.ambrel") });
}

void TestProjectFile::loadRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << "missing" << QString();
    QTest::newRow("a folder") << "folder" << QString();
    QTest::newRow("over 16 MiB") << "huge"
                                 << QStringLiteral(
                                        "It is larger than 16 MiB, too large for an Ambrel project file.");
    QTest::newRow("not UTF-8") << "latin1"
                               << QStringLiteral(
                                      "It is not UTF-8 text, so it is not an Ambrel project file.");
    QTest::newRow("task text")
        << "tasks"
        << QStringLiteral("It is not an Ambrel project file: its first line is not \"Ambrel project 1\".");
    QTest::newRow("a bad value") << "bad value"
                                 << QStringLiteral(
                                        "Line 2: \"Working week: yes\" is not a working-week switch: "
                                        "write \"on\" or \"off\".");
}

// Whatever is wrong with the file, the message names it, so the person knows which one was refused.
void TestProjectFile::loadRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.ambrel"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("project.ambrel")));
    } else if (kind == QLatin1String("huge")) {
        QVERIFY(writeBytes(path, "Ambrel project 1\n\n"));
        QFile file(path);
        // Sparse: the size is there without writing the bytes.
        QVERIFY(file.resize(MaxProjectFileBytes + 1));
    } else if (kind == QLatin1String("latin1")) {
        QVERIFY(writeBytes(path, "Ambrel project 1\n\nCaf\xE9\n"));
    } else if (kind == QLatin1String("tasks")) {
        QVERIFY(writeBytes(path, "Design + 3\n"));
    } else if (kind == QLatin1String("bad value")) {
        QVERIFY(writeBytes(path, "Ambrel project 1\nWorking week: yes\n"));
    }

    QString error;
    QVERIFY(!loadProjectFile(path, &error));
    const QString prefix = QStringLiteral("Could not open %1: ").arg(QDir::toNativeSeparators(path));
    QVERIFY2(error.startsWith(prefix), qPrintable(error));
    if (reason.isEmpty())
        QVERIFY2(error.size() > prefix.size(), qPrintable(error));
    else
        QCOMPARE(error.mid(prefix.size()), reason);
}

QTEST_GUILESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
