// The designer's engine as the preview, the design window and a batch run use
// it: pictures made from a barcode object's settings, read back by a real
// reader (zxing-cpp) and inspected pixel by pixel.

#include "barcodes/designer/BarcodeEngine.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <ZXing/DecodeHints.h>
#include <gtest/gtest.h>
#include <thread>

using namespace barcodes;
using namespace quorvant::test;
using ZXing::BarcodeFormat;

namespace {

BarcodeSettings settingsFor(const QString &title, const QString &value)
{
    BarcodeSettings s;
    s.barcode_font_index = int(barcodeTypeTitles().indexOf(title));
    s.linear_or_2d = isTwoDimensionalTitle(title) ? 1 : 0;
    (s.linear_or_2d == 1 ? s.two_d_font_val : s.linear_font_val) = value;
    return s;
}

QImage pixels(const platform::Image &picture, double dpi, QColor background = Qt::white)
{
    return picture.toBitmap(dpi, background).convertToFormat(QImage::Format_RGB32);
}

bool hasDarkPixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 64)
                return true;
    return false;
}

} // namespace

TEST(BarcodeEngine, EverySymbologyFromAnObjectsSettingsReadsBackAt300And600Dpi)
{
    // Values from the symbologies' own worked examples; the check character
    // that UPC and EAN readers return is the symbol's own. None: zxing-cpp
    // reads no Plessey, Industrial 2 of 5 or postal symbols, so those are
    // checked for a drawn symbol only.
    struct Row {
        const char *title;
        const char *value;
        BarcodeFormat format;
        bool withCheck = false;
    };
    const Row rows[] = {
        {"Code 39", "CODE 39", BarcodeFormat::Code39},
        {"Extended Code 39", "Hello World", BarcodeFormat::Code39},
        {"Interleaved 2 of 5", "123456", BarcodeFormat::ITF},
        {"UPCA", "03600029145", BarcodeFormat::UPCA, true},
        {"PostNet", "12345", BarcodeFormat::None},
        {"Modified Plessey", "123456", BarcodeFormat::None},
        {"Modified Plessey (Hex)", "12AB", BarcodeFormat::None},
        {"Industrial 2 of 5", "123456", BarcodeFormat::None},
        {"EAN-13", "400638133393", BarcodeFormat::EAN13, true},
        {"Code 128", "Hello 128", BarcodeFormat::Code128},
        {"Code 128 SET A", "CODE-128 A", BarcodeFormat::Code128},
        {"Code 128 SET B", "abc xyz", BarcodeFormat::Code128},
        {"Code 128 SET C", "00998877", BarcodeFormat::Code128},
        {"Codabar", "A1234B", BarcodeFormat::Codabar},
        {"UPCE", "0425261", BarcodeFormat::UPCE, true},
        {"EAN-8", "9638507", BarcodeFormat::EAN8, true},
        {"Royal Mail Barcode (RM4SCC / CBC)", "SN34RD1A", BarcodeFormat::None},
        {"Planet", "12345678901", BarcodeFormat::None},
        {"Japan Post Barcode", "1234567ABC", BarcodeFormat::None},
        {"QR Code", "https://quorvant.example/card/0123", BarcodeFormat::QRCode},
        {"PDF417", "PDF417 record 0123", BarcodeFormat::PDF417},
        // The library's own encodation choice for this one is EDIFACT.
        {"DataMatrix", "OLD-DESIGN-42", BarcodeFormat::DataMatrix},
    };
    ASSERT_EQ(std::size(rows), std::size_t(barcodeTypeTitles().size()));
    for (const Row &row : rows) {
        const BarcodeSettings settings = settingsFor(row.title, row.value);
        // Design files store the position in this list: rows are in its order.
        EXPECT_EQ(settings.barcode_font_index, &row - rows) << row.title;
        std::string expected = row.value;
        if (row.withCheck) {
            const auto symbol = newLinearSymbol(row.title, row.value, true);
            expected = symbol->content() + char(symbol->checkDigit());
        }
        for (double dpi : {300.0, 600.0}) {
            QString error;
            const platform::Image picture = barcodeImageFor(settings, row.value, QStringLiteral("HEADER"),
                                                            QStringLiteral("FOOTER"), dpi, &error);
            ASSERT_FALSE(picture.isNull()) << row.title << ": " << error.toStdString();
            const QImage image = pixels(picture, dpi);
            if (row.format == BarcodeFormat::None) {
                EXPECT_TRUE(hasDarkPixel(image)) << row.title;
                continue;
            }
            ZXing::DecodeHints hints;
            hints.setFormats(row.format).setTryHarder(true);
            hints.setTryCode39ExtendedMode(QLatin1String(row.title) == QLatin1String("Extended Code 39"));
            hints.setReturnCodabarStartEnd(true);
            const Decoded d = decodeBarcode(image, hints);
            EXPECT_TRUE(d.valid) << row.title << " at " << dpi;
            EXPECT_EQ(d.text, expected) << row.title << " at " << dpi;
            EXPECT_FALSE(d.mirrored) << row.title;
        }
    }
}

