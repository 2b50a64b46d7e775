// Data Matrix values that a chosen size holds only in Base 256 encodation,
// and the Base 256 choice itself: the symbols read back byte for byte by
// libdmtx and zxing-cpp, their first codeword looked at, and ASCII values
// still drawn exactly as libiec16022 draws them.
#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "tests/barcodes/datamatrix/DataMatrixRows.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <map>

extern "C" {
#include <iec16022ecc200.h>
}

using namespace barcodes;
using namespace quorvant::test;

namespace {

// The codeword that latches from ASCII to Base 256 encodation.
constexpr unsigned char kBase256Latch = 231;

// libiec16022 called directly with `letters` (empty: its own choice); an
// empty grid when it makes no symbol.
std::vector<std::uint8_t> libraryGrid(const std::string &value, int W, int H, std::string letters)
{
    return libraryGridWith(QByteArray::fromStdString(value), W, H, std::move(letters)).modules;
}

std::vector<std::uint8_t> libraryGrid(const std::string &value, int W, int H, char letter)
{
    return libraryGrid(value, W, H, letter != 0 ? std::string(value.size(), letter) : std::string());
}

} // namespace

// Each value takes two codewords a byte in ASCII (upper shift and byte) and
// more in C40 or Text, but one a byte plus the latch and length in Base 256:
// only Base 256 fits the size. Counts of data codewords from ISO/IEC 16022
// Table 7.
TEST(DataMatrixBase256, ValuesThatFitOnlyInBase256AreDrawnAtTheChosenSize)
{
    struct Row {
        QString value;
        const char *format;
        int dataCodewords; // of that size
    };
    const Row rows[] = {
        {QStringLiteral("Ünïcødé 2"), "C18X18", 18},             // 13 bytes: 15 of 18 codewords
        {QStringLiteral("ÄÖÜß"), "C8X32", 10},                    // 8 bytes: every codeword
        {QStringLiteral("Ωμέγα"), "C12X26", 16},                  // 10 bytes in a rectangle
        {QStringLiteral("Preis: 5 €, №2"), "C12X36", 22},         // 18 bytes: 3-byte characters
        {QString(130, QChar(0x00FC)), "C64X64", 280},             // 260 bytes: a two-codeword length
    };
    for (const Row &row : rows) {
        const std::string bytes = row.value.toUtf8().toStdString();
        const std::string where = std::string(row.format) + " " + bytes.substr(0, 12);
        const DataMatrixFormat size = dataMatrixFormatFromName(row.format);
        // No encodation of libiec16022 holds it at this size. Its own choice
        // is not asked directly: it refuses these values at every size, and
        // a refusal loses the letters it chose, which only the engine's
        // calls get back ("Auto" below takes that path).
        for (char letter : {'A', 'C', 'T'})
            ASSERT_TRUE(libraryGrid(bytes, size.columns, size.rows, letter).empty()) << where << " " << letter;

        for (const char *encoding : {"Auto", "Base256", "Ascii", "Text"}) {
            const DataMatrixDrawing d = Draw_DataMatrix_Barcode(row.value, row.format, encoding, 2, 300);
            ASSERT_FALSE(d.image.isNull()) << where << " " << encoding;
            EXPECT_EQ(d.grid.W, size.columns) << where;
            EXPECT_EQ(d.grid.H, size.rows) << where;
            EXPECT_EQ(d.grid.capacity, row.dataCodewords) << where;
            EXPECT_EQ(d.grid.encoding, std::string(bytes.size(), 'B')) << where;
            EXPECT_EQ(d.image.size(), QSizeF(size.columns * 2, size.rows * 2)) << where;
            EXPECT_TRUE(d.eps.contains("%%BarcodeData: " + row.value.toUtf8() + "\n")) << where;
            EXPECT_TRUE(d.eps.contains(QStringLiteral("%%BarcodeSize: %1x%2\n").arg(size.columns).arg(size.rows).toUtf8()))
                << where;

            const std::optional<DmtxReading> read = dmtxRead(d.image.bitmap());
            ASSERT_TRUE(read.has_value()) << where << " " << encoding;
            EXPECT_EQ(read->bytes, bytes) << where;
            ASSERT_FALSE(read->codewords.empty());
            EXPECT_EQ(read->codewords[0], kBase256Latch) << where;
        }
        const Decoded z = decodeBarcode(pagePicture(encodeDataMatrix(row.value.toUtf8(), size.columns, size.rows, 0)),
                                        ZXing::BarcodeFormat::DataMatrix);
        EXPECT_FALSE(z.mirrored) << where;
        EXPECT_EQ(z.valid ? z.bytes : "<unreadable>", bytes) << where;
    }
}

