#include "batch_data/binding/ColumnChanges.h"
#include "batch_data/binding/RecordBinding.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using batch_data::ListData;
using batch_data::RecordBinding;
using batch_data::RecordCounts;
using batch_data::SeriesBinding;
using batch_data::SeriesStore;
using batch_data::SourcesInUse;
using quorvant::test::TempFolder;
using quorvant::test::writeTestFile;

namespace {

SeriesBinding series(const QString &name) { return {true, batch_data::kSeriesValue, name, 0}; }
SeriesBinding column(int k) { return {true, batch_data::kSpreadsheetValue, QString(), k}; }

// A spreadsheet table of `rows` records with one column holding "r1", "r2", ...
ListData sheet(int rows)
{
    ListData table;
    for (int r = 1; r <= rows; ++r)
        table.Create_List_By_Array({QStringLiteral("r%1").arg(r)}, 1);
    return table;
}

class RecordBindingTest : public ::testing::Test {
protected:
    void writeSeries(const QString &name, const QByteArray &text) { writeTestFile(tmp.file("DataSet/" + name + ".txt"), text); }
    // The values that records 0..n-1 give `binding`, "-" where it keeps its own.
    QStringList values(const SeriesBinding &binding, int n, SourcesInUse use) const
    {
        QStringList out;
        for (int r = 0; r < n; ++r)
            out.append(binding_.valueAt(binding, r, use).value_or("-"));
        return out;
    }

    TempFolder tmp;
    SeriesStore store{tmp.file("DataSet")};
    RecordBinding binding_;
};

} // namespace

