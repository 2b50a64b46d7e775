// Symbols laid out as the designer does and drawn by the renderer, read back
// by a real barcode reader; four-state postal bars measured in the picture.

#include "barcodes/render/BarcodeSize.h"
#include "barcodes/render/SymBarcodeOffscreenView.h"
#include "barcodes/symbologies/Symbologies.h"
#include "tests/barcodes/render/RenderTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <ZXing/DecodeHints.h>
#include <set>
#include <thread>
#include <utility>

using namespace barcodes;
using namespace quorvant::test;

namespace {

// Zero-margin pictures aside, the defaults give modules of 0.936 pt: 3.9
// pixels at 300 dpi.
constexpr double kDpi = 300;

class RenderDecode : public LiveSettingsTest {
protected:
    // Header, footer, font sizes, height and width as the designer sets them.
    static void layOut(SymBarcode &s, const QString &header = QStringLiteral("HEADER"),
                       const QString &footer = QStringLiteral("FOOTER"))
    {
        Barcode_Gen &g = gen();
        s.setStyle(g.symbolStyle());
        s.setHeader(header);
        s.setFooter(footer);
        s.setPrintsHeader(g.hideHeaderCheckbox != 1);
        s.setPrintsFooter(g.hideFooterCheckbox != 1);
        s.setCaptionFontSize(float(g.value_font.pointSizeF()));
        s.setHeaderFontSize(float(g.header_font.pointSizeF()));
        s.setFooterFontSize(float(g.footer_font.pointSizeF()));
        Set_Barcode_Height(g, s);
        s.calculateWidth();
        s.setWidth(Set_Linear_Barcode_Width(g, s));
    }

    static QImage picture(SymBarcode &s)
    {
        layOut(s);
        return imageFromBarcode(s).toBitmap(kDpi, Qt::white);
    }

    static std::string read(SymBarcode &s, ZXing::BarcodeFormat format)
    {
        const Decoded d = decodeBarcode(picture(s), format);
        EXPECT_TRUE(d.valid) << s.content();
        return d.text;
    }

    static std::string readWith(SymBarcode &s, ZXing::DecodeHints hints)
    {
        hints.setTryHarder(true);
        const Decoded d = decodeBarcode(picture(s), hints);
        EXPECT_TRUE(d.valid) << s.content();
        return d.text;
    }

    static std::string withCheck(const SymBarcode &s) { return s.content() + char(s.checkDigit()); }
};

} // namespace

TEST_F(RenderDecode, RetailSymbols)
{
    for (const char *value : {"03600029145", "12345678901", "00000000000"}) {
        auto s = SymBarcode::create<SymUPCABarcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(read(*s, ZXing::BarcodeFormat::UPCA), withCheck(*s));
    }
    for (const char *value : {"04252614", "0425261", "01200000345"}) {
        auto s = SymBarcode::create<SymUPCEBarcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(read(*s, ZXing::BarcodeFormat::UPCE), withCheck(*s)) << value;
    }
    for (const char *value : {"400638133393", "590123412345", "978020137962"}) {
        auto s = SymBarcode::create<SymEAN13Barcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(read(*s, ZXing::BarcodeFormat::EAN13), withCheck(*s));
    }
    for (const char *value : {"9638507", "1234567", "5512345"}) {
        auto s = SymBarcode::create<SymEAN8Barcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(read(*s, ZXing::BarcodeFormat::EAN8), withCheck(*s));
    }
}

TEST_F(RenderDecode, Code128WithCaptionOnTopAndSpreadCaption)
{
    for (bool top : {false, true}) {
        gen().showinTop = top;
        gen().kerning_value = top;
        for (const char *value : {"12345678", "Hello World", "CODE-128", "a1b2c3", "0"}) {
            auto s = SymCode128Barcode::create(value, SymCode128Barcode::CodeSetAuto);
            ASSERT_TRUE(s->isContentValid()) << value;
            EXPECT_EQ(read(*s, ZXing::BarcodeFormat::Code128), value);
        }
    }
    auto c = SymCode128Barcode::create("123456", SymCode128Barcode::CodeSetC);
    EXPECT_EQ(read(*c, ZXing::BarcodeFormat::Code128), "123456");
}

