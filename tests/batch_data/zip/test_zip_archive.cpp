#include "batch_data/zip/ZipArchive.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace quorvant::test;

namespace {

// Builds an archive with Python's zipfile from [name, text, [y, m, d, H, M,
// S]] entries (the date optional), stored or deflated, then lets `damage`
// change its bytes `data`.
void makeZip(const QString &path, const QJsonArray &entries, bool stored = false, const QString &damage = {})
{
    const auto result = runPython(QStringLiteral(R"(
import json, struct, sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    for e in json.loads(sys.argv[2]):
        info = zipfile.ZipInfo(e[0], tuple(e[2]) if len(e) > 2 else (2020, 1, 2, 3, 4, 6))
        info.compress_type = zipfile.ZIP_STORED if sys.argv[3] == '1' else zipfile.ZIP_DEFLATED
        z.writestr(info, e[1])
data = bytearray(open(sys.argv[1], 'rb').read())
exec(sys.argv[4])
open(sys.argv[1], 'wb').write(data)
)"), {path, QString::fromUtf8(QJsonDocument(entries).toJson(QJsonDocument::Compact)),
      stored ? "1" : "0", damage});
    ASSERT_TRUE(result.ok) << result.err.toStdString();
}

bool unzip(const QString &zip, const QString &dest, bool overwrite = true, ZipError *error = nullptr,
           const ZipLimits &limits = {})
{
    return ZipArchive::unzipFileAtPath(zip, dest, overwrite, QString(), error, limits);
}

} // namespace

TEST(ZipArchiveUnpack, EntriesBecomeFoldersAndDatedFiles)
{
    TempFolder tmp;
    makeZip(tmp.file("a.zip"), QJsonArray{
        QJsonArray{"plain/one.txt", "1"},
        QJsonArray{"back\\slash\\two.txt", "2"},
        QJsonArray{"folder/", ""},
        QJsonArray{"dated.txt", "d", QJsonArray{2023, 3, 14, 10, 20, 30}},
        QJsonArray{QString::fromUtf8("Übung/ä.txt"), "u"},
    });
    const QString dest = tmp.file("out");
    ASSERT_TRUE(ZipArchive::unzipFileAtPath(tmp.file("a.zip"), dest));
    EXPECT_EQ(readTestFile(dest + "/plain/one.txt"), "1");
    EXPECT_EQ(readTestFile(dest + "/back/slash/two.txt"), "2");
    EXPECT_TRUE(QFileInfo(dest + "/folder").isDir());
    EXPECT_EQ(readTestFile(dest + QString::fromUtf8("/Übung/ä.txt")), "u");
    EXPECT_EQ(QFileInfo(dest + "/dated.txt").lastModified(), QDateTime(QDate(2023, 3, 14), QTime(10, 20, 30)));

    // Without overwrite an existing file is kept and a missing one written.
    writeTestFile(dest + "/plain/one.txt", "old");
    QFile::remove(dest + "/dated.txt");
    EXPECT_TRUE(unzip(tmp.file("a.zip"), dest, false));
    EXPECT_EQ(readTestFile(dest + "/plain/one.txt"), "old");
    EXPECT_EQ(readTestFile(dest + "/dated.txt"), "d");
}

TEST(ZipArchiveUnpack, NamesLeavingTheDestinationAreRefusedButSiblingsExtracted)
{
    TempFolder tmp;
    const QString absolute = tmp.file("abs-target.txt");
    makeZip(tmp.file("evil.zip"), QJsonArray{
        QJsonArray{"../evil.txt", "e"},
        QJsonArray{"..\\evil2.txt", "e"},
        QJsonArray{"deep/../../evil3.txt", "e"},
        QJsonArray{absolute, "e"},
        QJsonArray{"C:/drive.txt", "e"},
        QJsonArray{"good.txt", "g"},
        QJsonArray{"sub/inner..name.txt", "ok"},
    });
    const QString dest = tmp.file("box/dest");
    EXPECT_FALSE(ZipArchive::unzipFileAtPath(tmp.file("evil.zip"), dest));
    EXPECT_EQ(readTestFile(dest + "/good.txt"), "g");
    EXPECT_EQ(readTestFile(dest + "/sub/inner..name.txt"), "ok");
    for (const QString &escaped : {tmp.file("box/evil.txt"), tmp.file("box/evil2.txt"), tmp.file("box/evil3.txt"),
                                   tmp.file("evil3.txt"), absolute, dest + "/C:/drive.txt"})
        EXPECT_FALSE(QFile::exists(escaped)) << escaped.toStdString();
}

