#include "batch_data/series/SeriesStore.h"
#include "batch_data/spreadsheet/SpreadsheetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using batch_data::SeriesBinding;
using batch_data::SeriesStore;

namespace {

class SeriesStoreTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString folder() const { return tmp.filePath("DataSet"); }
    SeriesStore store{QString()};

    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_TRUE(QDir().mkpath(folder()));
        store = SeriesStore(folder());
    }
    void put(const QString &fileName, const QByteArray &bytes)
    {
        QFile f(QDir(folder()).filePath(fileName));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytesOf(const QString &fileName)
    {
        QFile f(QDir(folder()).filePath(fileName));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace

TEST_F(SeriesStoreTest, ListHoldsOnlySeriesFilesSortedByName)
{
    EXPECT_TRUE(store.Get_datasheet_File_Name_Array().isEmpty());
    QDir(folder()).mkdir("only_a_folder.txt");
    EXPECT_TRUE(store.Get_datasheet_File_Name_Array().isEmpty());

    put("zeta.txt", "1\n");
    put("Prices.csv", "x\n");
    put("a.b.txt", "1\n");
    put("Alpha.txt", "1\n");
    put(".hidden", "1\n");
    put(".txt", "1\n");
    EXPECT_EQ(store.Get_datasheet_File_Name_Array(), (QStringList{"Alpha", "a.b", "zeta"}));

    EXPECT_TRUE(SeriesStore(tmp.filePath("missing")).Get_datasheet_File_Name_Array().isEmpty());
}

TEST_F(SeriesStoreTest, NamesThatWouldLeaveTheFolderAreRefused)
{
    for (const QString &bad : {QString(), QString("."), QString(".."), QString("../escape"),
                               QString("a/b"), QString("a\\b"), QString("/etc/passwd")}) {
        EXPECT_FALSE(store.seriesFilePath(bad).has_value()) << bad.toStdString();
        EXPECT_FALSE(store.writeSeries(bad, {"x"})) << bad.toStdString();
    }
    EXPECT_FALSE(QFile::exists(tmp.filePath("escape.txt")));
    EXPECT_EQ(*store.seriesFilePath("Names"), QDir(folder()).filePath("Names.txt"));
    EXPECT_EQ(*store.seriesFilePath("..hidden"), QDir(folder()).filePath("..hidden.txt"));

    // Without a series folder no name is a path (it would name a file in the
    // working folder).
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    put("../Names.txt", "from the working folder\n");
    const SeriesStore nowhere{QString()};
    EXPECT_FALSE(nowhere.seriesFilePath("Names").has_value());
    EXPECT_EQ(nowhere.Get_First_Value_Of_Dataset("Names"), "");
    EXPECT_FALSE(nowhere.writeSeries("Other", {"x"}));
    EXPECT_FALSE(QFile::exists(tmp.filePath("Other.txt")));
    QDir::setCurrent(saved);
}

TEST_F(SeriesStoreTest, ReadersSplitAndTrimAsTheirUseNeeds)
{
    put("unix.txt", "a\n\n b \nc\n");
    put("dos.txt", "a\r\n\r\n b \r\nc\r\n");
    put("noend.txt", "a\n\n b \nc");

    for (const QString name : {"unix", "dos", "noend"}) {
        EXPECT_EQ(store.readValues(name), (QStringList{"a", "b", "c"})) << name.toStdString();
        const QStringList records = store.readRecords(name);
        ASSERT_EQ(records.size(), 4) << name.toStdString();
        EXPECT_EQ(records[1].trimmed(), "");
        EXPECT_EQ(records[3].trimmed(), "c");
    }
    EXPECT_EQ(store.Get_First_Value_Of_Dataset("unix"), "a");
    EXPECT_EQ(store.Get_First_Value_Of_Dataset("dos"), "a\r");
    EXPECT_EQ(store.Get_First_Value_Of_Dataset("missing"), "");
    EXPECT_TRUE(store.readValues("missing").isEmpty());

    put("emptyfirst.txt", "\nsecond\n");
    EXPECT_EQ(store.Get_First_Value_Of_Dataset("emptyfirst"), "");

    // A file that is not UTF-8 reads as no text at all.
    put("latin1.txt", "caf\xe9\n");
    EXPECT_TRUE(store.readValues("latin1").isEmpty());
    EXPECT_EQ(store.Get_First_Value_Of_Dataset("latin1"), "");

    // Prices.csv is listed as no series; its values are not read as Prices.
    put("Prices.csv", "1\n");
    EXPECT_TRUE(store.readValues("Prices").isEmpty());
}

TEST_F(SeriesStoreTest, WrittenValuesStayOneLineEach)
{
    ASSERT_TRUE(store.writeSeries("Names", {"Ann", "Bob\nSmith", "Cy\r\nDee", "É"}));
    EXPECT_EQ(bytesOf("Names.txt"), QByteArray("Ann\nBob Smith\nCy Dee\n\xc3\x89\n"));
    EXPECT_EQ(store.readRecords("Names").size(), 4);

    // A rewrite replaces the whole file.
    ASSERT_TRUE(store.writeSeries("Names", {"only"}));
    EXPECT_EQ(bytesOf("Names.txt"), QByteArray("only\n"));
    ASSERT_TRUE(store.writeSeries("Empty", {}));
    EXPECT_EQ(bytesOf("Empty.txt"), QByteArray());

    EXPECT_TRUE(store.removeSeries("Names"));
    EXPECT_FALSE(store.removeSeries("Names"));
    EXPECT_FALSE(store.removeSeries(".."));
}

TEST_F(SeriesStoreTest, WritesThatCannotHappenAreReported)
{
    ASSERT_TRUE(store.writeSeries("Keep", {"old"}));

    // The series file's place is taken by a folder: nothing is written and
    // the folder stays.
    ASSERT_TRUE(QDir(folder()).mkdir("Blocked.txt"));
    QString error;
    EXPECT_FALSE(store.writeSeries("Blocked", {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(QDir(folder()).filePath("Blocked.txt")).isDir());

    // The series folder's place is taken by a file.
    const QString notAFolder = tmp.filePath("plain-file");
    QFile plain(notAFolder);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    error.clear();
    EXPECT_FALSE(SeriesStore(notAFolder).writeSeries("Names", {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(SeriesStore(notAFolder).Get_datasheet_File_Name_Array().isEmpty());

    EXPECT_EQ(bytesOf("Keep.txt"), QByteArray("old\n"));
}

TEST_F(SeriesStoreTest, InUseFollowsBindingsAndSides)
{
    put("Prices.txt", "1\n");
    const SeriesBinding bound{true, 1, "Prices"};
    const SeriesBinding typed{true, 0, "Prices"};
    const SeriesBinding shape{false, 1, "Prices"};
    const SeriesBinding other{true, 1, "prices"};

    EXPECT_TRUE(store.Check_Batch_File_In_Use_Validation("Prices", {typed, bound}, {}, false));
    EXPECT_FALSE(store.Check_Batch_File_In_Use_Validation("Prices", {typed, shape, other}, {}, true));
    // Bound only on the back: counts only for a two-sided design.
    EXPECT_FALSE(store.Check_Batch_File_In_Use_Validation("Prices", {}, {bound}, false));
    EXPECT_TRUE(store.Check_Batch_File_In_Use_Validation("Prices", {}, {bound}, true));
    // Case matters, and a missing file is never in use.
    EXPECT_FALSE(store.Check_Batch_File_In_Use_Validation("prices", {other}, {}, false));
    EXPECT_FALSE(store.Check_Batch_File_In_Use_Validation("Gone", {{true, 1, "Gone"}}, {}, false));
}

TEST(SpreadsheetWorkFolder, RemovedWithItsContent)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("book.xlsx");
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(book, {{"Name"}, {"Ann"}}, true));
    SpreadsheetWriter::ReadWorkbook(book, true); // opens (unpacks) the workbook
    const QString work = SpreadsheetWriter::Work_Folder();
    ASSERT_FALSE(work.isEmpty());
    ASSERT_TRUE(QFileInfo::exists(work));
    batch_data::Delete_Excel_File_Temp_Folder();
    EXPECT_FALSE(QFileInfo::exists(work));
    batch_data::Delete_Excel_File_Temp_Folder(); // nothing open is fine
}
