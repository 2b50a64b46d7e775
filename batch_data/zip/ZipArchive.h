#pragma once
// Unpacks a whole zip archive into a folder and packs files and folders into
// a new archive, over minizip (which uses zlib for deflate). The class adds
// the file-system side: folders, the overwrite rule, path separators,
// modification dates and the walk over folders.
//
// Archives come from outside (workbooks the user picks), so unpacking treats
// them as hostile: entry names that are absolute or climb out of the
// destination are refused, damaged entries never replace a good file, and
// archives beyond a sane size, entry count or compression ratio are refused
// as a whole before anything is written. Unpacked files are not flushed to
// the disk one by one: they are working copies.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <minizip/zip.h>

// Where an unpacking failure is described when the caller asks for it.
struct ZipError {
    QString domain;       // "ZipArchiveErrorDomain"
    int code = 0;         // -1 cannot open, -2 no first entry, -3 over the limits
    QString description;
};

// Bounds on what one unpacking may write, checked on what the archive
// declares before anything is written; no entry is inflated past its
// declaration. They fit the largest workbook the program reads (a sheet of
// some hundred MB of XML) and refuse zip bombs.
struct ZipLimits {
    qint64 maxTotalBytes = qint64(1) * 1024 * 1024 * 1024;   // all entries
    qint64 maxEntries = 100000;
    qint64 maxEntryBytes = qint64(512) * 1024 * 1024;         // one entry
    // An entry inflating beyond ratioFloorBytes may expand at most maxRatio
    // times its stored size: spreadsheet XML packs about 10 to 1, deflate
    // at most about 1000 to 1. Small entries may expand freely.
    double maxRatio = 200;
    qint64 ratioFloorBytes = qint64(16) * 1024 * 1024;
};

class ZipArchive {
public:
    // One archive to write: construct, open(), writeFile()/writeData(), close().
    explicit ZipArchive(const QString &path);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    // Unpacks every entry with overwrite on and no password.
    static bool unzipFileAtPath(const QString &path, const QString &toDestination);
    // True when every entry was unpacked. Refused names, read and CRC errors
    // make it false; the other entries are still unpacked.
    static bool unzipFileAtPath(const QString &path, const QString &toDestination, bool overwrite,
                                const QString &password, ZipError *error,
                                const ZipLimits &limits = ZipLimits{});

    // Stores each path under its own name at the archive's root (folders with
    // all of their content, hidden entries included). A path that cannot be
    // read is left out; false when the archive cannot be created or written.
    static bool createZipFileAtPath(const QString &path, const QStringList &withFilesAtPaths);
    // The same with a single folder.
    static bool createZipFileAtPath(const QString &path, const QString &withFilesAtPath);

    // 1 January 1980, 00:00 local time: the base of the zip format's dates.
    static QDateTime _dateFor1980();

    bool open();
    // Adds the file or folder `file` (relative to `basePath`) under that
    // relative name. Entries carry no date.
    bool writeFile(const QString &file, const QString &basePath);
    // Adds `data` as an entry named `filename`, dated now.
    bool writeData(const QByteArray &data, const QString &filename);
    static void zipInfo(zip_fileinfo &info, const QDateTime &setDate);
    // Finishes the archive; false when minizip could not write all of it.
    bool close();

private:
    bool startEntry(const QString &name, const zip_fileinfo *info, qint64 size);
    bool finishEntry();

    QString _path;
    zipFile _zip = nullptr;
    bool _failed = false;     // a write into the archive failed
};