TEST(DataMatrixBase256, ChosenBase256IsBase256WheneverItFits)
{
    // Lengths around the one- and two-codeword length fields, bytes of every
    // value (NUL and 255 included), at the size picked for them.
    for (const int length : {1, 2, 3, 37, 248, 249, 250, 251, 400}) {
        QByteArray data(length, '\0');
        for (int i = 0; i < length; ++i)
            data[i] = char((i * 97 + length) & 0xFF);
        const DataMatrixGrid grid = encodeDataMatrix(data, 0, 0, 'B');
        ASSERT_TRUE(grid.isValid()) << length;
        EXPECT_EQ(grid.encodedLength, length + (length < 250 ? 2 : 3)) << length;
        EXPECT_LE(grid.encodedLength, grid.capacity) << length;
        const std::optional<DmtxReading> read = dmtxRead(pagePicture(grid));
        ASSERT_TRUE(read.has_value()) << length;
        EXPECT_EQ(read->bytes, data.toStdString()) << length;
        EXPECT_EQ(read->codewords[0], kBase256Latch) << length;
    }

    // Text of any kind chosen as Base 256, through the drawing path.
    for (const char *text : {"HELLO123", "Grüße 12 €", "日本語のテキスト 2026", "a\nb"}) {
        const DataMatrixDrawing d = Draw_DataMatrix_Barcode(QString::fromUtf8(text), "Auto", "Base256", 2, 300);
        const std::optional<DmtxReading> read = dmtxRead(d.image.bitmap());
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_EQ(read->bytes, text);
        EXPECT_EQ(read->codewords[0], kBase256Latch) << text;
        EXPECT_EQ(decodeBarcode(d.image.bitmap(), ZXing::BarcodeFormat::DataMatrix).bytes, text);
    }

    // At the size picked for it: 1400 bytes need 2800 codewords in ASCII,
    // more than the largest symbol holds; Base 256 fits them into 144 x 144.
    const QByteArray accents = QString(700, QChar(0x00E9)).toUtf8();
    const DataMatrixGrid largest = encodeDataMatrix(accents, 0, 0, 0);
    ASSERT_TRUE(largest.isValid());
    EXPECT_EQ(largest.W, 144);
    const std::optional<DmtxReading> read = dmtxRead(pagePicture(largest));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->bytes, accents.toStdString());
    EXPECT_EQ(read->codewords[0], kBase256Latch);

    // Too long for Base 256 at the size but not for ASCII: still a symbol.
    const DataMatrixGrid digits = encodeDataMatrix("123456", 10, 10, 'B');
    ASSERT_TRUE(digits.isValid());
    EXPECT_EQ(dmtxDecode(pagePicture(digits)), "123456");
}

TEST(DataMatrixBase256, EverySizeHoldsBase256ToItsLastDataCodeword)
{
    // Data codewords of each size. The latch and a one-codeword length leave
    // room for all but two of them: past 249 bytes the length takes two
    // codewords, or one (0) when the bytes run to the end of the symbol.
    const std::map<std::string, int> dataCodewords{
        {"C10X10", 3},     {"C12X12", 5},     {"C14X14", 8},     {"C16X16", 12},    {"C18X18", 18},
        {"C20X20", 22},    {"C22X22", 30},    {"C24X24", 36},    {"C26X26", 44},    {"C32X32", 62},
        {"C36X36", 86},    {"C40X40", 114},   {"C44X44", 144},   {"C48X48", 174},   {"C52X52", 204},
        {"C64X64", 280},   {"C72X72", 368},   {"C80X80", 456},   {"C88X88", 576},   {"C96X96", 696},
        {"C104X104", 816}, {"C120X120", 1050}, {"C132X132", 1304}, {"C144X144", 1558}, {"C8X18", 5},
        {"C8X32", 10},     {"C12X26", 16},    {"C12X36", 22},    {"C16X36", 32},    {"C16X48", 49}};
    int sizes = 0;
    for (const QString &format : dataMatrixFormatNames()) {
        if (format == QLatin1String("Auto"))
            continue;
        const DataMatrixFormat size = dataMatrixFormatFromName(format);
        const int capacity = dataCodewords.at(format.toStdString());
        for (const int length : {capacity - 2, capacity - 3, capacity - 1}) {
            const std::string where = format.toStdString() + " " + std::to_string(length) + " bytes";
            if (length < 1)
                continue;
            // Bytes above 127, which ASCII, C40 and Text take two codewords
            // or more for: nothing but Base 256 holds them at this size.
            QByteArray data(length, '\0');
            for (int i = 0; i < length; ++i)
                data[i] = char(0x80 | ((i * 37 + length) & 0x7F));
            const DataMatrixGrid grid = encodeDataMatrix(data, size.columns, size.rows, 'B');
            EXPECT_EQ(grid.capacity, capacity) << where;
            if (length == capacity - 1) {
                EXPECT_FALSE(grid.isValid()) << where;
                continue;
            }
            ASSERT_TRUE(grid.isValid()) << where;
            EXPECT_EQ(grid.W, size.columns) << where;
            EXPECT_EQ(grid.H, size.rows) << where;
            EXPECT_LE(grid.encodedLength, capacity) << where;
            const std::optional<DmtxReading> read = dmtxRead(pagePicture(grid));
            ASSERT_TRUE(read.has_value()) << where;
            EXPECT_EQ(read->bytes, data.toStdString()) << where;
            EXPECT_EQ(read->codewords.front(), kBase256Latch) << where;
            // zxing-cpp reads no 144 x 144 symbol, libiec16022's included.
            if (size.columns != 144) {
                const Decoded z = decodeBarcode(pagePicture(grid), ZXing::BarcodeFormat::DataMatrix);
                EXPECT_FALSE(z.mirrored) << where;
                EXPECT_EQ(z.valid ? z.bytes : "<unreadable>", data.toStdString()) << where;
            }
        }
        ++sizes;
    }
    EXPECT_EQ(sizes, 30);
}

