#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// The most links followed from one name to the next; the system gives up
// after as many (SYMLOOP_MAX) and calls it a loop.
constexpr int kMostLinks = 40;

// `name` in the folder `folder`.
QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The real path of the folder `folder`, every link and "." or ".." in it
// resolved by the system; the errno value when it cannot be reached.
int realFolder(const QByteArray &folder, QByteArray *real)
{
    char *resolved = ::realpath(folder.constData(), nullptr);
    if (!resolved)
        return errno;
    *real = resolved;
    ::free(resolved);
    return 0;
}

// Where a write to `path` lands, as the system would open it: the real
// folder and the name in it. A link at the end is read and its text taken
// from the folder that holds the link, not from the path given (which may
// run through a linked folder, so that its ".." is another folder than the
// text says); a chain of links is followed to its end. The errno value when
// a folder cannot be reached, the chain loops (ELOOP) or ends at nothing
// (ENOENT), or the path names a folder.
int destination(QByteArray path, QByteArray *folder, QByteArray *name)
{
    for (int links = 0;; ++links) {
        if (path.endsWith('/')) {
            struct stat st {};
            return ::stat(path.constData(), &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : ENOTDIR;
        }
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray given = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
        if (const int failed = realFolder(given, folder))
            return failed;
        *name = path.mid(slash + 1);
        const QByteArray full = joined(*folder, *name);
        struct stat st {};
        if (::lstat(full.constData(), &st) != 0) {
            // A new file where no link points yet; a link to nothing is
            // refused as the system refuses to read through it.
            return errno == ENOENT && links == 0 ? 0 : errno;
        }
        if (!S_ISLNK(st.st_mode))
            return 0;
        if (links == kMostLinks)
            return ELOOP;
        QByteArray text(qsizetype(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(full.constData(), text.data(), size_t(text.size()));
        if (length < 0)
            return errno;
        if (length >= text.size())
            return ENAMETOOLONG;
        text.truncate(length);
        path = text.startsWith('/') ? text : joined(*folder, text);
    }
}

} // namespace

// The open temporary file; removed unless it was renamed into place.
class AtomicFile::Temporary {
public:
    ~Temporary()
    {
        if (fd >= 0)
            ::close(fd);
        if (!name.isEmpty())
            ::unlink(name.constData());
    }

    // Opens a new file in `folder` that has no name yet where the file
    // system allows it (a program killed meanwhile leaves nothing behind),
    // else a hidden one; the errno value on failure.
    int open()
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

    // Every byte, or the errno value of the write that failed. A write cut
    // short is tried again from where it stopped, so that a full disk is
    // told by the system's own error.
    int write(const char *next, qint64 left) const
    {
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

    // Puts the written file in place of the target; the errno value on
    // failure.
    int replace()
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
        // The data on the disk and the file closed: on some file systems
        // only now does a full disk show.
        if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS)
            return errno;
        const int closed = ::close(fd);
        fd = -1;
        if (closed != 0 && errno != EINTR)
            return errno;
        if (::rename(name.constData(), target.constData()) != 0)
            return errno;
        name.clear();
        return 0;
    }

    QByteArray target;
    QByteArray folder;
    QByteArray fileName;
    int fd = -1;
    QByteArray name;
};

namespace {

// What a streaming writer gathers before it goes to the disk.
constexpr qsizetype kChunk = 64 * 1024;

} // namespace

QString systemReason(int code)
{
    return qt_error_string(code);
}

bool openRegularFile(QFile &file, const QString &path, QString *error)
{
    const std::optional<QByteArray> native = nativePath(path);
    if (!native)
        return failWith(error, QStringLiteral("The file name is not valid."));
    // Without O_NONBLOCK opening a FIFO would wait for a writer.
    const int fd = ::open(native->constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failWith(error, errno == ENOENT ? QStringLiteral("There is no such file.") : systemReason(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failWith(error, QStringLiteral("It is not a regular file."));
    }
    // A regular file reads as usual from here.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failWith(error, file.errorString());
    }
    return true;
}

AtomicFile::AtomicFile(const QString &path)
    : m_path(path)
{
}

AtomicFile::~AtomicFile()
{
    cancelWriting();
}

bool AtomicFile::fail(int code)
{
    m_failed = true;
    setErrorString(systemReason(code));
    return false;
}

bool AtomicFile::open(OpenMode mode)
{
    if (isOpen() || (mode & ~QIODevice::Unbuffered) != QIODevice::WriteOnly) {
        setErrorString(QStringLiteral("The file can only be opened once, for writing."));
        return false;
    }
    if (m_path.isEmpty()) {
        setErrorString(QStringLiteral("No file name given."));
        return false;
    }
    const std::optional<QByteArray> given = nativePath(m_path);
    if (!given) {
        setErrorString(QStringLiteral("The file name is not valid."));
        return false;
    }
    // A link is followed where the system follows it: the file it names is
    // replaced.
    QByteArray folder;
    QByteArray fileName;
    if (const int failed = destination(*given, &folder, &fileName))
        return fail(failed);
    const QByteArray target = joined(folder, fileName);
    struct stat existing {};
    const bool replacing = ::stat(target.constData(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode))
        return fail(EISDIR);
    // A device, a pipe or a socket is not replaced by a file of that name
    // (root could otherwise put a file in place of /dev/null).
    if (replacing && !S_ISREG(existing.st_mode)) {
        setErrorString(QStringLiteral("It is not a regular file."));
        return false;
    }
    // A file the user made read-only is not replaced, though the folder
    // would let the rename through.
    if (replacing && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return fail(errno);

    auto temporary = std::make_unique<Temporary>();
    temporary->target = target;
    temporary->folder = folder;
    temporary->fileName = fileName;
    if (const int failed = temporary->open())
        return fail(failed);
    // Who may read the file does not change with its contents: its group
    // first, as a change of group clears the set-id bits the mode then
    // puts back.
    if (replacing) {
        struct stat made {};
        if (::fstat(temporary->fd, &made) != 0)
            return fail(errno);
        mode_t mode = existing.st_mode & 07777;
        if (made.st_gid != existing.st_gid && ::fchown(temporary->fd, uid_t(-1), existing.st_gid) != 0) {
            // A group the user is not in (or one this system does not know)
            // cannot be given. Refusing would stop users saving their own
            // file: it keeps the group any new file there gets, and that
            // group is given no more than everyone else had.
            if (errno != EPERM && errno != EINVAL)
                return fail(errno);
            mode = (mode & ~mode_t(S_IRWXG)) | ((mode & S_IRWXO) << 3);
        }
        if (::fchmod(temporary->fd, mode) != 0)
            return fail(errno);
    }
    m_temporary = std::move(temporary);
    m_failed = false;
    m_pending.clear();
    return QIODevice::open(mode);
}

bool AtomicFile::setPermissions(QFileDevice::Permissions permissions)
{
    if (!m_temporary)
        return false;
    // Qt's owner bits: ReadOwner 0x4000, WriteOwner 0x2000, ExeOwner 0x1000,
    // then the group's at 0x0040..0x0010 and the others' at 0x0004..0x0001.
    mode_t mode = 0;
    for (const auto &[flag, bit] : {std::pair{QFileDevice::ReadOwner, S_IRUSR}, std::pair{QFileDevice::WriteOwner, S_IWUSR},
                                    std::pair{QFileDevice::ExeOwner, S_IXUSR}, std::pair{QFileDevice::ReadGroup, S_IRGRP},
                                    std::pair{QFileDevice::WriteGroup, S_IWGRP}, std::pair{QFileDevice::ExeGroup, S_IXGRP},
                                    std::pair{QFileDevice::ReadOther, S_IROTH}, std::pair{QFileDevice::WriteOther, S_IWOTH},
                                    std::pair{QFileDevice::ExeOther, S_IXOTH}}) {
        if (permissions.testFlag(flag))
            mode |= bit;
    }
    return ::fchmod(m_temporary->fd, mode) == 0;
}

bool AtomicFile::flushPending()
{
    if (m_pending.isEmpty())
        return true;
    const int failed = m_temporary->write(m_pending.constData(), m_pending.size());
    m_pending.clear();
    return failed == 0 || fail(failed);
}

qint64 AtomicFile::writeData(const char *data, qint64 len)
{
    if (m_failed || !m_temporary)
        return -1;
    // Small pieces (a PDF writer's) are gathered; a large one goes straight
    // through.
    if (m_pending.size() + len > kChunk && !flushPending())
        return -1;
    if (len >= kChunk) {
        if (const int failed = m_temporary->write(data, len)) {
            fail(failed);
            return -1;
        }
        return len;
    }
    m_pending.append(data, len);
    return len;
}

qint64 AtomicFile::readData(char *, qint64)
{
    return -1;
}

bool AtomicFile::commit()
{
    if (!isOpen() || !m_temporary)
        return false;
    // A write that failed has set its reason already.
    const bool written = !m_failed && flushPending();
    const int failed = written ? m_temporary->replace() : 0;
    // Closing may clear the reason of a failed write.
    const QString reason = errorString();
    m_temporary.reset();
    QIODevice::close();
    if (!written) {
        setErrorString(reason);
        return false;
    }
    return failed == 0 || fail(failed);
}

void AtomicFile::cancelWriting()
{
    m_temporary.reset();
    m_pending.clear();
    if (isOpen())
        QIODevice::close();
}

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    AtomicFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return failWith(error, file.errorString());
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

FileStamp fileStamp(const QString &path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

} // namespace platform
