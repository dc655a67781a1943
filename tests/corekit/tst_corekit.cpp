#include "corekit/Corekit.h"
#include "corekit/Paths.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

class TestCorekit : public QObject {
    Q_OBJECT

private slots:
    void loadLines_data();
    void loadLines();
    void loadTextKeepsLineBreaks();
    void loadStopsAtTheByteLimit();
    void missingFileLoadsNothing();
    void saveReplacesTheWholeFile();
    void failedSaveLeavesTheOldFile();
    void saveIntoReadOnlyFolderLeavesTheOldFile();
    void fileExistsOnlyForFiles();
    void replaceAll_data();
    void replaceAll();
    void splitLines_data();
    void splitLines();
    void pathsFollowTheProgramFolder_data();
    void pathsFollowTheProgramFolder();
    void findsTheManual_data();
    void findsTheManual();

private:
    QString writeFile(const QByteArray &bytes, const QString &name = QStringLiteral("file.txt"));
    QTemporaryDir m_dir;
};

QString TestCorekit::writeFile(const QByteArray &bytes, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestCorekit::loadLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    const QStringList three { QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1") };
    QTest::newRow("line feeds, no final break") << QByteArray("1\n0\n1") << three;
    QTest::newRow("CR LF, final break") << QByteArray("1\r\n0\r\n1\r\n") << three;
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("a lone line break holds no line") << QByteArray("\r\n") << QStringList();
    QTest::newRow("empty line inside")
        << QByteArray("a\n\nb\n") << QStringList { QStringLiteral("a"), QString(), QStringLiteral("b") };
    QTest::newRow("UTF-8") << QByteArray("09:00 Uhr \xC3\xA4\n")
                           << QStringList { QStringLiteral("09:00 Uhr ä") };
}

void TestCorekit::loadLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(LoadLines(writeFile(bytes)), lines);
}

void TestCorekit::loadTextKeepsLineBreaks()
{
    QCOMPARE(LoadText(writeFile("09:00 AM\r\n")), QStringLiteral("09:00 AM\r\n"));
}

void TestCorekit::loadStopsAtTheByteLimit()
{
    const QString path = writeFile(QByteArray(4 << 20, '1'));
    QCOMPARE(LoadText(path, 10).size(), 10);
    QCOMPARE(LoadText(path).size(), 1 << 20);
}

void TestCorekit::missingFileLoadsNothing()
{
    QString reason;
    QVERIFY(LoadText(m_dir.filePath(QStringLiteral("absent.txt")), 1024, &reason).isEmpty());
    QVERIFY(!reason.isEmpty());
    QVERIFY(LoadLines(m_dir.filePath(QStringLiteral("absent.txt"))).isEmpty());
}

void TestCorekit::saveReplacesTheWholeFile()
{
    const QString path = writeFile("a much longer earlier content\n", QStringLiteral("replace.txt"));
    const QStringList lines { QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("Ä b") };
    const std::optional<Refusal> failed = SaveLines(lines, path);
    QVERIFY2(!failed, qPrintable(failed->text));
    QCOMPARE(LoadText(path), QStringLiteral("1\n0\nÄ b\n"));
    QCOMPARE(LoadLines(path), lines);
    QVERIFY(!SaveText(QStringLiteral("05:00 PM"), path));
    QCOMPARE(LoadText(path), QStringLiteral("05:00 PM"));
}

void TestCorekit::failedSaveLeavesTheOldFile()
{
    const QString path = writeFile("old\n", QStringLiteral("full-disk.txt"));
    std::optional<Refusal> failed;
    {
        testing::FileSizeLimit limit(1024);
        QVERIFY(limit.isActive());
        failed = SaveText(QString(64 * 1024, QLatin1Char('x')), path);
    }
    QVERIFY(failed);
    QCOMPARE(failed->text,
        QStringLiteral("Could not save %1: File too large").arg(QDir::toNativeSeparators(path)));
    QCOMPARE(LoadText(path), QStringLiteral("old\n"));
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList({ QStringLiteral("full-disk.txt*") }, QDir::Files).size(), 1);
}

void TestCorekit::saveIntoReadOnlyFolderLeavesTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("workingweek.txt"));
    QVERIFY(!SaveLines({ QStringLiteral("1") }, path));
    const bool readOnly = testing::makeReadOnlyFolder(dir.path());
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!readOnly) {
        QFile::setPermissions(dir.path(), writable);
        QSKIP("this user may write into a read-only folder");
    }
    const std::optional<Refusal> failed = SaveLines({ QStringLiteral("0") }, path);
    QFile::setPermissions(dir.path(), writable);
    QVERIFY(failed);
    QCOMPARE(LoadLines(path), QStringList { QStringLiteral("1") });
}

