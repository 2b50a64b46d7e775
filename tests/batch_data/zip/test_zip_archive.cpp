#include "batch_data/zip/ZipArchive.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using quorvant::test::runPython;
using quorvant::test::TempFolder;

using quorvant::test::readTestFile;
using quorvant::test::writeTestFile;

namespace {

// Builds an archive with Python's zipfile: entries is a JSON list of
// [name, text, [y, m, d, H, M, S]] with the date optional.
void makeZip(const QString &path, const QJsonArray &entries)
{
    const auto result = runPython(QStringLiteral(R"(
import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    for e in json.loads(sys.argv[2]):
        info = zipfile.ZipInfo(e[0], tuple(e[2]) if len(e) > 2 else (2020, 1, 2, 3, 4, 6))
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, e[1])
)"), {path, QString::fromUtf8(QJsonDocument(entries).toJson(QJsonDocument::Compact))});
    ASSERT_TRUE(result.ok) << result.err.toStdString();
}

// The entry names of an archive as Python's zipfile sees them, after it has
// checked every CRC.
QStringList zipNames(const QString &path)
{
    const auto result = runPython(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    for n in z.namelist(): print(n)
)"), {path});
    EXPECT_TRUE(result.ok) << result.err.toStdString();
    return result.out.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(ZipArchiveUnpack, CreatesFoldersFilesAndDatesFromEntries)
{
    TempFolder tmp;
    const QString zip = tmp.file("a.zip");
    makeZip(zip, QJsonArray{
        QJsonArray{"plain/one.txt", "1"},
        QJsonArray{"back\\slash\\two.txt", "2"},
        QJsonArray{"folder/", ""},
        QJsonArray{"dated.txt", "d", QJsonArray{2023, 3, 14, 10, 20, 30}},
        QJsonArray{QString::fromUtf8("Übung/ä.txt"), "u"},
    });
    const QString dest = tmp.file("out");
    ASSERT_TRUE(ZipArchive::unzipFileAtPath(zip, dest));
    EXPECT_EQ(readTestFile(dest + "/plain/one.txt"), "1");
    EXPECT_EQ(readTestFile(dest + "/back/slash/two.txt"), "2");
    EXPECT_TRUE(QFileInfo(dest + "/folder").isDir());
    EXPECT_EQ(readTestFile(dest + QString::fromUtf8("/Übung/ä.txt")), "u");
    EXPECT_EQ(QFileInfo(dest + "/dated.txt").lastModified(),
              QDateTime(QDate(2023, 3, 14), QTime(10, 20, 30)));
}

TEST(ZipArchiveUnpack, ZeroDateLeavesTheWritingTime)
{
    TempFolder tmp;
    const QString zip = tmp.file("z.zip");
    makeZip(zip, QJsonArray{QJsonArray{"nodate.txt", "x", QJsonArray{1980, 0, 0, 0, 0, 0}}});
    const QDateTime before = QDateTime::currentDateTime().addSecs(-5);
    ASSERT_TRUE(ZipArchive::unzipFileAtPath(zip, tmp.path()));
    EXPECT_GE(QFileInfo(tmp.file("nodate.txt")).lastModified(), before);
}

TEST(ZipArchiveUnpack, OverwriteFlagDecidesWhetherExistingFilesAreKept)
{
    TempFolder tmp;
    const QString zip = tmp.file("o.zip");
    makeZip(zip, QJsonArray{QJsonArray{"keep.txt", "new"}, QJsonArray{"fresh.txt", "fresh"}});
    const QString dest = tmp.file("out");
    writeTestFile(dest + "/keep.txt", "old");

    EXPECT_TRUE(ZipArchive::unzipFileAtPath(zip, dest, false, QString(), nullptr));
    EXPECT_EQ(readTestFile(dest + "/keep.txt"), "old");
    EXPECT_EQ(readTestFile(dest + "/fresh.txt"), "fresh");

    EXPECT_TRUE(ZipArchive::unzipFileAtPath(zip, dest, true, QString(), nullptr));
    EXPECT_EQ(readTestFile(dest + "/keep.txt"), "new");
}

TEST(ZipArchiveUnpack, OpeningFailuresAreDescribed)
{
    TempFolder tmp;
    writeTestFile(tmp.file("not.zip"), "this is no archive at all");
    ZipError error;
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(tmp.file("not.zip"), tmp.file("out"), true, QString(), &error));
    EXPECT_EQ(error.domain, "ZipArchiveErrorDomain");
    EXPECT_EQ(error.code, -1);
    EXPECT_EQ(error.description, "failed to open zip file");
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(tmp.file("missing.zip"), tmp.file("out")));
}