// Values whose symbols libiec16022 makes are drawn by it unchanged, whatever
// the choice and size: with the letters chosen (one a byte, or its own), the
// library gives the very grid drawn.
TEST(DataMatrixBase256, SymbolsTheFirstLibraryMakesStayAsItDrawsThem)
{
    const char *values[] = {"123456", "HELLO123", "Card 0042, Jane Doe", "lower case text 7", "A",
                            "www.example.com/q?id=42"};
    struct Choice {
        char letter;
        int W, H;
    };
    const Choice choices[] = {{0, 0, 0},   {'A', 0, 0},   {'C', 0, 0},   {'T', 0, 0},
                              {0, 22, 22}, {'A', 32, 8},  {'C', 26, 12}, {'T', 36, 16}};
    int compared = 0;
    for (const char *value : values) {
        for (const Choice &c : choices) {
            const std::string where = std::string(value) + " " + (c.letter ? c.letter : '-') + std::to_string(c.W);
            if (libraryGrid(value, c.W, c.H, c.letter).empty())
                continue;
            const DataMatrixGrid grid = encodeDataMatrix(value, c.W, c.H, c.letter);
            ASSERT_TRUE(grid.isValid()) << where;
            EXPECT_EQ(grid.encoding.find('B'), std::string::npos) << where;
            if (c.letter == 'A') {
                EXPECT_EQ(grid.encoding, std::string(std::strlen(value), 'A')) << where;
            }
            EXPECT_EQ(grid.modules, libraryGrid(value, c.W, c.H, grid.encoding)) << where;
            ++compared;
        }
    }
    // Most pairs have a symbol to compare (the rest are too long).
    EXPECT_GE(compared, 40);
}

TEST(DataMatrixBase256, ValuesNoEncodationHoldsAreStillRefused)
{
    struct Row {
        QString value;
        const char *format;
    };
    const Row rows[] = {
        {QString(20, QChar(0x00E9)), "C18X18"},            // 40 bytes: 42 codewords in Base 256, 18 held
        {QStringLiteral("Ünïcødé 22"), "C16X16"},           // 14 bytes: 16 codewords, 12 held
        {QString(1600, QChar(0x00E9)), "Auto"},             // 3200 bytes: past every size
        {QString(800, QChar(0x00E9)), "Auto"},              // 1600 bytes: past Base 256's 1558 codewords
    };
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const Row &row : rows)
        for (const char *encoding : {"Auto", "Base256", "Ascii"})
            EXPECT_TRUE(Draw_DataMatrix_Barcode(row.value, row.format, encoding, 1, 300).image.isNull())
                << row.format << " " << encoding;
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("No barcode produced"), std::string::npos);
    // Base 256 chosen: its own counts, the latch and length beside the 40
    // bytes, against the 18 data and 14 error codewords of the size.
    const std::string lines[] = {"Size    : 18x18\n", "Encoded : 42 of 18 bytes with 14 bytes of ecc\n",
                                 "Encoding: " + std::string(40, 'B') + "\n"};
    for (const std::string &line : lines)
        EXPECT_NE(out.find(line), std::string::npos) << line << out;
}