TEST(BarcodeEngine, RecordLongerThanThePreviewIsFramedWithItsOwnSize)
{
    // The preview shows "0123"; a batch record holds far more. Each picture
    // takes the size of its own symbol, so nothing of the longer one is cut.
    const QString record = QStringLiteral("RECORD-7-") + QString(290, QLatin1Char('x'));
    struct Row {
        const char *title;
        BarcodeFormat format;
    };
    for (const Row &row : {Row{"QR Code", BarcodeFormat::QRCode}, Row{"DataMatrix", BarcodeFormat::DataMatrix}}) {
        const BarcodeSettings settings = settingsFor(row.title, QStringLiteral("0123"));
        const platform::Image preview = barcodeImageFor(settings);
        const platform::Image long_ = barcodeImageFor(settings, record, settings.header_val, settings.footer_val,
                                                      barcodeDpi(settings));
        ASSERT_FALSE(preview.isNull());
        ASSERT_FALSE(long_.isNull()) << row.title;
        EXPECT_GT(long_.size().height(), preview.size().height()) << row.title;
        const Decoded d = decodeBarcode(pixels(long_, 300), row.format);
        EXPECT_EQ(d.text, record.toStdString()) << row.title;
    }
}

TEST(BarcodeEngine, PrintStateTruthTable)
{
    // captionCheckbox state 1 hides the value text; a disabled check box
    // prints none and leaves the value-on-top box alone.
    struct Row {
        int state;
        bool enabled;
        PrintState expected;
    };
    const Row rows[] = {
        {0, true, {true, true}},
        {1, true, {false, false}},
        {0, false, {false, std::nullopt}},
        {1, false, {false, std::nullopt}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(Get_Print_State(row.state, row.enabled), row.expected) << row.state << row.enabled;

    // A disabled caption box prints no value text, whatever the object says.
    BarcodeSettings s = settingsFor(QStringLiteral("Code 128"), QStringLiteral("0123"));
    ControlStates controls;
    controls.captionCheckboxEnabled = false;
    EXPECT_FALSE(Generate_Barcode_Variable(s, s.linear_font_val, {}, {}, 300, controls).symbol->printsCaption());
}

TEST(BarcodeEngine, LargeCaptionFontKeepsClearOfTheBars)
{
    // Bars black, value text red, no header or footer: every red pixel must
    // lie below the lowest black one, on any thread.
    BarcodeSettings s = settingsFor(QStringLiteral("Code 128"), QStringLiteral("CAPTION-30"));
    s.value_font_val.setPointSizeF(30);
    s.barcode_val_clr_val = Qt::red;
    s.show_hide_hdr = s.show_hide_ftr = 1;
    platform::Image picture;
    std::thread([&] { picture = barcodeImageFor(s); }).join();
    ASSERT_FALSE(picture.isNull());
    const QImage image = pixels(picture, 300);
    int lowestBar = -1, highestCaption = image.height();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.red() < 60 && c.green() < 60 && c.blue() < 60)
                lowestBar = std::max(lowestBar, y);
            else if (c.red() > 150 && c.green() < 110 && c.blue() < 110)
                highestCaption = std::min(highestCaption, y);
        }
    }
    ASSERT_GE(lowestBar, 0);
    ASSERT_LT(highestCaption, image.height());
    EXPECT_LT(lowestBar, highestCaption);
    EXPECT_EQ(decodeBarcode(image, BarcodeFormat::Code128).text, "CAPTION-30");
}

