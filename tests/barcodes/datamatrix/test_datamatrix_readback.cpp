// Data Matrix symbols of text as people type it (’ – — À Ā р π 、, each
// holding the byte 0x80 in UTF-8, which libiec16022 writes wrongly in C40
// and Text): every symbol drawn is read back from its picture as exactly the
// value by readers of other code bases, and a value is refused only where
// no encodation holds it.
#include "barcodes/datamatrix/DataMatrixReader.h"
#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "tests/barcodes/datamatrix/DataMatrixRows.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <array>
#include <cstdlib>
#include <random>

extern "C" {
#include <iec16022ecc200.h>
}
#include <dmtx.h>

using namespace barcodes;
using namespace quorvant::test;

namespace {

// What readers read from a picture of a symbol W modules wide: zxing-cpp,
// or libdmtx's image reader at 144 x 144, which zxing-cpp does not read.
std::string readPicture(const QImage &picture, int W)
{
    if (W == 144)
        return dmtxDecode(picture).value_or("<unreadable>");
    const Decoded z = decodeBarcode(picture, ZXing::BarcodeFormat::DataMatrix);
    if (!z.valid)
        return "<unreadable>";
    return z.mirrored ? "<mirrored>" : z.bytes;
}

// libiec16022 in one encodation at W x H, as the engine asks it.
DataMatrixGrid libraryIn(const QByteArray &data, int W, int H, char letter)
{
    return libraryGridWith(data, W, H, engineLetters(data, letter));
}

// libdmtx in Base 256 at W x H (0 and 0: its smallest square or rectangle).
DataMatrixGrid libdmtxBase256(const QByteArray &data, int W, int H)
{
    DataMatrixGrid out;
    int sizeIndex = DmtxSymbolShapeAuto;
    for (int i = 0; i < DmtxSymbolSquareCount + DmtxSymbolRectCount; ++i) {
        if (dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, i) == W
            && dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, i) == H)
            sizeIndex = i;
    }
    if (W != 0 && sizeIndex == DmtxSymbolShapeAuto)
        return out;
    QByteArray bytes = data;
    DmtxEncode *encoder = dmtxEncodeCreate();
    dmtxEncodeSetProp(encoder, DmtxPropScheme, DmtxSchemeBase256);
    dmtxEncodeSetProp(encoder, DmtxPropSizeRequest, sizeIndex);
    if (dmtxEncodeDataMatrix(encoder, int(bytes.size()), reinterpret_cast<unsigned char *>(bytes.data())) == DmtxPass) {
        const int index = encoder->region.sizeIdx;
        out.W = dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, index);
        out.H = dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, index);
        for (int y = 0; y < out.H; ++y)
            for (int x = 0; x < out.W; ++x)
                out.modules.push_back((dmtxSymbolModuleStatus(encoder->message, index, y, x) & DmtxModuleOnRGB) ? 1 : 0);
    }
    dmtxEncodeDestroy(&encoder);
    return out;
}

// Whether any encodation alone holds the value at W x H, judged by reading
// the libraries' own symbols back (not by the engine). libiec16022's own
// choice is not asked: a refusal of it loses memory that only the engine
// gets back.
bool someEncodationHolds(const QByteArray &data, int W, int H)
{
    for (const char letter : {'A', 'C', 'T', 'B'}) {
        const DataMatrixGrid grid = letter == 'B' ? libdmtxBase256(data, W, H) : libraryIn(data, W, H, letter);
        if (grid.isValid() && readPicture(pagePicture(grid), grid.W) == data.toStdString())
            return true;
    }
    return false;
}

const char *const kEncodations[] = {"Auto", "Ascii", "C40", "Text", "Base256"};

} // namespace