TEST_F(RecordBindingTest, ChecksFindTheSourcesInUseAndTheirRecords)
{
    writeSeries("Four", "1\n2\n3\n4\n");
    writeSeries("Blank", "\n \n");
    struct Row {
        std::vector<SeriesBinding> front, back;
        bool twoSided;
        int sheetRows;
        RecordCounts expected;
        const char *why;
    } const rows[] = {
        {{series("Four"), column(1)}, {}, false, 10, {{true, true}, 4, 10, 10}, "the larger count wins"},
        {{}, {series("Four")}, false, 10, {{false, false}, 0, 0, 0}, "the back of a one-sided card is not looked at"},
        {{}, {series("Four")}, true, 10, {{true, false}, 4, 0, 4}, "the back of a two-sided card is"},
        {{series("Gone"), column(0)}, {}, false, 3, {{false, true}, 0, 3, 3}, "a deleted series has no records"},
        {{series("Blank")}, {}, false, 0, {{false, false}, 0, 0, 0}, "a series of blanks trims to nothing"},
        {{column(2)}, {}, false, 0, {{false, false}, 0, 0, 0}, "no spreadsheet loaded"},
        {{{false, 1, "Four", 0}, {false, 2, "", 1}}, {}, false, 3, {{false, false}, 0, 0, 0},
         "lines, shapes and signatures are never bound"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(binding_.check(store, row.front, row.back, row.twoSided, sheet(row.sheetRows)), row.expected)
            << row.why;
}

TEST_F(RecordBindingTest, ValuesAreTrimmedAndOnlySourcesInUseGiveThem)
{
    writeSeries("Four", "  42  \r\nb\nc\nd\n");
    RecordCounts counts = binding_.check(store, {series("Four"), column(1), column(0)}, {}, false, sheet(10));
    EXPECT_EQ(values(series("Four"), 5, counts.use), (QStringList{"42", "b", "c", "d", ""}));
    EXPECT_EQ(values(column(0), 3, counts.use), (QStringList{"1", "2", "3"})) << "column 0 is the record number";
    EXPECT_EQ(values(column(1), 11, counts.use).mid(9), (QStringList{"r10", ""}));
    EXPECT_EQ(values(column(7), 1, counts.use), QStringList{""}) << "a column the table does not have";

    // An output that leaves the series out runs over the spreadsheet alone,
    // and its series-bound objects keep their own values, as typed ones do.
    counts = binding_.Get_total_Card_count({false, true});
    EXPECT_EQ(counts, (RecordCounts{{false, true}, 0, 10, 10}));
    EXPECT_EQ(values(series("Four"), 1, counts.use), QStringList{"-"});
    EXPECT_EQ(values({true, batch_data::kTypedValue, "Four", 1}, 1, {true, true}), QStringList{"-"});
}

TEST(ListData, RecordsAreNumberedInTheTableAndNeedEveryChosenColumn)
{
    ListData table;
    EXPECT_TRUE(table.Create_List_By_Array({" Ann ", "Oslo", "ignored"}, 2));
    EXPECT_FALSE(table.Create_List_By_Array({"Bob"}, 2)) << "a short row adds no record";
    EXPECT_TRUE(table.Create_List_By_Array({"Cid", ""}, 2));
    EXPECT_EQ(table.rows(), (QList<QVariantMap>{{{"Extension", "1"}, {"Column1", "Ann"}, {"Column2", "Oslo"}},
                                                {{"Extension", "2"}, {"Column1", "Cid"}, {"Column2", ""}}}));
    // The design file may hold numbers as numbers.
    EXPECT_EQ(ListData({{{"Extension", 1}, {"Column1", 42.0}}}).value(0, 1), "42");
}

TEST(ColumnChanges, ObjectsWhoseColumnIsGoneOrRetitledAreListedInOrder)
{
    using batch_data::ColumnChange;
    using batch_data::SeriesBinding;
    // The old workbook: ID, Name, Photo; the new one: Name, ID.
    const QStringList before{"ID", "Name", "Photo"}, after{"Name", "ID"};
    const std::vector<SeriesBinding> objects{
        {true, batch_data::kSpreadsheetValue, {}, 1},  // ID: now Name's column
        {true, batch_data::kSeriesValue, "ID", 1},     // a series: not the workbook's
        {true, batch_data::kSpreadsheetValue, {}, 0},  // the record number stays
        {true, batch_data::kSpreadsheetValue, {}, 3},  // Photo: gone
        {false, batch_data::kSpreadsheetValue, {}, 3}, // cannot be bound
        {true, batch_data::kTypedValue, {}, 2},        // typed
        {true, batch_data::kSpreadsheetValue, {}, 5},  // beyond both tables
    };
    EXPECT_EQ(batch_data::changedColumns(objects, before, after),
              (std::vector<ColumnChange>{
                  {0, 1, "ID", "Name"}, {3, 3, "Photo", std::nullopt}, {6, 5, "", std::nullopt}}));
    // The same titles in the same places change nothing; column 5 is still missing.
    EXPECT_EQ(batch_data::changedColumns(objects, before, {"ID", "Name", "Photo", "Extra"}),
              (std::vector<ColumnChange>{{6, 5, "", std::nullopt}}));
    // A workbook that adds the column an object was bound past gives it one.
    EXPECT_EQ(batch_data::changedColumns({{true, batch_data::kSpreadsheetValue, {}, 2}}, {"ID"}, {"ID", "Name"}),
              (std::vector<ColumnChange>{{0, 2, "", "Name"}}));
}

TEST_F(RecordBindingTest, UnusableSourcesAreTheBoundSeriesAndColumnsThatGiveNoValues)
{
    writeSeries("Names", "Ann\nBob\nCy\n");
    writeSeries("Short", "1\n");
    // As a Latin-1 editor saves "Zoë" and "Søren".
    writeSeries("Latin1", "Zo\xEB\nS\xF8ren\n");
    writeTestFile(tmp.file("DataSet/Folder.txt/inside"), "x");
    const QString notUtf8 = SeriesStore::notUtf8Message();
    auto path = [&](const char *name) { return tmp.file(QStringLiteral("DataSet/%1.txt").arg(name)); };
    ListData twoColumns;
    twoColumns.Create_List_By_Array({"a", "b"}, 2);
    using U = batch_data::UnusableSource;
    struct Row {
        const char *why;
        std::vector<SeriesBinding> front, back;
        bool twoSided;
        ListData sheet;
        std::vector<U> expected;
    } const rows[] = {
        {"readable series, a shorter one included, and columns the table has",
         {series("Names"), series("Short"), column(0), column(2)}, {}, false, twoColumns, {}},
        {"a deleted series, named once for two objects",
         {series("Gone"), series("Names"), series("Gone")}, {}, false, {},
         {{batch_data::kSeriesValue, "Gone", path("Gone"), 0, "No such file."}}},
        {"a series that is not UTF-8, and one that is a folder", {series("Latin1"), series("Folder")}, {}, false, {},
         {{batch_data::kSeriesValue, "Latin1", path("Latin1"), 0, notUtf8},
          {batch_data::kSeriesValue, "Folder", path("Folder"), 0, "No such file."}}},
        {"a column past the table's two", {column(3), column(1), column(3)}, {}, false, twoColumns,
         {{batch_data::kSpreadsheetValue, {}, {}, 3, "The spreadsheet has 2 columns."}}},
        {"a column without any table", {column(1)}, {}, false, {},
         {{batch_data::kSpreadsheetValue, {}, {}, 1, "No spreadsheet rows are loaded."}}},
        {"the back counts on a two-sided card only", {}, {series("Gone"), column(5)}, false, twoColumns, {}},
        {"series before columns, on either side", {column(5)}, {series("Gone")}, true, twoColumns,
         {{batch_data::kSeriesValue, "Gone", path("Gone"), 0, "No such file."},
          {batch_data::kSpreadsheetValue, {}, {}, 5, "The spreadsheet has 2 columns."}}},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(batch_data::unusableSources(store, row.front, row.back, row.twoSided, row.sheet), row.expected)
            << row.why;
        // The check keeps what it found for the run's end message.
        binding_.check(store, row.front, row.back, row.twoSided, row.sheet);
        EXPECT_EQ(binding_.unusable(), row.expected) << row.why;
    }
    EXPECT_EQ(U({batch_data::kSeriesValue, "Gone", "/d/Gone.txt", 0, "No such file."}).text(),
              "series \"Gone\" (/d/Gone.txt): No such file.");
    EXPECT_EQ(U({batch_data::kSpreadsheetValue, {}, {}, 3, "The spreadsheet has 2 columns."}).text(),
              "column 3: The spreadsheet has 2 columns.");
}
