// Data Matrix symbols through libiec16022: size and encodation choices, the
// EPS page, the symbol image read back by a real decoder, and the size
// minimum of a chosen format.
#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "tests/support/TestSupport.h"

#include <QList>
#include <gtest/gtest.h>
#include <future>
#include <string>
#include <vector>

using namespace barcodes;

namespace {

quorvant::test::Decoded scan(const DataMatrixDrawing &d)
{
    return quorvant::test::decodeBarcode(d.image.bitmap(), ZXing::BarcodeFormat::DataMatrix);
}

void expectReadsBack(const QString &value, const QString &format = "Auto", const QString &encoding = "Auto",
                     int module = 2)
{
    const auto r = scan(Draw_DataMatrix_Barcode(value, format, encoding, module, 600));
    EXPECT_FALSE(r.mirrored);
    EXPECT_EQ(r.valid ? r.text : "<unreadable>", value.toStdString())
        << format.toStdString() << " " << encoding.toStdString();
}

DataMatrixGrid uniformGrid(int W, int H, bool dark)
{
    DataMatrixGrid g;
    g.W = W;
    g.H = H;
    g.modules.assign(std::size_t(W * H), dark ? 1 : 0);
    return g;
}

// The body lines of an EPS page: the lines between the image header and
// ">}image".
QList<QByteArray> bodyLines(const QByteArray &eps)
{
    const int start = eps.indexOf("{<\n") + 3;
    const int end = eps.indexOf("\n>}image\n");
    return eps.mid(start, end - start).split('\n');
}

} // namespace

TEST(DataMatrixChoices, SizeNamesGiveRowsAndColumns)
{
    EXPECT_EQ(dataMatrixFormatNames().size(), 31);
    for (const QString &name : dataMatrixFormatNames().mid(1)) {
        const DataMatrixFormat f = dataMatrixFormatFromName(name);
        EXPECT_EQ(QString("C%1X%2").arg(f.rows).arg(f.columns), name);
    }
    EXPECT_EQ(dataMatrixFormatFromName("C 12 X 26 ").columns, 26);
    EXPECT_EQ(dataMatrixFormatFromName("Auto").rows, 0);
    EXPECT_EQ(dataMatrixFormatFromName("C16").columns, 0);
    EXPECT_EQ(dataMatrixEncodationLetter("Base256"), 'B');
    EXPECT_EQ(dataMatrixEncodationLetter("Auto"), 0);
}

TEST(DataMatrixEps, PageHoldsTheGridInsideItsBorder)
{
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode("123456", "C10X10", "Ascii", 1, 600);
    ASSERT_FALSE(d.image.isNull());
    EXPECT_EQ(d.image.size(), QSizeF(10, 10));
    for (const char *line : {"%!PS-Adobe-3.0 EPSF-3.0\n", "%%BarcodeData: 123456\n", "%%BoundingBox: 0 0 12 12\n",
                             "\n10 10 1[1 0 0 1 -1 -1]{<\n"})
        EXPECT_TRUE(d.eps.contains(line)) << line;
    EXPECT_TRUE(d.eps.endsWith("\n>}image\n"));
    // Ten rows of two hex bytes and a space on one line: the grid, row 0
    // first, dark as 0 bits.
    const auto lines = bodyLines(d.eps);
    ASSERT_EQ(lines[0].size(), 50);
    for (int y = 0; y < 10; ++y) {
        const unsigned row = lines[0].mid(y * 5, 4).toUInt(nullptr, 16) ^ 0xFFFF;
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(bool(row & (0x8000u >> x)), d.grid.dark(x, y)) << x << "," << y;
    }
    EXPECT_EQ(scan(d).text, "123456");

    // The page with its border, 50 by 18 points, at 300 dots per inch (209
    // by 75 pixels), widened with clear pixels to the grid's 3:1 so that its
    // modules stay square at 96 by 32 points, the border left transparent.
    const DataMatrixDrawing rect = Draw_DataMatrix_Barcode("HELLO123", "C16X48", "Auto", 2, 300);
    EXPECT_EQ(rect.image.size(), QSizeF(96, 32));
    EXPECT_EQ(rect.image.bitmap().size(), QSize(225, 75));
    EXPECT_EQ(rect.image.bitmap().pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(scan(rect).text, "HELLO123");
}

TEST(DataMatrixEps, RowPackingAndLineBreaks)
{
    EXPECT_EQ(bodyLines(makeEPS_Data_Matrix("x", 10, 1, uniformGrid(10, 1, true)))[0], "003F ");
    EXPECT_EQ(bodyLines(makeEPS_Data_Matrix("x", 10, 1, uniformGrid(10, 1, false)))[0], "FFFF ");

    const QByteArray eps = makeEPS_Data_Matrix("x", 144, 144, uniformGrid(144, 144, false));
    const auto lines = bodyLines(eps);
    // 144 rows of 18 bytes and a space; a break after every fifth row.
    ASSERT_EQ(lines.size(), 29 + 1);
    const QByteArray row = QByteArray(36, 'F') + ' ';
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(lines[i], row.repeated(5)) << i;
    EXPECT_EQ(lines[28], row.repeated(4));
    EXPECT_TRUE(lines[29].isEmpty());

    // A width below zero has no bytes to a row: each row is its space alone,
    // and the page ends as any other.
    const QByteArray spaces = QByteArray(80, ' ') + '\n';
    EXPECT_TRUE(makeEPS_Data_Matrix("x", -100, 3000, DataMatrixGrid{})
                    .endsWith("{<\n" + spaces.repeated(37) + QByteArray(40, ' ') + "\n\n>}image\n"));
    EXPECT_TRUE(makeEPS_Data_Matrix("x", -100, 5, DataMatrixGrid{}).endsWith("-100 5 1[1 0 0 1 -1 -1]{<\n     \n\n>}image\n"));
}

TEST(DataMatrixDraw, NoSymbolWritesDiagnosticsAndDrawsNothing)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode("12345678901234567890ABCDEFG", "C10X10", "Ascii", 1, 600);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("No barcode produced\n"), std::string::npos);
    EXPECT_TRUE(d.image.isNull());
    EXPECT_TRUE(d.eps.isEmpty());
    for (const char *line : {"Size    : 10x10\n", "Barcode : 12345678901234567890ABCDEFG\n", "Encoding: AAAAAAAAAAAA"})
        EXPECT_NE(out.find(line), std::string::npos) << out;

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Draw_DataMatrix_Barcode("", "Auto", "Auto", 1, 600).image.isNull());
    EXPECT_TRUE(Draw_DataMatrix_Barcode(QString(3200, 'x'), "Auto", "Auto", 1, 600).image.isNull());
    // Too long for the chosen size whatever the encodation.
    EXPECT_TRUE(Draw_DataMatrix_Barcode(QString(40, QChar('x')), "C10X10", "Base256", 1, 600).image.isNull());
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
}