// Names, upper and lower case, addresses and mixed text with the characters
// office software types, at Auto and fixed sizes with every choice: each
// symbol drawn reads back as the value from the image the user gets.
TEST(DataMatrixReadBack, TypedTextReadsBackAsTheValue)
{
    const char *values[] = {
        "D’ARTAGNAN CHARLES",
        "JOHN PAUL O’BRIEN SMITH JONES",
        "mario.rossi À la carte",
        "рgadzk",
        "mary o’sullivan",
        "jean – paris",
        "https://example.org/o’brien",
        "ANNE-MARIE — ĀBOLS",
        "π ≈ 3.14159",
        "東京、大阪",
        "Renée D’Souza, Flat 2 – 14 Rue À",
        "ID-0042 р",
        "’",
        "WWW.EXAMPLE.ORG/À",
    };
    const char *formats[] = {"Auto", "C16X16", "C20X20", "C22X22", "C26X26", "C36X36", "C16X48", "C12X36"};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int drawn = 0, refused = 0;
    for (const char *value : values) {
        const QByteArray bytes(value);
        for (const char *format : formats) {
            const DataMatrixFormat size = dataMatrixFormatFromName(format);
            for (const char *encoding : kEncodations) {
                SCOPED_TRACE(std::string(value) + " " + format + " " + encoding);
                const DataMatrixDrawing d = Draw_DataMatrix_Barcode(QString::fromUtf8(value), format, encoding, 2, 300);
                if (d.image.isNull()) {
                    ++refused;
                    EXPECT_FALSE(someEncodationHolds(bytes, size.columns, size.rows));
                    continue;
                }
                ++drawn;
                EXPECT_EQ(readPicture(d.image.bitmap(), d.grid.W), bytes.toStdString());
            }
        }
    }
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_GT(drawn, 400);
    EXPECT_GT(refused, 20);
}

// The cases that were drawn reading as another value, one by one.
TEST(DataMatrixReadBack, CasesThatReadAsAnotherValue)
{
    // Refused by the library's own choice; C40 held it at 20 x 20 but read
    // back as "D" E2 81 51 19 "ARTAGNAN CHARLES" 00.
    const QString name = QString::fromUtf8("D’ARTAGNAN CHARLES");
    const DataMatrixDrawing d = Draw_DataMatrix_Barcode(name, "Auto", "Auto", 2, 300);
    ASSERT_FALSE(d.image.isNull());
    EXPECT_EQ(d.grid.encoding.find_first_of("CT"), std::string::npos) << d.grid.encoding;
    EXPECT_EQ(readPicture(d.image.bitmap(), d.grid.W), name.toStdString());
    EXPECT_EQ(dmtxDecode(d.image.bitmap()), name.toStdString());

    // Only C40 and Text hold it at 22 x 22, wrongly: refused, where it was
    // drawn reading otherwise, and the refusal says it fitted.
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const DataMatrixDrawing refused =
        Draw_DataMatrix_Barcode(QString::fromUtf8("JOHN PAUL O’BRIEN SMITH JONES"), "C22X22", "Auto", 2, 300);
    EXPECT_TRUE(refused.image.isNull());
    EXPECT_TRUE(refused.grid.modules.empty());
    EXPECT_TRUE(refused.grid.fitsButReadsOtherwise);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("No barcode produced"), std::string::npos);

    // Explicit C40 or Text that would write the value wrongly: another
    // encodation, and the grid says why.
    for (const char *value : {"рgadzk", "mary o’sullivan", "jean – paris", "https://example.org/o’brien"}) {
        for (const char *encoding : {"C40", "Text"}) {
            SCOPED_TRACE(std::string(value) + " " + encoding);
            const DataMatrixDrawing chosen = Draw_DataMatrix_Barcode(QString::fromUtf8(value), "Auto", encoding, 2, 300);
            ASSERT_FALSE(chosen.image.isNull());
            EXPECT_NE(chosen.grid.encodation, dataMatrixEncodationLetter(encoding));
            EXPECT_TRUE(chosen.grid.chosenReadsOtherwise);
            EXPECT_EQ(readPicture(chosen.image.bitmap(), chosen.grid.W), value);
        }
    }
    // A chosen encodation that does not fit is not said to read otherwise:
    // four "é" take 19 codewords in C40, past the 18 of 18 x 18 (three, in
    // 14, fit and read right).
    const DataMatrixGrid tooLong = encodeDataMatrix("éééé", 18, 18, 'C');
    ASSERT_TRUE(tooLong.isValid());
    EXPECT_NE(tooLong.encodation, 'C');
    EXPECT_FALSE(tooLong.chosenReadsOtherwise);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(encodeDataMatrix(QByteArray(40, 'x'), 10, 10, 'C').fitsButReadsOtherwise);
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
}

