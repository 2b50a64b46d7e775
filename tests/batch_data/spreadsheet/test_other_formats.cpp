#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "tests/batch_data/spreadsheet/SheetTestSupport.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/support/TestSupport.h"

using namespace quorvant::test;
using Rows = SpreadsheetWriter::Rows;

namespace {

// The hand-written sample as the ods and XML 2003 files give it: the empty
// row is a row of empty cells there.
const Rows kSampleRows{{"Name", "", "Amount", "Note"},
                       {"Alice", "x", "12", "line one\nline two"},
                       {"Bold and plain", "y", "24", "007"},
                       {"", "", "", ""},
                       {"Carol", "", "3.5", "last"},
                       {"dup", "dup", "1", "dup"},
                       {"dup", "dup", "1", "dup"}};

const QByteArray kOdsNs = R"(xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
                          R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
                          R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")";

QString makeOds(const TempFolder &tmp, const QByteArray &tables)
{
    const QString path = tmp.file("hand.ods");
    makePackage(tmp.file("ods"), path,
                {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                 {"content.xml", "<office:document-content " + kOdsNs
                                     + "><office:body><office:spreadsheet>" + tables
                                     + "</office:spreadsheet></office:body></office:document-content>"}});
    return path;
}

// Checks with Python's XML parser (which refuses duplicated attributes and
// undeclared prefixes) and prints what the test asks about.
PythonResult inspectXml(const QString &path, const QString &code)
{
    return runPython(QStringLiteral(R"(
import sys, xml.dom.minidom
doc = xml.dom.minidom.parse(sys.argv[1])
)") + code, {path});
}

} // namespace

TEST(OdsReader, ReadsTheLibreOfficeSample)
{
    const Rows rows = SpreadsheetWriter::ReadODS(QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.ods"));
    EXPECT_EQ(rows, kSampleRows)
        << show(rows);
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
        <table:table-row table:number-rows-repeated="1048570">
          <table:table-cell table:number-columns-repeated="2000000000"/>
        </table:table-row>
      </table:table>
      <table:table table:name="Second"><table:table-row><table:table-cell><text:p>other</text:p></table:table-cell></table:table-row></table:table>)"));
    // The repeated middle cell gives six strings; the filler to the sheet's
    // edge is no data; identical rows stored once come back twice.
    EXPECT_EQ(rows, (Rows{{"a", "m", "m", "m", "m", "z"}, {"x   y\tt\nn"}, {"x   y\tt\nn"}}))
        << show(rows);
}

TEST(StyledRuns, TheSpaceBetweenTwoRunsIsKept)
{
    // What LibreOffice writes for a cell "Bold italic" with two styled
    // words: the space between them is a text of its own.
    TempFolder tmp;
    const QString ods = makeOds(tmp, R"(<table:table table:name="T"><table:table-row><table:table-cell><text:p><text:span text:style-name="T1">Bold</text:span> <text:span text:style-name="T2">italic</text:span></text:p></table:table-cell></table:table-row></table:table>)");
    EXPECT_EQ(SpreadsheetWriter::ReadODS(ods), (Rows{{"Bold italic"}}));

    writeFile(tmp.file("runs.xml"), R"(<?xml version="1.0"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">
 <Worksheet ss:Name="S">
  <Table>
   <Row>
    <Cell><ss:Data xmlns="http://www.w3.org/TR/REC-html40" ss:Type="String"><B>Bold</B> <I>italic</I></ss:Data></Cell>
    <Cell><Data ss:Type="String">plain</Data></Cell>
   </Row>
  </Table>
 </Worksheet>
</Workbook>)");
    EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(tmp.file("runs.xml")), (Rows{{"Bold italic", "plain"}}));
}

