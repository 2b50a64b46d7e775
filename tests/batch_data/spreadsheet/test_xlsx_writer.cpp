#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "batch_data/spreadsheet/XmlSupport.h"
#include "tests/batch_data/spreadsheet/SheetTestSupport.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/support/ScopedValue.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace quorvant::test;
using Rows = SpreadsheetWriter::Rows;

namespace {

// Rows of the only worksheet as openpyxl sees them: text as is, numbers in
// Python's shortest form.
Rows readWithOpenpyxl(const QString &path)
{
    const auto result = runPython(QStringLiteral(R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
assert len(wb.sheetnames) == 1
print(json.dumps([['' if v is None else (v if isinstance(v, str) else repr(v)) for v in row]
                  for row in wb.worksheets[0].iter_rows(values_only=True)]))
)"), {path});
    EXPECT_TRUE(result.ok) << result.err.toStdString();
    Rows rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(result.out.toUtf8()).array())
        rows.append(row.toVariant().toStringList());
    return rows;
}

QString worksheetXml(const TempFolder &tmp, const QString &xlsx)
{
    EXPECT_TRUE(ZipArchive::unzipFileAtPath(xlsx, tmp.file("x")));
    return QString::fromUtf8(readTestFile(tmp.file("x/xl/worksheets/sheet1.xml")));
}

} // namespace

TEST(XlsxWriter, WritesTheSeriesExportShapeAndLeavesTheOpenedWorkbookReadable)
{
    const ScopedValue sheetNumber(batch_data::Excel_Sheet_Number);
    SpreadsheetWriter::ReadWorkbook(QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.xlsx"), true);
    TempFolder tmp;
    const QString path = tmp.file("series.xlsx");
    const Rows series{{"Batch Value"}, {"12"}, {"abc"}, {"12"}};
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, series, false));
    EXPECT_EQ(readWithOpenpyxl(path), series);

    // The worked example of the series export: text as shared strings in
    // order, numbers in place.
    const QString sheet = worksheetXml(tmp, path);
    for (const char *fragment : {R"(<dimension ref="A1:A4" />)", R"(activeCell="A4" sqref="A4")",
                                 R"(<c r="A1" t="s">)", R"(<c r="A2">)", R"(<c r="A3" t="s">)"})
        EXPECT_TRUE(sheet.contains(fragment)) << fragment;
    EXPECT_EQ(sheet.count(R"(spans="1:1")"), 4);
    EXPECT_TRUE(readTestFile(tmp.file("x/xl/sharedStrings.xml")).contains(R"(count="2" uniqueCount="2")"));

    batch_data::Excel_Sheet_Number = 1;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), (Rows{{"Name", "Untitled Column 2", "Amount", "Note"}}));
}

TEST(XlsxWriter, OpenpyxlReadsBackWhatWasWritten)
{
    const struct {
        const char *why;
        Rows written;
        Rows read;                // when not as written
        const char *dimension;   // of the widest row
    } cases[] = {
        // Only a plain decimal of at most 15 digits is stored as a number;
        // anything that would not come back as written stays text.
        {"text, numbers and text that looks like one",
         {{"Name", "Code", "Amount", "Text"},
          {"Zoë Ünal", "007", "42", "-0"},
          {"line one\nline two", "12345678901234567890", "-3.25", "1."},
          {"  padded  ", "1.50", "0.5", "+1"},
          {"same", "same", "1e5", " 12"},
          {"", "tab\there", "123456789012345", QString::fromUtf8("١٢")}},
         {},
         "A1:D6"},
        {"ragged rows and a lone surrogate, which no XML can carry",
         {{"a", "b"}, {"1"}, {"x", "y", QString("half") + QChar(0xD800) + "pair"}},
         {{"a", "b", ""}, {"1", "", ""}, {"x", "y", "halfpair"}},
         "A1:C3"},
    };
    const ScopedValue sheetNumber(batch_data::Excel_Sheet_Number);
    for (const auto &c : cases) {
        TempFolder tmp;
        const QString path = tmp.file("values.xlsx");
        ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, c.written, true)) << c.why;
        const Rows expected = c.read.isEmpty() ? c.written : c.read;
        EXPECT_EQ(readWithOpenpyxl(path), expected) << c.why;
        EXPECT_TRUE(worksheetXml(tmp, path).contains(QStringLiteral(R"(<dimension ref="%1" />)").arg(c.dimension)))
            << c.why;

        // Our own reader agrees.
        SpreadsheetWriter::ReadWorkbook(path, true);
        batch_data::Excel_Sheet_Number = 1;
        SpreadsheetWriter::ReadData_only_column();
        EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false), expected) << c.why;
    }
}

TEST(XlsxWriter, ControlCharactersTravelAsEscapesInsteadOfBeingDropped)
{
    // openpyxl shows the escapes as stored (it decodes none but _x005F_);
    // LibreOffice decodes them (cells_openpyxl.csv, "escaped carriage
    // return"), and so does our reader.
    const Rows written{{QString("line one\r\nline two"), QString("bell\x07") + QChar(0xFFFF), "keep _x0041_"}};
    TempFolder tmp;
    const QString path = tmp.file("controls.xlsx");
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, written, false));
    EXPECT_EQ(readWithOpenpyxl(path), (Rows{{"line one_x000D_\nline two", "bell_x0007__xFFFF_", "keep _x0041_"}}));
    const batch_data::Workbook book = batch_data::Workbook::open(path).value();
    EXPECT_EQ(book.rows(1, 3), written);
}

TEST(XlsxWriter, FailuresAreReportedAndLeaveNoHalfFile)
{
    TempFolder tmp;
    EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(tmp.file("no/such/dir/a.xlsx"), {{"a"}}, false));

    // Without its template the writer refuses rather than writing a broken
    // package, and an existing file stays as it was.
    writeTestFile(tmp.file("keep.xlsx"), "previous");
    qputenv("QUORVANT_RESOURCES", tmp.file("empty").toUtf8());
    const bool written = SpreadsheetWriter::WriteWorkbook(tmp.file("keep.xlsx"), {{"a"}}, false);
    qunsetenv("QUORVANT_RESOURCES");
    EXPECT_FALSE(written);
    EXPECT_EQ(readTestFile(tmp.file("keep.xlsx")), "previous");
}

TEST(XlsxWriter, NumbersBeyondFifteenDigitsStayText)
{
    // Spreadsheet programs keep 15 significant digits; openpyxl would read a
    // longer number back whole, so the rule is checked here.
    for (const char *digits : {"123456789012345", "12345678901234.5", "-1234567890.12345"})
        EXPECT_TRUE(spreadsheet_xml::isPlainNumber(digits)) << digits;
    for (const char *digits : {"1234567890123456", "1234567890123.456", "0.0000000000000001"})
        EXPECT_FALSE(spreadsheet_xml::isPlainNumber(digits)) << digits;
}
