// Symbols laid out as the designer does and drawn by the renderer, read back
// by a real barcode reader; four-state postal bars measured in the picture.

#include "barcodes/render/BarcodeLayout.h"
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
#include <vector>

using namespace barcodes;
using namespace quorvant::test;

namespace {

// Zero-margin pictures aside, the defaults give modules of 0.936 pt: 3.9
// pixels at 300 dpi.
constexpr double kDpi = 300;

class RenderDecode : public LiveSettingsTest {
protected:
    // Header, footer, font sizes, height and width as the designer sets them.
    static void layOut(SymBarcode &s)
    {
        Barcode_Gen &g = gen();
        s.setStyle(g.symbolStyle());
        s.setHeader(QStringLiteral("HEADER"));
        s.setFooter(QStringLiteral("FOOTER"));
        s.setPrintsHeader(true);
        s.setPrintsFooter(true);
        s.setCaptionFontSize(10);
        s.setHeaderFontSize(10);
        s.setFooterFontSize(10);
        Set_Barcode_Height(g, s);
        s.calculateWidth();
        s.setWidth(Set_Linear_Barcode_Width(g, s));
    }

    // Reads the picture of each value's symbol and compares it with the
    // value (with its check character where `withCheck`).
    template <class T>
    static void readBack(std::initializer_list<const char *> values, ZXing::BarcodeFormat format,
                         bool withCheck = false)
    {
        ZXing::DecodeHints hints;
        hints.setFormats(format);
        readBack<T>(values, hints, withCheck);
    }
    template <class T>
    static void readBack(std::initializer_list<const char *> values, ZXing::DecodeHints hints, bool withCheck = false)
    {
        hints.setTryHarder(true);
        for (const char *value : values) {
            auto s = SymBarcode::create<T>(value);
            ASSERT_TRUE(s->isContentValid()) << value;
            EXPECT_EQ(read(*s, hints), withCheck ? s->content() + char(s->checkDigit()) : std::string(value));
        }
    }

    static std::string read(SymBarcode &s, const ZXing::DecodeHints &hints)
    {
        layOut(s);
        const Decoded d = decodeBarcode(imageFromBarcode(s).toBitmap(kDpi, Qt::white), hints);
        EXPECT_TRUE(d.valid) << s.content();
        return d.text;
    }
};

} // namespace

TEST_F(RenderDecode, EveryReadableSymbology)
{
    readBack<SymUPCABarcode>({"03600029145", "12345678901", "00000000000"}, ZXing::BarcodeFormat::UPCA, true);
    readBack<SymUPCEBarcode>({"04252614", "0425261", "01200000345"}, ZXing::BarcodeFormat::UPCE, true);
    readBack<SymEAN13Barcode>({"400638133393", "590123412345", "978020137962"}, ZXing::BarcodeFormat::EAN13, true);
    readBack<SymEAN8Barcode>({"9638507", "1234567", "5512345"}, ZXing::BarcodeFormat::EAN8, true);
    readBack<SymCode39Barcode>({"CODE 39", "0123456789", "A-B.C $/+%"}, ZXing::BarcodeFormat::Code39);
    readBack<SymInterleavedTwoOfFiveBarcode>({"123456", "00012345", "9876543210"}, ZXing::BarcodeFormat::ITF);

    ZXing::DecodeHints fullAscii;
    fullAscii.setFormats(ZXing::BarcodeFormat::Code39);
    fullAscii.setTryCode39ExtendedMode(true);
    readBack<SymExtendedCode39Barcode>({"Hello World", "mixed Case 123!?"}, fullAscii);

    ZXing::DecodeHints codabar;
    codabar.setFormats(ZXing::BarcodeFormat::Codabar);
    codabar.setReturnCodabarStartEnd(true);
    readBack<SymCodabarBarcode>({"A1234B", "B0123456789C", "C-$:/.+D"}, codabar);
}

TEST_F(RenderDecode, Code128WithCaptionBelowOrAboveAndOnAWorkerThread)
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code128);
    for (bool top : {false, true}) {
        gen().showinTop = top;
        gen().kerning_value = top;
        for (const char *value : {"12345678", "Hello World", "a1b2c3", "0"}) {
            auto s = SymCode128Barcode::create(value, SymCode128Barcode::CodeSetAuto);
            EXPECT_EQ(read(*s, hints), value);
        }
    }
    // Batch runs make their barcode images away from the main thread.
    auto s = SymCode128Barcode::create("BATCH-0042", SymCode128Barcode::CodeSetAuto);
    std::string text;
    std::thread([&] { text = read(*s, hints); }).join();
    EXPECT_EQ(text, "BATCH-0042");
}