TEST_F(RenderDecode, Code39PlainAndFullAscii)
{
    for (const char *value : {"CODE 39", "0123456789", "A-B.C $/+%"}) {
        auto s = SymBarcode::create<SymCode39Barcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(read(*s, ZXing::BarcodeFormat::Code39), value);
    }
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39);
    hints.setTryCode39ExtendedMode(true);
    for (const char *value : {"Hello World", "mixed Case 123!?"}) {
        auto s = SymBarcode::create<SymExtendedCode39Barcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(readWith(*s, hints), value);
    }
}

TEST_F(RenderDecode, CodabarAndInterleavedTwoOfFive)
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Codabar);
    hints.setReturnCodabarStartEnd(true);
    for (const char *value : {"A1234B", "B0123456789C", "C-$:/.+D"}) {
        auto s = SymBarcode::create<SymCodabarBarcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(readWith(*s, hints), value);
    }
    for (const char *value : {"123456", "00012345", "9876543210"}) {
        auto s = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>(value);
        ASSERT_TRUE(s->isContentValid()) << value;
        EXPECT_EQ(read(*s, ZXing::BarcodeFormat::ITF), value);
    }
}

TEST_F(RenderDecode, DrawsOnAWorkerThread)
{
    // Batch runs make their barcode images away from the main thread.
    auto s = SymCode128Barcode::create("BATCH-0042", SymCode128Barcode::CodeSetAuto);
    layOut(*s);
    QImage bitmap;
    std::thread worker([&] { bitmap = imageFromBarcode(*s).toBitmap(kDpi, Qt::white); });
    worker.join();
    const Decoded d = decodeBarcode(bitmap, ZXing::BarcodeFormat::Code128);
    EXPECT_TRUE(d.valid);
    EXPECT_EQ(d.text, "BATCH-0042");
}

TEST_F(RenderDecode, WideHeaderAndColoursStillRead)
{
    gen().barcode_clr = QColor(0, 0, 80);
    gen().bar_back_clr = QColor(255, 255, 220);
    gen().LR_mar_Text = QStringLiteral("0");
    auto s = SymCode128Barcode::create("QUORVANT", SymCode128Barcode::CodeSetAuto);
    layOut(*s, QStringLiteral("A HEADER MUCH WIDER THAN THE SYMBOL UNDER IT"), QStringLiteral("F"));
    const platform::Image image = imageFromBarcode(*s);
    EXPECT_NEAR(image.size().width(), s->headerWidth(), 1e-3);
    const Decoded d = decodeBarcode(image.toBitmap(kDpi, Qt::white), ZXing::BarcodeFormat::Code128);
    EXPECT_TRUE(d.valid);
    EXPECT_EQ(d.text, "QUORVANT");
}

