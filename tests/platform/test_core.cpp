// The core services: atomic writes, paths, string and file helpers, and the
// hand-off to the main thread.
#include "platform/Files.h"
#include "platform/Helpers.h"
#include "platform/MainThread.h"
#include "platform/Paths.h"

#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <cerrno>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using quorvant::test::readTestFile;
using quorvant::test::writeTestFile;

TEST(AtomicWrite, ReplacesTheWholeFileOrLeavesTheOldOne)
{
    quorvant::test::TempFolder tmp;
    const QString path = tmp.file("design.zelg");
    QString error;
    ASSERT_TRUE(platform::writeFileAtomically(path, "first version", &error)) << error.toStdString();
    ASSERT_TRUE(platform::writeFileAtomically(path, "second", &error));
    EXPECT_EQ(readTestFile(path), QByteArray("second"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"design.zelg"});

    // A folder that does not exist: failure reported, nothing created.
    EXPECT_FALSE(platform::writeFileAtomically(tmp.file("missing/x.txt"), "data", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(tmp.file("missing")));
    EXPECT_FALSE(platform::writeFileAtomically(QString(), "x"));

    // A read-only folder: the existing file stays as it was (root may write
    // anyway, which is no failure).
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = platform::writeFileAtomically(path, "third", &error);
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!written) {
        EXPECT_EQ(readTestFile(path), QByteArray("second"));
    }
}

TEST(AtomicWrite, ALinkIsFollowedPermissionsKeptAndAReadOnlyFileRefused)
{
    quorvant::test::TempFolder tmp;
    ASSERT_EQ(::chmod(QFile::encodeName(tmp.path()).constData(), 0777), 0);
    const QString path = tmp.file("design.zelg");
    writeTestFile(tmp.file("real.zelg"), "first");
    ASSERT_TRUE(QFile::link(tmp.file("real.zelg"), path));
    ASSERT_EQ(::chmod(QFile::encodeName(tmp.file("real.zelg")).constData(), 0640), 0);
    writeTestFile(tmp.file("kept.zelg"), "the user's own");
    ASSERT_EQ(::chmod(QFile::encodeName(tmp.file("kept.zelg")).constData(), 0444), 0);
    // Root writes as another user, for whom a file's permissions hold
    // (where root may switch).
    const uid_t before = ::geteuid();
    const bool asUser = before != 0
                        || (::chown(QFile::encodeName(tmp.file("real.zelg")).constData(), 65534, gid_t(-1)) == 0
                            && ::seteuid(65534) == 0);

    QString linked;
    QString readOnly;
    const bool linkWritten = platform::writeFileAtomically(path, "second", &linked);
    const bool readOnlyWritten = platform::writeFileAtomically(tmp.file("kept.zelg"), "replaced", &readOnly);
    ASSERT_EQ(::seteuid(before), 0);

    // Through the link: the file it names takes the bytes and keeps its
    // permissions; the link stays a link.
    EXPECT_TRUE(linkWritten) << linked.toStdString();
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readTestFile(tmp.file("real.zelg")), QByteArray("second"));
    struct stat real {};
    ASSERT_EQ(::stat(QFile::encodeName(tmp.file("real.zelg")).constData(), &real), 0);
    EXPECT_EQ(real.st_mode & 07777, 0640u);
    // A file the user made read-only is not replaced behind its back.
    if (asUser) {
        EXPECT_FALSE(readOnlyWritten);
        EXPECT_EQ(readOnly, platform::systemReason(EACCES));
        EXPECT_EQ(readTestFile(tmp.file("kept.zelg")), QByteArray("the user's own"));
    }
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{"design.zelg", "kept.zelg", "real.zelg"}));
}