TEST(ZipArchiveUnpack, NamesLeavingTheDestinationAreRefusedButSiblingsExtracted)
{
    TempFolder tmp;
    const QString zip = tmp.file("evil.zip");
    const QString absolute = tmp.file("abs-target.txt");   // would be hit by an absolute name
    makeZip(zip, QJsonArray{
        QJsonArray{"../evil.txt", "e"},
        QJsonArray{"..\\evil2.txt", "e"},
        QJsonArray{"deep/../../evil3.txt", "e"},
        QJsonArray{absolute, "e"},
        QJsonArray{"C:/drive.txt", "e"},
        QJsonArray{"good.txt", "g"},
        QJsonArray{"sub/inner..name.txt", "ok"},
    });
    const QString dest = tmp.file("box/dest");
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(zip, dest));
    EXPECT_EQ(readTestFile(dest + "/good.txt"), "g");
    EXPECT_EQ(readTestFile(dest + "/sub/inner..name.txt"), "ok");
    EXPECT_FALSE(QFile::exists(tmp.file("box/evil.txt")));
    EXPECT_FALSE(QFile::exists(tmp.file("box/evil2.txt")));
    EXPECT_FALSE(QFile::exists(tmp.file("box/evil3.txt")));
    EXPECT_FALSE(QFile::exists(tmp.file("evil3.txt")));
    EXPECT_FALSE(QFile::exists(absolute));
    EXPECT_FALSE(QFile::exists(dest + "/C:/drive.txt"));
}

TEST(ZipArchiveUnpack, CrcErrorFailsAndKeepsTheExistingFile)
{
    TempFolder tmp;
    const QString zip = tmp.file("crc.zip");
    // Stored entries, so that flipping a byte of the content leaves valid
    // structure and only the checksum disagrees.
    const auto made = runPython(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:
    z.writestr('bad.txt', 'GOODCONTENT')
    z.writestr('fine.txt', 'fine')
data = bytearray(open(sys.argv[1], 'rb').read())
i = data.find(b'GOODCONTENT')
data[i] = ord('X')
open(sys.argv[1], 'wb').write(data)
)"), {zip});
    ASSERT_TRUE(made.ok) << made.err.toStdString();
    const QString dest = tmp.file("out");
    writeTestFile(dest + "/bad.txt", "previous");
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(zip, dest));
    EXPECT_EQ(readTestFile(dest + "/bad.txt"), "previous");
    EXPECT_EQ(readTestFile(dest + "/fine.txt"), "fine");
}

TEST(ZipArchiveUnpack, EntryShorterThanItsDeclaredSizeFails)
{
    // The deflate stream ends before the size that the headers declare: the
    // entry was damaged, although no checksum is ever compared.
    TempFolder tmp;
    const QString zip = tmp.file("short.zip");
    const auto made = runPython(QStringLiteral(R"(
import struct, sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('short.txt', 'ABCDEFGHIJ' * 10)
    z.writestr('fine.txt', 'fine')
data = bytearray(open(sys.argv[1], 'rb').read())
local = data.find(b'PK\x03\x04')
central = data.find(b'PK\x01\x02')
struct.pack_into('<I', data, local + 22, 1000)
struct.pack_into('<I', data, central + 24, 1000)
open(sys.argv[1], 'wb').write(data)
)"), {zip});
    ASSERT_TRUE(made.ok) << made.err.toStdString();
    const QString dest = tmp.file("out");
    writeTestFile(dest + "/short.txt", "previous");
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(zip, dest));
    EXPECT_EQ(readTestFile(dest + "/short.txt"), "previous");
    EXPECT_EQ(readTestFile(dest + "/fine.txt"), "fine");
}

