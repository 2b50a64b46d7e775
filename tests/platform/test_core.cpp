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
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using quorvant::test::readTestFile;
using quorvant::test::writeTestFile;

namespace {

// The rights of an ordinary user, for whom a file's permissions hold, while
// the object lives: root takes those of nobody (65534), giving it the files
// `owned` first; anyone else already has them. ok() is false when root
// could not switch.
class AsOrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;

    explicit AsOrdinaryUser(const QStringList &owned)
    {
        if (::geteuid() != 0) {
            m_ok = true;
            return;
        }
        for (const QString &path : owned) {
            if (::lchown(QFile::encodeName(path).constData(), kNobody, gid_t(-1)) != 0)
                return;
        }
        m_ok = m_switched = ::seteuid(kNobody) == 0;
    }
    ~AsOrdinaryUser()
    {
        if (m_switched) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
    bool m_switched = false;
};

struct stat statOf(const QString &path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

void makeLink(const char *text, const QString &at)
{
    ASSERT_EQ(::symlink(text, QFile::encodeName(at).constData()), 0) << at.toStdString();
}

QStringList everythingIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

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
    EXPECT_EQ(error, platform::systemReason(ENOENT));
    EXPECT_FALSE(QFile::exists(tmp.file("missing")));
    EXPECT_FALSE(platform::writeFileAtomically(QString(), "x"));
}

TEST(AtomicWrite, WhatTheUserMayNotWriteStaysAsItWasWithTheSystemsReason)
{
    quorvant::test::TempFolder tmp;
    ASSERT_EQ(::chmod(QFile::encodeName(tmp.path()).constData(), 0777), 0);
    // A folder the user may not write, holding a file the user may; a file
    // the user made read-only in a folder the user may write.
    const QString folder = tmp.file("locked");
    const QString inLockedFolder = tmp.file("locked/design.zelg");
    const QString readOnly = tmp.file("kept.zelg");
    writeTestFile(inLockedFolder, "second");
    writeTestFile(readOnly, "the user's own");
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    const AsOrdinaryUser user({folder, inLockedFolder, readOnly});
    if (!user.ok())
        GTEST_SKIP() << "root could not take an ordinary user's rights, for whom permissions hold";
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0500), 0);

    QString error;
    EXPECT_FALSE(platform::writeFileAtomically(inLockedFolder, "third", &error));
    EXPECT_EQ(error, platform::systemReason(EACCES));
    EXPECT_EQ(readTestFile(inLockedFolder), QByteArray("second"));
    EXPECT_EQ(everythingIn(folder), QStringList{"design.zelg"});

    error.clear();
    EXPECT_FALSE(platform::writeFileAtomically(readOnly, "replaced", &error));
    EXPECT_EQ(error, platform::systemReason(EACCES));
    EXPECT_EQ(readTestFile(readOnly), QByteArray("the user's own"));
    EXPECT_EQ(everythingIn(tmp.path()), (QStringList{"kept.zelg", "locked"}));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
}

