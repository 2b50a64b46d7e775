#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool failWith(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// A NUL would cut the path short in the C library below.
std::optional<QByteArray> nativePath(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty() || native.contains('\0'))
        return std::nullopt;
    return native;
}

// A name beside the final one that no other writer picks: hidden, and not
// ending in the final name's extension, so that nothing takes it for the
// file while it is written.
QByteArray temporaryName(const QByteArray &folder, const QByteArray &fileName)
{
    return folder + "/." + fileName + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36)
           + ".part";
}

// The open temporary file; removed unless it was renamed into place.
class TemporaryFile {
public:
    ~TemporaryFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!name.isEmpty())
            ::unlink(name.constData());
    }

    // Opens a new file in `folder` that has no name yet where the file
    // system allows it (a program killed meanwhile leaves nothing behind),
    // else a hidden one; the errno value on failure.
    int open(const QByteArray &folder, const QByteArray &fileName)
    {
#ifdef O_TMPFILE
        // The nameless file is given its name through /proc.
        static const bool viaProc = ::access("/proc/self/fd", F_OK) == 0;
        fd = !viaProc ? -1 : ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0)
            return 0;
        if (viaProc && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
#endif
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray candidate = temporaryName(folder, fileName);
            fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                name = candidate;
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }

    // Every byte of `data`, or the errno value of the write that failed.
    // A write cut short is tried again from where it stopped, so that a
    // full disk is told by the system's own error.
    int write(const QByteArray &data) const
    {
        const char *next = data.constData();
        qint64 left = data.size();
        while (left > 0) {
            const ssize_t done = ::write(fd, next, size_t(std::min<qint64>(left, 1 << 30)));
            if (done < 0 && errno == EINTR)
                continue;
            if (done < 0)
                return errno;
            if (done == 0)
                return ENOSPC;
            next += done;
            left -= done;
        }
        return 0;
    }

    // The data on the disk and the file closed: on some file systems only
    // now does a full disk show.
    int finish()
    {
        if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS)
            return errno;
        const int closed = ::close(fd);
        fd = -1;
        return closed != 0 && errno != EINTR ? errno : 0;
    }

    // Puts the written file in place of `target`; the errno value on failure.
    int replace(const QByteArray &folder, const QByteArray &fileName, const QByteArray &target)
    {
        if (name.isEmpty()) {
            // A nameless file gets a hidden name first: a link cannot replace
            // a file, a rename can.
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            for (int attempt = 0; name.isEmpty(); ++attempt) {
                const QByteArray candidate = temporaryName(folder, fileName);
                if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, candidate.constData(), AT_SYMLINK_FOLLOW) == 0)
                    name = candidate;
                else if (errno != EEXIST || attempt == 100)
                    return errno;
            }
        }
        if (const int failed = finish())
            return failed;
        if (::rename(name.constData(), target.constData()) != 0)
            return errno;
        name.clear();
        return 0;
    }

    int fd = -1;
    QByteArray name;
};

} // namespace

QString systemReason(int code)
{
    return qt_error_string(code);
}

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    if (path.isEmpty())
        return failWith(error, QStringLiteral("No file name given."));
    // A link is followed (a chain of them, up to a loop's worth): the file it
    // names is replaced.
    QString finalPath = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40 && QFileInfo(finalPath).isSymLink(); ++hops)
        finalPath = QFileInfo(finalPath).symLinkTarget();
    const QFileInfo info(finalPath);
    const std::optional<QByteArray> target = nativePath(finalPath);
    const std::optional<QByteArray> folder = nativePath(info.absolutePath());
    if (!target || !folder)
        return failWith(error, QStringLiteral("The file name is not valid."));
    const QByteArray fileName = QFile::encodeName(info.fileName());

    struct stat existing {};
    const bool replacing = ::stat(target->constData(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode))
        return failWith(error, systemReason(EISDIR));

    TemporaryFile file;
    if (const int failed = file.open(*folder, fileName))
        return failWith(error, systemReason(failed));
    // Who may read the file does not change with its contents.
    if (replacing)
        ::fchmod(file.fd, existing.st_mode & 07777);
    if (const int failed = file.write(data))
        return failWith(error, systemReason(failed));
    if (const int failed = file.replace(*folder, fileName, *target))
        return failWith(error, systemReason(failed));
    return true;
}

bool makeFolders(const QString &path, QString *error)
{
    if (path.isEmpty())
        return failWith(error, QStringLiteral("No folder name given."));
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // From the top down, each folder that is not there yet: the first one
    // that cannot be made is the one whose reason the user reads.
    QStringList folders;
    for (QString folder = absolute; !folders.contains(folder); folder = QFileInfo(folder).path())
        folders.prepend(folder);
    for (const QString &folder : folders) {
        const std::optional<QByteArray> native = nativePath(folder);
        if (!native)
            return failWith(error, QStringLiteral("The folder name is not valid."));
        struct stat st {};
        if (::stat(native->constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return failWith(error, systemReason(ENOTDIR));
            continue;
        }
        if (errno != ENOENT)
            return failWith(error, systemReason(errno));
        if (::mkdir(native->constData(), 0777) != 0
            && !(errno == EEXIST && ::stat(native->constData(), &st) == 0 && S_ISDIR(st.st_mode)))
            return failWith(error, systemReason(errno));
    }
    return true;
}

} // namespace platform
