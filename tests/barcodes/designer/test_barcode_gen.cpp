// The live settings record and the measurements of its 2-D symbol record.

#include "barcodes/designer/Barcode_Gen.h"
#include "tests/barcodes/symbologies/FixedMeasurer.h"

#include <QFontInfo>
#include <gtest/gtest.h>

using namespace barcodes;

TEST(BarcodeGen, LiveRecordAndItsFonts)
{
    ASSERT_EQ(Barcode_Gen_Var, &Barcode_Gen::defaultInstance());
    EXPECT_EQ(USED_DPI_VALUE.load(), 600);
    EXPECT_EQ(Measument_Unit_Is.load(), 1);
    // "Times New Roman" must resolve to a face of the same metrics, or every
    // text is measured wrongly: capitals of 10 pt Times are about 6.6 pt, so
    // a line is given about 0.12 inch (pixel metrics would give a third more).
    const QFontInfo info(Barcode_Gen_Var->value_font);
    EXPECT_TRUE(info.family() == QLatin1String("Times New Roman") || info.family() == QLatin1String("Liberation Serif"))
        << info.family().toStdString();
    Barcode_Gen gen;
    gen.setHeader(QStringLiteral("HEADER"));
    gen.setHeaderFontSize(10.0f);
    EXPECT_NEAR(gen.headerHeight(), 1.35 * 6.6 / 72.0, 0.015);
    EXPECT_GT(gen.headerWidth(), 30.0f);
    EXPECT_LT(gen.headerWidth(), 50.0f);
}

TEST(BarcodeGen, TwoDimensionalRecordMeasuresWithItsOwnFonts)
{
    Barcode_Gen gen;
    EXPECT_TRUE(gen.caption().isNull());
    EXPECT_EQ(gen.header(), QString(""));
    EXPECT_FALSE(gen.footer().isNull());

    gen.setTextMeasurer(std::make_shared<quorvant::test::FixedMeasurer>());
    gen.setHeader(QStringLiteral("HEADER"));
    gen.setFooter(QStringLiteral("FOOT"));
    gen.setCaptionFontSize(99.0f);
    gen.setHeaderFontSize(12.0f);
    gen.setFooterFontSize(8.0f);
    // Capitals of 10 points: 1.35 x 10 / 72 inch whatever size was passed.
    EXPECT_NEAR(gen.captionHeight(), 0.1875, 1e-6);
    EXPECT_NEAR(gen.footerHeight(), 0.1875, 1e-6);
    EXPECT_FLOAT_EQ(gen.caption_fontSize(), 99.0f);
    EXPECT_FLOAT_EQ(gen.headerWidth(), 30.0f);
    EXPECT_FLOAT_EQ(gen.footerWidth(), 20.0f);
}