// A seeded run over an alphabet rich in 0x80 bytes, X12 (capitals, digits,
// space, "*", ">", CR) and EDIFACT characters, at fixed sizes, Auto size and
// every choice: every symbol reads back, and a value is refused only where
// no encodation holds it.
TEST(DataMatrixReadBack, SeededValuesReadBackOrNothingHoldsThem)
{
    const QStringList alphabet = QString::fromUtf8("’–—ÀĀрπ、…“ABCXYZ0189 *>\r-./:@[\\]^aqz,é€").split(QString());
    const int sizes[][2] = {{0, 0}, {12, 12}, {16, 16}, {20, 20}, {26, 26}, {44, 44}, {32, 8}, {36, 16}, {144, 144}};
    std::mt19937 random(20261207);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int drawn = 0, refused = 0, misread = 0;
    for (int i = 0; i < 2400; ++i) {
        const auto &size = sizes[i % int(std::size(sizes))];
        // Long values only for the largest sizes, so most values fit.
        const int maxLength = size[0] == 144 ? 400 : size[0] >= 44 || size[0] == 0 ? 60 : 16;
        const int length = 1 + int(random() % unsigned(maxLength));
        QString value;
        for (int c = 0; c < length; ++c)
            value += alphabet[1 + int(random() % unsigned(alphabet.size() - 2))];
        const QByteArray bytes = value.toUtf8();
        const char letter = dataMatrixEncodationLetter(kEncodations[(i / int(std::size(sizes))) % 5]);
        const DataMatrixGrid grid = encodeDataMatrix(bytes, size[0], size[1], letter);
        const std::string where = std::to_string(i) + " " + bytes.toHex(' ').toStdString();
        if (!grid.isValid()) {
            ++refused;
            EXPECT_FALSE(someEncodationHolds(bytes, size[0], size[1])) << where;
            continue;
        }
        ++drawn;
        const bool right = readPicture(pagePicture(grid), grid.W) == bytes.toStdString();
        misread += right ? 0 : 1;
        EXPECT_TRUE(right) << where << " in " << grid.encoding;
    }
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(misread, 0);
    EXPECT_GT(drawn, 1700);
    EXPECT_GT(refused, 50);
}

