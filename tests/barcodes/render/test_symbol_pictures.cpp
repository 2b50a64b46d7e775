// Pictures of symbols as the designer lays them out, inspected pixel by
// pixel: header and footer lines fit the picture, and the four-state postal
// symbols print only the texts that are switched on, below their header.

#include "barcodes/render/BarcodeSize.h"
#include "barcodes/symbologies/Symbologies.h"
#include "tests/barcodes/render/RenderTestSupport.h"

using namespace barcodes;
using namespace quorvant::test;

namespace {

constexpr double kDpi = 288;

class SymbolPictures : public LiveSettingsTest {
protected:
    void SetUp() override
    {
        LiveSettingsTest::SetUp();
        // Bars black, value text red, header and footer blue.
        gen().bar_val_clr = Qt::red;
        gen().bar_hdr_clr = gen().bar_ftr_clr = Qt::blue;
    }

    static void layOut(SymBarcode &s, const QString &header, bool texts)
    {
        Barcode_Gen &g = gen();
        g.captionCheckbox = g.hideHeaderCheckbox = g.hideFooterCheckbox = texts ? 0 : 1;
        s.setStyle(g.symbolStyle());
        s.setHeader(header);
        s.setFooter(header);
        s.setPrintsCaption(texts);
        s.setPrintsHeader(texts);
        s.setPrintsFooter(texts);
        s.setCaptionFontSize(10);
        s.setHeaderFontSize(10);
        s.setFooterFontSize(10);
        Set_Barcode_Height(g, s);
        s.calculateWidth();
        s.setWidth(Set_Linear_Barcode_Width(g, s));
    }
};

} // namespace

TEST_F(SymbolPictures, HeaderAndFooterWiderThanTheSymbolWidenThePicture)
{
    // Drawn with 2 points of letter spacing, a long line is far wider than
    // its plain measure; none of it may fall outside the picture.
    auto s = SymBarcode::create<SymEAN8Barcode>("9638507");
    layOut(*s, QStringLiteral("A HEADER LINE MUCH WIDER THAN THE SYMBOL"), true);
    const platform::Image picture = imageFromBarcode(*s);
    const Scan scan(picture, kDpi);
    const double width = picture.size().width();
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
            layOut(*s, QStringLiteral("HEADER"), texts);
            const Scan scan(imageFromBarcode(*s), kDpi);
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
        gen().HeightText = QString::fromLatin1(barHeight);
        std::vector<std::unique_ptr<SymBarcode>> symbols;
        symbols.push_back(SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A"));
        symbols.push_back(SymBarcode::create<JapanPostBarcode>("1234567ABC"));
        symbols.push_back(SymBarcode::create<SymPostnetBarcode>("12345"));
        for (const auto &s : symbols) {
            layOut(*s, QStringLiteral("HEADER"), true);
            const QImage bitmap = imageFromBarcode(*s).toBitmap(kDpi, Qt::white).convertToFormat(QImage::Format_RGB32);
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
