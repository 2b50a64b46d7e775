// Draws module strings as plain bar images and reads them back with zxing-cpp.

#include "barcodes/symbologies/Symbologies.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

using namespace barcodes;
using quorvant::test::decodeBarcode;

namespace {

constexpr int kPixelsPerModule = 3;
constexpr int kQuietModules = 12;

QImage paintModules(const std::string &modules)
{
    const int width = (int(modules.size()) + 2 * kQuietModules) * kPixelsPerModule;
    QImage image(width, 80, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        if (modules[i] == '1')
            painter.fillRect(int(kQuietModules + i) * kPixelsPerModule, 0, kPixelsPerModule, 80, Qt::black);
    }
    return image;
}

std::string decoded(const SymBarcode &symbol, ZXing::BarcodeFormat format)
{
    const auto result = decodeBarcode(paintModules(symbol.completeBarcode()), format);
    EXPECT_TRUE(result.valid) << symbol.content();
    if (result.valid) {
        EXPECT_EQ(result.format, format);
    }
    return result.text;
}

// The reader with the options that decodeBarcode leaves at their defaults.
std::string decodedWith(const SymBarcode &symbol, const ZXing::DecodeHints &hints)
{
    QImage image = paintModules(symbol.completeBarcode());
    auto result = ZXing::ReadBarcode(ZXing::ImageView(image.constBits(), image.width(), image.height(),
                                                      ZXing::ImageFormat::Lum, int(image.bytesPerLine())),
                                     hints);
    EXPECT_TRUE(result.isValid()) << symbol.content();
    return result.isValid() ? result.text() : std::string();
}

std::string withCheck(const SymBarcode &symbol)
{
    return symbol.content() + char(symbol.checkDigit());
}

} // namespace

TEST(SymbologyDecode, UPCA)
{
    for (const char *value : {"03600029145", "036000291452", "12345678901", "99999999999", "00000000000"}) {
        auto symbol = SymBarcode::create<SymUPCABarcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::UPCA), withCheck(*symbol));
    }
}

TEST(SymbologyDecode, UPCE)
{
    // 8 digits, 7 digits (check computed) and 11-digit UPC-A numbers that
    // have a zero-suppressed form, for every suppression rule.
    for (const char *value : {"04252614", "0425261", "1123456", "01200000345", "01230000006", "01234000007",
                              "01234500008", "11200000345"}) {
        auto symbol = SymBarcode::create<SymUPCEBarcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::UPCE), withCheck(*symbol)) << value;
    }
}

TEST(SymbologyDecode, EAN13AndEAN8)
{
    for (const char *value : {"400638133393", "4006381333931", "590123412345", "978020137962", "012345678905"}) {
        auto symbol = SymBarcode::create<SymEAN13Barcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::EAN13), withCheck(*symbol));
    }
    for (const char *value : {"9638507", "96385074", "1234567", "0000000", "5512345"}) {
        auto symbol = SymBarcode::create<SymEAN8Barcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::EAN8), withCheck(*symbol));
    }
}

TEST(SymbologyDecode, Code39WithAndWithoutCheck)
{
    for (const char *value : {"CODE 39", "code-39.$/+%", "0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}) {
        auto symbol = SymBarcode::create<SymCode39Barcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::Code39), symbol->content());

        symbol->generateChecksum();
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::Code39), withCheck(*symbol));
    }
}

TEST(SymbologyDecode, ExtendedCode39)
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39);
    hints.setTryCode39ExtendedMode(true);
    for (const char *value : {"Hello World", "a*b$c%d+e/f", "mixed Case 123!?@[]{}~`", "tab\there"}) {
        auto symbol = SymBarcode::create<SymExtendedCode39Barcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(decodedWith(*symbol, hints), value);
    }
    // The check character is a plain Code 39 character over the expanded
    // text, so a reader sees it as the last character of that text.
    auto checked = SymBarcode::create<SymExtendedCode39Barcode>("ab");
    checked->generateChecksum();
    EXPECT_EQ(decoded(*checked, ZXing::BarcodeFormat::Code39), std::string("+A+B") + char(checked->checkDigit()));
}

TEST(SymbologyDecode, Code128EverySetAndShifts)
{
    struct Case {
        const char *value;
        int codeSet;
    };
    const Case cases[] = {
        {"12345678", SymCode128Barcode::CodeSetAuto}, {"Hello", SymCode128Barcode::CodeSetAuto},
        {"AB", SymCode128Barcode::CodeSetB},          {"1234", SymCode128Barcode::CodeSetC},
        {"12345", SymCode128Barcode::CodeSetAuto},    {"CODE-128 A", SymCode128Barcode::CodeSetA},
        // Lower case in set A and a control character in set B are shifted.
        {"Abc", SymCode128Barcode::CodeSetA},         {"x\ty", SymCode128Barcode::CodeSetB},
        {"TAB\tx", SymCode128Barcode::CodeSetAuto},   {"~{}|", SymCode128Barcode::CodeSetB},
    };
    for (const auto &c : cases) {
        auto symbol = SymCode128Barcode::create(c.value, c.codeSet);
        ASSERT_TRUE(symbol->isContentValid()) << c.value;
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::Code128), c.value);
    }
    // Set C writes an odd count with a leading zero.
    auto odd = SymCode128Barcode::create("123", SymCode128Barcode::CodeSetC);
    EXPECT_EQ(decoded(*odd, ZXing::BarcodeFormat::Code128), "0123");
}

TEST(SymbologyDecode, CodabarKeepsStartAndStop)
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Codabar);
    hints.setReturnCodabarStartEnd(true);
    for (const char *value : {"A1234B", "B0123456789C", "C-$:/.+D", "D40156B", "A31117013206375A"}) {
        auto symbol = SymBarcode::create<SymCodabarBarcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        EXPECT_EQ(decodedWith(*symbol, hints), value);
    }
}

TEST(SymbologyDecode, InterleavedTwoOfFive)
{
    for (const char *value : {"123456", "00012345", "9876543210", "12345678901234", "1234567"}) {
        auto symbol = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>(value);
        ASSERT_TRUE(symbol->isContentValid()) << value;
        std::string expected = value;
        if (expected.size() % 2)
            expected.insert(expected.begin(), '0');
        EXPECT_EQ(decoded(*symbol, ZXing::BarcodeFormat::ITF), expected);
    }
}
