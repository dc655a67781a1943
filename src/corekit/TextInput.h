#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace ambrel {

// Why bytes given as input cannot be taken as text; the faces word each for the person.
enum class InputProblem {
    None,
    Unreadable, // the system's words are in TextInput::reason
    TooLarge,
    Utf16,
    NotUtf8, // including NUL bytes, which no typed text holds
    CrOnlyLineEnds,
};

struct TextInput {
    QByteArray bytes; // empty unless problem is None
    InputProblem problem = InputProblem::None;
    QString reason;
};

// What keeps the bytes from being UTF-8 text with LF or CR LF line ends, or None.
InputProblem textProblem(QByteArrayView bytes);

// Reads the device to its end, stopping one byte past maxBytes, so that endless input (/dev/zero, a pipe
// that never closes its end) costs no more memory than twice the limit and ends in TooLarge.
TextInput readTextInput(QIODevice &device, qint64 maxBytes);
// The same for the file at path; a regular file larger than maxBytes is refused without being read.
TextInput readTextFile(const QString &path, qint64 maxBytes);

} // namespace ambrel
