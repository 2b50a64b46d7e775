#include "batch_data/series/SeriesStore.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using batch_data::SeriesBinding;
using batch_data::SeriesStore;
using quorvant::test::readTestFile;
using quorvant::test::TempFolder;
using quorvant::test::writeTestFile;

namespace {

class SeriesStoreTest : public ::testing::Test {
protected:
    TempFolder tmp;
    QString file(const QString &name) const { return tmp.file("DataSet/" + name); }
    SeriesStore store{tmp.file("DataSet")};
};

} // namespace

TEST_F(SeriesStoreTest, ListHoldsOnlySeriesFilesSortedByNameCaseAside)
{
    EXPECT_TRUE(store.Get_datasheet_File_Name_Array().isEmpty());   // no folder yet
    QDir().mkpath(file("only_a_folder.txt"));
    for (const char *name : {"zeta.txt", "Prices.csv", "a.b.txt", "Alpha.txt", ".hidden", ".txt"})
        writeTestFile(file(name), "1\n");
    EXPECT_EQ(store.Get_datasheet_File_Name_Array(), (QStringList{"a.b", "Alpha", "zeta"}));
}

TEST_F(SeriesStoreTest, NamesThatWouldLeaveTheFolderAreRefused)
{
    for (const QString &bad : {QString(), QString("."), QString(".."), QString("../escape"), QString("a/b"),
                               QString("a\\b"), QString("/etc/passwd"), QString("nul") + QChar(0)}) {
        EXPECT_FALSE(store.seriesFilePath(bad)) << bad.toStdString();
        EXPECT_FALSE(store.writeSeries(bad, {"x"})) << bad.toStdString();
        EXPECT_FALSE(store.removeSeries(bad)) << bad.toStdString();
    }
    EXPECT_FALSE(QFile::exists(tmp.file("escape.txt")));
    EXPECT_EQ(store.seriesFilePath("..hidden"), file("..hidden.txt"));

    // Without a series folder no name is a path (it would name a file in the
    // working folder).
    const quorvant::test::OnScopeExit workingFolder([saved = QDir::currentPath()] { QDir::setCurrent(saved); });
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    writeTestFile(tmp.file("Names.txt"), "from the working folder\n");
    const SeriesStore nowhere{QString()};
    EXPECT_EQ(nowhere.Get_First_Value_Of_Dataset("Names"), "");
    EXPECT_FALSE(nowhere.writeSeries("Other", {"x"}));
    EXPECT_FALSE(QFile::exists(tmp.file("Other.txt")));
}

TEST_F(SeriesStoreTest, ReadersSplitAndTrimAsTheirUseNeeds)
{
    // Values skip empty lines; records keep them; the first value is the
    // text before the first line end, as read. LF, CR LF and a lone CR (old
    // Mac text) each end a line, alone or mixed in one file.
    const struct {
        QByteArray bytes;
        QStringList values;
        qsizetype records;
        QString first;
    } cases[] = {
        {"a\n\n b \nc\n", {"a", "b", "c"}, 4, "a"},
        {"a\r\n\r\n b \r\nc\r\n", {"a", "b", "c"}, 4, "a"},
        {"a\r\r b \rc\r", {"a", "b", "c"}, 4, "a"},
        {"Zo\xc3\xab\rB\xc3\xb8\r\nC\nD", {"Zo\u00eb", "B\u00f8", "C", "D"}, 4, "Zo\u00eb"},
        {"a\n\n b \nc", {"a", "b", "c"}, 4, "a"},
        {"\rsecond\r", {"second"}, 1, ""},
        {"\nsecond\n", {"second"}, 1, ""},
        {"caf\xe9\r", {}, 0, ""},   // not UTF-8: no text at all
        {QByteArray("a\r\0b\r", 5), {}, 0, ""},
    };
    for (const auto &c : cases) {
        writeTestFile(file("s.txt"), c.bytes);
        EXPECT_EQ(store.readValues("s"), c.values) << c.bytes.toStdString();
        EXPECT_EQ(store.readRecords("s").size(), c.records) << c.bytes.toStdString();
        EXPECT_EQ(store.Get_First_Value_Of_Dataset("s"), c.first) << c.bytes.toStdString();
    }
    EXPECT_EQ(store.Get_First_Value_Of_Dataset("missing"), "");
}

