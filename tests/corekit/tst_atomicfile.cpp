#include "corekit/AtomicFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <acl/libacl.h>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace ambrel;

namespace {

const QByteArray kOld("the earlier content\n");
const QByteArray kNew("the new content, a little longer\n");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray aclText(const QString &path)
{
    acl_t list = acl_get_file(QFile::encodeName(path).constData(), ACL_TYPE_ACCESS);
    char *text = acl_to_any_text(list, nullptr, ',', 0);
    const QByteArray result(text);
    acl_free(text);
    acl_free(list);
    return result;
}

struct stat statusOf(const QString &path)
{
    struct stat status { };
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

} // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT

private slots:
    void writeTargets_data();
    void writeTargets();
    void failedReplaceLeavesTheTarget();
    void contentWrittenInPieces_data();
    void contentWrittenInPieces();
    void writerThatGivesUpKeepsTheTarget();
    void fileSizeLimitFailsTheWriteInsteadOfEndingTheProgram();
};

void TestAtomicFile::writeTargets_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("caution");
    QTest::addColumn<QString>("refusal"); // empty when the write succeeds

    const int none = int(WriteOption::None);
    const int readOnly = int(WriteCaution::ReadOnly);
    const int linked = int(WriteCaution::HardLinked);
    QTest::newRow("a new file") << "new" << none << 0 << "";
    QTest::newRow("Ambrel's own file: the owner's alone") << "own" << int(WriteOption::OwnerOnly) << 0 << "";
    QTest::newRow("access list and user attributes kept") << "acl" << none << 0 << "";
    QTest::newRow("mode and group kept") << "shared 0660" << none << 0 << "";
    QTest::newRow("read-only refused") << "0444" << none << readOnly << "The file is read-only";
    QTest::newRow("read-only replaced when forced, still read-only")
        << "0444" << int(WriteOption::ReplaceReadOnly) << readOnly << "";
    QTest::newRow("hard link refused") << "hard link" << none << linked << "The file has other names";
    QTest::newRow("hard link split when forced")
        << "hard link" << int(WriteOption::SplitHardLink) << linked << "";
    QTest::newRow("symbolic link followed and kept") << "symbolic link" << none << 0 << "";
    QTest::newRow("a folder refused") << "folder" << none << 0 << "Is a directory";
    QTest::newRow("over the file-size limit") << "limit" << none << 0 << "File too large";
    QTest::newRow("a named pipe written through") << "fifo" << none << 0 << "";
    QTest::newRow("a device written through, never replaced") << "device" << none << 0 << "";
    QTest::newRow("/dev/fd/N written at the open file's place") << "/dev/fd" << none << 0 << "";
}

// Whatever the target, the bytes end up in it or the earlier content stays whole, and nothing is left
// beside it.
void TestAtomicFile::writeTargets()
{
    QFETCH(QString, target);
    QFETCH(int, options);
    QFETCH(int, caution);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("plan.ambrel"));
    const QString other = dir.filePath(QStringLiteral("other name"));
    QStringList expectedFiles { QStringLiteral("plan.ambrel") };
    mode_t expectedMode = 0;
    gid_t expectedGroup = getegid();
    int fifoReader = -1;
    int openFile = -1;
    std::optional<testing::FileSizeLimit> limit;

    if (target != QLatin1String("new") && target != QLatin1String("own"))
        writeBytes(path, kOld);
    const QByteArray encoded = QFile::encodeName(path);
    QByteArray acl;
    if (target == QLatin1String("own")) {
        expectedMode = 0600;
    } else if (target == QLatin1String("acl")) {
        // As chmod 600 and setfacl -m u:daemon:rw leave it: the mode's group bits show only the mask.
        acl_t list = acl_from_text("u::rw-,u:daemon:rw-,g::---,m::rw-,o::---");
        if (acl_set_file(encoded.constData(), ACL_TYPE_ACCESS, list) != 0)
            QSKIP("this file system keeps no access lists");
        acl_free(list);
        QVERIFY(::setxattr(encoded.constData(), "user.origin", "kept", 4, 0) == 0);
        acl = aclText(path);
    } else if (target == QLatin1String("new")) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        expectedMode = 0666 & ~mask;
    } else if (target == QLatin1String("shared 0660")) {
        expectedMode = 0660;
        // Only root may hand a file to a group it is not in; another user keeps its own group.
        if (geteuid() == 0)
            expectedGroup = 4321;
        QVERIFY(::chown(QFile::encodeName(path).constData(), uid_t(-1), expectedGroup) == 0);
    } else if (target == QLatin1String("0444")) {
        expectedMode = 0444;
    } else if (target == QLatin1String("hard link")) {
        QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()) == 0);
        expectedFiles << QStringLiteral("other name");
    } else if (target == QLatin1String("symbolic link")) {
        QVERIFY(QFile::link(QStringLiteral("plan.ambrel"), other));
        expectedFiles << QStringLiteral("other name");
        path = other;
    } else if (target == QLatin1String("folder")) {
        QFile::remove(path);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("plan.ambrel/inside")));
    } else if (target == QLatin1String("limit")) {
        limit.emplace(kOld.size() + 4);
        QVERIFY(limit->isActive());
    } else if (target == QLatin1String("fifo")) {
        QFile::remove(path);
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        fifoReader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(fifoReader >= 0);
    } else if (target == QLatin1String("device")) {
        // A null device of its own, so that a fault could never replace the system's.
        QFile::remove(path);
        if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("this user may not make a device");
    } else if (target == QLatin1String("/dev/fd")) {
        openFile = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
        QVERIFY(openFile >= 0);
        path = QStringLiteral("/dev/fd/%1").arg(openFile);
    }
    if (expectedMode != 0 && target != QLatin1String("new") && target != QLatin1String("own"))
        QVERIFY(
            ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("plan.ambrel"))).constData(), expectedMode)
            == 0);
    const struct stat before = statusOf(path);

    QCOMPARE(int(writeCaution(path)), caution);
    QString reason;
    const bool saved = writeFileAtomically(path, kNew, &reason, WriteOptions(options));
    limit.reset();
    const QString written = dir.filePath(QStringLiteral("plan.ambrel"));

    QCOMPARE(saved, refusal.isEmpty());
    QVERIFY2(refusal.isEmpty() || reason.startsWith(refusal), qPrintable(reason));
    expectedFiles.sort();
    QCOMPARE(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), expectedFiles);
    if (target == QLatin1String("fifo")) {
        char buffer[256] = {};
        QCOMPARE(QByteArray(buffer, ::read(fifoReader, buffer, sizeof buffer)), kNew);
        ::close(fifoReader);
        QVERIFY(S_ISFIFO(statusOf(written).st_mode));
    } else if (target == QLatin1String("device")) {
        QVERIFY(S_ISCHR(statusOf(path).st_mode));
        QCOMPARE(statusOf(path).st_ino, before.st_ino);
    } else if (target == QLatin1String("/dev/fd")) {
        ::close(openFile);
        QCOMPARE(readBytes(written), kOld + kNew);
    } else if (target != QLatin1String("folder")) {
        QCOMPARE(readBytes(written), saved ? kNew : kOld);
    }
    if (target == QLatin1String("hard link"))
        QCOMPARE(readBytes(other), kOld);
    if (target == QLatin1String("symbolic link"))
        QVERIFY(QFileInfo(other).isSymLink());
    if (target == QLatin1String("acl")) {
        QCOMPARE(aclText(written), acl);
        char value[8] = {};
        QCOMPARE(QByteArray(value, int(::getxattr(encoded.constData(), "user.origin", value, sizeof value))),
            "kept");
    }
    if (expectedMode != 0) {
        QCOMPARE(statusOf(written).st_mode & 07777, expectedMode);
        QCOMPARE(statusOf(written).st_gid, expectedGroup);
    }
}

