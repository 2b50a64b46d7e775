#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "tests/batch_data/spreadsheet/SheetTestSupport.h"
#include "tests/support/ScopedValue.h"

#include <QFileDevice>
#include <QFileInfo>

using namespace quorvant::test;
using batch_data::Excel_Sheet_Columns;
using batch_data::Excel_Sheet_Number;
using batch_data::Workbook;
using Rows = SpreadsheetWriter::Rows;

namespace {

const QString kSample = QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.xlsx");
const QByteArray kMain = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";

// A workbook with one hand-written worksheet part and shared strings; a
// failure to open throws and so fails the test.
Workbook makeWorkbook(const TempFolder &tmp, const QByteArray &sheetBody, const QByteArray &strings = {})
{
    makePackage(tmp.file("parts"), tmp.file("book.xlsx"),
                {{"xl/worksheets/sheet1.xml", "<worksheet " + kMain + ">" + sheetBody + "</worksheet>"},
                 {"xl/sharedStrings.xml", "<sst " + kMain + ">" + strings + "</sst>"}});
    return Workbook::open(tmp.file("book.xlsx")).value();
}

} // namespace

// The order of calls the importers make, on a workbook LibreOffice saved.
TEST(XlsxReader, FixedOperationsReadTheLibreOfficeSampleAsAUserSeesIt)
{
    const ScopedValue sheetNumber(Excel_Sheet_Number);
    SpreadsheetWriter::ReadWorkbook(kSample, true);
    EXPECT_EQ(Excel_Sheet_Columns, 1);
    EXPECT_EQ(SpreadsheetWriter::Worksheet_Parts(), (QStringList{"sheet1", "sheet2"}));
    EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), (QStringList{"People", "Second"}));
    // Before the header read a full read is one column wide.
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false).first(), QStringList{"Name"});

    Excel_Sheet_Number = 1;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), (Rows{{"Name", "Untitled Column 2", "Amount", "Note"}}));
    EXPECT_EQ(Excel_Sheet_Columns, 4);
    // Rich text reads whole, the formula as its value, "007" as text, the
    // empty row is left out.
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false),
              (Rows{{"Name", "", "Amount", "Note"},
                    {"Alice", "x", "12", "line one\nline two"},
                    {"Bold and plain", "y", "24", "007"},
                    {"Carol", "", "3.5", "last"},
                    {"dup", "dup", "1", "dup"},
                    {"dup", "dup", "1", "dup"}}));
    Excel_Sheet_Number = 2;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), (Rows{{"Other", "Sheet"}}));
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false), (Rows{{"Other", "Sheet"}, {"two  spaces", "42"}}));
    Excel_Sheet_Number = 1;

    // A file that is no workbook gives no rows of the earlier read but its
    // reason, and the earlier workbook's folder is gone.
    const QString folder = SpreadsheetWriter::Work_Folder();
    TempFolder tmp;
    writeTestFile(tmp.file("junk.xlsx"), "junk");
    QString error;
    EXPECT_TRUE(SpreadsheetWriter::ReadWorkbook(tmp.file("junk.xlsx"), true, &error).isEmpty());
    // Said as the user reads it; the windows name the file.
    EXPECT_EQ(error, "It is not an xlsx workbook, or it is damaged: it cannot be opened as a zip package.");
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(SpreadsheetWriter::Worksheet_Parts().isEmpty());
    EXPECT_TRUE(SpreadsheetWriter::ReadData_only_column().isEmpty());
}

