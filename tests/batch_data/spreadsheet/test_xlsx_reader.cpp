#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "tests/batch_data/spreadsheet/SheetTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QFileDevice>

using namespace quorvant::test;
using batch_data::Excel_Sheet_Columns;
using batch_data::Excel_Sheet_Number;
using Rows = SpreadsheetWriter::Rows;

namespace {

const QString kSample = QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.xlsx");
const QByteArray kMain = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";

// A workbook with one hand-written worksheet part and shared strings.
QString makeWorkbook(const TempFolder &tmp, const QByteArray &sheetBody, const QByteArray &strings = {})
{
    const QString zip = tmp.file("book.xlsx");
    makePackage(tmp.file("parts"), zip,
                {{"xl/worksheets/sheet1.xml", "<worksheet " + kMain + ">" + sheetBody + "</worksheet>"},
                 {"xl/sharedStrings.xml", "<sst " + kMain + ">" + strings + "</sst>"}});
    return zip;
}

Rows headerAndRows(const QString &zip, Rows *all)
{
    SpreadsheetWriter::ReadWorkbook(zip, true);
    Excel_Sheet_Number = 1;
    Rows header = SpreadsheetWriter::ReadData_only_column();
    *all = SpreadsheetWriter::ReadWorkbook(QString(), false);
    return header;
}

} // namespace

TEST(XlsxReader, ReadsTheLibreOfficeSampleAsAUserSeesIt)
{
    SpreadsheetWriter::ReadWorkbook(kSample, true);
    EXPECT_EQ(Excel_Sheet_Columns, 1);
    EXPECT_EQ(SpreadsheetWriter::Worksheet_Parts(), (QStringList{"sheet1", "sheet2"}));
    EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), (QStringList{"People", "Second"}));

    Excel_Sheet_Number = 1;
    const Rows header = SpreadsheetWriter::ReadData_only_column();
    EXPECT_EQ(header, (Rows{{"Name", "Untitled Column 2", "Amount", "Note"}})) << show(header);
    EXPECT_EQ(Excel_Sheet_Columns, 4);

    // Rich text reads whole, the formula as its value, "007" as text, the
    // empty row is left out.
    const Rows rows = SpreadsheetWriter::ReadWorkbook(QString(), false);
    EXPECT_EQ(rows, (Rows{{"Name", "", "Amount", "Note"},
                          {"Alice", "x", "12", "line one\nline two"},
                          {"Bold and plain", "y", "24", "007"},
                          {"Carol", "", "3.5", "last"},
                          {"dup", "dup", "1", "dup"},
                          {"dup", "dup", "1", "dup"}}))
        << show(rows);

    Excel_Sheet_Number = 2;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), (Rows{{"Other", "Sheet"}}));
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false),
              (Rows{{"Other", "Sheet"}, {"two  spaces", "42"}}));
    Excel_Sheet_Number = 1;
}