TEST(DataMatrixScan, LengthsEncodationsSizesAndText)
{
    for (const char *enc : {"Auto", "Ascii", "C40", "Text", "Base256"}) {
        expectReadsBack("HELLO123", "Auto", enc);
        expectReadsBack("Card 0042, Jane Doe", "Auto", enc);
        expectReadsBack(QString("ABC123xyz-").repeated(30), "Auto", enc);
    }
    // Base 256, which the library cannot make, falls back to another
    // encodation rather than no symbol.
    expectReadsBack(QString::fromUtf8("Grüße 12 €"), "Auto", "Base256");
    expectReadsBack("SHORT", "C8X18", "Base256");
    expectReadsBack(QString("1234567890").repeated(200), "Auto", "Auto", 1);
    expectReadsBack("RECT 32", "C8X32");
    expectReadsBack("Big square", "C132X132", "Ascii", 1);
    for (const char *text : {"€", "日本語のテキスト 2026"})
        expectReadsBack(QString::fromUtf8(text));
    expectReadsBack(QString::fromUtf8("€ 12,50"), "Auto", "Ascii");
}

TEST(DataMatrixScan, TripletEncodationsEndWithoutStrayCharacters)
{
    // Every remainder of the last C40 or Text triplet, with shifted and
    // upper-shifted characters at the end.
    const QStringList tails{"", "A", "a", "9", ",", "\u00e9", "AB", "ab", "a,", "Z\u00e9"};
    for (const char *enc : {"C40", "Text"})
        for (int n = 1; n <= 7; ++n)
            for (const QString &tail : tails)
                expectReadsBack(QString("Ab1").repeated(n).left(n) + tail, "Auto", enc);
}

TEST(DataMatrixScan, ConcurrentCallsAreSerialised)
{
    auto work = [](int seed) {
        int good = 0;
        for (int i = 0; i < 20; ++i) {
            const QString value = QString("T%1-%2-").arg(seed).arg(i).repeated(1 + (i % 5));
            const DataMatrixGrid g = encodeDataMatrix(value.toUtf8(), 0, 0, 0);
            const DataMatrixGrid again = encodeDataMatrix(value.toUtf8(), 0, 0, 0);
            good += g.isValid() && g.modules == again.modules;
        }
        return good;
    };
    std::vector<std::future<int>> runs;
    for (int t = 0; t < 4; ++t)
        runs.push_back(std::async(std::launch::async, work, t));
    for (auto &r : runs)
        EXPECT_EQ(r.get(), 20);
}

TEST(DataMatrixSize, MinimumOfTheChosenFormat)
{
    EXPECT_EQ(data_matrix_barcode_size_acc_format("C16X48", 2, QSize(50, 20)), QSize(96, 32));
    EXPECT_EQ(data_matrix_barcode_size_acc_format("C16X48", 2, QSize(120, 20)), QSize(120, 32));
    EXPECT_EQ(data_matrix_barcode_size_acc_format("Auto", 5, QSize(1, 1)), QSize(1, 1));
    EXPECT_EQ(data_matrix_barcode_size_acc_format("C10X10", 1, QSize(300, 300)), QSize(300, 300));
}
