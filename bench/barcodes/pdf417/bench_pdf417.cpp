// Encoding and painting a 300-character PDF417 symbol, alone and as the
// designer makes it (image of the frame size at 600 dpi).

#include "barcodes/pdf417/Pdf417Encoder.h"
#include "barcodes/pdf417/Pdf417View.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace barcodes;

namespace {

std::string text300()
{
    std::string text;
    for (int i = 0; text.size() < 300; ++i)
        text += "Card " + std::to_string(10000 + i * 37) + ", Jane Doe <jane.doe@example.org>; ";
    return text.substr(0, 300);
}

void BM_EncodeAndPaint300(benchmark::State &state)
{
    const std::string text = text300();
    pdf417_record p;
    for (auto _ : state) {
        pdf417_reset(p);
        p.text = text;
        p.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP;
        p.errorLevel = 2;
        p.aspectRatio = 1.0f;
        paintCode(p);
        benchmark::DoNotOptimize(p.outBits.data());
    }
    state.counters["codewords"] = p.lenCodewords;
}
BENCHMARK(BM_EncodeAndPaint300);

void BM_SymbolImage300At600Dpi(benchmark::State &state)
{
    const QString text = QString::fromStdString(text300());
    pdf417View view(QSizeF(100, 100));
    for (auto _ : state) {
        view.drawWithText(text, 600);
        benchmark::DoNotOptimize(view.getImage().bitmap().constBits());
    }
    if (view.getImage().bitmap().width() != 834)
        state.SkipWithError("image not at 600 dpi");
}
BENCHMARK(BM_SymbolImage300At600Dpi)->Unit(benchmark::kMillisecond);

} // namespace