TEST(ZipArchiveUnpack, DamagedEntryFailsAndNeverReplacesTheExistingFile)
{
    const struct {
        const char *why;
        bool stored;
        const char *damage;
    } cases[] = {
        // Stored, so that a flipped content byte leaves valid structure and
        // only the checksum disagrees.
        {"CRC error", true, "data[data.find(b'GOODCONTENT')] = ord('X')"},
        // The deflate stream ends before the declared size, so minizip never
        // compares a checksum.
        {"short entry", false,
         "struct.pack_into('<I', data, data.find(b'PK\\x03\\x04') + 22, 1000)\n"
         "struct.pack_into('<I', data, data.find(b'PK\\x01\\x02') + 24, 1000)"},
        // The deflate stream goes on past the declared 10 bytes: inflating
        // stops there, and the bytes that came are no file.
        {"entry inflating past its declared size", false,
         "struct.pack_into('<I', data, data.find(b'PK\\x03\\x04') + 22, 10)\n"
         "struct.pack_into('<I', data, data.find(b'PK\\x01\\x02') + 24, 10)"},
    };
    for (const auto &c : cases) {
        TempFolder tmp;
        makeZip(tmp.file("bad.zip"), QJsonArray{QJsonArray{"bad.txt", QString("GOODCONTENT").repeated(8)},
                                                QJsonArray{"fine.txt", "fine"}},
                c.stored, QString::fromLatin1(c.damage));
        writeTestFile(tmp.file("out/bad.txt"), "previous");
        EXPECT_FALSE(ZipArchive::unzipFileAtPath(tmp.file("bad.zip"), tmp.file("out"))) << c.why;
        EXPECT_EQ(readTestFile(tmp.file("out/bad.txt")), "previous") << c.why;
        EXPECT_EQ(readTestFile(tmp.file("out/fine.txt")), "fine") << c.why;
    }
}

TEST(ZipArchiveUnpack, RefusedArchivesSayWhyAndWriteNothing)
{
    TempFolder tmp;
    writeTestFile(tmp.file("not.zip"), "this is no archive at all");
    ZipError error;
    EXPECT_FALSE(unzip(tmp.file("not.zip"), tmp.file("out"), true, &error));
    EXPECT_EQ(error.code, -1);

    makeZip(tmp.file("big.zip"), QJsonArray{QJsonArray{"a.txt", QString(5000, u'z')}, QJsonArray{"b.txt", "b"},
                                            QJsonArray{"c.txt", "c"}});
    EXPECT_FALSE(unzip(tmp.file("big.zip"), tmp.file("s"), true, &error, ZipLimits{1000, 100}));
    EXPECT_EQ(error.code, -3);
    EXPECT_FALSE(QFile::exists(tmp.file("s/a.txt")));
    EXPECT_FALSE(unzip(tmp.file("big.zip"), tmp.file("n"), true, nullptr, ZipLimits{1000000, 2}));
    EXPECT_FALSE(QFile::exists(tmp.file("n/b.txt")));
    EXPECT_TRUE(unzip(tmp.file("big.zip"), tmp.file("ok"), true, nullptr, ZipLimits{6000, 3}));
}

TEST(ZipArchiveUnpack, ZipBombsAreRefusedBeforeAnythingIsWritten)
{
    TempFolder tmp;
    // 64 MiB of zeros packs into 64 KiB: no workbook expands 1000 times.
    const auto made = runPython(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('xl/worksheets/sheet1.xml', bytes(64 << 20))
with zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('small.txt', 'fine')
    z.writestr('large.txt', bytes(range(256)) * 40)
)"), {tmp.file("bomb.xlsx"), tmp.file("large.zip")});
    ASSERT_TRUE(made.ok) << made.err.toStdString();

    ZipError error;
    EXPECT_FALSE(unzip(tmp.file("bomb.xlsx"), tmp.file("b"), true, &error));
    EXPECT_EQ(error.code, -3);
    EXPECT_TRUE(error.description.contains("zip bomb")) << error.description.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp.file("b/xl")));

    // One entry beyond the bound of one entry refuses the whole archive.
    ZipLimits limits;
    limits.maxEntryBytes = 10000;
    EXPECT_FALSE(unzip(tmp.file("large.zip"), tmp.file("l"), true, &error, limits));
    EXPECT_TRUE(error.description.contains("large.txt")) << error.description.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp.file("l/small.txt")));
    limits.maxEntryBytes = 10240;
    EXPECT_TRUE(unzip(tmp.file("large.zip"), tmp.file("l"), true, &error, limits));
}

TEST(ZipArchivePack, PythonReadsWhatWePack)
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
    EXPECT_FALSE(ZipArchive::createZipFileAtPath(tmp.file("no/such/folder/x.zip"), QStringList{tmp.path()}));

    // Every CRC checks; small entries carry no zip64 block in their local
    // headers (office programs call a package with one damaged).
    const auto listed = runPython(QStringLiteral(R"(
import struct, sys, zipfile
raw = open(sys.argv[1], 'rb').read()
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    for i in sorted(z.infolist(), key=lambda i: i.filename):
        version, = struct.unpack_from('<H', raw, i.header_offset + 4)
        extra, = struct.unpack_from('<H', raw, i.header_offset + 28)
        print(i.filename, z.read(i).decode(), version, extra)
)"), {zip});
    ASSERT_TRUE(listed.ok) << listed.err.toStdString();
    EXPECT_EQ(listed.out.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{"a/_rels/.rels rels 20 0", "a/b.txt b 20 0", "a/c/  20 0", "x.xml <x/> 20 0"}));
}
