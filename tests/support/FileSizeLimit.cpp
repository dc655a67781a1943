#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

namespace ambrel::testing {

FileSizeLimit::FileSizeLimit(long long bytes)
{
    // Past the limit the kernel sends SIGXFSZ, which would end the test; ignored, the write fails with EFBIG.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_previous = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    if (!m_active)
        return;
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
}

bool makeReadOnlyFolder(const QString &folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString probe = QDir(folder).filePath(QStringLiteral("probe"));
    QFile file(probe);
    if (file.open(QIODevice::WriteOnly)) {
        file.close();
        QFile::remove(probe);
        return false;
    }
    return true;
}

} // namespace ambrel::testing
