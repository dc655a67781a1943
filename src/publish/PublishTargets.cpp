#include "PublishTargets.h"

#include "corekit/AtomicFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace ambrel {

namespace {

const QByteArray kTargetFirstLine = "Ambrel publish target 1";
const QByteArray kTrustedFirstLine = "Ambrel trusted certificates 1";

QString targetPath(const QString &folder, const QString &projectId)
{
    const QByteArray digest = QCryptographicHash::hash(projectId.toUtf8(), QCryptographicHash::Sha256);
    return QDir(folder).filePath(
        QStringLiteral("publish-target-%1.txt").arg(QString::fromLatin1(digest.toHex().left(24))));
}

QString trustedPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("trusted-certificates.txt"));
}

QList<QByteArray> readLines(const QString &path, const QByteArray &firstLine)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // These files hold a few short lines; anything larger is not one of them.
    const QByteArray bytes = file.read(64 * 1024);
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.takeFirst() != firstLine)
        return {};
    return lines;
}

// Percent-encoded, so that a line break or a tab in a user name cannot make lines of its own.
QByteArray field(const QString &text)
{
    return text.toUtf8().toPercentEncoding(" @:/?=&+");
}

QString unfield(const QByteArray &bytes)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}

std::optional<Refusal> write(const QString &folder, const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (!makeOwnerOnlyFolder(folder, &reason)) {
        return Refusal {
            QStringLiteral("Could not create the folder %1: %2").arg(QDir::toNativeSeparators(folder), reason)
        };
    }
    if (!writeFileAtomically(path, bytes, &reason, WriteOption::OwnerOnly))
        return Refusal { reason };
    return std::nullopt;
}

QUrl withoutUserInfo(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveUserInfo);
}

} // namespace

std::optional<PublishTarget> loadPublishTarget(const QString &folder, const QString &projectId)
{
    PublishTarget target;
    for (const QByteArray &line : readLines(targetPath(folder, projectId), kTargetFirstLine)) {
        const qsizetype colon = line.indexOf(": ");
        const QByteArray key = line.left(colon);
        const QString value = unfield(line.mid(colon + 2));
        if (colon < 0)
            continue;
        if (key == "Project" && value != projectId)
            return std::nullopt; // another Id with the same file name
        if (key == "Server")
            target.server = QUrl(value);
        else if (key == "User")
            target.user = value;
        else if (key == "Calendar")
            target.calendar = QUrl(value);
    }
    if (!target.calendar.isValid() || target.calendar.isEmpty() || !target.server.isValid())
        return std::nullopt;
    const bool secret = !target.server.password().isEmpty() || !target.calendar.password().isEmpty();
    target.server = withoutUserInfo(target.server);
    target.calendar = withoutUserInfo(target.calendar);
    // An earlier version kept a password typed into the address; it goes from the file at once.
    if (secret)
        savePublishTarget(folder, projectId, target);
    return target;
}

std::optional<Refusal> savePublishTarget(
    const QString &folder, const QString &projectId, const PublishTarget &target)
{
    const QByteArray bytes = kTargetFirstLine + "\nProject: " + field(projectId)
        + "\nServer: " + field(withoutUserInfo(target.server).toString()) + "\nUser: " + field(target.user)
        + "\nCalendar: " + field(withoutUserInfo(target.calendar).toString()) + '\n';
    return write(folder, targetPath(folder, projectId), bytes);
}

QHash<QString, QSet<QByteArray>> loadTrustedCertificates(const QString &folder)
{
    QHash<QString, QSet<QByteArray>> trusted;
    for (const QByteArray &line : readLines(trustedPath(folder), kTrustedFirstLine)) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() == 2 && !parts[0].isEmpty() && !parts[1].isEmpty())
            trusted[unfield(parts[0]).toLower()].insert(parts[1]);
    }
    return trusted;
}

std::optional<Refusal> saveTrustedCertificate(
    const QString &folder, const QString &host, const QByteArray &fingerprint)
{
    QHash<QString, QSet<QByteArray>> trusted = loadTrustedCertificates(folder);
    trusted[host.toLower()].insert(fingerprint.toPercentEncoding(":"));
    QByteArray bytes = kTrustedFirstLine + '\n';
    for (auto it = trusted.cbegin(); it != trusted.cend(); ++it) {
        for (const QByteArray &print : it.value())
            bytes += field(it.key()) + '\t' + print + '\n';
    }
    return write(folder, trustedPath(folder), bytes);
}

} // namespace ambrel
