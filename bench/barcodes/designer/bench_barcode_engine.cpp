// The per-record picture of a batch run: a barcode object's settings and one
// record's value in, the picture out, then drawn at 600 dpi as a printed
// card would draw it. One benchmark per kind of symbol a card holds.

#include "bench/BenchSupport.h"
#include "barcodes/designer/BarcodeEngine.h"

#include <QGuiApplication>
#include <QImage>

using namespace barcodes;

namespace {

constexpr double kDpi = 600;

BarcodeSettings settingsFor(const QString &title)
{
    BarcodeSettings s;
    s.barcode_font_index = int(barcodeTypeTitles().indexOf(title));
    s.linear_or_2d = isTwoDimensionalTitle(title) ? 1 : 0;
    return s;
}

void recordPictures(benchmark::State &state, const QString &title)
{
    const BarcodeSettings settings = settingsFor(title);
    int record = 0;
    QImage bitmap;
    for (auto _ : state) {
        const QString value = QStringLiteral("MEMBER-%1").arg(100000 + record++);
        bitmap = barcodeImageFor(settings, value, settings.header_val, settings.footer_val, kDpi).toBitmap(kDpi);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
    if (bitmap.isNull() || bitmap.width() < 100)
        state.SkipWithError("no picture made");
}

void BM_RecordPictureCode128(benchmark::State &state)
{
    recordPictures(state, QStringLiteral("Code 128"));
}
BENCHMARK(BM_RecordPictureCode128)->Unit(benchmark::kMillisecond);

void BM_RecordPictureQRCode(benchmark::State &state)
{
    recordPictures(state, QStringLiteral("QR Code"));
}
BENCHMARK(BM_RecordPictureQRCode)->Unit(benchmark::kMillisecond);

void BM_RecordPictureDataMatrix(benchmark::State &state)
{
    recordPictures(state, QStringLiteral("DataMatrix"));
}
BENCHMARK(BM_RecordPictureDataMatrix)->Unit(benchmark::kMillisecond);

void BM_RecordPicturePDF417(benchmark::State &state)
{
    recordPictures(state, QStringLiteral("PDF417"));
}
BENCHMARK(BM_RecordPicturePDF417)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runUnder<QGuiApplication>(argc, argv);
}