TEST_F(RenderDecode, Code128EveryCodeSetWithShifts)
{
    // Each set as the designer's "Code 128 SET A/B/C" items choose it, with
    // characters that the set has to borrow from the other one; at the
    // designer's own 20 mil bars.
    struct Case {
        const char *value;
        int codeSet;
    };
    const Case cases[] = {{"CODE-128 A", SymCode128Barcode::CodeSetA}, {"Abc xyz", SymCode128Barcode::CodeSetA},
                          {"x\ty", SymCode128Barcode::CodeSetB},       {"~{}|`", SymCode128Barcode::CodeSetB},
                          {"00998877", SymCode128Barcode::CodeSetC},   {"TAB\tx", SymCode128Barcode::CodeSetAuto}};
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code128);
    for (const Case &c : cases) {
        auto s = SymCode128Barcode::create(c.value, c.codeSet);
        ASSERT_TRUE(s->isContentValid()) << c.value;
        s->setBarWidth(barWidthFromMils(fieldFloatValue(gen().widthText)));
        EXPECT_EQ(read(*s, hints), c.value);
    }
}

TEST_F(RenderDecode, PdfPageIsTheFrameAndReadsBack)
{
    auto s = SymCode128Barcode::create("PDF-128", SymCode128Barcode::CodeSetAuto);
    layOut(*s);
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("symbol.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdfFromBarcode(*s));
    file.close();

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished());
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                       .match(QString::fromUtf8(info.readAllStandardOutput()));
    ASSERT_TRUE(m.hasMatch());
    // PDF pages come in whole points.
    const QRectF frame = SymBarcodeOffscreenView::initWithBarcode(*s)->frame();
    EXPECT_NEAR(m.captured(1).toDouble(), frame.width(), 0.5);
    EXPECT_NEAR(m.captured(2).toDouble(), frame.height(), 0.5);

    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), path, folder.file(QStringLiteral("page"))});
    ASSERT_TRUE(raster.waitForFinished());
    EXPECT_EQ(decodeBarcode(QImage(folder.file(QStringLiteral("page.png"))), ZXing::BarcodeFormat::Code128).text,
              "PDF-128");
}

TEST_F(RenderDecode, PostalBarsStandWhereTheirGeometrySays)
{
    // Only the bars stay black.
    gen().bar_val_clr = Qt::red;
    gen().bar_hdr_clr = gen().bar_ftr_clr = Qt::blue;
    std::vector<std::unique_ptr<SymBarcode>> symbols;
    symbols.push_back(SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A"));
    symbols.push_back(SymBarcode::create<JapanPostBarcode>("1234567ABC"));
    symbols.push_back(SymBarcode::create<SymPostnetBarcode>("12345"));
    for (const auto &s : symbols) {
        layOut(*s);
        const QRectF frame = SymBarcodeOffscreenView::initWithBarcode(*s)->frame();
        const Scan scan(imageFromBarcode(*s), 288);
        // Bars stand on caption, footer and their margins.
        const Barcode_Gen &g = gen();
        const double baseline = frame.height() - (s->captionHeight() * 72 + s->footerHeight() * 72 + g.value_margin
                                                  + g.footer_margin + g.TB_margin);
        // Four-state bars run from their own bottom to their own top; POSTNET
        // bars all stand on the baseline.
        const bool fourState = s->content() != "12345";
        const std::string modules = s->completeBarcode();
        std::set<std::pair<long, long>> shapes;
        for (std::size_t i = 0; i < modules.size(); ++i) {
            if (modules[i] != '1')
                continue;
            const double x = (frame.width() - modules.size() * s->barWidth()) / 2 + (i + 0.5) * s->barWidth();
            const QRectF bar = scan.extent(isBlack, x - 0.2, x + 0.2);
            EXPECT_NEAR(bar.bottom(), baseline - (fourState ? s->barBottom(int(i)) : 0.0), 0.3) << s->content() << i;
            EXPECT_NEAR(bar.top(), baseline - s->barTop(int(i)), 0.3) << s->content() << " bar " << i;
            shapes.insert({std::lround(bar.top() * 2), std::lround(bar.bottom() * 2)});
        }
        // Trackers, ascenders, descenders and full bars; full and half bars.
        EXPECT_EQ(shapes.size(), fourState ? 4u : 2u) << s->content();
    }
}
