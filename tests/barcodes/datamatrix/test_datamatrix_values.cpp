// Data Matrix values with line breaks and non-ASCII text: the symbol read
// back by two readers, and the page description's comment lines intact.
#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "tests/barcodes/datamatrix/DataMatrixRows.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <cstdlib>

extern "C" {
#include <iec16022ecc200.h>
}

using namespace barcodes;
using namespace quorvant::test;

TEST(DataMatrixValues, LineBreaksStayInsideTheCommentLines)
{
    const QString values[] = {
        QStringLiteral("Jane Doe\nCard 0042"),
        QStringLiteral("first\r\nsecond\rthird\n"),
        QString::fromUtf8("Grüße\naus Köln"),
    };
    for (const QString &value : values) {
        const std::string bytes = value.toUtf8().toStdString();
        const DataMatrixDrawing d = Draw_DataMatrix_Barcode(value, "Auto", "Auto", 2, 300);
        ASSERT_FALSE(d.image.isNull()) << bytes;
        // The header comments run up to %%EndComments; each of their lines is
        // a comment ("%"), the value's own lines continuing "%%BarcodeData".
        const QByteArray header = d.eps.left(d.eps.indexOf("%%EndComments"));
        for (const QByteArray &line : header.split('\n')) {
            if (!line.isEmpty()) {
                EXPECT_TRUE(line.startsWith('%')) << line.toStdString();
            }
        }
        EXPECT_EQ(header.count("%%BarcodeSize: "), 1) << bytes;
        EXPECT_TRUE(d.eps.contains("%%BarcodeSize: " + QByteArray::number(d.grid.W) + "x"));

        const QImage bitmap = d.image.bitmap();
        EXPECT_EQ(decodeBarcode(bitmap, ZXing::BarcodeFormat::DataMatrix).bytes, bytes);
        EXPECT_EQ(dmtxDecode(bitmap), bytes);
    }
}

// The largest size, chosen or picked for a long value, read back by libdmtx
// (zxing-cpp 1.4 reads no 144 x 144 symbol at all, not even its own).
TEST(DataMatrixValues, LargestSizeIsDrawnAndReadBack)
{
    struct Case {
        QString value;
        const char *format;
    };
    const Case cases[] = {
        {QStringLiteral("HELLO"), "C144X144"},
        {QStringLiteral("Card 0042 ").repeated(100), "C144X144"},
        {QString(3000, QChar('5')), "Auto"},
    };
    for (const Case &c : cases) {
        const DataMatrixDrawing d = Draw_DataMatrix_Barcode(c.value, c.format, "Auto", 1, 300);
        ASSERT_FALSE(d.image.isNull()) << c.format;
        EXPECT_EQ(d.grid.W, 144);
        EXPECT_EQ(d.grid.H, 144);
        EXPECT_EQ(dmtxDecode(d.image.bitmap()), c.value.toStdString()) << c.format;
    }
}

// Values that libiec16022's own choice refuses at the chosen size while one
// encodation holds them (found by calling the library with each encodation's
// letters): the symbol is that encodation, as its latch codeword shows.
TEST(DataMatrixValues, AutoFindsTheEncodationThatHoldsTheValueAtTheChosenSize)
{
    struct Row {
        const char *value;
        const char *format;
        unsigned char latch; // 230 latches to C40, 239 to Text; 235 shifts ASCII up
    };
    const Row rows[] = {
        // Refused by the library's own choice, held by all four: ASCII first.
        {"ééé", "C18X18", 235},
        {"Pw2ohJpiadlC8", "C16X16", 239},
        {"471OZ3G3A3", "C14X14", 230},
        {"70RT3B9PWP3KHQRW", "C16X16", 230},
        {"V22A7X00GSGY1JUSUW1LMT", "C12X26", 230},
        {"24O3BXVX5DACKHGMOPLOB06C6", "C18X18", 230},
    };
    for (const Row &row : rows) {
        const DataMatrixDrawing d = Draw_DataMatrix_Barcode(row.value, row.format, "Auto", 2, 300);
        ASSERT_FALSE(d.image.isNull()) << row.value;
        const DataMatrixFormat size = dataMatrixFormatFromName(row.format);
        EXPECT_EQ(QSize(d.grid.W, d.grid.H), QSize(size.columns, size.rows)) << row.value;
        const std::optional<DmtxReading> read = dmtxRead(d.image.bitmap());
        ASSERT_TRUE(read.has_value()) << row.value;
        EXPECT_EQ(read->bytes, row.value);
        EXPECT_EQ(read->codewords[0], row.latch) << row.value;
        const Decoded z = decodeBarcode(d.image.bitmap(), ZXing::BarcodeFormat::DataMatrix);
        EXPECT_FALSE(z.mirrored);
        EXPECT_EQ(z.bytes, row.value);
    }
}