void TestCorekit::fileExistsOnlyForFiles()
{
    QVERIFY(FileExists(writeFile("x")));
    QVERIFY(!FileExists(m_dir.filePath(QStringLiteral("absent.txt"))));
    QVERIFY(!FileExists(m_dir.path()));
}

void TestCorekit::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");

    QTest::newRow("every occurrence") << "//a//b//"
                                      << "//"
                                      << ""
                                      << "ab";
    QTest::newRow("case-sensitive") << " 3 Days days DAYS dAys"
                                    << "days"
                                    << ""
                                    << " 3 Days  DAYS dAys";
    QTest::newRow("empty find leaves the text") << "Plan"
                                                << ""
                                                << "x"
                                                << "Plan";
}

void TestCorekit::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QCOMPARE(ReplaceAll(text, find, replacement), result);
}

void TestCorekit::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("final break makes no item") << "A\r\n" << QStringList { "A" };
    QTest::newRow("empty lines make no item") << "A\r\n\r\n\r\nB" << QStringList { "A", "B" };
    QTest::newRow("a line of blanks is kept") << "A\r\n  \r\nB" << QStringList { "A", "  ", "B" };
    QTest::newRow("a lone line feed does not split") << "A\nB" << QStringList { "A\nB" };
    QTest::newRow("empty text") << "" << QStringList();
    QTest::newRow("only breaks") << "\r\n\r\n" << QStringList();
}

void TestCorekit::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QCOMPARE(SplitLines(text, QStringLiteral("\r\n")), items);
}

void TestCorekit::findsTheManual_data()
{
    QTest::addColumn<QString>("manualAt"); // relative to the program's folder, bin/; empty for none
    QTest::newRow("beside the program") << "manual";
    QTest::newRow("installed") << "../share/doc/ambrel/manual";
    QTest::newRow("nowhere") << "";
}

void TestCorekit::findsTheManual()
{
    QFETCH(QString, manualAt);
    QTemporaryDir root;
    const QDir bin(root.filePath(QStringLiteral("bin")));
    QVERIFY(QDir().mkpath(bin.path()));
    QString expected;
    if (!manualAt.isEmpty()) {
        expected = QDir::cleanPath(bin.filePath(manualAt));
        QVERIFY(QDir().mkpath(expected));
        QVERIFY(
            !SaveLines({ QStringLiteral("<html>") }, QDir(expected).filePath(QStringLiteral("index.html"))));
    }
    Paths::setProgramFolder(bin.path());
    QCOMPARE(Paths::manualFolder(), expected);
    Paths::setProgramFolder(QString());
}

void TestCorekit::pathsFollowTheProgramFolder_data()
{
    QTest::addColumn<bool>("portable"); // the program folder holds workingweek.txt
    QTest::addColumn<bool>("ownWeek"); // the person's settings folder holds workingweek.txt

    QTest::newRow("portable") << true << false;
    QTest::newRow("installed, shipped week") << false << false;
    QTest::newRow("installed, own week") << false << true;
}

// An installed program's bin/ holds no settings: the shipped ones lie in ../share/ambrel, the person's own
// win file by file, and exports go to the Documents folder.
void TestCorekit::pathsFollowTheProgramFolder()
{
    QFETCH(bool, portable);
    QFETCH(bool, ownWeek);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir prefix;
    const QDir bin(prefix.filePath(QStringLiteral("bin")));
    const QDir shipped(prefix.filePath(QStringLiteral("share/ambrel")));
    QVERIFY(QDir().mkpath(bin.path()) && QDir().mkpath(shipped.path()));
    const QString week = QStringLiteral("workingweek.txt");
    QVERIFY(!SaveLines({ QStringLiteral("1") }, (portable ? bin : shipped).filePath(week)));
    Paths::setProgramFolder(bin.path());

    const QDir personal(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                            .filePath(QStringLiteral("Ambrel")));
    if (ownWeek)
        QVERIFY(
            QDir().mkpath(personal.path()) && !SaveLines({ QStringLiteral("0") }, personal.filePath(week)));
    QCOMPARE(Paths::isPortable(), portable);
    QCOMPARE(Paths::settingsFolder(), portable ? bin.path() : personal.path());
    QCOMPARE(Paths::settingsFile(week), (portable ? bin : personal).filePath(week));
    QCOMPARE(Paths::settingsFileToRead(Paths::settingsFolder(), week),
        (portable         ? bin
                : ownWeek ? personal
                          : shipped)
            .filePath(week));
    QCOMPARE(Paths::exportFolder(),
        portable ? bin.filePath(QStringLiteral("output"))
                 : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    QFile::remove(personal.filePath(week));
    Paths::setProgramFolder(QString());
}

QTEST_GUILESS_MAIN(TestCorekit)
#include "tst_corekit.moc"