// The engine's own reading of a grid against libdmtx's, on the libraries'
// grids as they come, wrong ones included: runs of ASCII, C40, Text and X12
// in every mix, and Base 256, at the smallest and at fixed sizes. Both give
// the same bytes, or both none; and a grid with one module turned reads as
// nothing (the engine corrects no error).
TEST(DataMatrixReadBack, GridsReadAsLibdmtxReadsThem)
{
    const char *alphabets[] = {
        "’–ÀрπABC xyz019",                          // 0x80 bytes in every encodation
        "ABCXYZ0189 *>\r",                         // X12
        "abcxyz 019,.!~{|}`\x7f\x01\x1f",         // Text and its shifts
        "ABC019 .-/:@[\\]^_",                     // C40's shift 2
        "é€ü日 aZ9",                                // upper shifts
    };
    const int sizes[][2] = {{0, 0}, {10, 10}, {14, 14}, {18, 18}, {22, 22}, {32, 32}, {64, 64},
                            {18, 8}, {32, 8}, {26, 12}, {48, 16}, {120, 120}, {144, 144}};
    std::mt19937 random(16022);
    int compared = 0, read = 0, disagree = 0;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 6000; ++i) {
        const QStringList alphabet = QString::fromUtf8(alphabets[i % 5]).split(QString(), Qt::SkipEmptyParts);
        const auto &size = sizes[(i / 5) % int(std::size(sizes))];
        const int length = 1 + int(random() % (size[0] >= 64 ? 300u : 30u));
        QString value;
        for (int c = 0; c < length; ++c)
            value += alphabet[int(random() % unsigned(alphabet.size()))];
        const QByteArray bytes = value.toUtf8();
        DataMatrixGrid grid;
        if (i % 7 == 6) {
            grid = libdmtxBase256(bytes, size[0], size[1]);
        } else {
            // Runs of one letter, two to nine bytes long.
            std::string letters;
            while (letters.size() < std::size_t(bytes.size()))
                letters.append(2 + random() % 8, "ACTX"[random() % 4]);
            letters.resize(std::size_t(bytes.size()));
            grid = libraryGridWith(bytes, size[0], size[1], letters);
        }
        if (!grid.isValid())
            continue;
        ++compared;
        const std::optional<QByteArray> ours = readDataMatrixGrid(grid.W, grid.H, grid.modules);
        const std::optional<std::string> theirs = dmtxReadGrid(grid.W, grid.H, grid.modules);
        // Where the engine finds the data malformed, libdmtx reads something
        // other than the value.
        const bool same = ours ? theirs && ours->toStdString() == *theirs : !theirs || *theirs != bytes.toStdString();
        disagree += same ? 0 : 1;
        EXPECT_TRUE(same) << i << " " << grid.W << "x" << grid.H << " " << bytes.toHex(' ').toStdString()
                          << "\n ours   " << (ours ? ours->toHex(' ').toStdString() : "none")
                          << "\n libdmtx " << (theirs ? QByteArray::fromStdString(*theirs).toHex(' ').toStdString() : "none");
        read += ours && *ours == bytes ? 1 : 0;

        // The top left module of the data is always a codeword's bit.
        DataMatrixGrid turned = grid;
        turned.modules[std::size_t((turned.H - 2) * turned.W + 1)] ^= 1;
        EXPECT_FALSE(readDataMatrixGrid(turned.W, turned.H, turned.modules).has_value()) << i;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(disagree, 0);
    // Most grids read as their value; enough of them do not.
    EXPECT_GT(compared, 1500);
    EXPECT_GT(read, compared / 2);
    EXPECT_GT(compared - read, 200);
}

// Each block is checked at every root of its generator polynomial. Any two
// modules turned among the codewords of a one-region symbol give a grid
// that is no code word (each block tells up to as many wrong codewords as
// it has error codewords from a right one), and it reads as nothing; a
// check at fewer roots lets through the pairs whose errors cancel at those.
TEST(DataMatrixReadBack, TwoTurnedModulesReadAsNothing)
{
    struct Case {
        QByteArray value;
        int W, H;
    };
    // In these sizes every module inside the finder and clock pattern is a
    // bit of a codeword: 8 of them in 8 x 8, 12 in 16 x 6.
    for (const Case &c : {Case{"123456", 10, 10}, Case{"HELLO", 18, 8}}) {
        SCOPED_TRACE(c.value.toStdString());
        const DataMatrixGrid grid = encodeDataMatrix(c.value, c.W, c.H, 'A');
        ASSERT_EQ(grid.W * grid.H, c.W * c.H);
        ASSERT_EQ(readDataMatrixGrid(grid.W, grid.H, grid.modules), c.value);
        std::vector<std::size_t> inner;
        for (int y = 1; y < grid.H - 1; ++y)
            for (int x = 1; x < grid.W - 1; ++x)
                inner.push_back(std::size_t(y * grid.W + x));
        int read = 0;
        for (std::size_t i = 0; i < inner.size(); ++i) {
            for (std::size_t j = i + 1; j < inner.size(); ++j) {
                std::vector<std::uint8_t> turned = grid.modules;
                turned[inner[i]] ^= 1;
                turned[inner[j]] ^= 1;
                read += readDataMatrixGrid(grid.W, grid.H, turned).has_value() ? 1 : 0;
            }
        }
        EXPECT_EQ(read, 0);
    }
}

