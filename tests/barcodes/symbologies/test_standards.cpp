// Symbols compared with the public standards that define them: module
// patterns worked out from each standard's tables where no reader exists
// (Industrial 2 of 5, MSI, POSTNET, PLANET, RM4SCC, Japan Post), and symbols
// read back by two independent readers (zxing-cpp, zbar) where they do.

#include "barcodes/symbologies/Symbologies.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;

namespace {

// Modules from element widths, bar first: "3111" is a 3-module bar, a space,
// a bar, a space.
std::string fromWidths(const std::string &widths)
{
    std::string modules;
    bool bar = true;
    for (char w : widths) {
        modules.append(std::size_t(w - '0'), bar ? '1' : '0');
        bar = !bar;
    }
    return modules;
}

constexpr int kPixelsPerModule = 3;

QImage paintModules(const std::string &modules)
{
    const int quiet = 12 * kPixelsPerModule;
    QImage image(int(modules.size()) * kPixelsPerModule + 2 * quiet, 90, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        if (modules[i] == '1')
            painter.fillRect(quiet + int(i) * kPixelsPerModule, 0, kPixelsPerModule, image.height(), Qt::black);
    }
    return image;
}

// What zxing-cpp and zbar read from the symbol's modules.
struct Readings {
    std::string zxing;
    std::optional<std::string> zbar;
};

Readings readBoth(const SymBarcode &symbol, ZXing::BarcodeFormat format, ZbarSymbology zbar,
                  bool code39FullAscii = false)
{
    const QImage image = paintModules(symbol.completeBarcode());
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setTryCode39ExtendedMode(code39FullAscii);
    const Decoded zx = decodeBarcode(image, hints);
    return {zx.valid ? zx.bytes : std::string("<unread>"), zbarDecode(image, zbar)};
}

// Bar classes of a four-state or two-height symbol, one letter per bar:
// F full, A ascender, D descender, T tracker (two-height codes: F or H).
template <class Classify>
std::string barLetters(const SymBarcode &symbol, Classify classify)
{
    const std::string modules = symbol.completeBarcode();
    std::string letters;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        if (modules[i] == '1')
            letters += classify(int(i));
    }
    return letters;
}

char fourStateLetter(const SymBarcode &symbol, int i)
{
    // A bar reaching the bottom (descender) and the top (ascender) of the
    // tallest bars.
    float lowest = 1e9f, highest = 0.0f;
    const std::string modules = symbol.completeBarcode();
    for (std::size_t k = 0; k < modules.size(); ++k) {
        if (modules[k] == '1') {
            lowest = std::min(lowest, symbol.barBottom(int(k)));
            highest = std::max(highest, symbol.barTop(int(k)));
        }
    }
    const bool down = symbol.barBottom(i) <= lowest + 1e-3f;
    const bool up = symbol.barTop(i) >= highest - 1e-3f;
    return down && up ? 'F' : up ? 'A' : down ? 'D' : 'T';
}

} // namespace

TEST(Standards, IndustrialTwoOfFiveModules)
{
    // Industrial (standard) 2 of 5: five bars per digit, two wide; every
    // space narrow; start bars wide, wide, narrow; stop wide, narrow, wide.
    // Narrow 1 module, wide 3.
    struct Row {
        const char *value;
        const char *widths;
        const char *source;
    };
    const Row rows[] = {
        {"1", "313111" "3111111131" "31113", "digit 1 = WNNNW"},
        {"90", "313111" "1131113111" "1111313111" "31113", "digits 9 = NWNWN, 0 = NNWWN"},
        {"2", "313111" "1131111131" "31113", "digit 2 = NWNNW"},
    };
    for (const Row &row : rows) {
        auto symbol = SymBarcode::create<SymIndustrialTwoOfFiveBarcode>(row.value);
        EXPECT_EQ(symbol->completeBarcode(), fromWidths(row.widths)) << row.value << " (" << row.source << ")";
        EXPECT_EQ(symbol->caption(), row.value);
    }
}

TEST(Standards, TwoOfFiveCheckDigitsWeighThreeFromTheRight)
{
    // Modulo 10 with weights 3, 1, 3, ... from the rightmost data digit, as
    // for GTINs (GS1 General Specifications 7.9); the EAN and UPC rows are
    // their standards' worked check digits.
    struct Row {
        const char *value;
        char check;
    };
    const Row rows[] = {
        {"1234567", '0'}, {"03600029145", '2'}, {"400638133393", '1'}, {"123", '6'}, {"55", '0'}, {"1", '7'},
    };
    for (const Row &row : rows) {
        auto interleaved = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>(row.value);
        interleaved->generateChecksum();
        EXPECT_EQ(interleaved->checkDigit(), row.check) << row.value;
        auto industrial = SymBarcode::create<SymIndustrialTwoOfFiveBarcode>(row.value);
        industrial->generateChecksum();
        EXPECT_EQ(industrial->checkDigit(), row.check) << row.value;
    }
}