TEST(AtomicWrite, AFullDiskLeavesNoEmptyOrCutFileAndSaysWhy)
{
    // Room for one page: what fits is written whole; what does not, from a
    // few bytes more than the room (which a buffered write used to leave
    // cut at 4,096 bytes under its final name) to many times it, leaves the
    // old file or none, and the system's own words.
    quorvant::test::SmallDisk disk(4);
    const struct {
        const char *name;
        qsizetype bytes;
        bool written;
    } rows[] = {
        {"card.png", 100, true},
        {"cut.png", 8000, false},
        {"big.png", 70000, false},
        {"card.png", 8000, false},
    };
    for (const auto &row : rows) {
        const QString path = disk.file(row.name);
        const QByteArray before = readTestFile(path);
        const QByteArray data(row.bytes, 'q');
        QString error;
        EXPECT_EQ(platform::writeFileAtomically(path, data, &error), row.written) << row.name;
        EXPECT_EQ(readTestFile(path), row.written ? data : before) << row.name;
        if (!row.written) {
            EXPECT_EQ(error, disk.fullReason()) << row.name;
        }
    }
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"card.png"});

    // A folder that is read-only says so (where the test may mount one).
    if (disk.makeReadOnly()) {
        QString error;
        EXPECT_FALSE(platform::writeFileAtomically(disk.file("card.png"), "new", &error));
        EXPECT_EQ(error, platform::systemReason(EROFS));
        EXPECT_EQ(readTestFile(disk.file("card.png")), QByteArray(100, 'q'));
        EXPECT_FALSE(platform::makeFolders(disk.file("Quorvant/Cards"), &error));
        EXPECT_EQ(error, "Read-only file system");
    }
}

