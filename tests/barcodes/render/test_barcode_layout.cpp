// The layout: lengths typed in the designer's unit become points, hidden
// texts take no room, a left-right margin adds its allowance; the designer's
// fixed operations store the same numbers, and the picture has the size laid
// out.

#include "barcodes/render/BarcodeImage.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/symbologies/SymPostal.h"
#include "tests/barcodes/symbologies/FixedMeasurer.h"

#include <gtest/gtest.h>

using namespace barcodes;

namespace {

constexpr double kCm = 28.346472; // points in a centimetre
constexpr double kMm = kCm / 10;
// Measured with capitals of 10 points: every text line is 0.1875 inch (13.5
// points) high and every character 5 points wide, a header or footer
// character 7 with the letter spacing it is drawn with.
constexpr double kLine = 13.5;

const auto measurer = std::make_shared<quorvant::test::FixedMeasurer>();

// Eight modules of 0.936 points, a header 90 points wide, a footer 20.
std::unique_ptr<SymBarcode> symbol(bool caption, bool header, bool footer)
{
    auto s = SymBarcode::create<SymBarcode>(std::string("AB"), caption);
    s->setTextMeasurer(measurer);
    s->setHeader(QStringLiteral("A LONG HEADER TEXT"));
    s->setFooter(QStringLiteral("FOOT"));
    s->setPrintsHeader(header);
    s->setPrintsFooter(footer);
    s->setCaptionFontSize(10);
    s->setHeaderFontSize(10);
    s->setFooterFontSize(10);
    return s;
}

} // namespace

TEST(BarcodeLayout, LinearSizesFromTheTypedFields)
{
    const struct {
        const char *what;
        int unit;
        const char *height, *margin, *lrMargin;
        bool header, footer, hideHeader;
        double expectedHeight, expectedWidth;
    } cases[] = {
        {"caption", 1, "1", "0.1", "0.1", false, false, false, kCm + kLine + 3 * 0.1 * kCm, 126 + 0.2 * kCm + 15},
        {"every text", 1, "1", "0.1", "0.1", true, true, false, kCm + 3 * (kLine + 0.1 * kCm) + 0.2 * kCm,
         126 + 0.2 * kCm + 15},
        {"millimetres", 2, "10", "1", "1", false, false, false, 10 * kMm + kLine + 3 * kMm, 126 + 2 * kMm + 15},
        {"inches, a leading number", 0, " 0.5in", "0", "0", false, false, false, 36 + kLine, 126},
        // A hidden header neither widens the picture nor keeps its margin;
        // only a positive left-right margin earns the allowance.
        {"hidden header", 1, "1", "0.1", "-0.1", true, false, true, kCm + kLine + 3 * 0.1 * kCm, 28 - 0.2 * kCm},
        {"nothing typed", 1, "cm", "", "", false, false, false, kLine, 126},
    };
    for (const auto &c : cases) {
        Barcode_Gen settings;
        settings.HeightText = QString::fromLatin1(c.height);
        settings.val_mar_Text = settings.hdr_mar_Text = settings.ftr_mar_Text = settings.TB_mar_Text =
            QString::fromLatin1(c.margin);
        settings.LR_mar_Text = QString::fromLatin1(c.lrMargin);
        settings.hideHeaderCheckbox = c.hideHeader ? 1 : 0;
        const BarcodeLayout layout = layoutLinear(settings, *symbol(true, c.header && !c.hideHeader, c.footer), c.unit);
        EXPECT_NEAR(layout.height, c.expectedHeight, 1e-3) << c.what;
        EXPECT_NEAR(layout.width, c.expectedWidth, 1e-3) << c.what;
        EXPECT_EQ(layout.style.header_margin, c.hideHeader ? 0.0f : layout.style.TB_margin) << c.what;
    }
}

