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
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode(value, format, encoding, module, 600);
    ASSERT_FALSE(d.image.isNull()) << value.left(30).toStdString() << " " << format.toStdString() << " "
                                   << encoding.toStdString();
    const auto r = scan(d);
    EXPECT_TRUE(r.valid) << value.left(30).toStdString() << " " << encoding.toStdString();
    EXPECT_FALSE(r.mirrored);
    EXPECT_EQ(r.text, value.toStdString()) << encoding.toStdString();
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

TEST(DataMatrixChoices, SizeNamesAndEncodationLetters)
{
    EXPECT_EQ(dataMatrixFormatNames().size(), 31);
    EXPECT_EQ(dataMatrixFormatNames().first(), "Auto");
    for (const QString &name : dataMatrixFormatNames().mid(1)) {
        const DataMatrixFormat f = dataMatrixFormatFromName(name);
        EXPECT_EQ(QString("C%1X%2").arg(f.rows).arg(f.columns), name);
    }
    const DataMatrixFormat rect = dataMatrixFormatFromName("C8X18");
    EXPECT_EQ(rect.rows, 8);
    EXPECT_EQ(rect.columns, 18);
    EXPECT_EQ(dataMatrixFormatFromName("C 12 X 26 ").columns, 26);
    EXPECT_EQ(dataMatrixFormatFromName("Auto").rows, 0);
    EXPECT_EQ(dataMatrixFormatFromName("C16").columns, 0);

    EXPECT_EQ(dataMatrixEncodingNames(), (QStringList{"Auto", "Ascii", "C40", "Text", "Base256"}));
    EXPECT_EQ(dataMatrixEncodationLetter("Ascii"), 'A');
    EXPECT_EQ(dataMatrixEncodationLetter("C40"), 'C');
    EXPECT_EQ(dataMatrixEncodationLetter("Text"), 'T');
    EXPECT_EQ(dataMatrixEncodationLetter("Base256"), 'B');
    EXPECT_EQ(dataMatrixEncodationLetter("Auto"), 0);
}

TEST(DataMatrixEps, SixDigitsInTenByTen)
{
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode("123456", "C10X10", "Ascii", 1, 600);
    ASSERT_FALSE(d.image.isNull());
    EXPECT_EQ(d.grid.encoding, "AAAAAA");
    EXPECT_EQ(d.image.size(), QSizeF(10, 10));
    const QByteArray head = "%!PS-Adobe-3.0 EPSF-3.0\n"
                            "%%Creator: IEC16022 barcode/stamp generator\n"
                            "%%BarcodeData: 123456\n"
                            "%%BarcodeSize: 10x10\n"
                            "%%BarcodeFormat: ECC200\n"
                            "%%DocumentData: Clean7Bit\n"
                            "%%LanguageLevel: 1\n"
                            "%%Pages: 1\n"
                            "%%BoundingBox: 0 0 12 12\n"
                            "%%EndComments\n"
                            "%%Page: 1 1\n"
                            "10 10 1[1 0 0 1 -1 -1]{<\n";
    EXPECT_TRUE(d.eps.startsWith(head)) << d.eps.toStdString();
    EXPECT_TRUE(d.eps.endsWith("\n>}image\n"));
    // Ten rows of two hex bytes and a space: 50 characters on one line.
    const auto lines = bodyLines(d.eps);
    ASSERT_EQ(lines.size(), 2); // the line, and the empty one before ">}image"
    ASSERT_EQ(lines[0].size(), 50);
    // The hex digits are the grid, row 0 first, dark as 0 bits.
    for (int y = 0; y < 10; ++y) {
        const unsigned row = lines[0].mid(y * 5, 4).toUInt(nullptr, 16) ^ 0xFFFF;
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(bool(row & (0x8000u >> x)), d.grid.dark(x, y)) << x << "," << y;
    }
    const auto r = scan(d);
    EXPECT_EQ(r.text, "123456");
    EXPECT_FALSE(r.mirrored);
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
}

