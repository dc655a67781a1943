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
    void saveAndLoad();
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
    QTest::newRow("colons and non-ASCII in the name, calendar days")
        << content(QStringLiteral("Café: phase 2"), QDate(2024, 6, 3), false, QStringLiteral("A"))
        << QByteArray(
               "Ambrel project 1\nName: Caf\xC3\xA9: phase 2\nStart: 2024-06-03\nWorking week: off\n\nA\n");
    QTest::newRow("blank lines, a final break and header-like lines are task text")
        << content(QString(), QDate(), true, QStringLiteral("\nName: x\n\n// B + 2\n"))
        << QByteArray(
               "Ambrel project 1\nName: \nStart: right away\nWorking week: on\n\n\nName: x\n\n// B + 2\n\n");
    QTest::newRow("task text ending in a lone CR: no line feed after it")
        << content(QStringLiteral("P"), QDate(), true, QStringLiteral("A\rB + 2\r"))
        << QByteArray("Ambrel project 1\nName: P\nStart: right away\nWorking week: on\n\nA\rB + 2\r");
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
    QTest::newRow("CR LF throughout") << QByteArray(kExample).replace("\n", "\r\n") << example;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + kExample << example;
    QTest::newRow("keys in another order, an unknown key")
        << QByteArray("Ambrel project 1\nWorking week: on\nColour: blue\nStart: 2026-12-14\n"
                      "Name: Website relaunch\n\nDesign + 3 days\nBuild + 10 days\n// Docs + 4 days")
        << example;
    QTest::newRow("every key missing")
        << QByteArray("Ambrel project 1\n\nA\n") << content("My Project", {}, true, "A");
    QTest::newRow("ends inside the header: no tasks")
        << QByteArray("Ambrel project 1\nName: P\nWorking week: off") << content("P", {}, false, {});
    QTest::newRow("ends with the line feed after its header, no empty line: no tasks")
        << QByteArray("Ambrel project 1\nName: P\nWorking week: off\n") << content("P", {}, false, {});
    QTest::newRow("the first line alone, with its line feed: no tasks")
        << QByteArray("Ambrel project 1\n") << content("My Project", {}, true, {});
    QTest::newRow("an editor trimmed the blank after an empty name")
        << QByteArray("Ambrel project 1\nName:\n\nA\n") << content({}, {}, true, "A");
    QTest::newRow("CRs piled before line feeds end the lines; a lone CR in the name is a blank")
        << QByteArray("Ambrel project 1\r\nName: A\rB\r\r\n\r\r\nX\r\r\nY\rZ\r\r\r\n")
        << content("A B", {}, true, "X\nY\rZ");
}

void TestProjectFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ProjectFileContent, project);
    QVERIFY(isProjectFile(bytes));
    QString error;
    const auto read = parseProjectFile(bytes, &error);
    QVERIFY2(read, qPrintable(error));
    compareContent(*read, project);
}

void TestProjectFile::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QString notProject
        = QStringLiteral(R"(It is not an Ambrel project file: its first line is not "Ambrel project 1".)");
    const QString notText = QStringLiteral("It is not UTF-8 text, so it is not an Ambrel project file.");
    QTest::newRow("a start it cannot take")
        << QByteArray("Ambrel project 1\nName: P\nStart: soon\n\nA\n")
        << QStringLiteral(
               R"(Line 3: "Start: soon" is not a start: write "right away" or a date as YYYY-MM-DD.)");
    QTest::newRow("a date that does not exist")
        << QByteArray("Ambrel project 1\r\nStart: 2026-02-30\r\n\r\n")
        << QStringLiteral(
               R"(Line 2: "Start: 2026-02-30" is not a start: write "right away" or a date as YYYY-MM-DD.)");
    QTest::newRow("a switch it cannot take, after a byte-order mark")
        << QByteArray("\xEF\xBB\xBF"
                      "Ambrel project 1\nName: P\nStart: right away\nWorking week: maybe\n\n")
        << QStringLiteral(
               R"(Line 4: "Working week: maybe" is not a working-week switch: write "on" or "off".)");
    QTest::newRow("tasks without the empty line before them")
        << QByteArray("Ambrel project 1\nName: P\nDesign + 3\n")
        << QStringLiteral(
               R"(Line 3: "Design + 3" is not a header line: write "Key: value", and an empty line before the tasks.)");
    QTest::newRow("task text") << QByteArray("Design + 3\n") << notProject;
    QTest::newRow("a later format") << QByteArray("Ambrel project 10\n") << notProject;
    QTest::newRow("a lone CR after the first line") << QByteArray("Ambrel project 1\rName: P") << notProject;
    QTest::newRow("not UTF-8") << QByteArray("Ambrel project 1\nName: Caf\xE9\n\n") << notText;
    QTest::newRow("a NUL byte") << QByteArray("Ambrel project 1\n\nA\0B", 21) << notText;
}

void TestProjectFile::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QString message;
    QVERIFY(!parseProjectFile(bytes, &message));
    QCOMPARE(message, error);
    // The command line takes a file refused for its first line as task text instead.
    QCOMPARE(isProjectFile(bytes), !error.contains(QLatin1String("first line")));
}

void TestProjectFile::saveAndLoad()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("launch.ambrel"));
    // A list turned back into text ends its lines in CR LF; the file has LF only.
    QString error;
    QVERIFY2(saveProjectFile(path, content("Launch", QDate(2025, 1, 31), false, "A + 2\r\n// B\r\n"), &error),
        qPrintable(error));
    const QByteArray saved = readBytes(path);
    QVERIFY(!saved.contains('\r'));
    const auto loaded = loadProjectFile(path, &error);
    QVERIFY2(loaded, qPrintable(error));
    compareContent(*loaded, content("Launch", QDate(2025, 1, 31), false, "A + 2\n// B\n"));

    {
        testing::FileSizeLimit full(0);
        if (!full.isActive())
            QSKIP("the file size limit cannot be set here");
        QVERIFY(!saveProjectFile(path, ProjectFileContent(), &error));
    }
    QVERIFY2(error.startsWith(QStringLiteral("Could not save %1: ").arg(path)), qPrintable(error));
    QVERIFY(!error.endsWith(QLatin1String(": ")));
    QCOMPARE(readBytes(path), saved);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("launch.ambrel") });
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
