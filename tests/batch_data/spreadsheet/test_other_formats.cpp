#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "tests/batch_data/spreadsheet/CellFixtures.h"
#include "tests/batch_data/spreadsheet/SheetTestSupport.h"
#include "tests/batch_data/zip/PythonRunner.h"

using namespace quorvant::test;
using Rows = SpreadsheetWriter::Rows;

namespace {

const QByteArray kOdsNs = R"(xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
                          R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
                          R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")";

QString makeOds(const TempFolder &tmp, const QByteArray &tables)
{
    const QString path = tmp.file("hand.ods");
    makePackage(tmp.file("ods"), path,
                {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                 {"content.xml", "<office:document-content " + kOdsNs + "><office:body><office:spreadsheet>" + tables
                                     + "</office:spreadsheet></office:body></office:document-content>"}});
    return path;
}

} // namespace

TEST(OtherFormats, ReadTheLibreOfficeSamples)
{
    // The sample that sample.xlsx holds, saved by LibreOffice: the empty
    // row is a row of empty cells in these formats.
    const Rows sample{{"Name", "", "Amount", "Note"},
                      {"Alice", "x", "12", "line one\nline two"},
                      {"Bold and plain", "y", "24", "007"},
                      {"", "", "", ""},
                      {"Carol", "", "3.5", "last"},
                      {"dup", "dup", "1", "dup"},
                      {"dup", "dup", "1", "dup"}};
    EXPECT_EQ(SpreadsheetWriter::ReadODS(QUORVANT_TEST_DATA "/spreadsheet/sample.ods"), sample);
    EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(QUORVANT_TEST_DATA "/spreadsheet/sample_2003.xml"), sample);
}

