#include "app/PasswordKeeper.h"

#include <QEventLoop>

#include <qt6keychain/keychain.h>

namespace ambrel {

namespace {

const QString kService = QStringLiteral("Ambrel calendar servers");

// QtKeychain's jobs answer asynchronously; the dialog asks at a moment it can wait for the answer.
void runAndWait(QKeychain::Job &job)
{
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec();
}

bool noKeyring(QKeychain::Error error)
{
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented
        || error == QKeychain::AccessDeniedByUser || error == QKeychain::AccessDenied
        || error == QKeychain::OtherError;
}

class DesktopKeyring final : public PasswordKeeper {
public:
    Read read(const QString &key) override
    {
        QKeychain::ReadPasswordJob job(kService);
        job.setKey(key);
        runAndWait(job);
        if (job.error() == QKeychain::NoError)
            return Read { job.textData(), true };
        return Read { std::nullopt, !noKeyring(job.error()) };
    }

    bool write(const QString &key, const QString &password) override
    {
        QKeychain::WritePasswordJob job(kService);
        job.setKey(key);
        job.setTextData(password);
        runAndWait(job);
        return job.error() == QKeychain::NoError;
    }
};

PasswordKeeper *s_replacement = nullptr;

} // namespace

PasswordKeeper &PasswordKeeper::instance()
{
    static DesktopKeyring desktop;
    return s_replacement ? *s_replacement : desktop;
}

void PasswordKeeper::setInstance(PasswordKeeper *keeper)
{
    s_replacement = keeper;
}

} // namespace ambrel