TEST(BarcodeLayout, TwoDimensionalFrameCountsNoValueTextAndTheFixedOperationsAgree)
{
    Barcode_Gen gen;
    gen.setTextMeasurer(measurer);
    gen.setHeader(QStringLiteral("HEAD"));
    gen.setFooter(QStringLiteral("A FOOTER TEXT LONGER THAN THE SYMBOL")); // 252 points
    gen.setHeaderFontSize(10);
    gen.setFooterFontSize(10);
    gen.val_mar_Text = QStringLiteral("3");
    BarcodeLayout layout = layout2D(gen, QSizeF(100, 100), 1);
    EXPECT_NEAR(layout.height, 100 + 2 * (kLine + 0.1 * kCm) + 0.2 * kCm, 1e-3);
    EXPECT_NEAR(layout.width, 252 + 0.2 * kCm + 15, 1e-3);

    // The designer's fixed operations store the same.
    Set_2d_Barcode_Height(gen, QSizeF(100, 100), 1);
    Set_2d_Barcode_Width(gen, QSizeF(100, 100), 1);
    EXPECT_EQ(QSizeF(gen.width(), gen.height()), QSizeF(layout.width, layout.height));
    EXPECT_EQ(gen.symbolStyle(), layout.style);

    gen.hideHeaderCheckbox = gen.hideFooterCheckbox = 1;
    gen.LR_mar_Text = QStringLiteral("0");
    layout = layout2D(gen, QSizeF(100, 100), 1);
    EXPECT_NEAR(layout.height, 100 + 0.2 * kCm, 1e-3);
    EXPECT_FLOAT_EQ(layout.width, 100.0f);
}

TEST(BarcodeLayout, FixedLinearOperationsInAnyOrderGiveTheLayout)
{
    // The designer's own sequence, however often it runs, stores the
    // layout's numbers; for Japan Post too, whose module width follows the
    // height the layout gives it.
    Barcode_Gen gen;
    gen.HeightText = QStringLiteral("10");
    gen.LR_mar_Text = QStringLiteral("2");
    std::unique_ptr<SymBarcode> symbols[] = {symbol(true, true, true), SymBarcode::create<JapanPostBarcode>("1234567")};
    for (const auto &s : symbols) {
        const BarcodeLayout layout = layoutLinear(gen, *s, 2);
        for (int i = 0; i < 2; ++i) {
            Set_Barcode_Height(gen, *s, 2);
            s->calculateWidth();
            s->setWidth(Set_Linear_Barcode_Width(gen, *s, 2));
        }
        EXPECT_EQ(gen.symbolStyle(), layout.style);
        EXPECT_EQ(s->style(), layout.style);
        const QSizeF size(s->width(), s->height());
        applyLayout(*s, layout);
        EXPECT_EQ(size, QSizeF(s->width(), s->height())) << s->description();
        EXPECT_EQ(size.width(), layout.width);
    }
}

TEST(BarcodeLayout, PictureHasTheSizeLaidOut)
{
    Barcode_Gen settings;
    settings.HeightText = QStringLiteral("1");
    for (bool header : {false, true}) {
        settings.hideHeaderCheckbox = header ? 0 : 1;
        auto s = symbol(true, header, true);
        const BarcodeLayout layout = layoutLinear(settings, *s, 1);
        applyLayout(*s, layout);
        EXPECT_EQ(imageFromBarcode(*s, layout.style).size(), QSizeF(layout.width, layout.height)) << header;
    }
}

TEST(BarcodeLayout, FieldsReadTheirLeadingNumber)
{
    // As a text field's float value reads a typed length.
    const struct {
        const char *text;
        float value;
    } cases[] = {{"  1.5cm", 1.5f}, {"-.5e1", -5.0f}, {"+3.25e+1x", 32.5f}, {"2e", 2.0f},
                 {"1.", 1.0f},      {"cm 3", 0.0f},   {".", 0.0f},          {"", 0.0f},
                 // Whole numbers, short and long.
                 {"0", 0.0f},       {"-12", -12.0f},  {" 300 dpi", 300.0f}, {"007", 7.0f},
                 {"9999999", 9999999.0f}, {"123456789", 123456789.0f}};
    for (const auto &c : cases)
        EXPECT_FLOAT_EQ(fieldFloatValue(QString::fromLatin1(c.text)), c.value) << c.text;
}
