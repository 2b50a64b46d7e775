// Pictures of symbols as the designer lays them out, inspected pixel by
// pixel: header and footer lines fit the picture, and the four-state postal
// symbols print only the texts that are switched on, below their header.

#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/symbologies/Symbologies.h"
#include "tests/barcodes/render/RenderTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;

namespace {

constexpr double kDpi = 288;

class SymbolPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Bars black, value text red, header and footer blue.
        settings.bar_val_clr = Qt::red;
        settings.bar_hdr_clr = settings.bar_ftr_clr = Qt::blue;
    }

    // The picture of `s` laid out as the designer does, with its texts all
    // shown or all hidden.
    platform::Image picture(SymBarcode &s, const QString &header, bool texts)
    {
        settings.captionCheckbox = settings.hideHeaderCheckbox = settings.hideFooterCheckbox = texts ? 0 : 1;
        s.setStyle(settings.symbolStyle());
        s.setHeader(header);
        s.setFooter(header);
        s.setPrintsCaption(texts);
        s.setPrintsHeader(texts);
        s.setPrintsFooter(texts);
        s.setCaptionFontSize(10);
        s.setHeaderFontSize(10);
        s.setFooterFontSize(10);
        const BarcodeLayout layout = layoutLinear(settings, s, 1);
        applyLayout(s, layout);
        return imageFromBarcode(s, layout.style);
    }

    Barcode_Gen settings;
};

} // namespace

TEST_F(SymbolPictures, HeaderAndFooterWiderThanTheSymbolWidenThePicture)
{
    // Drawn with 2 points of letter spacing, a long line is far wider than
    // its plain measure; none of it may fall outside the picture.
    auto s = SymBarcode::create<SymEAN8Barcode>("9638507");
    const platform::Image image = picture(*s, QStringLiteral("A HEADER LINE MUCH WIDER THAN THE SYMBOL"), true);
    const Scan scan(image, kDpi);
    const double width = image.size().width();
    const QRectF lines = scan.extent(isBlue);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_GT(lines.left(), 1.0);
    EXPECT_LT(lines.right(), width - 1.0);
}

