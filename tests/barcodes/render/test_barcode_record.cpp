// The settings record's 2-D text record measures with the record's fonts,
// which resolve to a face with Times metrics, in points.

#include "barcodes/render/BarcodeRecord.h"
#include "tests/barcodes/symbologies/FixedMeasurer.h"

#include <QFontInfo>
#include <gtest/gtest.h>

using namespace barcodes;

TEST(BarcodeGen, TwoDimensionalRecordMeasuresWithItsOwnFonts)
{
    Barcode_Gen gen;
    EXPECT_EQ(gen.header(), QString("")); // never a null text
    gen.setTextMeasurer(std::make_shared<quorvant::test::FixedMeasurer>());
    gen.setHeader(QStringLiteral("HEADER"));
    gen.setFooter(QStringLiteral("FOOT"));
    gen.setCaptionFontSize(99.0f);
    gen.setFooterFontSize(8.0f);
    // Capitals of 10 points: 1.35 x 10 / 72 inch whatever size was passed.
    EXPECT_NEAR(gen.captionHeight(), 0.1875, 1e-6);
    // Four characters with 2 points of letter spacing each.
    EXPECT_FLOAT_EQ(gen.footerWidth(), 28.0f);
}

TEST(BarcodeGen, FontsMeasureInPointsWithTimesMetrics)
{
    // "Times New Roman" must resolve to a face of the same metrics, or every
    // text is measured wrongly: capitals of 10 pt Times are about 6.6 pt
    // whatever the screen's resolution.
    Barcode_Gen gen;
    const QFontInfo info(gen.header_font);
    EXPECT_TRUE(info.family() == QLatin1String("Times New Roman") || info.family() == QLatin1String("Liberation Serif"))
        << info.family().toStdString();
    gen.setHeader(QStringLiteral("HEADER"));
    gen.setHeaderFontSize(10.0f);
    EXPECT_NEAR(gen.headerHeight(), 1.35 * 6.6 / 72.0, 0.015);
    // The letters alone, without the spacing they are drawn with.
    const float tenPoints = gen.headerWidth() - 6 * kHeaderFooterKerning;
    gen.header_font.setPointSizeF(20.0);
    gen.setHeaderFontSize(20.0f);
    EXPECT_NEAR(gen.headerHeight(), 2 * 1.35 * 6.6 / 72.0, 0.03);
    EXPECT_NEAR(gen.headerWidth() - 6 * kHeaderFooterKerning, 2 * tenPoints, 1.5);
    // Kerning adds its space after each character.
    const QtTextMeasurer measurer;
    EXPECT_NEAR(measurer.textSize("HEADER", gen.header_font, 2.0).width(), 2 * tenPoints + 6 * 2.0, 1.5);
}
