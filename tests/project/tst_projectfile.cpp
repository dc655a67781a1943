#include "project/ProjectFile.h"

#include "FileSizeLimit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

Q_DECLARE_METATYPE(ambrel::ProjectFileContent)

namespace {

// The refusal's text, or nothing when the file was taken.
QString refusalOf(const Refusable<ProjectFileContent> &read)
{
    return read.refused() ? read.refusal().text : QString();
}

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
    QCOMPARE(actual.id, expected.id);
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

// Standard input that never ends, counting what was taken from it.
class EndlessInput final : public QIODevice {
public:
    qint64 taken = 0;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        std::fill_n(data, maxSize, 'a');
        taken += maxSize;
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT

private slots:
    void written_data();
    void written();
    void read_data();
    void read();
    void lineEndsAtRandom();
    void refused_data();
    void refused();
    void saveAndLoad();
    void loadRefused_data();
    void loadRefused();
    void inputs_data();
    void inputs();
    void parallelRule_data();
    void parallelRule();
    void projectIds();
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
    ProjectFileContent identified = content(QStringLiteral("P"), QDate(), true, QStringLiteral("A"));
    identified.id = QStringLiteral("Old name: with a colon");
    QTest::newRow("an Id after the other keys")
        << identified
        << QByteArray("Ambrel project 1\nName: P\nStart: right away\nWorking week: on\n"
                      "Id: Old name: with a colon\n\nA\n");
}

// Writing gives exactly these bytes, reading them gives the project back, and writing that again the same
// bytes: a file Ambrel wrote survives open and save unchanged.
void TestProjectFile::written()
{
    QFETCH(ProjectFileContent, project);
    QFETCH(QByteArray, bytes);
    QCOMPARE(projectFileBytes(project), bytes);
    const auto read = parseProjectFile(bytes);
    QVERIFY2(!read.refused(), qPrintable(refusalOf(read)));
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
    const auto read = parseProjectFile(bytes);
    QVERIFY2(!read.refused(), qPrintable(refusalOf(read)));
    compareContent(*read, project);
}

// Task texts of CRs, line feeds and letters read as the plain rule says: every run of CRs before a line
// feed goes with it, any other CR stays.
void TestProjectFile::lineEndsAtRandom()
{
    QRandomGenerator random(31);
    static const QRegularExpression lineEnd(QStringLiteral("\r+\n"));
    for (int round = 0; round < 2000; ++round) {
        QByteArray taskText;
        for (int length = int(random.bounded(12)); length > 0; --length)
            taskText += "\r\na"[random.bounded(3)];
        const auto read = parseProjectFile("Ambrel project 1\n\n" + taskText);
        QVERIFY(!read.refused());
        QString expected = QString::fromLatin1(taskText).replace(lineEnd, QStringLiteral("\n"));
        if (expected.endsWith(QLatin1Char('\n')))
            expected.chop(1);
        QCOMPARE(read->taskText, expected);
    }
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
    QCOMPARE(refusalOf(parseProjectFile(bytes)), error);
    // The command line takes a file refused for its first line as task text instead.
    QCOMPARE(isProjectFile(bytes), !error.contains(QLatin1String("first line")));
}

void TestProjectFile::saveAndLoad()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("launch.ambrel"));
    // A list turned back into text ends its lines in CR LF; the file has LF only.
    QVERIFY(!saveProjectFile(path, content("Launch", QDate(2025, 1, 31), false, "A + 2\r\n// B\r\n")));
    const QByteArray saved = readBytes(path);
    QVERIFY(!saved.contains('\r'));
    const auto loaded = loadProjectFile(path);
    QVERIFY2(!loaded.refused(), qPrintable(refusalOf(loaded)));
    compareContent(*loaded, content("Launch", QDate(2025, 1, 31), false, "A + 2\n// B\n"));

    std::optional<Refusal> failed;
    {
        testing::FileSizeLimit full(0);
        if (!full.isActive())
            QSKIP("the file size limit cannot be set here");
        failed = saveProjectFile(path, ProjectFileContent());
    }
    QVERIFY(failed);
    QCOMPARE(failed->text, QStringLiteral("Could not save %1: File too large").arg(path));
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

    const QString error = refusalOf(loadProjectFile(path));
    const QString prefix = QStringLiteral("Could not open %1: ").arg(QDir::toNativeSeparators(path));
    QVERIFY2(error.startsWith(prefix), qPrintable(error));
    if (reason.isEmpty())
        QVERIFY2(error.size() > prefix.size(), qPrintable(error));
    else
        QCOMPARE(error.mid(prefix.size()), reason);
}

