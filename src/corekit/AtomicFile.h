#pragma once

#include "corekit/Refusal.h"

#include <QByteArray>
#include <QFlags>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace ambrel {

// What replacing an existing file would do that the person may not want; the face asks before it forces.
enum class WriteCaution {
    None,
    // The file grants this user no write permission (for root: no one may write it).
    ReadOnly,
    // The file has other names; replacing it leaves them with the earlier content.
    HardLinked,
    // The file has an access list or extended attributes that the new file could not be given.
    AttributesLost,
};

enum class WriteOption {
    None = 0x0,
    ReplaceReadOnly = 0x1,
    SplitHardLink = 0x2,
    DropAttributes = 0x4,
    // A new file gets mode 0600 whatever the umask, and an existing one too: for Ambrel's own files.
    OwnerOnly = 0x8,
};
Q_DECLARE_FLAGS(WriteOptions, WriteOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(WriteOptions)

// What writeFileAtomically would refuse at path without the matching option; None for a missing file.
WriteCaution writeCaution(const QString &path);

// The one way Ambrel writes a file: the bytes go to a temporary file beside it, are flushed and checked,
// and only then replace the earlier file, which keeps its mode, its POSIX access list, its user.*
// extended attributes and, where the system allows, its owner and group. Any failure leaves the earlier file
// whole and puts the reason in *reason ("No space left on device", "File too large", ...). A caution the
// options do not allow is a failure that changes nothing. A symbolic link is followed and stays. Standard
// output, /dev/fd/N, a character device or a named pipe is written straight through; a folder or a disk
// device is refused.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr,
    WriteOptions options = WriteOption::None);

// Makes a file's content into device as it goes, so that a large file is never held whole; false, with
// the reason in *reason when the device did not fail, to give the file up.
using ContentWriter = std::function<bool(QIODevice *device, QString *reason)>;

// The same as above, with the content written by write straight into the temporary file (or through to
// the stream) rather than handed over whole. A failure of write or of the device leaves the earlier file
// whole, with the device's reason first.
bool writeFileAtomically(const QString &path, const ContentWriter &write, QString *reason = nullptr,
    WriteOptions options = WriteOption::None);

// The one wording of a file that was not written, file named as the person should read it (a path or a
// file name): "Could not write <file>: <reason>" for what Ambrel makes for other programs, "Could not save
// <file>: <reason>" for the person's own project, settings and session.
Refusal couldNotWrite(const QString &file, const QString &reason);
Refusal couldNotSave(const QString &file, const QString &reason);

// writeFileAtomically for a file of the person's own, its failure told as couldNotSave with the path.
std::optional<Refusal> saveFileAtomically(
    const QString &path, const QByteArray &bytes, WriteOptions options = WriteOption::None);

// Past a file-size limit (ulimit -f) the system ends the program at the write; with this called first,
// such a write fails with "File too large" like a full disk, and the earlier file stays whole. Both
// programs call it at start-up.
void ignoreFileSizeSignal();

// Creates the folder and any missing parents with mode 0700, and narrows the folder itself to 0700: for
// Ambrel's own folders, which may hold what a publish was told. False with *reason when it cannot.
bool makeOwnerOnlyFolder(const QString &path, QString *reason = nullptr);

namespace testing {

// Called just before the written file replaces the target at that path, so a test can make that last step
// fail; an empty function removes the hook.
void setBeforeReplace(std::function<void(const QString &target)> hook);

} // namespace testing

} // namespace ambrel