namespace {

// The 10 x 10 grid of any three data codewords: the sum (exclusive or) of
// three grids that ASCII draws of three characters each. The error
// codewords and the places of the bits are linear in the data bits, and the
// finder pattern, there three times, stays; so the sum is the grid of the
// sum of the codewords. ASCII writes a character c below 128 as c + 1 (and
// two digits as one codeword, so none is used).
DataMatrixGrid gridOfCodewords(const std::array<int, 3> &codewords)
{
    auto written = [](int w) { return w >= 1 && w <= 128 && (w <= '0' || w > '9' + 1); };
    std::array<QByteArray, 3> values;
    for (const int target : codewords) {
        bool found = false;
        for (int a = 1; a <= 128 && !found; ++a) {
            for (int b = 1; b <= 128 && !found; ++b) {
                const int c = target ^ a ^ b;
                if (!written(a) || !written(b) || !written(c))
                    continue;
                values[0].append(char(a - 1));
                values[1].append(char(b - 1));
                values[2].append(char(c - 1));
                found = true;
            }
        }
    }
    DataMatrixGrid sum = encodeDataMatrix(values[0], 10, 10, 'A');
    for (const QByteArray &value : {values[1], values[2]}) {
        const DataMatrixGrid grid = encodeDataMatrix(value, 10, 10, 'A');
        if (!sum.isValid() || !grid.isValid() || grid.W != sum.W || grid.encodedLength != 3)
            return {};
        for (std::size_t i = 0; i < sum.modules.size(); ++i)
            sum.modules[i] ^= grid.modules[i];
    }
    return sum;
}

// The two codewords of a C40, Text or X12 triplet.
std::array<int, 2> triplet(int a, int b, int c)
{
    const int packed = 1600 * a + 40 * b + c + 1;
    return {packed / 256, packed % 256};
}

} // namespace

// Data that no encoder writes reads as nothing, where a lenient reader
// makes up bytes: a grid with it cannot be taken for the value. Grids of
// well-formed codewords made the same way read as zxing-cpp reads them.
TEST(DataMatrixReadBack, MalformedDataReadsAsNothing)
{
    struct Case {
        std::array<int, 3> codewords;
        const char *read; // nullptr for nothing
    };
    const std::array<int, 2> abc = triplet(14, 15, 16), upperA = triplet(1, 30, 14),
                             shift1Past31 = triplet(0, 35, 3), shift2Past30 = triplet(1, 31, 3);
    const Case cases[] = {
        {{'H' + 1, 'I' + 1, '!' + 1}, "HI!"},
        {{230, abc[0], abc[1]}, "ABC"},
        {{230, upperA[0], upperA[1]}, "\xC1"},                // upper shift, "A"
        {{235, 130 + 12, 'A' + 1}, nullptr},                  // upper shift before a digit pair
        {{230, shift1Past31[0], shift1Past31[1]}, nullptr},   // shift 1 has values 0 to 31
        {{239, shift2Past30[0], shift2Past30[1]}, nullptr},   // shift 2 has none past 30
        {{230, 250, 1}, nullptr},                             // a triplet past 39, 39, 39
        {{238, 250, 1}, nullptr},
        {{232, 'A' + 1, 'B' + 1}, nullptr},                   // FNC1
        {{240, 'A' + 1, 'B' + 1}, nullptr},                   // EDIFACT
        {{241, 4, 'A' + 1}, nullptr},                         // ECI
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.codewords[0]) + " " + std::to_string(c.codewords[1]) + " "
                     + std::to_string(c.codewords[2]));
        const DataMatrixGrid grid = gridOfCodewords(c.codewords);
        ASSERT_TRUE(grid.isValid());
        const std::optional<QByteArray> ours = readDataMatrixGrid(grid.W, grid.H, grid.modules);
        if (c.read == nullptr) {
            EXPECT_FALSE(ours.has_value()) << ours->toHex(' ').toStdString();
            continue;
        }
        EXPECT_EQ(ours, QByteArray(c.read));
        EXPECT_EQ(readPicture(pagePicture(grid), grid.W), c.read);
    }
}