TEST(ZipArchiveUnpack, ArchivesBeyondTheLimitsAreRefused)
{
    TempFolder tmp;
    const QString zip = tmp.file("big.zip");
    makeZip(zip, QJsonArray{QJsonArray{"a.txt", QString(5000, u'z')}, QJsonArray{"b.txt", "b"},
                            QJsonArray{"c.txt", "c"}});
    ZipError error;
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(zip, tmp.file("s"), true, QString(), &error,
                                             ZipLimits{1000, 100}));
    EXPECT_EQ(error.code, -3);
    EXPECT_FALSE(QFile::exists(tmp.file("s/a.txt")));
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(zip, tmp.file("n"), true, QString(), nullptr,
                                             ZipLimits{1000000, 2}));
    EXPECT_FALSE(QFile::exists(tmp.file("n/b.txt")));
    EXPECT_TRUE(ZipArchive::unzipFileAtPath(zip, tmp.file("ok"), true, QString(), nullptr,
                                            ZipLimits{6000, 3}));
}

TEST(ZipArchivePack, ListedFoldersKeepTheirContentAndHiddenEntries)
{
    TempFolder tmp;
    writeTestFile(tmp.file("src/a/b.txt"), "b");
    writeTestFile(tmp.file("src/a/_rels/.rels"), "rels");
    QDir().mkpath(tmp.file("src/a/c"));
    writeTestFile(tmp.file("src/x.xml"), "<x/>");
    const QString zip = tmp.file("out.zip");
    writeTestFile(zip, "an older file in the way");

    ASSERT_TRUE(ZipArchive::createZipFileAtPath(
        zip, QStringList{tmp.file("src/missing"), tmp.file("src/a/"), tmp.file("src/x.xml")}));
    QStringList names = zipNames(zip);
    names.sort();
    EXPECT_EQ(names, (QStringList{"a/_rels/.rels", "a/b.txt", "a/c/", "x.xml"}));

    // What we packed unpacks to the same bytes.
    ASSERT_TRUE(ZipArchive::unzipFileAtPath(zip, tmp.file("back")));
    EXPECT_EQ(readTestFile(tmp.file("back/a/_rels/.rels")), "rels");
    EXPECT_TRUE(QFileInfo(tmp.file("back/a/c")).isDir());

    ASSERT_TRUE(ZipArchive::createZipFileAtPath(tmp.file("one.zip"), tmp.file("src/a")));
    EXPECT_EQ(zipNames(tmp.file("one.zip")).size(), 3);

    // Small entries carry no zip64 block in their local headers: some
    // office programs call a package with one damaged.
    const auto headers = runPython(QStringLiteral(R"(
import struct, sys, zipfile
raw = open(sys.argv[1], 'rb').read()
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        version, = struct.unpack_from('<H', raw, i.header_offset + 4)
        extra, = struct.unpack_from('<H', raw, i.header_offset + 28)
        print(i.filename, version, extra)
)"), {zip});
    ASSERT_TRUE(headers.ok) << headers.err.toStdString();
    for (const QString &line : headers.out.split(u'\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.endsWith(" 20 0")) << line.toStdString();
}

TEST(ZipArchivePack, DataEntriesAreDatedAndUnopenedArchivesRefuseWrites)
{
    TempFolder tmp;
    ZipArchive never(tmp.file("never.zip"));
    EXPECT_FALSE(never.writeFile("x", tmp.path()));
    EXPECT_FALSE(never.writeData("x", "x"));
    EXPECT_FALSE(never.close());

    ZipArchive archive(tmp.file("data.zip"));
    ASSERT_TRUE(archive.open());
    EXPECT_FALSE(archive.open());
    EXPECT_TRUE(archive.writeData("payload", QString::fromUtf8("dir/naïve.bin")));
    EXPECT_FALSE(archive.writeData(QByteArray(), "empty"));
    ASSERT_TRUE(archive.close());

    const auto result = runPython(QStringLiteral(R"(
import sys, zipfile, datetime
with zipfile.ZipFile(sys.argv[1]) as z:
    i = z.infolist()[0]
    print(i.filename, z.read(i).decode())
    print(abs((datetime.datetime(*i.date_time) - datetime.datetime.now()).total_seconds()) < 120)
)"), {tmp.file("data.zip")});
    ASSERT_TRUE(result.ok) << result.err.toStdString();
    EXPECT_EQ(result.out, QString::fromUtf8("dir/naïve.bin payload\nTrue\n"));
}

TEST(ZipArchivePack, UncreatableArchiveFails)
{
    TempFolder tmp;
    EXPECT_FALSE(ZipArchive::createZipFileAtPath(tmp.file("no/such/folder/x.zip"), QStringList{tmp.path()}));
}