TEST(OtherFormats, EveryFixtureCellReadsAsTheSpreadsheetShowsIt)
{
    // cells_openpyxl.xlsx as LibreOffice saved it in each format. An ods
    // file holds each cell's text as LibreOffice showed it in the xlsx, so
    // it reads as LibreOffice's CSV of the xlsx; XML 2003 holds values and
    // formats, and reads as LibreOffice's CSV of that very file.
    const struct {
        const char *file;
        Rows expected;
        Rows (*read)(const QString &, QString *);
    } formats[] = {
        {"cells_openpyxl.ods", readCsv(cellFixture("cells_openpyxl.csv")), SpreadsheetWriter::ReadODS},
        {"cells_openpyxl_2003.xml", expectedCells("cells_openpyxl_2003.csv"), SpreadsheetWriter::ReadWorksheetXML2004},
    };
    for (const auto &f : formats) {
        SCOPED_TRACE(f.file);
        const Rows &expected = f.expected;
        const Rows shown = f.read(cellFixture(QString::fromLatin1(f.file)), nullptr);
        ASSERT_EQ(shown.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            EXPECT_EQ(shown.at(i), expected.at(i));
    }
}

TEST(OdsReader, RepeatsSpacesAndPaddingAreUnderstood)
{
    TempFolder tmp;
    const Rows rows = SpreadsheetWriter::ReadODS(makeOds(tmp, R"(
      <table:table table:name="First">
        <table:table-header-rows><table:table-row>
          <table:table-cell><text:p>a</text:p></table:table-cell>
          <table:table-cell table:number-columns-repeated="4"><text:p>m</text:p></table:table-cell>
          <table:table-cell><text:p>z</text:p></table:table-cell>
          <table:table-cell table:number-columns-repeated="1018"/>
        </table:table-row></table:table-header-rows>
        <table:table-row table:number-rows-repeated="2">
          <table:table-cell><text:p>x<text:s text:c="3"/>y<text:tab/>t<text:line-break/>n</text:p><office:annotation><text:p>note</text:p></office:annotation></table:table-cell>
        </table:table-row>
        <table:table-row><table:table-cell><text:p><text:span>Bold</text:span> <text:span>italic</text:span></text:p></table:table-cell></table:table-row>
        <table:table-row table:number-rows-repeated="1048570">
          <table:table-cell table:number-columns-repeated="2000000000"/>
        </table:table-row>
      </table:table>
      <table:table table:name="Second"><table:table-row><table:table-cell><text:p>other</text:p></table:table-cell></table:table-row></table:table>)"));
    // The repeated middle cell gives four texts; the filler to the sheet's
    // edge is no data; identical rows stored once come back twice; the
    // space between two styled runs (as LibreOffice writes it) is kept.
    EXPECT_EQ(rows, (Rows{{"a", "m", "m", "m", "m", "z"}, {"x   y\tt\nn"}, {"x   y\tt\nn"}, {"Bold italic"}}));
}

TEST(OdsReader, HugeRepeatCountsAreRefusedNotCutShort)
{
    TempFolder tmp;
    QString error;
    const Rows rows = SpreadsheetWriter::ReadODS(makeOds(tmp, R"(<table:table table:name="T">
        <table:table-row table:number-rows-repeated="999999999">
          <table:table-cell table:number-columns-repeated="3"><text:p>x</text:p></table:table-cell>
        </table:table-row>
        <table:table-row><table:table-cell table:number-columns-repeated="999999999"><text:p>y</text:p></table:table-cell></table:table-row>
      </table:table>)"), &error);
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_TRUE(error.contains("more than can be read")) << error.toStdString();
}

TEST(OdsReader, TypedCellsWithoutParagraphsShowTheirValue)
{
    TempFolder tmp;
    const Rows rows = SpreadsheetWriter::ReadODS(makeOds(tmp, R"(<table:table table:name="T"><table:table-row>
        <table:table-cell office:value-type="float" office:value="1.5E-07"/>
        <table:table-cell office:value-type="percentage" office:value="0.256"/>
        <table:table-cell office:value-type="boolean" office:boolean-value="true"/>
        <table:table-cell office:value-type="date" office:date-value="2024-02-29"/>
        <table:table-cell office:value-type="time" office:time-value="PT13H05M09S"/>
        <table:table-cell office:value-type="string" office:string-value="s"/>
        <table:table-cell office:value-type="float" office:value="2"><text:p>two</text:p></table:table-cell>
      </table:table-row></table:table>)"));
    // General as in the xlsx reader; the paragraph wins where there is one.
    EXPECT_EQ(rows, (Rows{{"0.00000015", "25.6%", "TRUE", "2024-02-29", "13:05:09", "s", "two"}}));
}

TEST(Xml2003Reader, HonoursIndexGapsMergesAndStyledRuns)
{
    TempFolder tmp;
    writeTestFile(tmp.file("hand.xml"), R"(<?xml version="1.0"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">
 <Worksheet ss:Name="A"><Table>
  <Row><Cell ss:MergeAcross="1"><Data ss:Type="String">wide</Data></Cell><Cell><Data ss:Type="String">c</Data></Cell></Row>
  <Row ss:Index="4"><Cell ss:Index="2"><Data ss:Type="Number">2</Data></Cell></Row>
  <Row><Cell><ss:Data xmlns="http://www.w3.org/TR/REC-html40" ss:Type="String"><B>Bold</B> <I>italic</I></ss:Data></Cell></Row>
  <Row><Cell ss:Index="999999999"><Data ss:Type="String">far</Data></Cell></Row>
 </Table></Worksheet>
 <Worksheet ss:Name="B"><Table><Row><Cell><Data ss:Type="String">no</Data></Cell></Row></Table></Worksheet>
</Workbook>)");
    // A cell past column XFD is left out; the empty row it leaves at the
    // end is padding.
    EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(tmp.file("hand.xml")),
              (Rows{{"wide", "", "c"}, {}, {}, {"", "2"}, {"Bold italic"}}));
}

TEST(OtherFormats, DamagedFilesGiveNoRows)
{
    TempFolder tmp;
    writeTestFile(tmp.file("junk.ods"), "not a package");
    EXPECT_TRUE(SpreadsheetWriter::ReadODS(tmp.file("junk.ods")).isEmpty());
    makePackage(tmp.file("b"), tmp.file("broken.ods"), {{"content.xml", "<office:document-content><unclosed>"}});
    EXPECT_TRUE(SpreadsheetWriter::ReadODS(tmp.file("broken.ods")).isEmpty());
    writeTestFile(tmp.file("broken.xml"), "<Workbook><Worksheet>");
    EXPECT_TRUE(SpreadsheetWriter::ReadWorksheetXML2004(tmp.file("broken.xml")).isEmpty());
}

TEST(OdsWriter, WritesAWellFormedPackageThatReadsBack)
{
    TempFolder tmp;
    // An opened workbook's parts must not end up in the written package.
    SpreadsheetWriter::ReadWorkbook(QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.xlsx"), true);
    const QString path = tmp.file("out.ods");
    const Rows rows{{"Name", "Value"}, {"two\nlines", "42"}, {"x   y", " lead"}, {"tab\there ", "a b"}, {"wide", "row", "3"}};
    ASSERT_TRUE(SpreadsheetWriter::WriteODS(path, rows, true));
    EXPECT_EQ(SpreadsheetWriter::ReadODS(path), rows);

    // Python's zipfile checks every entry; its XML parser refuses
    // duplicated attributes and undeclared prefixes.
    const auto checked = runPython(QStringLiteral(R"(
import sys, zipfile, xml.dom.minidom
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    print(' '.join(z.namelist()))
    doc = xml.dom.minidom.parseString(z.read('content.xml'))
ns = 'urn:oasis:names:tc:opendocument:xmlns:table:1.0'
print(doc.getElementsByTagNameNS(ns, 'table-column')[0].getAttributeNS(ns, 'number-columns-repeated'))
)"), {path});
    ASSERT_TRUE(checked.ok) << checked.err.toStdString();
    // The mimetype entry first, as OpenDocument requires; the widest row.
    EXPECT_TRUE(checked.out.startsWith("mimetype ")) << checked.out.toStdString();
    EXPECT_FALSE(checked.out.contains("xl/"));
    EXPECT_TRUE(checked.out.contains("META-INF/manifest.xml"));
    EXPECT_TRUE(checked.out.endsWith("\n3\n"));
}

TEST(Xml2003Writer, TypesCellsAndCountsTheTable)
{
    TempFolder tmp;
    const QString path = tmp.file("out.xml");
    const Rows rows{{"a", "1"}, {"2"}, {"007", "x\ny", "1e5"}};
    ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(path, rows));
    EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path), rows);
    const auto checked = runPython(QStringLiteral(R"(
import sys, xml.dom.minidom
doc = xml.dom.minidom.parse(sys.argv[1])
ss = 'urn:schemas-microsoft-com:office:spreadsheet'
t = doc.getElementsByTagNameNS(ss, 'Table')[0]
print(t.getAttributeNS(ss, 'ExpandedColumnCount'), t.getAttributeNS(ss, 'ExpandedRowCount'))
print([d.getAttributeNS(ss, 'Type') for d in doc.getElementsByTagNameNS(ss, 'Data')])
)"), {path});
    ASSERT_TRUE(checked.ok) << checked.err.toStdString();
    EXPECT_EQ(checked.out, "3 3\n['String', 'Number', 'Number', 'String', 'String', 'String']\n");
    EXPECT_FALSE(SpreadsheetWriter::WriteWorksheetXML2004(tmp.file("no/dir/out.xml"), {{"a"}}));
}