TEST(OdsReader, HugeRepeatCountsAreBounded)
{
    TempFolder tmp;
    const Rows rows = SpreadsheetWriter::ReadODS(makeOds(tmp, R"(<table:table table:name="T">
        <table:table-row table:number-rows-repeated="999999999">
          <table:table-cell table:number-columns-repeated="3"><text:p>x</text:p></table:table-cell>
        </table:table-row>
        <table:table-row><table:table-cell table:number-columns-repeated="999999999"><text:p>y</text:p></table:table-cell></table:table-row>
      </table:table>)"));
    ASSERT_EQ(rows.size(), 1048576);
    EXPECT_EQ(rows.first(), (QStringList{"x", "x", "x"}));
}

TEST(OdsReader, DamagedFilesGiveNoRows)
{
    TempFolder tmp;
    writeFile(tmp.file("junk.ods"), "not a package");
    EXPECT_TRUE(SpreadsheetWriter::ReadODS(tmp.file("junk.ods")).isEmpty());
    const QString broken = tmp.file("broken.ods");
    makePackage(tmp.file("b"), broken, {{"content.xml", "<office:document-content><unclosed>"}});
    EXPECT_TRUE(SpreadsheetWriter::ReadODS(broken).isEmpty());
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

    const auto names = runPython(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    print(' '.join(z.namelist()))
    open(sys.argv[2], 'wb').write(z.read('content.xml'))
)"), {path, tmp.file("content.xml")});
    ASSERT_TRUE(names.ok) << names.err.toStdString();
    EXPECT_TRUE(names.out.startsWith("mimetype ")) << names.out.toStdString();
    EXPECT_FALSE(names.out.contains("xl/"));
    EXPECT_TRUE(names.out.contains("META-INF/manifest.xml"));

    const auto checked = inspectXml(tmp.file("content.xml"), QStringLiteral(R"(
root = doc.documentElement
ns = 'urn:oasis:names:tc:opendocument:xmlns:'
styles = doc.getElementsByTagNameNS(ns + 'style:1.0', 'style')
print([s.getAttributeNS(ns + 'style:1.0', 'family') for s in styles])
col = doc.getElementsByTagNameNS(ns + 'table:1.0', 'table-column')[0]
print(col.getAttributeNS(ns + 'table:1.0', 'number-columns-repeated'))
)"));
    ASSERT_TRUE(checked.ok) << checked.err.toStdString();
    EXPECT_EQ(checked.out, "['table-column', 'table-row', 'table']\n3\n");
}

TEST(Xml2003Reader, HonoursIndexGapsAndRichText)
{
    const Rows rows =
        SpreadsheetWriter::ReadWorksheetXML2004(QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample_2003.xml"));
    EXPECT_EQ(rows, kSampleRows)
        << show(rows);

    TempFolder tmp;
    writeFile(tmp.file("gaps.xml"), R"(<?xml version="1.0"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">
 <Worksheet ss:Name="A"><Table>
  <Row><Cell ss:MergeAcross="1"><Data ss:Type="String">wide</Data></Cell><Cell><Data ss:Type="String">c</Data></Cell></Row>
  <Row ss:Index="4"><Cell ss:Index="2"><Data ss:Type="Number">2</Data></Cell></Row>
  <Row><Cell ss:Index="999999999"><Data ss:Type="String">far</Data></Cell></Row>
 </Table></Worksheet>
 <Worksheet ss:Name="B"><Table><Row><Cell><Data ss:Type="String">no</Data></Cell></Row></Table></Worksheet>
</Workbook>)");
    EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(tmp.file("gaps.xml")),
              (Rows{{"wide", "", "c"}, {}, {}, {"", "2"}, {}}));

    writeFile(tmp.file("broken.xml"), "<Workbook><Worksheet>");
    EXPECT_TRUE(SpreadsheetWriter::ReadWorksheetXML2004(tmp.file("broken.xml")).isEmpty());
}

TEST(Xml2003Writer, TypesCellsAndCountsTheTable)
{
    TempFolder tmp;
    const QString path = tmp.file("out.xml");
    ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(path, {{"a", "1"}, {"2"}, {"007", "x\ny", "1e5"}}));
    EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path), (Rows{{"a", "1"}, {"2"}, {"007", "x\ny", "1e5"}}));
    const auto checked = inspectXml(path, QStringLiteral(R"(
ss = 'urn:schemas-microsoft-com:office:spreadsheet'
t = doc.getElementsByTagNameNS(ss, 'Table')[0]
print(t.getAttributeNS(ss, 'ExpandedColumnCount'), t.getAttributeNS(ss, 'ExpandedRowCount'))
print([d.getAttributeNS(ss, 'Type') for d in doc.getElementsByTagNameNS(ss, 'Data')])
)"));
    ASSERT_TRUE(checked.ok) << checked.err.toStdString();
    EXPECT_EQ(checked.out, "3 3\n['String', 'Number', 'Number', 'String', 'String', 'String']\n");

    EXPECT_FALSE(SpreadsheetWriter::WriteWorksheetXML2004(tmp.file("no/dir/out.xml"), {{"a"}}));
}