// The last step, the rename over the target, can fail too (here a folder took the file's place); the
// failure is reported, and the temporary file goes.
void TestAtomicFile::failedReplaceLeavesTheTarget()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.ambrel"));
    writeBytes(path, kOld);
    testing::setBeforeReplace([](const QString &target) {
        QFile::remove(target);
        QDir().mkpath(target + QStringLiteral("/inside"));
    });
    QString reason;
    const bool saved = writeFileAtomically(path, kNew, &reason);
    testing::setBeforeReplace({});
    QVERIFY(!saved);
    QCOMPARE(reason, QStringLiteral("Is a directory"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("plan.ambrel") });
    QVERIFY(QFileInfo::exists(path + QStringLiteral("/inside")));
}

void TestAtomicFile::contentWrittenInPieces_data()
{
    QTest::addColumn<QList<int>>("pieces"); // the sizes of the writes, in order

    QTest::newRow("nothing") << QList<int> {};
    QTest::newRow("one small piece") << QList<int> { 17 };
    QTest::newRow("many small pieces past the gathered size") << QList<int>(40'000, 13);
    QTest::newRow("one piece larger than the gathered size") << QList<int> { 700'000 };
    QTest::newRow("small, large, small") << QList<int> { 5, 300'000, 9, 262'143, 1, 262'144, 3 };
}

// However the content comes, the file holds exactly its bytes, in order.
void TestAtomicFile::contentWrittenInPieces()
{
    QFETCH(QList<int>, pieces);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.ics"));
    writeBytes(path, kOld);
    QByteArray expected;
    char next = 'a';
    for (const int size : pieces) {
        expected += QByteArray(size, next);
        next = next == 'z' ? 'a' : char(next + 1);
    }
    QString reason;
    const bool written = writeFileAtomically(
        path,
        [&](QIODevice *device, QString *) {
            qsizetype at = 0;
            for (const int size : pieces) {
                if (device->write(expected.constData() + at, size) != size)
                    return false;
                at += size;
            }
            return true;
        },
        &reason);
    QVERIFY2(written, qPrintable(reason));
    QCOMPARE(readBytes(path), expected);
}

void TestAtomicFile::writerThatGivesUpKeepsTheTarget()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.pdf"));
    writeBytes(path, kOld);
    QString reason;
    QVERIFY(!writeFileAtomically(
        path,
        [](QIODevice *device, QString *why) {
            device->write(QByteArray(600'000, 'x'));
            *why = QStringLiteral("The picture could not be drawn.");
            return false;
        },
        &reason));
    QCOMPARE(reason, QStringLiteral("The picture could not be drawn."));
    QCOMPARE(readBytes(path), kOld);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("plan.pdf") });
}

// Run in a child process, since without the mend the signal ends the process that writes.
void TestAtomicFile::fileSizeLimitFailsTheWriteInsteadOfEndingTheProgram()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.ambrel"));
    writeBytes(path, kOld);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        testing::FileSizeLimit limit(kOld.size());
        // The helper ignores the signal itself; the program's own call must do that.
        std::signal(SIGXFSZ, SIG_DFL);
        ignoreFileSizeSignal();
        QString reason;
        const bool saved = writeFileAtomically(path, QByteArray(64 * 1024, 'x'), &reason);
        _exit(!saved && reason == QLatin1String("File too large") ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), "the write past the limit ended the process");
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(readBytes(path), kOld);
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