TEST_F(SymbolPictures, FourStateSymbolsPrintOnlyTheTextsSwitchedOn)
{
    for (bool texts : {false, true}) {
        std::vector<std::unique_ptr<SymBarcode>> symbols;
        symbols.push_back(SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A"));
        symbols.push_back(SymBarcode::create<JapanPostBarcode>("1234567ABC"));
        for (const auto &s : symbols) {
            const Scan scan(picture(*s, QStringLiteral("HEADER"), texts), kDpi);
            EXPECT_EQ(scan.extent(isRed).isEmpty(), !texts) << s->content() << " caption " << texts;
            EXPECT_EQ(scan.extent(isBlue).isEmpty(), !texts) << s->content() << " header " << texts;
            EXPECT_FALSE(scan.extent(isBlack).isEmpty()) << s->content();
        }
    }
}

TEST_F(SymbolPictures, PostalBarsStayBelowTheHeader)
{
    // Postal bars keep the heights their standards give them, whatever bar
    // height the designer holds: a short one must not push them into the
    // header line or out of the picture.
    for (const char *barHeight : {"0.1", "0.6", "2"}) {
        settings.HeightText = QString::fromLatin1(barHeight);
        std::vector<std::unique_ptr<SymBarcode>> symbols;
        symbols.push_back(SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A"));
        symbols.push_back(SymBarcode::create<JapanPostBarcode>("1234567ABC"));
        symbols.push_back(SymBarcode::create<SymPostnetBarcode>("12345"));
        for (const auto &s : symbols) {
            const QImage bitmap =
                picture(*s, QStringLiteral("HEADER"), true).toBitmap(kDpi, Qt::white).convertToFormat(QImage::Format_RGB32);
            // Rows from the top: the last row of the header (blue above the
            // first bar row) and the first row with a bar.
            int firstBarRow = -1, headerEnd = -1;
            for (int y = 0; y < bitmap.height() && firstBarRow < 0; ++y) {
                for (int x = 0; x < bitmap.width(); ++x) {
                    if (isBlack(bitmap.pixel(x, y)))
                        firstBarRow = y;
                    else if (isBlue(bitmap.pixel(x, y)))
                        headerEnd = y;
                }
            }
            ASSERT_GE(firstBarRow, 0) << s->content();
            EXPECT_GT(headerEnd, 0) << s->content() << " at " << barHeight;
            EXPECT_LT(headerEnd, firstBarRow) << s->content() << " at " << barHeight;
        }
    }
}

TEST_F(SymbolPictures, BarsTakeWholeDevicePixelsOnBitmapsAndExactLengthsInVectors)
{
    // Code 128 elements are 1 to 4 modules wide. On a bitmap every module is
    // the same whole number of pixels, the exact width rounded down or up
    // (up when the picture has room), and no pixel of a bar row is grey; in
    // a vector picture every bar is its exact width in points.
    auto s = SymCode128Barcode::create("QUORVANT-0012345", SymCode128Barcode::CodeSetAuto);
    const platform::Image image = picture(*s, QStringLiteral("HEADER"), true);
    const double bw = s->barWidth();
    for (double dpi : {96.0, 203.0, 300.0, 600.0}) {
        const Scan scan(image, dpi);
        const double y = scan.extent(isBlack).center().y();
        const auto bars = scan.runs(isBlack, y);
        const auto all = scan.runs([](QRgb) { return true; }, y);
        const auto pure = scan.runs([](QRgb c) { return c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255); }, y);
        EXPECT_EQ(pure, all) << dpi << " dpi: grey pixels in the bar row";
        ASSERT_FALSE(bars.empty());
        double narrowest = 1e9;
        for (const auto &bar : bars)
            narrowest = std::min(narrowest, (bar.second - bar.first) * dpi / 72.0);
        const int module = int(std::lround(narrowest));
        EXPECT_GE(module, std::max(1, int(std::floor(bw * dpi / 72.0)))) << dpi;
        EXPECT_LE(module, int(std::ceil(bw * dpi / 72.0))) << dpi;
        for (std::size_t i = 0; i + 1 < bars.size(); ++i) {
            for (double length : {bars[i].second - bars[i].first, bars[i + 1].first - bars[i].second}) {
                const double modules = length * dpi / 72.0 / module;
                EXPECT_NEAR(modules, std::round(modules), 1e-6) << dpi << " dpi, element " << i;
                EXPECT_GE(std::round(modules), 1.0);
                EXPECT_LE(std::round(modules), 4.0);
            }
        }
        EXPECT_EQ(decodeBarcode(scan.bitmap(), ZXing::BarcodeFormat::Code128).text, "QUORVANT-0012345") << dpi;
    }

    // The SVG of the picture: bar widths in points, multiples of the module.
    const QString svg = QString::fromUtf8(image.toSvg());
    const QRegularExpression rect(QStringLiteral("<rect [^>]*width=\"([0-9.]+)\""));
    int barRects = 0;
    for (auto m = rect.globalMatch(svg); m.hasNext();) {
        const double width = m.next().captured(1).toDouble();
        if (width >= image.size().width() - 1e-3)
            continue; // the background
        ++barRects;
        EXPECT_NEAR(width / bw, std::round(width / bw), 1e-3) << width;
    }
    EXPECT_GT(barRects, 10);
}

TEST_F(SymbolPictures, RetailDigitsStandUnderTheirHalvesAndBesideTheGuards)
{
    // Each symbol with the number of digits left of the guards, under each
    // group, and right of the guards, and where each group starts (module).
    struct Case {
        std::unique_ptr<SymBarcode> symbol;
        int left;
        std::vector<std::pair<int, int>> groups; // first module, digit count
        int right;
    };
    Case cases[] = {
        {SymBarcode::create<SymUPCABarcode>("03600029145"), 1, {{10, 5}, {50, 5}}, 1},
        {SymBarcode::create<SymUPCEBarcode>("04252614"), 1, {{3, 6}}, 1},
        {SymBarcode::create<SymEAN13Barcode>("400638133393"), 1, {{3, 6}, {50, 6}}, 0},
        {SymBarcode::create<SymEAN8Barcode>("9638507"), 0, {{3, 4}, {36, 4}}, 0},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.symbol->content());
        const Scan scan(picture(*c.symbol, QString(), true), kDpi);
        const QRectF bars = scan.extent(isBlack);
        const QRectF caption = scan.extent(isRed);
        ASSERT_FALSE(caption.isEmpty());
        // Modules as drawn: whole pixels each, from the first bar to the last.
        const double bw = bars.width() / double(c.symbol->completeBarcode().size());
        const std::vector<std::pair<double, double>> digits = scan.columnRuns(isRed, caption.top(), caption.bottom());
        std::size_t expected = std::size_t(c.left + c.right);
        for (const auto &g : c.groups)
            expected += std::size_t(g.second);
        ASSERT_EQ(digits.size(), expected);

        // The side digits stand just outside the guard bars.
        if (c.left) {
            EXPECT_LT(digits.front().second, bars.left());
            EXPECT_GT(digits.front().second, bars.left() - 3 * bw);
        }
        if (c.right) {
            EXPECT_GT(digits.back().first, bars.right());
            EXPECT_LT(digits.back().first, bars.right() + 3 * bw);
        }
        // Every digit of a group stands under its own symbol character, so
        // the group is centred under its half between the guards.
        std::size_t d = std::size_t(c.left);
        for (const auto &[firstModule, count] : c.groups) {
            for (int k = 0; k < count; ++k, ++d) {
                const double centre = (digits[d].first + digits[d].second) / 2.0;
                const double character = bars.left() + (firstModule + 7 * k + 3.5) * bw;
                EXPECT_NEAR(centre, character, 1.5 * bw) << "digit " << d;
            }
        }
    }
}