TEST(Standards, InterleavedTwoOfFiveCaptionIsWhatReadersRead)
{
    // An odd count of digits (with the check, when there is one) is paired by
    // a leading zero; the caption shows it, so it says what a scanner reads.
    struct Row {
        const char *value;
        bool check;
        const char *read;
        const char *caption;
    };
    const Row rows[] = {
        {"12345", false, "012345", "012345"},
        {"123456", false, "123456", "123456"},
        {"1234567", true, "12345670", "1234567"},
        {"123456", true, "01234565", "0123456"},
    };
    for (const Row &row : rows) {
        auto symbol = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>(row.value);
        if (row.check)
            symbol->generateChecksum();
        EXPECT_EQ(symbol->caption(), row.caption) << row.value;
        const Readings read = readBoth(*symbol, ZXing::BarcodeFormat::ITF, ZbarSymbology::Interleaved2of5);
        EXPECT_EQ(read.zxing, row.read) << row.value;
        EXPECT_EQ(read.zbar, row.read) << row.value;
    }
}

TEST(Standards, ModifiedPlesseyModules)
{
    // MSI: each digit four bits, most significant first; a 1 bit is a wide
    // bar and a narrow space (21), a 0 bit the reverse (12); start one 1 bit,
    // stop a 0 bit and a narrow bar (121). Modulo-10 (Luhn) check.
    struct Row {
        const char *value;
        const char *widths;
        const char *source;
    };
    const Row rows[] = {
        {"12", "21" "12121221" "12122112" "12211221" "121", "1 = 0001, 2 = 0010, check 5 = 0101"},
        {"90", "21" "21121221" "12121212" "12121221" "121", "9 = 1001, 0 = 0000, check 1 = 0001"},
    };
    for (const Row &row : rows) {
        auto symbol = SymBarcode::create<SymModifiedPlesseyBarcode>(row.value);
        EXPECT_EQ(symbol->completeBarcode(), fromWidths(row.widths)) << row.value << " (" << row.source << ")";
    }
    // Hexadecimal digits use the same bit layout: A = 1010.
    auto hex = SymBarcode::create<SymModifiedPlesseyHexBarcode>("A");
    EXPECT_EQ(hex->_encodeChar('A'), fromWidths("21122112"));
}

TEST(Standards, PostnetAndPlanetBars)
{
    // USPS POSTNET: frame bars full; per digit five bars, two full (0 =
    // FFHHH, 1 = HHHFF, 2 = HHFHF, 3 = HHFFH, 4 = HFHHF, 5 = HFHFH, 6 =
    // HFFHH, 7 = FHHHF, 8 = FHHFH, 9 = FHFHH). PLANET: two half bars per
    // digit, the full and half bars of POSTNET exchanged. Check digit makes
    // the digit sum a multiple of ten.
    auto postnet = SymBarcode::create<SymPostnetBarcode>("12345");
    auto heightLetter = [](const SymBarcode &s) {
        return [&s](int i) { return s.barTop(i) > 6.0f ? 'F' : 'H'; };
    };
    EXPECT_EQ(barLetters(*postnet, heightLetter(*postnet)),
              "F" "HHHFF" "HHFHF" "HHFFH" "HFHHF" "HFHFH" "HFHFH" "F");
    // One module bars, two module spaces: 22 bars per inch at 0.015 inch.
    EXPECT_TRUE(postnet->completeBarcode().starts_with("100100100"));

    struct Row {
        const char *value;
        bool valid;
        const char *bars;
    };
    const Row planet[] = {
        // 1+2+...+9+0+1 = 46: check 4.
        {"12345678901", true, "F" "FFFHH" "FFHFH" "FFHHF" "FHFFH" "FHFHF" "FHHFF" "HFFFH" "HFFHF" "HFHFF" "HHFFF"
                              "FFFHH" "FHFFH" "F"},
        {"1234567890123", true, nullptr},
        {"12345", false, nullptr},
        {"123456789", false, nullptr},
        {"123456789012", false, nullptr},
        {"1234567890A", false, nullptr},
    };
    for (const Row &row : planet) {
        auto symbol = SymBarcode::create<SymPlanetBarcode>(row.value);
        EXPECT_EQ(symbol->isContentValid(), row.valid) << row.value;
        if (row.bars) {
            EXPECT_EQ(barLetters(*symbol, heightLetter(*symbol)), row.bars) << row.value;
        }
    }
}