TEST(DataMatrixDraw, TooLongForTheSizeWritesDiagnostics)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode("12345678901234567890ABCDEFG", "C10X10", "Ascii", 1, 600);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(d.image.isNull());
    EXPECT_TRUE(d.eps.isEmpty());
    EXPECT_NE(err.find("No barcode produced\n"), std::string::npos);
    EXPECT_NE(out.find("Size    : 10x10\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Encoded : "), std::string::npos);
    EXPECT_NE(out.find("Barcode : 12345678901234567890ABCDEFG\n"), std::string::npos);
    EXPECT_NE(out.find("Encoding: " + std::string(27, 'A') + "\n"), std::string::npos);

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Draw_DataMatrix_Barcode("", "Auto", "Auto", 1, 600).image.isNull());
    EXPECT_TRUE(Draw_DataMatrix_Barcode(QString(3200, 'x'), "Auto", "Auto", 1, 600).image.isNull());
    // The library's 144x144 symbols do not scan: none is drawn, whether the
    // size was chosen or picked for a long text.
    EXPECT_TRUE(Draw_DataMatrix_Barcode("HELLO123", "C144X144", "Auto", 1, 600).image.isNull());
    EXPECT_TRUE(Draw_DataMatrix_Barcode(QString(3000, '5'), "Auto", "Auto", 1, 600).image.isNull());
    EXPECT_FALSE(Draw_DataMatrix_Barcode(QString(2000, '5'), "Auto", "Auto", 1, 600).image.isNull());
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
}

TEST(DataMatrixDraw, ImageSizeFollowsModuleAndResolution)
{
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode("HELLO123", "C16X48", "Auto", 2, 300);
    ASSERT_FALSE(d.image.isNull());
    EXPECT_EQ(d.grid.W, 48);
    EXPECT_EQ(d.grid.H, 16);
    EXPECT_EQ(d.image.size(), QSizeF(96, 32));
    // The page with its border, 50 by 18 points, at 300 dots per inch.
    EXPECT_EQ(d.image.bitmap().size(), QSize(209, 75));
    EXPECT_EQ(d.image.bitmap().pixelColor(0, 0).alpha(), 0); // the unpainted border
    EXPECT_EQ(scan(d).text, "HELLO123");
}

TEST(DataMatrixScan, LengthsEncodationsSizesAndText)
{
    for (const char *enc : {"Auto", "Ascii", "C40", "Text"}) {
        expectReadsBack("HELLO123", "Auto", enc);
        expectReadsBack("a", "Auto", enc);
        expectReadsBack("Card 0042, Jane Doe", "Auto", enc);
        expectReadsBack(QString("ABC123xyz-").repeated(30), "Auto", enc);
    }
    expectReadsBack(QString("1234567890").repeated(150), "Auto", "Auto", 1);
    expectReadsBack("SHORT", "C8X18");
    expectReadsBack("RECT 32", "C8X32");
    expectReadsBack("42", "C24X24");
    expectReadsBack("Big square", "C132X132", "Ascii", 1);
    for (const char *text : {"€", "日本", "Grüße aus Köln", "é", "日本語のテキスト 2026"})
        expectReadsBack(QString::fromUtf8(text));
    expectReadsBack(QString::fromUtf8("€ 12,50"), "Auto", "Ascii");
}

TEST(DataMatrixScan, Base256ChoiceStillMakesASymbol)
{
    // The library makes nothing when every byte is marked for Base 256; the
    // symbol is made with another encodation rather than none at all.
    expectReadsBack("HELLO123", "Auto", "Base256");
    expectReadsBack(QString::fromUtf8("Grüße 12 €"), "Auto", "Base256");
    expectReadsBack("SHORT", "C8X18", "Base256");
    // Too long for the chosen size whatever the encodation: still no symbol.
    EXPECT_TRUE(Draw_DataMatrix_Barcode(QString(40, QChar('x')), "C10X10", "Base256", 1, 600).image.isNull());
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
    // And the result equals what a lone call gives.
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode("T3-7-T3-7-T3-7-", "Auto", "Auto", 2, 600);
    EXPECT_EQ(scan(d).text, "T3-7-T3-7-T3-7-");
}

TEST(DataMatrixSize, MinimumOfTheChosenFormat)
{
    EXPECT_EQ(data_matrix_barcode_size_acc_format("C16X48", 2, QSize(50, 20)), QSize(96, 32));
    EXPECT_EQ(data_matrix_barcode_size_acc_format("C16X48", 2, QSize(120, 20)), QSize(120, 32));
    EXPECT_EQ(data_matrix_barcode_size_acc_format("Auto", 5, QSize(1, 1)), QSize(1, 1));
    EXPECT_EQ(data_matrix_barcode_size_acc_format("C10X10", 1, QSize(300, 300)), QSize(300, 300));
}
