#include "batch_data/zip/ZipArchive.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <minizip/unzip.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

const QString kErrorDomain = QStringLiteral("ZipArchiveErrorDomain");

void setError(ZipError *error, int code, const QString &description)
{
    if (error)
        *error = ZipError{kErrorDomain, code, description};
}

// Closes the reader however unpacking ends.
struct UnzCloser {
    void operator()(void *handle) const { unzClose(handle); }
};
using UnzHandle = std::unique_ptr<void, UnzCloser>;

// An entry name that would land outside the destination folder (absolute,
// a drive letter, a parent-folder component) or that names nothing.
bool isUnsafeName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(QChar(0)))
        return true;
    const QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return true;
    if (parts.first().size() == 2 && parts.first().at(1) == u':')
        return true;
    for (const QString &part : parts) {
        if (part == QLatin1String(".."))
            return true;
    }
    return false;
}

QDateTime entryDate(const tm_unz &date)
{
    return QDateTime(QDate(int(date.tm_year), int(date.tm_mon) + 1, int(date.tm_mday)),
                     QTime(int(date.tm_hour), int(date.tm_min), int(date.tm_sec)));
}

QString mebibytes(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024));
}

// Checks what the central directory declares, so that an archive beyond the
// bounds is refused before anything is written. minizip never inflates an
// entry past its declared size, so the declarations bound what unpacking
// writes. Empty when the archive is within the bounds, else the reason.
QString beyondLimits(unzFile zip, const ZipLimits &limits)
{
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK)
        return {};   // the walk reports the damage
    const QString tooMany = QStringLiteral("the archive has more than %1 entries").arg(limits.maxEntries);
    if (qint64(global.number_entry) > limits.maxEntries)
        return tooMany;
    qint64 total = 0;
    qint64 entries = 0;
    std::vector<char> name(1024);
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, name.data(), uLong(name.size()), nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        const qint64 size = qint64(info.uncompressed_size);
        const qint64 packed = std::max<qint64>(1, qint64(info.compressed_size));
        const QString entry =
            QString::fromUtf8(name.data(), qsizetype(std::min<uLong>(info.size_filename, name.size())));
        if (++entries > limits.maxEntries)
            return tooMany;
        if (size < 0 || size > limits.maxEntryBytes)
            return QStringLiteral("its entry \"%1\" unpacks to more than %2 MiB")
                .arg(entry, mebibytes(limits.maxEntryBytes));
        if (size > limits.ratioFloorBytes && double(size) / double(packed) > limits.maxRatio)
            return QStringLiteral("its entry \"%1\" expands %2 times, as only a zip bomb does")
                .arg(entry).arg(size / packed);
        total += size;
        if (total > limits.maxTotalBytes)
            return QStringLiteral("it unpacks to more than %1 MiB").arg(mebibytes(limits.maxTotalBytes));
    }
    return {};
}

// Writes one entry's bytes to `target`. A file that is there is replaced
// only once the entry has read whole and its CRC agreed: the bytes go to a
// temporary sibling first. A new file is written in place and removed on
// failure. Nothing is flushed to the disk: unpacked parts are working
// copies, not the user's files.
bool writeEntry(unzFile zip, const QString &target, bool exists, qint64 declared, const QDateTime *date,
                std::vector<char> &buffer)
{
    std::unique_ptr<QFile> file;
    if (exists) {
        auto temporary = std::make_unique<QTemporaryFile>(target + QStringLiteral(".XXXXXX"));
        if (!temporary->open())
            return false;
        file = std::move(temporary);
    } else {
        file = std::make_unique<QFile>(target);
        if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return false;
    }
    bool ok = true;
    qint64 written = 0;
    for (;;) {
        const int n = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()));
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        written += n;
        // An entry may not give more than it declares (the bounds were
        // checked on the declarations).
        if (written > declared || file->write(buffer.data(), n) != n) {
            ok = false;
            break;
        }
    }
    // minizip compares the checksum only when the entry gave all the bytes
    // it declares; a stream that ends early is damaged too.
    if (unzCloseCurrentFile(zip) != UNZ_OK || written != declared)
        ok = false;
    if (ok && date) {
        ok = file->flush();
        file->setFileTime(*date, QFileDevice::FileModificationTime);   // a failure keeps the file
    }
    if (!ok) {
        file->close();
        if (!exists)
            file->remove();
        return false;   // a temporary file removes itself
    }
    file->close();
    if (exists) {
        std::error_code failed;
        std::filesystem::rename(file->fileName().toStdString(), target.toStdString(), failed);
        if (failed)
            return false;
        static_cast<QTemporaryFile &>(*file).setAutoRemove(false);
    }
    return true;
}

} // namespace