TEST(BarcodeEngine, TwoDimensionalSymbolsScanOnAColouredCard)
{
    // No margins, no header or footer: all the quiet zone the picture has is
    // the one the engine gives each symbol, and it must cover the card's
    // dark red.
    struct Row {
        const char *title;
        BarcodeFormat format;
    };
    const QColor card(120, 0, 0);
    for (const Row &row : {Row{"QR Code", BarcodeFormat::QRCode}, Row{"DataMatrix", BarcodeFormat::DataMatrix},
                           Row{"PDF417", BarcodeFormat::PDF417}}) {
        BarcodeSettings s = settingsFor(row.title, QStringLiteral("CARD-0042"));
        s.qr_size_val = 21;  // one point per module, no room left around them
        s.show_hide_hdr = s.show_hide_ftr = 1;
        s.hdr_margin_val = s.ftr_margin_val = s.TB_marging_val = s.LR_margin_val = 0;
        const platform::Image picture = barcodeImageFor(s);
        ASSERT_FALSE(picture.isNull()) << row.title;
        const QImage image = pixels(picture, 300, card);
        EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(Qt::white)) << row.title;
        const Decoded d = decodeBarcode(image, row.format, 0);
        EXPECT_EQ(d.text, "CARD-0042") << row.title;
    }
}

TEST(BarcodeEngine, ValuesWithoutASymbolGiveNoPictureAndSayWhy)
{
    struct Row {
        const char *title;
        QString value;
        const char *reason;
        int dataMatrixFormat = 0;
    };
    const Row rows[] = {
        {"Code 128", QStringLiteral("caf\u00e9"), "Invalid barcode value"},
        {"QR Code", QString(), "Invalid barcode value"},
        {"EAN-13", QStringLiteral("ABC"), "The value cannot be written as EAN-13."},
        {"QR Code", QString(7090, QLatin1Char('7')), "The value is too long for the chosen QR Code version and level."},
        // A value of megabytes is refused before anything is encoded or drawn.
        {"Code 128", QString(10 << 20, QLatin1Char('7')),
         "The value has 10,485,760 characters; a Code 128 symbol carries at most 1,000."},
        {"QR Code", QString(10 << 20, QLatin1Char('7')),
         "The value is too long for the chosen QR Code version and level."},
        {"PDF417", QString(10 << 20, QLatin1Char('7')), "The value cannot be encoded as PDF417."},
        {"DataMatrix", QString(10 << 20, QLatin1Char('7')), "The value is too long for a Data Matrix symbol."},
        // C10X10 holds 6 digits.
        {"DataMatrix", QStringLiteral("12345678901234567890"), "The value does not fit the chosen Data Matrix size.",
         1},
        // C18X18 holds 18 codewords; 40 bytes of UTF-8 take 42 even in Base 256.
        {"DataMatrix", QString(20, QChar(0x00E9)), "The value does not fit the chosen Data Matrix size.", 5},
    };
    for (const Row &row : rows) {
        QString error;
        BarcodeSettings s = settingsFor(row.title, QStringLiteral("0123"));
        s.dm_format_index = row.dataMatrixFormat;
        EXPECT_TRUE(barcodeImageFor(s, row.value, {}, {}, 300, &error).isNull()) << row.title;
        EXPECT_EQ(error, QLatin1String(row.reason)) << row.title;
    }
}

TEST(BarcodeEngine, CustomResolutionSetsTheBitmapsPixels)
{
    // A 10 x 10 Data Matrix page (12 modules with its border) at 1200 dpi is
    // 200 pixels; "Auto" gives 600 dpi. (A QR Code is drawn at the
    // resolution of the device it is shown on instead.)
    BarcodeSettings s = settingsFor(QStringLiteral("DataMatrix"), QStringLiteral("0123"));
    s.dpi_val_index = int(dpiItems().indexOf(QStringLiteral("Custom")));
    s.dpi_custom_val = QStringLiteral("1200");
    const BarcodeSymbol custom = Generate_Barcode_Variable(s, s.two_d_font_val, {}, {}, barcodeDpi(s));
    EXPECT_EQ(custom.image_2d.bitmap().width(), 200);
    s.dpi_val_index = 0;
    const BarcodeSymbol automatic = Generate_Barcode_Variable(s, s.two_d_font_val, {}, {}, barcodeDpi(s));
    EXPECT_EQ(automatic.image_2d.bitmap().width(), 100);
}