// 3,116 digits fill 144 x 144 in ASCII. The library's own choice of letters
// for a value that long reads memory it never wrote (valgrind) and refuses or
// draws it at random; C40 does not hold it and falls back.
TEST(DataMatrixValues, LongestValueIsTheSameSymbolOnEveryRun)
{
    QString digits;
    for (int i = 0; i < MAXBARCODE; ++i)
        digits += QChar('0' + (i * 7 + i / 10) % 10);
    for (const char *format : {"C144X144", "Auto"}) {
        for (const char *encoding : {"Auto", "C40"}) {
            std::vector<DataMatrixGrid> runs;
            for (int run = 0; run < 3; ++run)
                runs.push_back(encodeDataMatrix(digits.toLatin1(), dataMatrixFormatFromName(format).columns,
                                                dataMatrixFormatFromName(format).rows,
                                                dataMatrixEncodationLetter(encoding)));
            ASSERT_TRUE(runs[0].isValid()) << format << " " << encoding;
            EXPECT_EQ(runs[0].W, 144);
            EXPECT_EQ(runs[1].modules, runs[0].modules);
            EXPECT_EQ(runs[2].modules, runs[0].modules);
        }
    }
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode(digits, "C144X144", "C40", 1, 300);
    EXPECT_EQ(dmtxDecode(d.image.bitmap()), digits.toStdString());
}

// At the smallest size the encodation with the smallest symbol is taken, and
// Base 256 picks its size in the library's order: the fewest data codewords
// that hold the value, a square before a rectangle of as many. The library's
// own pick for as many ASCII codewords is the reference.
TEST(DataMatrixValues, AutoSizeIsTheSmallestSymbolInTheLibrarysOrder)
{
    // 693 bytes: 1,202 codewords in ASCII (132 x 132), 696 in Base 256,
    // every data codeword of 96 x 96.
    QByteArray text;
    while (text.size() < 693)
        text += QString::fromUtf8("日本語のテキスト 2026 ").toUtf8();
    text.truncate(693);
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode(QString::fromUtf8(text), "Auto", "Auto", 1, 300);
    EXPECT_EQ(QSize(d.grid.W, d.grid.H), QSize(96, 96));
    EXPECT_EQ(d.grid.encodation, 'B');
    EXPECT_EQ(dmtxDecode(d.image.bitmap()), text.toStdString());

    for (int bytes = 1; bytes <= 60; ++bytes) {
        // Base 256: the latch, one length codeword and the bytes.
        std::string digits(std::size_t(2 * (bytes + 2)), '7');
        std::string letters(digits.size(), 'A');
        char *encoding = letters.data();
        int W = 0, H = 0, len = 0, max = 0, ecc = 0;
        unsigned char *grid = iec16022ecc200(&W, &H, &encoding, int(digits.size()),
                                             reinterpret_cast<unsigned char *>(digits.data()), &len, &max, &ecc);
        ASSERT_NE(grid, nullptr);
        std::free(grid);
        const DataMatrixGrid base256 = encodeDataMatrix(QByteArray(bytes, char(0xE9)), 0, 0, 'B');
        EXPECT_EQ(QSize(base256.W, base256.H), QSize(W, H)) << bytes << " bytes";
    }
}

