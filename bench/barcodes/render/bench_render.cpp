// Rendering a Code 128 symbol with its caption, header and footer, laid out
// as the designer does, to a 600 dpi bitmap: once through the recorded
// picture (what a card shows) and once straight into the bitmap.

#include "barcodes/render/BarcodeImage.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/render/SymBarcodeOffscreenView.h"
#include "barcodes/symbologies/SymCode128.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace barcodes;

namespace {

constexpr double kDpi = 600;

struct LaidOut {
    std::unique_ptr<SymCode128Barcode> symbol;
    BarcodeLayout layout;
};

LaidOut laidOutSymbol()
{
    const Barcode_Gen settings;
    auto s = SymCode128Barcode::create("QUORVANT-0012345", SymCode128Barcode::CodeSetAuto);
    s->setStyle(settings.symbolStyle());
    s->setHeader(QStringLiteral("VISITOR"));
    s->setFooter(QStringLiteral("Valid until 31 December"));
    s->setPrintsHeader(true);
    s->setPrintsFooter(true);
    s->setBarWidth(barWidthFromMils(20));
    s->setCaptionFontSize(10);
    s->setHeaderFontSize(10);
    s->setFooterFontSize(10);
    const BarcodeLayout layout = layoutLinear(settings, *s, 1);
    applyLayout(*s, layout);
    return {std::move(s), layout};
}

void BM_Code128PictureTo600Dpi(benchmark::State &state)
{
    const LaidOut laidOut = laidOutSymbol();
    QImage bitmap;
    for (auto _ : state) {
        bitmap = imageFromBarcode(*laidOut.symbol, laidOut.layout.style).toBitmap(kDpi, Qt::white);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
    if (bitmap.width() != int(std::ceil(laidOut.layout.width * kDpi / 72)))
        state.SkipWithError("picture not of the laid-out width");
}
BENCHMARK(BM_Code128PictureTo600Dpi)->Unit(benchmark::kMillisecond);

void BM_Code128DirectTo600Dpi(benchmark::State &state)
{
    const LaidOut laidOut = laidOutSymbol();
    for (auto _ : state) {
        const auto view = SymBarcodeOffscreenView::initWithBarcode(*laidOut.symbol, laidOut.layout.style);
        const QSizeF points = view->frame().size();
        QImage bitmap(int(std::ceil(points.width() * kDpi / 72)), int(std::ceil(points.height() * kDpi / 72)),
                      QImage::Format_ARGB32_Premultiplied);
        bitmap.setDotsPerMeterX(int(std::lround(kDpi / 0.0254)));
        bitmap.setDotsPerMeterY(int(std::lround(kDpi / 0.0254)));
        QPainter painter(&bitmap);
        painter.scale(kDpi / 72, kDpi / 72);
        view->drawRect(painter);
        painter.end();
        benchmark::DoNotOptimize(bitmap.constBits());
    }
}
BENCHMARK(BM_Code128DirectTo600Dpi)->Unit(benchmark::kMillisecond);

} // namespace

// Text needs a GUI application; the offscreen platform serves without a
// display.
int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