TEST(Workbook, OwnsAPrivateFolderAndReadsWhatItCan)
{
    // An entry that would leave the folder is refused; the rest reads.
    TempFolder tmp;
    ZipArchive archive(tmp.file("escape.xlsx"));
    ASSERT_TRUE(archive.open());
    for (int n : {10, 1, 11, 3})
        archive.writeData("<worksheet/>", QStringLiteral("xl/worksheets/sheet%1.xml").arg(n));
    archive.writeData("<worksheet><sheetData><row><c><v>1</v></c></row></sheetData></worksheet>",
                      "xl/worksheets/sheet2.xml");
    archive.writeData("<x/>", "xl/worksheets/_rels/sheet1.xml.rels");
    archive.writeData("x", "../escaped.txt");
    ASSERT_TRUE(archive.close());
    QString folder;
    {
        const Workbook book = Workbook::open(tmp.file("escape.xlsx")).value();
        folder = book.folder();
        EXPECT_EQ(QFileInfo(folder).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
        EXPECT_FALSE(QFile::exists(QFileInfo(folder).absolutePath() + "/escaped.txt"));
        EXPECT_EQ(book.worksheetParts(), (QStringList{"sheet1", "sheet2", "sheet3", "sheet10", "sheet11"}));
        EXPECT_EQ(book.rows(2, 1), Rows{{"1"}});
        QString error;
        // Without the workbook's own list its parts are its worksheets, in
        // the order of their numbers.
        EXPECT_EQ(book.rows(4, 1), Rows{});
        EXPECT_FALSE(book.header(6, 1, &error));
        EXPECT_TRUE(error.contains("sheet6.xml")) << error.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST(Workbook, WidthComesFromTheCellsWhateverTheDimensionClaims)
{
    // A dimension claiming every column of a large sheet would make 16384
    // columns of 2000 rows: more cells than the budget, so the read used to
    // stop early without saying so.
    QByteArray claimsEverything = R"(<dimension ref="A1:XFD1048576"/><sheetData>)";
    for (int r = 1; r <= 2000; ++r)
        claimsEverything += QStringLiteral(R"(<row r="%1"><c r="A%1"><v>%1</v></c></row>)").arg(r).toUtf8();
    claimsEverything += "</sheetData>";
    Rows numbered;
    for (int r = 1; r <= 2000; ++r)
        numbered.append(QStringList{QString::number(r)});

    const struct {
        const char *why;
        QByteArray sheet;
        int columns;
        Rows rows;
    } cases[] = {
        {"AA1 and AB1 land at indexes 26 and 27", R"(<dimension ref="A1:AB20"/><sheetData>
          <row r="1"><c r="AA1" t="inlineStr"><is><t>aa</t></is></c><c r="AB1" t="inlineStr"><is><t>ab</t></is></c></row>
          </sheetData>)", 28, {QStringList(26, "") + QStringList{"aa", "ab"}}},
        {"a dimension that claims more invents no columns", R"(<dimension ref="B10:D20"/><sheetData>
          <row r="10"><c r="B10"><v>1</v></c></row></sheetData>)", 2, {{"", "1"}}},
        {"a single-cell dimension that understates", R"(<dimension ref="A1"/><sheetData>
          <row r="1"><c r="A1"><v>1</v></c><c r="E1"><v>5</v></c></row></sheetData>)", 5, {{"1", "", "", "", "5"}}},
        {"no dimension; rows 1, 2 and 5 follow one another", R"(<sheetData><row r="1"><c r="A1"><v>1</v></c></row>
          <row r="2"><c r="C2"><v>3</v></c></row><row r="5"><c r="B5"><v>5</v></c></row></sheetData>)", 3,
         {{"1", "", ""}, {"", "", "3"}, {"", "5", ""}}},
        {"styled cells without text and empty texts do not widen", R"(<sheetData><row r="1"><c r="A1"><v>1</v></c>
          <c r="C1" t="inlineStr"><is><t></t></is></c><c r="XFD1" s="1"/></row></sheetData>)", 1, {{"1"}}},
        {"a cell past column XFD is left out", R"(<sheetData><row r="1"><c r="A1"><v>1</v></c>
          <c r="XFE1"><v>2</v></c></row></sheetData>)", 1, {{"1"}}},
        {"a dimension claiming the whole sheet", claimsEverything, 1, numbered},
    };
    for (const auto &c : cases) {
        TempFolder tmp;
        const Workbook book = makeWorkbook(tmp, c.sheet);
        const auto header = book.header(1, 1);
        ASSERT_TRUE(header) << c.why;
        EXPECT_EQ(header->columns, c.columns) << c.why;
        EXPECT_EQ(book.rows(1, header->columns), c.rows) << c.why;
    }
}

TEST(Workbook, ReadsBeyondTheCellBudgetAreRefusedWithTheirReason)
{
    TempFolder tmp;
    makePackage(tmp.file("parts"), tmp.file("book.xlsx"),
                {{"xl/worksheets/sheet1.xml", "<worksheet " + kMain + "><sheetData>"
                      "<row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c></row>"
                      "<row><c><v>4</v></c></row></sheetData></worksheet>"}});
    // The sheet keeps four cells; at its width of two it gives six.
    const Workbook roomy = Workbook::open(tmp.file("book.xlsx"), nullptr, batch_data::WorksheetLimits{5}).value();
    ASSERT_TRUE(roomy.header(1, 1));
    QString error;
    EXPECT_FALSE(roomy.rows(1, 2, &error)) << "not three rows cut short";
    EXPECT_TRUE(error.contains("more than 5 cells")) << error.toStdString();
    EXPECT_EQ(roomy.rows(1, 1), (Rows{{"1"}, {"3"}, {"4"}}));

    const Workbook tight = Workbook::open(tmp.file("book.xlsx"), nullptr, batch_data::WorksheetLimits{3}).value();
    error.clear();
    EXPECT_FALSE(tight.header(1, 1, &error));
    EXPECT_TRUE(error.contains("more than 3 cells")) << error.toStdString();
}

TEST(Workbook, CellTextsFollowTheirType)
{
    TempFolder tmp;
    const Workbook book = makeWorkbook(tmp, R"(<sheetData>
        <row r="1"><c r="A1" t="s"><v>3</v></c><c r="B1" t="s"><v>4</v></c><c r="C1" t="s"><v>5</v></c>
          <c r="D1" t="s"><v>6</v></c><c r="E1" t="s"><v></v></c><c r="F1" t="s"><v>0</v></c></row>
        <row r="2"><c r="A2"><f>B2*2</f><v>84</v></c><c r="B2" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>
          <c r="C2" t="b"><v>1</v></c><c r="D2" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c>
          <c><v>after D</v></c></row>
        <row r="3"><c r="G3"><v>g</v></c><c><v>h</v></c></row>
        </sheetData>)",
        "<si><t>s0</t></si><si><t>s1</t></si><si><t>s2</t></si>"
        "<si><r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r><rPh><t>x</t></rPh></si>"
        "<si><t xml:space=\"preserve\"> s4 </t></si>");
    // Rich text whole without its phonetic hint; an index past the table
    // gives no text; a boolean reads as a spreadsheet shows it; cells
    // without a reference follow the one before.
    EXPECT_EQ(book.rows(1, 8), (Rows{{"rich text", " s4 ", "", "", "", "s0", "", ""},
                                     {"84", "ab", "TRUE", "inline", "after D", "", "", ""},
                                     {"", "", "", "", "", "", "g", "h"}}));
}

TEST(ColumnLetters, NamesAndIndexesAreInverse)
{
    // Worked values of the column rule; XFD is the last column the formats allow.
    const std::pair<int, const char *> named[] = {{26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"},
                                                  {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto &[number, letters] : named)
        EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(number), letters);
    for (int n = 1; n <= 16384; ++n) {
        const QString name = SpreadsheetWriter::ColumnIndexToName(n);
        ASSERT_EQ(Get_Col_index(name, 64), n) << name.toStdString();
        ASSERT_EQ(Get_Col_index(Get_Column_Char_Str(name + "12"), 65), n - 1);
    }
}

TEST(Workbook, SheetXmlIsReadWholeOrRefusedWithTheReason)
{
    // Well-formed: entities, character references, CDATA, comments,
    // processing instructions, single quotes, '>' inside a value, a byte
    // order mark. Damaged: no rows at all, but why.
    const QByteArray bom = "\xEF\xBB\xBF";
    QByteArray utf16 = "\xFF\xFE";
    for (const QChar c : QString::fromUtf8("<worksheet " + kMain + "><sheetData><row><c t=\"inlineStr\"><is><t>Zoë</t>"
                                           "</is></c></row></sheetData></worksheet>")) {
        utf16 += char(c.unicode() & 0xff);
        utf16 += char(c.unicode() >> 8);
    }
    const struct {
        const char *why;
        QByteArray part;
        Rows rows;
        const char *error;
    } cases[] = {
        {"markup of every kind", bom + "<?xml version='1.0'?><!-- made by hand --><worksheet " + kMain
             + "><sheetData><row><c r='A1' t='inlineStr'><is><t>a&lt;b&amp;&#233;&#x20AC;</t></is></c>"
               "<c r=\"B1\" t=\"str\"><f>\"x&gt;y\"</f><v><![CDATA[<raw>]]></v></c><?pi data?></row>"
               "</sheetData></worksheet>",
         {{QString::fromUtf8("a<b&é€"), "<raw>"}}, ""},
        {"a part in UTF-16", utf16, {{QString::fromUtf8("Zoë")}}, ""},
        {"an end tag that closes nothing", "<worksheet " + kMain + "><sheetData><row></c></sheetData></worksheet>",
         {}, "closes nothing"},
        {"cut off inside a row", "<worksheet " + kMain + "><sheetData><row><c><v>1</v></c>", {}, "ends inside"},
        {"an entity of a document type declaration",
         "<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]><worksheet " + kMain
             + "><sheetData><row><c t=\"inlineStr\"><is><t>&b;</t></is></c></row></sheetData></worksheet>",
         {}, "document type declaration"},
        {"an unknown entity", "<worksheet " + kMain + "><sheetData><row><c><v>&nbsp;</v></c></row></sheetData></worksheet>",
         {}, "unknown entity"},
        {"an attribute without quotes", "<worksheet " + kMain + "><sheetData><row><c r=A1><v>1</v></c></row></sheetData></worksheet>",
         {}, "without quotes"},
    };
    for (const auto &c : cases) {
        TempFolder tmp;
        makePackage(tmp.file("parts"), tmp.file("book.xlsx"), {{"xl/worksheets/sheet1.xml", c.part}});
        const Workbook book = Workbook::open(tmp.file("book.xlsx")).value();
        QString error;
        const auto header = book.header(1, 1, &error);
        const auto rows = header ? book.rows(1, header->columns, &error) : std::nullopt;
        if (c.rows.isEmpty()) {
            EXPECT_FALSE(rows) << c.why;
            EXPECT_TRUE(error.contains(QLatin1String(c.error))) << c.why << ": " << error.toStdString();
        } else {
            EXPECT_EQ(rows, c.rows) << c.why << ": " << error.toStdString();
        }
    }
}

TEST(Workbook, WorksheetsComeFromTheWorkbooksOwnListAndRelationships)
{
    // Chart sheets are no worksheets, a target may be relative or absolute,
    // and one that leads out of the package or to no part is left out.
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    TempFolder tmp;
    makePackage(tmp.file("parts"), tmp.file("book.xlsx"),
                {{"xl/workbook.xml", "<workbook " + kMain + " xmlns:r=\"" + rel.chopped(1) + "\"><sheets>"
                                     "<sheet name=\"Chart\" sheetId=\"1\" r:id=\"c\"/>"
                                     "<sheet name=\"Data\" sheetId=\"2\" r:id=\"d\"/>"
                                     "<sheet name=\"Away\" sheetId=\"3\" r:id=\"x\"/>"
                                     "<sheet name=\"Gone\" sheetId=\"4\" r:id=\"g\"/>"
                                     "<sheet name=\"Totals\" sheetId=\"5\" r:id=\"t\"/></sheets></workbook>"},
                 {"xl/_rels/workbook.xml.rels",
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"c\" Type=\"" + rel + "chartsheet\" Target=\"chartsheets/sheet1.xml\"/>"
                  "<Relationship Id=\"d\" Type=\"" + rel + "worksheet\" Target=\"worksheets/data.xml\"/>"
                  "<Relationship Id=\"x\" Type=\"" + rel + "worksheet\" Target=\"../../outside.xml\"/>"
                  "<Relationship Id=\"g\" Type=\"" + rel + "worksheet\" Target=\"worksheets/none.xml\"/>"
                  "<Relationship Id=\"t\" Type=\"" + rel + "worksheet\" Target=\"/xl/worksheets/sheet1.xml\"/>"
                  "</Relationships>"},
                 {"xl/chartsheets/sheet1.xml", "<chartsheet/>"},
                 {"xl/worksheets/data.xml", "<worksheet " + kMain + "><sheetData><row><c r=\"A1\"><v>7</v></c></row></sheetData></worksheet>"},
                 {"xl/worksheets/sheet1.xml", "<worksheet " + kMain + "><sheetData><row><c r=\"B1\"><v>9</v></c></row></sheetData></worksheet>"}});
    const Workbook book = Workbook::open(tmp.file("book.xlsx")).value();
    EXPECT_EQ(book.worksheets(), (QList<batch_data::WorksheetEntry>{{"Data", "xl/worksheets/data.xml"},
                                                                    {"Totals", "xl/worksheets/sheet1.xml"}}));
    EXPECT_EQ(book.rows(1, 1), Rows{{"7"}});
    EXPECT_EQ(book.rows(2, 2), (Rows{{"", "9"}}));
}
