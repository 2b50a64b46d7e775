#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "batch_data/spreadsheet/XmlSupport.h"
#include "tests/batch_data/spreadsheet/SheetTestSupport.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace quorvant::test;
using batch_data::Excel_Sheet_Number;
using Rows = SpreadsheetWriter::Rows;

namespace {

// Rows as openpyxl sees them: text as is, numbers in Python's shortest form.
Rows readWithOpenpyxl(const QString &path)
{
    const auto result = runPython(QStringLiteral(R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
rows = []
for row in ws.iter_rows(values_only=True):
    rows.append(['' if v is None else (v if isinstance(v, str) else repr(v)) for v in row])
print(json.dumps({'sheets': wb.sheetnames, 'rows': rows}))
)"), {path});
    EXPECT_TRUE(result.ok) << result.err.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(doc["sheets"].toArray().size(), 1);
    Rows rows;
    for (const QJsonValue &row : doc["rows"].toArray())
        rows.append(row.toVariant().toStringList());
    return rows;
}

} // namespace

TEST(XlsxWriter, WritesTheSeriesExportShape)
{
    SpreadsheetWriter::Delete_Work_Folder();   // no opened workbook to keep
    TempFolder tmp;
    const QString path = tmp.file("series.xlsx");
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, {{"Batch Value"}, {"12"}, {"abc"}, {"12"}}, false));

    ASSERT_TRUE(ZipArchive::unzipFileAtPath(path, tmp.file("x")));
    const QString sheet = QString::fromUtf8(readFile(tmp.file("x/xl/worksheets/sheet1.xml")));
    EXPECT_TRUE(sheet.contains(R"(<dimension ref="A1:A4" />)")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(R"(activeCell="A4" sqref="A4")"));
    EXPECT_EQ(sheet.count(R"(spans="1:1")"), 4);
    EXPECT_TRUE(sheet.contains(R"(<c r="A1" t="s">)"));
    EXPECT_TRUE(sheet.contains(R"(<c r="A2">)"));
    EXPECT_TRUE(sheet.contains(R"(<c r="A3" t="s">)"));
    const QString strings = QString::fromUtf8(readFile(tmp.file("x/xl/sharedStrings.xml")));
    EXPECT_TRUE(strings.contains(R"(count="2" uniqueCount="2")")) << strings.toStdString();
    EXPECT_EQ(SpreadsheetWriter::instance().sharedStrings(), (QStringList{"Batch Value", "abc"}));

    EXPECT_EQ(readWithOpenpyxl(path), (Rows{{"Batch Value"}, {"12"}, {"abc"}, {"12"}}));
}

TEST(XlsxWriter, OpenpyxlReadsBackTheSameValues)
{
    TempFolder tmp;
    const QString path = tmp.file("values.xlsx");
    const Rows rows{
        {"Name", "Code", "Amount"},
        {"Zoë Ünal", "007", "42"},
        {"line one\nline two", "12345678901234567890", "-3.25"},
        {"  padded  ", "1.50", "0.5"},
        {"same", "same", "1e5"},
        {"", "tab\there", "123456789012345"},
    };
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, rows, true));
    EXPECT_EQ(readWithOpenpyxl(path), rows);

    // Our own reader agrees too.
    SpreadsheetWriter::ReadWorkbook(path, true);
    Excel_Sheet_Number = 1;
    SpreadsheetWriter::ReadData_only_column();
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false), rows);
}

TEST(XlsxWriter, RaggedRowsAndUnwritableCharactersStillGiveAValidWorkbook)
{
    TempFolder tmp;
    const QString path = tmp.file("ragged.xlsx");
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(
        path, {{"a", "b"}, {"1"}, {"x", "y", QString("bell\x07") + QChar(0xFFFF) + "end"}}, false));
    EXPECT_EQ(readWithOpenpyxl(path), (Rows{{"a", "b", ""}, {"1", "", ""}, {"x", "y", "bellend"}}));
    ASSERT_TRUE(ZipArchive::unzipFileAtPath(path, tmp.file("x")));
    EXPECT_TRUE(readFile(tmp.file("x/xl/worksheets/sheet1.xml")).contains(R"(<dimension ref="A1:C3" />)"));
}

TEST(XlsxWriter, FailuresAreReportedAndLeaveNoHalfFile)
{
    TempFolder tmp;
    writeFile(tmp.file("file"), "x");
    EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(tmp.file("file/inside.xlsx"), {{"a"}}, false));
    EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(tmp.file("no/such/dir/a.xlsx"), {{"a"}}, false));

    // Without its template the writer refuses rather than writing a broken
    // package, and an existing file stays as it was.
    writeFile(tmp.file("keep.xlsx"), "previous");
    qputenv("QUORVANT_RESOURCES", tmp.file("empty").toUtf8());
    const bool written = SpreadsheetWriter::WriteWorkbook(tmp.file("keep.xlsx"), {{"a"}}, false);
    qunsetenv("QUORVANT_RESOURCES");
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(tmp.file("keep.xlsx")), "previous");
}

TEST(XlsxWriter, WritingLeavesTheOpenedWorkbookReadable)
{
    SpreadsheetWriter::ReadWorkbook(QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.xlsx"), true);
    TempFolder tmp;
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(tmp.file("other.xlsx"), {{"zzz"}, {"yyy"}}, false));
    Excel_Sheet_Number = 1;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(),
              (Rows{{"Name", "Untitled Column 2", "Amount", "Note"}}));
}

TEST(XlsxWriter, OnlyPlainDecimalsAreStoredAsNumbers)
{
    using spreadsheet_xml::isPlainNumber;
    for (const char *yes : {"0", "12", "-7", "3.5", "-0.25", "0.5", "123456789012345", "12345678901234.5"})
        EXPECT_TRUE(isPlainNumber(yes)) << yes;
    for (const char *no : {"", "-", "007", "00", "1.50", "1.", ".5", "-0", "+1", "1e5", " 12", "12 ",
                           "1,5", "1234567890123456", "0.0000000000000001", "NaN", "inf", "١٢"})
        EXPECT_FALSE(isPlainNumber(QString::fromUtf8(no))) << no;
}
