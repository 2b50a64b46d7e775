// Symbols of every symbology a reader knows, laid out as the designer does
// and drawn by the renderer, read back by zxing-cpp; the PDF page checked by
// poppler; four-state postal bars measured in the picture.

#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/render/SymBarcodeOffscreenView.h"
#include "barcodes/symbologies/Symbologies.h"
#include "tests/barcodes/render/RenderTestSupport.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <thread>

using namespace barcodes;
using namespace quorvant::test;
using Format = ZXing::BarcodeFormat;

namespace {

// The default modules of 0.936 pt are 3.9 pixels at 300 dpi.
constexpr double kDpi = 300;

// Header, footer and font sizes as the designer sets them, then the layout.
BarcodeLayout layOut(SymBarcode &s, const Barcode_Gen &settings)
{
    s.setStyle(settings.symbolStyle());
    s.setHeader(QStringLiteral("HEADER"));
    s.setFooter(QStringLiteral("FOOTER"));
    s.setPrintsHeader(true);
    s.setPrintsFooter(true);
    s.setCaptionFontSize(10);
    s.setHeaderFontSize(10);
    s.setFooterFontSize(10);
    const BarcodeLayout layout = layoutLinear(settings, s, 1);
    applyLayout(s, layout);
    return layout;
}

using Maker = std::function<std::unique_ptr<SymBarcode>(const char *)>;

template <class T>
std::unique_ptr<SymBarcode> plain(const char *value)
{
    return SymBarcode::create<T>(value);
}

template <class T>
std::unique_ptr<SymBarcode> checked(const char *value)
{
    auto symbol = SymBarcode::create<T>(value);
    symbol->generateChecksum();
    return symbol;
}

Maker code128(int set)
{
    return [set](const char *value) { return SymCode128Barcode::create(value, set); };
}

std::string read(SymBarcode &s, Format format, const Barcode_Gen &settings = {})
{
    const BarcodeLayout layout = layOut(s, settings);
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setTryCode39ExtendedMode(dynamic_cast<SymExtendedCode39Barcode *>(&s) != nullptr);
    hints.setReturnCodabarStartEnd(true);
    const Decoded d = decodeBarcode(imageFromBarcode(s, layout.style).toBitmap(kDpi, Qt::white), hints);
    EXPECT_TRUE(d.valid) << s.content();
    return d.text;
}

} // namespace

TEST(RenderDecode, EveryReadableSymbologyReadsBackFromItsPicture)
{
    // The reader checks the patterns and, for UPC, EAN and Code 128, the
    // check character; expected texts are the published examples (UPC-A
    // 036000291452, EAN-13 4006381333931, EAN-8 96385074) or the value.
    using C = SymCode128Barcode;
    const struct {
        Maker make;
        const char *value;
        Format format;
        std::string expected;
    } cases[] = {
        {plain<SymUPCABarcode>, "03600029145", Format::UPCA, "036000291452"},
        {plain<SymUPCABarcode>, "00000000000", Format::UPCA, "000000000000"},
        // UPC-E from 8 and 7 digits, and from UPC-A numbers of every
        // zero-suppression rule.
        {plain<SymUPCEBarcode>, "04252614", Format::UPCE, "04252614"},
        {plain<SymUPCEBarcode>, "1123456", Format::UPCE, "11234562"},
        {plain<SymUPCEBarcode>, "01200000345", Format::UPCE, "01234505"},
        {plain<SymUPCEBarcode>, "01230000006", Format::UPCE, "01230632"},
        {plain<SymUPCEBarcode>, "01234000007", Format::UPCE, "01234747"},
        {plain<SymUPCEBarcode>, "01234500008", Format::UPCE, "01234589"},
        {plain<SymEAN13Barcode>, "400638133393", Format::EAN13, "4006381333931"},
        {plain<SymEAN13Barcode>, "978020137962", Format::EAN13, "9780201379624"},
        {plain<SymEAN8Barcode>, "9638507", Format::EAN8, "96385074"},
        {plain<SymCode39Barcode>, "code-39.$/+%", Format::Code39, "CODE-39.$/+%"},
        {plain<SymCode39Barcode>, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", Format::Code39,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789"},
        {checked<SymCode39Barcode>, "CODE39", Format::Code39, "CODE39W"},
        {plain<SymExtendedCode39Barcode>, "mixed Case 123!?@[]{}~`", Format::Code39, "mixed Case 123!?@[]{}~`"},
        {plain<SymExtendedCode39Barcode>, "a*b$c%d+e/f\there", Format::Code39, "a*b$c%d+e/f\there"},
        // The check is a plain Code 39 character over the expanded text
        // "+A+B".
        {checked<SymExtendedCode39Barcode>, "ab", Format::Code39, "abH"},
        {code128(C::CodeSetAuto), "12345678", Format::Code128, "12345678"},
        {code128(C::CodeSetAuto), "TAB\tx", Format::Code128, "TAB\tx"},
        {code128(C::CodeSetA), "CODE-128 A", Format::Code128, "CODE-128 A"},
        // Lower case in set A and a control character in set B are shifted.
        {code128(C::CodeSetA), "Abc", Format::Code128, "Abc"},
        {code128(C::CodeSetB), "x\ty ~{}|", Format::Code128, "x\ty ~{}|"},
        {code128(C::CodeSetC), "123", Format::Code128, "123"}, // the odd digit in set B
        {plain<SymCodabarBarcode>, "A1234B", Format::Codabar, "A1234B"},
        {plain<SymCodabarBarcode>, "C-$:/.+D", Format::Codabar, "C-$:/.+D"},
        {plain<SymInterleavedTwoOfFiveBarcode>, "12345678901234", Format::ITF, "12345678901234"},
        {plain<SymInterleavedTwoOfFiveBarcode>, "1234567", Format::ITF, "01234567"},
    };
    // With the designer's defaults, and with the caption spread above bars
    // of the designer's own 20 mils.
    Barcode_Gen above;
    above.showinTop = above.kerning_value = true;
    for (const Barcode_Gen &settings : {Barcode_Gen(), above})
        for (const auto &c : cases) {
            const auto symbol = c.make(c.value);
            ASSERT_TRUE(symbol->isContentValid()) << c.value;
            if (settings.showinTop)
                symbol->setBarWidth(barWidthFromMils(fieldFloatValue(settings.widthText)));
            EXPECT_EQ(read(*symbol, c.format, settings), c.expected) << settings.showinTop;
        }
}