// libiec16022's own choices that are not drawn: its EDIFACT, which readers
// misread at times, and X12 runs it ends without the unlatch while two
// codewords are left, which zxing-cpp and libdmtx both misread (found by
// reading its own symbols back). Another encodation holds each value at the
// size the library picked. X12 symbols that read right stay the library's.
TEST(DataMatrixValues, OwnChoicesThatReadersMisreadAreDrawnAnotherWay)
{
    struct Row {
        const char *value;
        const char *letters; // the library's own
        bool ownReadsRight;
        bool ownDrawn;
    };
    const Row rows[] = {
        {"XY>>8XY51", "AXXXXXXAA", false, false}, // read "XY>>8XYP*K"
        {"67AY>BX* >16 00", "AAAAXXXXXXXXXAA", false, false},
        {"9A1201*3\r8ZA>74", "AAAAAAAXXXXXXAA", false, false},
        {"8\r* 0*3C65", "AAXXXXXXAA", true, true}, // one codeword left after the run
        {">X4B4*0A9X", "AXXXXXXXXX", true, true},
        {"OLD-DESIGN-42", "AAAEEEEEEEEAA", false, false}, // read "OLD-DESIGN-{42"
        {".CD/LD-AZ/GIZ4./ZSD", "AAEEEEEEEEEEEEEEEEE", true, false},
        {"Y-Z2I/CNC-4L::O/N.N4YI4ECYCCIZLSYS2:BY", "AEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE", true, false}, // 36 x 16
    };
    testing::internal::CaptureStderr();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.value);
        const DataMatrixGrid own = libraryGridWith(QByteArray(row.value), 0, 0, {});
        ASSERT_TRUE(own.isValid());
        ASSERT_EQ(own.encoding, row.letters);
        const QImage ownPicture = dataMatrixPageImage(own).bitmap().scaled(own.W * 4, own.H * 4);
        EXPECT_EQ(decodeBarcode(ownPicture, ZXing::BarcodeFormat::DataMatrix).bytes == row.value, row.ownReadsRight);

        const DataMatrixDrawing d = Draw_DataMatrix_Barcode(QString::fromLatin1(row.value), "Auto", "Auto", 2, 300);
        ASSERT_FALSE(d.image.isNull());
        EXPECT_EQ(QSize(d.grid.W, d.grid.H), QSize(own.W, own.H));
        EXPECT_EQ(d.grid.modules == own.modules, row.ownDrawn);
        EXPECT_EQ(decodeBarcode(d.image.bitmap(), ZXing::BarcodeFormat::DataMatrix).bytes, row.value);
        EXPECT_EQ(dmtxDecode(d.image.bitmap()), row.value);
    }
    testing::internal::GetCapturedStderr();
}

// A value that only the library's EDIFACT holds at the chosen size is
// refused there. The refusal's counters are those of an encodation that did
// not fit, not those of the EDIFACT symbol left aside, with which the
// diagnostics would say the value fits.
TEST(DataMatrixValues, ValueOnlyEdifactHoldsIsRefusedAsNotFitting)
{
    const std::string value = "B1:V2K:LOU./W";
    const DataMatrixGrid own = libraryGridWith(QByteArray::fromStdString(value), 16, 16, {});
    ASSERT_TRUE(own.isValid());
    ASSERT_EQ(own.encoding, "AEEEEEEEEEEEE");
    ASSERT_LE(own.encodedLength, own.capacity);

    testing::internal::CaptureStderr();
    for (const char encodation : {char(0), 'A', 'C', 'T', 'B'}) {
        SCOPED_TRACE(encodation);
        const DataMatrixGrid grid = encodeDataMatrix(QByteArray::fromStdString(value), 16, 16, encodation);
        EXPECT_TRUE(grid.modules.empty());
        EXPECT_FALSE(grid.encodedLength > 0 && grid.encodedLength <= grid.capacity)
            << grid.encodedLength << " of " << grid.capacity;
    }
    testing::internal::GetCapturedStderr();
}
