#include "TextInput.h"

#include <QFile>

#include <algorithm>

namespace ambrel {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;

// A BOM says so outright; without one, text that is mostly ASCII has a NUL in every other byte, and the
// first two bytes show which.
bool looksLikeUtf16(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    return bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0');
}

TextInput refused(InputProblem problem, const QString &reason = {})
{
    return { QByteArray(), problem, reason };
}

} // namespace

InputProblem textProblem(QByteArrayView bytes)
{
    if (looksLikeUtf16(bytes))
        return InputProblem::Utf16;
    if (bytes.contains('\0'))
        return InputProblem::NotUtf8;
    // Checked where they lie: decoding a file of many megabytes only to look at it costs as much again.
    if (!bytes.isValidUtf8())
        return InputProblem::NotUtf8;
    if (bytes.contains('\r') && !bytes.contains('\n'))
        return InputProblem::CrOnlyLineEnds;
    return InputProblem::None;
}

TextInput readTextInput(QIODevice &device, qint64 maxBytes)
{
    QByteArray bytes;
    while (bytes.size() <= maxBytes) {
        const qsizetype at = bytes.size();
        const qint64 wanted = std::min(kChunkBytes, maxBytes + 1 - at);
        bytes.resize(at + qsizetype(wanted));
        const qint64 got = device.read(bytes.data() + at, wanted);
        if (got < 0)
            return refused(InputProblem::Unreadable, device.errorString());
        bytes.resize(at + qsizetype(got));
        // A file gives nothing only at its end; other devices may first need to wait for more.
        if (got == 0 && !device.waitForReadyRead(-1))
            break;
    }
    if (bytes.size() > maxBytes)
        return refused(InputProblem::TooLarge);
    const InputProblem problem = textProblem(bytes);
    if (problem != InputProblem::None)
        return refused(problem);
    return { bytes, InputProblem::None, QString() };
}

TextInput readTextFile(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(InputProblem::Unreadable, file.errorString());
    if (!file.isSequential() && file.size() > maxBytes)
        return refused(InputProblem::TooLarge);
    return readTextInput(file, maxBytes);
}

} // namespace ambrel