ZipArchive::ZipArchive(const QString &path) : _path(path) {}

ZipArchive::~ZipArchive()
{
    if (_zip)
        zipClose(_zip, nullptr);
}

QDateTime ZipArchive::_dateFor1980()
{
    return QDateTime(QDate(1980, 1, 1), QTime(0, 0));
}

bool ZipArchive::unzipFileAtPath(const QString &path, const QString &toDestination)
{
    return unzipFileAtPath(path, toDestination, true, QString(), nullptr);
}

bool ZipArchive::unzipFileAtPath(const QString &path, const QString &toDestination, bool overwrite,
                                 const QString &password, ZipError *error, const ZipLimits &limits)
{
    UnzHandle zip(unzOpen64(path.toUtf8().constData()));
    if (!zip) {
        setError(error, -1, QStringLiteral("failed to open zip file"));
        return false;
    }
    const QString refused = beyondLimits(zip.get(), limits);
    if (!refused.isEmpty()) {
        qInfo().noquote() << QStringLiteral("Refused zip archive %1: %2").arg(path, refused);
        setError(error, -3, QStringLiteral("zip file too large: %1").arg(refused));
        return false;
    }
    if (unzGoToFirstFile(zip.get()) != UNZ_OK) {
        setError(error, -2, QStringLiteral("failed to open first file in zip file"));
        return false;
    }

    const QByteArray passwordBytes = password.toLatin1();
    const QString destination = QDir::cleanPath(toDestination);
    std::vector<char> buffer(256 * 1024);
    QSet<QString> madeFolders;
    bool success = true;

    for (;;) {
        const int opened = passwordBytes.isEmpty()
            ? unzOpenCurrentFile(zip.get())
            : unzOpenCurrentFilePassword(zip.get(), passwordBytes.constData());
        if (opened != UNZ_OK) {
            success = false;
            break;
        }
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            success = false;
            unzCloseCurrentFile(zip.get());
            break;
        }
        QByteArray rawName(int(info.size_filename) + 1, '\0');
        unzGetCurrentFileInfo64(zip.get(), &info, rawName.data(), uLong(rawName.size()),
                                nullptr, 0, nullptr, 0);
        rawName.truncate(int(info.size_filename));
        QString name = QString::fromUtf8(rawName);
        const bool isFolder = name.endsWith(u'/') || name.endsWith(u'\\');
        name.replace(u'\\', u'/');

        bool entryOk = true;
        if (isUnsafeName(name)) {
            qInfo().noquote() << QStringLiteral("Refused zip entry outside the destination: \"%1\" in %2")
                                     .arg(name, path);
            entryOk = false;
            unzCloseCurrentFile(zip.get());
        } else {
            const QString target = destination + u'/' + name;
            const QString folder = isFolder ? target : target.left(target.lastIndexOf(u'/'));
            if (!madeFolders.contains(folder)) {
                QDir().mkpath(folder);
                madeFolders.insert(folder);
            }
            // One lstat tells whether something is there and what it is.
            std::error_code ignored;
            const std::filesystem::file_status status =
                std::filesystem::symlink_status(std::filesystem::path(target.toStdString()), ignored);
            const bool exists = std::filesystem::exists(status);
            const bool isLink = std::filesystem::is_symlink(status);
            if (isFolder) {
                entryOk = std::filesystem::is_directory(std::filesystem::status(target.toStdString(), ignored));
                unzCloseCurrentFile(zip.get());
            } else if (exists && !overwrite) {
                unzCloseCurrentFile(zip.get());
            } else if (isLink || std::filesystem::is_directory(status)) {
                entryOk = false;   // never written through a link, never over a folder
                unzCloseCurrentFile(zip.get());
            } else {
                const QDateTime date = entryDate(info.tmu_date);
                entryOk = writeEntry(zip.get(), target, exists, qint64(info.uncompressed_size),
                                     info.dosDate != 0 ? &date : nullptr, buffer);
                if (!entryOk)
                    qInfo().noquote() << QStringLiteral("Could not unpack zip entry \"%1\" of %2").arg(name, path);
            }
        }
        if (!entryOk)
            success = false;

        const int next = unzGoToNextFile(zip.get());
        if (next != UNZ_OK) {
            if (next != UNZ_END_OF_LIST_OF_FILE)
                success = false;
            break;
        }
    }
    return success;
}

