#include "barcodes/symbologies/SymCode39.h"
#include "barcodes/symbologies/TextMeasurer.h"

#include <gtest/gtest.h>

using namespace barcodes;

TEST(QtTextMeasurer, MeasuresInPoints)
{
    QtTextMeasurer measurer;
    QFont ten = SymbolStyle::defaultFont();
    QFont twenty = ten;
    twenty.setPointSizeF(20.0);
    // A serif face's capitals stand at roughly two thirds of the size.
    const double cap = measurer.capHeight(ten);
    EXPECT_GT(cap, 5.0);
    EXPECT_LT(cap, 8.5);
    EXPECT_NEAR(measurer.capHeight(twenty), 2 * cap, 0.6);

    const QSizeF plain = measurer.textSize("HEADER", ten);
    EXPECT_GT(plain.width(), 20.0);
    EXPECT_LT(plain.width(), 60.0);
    EXPECT_NEAR(measurer.textSize("HEADER", twenty).width(), 2 * plain.width(), 1.5);
    // Kerning adds its space after each character.
    EXPECT_NEAR(measurer.textSize("HEADER", ten, 2.0).width(), plain.width() + 6 * 2.0, 1.0);
}

TEST(QtTextMeasurer, SymbolsMeasureWithTheStyleFonts)
{
    auto symbol = SymBarcode::create<SymCode39Barcode>("ABC");
    SymbolStyle style;
    style.header_font.setPointSizeF(20.0);
    symbol->setStyle(style);
    symbol->setHeader("Header");
    symbol->setFooter("Header");
    symbol->setCaptionFontSize(10);
    symbol->setHeaderFontSize(20);
    symbol->setFooterFontSize(10);
    EXPECT_GT(symbol->captionHeight(), 0.0f);
    EXPECT_NEAR(symbol->headerHeight(), 2 * symbol->footerHeight(), 0.01);
    EXPECT_NEAR(symbol->headerWidth(), 2 * symbol->footerWidth(), 1.5);
}
