#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <acl/libacl.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace ambrel {

namespace {

// Deeper chains than this are loops; the system gives up at the same depth.
constexpr int kMaxLinkDepth = 40;

std::function<void(const QString &)> &beforeReplaceHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The descriptor a path names outright: standard output and error, and /dev/fd/N. Writing there must use
// the descriptor the program already holds, since reopening a redirected file would start at its
// beginning and replacing it would cut the program's own output off.
std::optional<int> namedDescriptor(const QString &path)
{
    if (path == QLatin1String("/dev/stdout"))
        return STDOUT_FILENO;
    if (path == QLatin1String("/dev/stderr"))
        return STDERR_FILENO;
    static const QRegularExpression form(QStringLiteral("^/(?:dev|proc/self)/fd/(\\d{1,9})$"));
    const QRegularExpressionMatch match = form.match(path);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

struct Target {
    QString path; // the file the symbolic links lead to
    std::optional<int> descriptor;
};

Target resolve(const QString &path)
{
    Target target { QFileInfo(path).absoluteFilePath(), namedDescriptor(path) };
    for (int depth = 0; depth < kMaxLinkDepth && !target.descriptor; ++depth) {
        const QFileInfo info(target.path);
        if (!info.isSymLink())
            break;
        target.path = info.symLinkTarget();
        target.descriptor = namedDescriptor(target.path);
    }
    return target;
}

bool writeAll(int fd, const char *data, qsizetype left)
{
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// The user.* extended attributes of the file; none where the file system keeps none.
QList<QByteArray> userAttributes(const QByteArray &path)
{
    const ssize_t size = ::listxattr(path.constData(), nullptr, 0);
    if (size <= 0)
        return {};
    QByteArray names(size, '\0');
    const ssize_t got = ::listxattr(path.constData(), names.data(), size_t(names.size()));
    QList<QByteArray> user;
    for (const QByteArray &name : names.left(got < 0 ? 0 : got).split('\0')) {
        if (name.startsWith("user."))
            user << name;
    }
    return user;
}

bool hasExtraAttributes(const QByteArray &path)
{
    return ::acl_extended_file(path.constData()) == 1 || !userAttributes(path).isEmpty();
}

// Gives the open file what the file at path has beyond its mode: the access list, which the mode's group
// bits only show as a mask, and the user.* attributes. False with errno when the system refuses either.
bool copyAttributes(const QByteArray &path, int fd)
{
    if (::acl_extended_file(path.constData()) == 1) {
        acl_t acl = ::acl_get_file(path.constData(), ACL_TYPE_ACCESS);
        if (!acl)
            return false;
        const int set = ::acl_set_fd(fd, acl);
        const int error = errno;
        ::acl_free(acl);
        errno = error;
        if (set != 0)
            return false;
    }
    for (const QByteArray &name : userAttributes(path)) {
        const ssize_t size = ::getxattr(path.constData(), name.constData(), nullptr, 0);
        QByteArray value(size < 0 ? 0 : size, '\0');
        if (size < 0
            || ::getxattr(path.constData(), name.constData(), value.data(), size_t(value.size())) != size
            || ::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    return true;
}

WriteCaution cautionOf(const QString &path, const struct stat &status)
{
    if (!S_ISREG(status.st_mode))
        return WriteCaution::None;
    // Root may write anything, so for root a file no one may write is the sign the person meant to keep it.
    const bool writable = geteuid() == 0 ? (status.st_mode & 0222) != 0
                                         : ::access(QFile::encodeName(path).constData(), W_OK) == 0;
    if (!writable)
        return WriteCaution::ReadOnly;
    if (status.st_nlink > 1)
        return WriteCaution::HardLinked;
    return WriteCaution::None;
}

class TemporaryFile final {
public:
    explicit TemporaryFile(const QString &target)
        : m_target(target)
    {
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    int fd() const { return m_fd; }

    // A file without a name where the system offers one, so that a program killed while writing leaves
    // nothing behind; otherwise a fresh name beside the target. New files get the usual mode (umask).
    bool open()
    {
        const QByteArray folder = QFile::encodeName(QFileInfo(m_target).absolutePath());
#ifdef O_TMPFILE
        m_fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            return true;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
#endif
        return createNamed();
    }

    // Replaces the target with the written file; on failure the target is as it was and errno says why.
    bool replaceTarget()
    {
        if (m_name.isEmpty()) {
            QByteArray name;
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
            if (!reserveName(&name))
                return false;
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) != 0)
                return false;
            m_name = name;
        }
        if (::close(std::exchange(m_fd, -1)) != 0)
            return false;
        if (beforeReplaceHook())
            beforeReplaceHook()(m_target);
        if (::rename(m_name.constData(), QFile::encodeName(m_target).constData()) != 0)
            return false;
        m_name.clear();
        return true;
    }

private:
    // A name beside the target no other file has, not yet created.
    bool reserveName(QByteArray *name) const
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            *name = QFile::encodeName(m_target) + '.'
                + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
            struct stat status { };
            if (::lstat(name->constData(), &status) != 0 && errno == ENOENT)
                return true;
        }
        errno = EEXIST;
        return false;
    }

    bool createNamed()
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (!reserveName(&m_name))
                break;
            m_fd = ::open(m_name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                return true;
            if (errno != EEXIST)
                break;
        }
        m_name.clear();
        return false;
    }

    QString m_target;
    QByteArray m_name;
    int m_fd = -1;
};

// The bytes a writer makes, gathered into large writes to the descriptor. The first failure is kept with
// the system's reason, and every write after it fails too.
class DescriptorDevice final : public QIODevice {
public:
    explicit DescriptorDevice(int fd)
        : m_fd(fd)
    {
        m_buffer.reserve(kBufferBytes);
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }
    int failure() const { return m_failure; }

