#include "AtomicFile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace ambrel {

namespace {

// Qt says "Unknown error" for some failures of the underlying write; the system's own words say more.
QString reasonOf(const QSaveFile &file, int systemError)
{
    const QString qtReason = file.errorString();
    if (systemError != 0 && (qtReason.isEmpty() || qtReason.contains(QLatin1String("Unknown error"))))
        return QString::fromLocal8Bit(std::strerror(systemError));
    return qtReason;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    auto fail = [&](int systemError) {
        if (reason)
            *reason = reasonOf(file, systemError);
        file.cancelWriting();
        return false;
    };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fail(errno);
    errno = 0;
    if (file.write(bytes) != bytes.size())
        return fail(errno);
    // A small write sits in the buffer until here; committing without this check would replace the
    // earlier file with an empty one when the disk is full.
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail(errno);
    errno = 0;
    if (!file.commit()) {
        const int systemError = errno;
        if (reason)
            *reason = reasonOf(file, systemError);
        return false;
    }
    return true;
}

} // namespace ambrel