TEST(AtomicWrite, ALinkIsFollowedAndTheFileKeepsItsModeAndGroup)
{
    quorvant::test::TempFolder tmp;
    const QString path = tmp.file("design.zelg");
    const QString real = tmp.file("real.zelg");
    writeTestFile(real, "first");
    ASSERT_TRUE(QFile::link(real, path));
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);

    // Through the link: the file it names takes the bytes and keeps its
    // permissions; the link stays a link.
    QString error;
    EXPECT_TRUE(platform::writeFileAtomically(path, "second", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readTestFile(real), QByteArray("second"));
    EXPECT_EQ(statOf(real).st_mode & 07777, 0640u);
    EXPECT_EQ(everythingIn(tmp.path()), (QStringList{"design.zelg", "real.zelg"}));

    // And its group.
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file the group of someone else, to see it kept, takes root";
    ASSERT_EQ(::chown(QFile::encodeName(real).constData(), uid_t(-1), 65534), 0);
    EXPECT_TRUE(platform::writeFileAtomically(path, "again", &error)) << error.toStdString();
    EXPECT_EQ(readTestFile(real), QByteArray("again"));
    EXPECT_EQ(statOf(real).st_gid, 65534u);
    EXPECT_EQ(statOf(real).st_mode & 07777, 0640u);

    // A user may not hand a file to a group the user is not in. The user's
    // own file is saved all the same, in the group a new file there gets,
    // and that group may do no more than everyone else.
    ASSERT_EQ(::chmod(QFile::encodeName(tmp.path()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0664), 0);
    ASSERT_EQ(::chown(QFile::encodeName(real).constData(), uid_t(-1), 4321), 0);
    const AsOrdinaryUser user({real});
    ASSERT_TRUE(user.ok()) << "root could not take an ordinary user's rights";
    writeTestFile(tmp.file("new.zelg"), "made by the user");
    const gid_t newFilesGroup = statOf(tmp.file("new.zelg")).st_gid;
    ASSERT_NE(newFilesGroup, 4321u);
    ASSERT_TRUE(QFile::remove(tmp.file("new.zelg")));
    error.clear();
    EXPECT_TRUE(platform::writeFileAtomically(path, "third", &error)) << error.toStdString();
    EXPECT_EQ(readTestFile(real), QByteArray("third"));
    EXPECT_EQ(statOf(real).st_gid, newFilesGroup);
    EXPECT_EQ(statOf(real).st_mode & 07777, 0644u);
    EXPECT_EQ(everythingIn(tmp.path()), (QStringList{"design.zelg", "real.zelg"}));
}

TEST(AtomicWrite, ALinkLeadsWhereTheSystemSaysItPoints)
{
    // The link's text counts from the folder that really holds it:
    // a/dirlink/Quorvant is b/real/Quorvant, so "../../g.png" there is
    // b/g.png; read from the path as given it would be a/g.png.
    quorvant::test::TempFolder tmp;
    ASSERT_TRUE(QDir().mkpath(tmp.file("a")));
    ASSERT_TRUE(QDir().mkpath(tmp.file("b/real/Quorvant")));
    makeLink("../b/real", tmp.file("a/dirlink"));
    makeLink("../../g.png", tmp.file("b/real/Quorvant/Card_1.PNG"));
    writeTestFile(tmp.file("a/g.png"), "unrelated");
    writeTestFile(tmp.file("b/g.png"), "old card");
    const QString card = tmp.file("a/dirlink/Quorvant/Card_1.PNG");
    ASSERT_EQ(readTestFile(card), QByteArray("old card")) << "the system's own reading of the path";
    // And a link elsewhere, by its full path, to that one.
    ASSERT_TRUE(QDir().mkpath(tmp.file("c")));
    makeLink(QFile::encodeName(card).constData(), tmp.file("c/chain.png"));

    QString error;
    ASSERT_TRUE(platform::writeFileAtomically(card, "new card", &error)) << error.toStdString();
    EXPECT_EQ(readTestFile(tmp.file("b/g.png")), QByteArray("new card"));
    ASSERT_TRUE(platform::writeFileAtomically(tmp.file("c/chain.png"), "newer card", &error)) << error.toStdString();
    EXPECT_EQ(readTestFile(tmp.file("b/g.png")), QByteArray("newer card"));
    EXPECT_EQ(readTestFile(tmp.file("a/g.png")), QByteArray("unrelated"));
    EXPECT_TRUE(S_ISLNK(statOf(tmp.file("b/real/Quorvant/Card_1.PNG")).st_mode));
    EXPECT_TRUE(S_ISLNK(statOf(tmp.file("c/chain.png")).st_mode));
    EXPECT_EQ(everythingIn(tmp.file("a")), (QStringList{"dirlink", "g.png"}));
    EXPECT_EQ(everythingIn(tmp.file("b")), (QStringList{"g.png", "real"}));
    EXPECT_EQ(everythingIn(tmp.file("b/real/Quorvant")), QStringList{"Card_1.PNG"});

    // A loop, or a chain that ends at nothing, is refused with the reason
    // the system gives for reading through it, and stays as it was.
    makeLink("loopB", tmp.file("loopA"));
    makeLink("loopA", tmp.file("loopB"));
    makeLink("gone.png", tmp.file("dangling.png"));
    makeLink("dangling.png", tmp.file("toDangling.png"));
    makeLink("nowhere/card.png", tmp.file("noFolder.png"));
    makeLink("folderLoop", tmp.file("folderLoop"));
    const QStringList before = everythingIn(tmp.path());
    const struct {
        const char *name;
        int reason;
    } refused[] = {
        {"loopA", ELOOP},
        {"dangling.png", ENOENT},
        {"toDangling.png", ENOENT},
        {"noFolder.png", ENOENT},
        {"folderLoop/card.png", ELOOP},
    };
    for (const auto &row : refused) {
        const QString path = tmp.file(row.name);
        const int opened = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        EXPECT_EQ(opened < 0 ? errno : 0, row.reason) << row.name << ": what the system says";
        if (opened >= 0)
            ::close(opened);
        error.clear();
        EXPECT_FALSE(platform::writeFileAtomically(path, "card", &error)) << row.name;
        EXPECT_EQ(error, platform::systemReason(row.reason)) << row.name;
    }
    EXPECT_EQ(everythingIn(tmp.path()), before);
    for (const char *link : {"loopA", "loopB", "dangling.png", "toDangling.png", "noFolder.png", "folderLoop"})
        EXPECT_TRUE(S_ISLNK(statOf(tmp.file(link)).st_mode)) << link;

    // A pipe, named or linked to, is no file to put a card in place of.
    ASSERT_EQ(::mkfifo(QFile::encodeName(tmp.file("pipe")).constData(), 0600), 0);
    makeLink("pipe", tmp.file("toPipe.png"));
    for (const char *name : {"pipe", "toPipe.png"}) {
        error.clear();
        EXPECT_FALSE(platform::writeFileAtomically(tmp.file(name), "card", &error)) << name;
        EXPECT_EQ(error, "It is not a regular file.") << name;
    }
    EXPECT_TRUE(S_ISFIFO(statOf(tmp.file("pipe")).st_mode));
    EXPECT_TRUE(S_ISLNK(statOf(tmp.file("toPipe.png")).st_mode));
}

TEST(AtomicWrite, AFullDiskLeavesNoEmptyOrCutFileAndSaysWhy)
{
    // Room for one page. The first write, onto the empty disk, is a few
    // bytes more than the room: the system takes the first page and cuts
    // the write short, and only the next try says the disk is full (a
    // writer that took the short write for all of it would leave the file
    // cut). What does not fit, up to many times the room, leaves the old
    // file or none, and the system's own words; what fits is written whole.
    quorvant::test::SmallDisk disk(4);
    const struct {
        const char *name;
        qsizetype bytes;
        bool written;
    } rows[] = {
        {"cut.png", 4096 + 8, false},
        {"big.png", 70000, false},
        {"card.png", 100, true},
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
}

TEST(AtomicWrite, AReadOnlyFileSystemSaysSo)
{
    quorvant::test::SmallDisk disk(64);
    writeTestFile(disk.file("card.png"), "old");
    if (!disk.makeReadOnly())
        GTEST_SKIP() << "no file system could be mounted here and made read-only (that takes root)";
    QString error;
    EXPECT_FALSE(platform::writeFileAtomically(disk.file("card.png"), "new", &error));
    EXPECT_EQ(error, platform::systemReason(EROFS));
    EXPECT_EQ(readTestFile(disk.file("card.png")), QByteArray("old"));
    EXPECT_FALSE(platform::makeFolders(disk.file("Quorvant/Cards"), &error));
    EXPECT_EQ(error, "Read-only file system");
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