    // Writes out what is still gathered; false when anything failed.
    bool finish()
    {
        if (m_failure == 0 && !m_buffer.isEmpty() && !writeAll(m_fd, m_buffer.constData(), m_buffer.size()))
            m_failure = errno;
        m_buffer.resize(0); // keeps the room for the next bytes
        return m_failure == 0;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_failure != 0)
            return -1;
        if (m_buffer.size() + size > kBufferBytes && !finish())
            return -1;
        if (size < kBufferBytes) {
            m_buffer.append(data, qsizetype(size));
            return size;
        }
        if (m_failure == 0 && !writeAll(m_fd, data, qsizetype(size)))
            m_failure = errno;
        return m_failure == 0 ? size : -1;
    }

private:
    static constexpr qsizetype kBufferBytes = 256 * 1024;

    int m_fd;
    QByteArray m_buffer;
    int m_failure = 0;
};

bool writeThrough(int fd, const ContentWriter &write, QString *reason)
{
    DescriptorDevice device(fd);
    QString why;
    const bool made = write(&device, &why);
    if (device.finish() && made)
        return true;
    if (reason) {
        if (device.failure() != 0)
            *reason = systemReason(device.failure());
        else
            *reason = why.isEmpty() ? systemReason(EIO) : why;
    }
    return false;
}

} // namespace

WriteCaution writeCaution(const QString &path)
{
    const Target target = resolve(path);
    struct stat status { };
    if (target.descriptor || ::stat(QFile::encodeName(target.path).constData(), &status) != 0)
        return WriteCaution::None;
    const WriteCaution caution = cautionOf(target.path, status);
    if (caution != WriteCaution::None || !S_ISREG(status.st_mode))
        return caution;
    const QByteArray encoded = QFile::encodeName(target.path);
    if (!hasExtraAttributes(encoded))
        return WriteCaution::None;
    // Only trying tells whether the folder's file system takes them from this user.
    TemporaryFile probe(target.path);
    return probe.open() && copyAttributes(encoded, probe.fd()) ? WriteCaution::None
                                                               : WriteCaution::AttributesLost;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason, WriteOptions options)
{
    return writeFileAtomically(
        path, [&bytes](QIODevice *device, QString *) { return device->write(bytes) == bytes.size(); }, reason,
        options);
}