TEST_F(RenderDecode, PdfPageIsTheFrameAndReadsBack)
{
    auto s = SymCode128Barcode::create("PDF-128", SymCode128Barcode::CodeSetAuto);
    layOut(*s);
    const QByteArray pdf = pdfFromBarcode(*s);
    ASSERT_TRUE(pdf.startsWith("%PDF"));

    TempFolder folder;
    const QString path = folder.file(QStringLiteral("symbol.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished());
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const auto m = size.match(out);
    ASSERT_TRUE(m.hasMatch()) << out.toStdString();
    // PDF pages come in whole points.
    const auto view = SymBarcodeOffscreenView::initWithBarcode(*s);
    EXPECT_NEAR(m.captured(1).toDouble(), view->frame().width(), 0.5);
    EXPECT_NEAR(m.captured(2).toDouble(), view->frame().height(), 0.5);

    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), path, folder.file(QStringLiteral("page"))});
    ASSERT_TRUE(raster.waitForFinished());
    const QImage page(folder.file(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    const Decoded d = decodeBarcode(page, ZXing::BarcodeFormat::Code128);
    EXPECT_TRUE(d.valid);
    EXPECT_EQ(d.text, "PDF-128");
}

namespace {

// Top and bottom (points from the top of the picture) of the black ink in
// the column of module `index`.
std::pair<double, double> barExtent(const Scan &scan, const SymBarcodeOffscreenView &view, const SymBarcode &s,
                                    int index)
{
    const double n = double(s.completeBarcode().size());
    const double x = (view.frame().width() - n * s.barWidth()) / 2 + (index + 0.5) * s.barWidth();
    const QRectF ink = scan.extent(isBlack, x - 0.2, x + 0.2);
    return {ink.top(), ink.bottom()};
}

// Only the bars stay black.
void textsInColour()
{
    barcodes::Barcode_Gen_Var->bar_val_clr = Qt::red;
    barcodes::Barcode_Gen_Var->bar_hdr_clr = Qt::blue;
    barcodes::Barcode_Gen_Var->bar_ftr_clr = Qt::blue;
}

} // namespace

TEST_F(RenderDecode, FourStateBarsRunFromTheirBottomToTheirTop)
{
    textsInColour();
    auto rm = SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A");
    auto jp = SymBarcode::create<JapanPostBarcode>("1234567ABC");
    for (SymBarcode *s : {static_cast<SymBarcode *>(rm.get()), static_cast<SymBarcode *>(jp.get())}) {
        layOut(*s);
        const auto view = SymBarcodeOffscreenView::initWithBarcode(*s);
        const Scan scan(imageFromBarcode(*s), 288);
        const Barcode_Gen &g = gen();
        // Bars stand on caption, footer and their margins.
        const double baseline = s->captionHeight() * 72 + s->footerHeight() * 72 + g.value_margin
                              + g.footer_margin + g.TB_margin;
        const double H = view->frame().height();
        const std::string modules = s->completeBarcode();
        std::set<std::pair<int, int>> shapes;
        for (int i = 0; i < int(modules.size()); ++i) {
            if (modules[std::size_t(i)] != '1')
                continue;
            const auto [top, bottom] = barExtent(scan, *view, *s, i);
            EXPECT_NEAR(bottom, H - baseline - s->barBottom(i), 0.3) << s->content() << " bar " << i;
            EXPECT_NEAR(top, H - baseline - s->barTop(i), 0.3) << s->content() << " bar " << i;
            shapes.insert({int(std::lround(top * 10)), int(std::lround(bottom * 10))});
        }
        // Trackers, ascenders, descenders and full bars all differ.
        EXPECT_EQ(shapes.size(), 4u) << s->content();
    }
}

TEST_F(RenderDecode, PostnetBarsShareTheirBaseline)
{
    textsInColour();
    auto s = SymBarcode::create<SymPostnetBarcode>("12345");
    layOut(*s);
    const auto view = SymBarcodeOffscreenView::initWithBarcode(*s);
    const Scan scan(imageFromBarcode(*s), 288);
    const std::string modules = s->completeBarcode();
    std::set<int> bottoms;
    std::set<int> heights;
    for (int i = 0; i < int(modules.size()); ++i) {
        if (modules[std::size_t(i)] != '1')
            continue;
        const auto [top, bottom] = barExtent(scan, *view, *s, i);
        bottoms.insert(int(std::lround(bottom * 4)));
        heights.insert(int(std::lround((bottom - top) * 2)));
        EXPECT_NEAR(bottom - top, s->barTop(i), 0.3) << "bar " << i;
    }
    EXPECT_EQ(bottoms.size(), 1u);
    EXPECT_EQ(heights.size(), 2u); // full and half bars
}