void TestProjectFile::inputs_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: more than the limit
    QTest::addColumn<QString>("reason"); // empty when taken
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("taskText");

    const QString notText = QStringLiteral("It is not UTF-8 text.");
    const QString wide = QStringLiteral("It is UTF-16 text; Ambrel reads UTF-8 text only.");
    const QString returns = QStringLiteral(
        "Its lines end in a carriage return alone; Ambrel reads lines that end in LF or CR LF.");
    const QString marks = QStringLiteral(
        "It starts with more than one byte-order mark; save it again as UTF-8 with one or none.");
    const QString none;
    QTest::newRow("task text") << QByteArray("Design + 3\r\n") << none << "My Project"
                               << "Design + 3\r\n";
    QTest::newRow("a project file") << QByteArray("Ambrel project 1\nName: P\n\nA\n") << none << "P"
                                    << "A";
    QTest::newRow("CRs piled before the first line feed")
        << QByteArray("Ambrel project 1\r\r\nName: P\r\n\r\nA") << none << "P"
        << "A";
    QTest::newRow("UTF-16 with a byte-order mark")
        << utf16(QStringLiteral("\uFEFFAmbrel project 1\n\nA\n")) << wide << ""
        << "";
    QTest::newRow("UTF-16 without one") << utf16(QStringLiteral("Design + 3\n")) << wide << ""
                                        << "";
    QTest::newRow("a NUL byte") << QByteArray("A + 1\n\0B\n", 9) << notText << ""
                                << "";
    QTest::newRow("Latin-1") << QByteArray("Caf\xE9 + 2\n") << notText << ""
                             << "";
    QTest::newRow("a project with CR line ends")
        << QByteArray("Ambrel project 1\rName: P\r\rA\r") << returns << ""
        << "";
    QTest::newRow("task text with CR line ends") << QByteArray("A + 1\rB + 2\r") << returns << ""
                                                 << "";
    QTest::newRow("a lone CR after the first line")
        << QByteArray("Ambrel project 1\rName: P\n\nA\n") << returns << ""
        << "";
    QTest::newRow("two byte-order marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                        "Ambrel project 1\n\nA\n")
                                          << marks << ""
                                          << "";
    QTest::newRow("larger than the limit")
        << QByteArray() << QStringLiteral("It is larger than 16 MiB, too large for an Ambrel project file.")
        << ""
        << "";
}

// A file and standard input are taken or refused alike, with the window's messages, and endless input is
// read no further than the limit.
void TestProjectFile::inputs()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(QString, name);
    QFETCH(QString, taskText);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.txt"));
    QVERIFY(writeBytes(path, bytes.isEmpty() ? QByteArray("Design + 3\n") : bytes));
    EndlessInput endless;
    QBuffer buffer(&bytes);
    QIODevice &input = bytes.isEmpty() ? static_cast<QIODevice &>(endless) : buffer;
    QVERIFY(input.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    if (bytes.isEmpty())
        QVERIFY(QFile(path).resize(MaxProjectFileBytes + 1));

    const auto fromFile = loadProjectOrTaskText(path);
    const auto fromInput = readProjectOrTaskText(input, QStringLiteral("standard input"));
    QCOMPARE(!fromFile.refused(), reason.isEmpty());
    QCOMPARE(!fromInput.refused(), reason.isEmpty());
    if (bytes.isEmpty())
        QVERIFY(endless.taken <= MaxProjectFileBytes + 1);
    if (!reason.isEmpty()) {
        const QString fileError = refusalOf(fromFile);
        QCOMPARE(
            fileError, QStringLiteral("Could not open %1: %2").arg(QDir::toNativeSeparators(path), reason));
        QCOMPARE(refusalOf(fromInput), QStringLiteral("Could not open standard input: ") + reason);
        QCOMPARE(refusalOf(loadProjectFile(path)), fileError);
        return;
    }
    for (const auto &read : { fromFile, fromInput }) {
        QCOMPARE(read->name, name);
        QCOMPARE(read->taskText, taskText);
    }
}

void TestProjectFile::parallelRule_data()
{
    QTest::addColumn<bool>("wait");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QByteArray header("Ambrel project 1\nName: P\nStart: right away\nWorking week: on\n");
    QTest::newRow("written only when on") << true << header + "Parallel: wait\n\nA\n" << QString();
    QTest::newRow("absent is off") << false << header + "\nA\n" << QString();
    QTest::newRow("any other value is refused")
        << false << header + "Parallel: beside\n\nA\n"
        << QStringLiteral(
               R"(Line 5: "Parallel: beside" is not a parallel rule: write "wait", or leave the line out.)");
}

void TestProjectFile::parallelRule()
{
    QFETCH(bool, wait);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const auto read = parseProjectFile(bytes);
    QCOMPARE(refusalOf(read), error);
    if (!error.isEmpty())
        return;
    QVERIFY(!read.refused());
    QCOMPARE(read->waitForParallel, wait);
    QCOMPARE(projectFileBytes(*read), bytes);
}

void TestProjectFile::projectIds()
{
    const QString id = newProjectId();
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    QVERIFY2(uuid.match(id).hasMatch(), qPrintable(id));
    QVERIFY(newProjectId() != id);
}

QTEST_GUILESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