bool writeFileAtomically(const QString &path, const ContentWriter &write, QString *reason, WriteOptions options)
{
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const Target target = resolve(path);
    if (target.descriptor)
        return writeThrough(*target.descriptor, write, reason);

    const QByteArray encoded = QFile::encodeName(target.path);
    struct stat status { };
    const bool exists = ::stat(encoded.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return fail(systemReason(errno));
    if (exists && S_ISDIR(status.st_mode))
        return fail(systemReason(EISDIR));
    if (exists && S_ISBLK(status.st_mode))
        return fail(QStringLiteral("It is a disk device, which Ambrel never writes to"));
    if (exists && !S_ISREG(status.st_mode)) {
        // A terminal, /dev/null or a named pipe takes the bytes as a stream; replacing it would break it.
        const int fd = ::open(encoded.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return fail(systemReason(errno));
        if (!writeThrough(fd, write, reason)) {
            ::close(fd);
            return false;
        }
        return ::close(fd) == 0 || fail(systemReason(errno));
    }
    if (exists) {
        const WriteCaution caution = cautionOf(target.path, status);
        if (caution == WriteCaution::ReadOnly && !options.testFlag(WriteOption::ReplaceReadOnly))
            return fail(QStringLiteral("The file is read-only"));
        if (caution == WriteCaution::HardLinked && !options.testFlag(WriteOption::SplitHardLink)) {
            return fail(QStringLiteral(
                "The file has other names (hard links), which would keep the earlier content"));
        }
    }

    TemporaryFile file(target.path);
    if (!file.open())
        return fail(systemReason(errno));
    if (options.testFlag(WriteOption::OwnerOnly)) {
        if (::fchmod(file.fd(), 0600) != 0)
            return fail(systemReason(errno));
    } else if (exists) {
        // The owner can only be kept by root, the group by a member of it; neither is worth failing over.
        if (::fchown(file.fd(), status.st_uid, status.st_gid) != 0
            && ::fchown(file.fd(), uid_t(-1), status.st_gid) != 0) {
            // The file then belongs to the writer's group, as any file the writer creates.
        }
        // After the change of owner, which clears the set-user-ID and set-group-ID bits.
        if (::fchmod(file.fd(), status.st_mode & 07777) != 0)
            return fail(systemReason(errno));
        // After the mode, whose group bits would otherwise overwrite the access list's mask.
        if (!copyAttributes(encoded, file.fd()) && !options.testFlag(WriteOption::DropAttributes)) {
            return fail(QStringLiteral("The file's access list or extended attributes could not be kept (%1)")
                            .arg(systemReason(errno)));
        }
    }
    // A write past the disk's end or the file-size limit fails here, and fdatasync reports what the
    // disk refused later; either way the target is still untouched.
    if (!writeThrough(file.fd(), write, reason))
        return false;
    if (::fdatasync(file.fd()) != 0 || !file.replaceTarget())
        return fail(systemReason(errno));
    return true;
}

Refusal couldNotWrite(const QString &file, const QString &reason)
{
    return Refusal { QStringLiteral("Could not write %1: %2").arg(file, reason) };
}

Refusal couldNotSave(const QString &file, const QString &reason)
{
    return Refusal { QStringLiteral("Could not save %1: %2").arg(file, reason) };
}

std::optional<Refusal> saveFileAtomically(const QString &path, const QByteArray &bytes, WriteOptions options)
{
    QString reason;
    if (writeFileAtomically(path, bytes, &reason, options))
        return std::nullopt;
    return couldNotSave(QDir::toNativeSeparators(path), reason);
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool makeOwnerOnlyFolder(const QString &path, QString *reason)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString made;
    for (const QString &part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        const QByteArray encoded = QFile::encodeName(made);
        if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST) {
            if (reason)
                *reason = systemReason(errno);
            return false;
        }
    }
    struct stat status { };
    const QByteArray encoded = QFile::encodeName(absolute);
    if (::stat(encoded.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) || status.st_mode == 0 ? errno : ENOTDIR;
        if (reason)
            *reason = systemReason(error);
        return false;
    }
    // A folder of an earlier version, made with the usual mode, is narrowed; one of another user is left.
    if ((status.st_mode & 077) != 0 && status.st_uid == geteuid())
        ::chmod(encoded.constData(), 0700);
    return true;
}

namespace testing {

void setBeforeReplace(std::function<void(const QString &target)> hook)
{
    beforeReplaceHook() = std::move(hook);
}

} // namespace testing

} // namespace ambrel
