#include "Corekit.h"

#include "corekit/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace ambrel {

namespace {

bool readPrefix(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    *bytes = file.read(maxBytes);
    return true;
}

} // namespace

bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QStringList LoadLines(const QString &path, qint64 maxBytes)
{
    QString text = LoadText(path, maxBytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char('\n'));
}

QString LoadText(const QString &path, qint64 maxBytes, QString *reason)
{
    QByteArray bytes;
    if (!readPrefix(path, maxBytes, &bytes, reason))
        return {};
    return QString::fromUtf8(bytes);
}

std::optional<Refusal> SaveLines(const QStringList &lines, const QString &path)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    return saveFileAtomically(path, bytes);
}

std::optional<Refusal> SaveText(const QString &text, const QString &path)
{
    return saveFileAtomically(path, text.toUtf8());
}

QString ReplaceAll(const QString &text, const QString &find, const QString &replacement)
{
    // Most texts hold nothing to replace; they are shared rather than copied.
    // A search for one character is much quicker than one for a text, and rules out most texts.
    if (find.isEmpty() || !text.contains(find.front()) || !text.contains(find))
        return text;
    QString result = text;
    result.replace(find, replacement, Qt::CaseSensitive);
    return result;
}

QStringList SplitLines(const QString &text, const QString &separator)
{
    if (separator.isEmpty())
        return text.isEmpty() ? QStringList() : QStringList { text };
    return text.split(separator, Qt::SkipEmptyParts, Qt::CaseSensitive);
}

} // namespace ambrel