bool ZipArchive::createZipFileAtPath(const QString &path, const QStringList &withFilesAtPaths)
{
    ZipArchive archive(path);
    if (!archive.open())
        return false;
    for (QString item : withFilesAtPaths) {
        while (item.size() > 1 && item.endsWith(u'/'))
            item.chop(1);
        const int slash = item.lastIndexOf(u'/');
        const QString name = slash < 0 ? item : item.mid(slash + 1);
        const QString base = slash < 0 ? QStringLiteral(".") : item.left(slash + 1);
        archive.writeFile(name, base);   // an unreadable path is left out
    }
    return archive.close();
}

bool ZipArchive::createZipFileAtPath(const QString &path, const QString &withFilesAtPath)
{
    return createZipFileAtPath(path, QStringList{withFilesAtPath});
}

bool ZipArchive::open()
{
    if (_zip) {
        qInfo() << "Attempting open an archive which is already open";
        return false;
    }
    _failed = false;
    _zip = zipOpen64(_path.toUtf8().constData(), APPEND_STATUS_CREATE);
    return _zip != nullptr;
}

bool ZipArchive::startEntry(const QString &name, const zip_fileinfo *info, qint64 size)
{
    // Bit 11: the name is UTF-8. Only an entry that needs it gets the zip64
    // block in its local header; office programs refuse small entries with
    // one.
    const int zip64 = size >= qint64(0xffffffff) ? 1 : 0;
    const int rc = zipOpenNewFileInZip4_64(_zip, name.toUtf8().constData(), info, nullptr, 0, nullptr, 0,
                                           nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS,
                                           DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, 0x800, zip64);
    if (rc != ZIP_OK)
        _failed = true;
    return rc == ZIP_OK;
}

bool ZipArchive::finishEntry()
{
    if (zipCloseFileInZip(_zip) != ZIP_OK) {
        _failed = true;
        return false;
    }
    return true;
}

bool ZipArchive::writeFile(const QString &file, const QString &basePath)
{
    if (!_zip) {
        qInfo() << "Attempting to write to an archive which was never opened";
        return false;
    }
    const QString fullPath = basePath.endsWith(u'/') ? basePath + file : basePath + u'/' + file;
    const QFileInfo fileInfo(fullPath);
    if (fileInfo.isDir()) {
        if (fileInfo.isSymLink())
            return false;   // never follow a link out of the packed folder
        const QStringList entries = QDir(fullPath).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        if (entries.isEmpty())
            return startEntry(file + u'/', nullptr, 0) && finishEntry();
        for (const QString &entry : entries) {
            if (!writeFile(file + u'/' + entry, basePath))
                return false;
        }
        return true;
    }

    QFile input(fullPath);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    if (!startEntry(file, nullptr, fileInfo.size()))
        return false;
    bool ok = true;
    std::vector<char> buffer(16384);
    for (;;) {
        const qint64 n = input.read(buffer.data(), qint64(buffer.size()));
        if (n < 0) {
            ok = false;
            _failed = true;
            break;
        }
        if (n == 0)
            break;
        if (zipWriteInFileInZip(_zip, buffer.data(), unsigned(n)) != ZIP_OK) {
            ok = false;
            _failed = true;
            break;
        }
    }
    return finishEntry() && ok;
}

bool ZipArchive::writeData(const QByteArray &data, const QString &filename)
{
    if (!_zip || data.isEmpty())
        return false;
    zip_fileinfo info{};
    zipInfo(info, QDateTime::currentDateTime());
    if (!startEntry(filename, &info, data.size()))
        return false;
    const bool ok = zipWriteInFileInZip(_zip, data.constData(), unsigned(data.size())) == ZIP_OK;
    if (!ok)
        _failed = true;
    return finishEntry() && ok;
}

void ZipArchive::zipInfo(zip_fileinfo &info, const QDateTime &setDate)
{
    const QDateTime local = setDate.toLocalTime();
    info.tmz_date.tm_sec = uInt(local.time().second());
    info.tmz_date.tm_min = uInt(local.time().minute());
    info.tmz_date.tm_hour = uInt(local.time().hour());
    info.tmz_date.tm_mday = uInt(local.date().day());
    info.tmz_date.tm_mon = uInt(local.date().month() - 1);
    info.tmz_date.tm_year = uInt(local.date().year());
    info.dosDate = 0;
}

bool ZipArchive::close()
{
    if (!_zip) {
        qInfo() << "Attempting to close an archive which was never opened";
        return false;
    }
    const int rc = zipClose(_zip, nullptr);
    _zip = nullptr;
    return rc == ZIP_OK && !_failed;
}
