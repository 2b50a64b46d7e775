// The generator's values and refusals, the spreadsheet columns' values and
// clash answers, and series writing, against the worked examples and
// LibreOffice-made workbooks (tests/data/import/make_fixtures.sh).
#include "batch_data/import/SeriesTarget.h"
#include "batch_data/import/SheetColumns.h"
#include "batch_data/import/ValueGenerator.h"
#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace batch_data;
using quorvant::test::readTestFile;
using quorvant::test::TempFolder;
using quorvant::test::writeTestFile;

namespace {

GeneratorRequest sequential(QString from, QString to, bool pad, QString prefix = {}, QString suffix = {})
{
    GeneratorRequest r;
    r.from = std::move(from);
    r.to = std::move(to);
    r.padZeros = pad;
    r.prefix = std::move(prefix);
    r.suffix = std::move(suffix);
    return r;
}

QStringList numbered(int from, int to, int width)
{
    QStringList values;
    for (int n = from; n <= to; ++n)
        values.append(QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0')));
    return values;
}

} // namespace

TEST(ValueGenerator, WorkedExamples)
{
    // The generator's own examples: padding to the longer of From and To
    // as typed, prefix and suffix as typed, a constant repeated.
    EXPECT_EQ(generateValues(sequential("0", "200", true)), numbered(0, 200, 3));
    EXPECT_EQ(generateValues(sequential("001", "00200", true)), numbered(1, 200, 5));
    EXPECT_EQ(generateValues(sequential("001", "00200", false)), numbered(1, 200, 1));
    EXPECT_EQ(generateValues(sequential("8", "10", false, "ID-", "-X")), QStringList({"ID-8-X", "ID-9-X", "ID-10-X"}));
    // Zeros go between the sign and the digits, never in front of the sign.
    EXPECT_EQ(generateValues(sequential("-10", "-8", true)), QStringList({"-10", "-09", "-08"}));
    EXPECT_EQ(generateValues(sequential("-1", "100", true)).mid(0, 3), QStringList({"-01", "000", "001"}));
    GeneratorRequest constant;
    constant.mode = GeneratorMode::Constant;
    constant.value = "A";
    constant.count = "3";
    EXPECT_EQ(generateValues(constant), QStringList({"A", "A", "A"}));

    GeneratorRequest random;
    random.mode = GeneratorMode::Random;
    random.randPrefix = "R";
    random.randSuffix = "!";
    random.length = "3";
    random.randCount = "5";
    const QStringList drawn = generateValues(random);
    ASSERT_EQ(drawn.size(), 5);
    for (const QString &value : drawn) {
        ASSERT_TRUE(value.startsWith('R') && value.endsWith('!')) << value.toStdString();
        const int n = value.mid(1, value.size() - 2).toInt();
        EXPECT_TRUE(n >= 100 && n <= 999) << n;
    }
    EXPECT_EQ(intValue("  -12abc"), -12);
    EXPECT_EQ(intValue("x1"), 0);
    EXPECT_EQ(intValue("99999999999"), 2147483647);
}

TEST(ValueGenerator, RefusesInTheDialogsOrder)
{
    auto mode = [](GeneratorMode m, auto fill) {
        GeneratorRequest r;
        r.mode = m;
        fill(r);
        return r;
    };
    const QString tooMany =
        "A Batch Processing Series can hold at most 100,000 values. Please generate fewer values.";
    const struct {
        GeneratorRequest request;
        std::optional<GeneratorRefusal> refusal;
    } cases[] = {
        {sequential("", "", false), GeneratorRefusal{"Please enter valid 'From' value.", GeneratorField::From}},
        {sequential("1", "", false), GeneratorRefusal{"Please enter valid 'To' value.", GeneratorField::To}},
        {sequential("1", "1", false), GeneratorRefusal{"'From' value must be smaller than 'To' value.", GeneratorField::From}},
        {sequential("5", "3", false), GeneratorRefusal{"'From' value must be smaller than 'To' value.", GeneratorField::From}},
        {sequential("1", "100000", false), std::nullopt},
        {sequential("0", "100000", false), GeneratorRefusal{tooMany, GeneratorField::To}},
        {sequential("-2147483648", "2147483647", false), GeneratorRefusal{tooMany, GeneratorField::To}},
        {mode(GeneratorMode::Constant, [](auto &r) { r.count = "3"; }),
         GeneratorRefusal{"Please enter valid 'Value'.", GeneratorField::Value}},
        {mode(GeneratorMode::Constant, [](auto &r) { r.value = " "; }),
         GeneratorRefusal{"Please enter valid 'Count' value.", GeneratorField::Count}},
        // A count below one would make an empty series and call it done.
        {mode(GeneratorMode::Constant, [](auto &r) { r.value = "A"; r.count = "-1"; }),
         GeneratorRefusal{"Please enter valid 'Count' value.", GeneratorField::Count}},
        {mode(GeneratorMode::Random, [](auto &r) { r.randCount = "-3"; r.length = "2"; }),
         GeneratorRefusal{"Please enter valid 'Count' value.", GeneratorField::RandCount}},
        {mode(GeneratorMode::Random, [](auto &r) { r.length = "2"; }),
         GeneratorRefusal{"Please enter valid 'Count' value.", GeneratorField::RandCount}},
        {mode(GeneratorMode::Random, [](auto &r) { r.randCount = "2"; r.length = "12"; }),
         GeneratorRefusal{"Please enter valid 'Length' value.", GeneratorField::Length}},
        {mode(GeneratorMode::Random, [](auto &r) { r.randCount = "100001"; r.length = "9"; }),
         GeneratorRefusal{tooMany, GeneratorField::RandCount}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkGeneratorRequest(c.request), c.refusal) << c.request.from.toStdString();
}

TEST(SheetColumns, ColumnListAndValuesOfLibreOfficeWorkbooks)
{
    // people.xlsx and people.ods: header Name, (empty), City, "  "; rows
    // (Ann, x, Oslo, 1), (an empty row), ( Bob , , Rome, 2).
    QString error;
    auto workbook = Workbook::open(QStringLiteral(QUORVANT_TEST_DATA "/import/people.xlsx"), &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    const auto header = workbook->header(1, 1, &error);
    ASSERT_TRUE(header && header->names) << error.toStdString();
    const QList<ColumnRecord> records = columnRecords(*header->names);
    const QList<ColumnRecord> expected = {{false, "Name", "Name", 0},
                                          {false, "Untitled Column 2", "Untitled Column 2", 1},
                                          {false, "City", "City", 2},
                                          {false, "Untitled Column 4", "Untitled Column 4", 3}};
    EXPECT_EQ(records, expected);
    const auto xlsxRows = workbook->rows(1, header->columns, &error);
    ASSERT_TRUE(xlsxRows) << error.toStdString();
    const SheetRows odsRows = SpreadsheetWriter::ReadODS(QStringLiteral(QUORVANT_TEST_DATA "/import/people.ods"), &error);
    for (const SheetRows &rows : {*xlsxRows, odsRows}) {
        EXPECT_EQ(columnValues(rows, 0, true), QStringList({"Ann", "Bob"}));
        EXPECT_EQ(columnValues(rows, 1, true), QStringList({"x", ""}));
        EXPECT_EQ(columnValues(rows, 2, false), QStringList({"City", "Oslo", "Rome"}));
        EXPECT_EQ(allInOneValues(rows, {2, 0}, true), QStringList({"Ann", "Oslo", "Bob", "Rome"}));
    }
    const SheetRows abc = {{"a1", "b1", "c1"}, {"a2", "b2", "c2"}};
    EXPECT_EQ(allInOneValues(abc, {0, 2}, false), QStringList({"a1", "c1", "a2", "c2"}));
}

TEST(SheetColumns, ClashAnswersHoldForOneRunAndSpareSeriesInUse)
{
    const QString inUse = "\nBatch processing Series name is already in use with another sequence. Please change "
                          "Batch Processing Series Name.";
    const QString exists = "\nBatch Processing Series already exists. Do you want to replace it?";
    QList<ClashQuestion> asked;
    QList<ClashAnswer> answers;
    auto ask = [&](const ClashQuestion &q) {
        asked.append(q);
        return answers.takeFirst();
    };

    // Run 1: A in use (told, box ticked), B exists (Yes, box ticked), C in
    // use again (not told, skipped), D exists (replaced without a question),
    // E new.
    answers = {{true, true}, {true, true}};
    ClashRun run(ask, true);
    EXPECT_FALSE(run.mayWrite("A", true, true));
    EXPECT_TRUE(run.mayWrite("B", true, false));
    EXPECT_FALSE(run.mayWrite("C", true, true));
    EXPECT_TRUE(run.mayWrite("D", true, false));
    EXPECT_TRUE(run.mayWrite("E", false, false));
    const QList<ClashQuestion> expected = {{"Message :", "A" + inUse, true},
                                           {"Batch Processing Series already exists :", "B" + exists, true}};
    EXPECT_EQ(asked, expected);

    // Run 2 asks again; a No with the box ticked skips the rest.
    asked.clear();
    answers = {{false, true}};
    ClashRun second(ask, true);
    EXPECT_FALSE(second.mayWrite("B", true, false));
    EXPECT_FALSE(second.mayWrite("D", true, false));
    EXPECT_EQ(asked.size(), 1);

    // One column: no apply-to-all box, and a ticked box means nothing.
    asked.clear();
    answers = {{true, true}, {false, false}};
    ClashRun single(ask, false);
    EXPECT_TRUE(single.mayWrite("B", true, false));
    EXPECT_FALSE(single.mayWrite("B", true, false));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_FALSE(asked.first().showApplyToAll);
}

TEST(SeriesTarget, WritesWholeSeriesThroughTheCheckedName)
{
    TempFolder folder;
    const SeriesStore store(folder.file("DataSet"));
    EXPECT_TRUE(writeSeriesValues(store, "S", {"a", "two\nlines"}, SeriesWrite::Replace));
    EXPECT_EQ(readTestFile(folder.file("DataSet/S.txt")), "a\ntwo lines\n");
    writeTestFile(folder.file("DataSet/S.txt"), "old"); // no line feed at its end
    EXPECT_TRUE(writeSeriesValues(store, "S", {"b"}, SeriesWrite::Append));
    EXPECT_EQ(readTestFile(folder.file("DataSet/S.txt")), "old\nb\n");
    EXPECT_TRUE(writeSeriesValues(store, "New", {"c"}, SeriesWrite::Append));
    EXPECT_EQ(readTestFile(folder.file("DataSet/New.txt")), "c\n");
    // Nothing is appended to a series in another encoding (Latin-1 "Zoë").
    writeTestFile(folder.file("DataSet/L.txt"), "Zo\xEB\n");
    QString appendError;
    EXPECT_FALSE(writeSeriesValues(store, "L", {"d"}, SeriesWrite::Append, &appendError));
    EXPECT_EQ(appendError, batch_data::unreadableSeriesMessage("L", folder.file("DataSet/L.txt"), SeriesStore::notUtf8Message()));
    EXPECT_EQ(readTestFile(folder.file("DataSet/L.txt")), "Zo\xEB\n");
    // Nor to binary data, and the message says that is what it holds.
    const QByteArray zip("PK\x03\x04\0\0", 6);
    writeTestFile(folder.file("DataSet/Z.txt"), zip);
    EXPECT_FALSE(writeSeriesValues(store, "Z", {"d"}, SeriesWrite::Append, &appendError));
    EXPECT_EQ(appendError, batch_data::unreadableSeriesMessage("Z", folder.file("DataSet/Z.txt"), SeriesStore::binaryMessage()));
    EXPECT_EQ(readTestFile(folder.file("DataSet/Z.txt")), zip);
    // Old Mac line ends: the new values come after the old ones, each a line.
    writeTestFile(folder.file("DataSet/Mac.txt"), "x\ry\r");
    EXPECT_TRUE(writeSeriesValues(store, "Mac", {"z"}, SeriesWrite::Append));
    EXPECT_EQ(store.readValues("Mac"), (QStringList{"x", "y", "z"}));

    QString message;
    EXPECT_EQ(checkedSeriesName(" *Names? "), "Names");
    EXPECT_FALSE(checkedSeriesName(" ?* ", &message));
    EXPECT_EQ(message, "Please enter Batch Processing Series name.");
    EXPECT_FALSE(checkedSeriesName("../up", &message));
    QString error;
    EXPECT_FALSE(writeSeriesValues(store, "../up", {"x"}, SeriesWrite::Replace, &error));
    EXPECT_FALSE(QFile::exists(folder.file("up.txt")));
    // A file in the way of the series: the write fails and it stays.
    writeTestFile(folder.file("Blocked/Y.txt/keep"), "k");
    EXPECT_FALSE(writeSeriesValues(SeriesStore(folder.file("Blocked")), "Y", {"x"}, SeriesWrite::Replace, &error));
    EXPECT_EQ(readTestFile(folder.file("Blocked/Y.txt/keep")), "k");
}
