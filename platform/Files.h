#pragma once
// Writing files the user owns: all or nothing.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

// Writes `data` to a temporary file beside `path` and renames it into place,
// so the file is either the old one or the complete new one. False (with the
// reason in `error`) when any step fails; the old file is then untouched.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);

// What tells, without reading it, whether a file changed: which file it is
// (device and inode, so a file replaced by a rename, as every atomic write
// does, is another file), its size and its modification time to the
// nanosecond. Two stamps of one path differ when the file was written,
// replaced or removed in between.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool operator==(const FileStamp &) const = default;
};
// The stamp of the file at `path` now; `exists` false when there is none.
FileStamp fileStamp(const QString &path);

} // namespace platform
