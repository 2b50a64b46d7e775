// Picture sizes: margins typed in the designer's unit become points, hidden
// texts take no room, and a left-right margin adds its allowance.

#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/render/BarcodeImage.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/symbologies/SymBarcode.h"
#include "tests/barcodes/symbologies/FixedMeasurer.h"

#include <gtest/gtest.h>

using namespace barcodes;

namespace {

constexpr double kCm = 28.346472; // points in a centimetre

// Measured with capitals of 10 points: every text line is 0.1875 inch (13.5
// points) high and every character 5 points wide.
class BarcodeSize : public ::testing::Test {
protected:
    void SetUp() override { gen.setTextMeasurer(measurer); }
    void TearDown() override { Measument_Unit_Is = 1; }

    std::unique_ptr<SymBarcode> symbol(bool caption, bool header, bool footer)
    {
        auto s = SymBarcode::create<SymBarcode>(std::string("AB"), caption);
        s->setTextMeasurer(measurer);
        s->setHeader(QStringLiteral("A LONG HEADER TEXT")); // 90 points
        s->setFooter(QStringLiteral("FOOT"));
        s->setPrintsHeader(header);
        s->setPrintsFooter(footer);
        s->setCaptionFontSize(10);
        s->setHeaderFontSize(10);
        s->setFooterFontSize(10);
        return s;
    }

    std::shared_ptr<quorvant::test::FixedMeasurer> measurer = std::make_shared<quorvant::test::FixedMeasurer>();
    Barcode_Gen gen;
};

} // namespace

TEST(BarcodeSizeFields, UnitsAndLeadingNumbers)
{
    EXPECT_NEAR(lengthInPoints(10.0f, 2), kCm, 1e-4);
    EXPECT_NEAR(lengthInPoints(1.0f, 7), 72.0, 1e-6); // unknown units count as inches
    EXPECT_FLOAT_EQ(fieldFloatValue(QStringLiteral("  1.5cm")), 1.5f);
    EXPECT_FLOAT_EQ(fieldFloatValue(QStringLiteral("-.5e1")), -5.0f);
    EXPECT_FLOAT_EQ(fieldFloatValue(QStringLiteral("cm 3")), 0.0f);
    EXPECT_FLOAT_EQ(fieldFloatValue(QString()), 0.0f);
}

TEST_F(BarcodeSize, LinearHeight)
{
    gen.HeightText = QStringLiteral("1");
    auto s = symbol(true, false, false);
    // Computing twice does not compound the margins.
    Set_Barcode_Height(gen, *s);
    Set_Barcode_Height(gen, *s);
    EXPECT_NEAR(s->height(), kCm + 13.5 + 0.1 * kCm + 2 * 0.1 * kCm, 1e-3);
    // The symbol's bar tops follow the margins just computed.
    EXPECT_NEAR(s->barTop(0), kCm, 1e-3);

    auto all = symbol(true, true, true);
    Set_Barcode_Height(gen, *all);
    EXPECT_NEAR(all->height(), kCm + 3 * (13.5 + 0.1 * kCm) + 2 * 0.1 * kCm, 1e-3);

    Measument_Unit_Is = 2; // millimetres
    gen.HeightText = QStringLiteral("10");
    gen.val_mar_Text = gen.TB_mar_Text = QStringLiteral("1");
    Set_Barcode_Height(gen, *s);
    EXPECT_NEAR(s->height(), 50.35, 0.01);

    // Hidden texts take no margin, however large it was typed.
    gen.hdr_mar_Text = gen.val_mar_Text = QStringLiteral("50");
    gen.hideHeaderCheckbox = gen.captionCheckbox = 1;
    Set_Barcode_Height(gen, *symbol(false, false, false));
    EXPECT_FLOAT_EQ(gen.header_margin, 0.0f);
    EXPECT_FLOAT_EQ(gen.value_margin, 0.0f);
}

TEST_F(BarcodeSize, LinearWidth)
{
    auto s = symbol(true, true, true);
    gen.LR_mar_Text = QStringLiteral("0");
    EXPECT_FLOAT_EQ(Set_Linear_Barcode_Width(gen, *s), 90.0f);
    s->setWidth(120.0f);
    EXPECT_FLOAT_EQ(Set_Linear_Barcode_Width(gen, *s), 120.0f);
    gen.LR_mar_Text = QStringLiteral("0.1");
    EXPECT_NEAR(Set_Linear_Barcode_Width(gen, *s), 120.0 + 2 * 0.1 * kCm + 15.0, 1e-3);
    EXPECT_FLOAT_EQ(s->width(), 120.0f); // the symbol is left alone
    // Only a positive margin earns the allowance.
    gen.LR_mar_Text = QStringLiteral("-0.1");
    EXPECT_NEAR(Set_Linear_Barcode_Width(gen, *s), 120.0 - 2 * 0.1 * kCm, 1e-3);

    // A hidden header does not widen the picture.
    s->setWidth(10.0f);
    gen.LR_mar_Text = QStringLiteral("0");
    gen.hideHeaderCheckbox = 1;
    EXPECT_FLOAT_EQ(Set_Linear_Barcode_Width(gen, *s), 20.0f);
}

TEST_F(BarcodeSize, TwoDimensionalFrame)
{
    gen.setHeader(QStringLiteral("HEAD"));
    gen.setFooter(QStringLiteral("A FOOTER TEXT LONGER THAN THE SYMBOL")); // 180 points
    gen.setHeaderFontSize(10);
    gen.setFooterFontSize(10);
    // The value margin is refreshed, but a 2-D symbol has no value text.
    gen.val_mar_Text = QStringLiteral("3");
    Set_2d_Barcode_Height(gen, QSizeF(100, 100));
    Set_2d_Barcode_Width(gen, QSizeF(100, 100));
    EXPECT_NEAR(gen.height(), 138.34, 0.01);
    EXPECT_NEAR(gen.value_margin, 3 * kCm, 1e-3);
    EXPECT_NEAR(gen.width(), 180.0 + 2 * 0.1 * kCm + 15.0, 1e-3);

    gen.hideHeaderCheckbox = gen.hideFooterCheckbox = 1;
    gen.LR_mar_Text = QStringLiteral("0");
    Set_2d_Barcode_Height(gen, QSizeF(100, 100));
    Set_2d_Barcode_Width(gen, QSizeF(100, 100));
    EXPECT_NEAR(gen.height(), 100.0 + 2 * 0.1 * kCm, 1e-3);
    EXPECT_FLOAT_EQ(gen.width(), 100.0f);
}

TEST_F(BarcodeSize, PictureIsFramedWithTheComputedSize)
{
    // What the card shows is exactly as large as computed here: the height
    // written into the symbol by the widest printed part plus the margins.
    gen.HeightText = QStringLiteral("1");
    for (bool header : {false, true}) {
        gen.hideHeaderCheckbox = header ? 0 : 1;
        auto s = symbol(true, header, true);
        Set_Barcode_Height(gen, *s);
        s->calculateWidth();
        s->setWidth(Set_Linear_Barcode_Width(gen, *s));
        const QSizeF size = imageFromBarcode(*s).size();
        // The header is 90 points wide, the footer 20, the bars 8 modules.
        EXPECT_NEAR(size.width(), (header ? 90.0 : 20.0) + 2 * 0.1 * kCm + 15.0, 1e-3) << header;
        EXPECT_NEAR(size.height(), kCm + (header ? 3 : 2) * (13.5 + 0.1 * kCm) + 2 * 0.1 * kCm, 1e-3) << header;
    }
}
