// The settings record: its 2-D symbol record, its measurements and the
// process-wide values that other layers read.

#include "barcodes/designer/Barcode_Gen.h"
#include "tests/barcodes/symbologies/FixedMeasurer.h"

#include <QFontInfo>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace barcodes;

TEST(BarcodeGen, LiveRecordIsTheDefaultInstanceWithItsStartValues)
{
    ASSERT_NE(Barcode_Gen_Var, nullptr);
    EXPECT_EQ(Barcode_Gen_Var, &Barcode_Gen::defaultInstance());
    EXPECT_EQ(USED_DPI_VALUE.load(), 600);
    EXPECT_EQ(Measument_Unit_Is.load(), 1);
    EXPECT_EQ(Barcode_module_size.load(), 1);

    // "Times New Roman" has to resolve to a serif face of the same metrics
    // here, or every caption, header and footer is measured wrongly.
    const QFontInfo info(Barcode_Gen_Var->value_font);
    EXPECT_TRUE(info.family().contains(QLatin1String("Times New Roman"))
                || info.family().contains(QLatin1String("Liberation Serif")))
        << info.family().toStdString();
    EXPECT_DOUBLE_EQ(Barcode_Gen_Var->header_font.pointSizeF(), 10.0);
}

TEST(BarcodeGen, TwoDimensionalRecordTextsBeforeAnythingIsSet)
{
    Barcode_Gen gen;
    EXPECT_TRUE(gen.caption().isNull());
    EXPECT_FALSE(gen.header().isNull());
    EXPECT_EQ(gen.header(), QString(""));
    EXPECT_EQ(gen.footer(), QString(""));
}

TEST(BarcodeGen, FontSizesMeasureHeightsFromTheRecordsFontsAndWidthsOfItsTexts)
{
    Barcode_Gen gen;
    gen.setTextMeasurer(std::make_shared<quorvant::test::FixedMeasurer>());
    gen.setHeader(QStringLiteral("HEADER"));
    gen.setFooter(QStringLiteral("FOOT"));

    gen.setCaptionFontSize(99.0f);
    gen.setHeaderFontSize(12.0f);
    gen.setFooterFontSize(8.0f);

    // Capitals of 10 points: 1.35 x 10 / 72 inch, whatever size was passed.
    EXPECT_NEAR(gen.captionHeight(), 0.1875, 1e-6);
    EXPECT_NEAR(gen.headerHeight(), 0.1875, 1e-6);
    EXPECT_NEAR(gen.footerHeight(), 0.1875, 1e-6);
    EXPECT_FLOAT_EQ(gen.caption_fontSize(), 99.0f);
    EXPECT_FLOAT_EQ(gen.header_fontSize(), 12.0f);
    EXPECT_FLOAT_EQ(gen.headerWidth(), 30.0f);
    EXPECT_FLOAT_EQ(gen.footerWidth(), 20.0f);
}

TEST(BarcodeGen, RealFontsGiveCaptionHeightsAndWidthsInPoints)
{
    // 10 pt Times: capitals about 6.6 pt, so about 0.12 inch; six capitals
    // about 40 pt wide. Measuring in screen pixels would be a third larger.
    Barcode_Gen gen;
    gen.setHeader(QStringLiteral("HEADER"));
    gen.setHeaderFontSize(10.0f);
    EXPECT_NEAR(gen.headerHeight(), 1.35 * 6.6 / 72.0, 0.015);
    EXPECT_GT(gen.headerWidth(), 30.0f);
    EXPECT_LT(gen.headerWidth(), 50.0f);
}

TEST(BarcodeGen, BarWidthFromMils)
{
    EXPECT_NEAR(barWidthFromMils(13.0f), 0.936f, 1e-6);
    EXPECT_NEAR(barWidthFromMils(20.0f), 1.44f, 1e-6);
}

TEST(BarcodeGen, MeasuresOnAWorkerThread)
{
    // A batch run measures the record's texts from its own thread.
    Barcode_Gen gen;
    float onWorker = 0.0f;
    std::thread worker([&] {
        gen.setCaptionFontSize(10.0f);
        onWorker = gen.captionHeight();
    });
    worker.join();
    EXPECT_NEAR(onWorker, 1.35 * 6.6 / 72.0, 0.015);
}
