// Pictures of symbols as the designer lays them out, inspected pixel by
// pixel: header and footer lines fit the picture, and the four-state postal
// symbols print only the texts that are switched on, below their header.

#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/symbologies/Symbologies.h"
#include "tests/barcodes/render/RenderTestSupport.h"

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