TEST(Folders, MadeWithTheirParentsOrTheSystemsReason)
{
    quorvant::test::TempFolder tmp;
    writeTestFile(tmp.file("file"), "in the way");
    QString error;
    EXPECT_TRUE(platform::makeFolders(tmp.file("a/b/c"), &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(tmp.file("a/b/c")).isDir());
    EXPECT_TRUE(platform::makeFolders(tmp.file("a/b"), &error));
    EXPECT_FALSE(platform::makeFolders(tmp.file("file/sub"), &error));
    EXPECT_EQ(error, "Not a directory");
    // Where even root cannot make a folder.
    EXPECT_FALSE(platform::makeFolders("/proc/1/Quorvant", &error));
    EXPECT_EQ(error, "No such file or directory");
}

TEST(FileStamp, ChangesWhenTheFileIsReplacedRewrittenOrRemoved)
{
    quorvant::test::TempFolder tmp;
    const QString path = tmp.file("design.zelg");
    EXPECT_FALSE(platform::fileStamp(path).exists);
    ASSERT_TRUE(platform::writeFileAtomically(path, "first"));
    const platform::FileStamp first = platform::fileStamp(path);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(platform::fileStamp(path), first);
    // The same bytes written again by an atomic write: another file.
    ASSERT_TRUE(platform::writeFileAtomically(path, "first"));
    const platform::FileStamp again = platform::fileStamp(path);
    EXPECT_NE(again, first);
    writeTestFile(path, "a longer text");
    EXPECT_NE(platform::fileStamp(path), again);
    QFile::remove(path);
    EXPECT_FALSE(platform::fileStamp(path).exists);
}

TEST(OpenRegularFile, ReadsAFileAndRefusesAFifoADeviceOrAFolderWithoutWaiting)
{
    // Opened first and judged after: a FIFO with no writer would block a
    // plain open for ever, so this test would never end.
    quorvant::test::TempFolder tmp;
    const QString fifo = tmp.file("fifo.zelg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = tmp.file("zero.zelg");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString file = tmp.file("design.zelg");
    writeTestFile(file, "<plist/>");
    const struct {
        QString path;
        const char *reason;
    } refused[] = {
        {fifo, "It is not a regular file."},
        {zero, "It is not a regular file."},
        {tmp.path(), "It is not a regular file."},
        {tmp.file("missing.zelg"), "There is no such file."},
    };
    for (const auto &row : refused) {
        QFile opened;
        QString error;
        EXPECT_FALSE(platform::openRegularFile(opened, row.path, &error)) << row.path.toStdString();
        EXPECT_EQ(error, row.reason) << row.path.toStdString();
        EXPECT_FALSE(opened.isOpen());
    }
    QFile opened;
    QString error;
    ASSERT_TRUE(platform::openRegularFile(opened, file, &error)) << error.toStdString();
    EXPECT_EQ(opened.readAll(), "<plist/>");
}

TEST(Paths, UserFolderFollowsXdgAndBundleFollowsTheOverride)
{
    const QString user = platform::userResourcePath();
    EXPECT_EQ(user, qEnvironmentVariable("XDG_DATA_HOME") + "/Quorvant");
    EXPECT_TRUE(QFileInfo(user).isDir());

    {
        const quorvant::test::ScopedEnvironment bundle("QUORVANT_RESOURCES", "/somewhere/else/");
        EXPECT_EQ(platform::bundleResourcesPath(), "/somewhere/else");
    }
    const quorvant::test::ScopedEnvironment noBundle("QUORVANT_RESOURCES", QByteArray());
    EXPECT_EQ(platform::bundleResourcesPath(), QStringLiteral(QUORVANT_SOURCE_DIR "/resources"));
}

TEST(StringHelpers, CleanTheEndsOnlyAndClampIndexes)
{
    const QString s = QStringLiteral("abcdef");
    const struct {
        QString got, want;
    } rows[] = {
        // Blanks and controls mixed at the ends all go; inner ones stay.
        {Trim_Str("\x01 a\x02 b \x1b\t\r\n"), "a\x02 b"},
        {Trim_Str(QString::fromUtf16(u"\u00a0\ufeffÜnï ✓\u200b\u2028")), QString::fromUtf16(u"Ünï ✓")},
        // Reserved characters only at the ends, even behind blanks.
        {Remove_Reserve_Char_In_File_Name(" /\\?%*|\"<>series 1<>|*%?\\/ \n"), "series 1"},
        {Remove_Reserve_Char_In_File_Name("a/b?c*d"), "a/b?c*d"},
        // Out-of-range indexes clamp instead of failing.
        {Left_Str_substringToIndex(s, -3), ""},
        {Left_Str_substringToIndex(s, 99), s},
        {Right_Str_substringFromIndex(s, -1), ""},
        {Read_Str_FromIndex(s, -5), s},
        {Read_Str_FromIndex(s, 7), ""},
        {Replace_char_in_string("aaa", "aa", "b"), "ba"},
        {Replace_char_in_string("abc", QString(), "x"), "abc"},
        // Limits count what the user sees as one character: a surrogate
        // pair (U+1F382), a letter with a combining accent, a flag of two
        // regional indicators, are each kept whole or left out whole.
        {Limit_Str_Characters(QString::fromUtf16(u"ab\U0001F382c"), 3), QString::fromUtf16(u"ab\U0001F382")},
        {Limit_Str_Characters(QString::fromUtf16(u"ab\U0001F382c"), 2), "ab"},
        {Limit_Str_Characters(QString::fromUtf16(u"e\u0301e\u0301"), 1), QString::fromUtf16(u"e\u0301")},
        {Limit_Str_Characters(QString::fromUtf16(u"\U0001F1EB\U0001F1F7!"), 1), QString::fromUtf16(u"\U0001F1EB\U0001F1F7")},
        {Limit_Str_Characters("abc", 40), "abc"},
        {Limit_Str_Characters("abc", -1), ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.got, row.want);
    EXPECT_TRUE(Trim_Str(QString()).isNull());
}

TEST(DeleteFile, RemovesFilesAndEmptyFoldersOnly)
{
    quorvant::test::TempFolder tmp;
    writeTestFile(tmp.file("a.txt"), "x");
    Delete_File(tmp.file("a.txt"));
    EXPECT_FALSE(QFile::exists(tmp.file("a.txt")));
    EXPECT_NO_FATAL_FAILURE(Delete_File(tmp.file("a.txt")));

    writeTestFile(tmp.file("full/keep.txt"), "x");
    Delete_File(tmp.file("full"));
    EXPECT_TRUE(QFile::exists(tmp.file("full/keep.txt")));
}

TEST(MainThread, WorkerWaitsForTheResultAndGetsTheException)
{
    int value = 0;
    bool onMain = false;
    std::string caught;
    quorvant::test::runOnWorker([&] {
        platform::runOnMainThread([&] {
            onMain = platform::isMainThread();
            value = 42;
        });
        EXPECT_EQ(value, 42); // returns only once the work is done
        try {
            platform::runOnMainThread([] { throw std::runtime_error("boom"); });
        } catch (const std::runtime_error &e) {
            caught = e.what();
        }
    });
    EXPECT_TRUE(onMain);
    EXPECT_EQ(caught, "boom");
}