TEST_F(SeriesStoreTest, AFileThatCannotBeReadSaysWhyInItsOwnWords)
{
    const struct {
        QByteArray bytes;
        QString reason;
    } cases[] = {
        // As a Latin-1 editor saves "Zoë".
        {"Zo\xeb\n", SeriesStore::notUtf8Message()},
        // A zip archive saved under a series name: valid UTF-8 so far, but
        // its NUL bytes make it data, not text.
        {QByteArray("PK\x03\x04\x14\0\0\0", 8), SeriesStore::binaryMessage()},
        // NUL and Latin-1 together: the NUL says more about the file.
        {QByteArray("Zo\xeb\0\n", 5), SeriesStore::binaryMessage()},
        // UTF-16 text is NUL bytes between the letters.
        {QByteArray("\xff\xfe" "A\0\n\0", 6), SeriesStore::binaryMessage()},
    };
    for (const auto &c : cases) {
        writeTestFile(file("s.txt"), c.bytes);
        QString why;
        EXPECT_FALSE(store.readText("s", &why)) << c.bytes.toStdString();
        EXPECT_EQ(why, c.reason) << c.bytes.toStdString();
        why.clear();
        EXPECT_TRUE(store.readValues("s", &why).isEmpty());
        EXPECT_EQ(why, c.reason) << c.bytes.toStdString();
    }
    EXPECT_TRUE(SeriesStore::binaryMessage().contains("NUL (binary) bytes"));
    EXPECT_NE(SeriesStore::binaryMessage(), SeriesStore::notUtf8Message());
}

TEST_F(SeriesStoreTest, WrittenValuesStayOneLineEach)
{
    ASSERT_TRUE(store.writeSeries("Names", {"Ann", "Bob\nSmith", "Cy\r\nDee", QString("E") + QChar(0x2028) + "F", "É"}));
    EXPECT_EQ(readTestFile(file("Names.txt")), QByteArray("Ann\nBob Smith\nCy Dee\nE F\n\xc3\x89\n"));
    ASSERT_TRUE(store.writeSeries("Names", {"only"}));
    EXPECT_EQ(readTestFile(file("Names.txt")), QByteArray("only\n"));
    EXPECT_TRUE(store.removeSeries("Names"));
    EXPECT_FALSE(store.removeSeries("Names"));
}

TEST_F(SeriesStoreTest, WritesThatCannotHappenAreReported)
{
    // The series file's place is taken by a folder, then the series folder's
    // place by a file: nothing is written, and the reason comes back.
    ASSERT_TRUE(QDir().mkpath(file("Blocked.txt")));
    QString error;
    EXPECT_FALSE(store.writeSeries("Blocked", {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(file("Blocked.txt")).isDir());

    writeTestFile(tmp.file("plain-file"), "");
    error.clear();
    EXPECT_FALSE(SeriesStore(tmp.file("plain-file")).writeSeries("Names", {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SeriesStoreTest, InUseFollowsBindingsAndSides)
{
    writeTestFile(file("Prices.txt"), "1\n");
    const SeriesBinding bound{true, 1, "Prices"}, typed{true, 0, "Prices"}, shape{false, 1, "Prices"},
        otherCase{true, 1, "prices"};
    const struct {
        QString name;
        std::vector<SeriesBinding> front, back;
        bool twoSided, inUse;
    } cases[] = {
        {"Prices", {typed, bound}, {}, false, true},
        {"Prices", {typed, shape, otherCase}, {}, true, false},
        {"Prices", {}, {bound}, false, false},   // the back counts only for two sides
        {"Prices", {}, {bound}, true, true},
        {"prices", {otherCase}, {}, false, false},   // no such file: names are exact
        {"Gone", {{true, 1, "Gone"}}, {}, false, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(store.Check_Batch_File_In_Use_Validation(c.name, c.front, c.back, c.twoSided), c.inUse)
            << c.name.toStdString() << " " << &c - cases;
}
