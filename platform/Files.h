#pragma once
// Writing files the user owns: all or nothing, and a failure that says what
// the system said (no space left on device, permission denied, read-only
// file system). Any thread.

#include <QByteArray>
#include <QString>

namespace platform {

// Writes `data` to a temporary file beside `path` and renames it into place,
// so the file is either the old one or the complete new one. Every step is
// checked, the writes, the flush to the disk, the close and the rename: a
// disk that fills up part way never leaves an empty or cut file under the
// final name. False (with the system's reason in `error`) when any step
// fails; the old file is then untouched and no temporary file is left. A
// link at `path` is followed: the file it names is replaced, the link stays.
// An existing file keeps its permissions.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);

// Makes the folder `path` and any missing folders above it, with the
// permissions the user's umask leaves of 0777. True when it is there
// afterwards; false with the system's reason for the first folder that
// could not be made.
bool makeFolders(const QString &path, QString *error = nullptr);

// The system's description of the error number `code` (an errno value), as
// "No space left on device".
QString systemReason(int code);

} // namespace platform