TEST(RenderDecode, AWorkerDrawsWithItsCopyOfTheSettings)
{
    // The live record changes after the copy was taken: white bars there
    // would leave nothing to read.
    const ScopedValue liveRecord(*Barcode_Gen_Var);
    const Barcode_Gen copy = *Barcode_Gen_Var;
    Barcode_Gen_Var->barcode_clr = Qt::white;
    auto s = SymCode128Barcode::create("BATCH-0042", SymCode128Barcode::CodeSetAuto);
    std::string text;
    std::thread([&] { text = read(*s, Format::Code128, copy); }).join();
    EXPECT_EQ(text, "BATCH-0042");
}

TEST(RenderDecode, PdfPageIsTheFrameAndReadsBack)
{
    auto s = SymCode128Barcode::create("PDF-128", SymCode128Barcode::CodeSetAuto);
    const BarcodeLayout layout = layOut(*s, Barcode_Gen());
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("symbol.pdf"));
    writeTestFile(path, pdfFromBarcode(*s, layout.style));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished());
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                       .match(QString::fromUtf8(info.readAllStandardOutput()));
    ASSERT_TRUE(m.hasMatch());
    // PDF pages come in whole points.
    EXPECT_NEAR(m.captured(1).toDouble(), layout.width, 0.5);
    EXPECT_NEAR(m.captured(2).toDouble(), layout.height, 0.5);

    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), path, folder.file(QStringLiteral("page"))});
    ASSERT_TRUE(raster.waitForFinished());
    EXPECT_EQ(decodeBarcode(QImage(folder.file(QStringLiteral("page.png"))), Format::Code128).text, "PDF-128");
}

TEST(RenderDecode, PostalBarsStandWhereTheirGeometrySays)
{
    // Only the bars stay black.
    Barcode_Gen settings;
    settings.bar_val_clr = Qt::red;
    settings.bar_hdr_clr = settings.bar_ftr_clr = Qt::blue;
    const std::unique_ptr<SymBarcode> symbols[] = {SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A"),
                                                   SymBarcode::create<JapanPostBarcode>("1234567ABC"),
                                                   SymBarcode::create<SymPostnetBarcode>("12345")};
    for (const auto &s : symbols) {
        const BarcodeLayout layout = layOut(*s, settings);
        const QRectF frame = SymBarcodeOffscreenView::initWithBarcode(*s, layout.style)->frame();
        const Scan scan(imageFromBarcode(*s, layout.style), 288);
        // Bars stand on caption, footer and their margins.
        const SymbolStyle &m = layout.style;
        const double baseline = frame.height() - (s->captionHeight() * 72 + s->footerHeight() * 72 + m.value_margin
                                                  + m.footer_margin + m.TB_margin);
        // Four-state bars run from their own bottom to their own top; POSTNET
        // bars all stand on the baseline.
        const bool fourState = s->content() != "12345";
        const std::string modules = s->completeBarcode();
        // Every bar crosses the band between the highest bar bottom and the
        // lowest bar top: its columns are the runs of black along it.
        double highestBottom = 0, lowestTop = 1e9;
        for (std::size_t i = 0; i < modules.size(); ++i) {
            if (modules[i] == '1') {
                highestBottom = std::max(highestBottom, fourState ? double(s->barBottom(int(i))) : 0.0);
                lowestTop = std::min(lowestTop, double(s->barTop(int(i))));
            }
        }
        const std::vector<std::pair<double, double>> columns =
            scan.runs(isBlack, baseline - (highestBottom + lowestTop) / 2);
        ASSERT_EQ(columns.size(), std::size_t(std::count(modules.begin(), modules.end(), '1'))) << s->content();
        std::set<std::pair<long, long>> shapes;
        for (std::size_t i = 0, k = 0; i < modules.size(); ++i) {
            if (modules[i] != '1')
                continue;
            const auto [from, to] = columns[k++];
            const QRectF bar = scan.extent(isBlack, from, to);
            EXPECT_NEAR(bar.bottom(), baseline - (fourState ? s->barBottom(int(i)) : 0.0), 0.3) << s->content() << i;
            EXPECT_NEAR(bar.top(), baseline - s->barTop(int(i)), 0.3) << s->content() << " bar " << i;
            shapes.insert({std::lround(bar.top() * 2), std::lround(bar.bottom() * 2)});
        }
        // Trackers, ascenders, descenders and full bars; full and half bars.
        EXPECT_EQ(shapes.size(), fourState ? 4u : 2u) << s->content();
    }
}
