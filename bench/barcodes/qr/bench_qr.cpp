// Encoding speed of the 2-D symbols the designer makes per record.
#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "barcodes/qr/QRFrontEnd.h"
#include "barcodes/qrencoder/QRSymbolEncoder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

// 100 characters.
const std::string kUrl =
    "https://www.example.org/events/2026/badges/visitor?id=000123456&name=Jane%20Doe&hall=B12&day=3&ok=10";

void BM_QREncodeUrlLevelM(benchmark::State &state)
{
    for (auto _ : state) {
        barcodes::QRSymbolEncoder encoder;
        benchmark::DoNotOptimize(encoder.EncodeData(1, 0, true, -1, kUrl.data(), std::int64_t(kUrl.size())));
        benchmark::DoNotOptimize(encoder.m_nSymbleSize);
    }
}
BENCHMARK(BM_QREncodeUrlLevelM);

void BM_QRFrontEndUrlLevelM(benchmark::State &state)
{
    const QString url = QString::fromStdString(kUrl);
    for (auto _ : state)
        benchmark::DoNotOptimize(barcodes::QRFrontEnd::encodeWithECLevel(1, 0, url));
}
BENCHMARK(BM_QRFrontEndUrlLevelM);

void BM_DataMatrixEncodeHello123(benchmark::State &state)
{
    const QByteArray value("HELLO123");
    for (auto _ : state)
        benchmark::DoNotOptimize(barcodes::encodeDataMatrix(value, 0, 0, 0));
}
BENCHMARK(BM_DataMatrixEncodeHello123);

} // namespace