TEST(XlsxReader, EachWorkbookGetsAPrivateFolderThatGoesWithIt)
{
    SpreadsheetWriter::ReadWorkbook(kSample, true);
    const QString first = SpreadsheetWriter::Work_Folder();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_FALSE(first.contains("ziptmp"));
    EXPECT_EQ(QFileInfo(first).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
    EXPECT_TRUE(QFileInfo::exists(first + "/xl/worksheets/sheet2.xml"));

    TempFolder tmp;
    const QString second = makeWorkbook(tmp, "<sheetData/>");
    SpreadsheetWriter::ReadWorkbook(second, true);
    EXPECT_FALSE(QFileInfo::exists(first));
    // No worksheet of the earlier workbook shows up in the new one.
    EXPECT_EQ(SpreadsheetWriter::Worksheet_Parts(), QStringList{"sheet1"});

    SpreadsheetWriter::Delete_Work_Folder();
    EXPECT_TRUE(SpreadsheetWriter::Work_Folder().isEmpty());
    EXPECT_TRUE(SpreadsheetWriter::Worksheet_Parts().isEmpty());
    EXPECT_TRUE(SpreadsheetWriter::ReadData_only_column().isEmpty());
}

TEST(XlsxReader, WidthComesFromTheDimensionAndTheCells)
{
    TempFolder tmp;
    Rows all;
    // Two-letter columns land where they belong.
    Rows header = headerAndRows(makeWorkbook(tmp, R"(<dimension ref="A1:AB20"/><sheetData>
        <row r="1"><c r="AA1" t="inlineStr"><is><t>aa</t></is></c><c r="AB1" t="inlineStr"><is><t>ab</t></is></c></row>
        </sheetData>)"), &all);
    EXPECT_EQ(Excel_Sheet_Columns, 28);
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0][26], "aa");
    EXPECT_EQ(header[0][27], "ab");
    EXPECT_EQ(header[0][25], "Untitled Column 26");

    // A range that does not start at A1.
    TempFolder tmp2;
    headerAndRows(makeWorkbook(tmp2, R"(<dimension ref="B10:D20"/><sheetData>
        <row r="10"><c r="B10"><v>1</v></c></row></sheetData>)"), &all);
    EXPECT_EQ(Excel_Sheet_Columns, 4);
    EXPECT_EQ(all, (Rows{{"", "1", "", ""}}));

    // A single-cell dimension that understates, and no dimension at all.
    TempFolder tmp3;
    headerAndRows(makeWorkbook(tmp3, R"(<dimension ref="A1"/><sheetData>
        <row r="1"><c r="A1"><v>1</v></c><c r="E1"><v>5</v></c></row></sheetData>)"), &all);
    EXPECT_EQ(Excel_Sheet_Columns, 5);
    EXPECT_EQ(all, (Rows{{"1", "", "", "", "5"}}));

    TempFolder tmp4;
    header = headerAndRows(makeWorkbook(tmp4, R"(<sheetData>
        <row r="1"><c r="A1"><v>1</v></c></row><row r="2"><c r="C2"><v>3</v></c></row></sheetData>)"), &all);
    EXPECT_EQ(Excel_Sheet_Columns, 3);
    EXPECT_EQ(all, (Rows{{"1", "", ""}, {"", "", "3"}}));

    // A damaged dimension cannot make rows enormous.
    TempFolder tmp5;
    headerAndRows(makeWorkbook(tmp5, R"(<dimension ref="A1:ZZZZZZ9"/><sheetData>
        <row r="1"><c r="A1"><v>1</v></c></row></sheetData>)"), &all);
    EXPECT_LE(Excel_Sheet_Columns, 16384);
}

TEST(XlsxReader, CellTextsFollowTheirType)
{
    TempFolder tmp;
    Rows all;
    const QByteArray strings = "<si><t>s0</t></si><si><t>s1</t></si><si><t>s2</t></si>"
                               "<si><r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r><rPh><t>x</t></rPh></si>"
                               "<si><t xml:space=\"preserve\"> s4 </t></si>";
    headerAndRows(makeWorkbook(tmp, R"(<dimension ref="A1:H3"/><sheetData>
        <row r="1"><c r="A1" t="s"><v>3</v></c><c r="B1" t="s"><v>4</v></c><c r="C1" t="s"><v>5</v></c>
          <c r="D1" t="s"><v>6</v></c><c r="E1" t="s"><v></v></c><c r="F1" t="s"><v>0</v></c></row>
        <row r="2"><c r="A2"><f>B2*2</f><v>84</v></c><c r="B2" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>
          <c r="C2" t="b"><v>1</v></c><c r="D2" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c>
          <c><v>after D</v></c></row>
        <row r="3"><c r="G3"><v>g</v></c><c><v>h</v></c></row>
        </sheetData>)", strings), &all);
    // Rich text whole; an index past the table gives no text; cells without
    // a reference follow the one before.
    EXPECT_EQ(all, (Rows{{"rich text", " s4 ", "", "", "", "s0", "", ""},
                         {"84", "ab", "1", "inline", "after D", "", "", ""},
                         {"", "", "", "", "", "", "g", "h"}}))
        << show(all);
}

TEST(XlsxReader, FullReadWithoutHeaderReadUsesWidthOneAndMissingPartsGiveNothing)
{
    TempFolder tmp;
    SpreadsheetWriter::ReadWorkbook(makeWorkbook(tmp, R"(<dimension ref="A1:B2"/><sheetData>
        <row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2</v></c></row></sheetData>)"), true);
    Excel_Sheet_Number = 1;
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false), (Rows{{"1"}}));
    Excel_Sheet_Number = 7;
    EXPECT_TRUE(SpreadsheetWriter::ReadData_only_column().isEmpty());
    EXPECT_TRUE(SpreadsheetWriter::ReadWorkbook(QString(), false).isEmpty());
    Excel_Sheet_Number = 1;

    // Not a workbook at all: no rows of the earlier read come back, the
    // reason does, and nothing is left to list or read.
    ASSERT_FALSE(SpreadsheetWriter::ReadWorkbook(QString(), false).isEmpty());
    writeFile(tmp.file("junk.xlsx"), "junk");
    QString error;
    EXPECT_TRUE(SpreadsheetWriter::ReadWorkbook(tmp.file("junk.xlsx"), true, &error).isEmpty());
    EXPECT_TRUE(error.contains("junk.xlsx")) << error.toStdString();
    EXPECT_TRUE(SpreadsheetWriter::Work_Folder().isEmpty());
    EXPECT_TRUE(SpreadsheetWriter::Worksheet_Parts().isEmpty());
    EXPECT_TRUE(SpreadsheetWriter::instance().sharedStrings().isEmpty());
    EXPECT_TRUE(SpreadsheetWriter::ReadData_only_column().isEmpty());
}

TEST(XlsxReader, WorksheetPartsAreOrderedByNumber)
{
    TempFolder tmp;
    QMap<QString, QByteArray> parts;
    for (int n : {1, 2, 10, 11, 3})
        parts.insert(QStringLiteral("xl/worksheets/sheet%1.xml").arg(n), "<worksheet/>");
    parts.insert("xl/worksheets/_rels/sheet1.xml.rels", "<x/>");
    makePackage(tmp.file("parts"), tmp.file("b.xlsx"), parts);
    SpreadsheetWriter::ReadWorkbook(tmp.file("b.xlsx"), true);
    EXPECT_EQ(SpreadsheetWriter::Worksheet_Parts(),
              (QStringList{"sheet1", "sheet2", "sheet3", "sheet10", "sheet11"}));
}

TEST(ColumnLetters, NamesAndIndexesAreInverse)
{
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(1), "A");
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(26), "Z");
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(27), "AA");
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(52), "AZ");
    EXPECT_EQ(SpreadsheetWriter::ColumnNumber_To_Name(53), "BA");
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(702), "ZZ");
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(703), "AAA");
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(16384), "XFD");
    for (int n = 1; n <= 16384; ++n) {
        const QString name = SpreadsheetWriter::ColumnIndexToName(n);
        ASSERT_EQ(Get_Col_index(name, 64), n) << name.toStdString();
        ASSERT_EQ(Get_Col_index(Get_Column_Char_Str(name + "12"), 65), n - 1);
    }
    EXPECT_EQ(Get_Column_Char_Str("AB12"), "AB");
    EXPECT_EQ(Get_Col_index("", 65), -1);
}
