#pragma once
// Writing files the user owns: all or nothing, and a failure that says what
// the system said (no space left on device, permission denied, read-only
// file system). Any thread.

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>
#include <QString>
#include <memory>
#include <QtGlobal>

class QFile;

namespace platform {

// A file that a writer streams into (a PDF, a property list) and that is
// put in place all or nothing, as QSaveFile is meant to be: the bytes go to
// a temporary file beside the final one, and commit() checks every write,
// the flush to the disk, the close and the rename before the file takes its
// name. Unlike QSaveFile, a write that fails only when the last bytes are
// flushed still fails the commit: a full disk never leaves an empty or cut
// file under the final name. errorString() carries the system's reason.
// Write only, from the start to the end (no seeking). One thread at a time.
class AtomicFile : public QIODevice {
public:
    explicit AtomicFile(const QString &path);
    // Without a commit, nothing is left behind.
    ~AtomicFile() override;
    QString fileName() const { return m_path; }

    // Opens the temporary file; `mode` must be QIODevice::WriteOnly. A link
    // at the path is followed as the system follows it (its text read from
    // the real folder that holds it): the file it names will be replaced. A
    // chain of links that loops or ends at nothing is refused with the
    // system's reason, as is a path that names no regular file (a folder, a
    // device). An existing file's permissions and group are taken over; a
    // group the user is not in cannot be, and then the file keeps the group
    // a new file gets, with no more rights than others have. One the user may
    // not write is refused ("Permission denied").
    bool open(OpenMode mode) override;
    // The permissions the file is to have, before anything is written.
    bool setPermissions(QFileDevice::Permissions permissions);
    // Puts the file in place; false with the reason when any step failed,
    // then the old file (if any) is as it was.
    bool commit();
    // Drops what was written.
    void cancelWriting();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 len) override;

private:
    bool fail(int code);
    bool flushPending();

    class Temporary;
    QString m_path;
    std::unique_ptr<Temporary> m_temporary;
    QByteArray m_pending;
    bool m_failed = false;
};

// Writes `data` to a temporary file beside `path` and renames it into place,
// so the file is either the old one or the complete new one. Every step is
// checked, the writes, the flush to the disk, the close and the rename: a
// disk that fills up part way never leaves an empty or cut file under the
// final name. False (with the system's reason in `error`) when any step
// fails; the old file is then untouched and no temporary file is left. A
// link at `path` is followed as AtomicFile::open() follows it: the file it
// names is replaced, the link stays. An existing file keeps its permissions
// and group (as far as AtomicFile::open() can keep them); one the user may
// not write, or one that is not a regular file, is refused.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);

// Makes the folder `path` and any missing folders above it, with the
// permissions the user's umask leaves of 0777. True when it is there
// afterwards; false with the system's reason for the first folder that
// could not be made.
bool makeFolders(const QString &path, QString *error = nullptr);

// Opens the file at `path` in `file` for reading, only when it is a regular
// file. What it is is judged after opening, which never waits for a writer,
// so a path that is (or has just become) a FIFO, a device such as
// /dev/zero or a folder is refused and never blocks or floods the reader.
// False with the reason ("There is no such file.", "It is not a regular
// file." or the system's) otherwise.
bool openRegularFile(QFile &file, const QString &path, QString *error = nullptr);

// The system's description of the error number `code` (an errno value), as
// "No space left on device".
QString systemReason(int code);
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