TEST(Standards, RoyalMailBars)
{
    // RM4SCC: start an ascender, stop a full bar; each character four bars,
    // its table row giving the two ascenders and its column the two
    // descenders (1 = bars 3, 4; 2 = 2, 4; 3 = 2, 3; 4 = 1, 4; 5 = 1, 3;
    // 6 = 1, 2). Royal Mail's worked example SN34RD1A has the check K.
    auto symbol = SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A");
    EXPECT_EQ(symbol->checkDigit(), 'K');
    EXPECT_EQ(barLetters(*symbol, [&](int i) { return fourStateLetter(*symbol, i); }),
              "A" "FTFT" "FDTA" "DTAF" "DTFA" "FTAD" "TFAD" "TDAF" "DADA" "ADDA" "F");
    // One module per bar and per space.
    std::string modules = "10";
    for (int bar = 0; bar < 9 * 4; ++bar)
        modules += "10";
    EXPECT_EQ(symbol->completeBarcode(), modules + "1");
}

TEST(Standards, JapanPostBars)
{
    // Japan Post customer barcode, bars written in its manual's notation:
    // 1 long, 2 upper semi-long, 3 lower semi-long, 4 timing. Start 13,
    // stop 31; digits 1 = 114, 2 = 132, 3 = 312, 4 = 123, 5 = 141, 6 = 321,
    // 7 = 213, 8 = 231, 9 = 411, 0 = 144, - = 414; control codes CC1 = 324,
    // CC2 = 342, CC3 = 234, CC4 = 432 (padding), CC8 = 111; check modulo 19.
    auto letters = [](const std::string &manual) {
        std::string out;
        for (char c : manual)
            out += c == '1' ? 'F' : c == '2' ? 'A' : c == '3' ? 'D' : 'T';
        return out;
    };
    struct Row {
        const char *value;
        std::string bars;
    };
    std::string padding;
    for (int i = 0; i < 13; ++i)
        padding += "432";
    const Row rows[] = {
        // 1+...+7 + 13 x 14 = 210, 19 - 210 mod 19 = 18: CC8.
        {"1234567", "13" "114" "132" "312" "123" "141" "321" "213" + padding + "111" "31"},
        // A, B, C are CC1 followed by 0, 1, 2; 7 x CC4; check 9.
        {"1234567ABC", "13" "114" "132" "312" "123" "141" "321" "213" "324144" "324114" "324132"
                       "432432432432432432432" "411" "31"},
    };
    for (const Row &row : rows) {
        auto symbol = SymBarcode::create<JapanPostBarcode>(row.value);
        EXPECT_EQ(barLetters(*symbol, [&](int i) { return fourStateLetter(*symbol, i); }), letters(row.bars))
            << row.value;
        // Long bars 3.6 mm, semi-long 2.4 mm, timing 1.2 mm at size 10.
        constexpr float kMm = 72.0f / 25.4f;
        EXPECT_NEAR(symbol->barTop(0) - symbol->barBottom(0), 3.6f * kMm, 1e-3f);
        EXPECT_NEAR(symbol->barTop(2) - symbol->barBottom(2), 2.4f * kMm, 1e-3f);
    }
}

TEST(Standards, Code39FullAsciiEncodesEveryCharacter)
{
    // Every character from U+0001 to U+007F by the full-ASCII table, read
    // back with the reader's full-ASCII mode (zxing-cpp) and as plain Code 39
    // pairs (zbar).
    for (int first = 1; first < 128; first += 32) {
        std::string value;
        for (int c = first; c < std::min(first + 32, 128); ++c)
            value += char(c);
        auto symbol = SymBarcode::create<SymExtendedCode39Barcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << first;
        std::string pairs;
        for (char c : value)
            pairs += SymExtendedCode39Barcode::fullAsciiPair(c);
        const Readings read = readBoth(*symbol, ZXing::BarcodeFormat::Code39, ZbarSymbology::Code39, true);
        EXPECT_EQ(read.zxing, value) << first;
        EXPECT_EQ(read.zbar, pairs) << first;
    }
    // Control characters by their standard pairs.
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('\x01'), "$A");
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('\x1b'), "%A");
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('\x1f'), "%E");
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('\x7f'), "%T");
    EXPECT_FALSE(SymBarcode::create<SymExtendedCode39Barcode>("\xc3\xa9")->isContentValid());
}

TEST(Standards, Code128SetCReadsAsItsDigits)
{
    // Set C holds digit pairs; an odd last digit follows a change to set B,
    // so the symbol reads as the digits given, never with a zero added.
    for (const char *value : {"123", "1", "12345", "1234"}) {
        auto symbol = SymCode128Barcode::create(value, SymCode128Barcode::CodeSetC);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(symbol->caption(), value);
        const Readings read = readBoth(*symbol, ZXing::BarcodeFormat::Code128, ZbarSymbology::Code128);
        EXPECT_EQ(read.zxing, value);
        EXPECT_EQ(read.zbar, value);
    }
    // START C, 12, CODE B, '3': 105 + 12 + 2 x 100 + 3 x 19 = 374, mod 103 = 65.
    EXPECT_EQ(SymCode128Barcode::create("123", SymCode128Barcode::CodeSetC)->checkDigit(), 65);
}
