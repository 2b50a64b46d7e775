// Decoding JPEG photos as a bound photo is read: a progressive photo whose
// scan is repeated 2,000 times (refused at the first repetition, however
// many follow), against the same photo whole, and against one whose every
// coefficient comes in a scan of its own (190 scans, drawn); and a photo
// with a restart marker after every block (47,000 of them), without and
// with zero fill before each marker, which is judged at every marker.
#include "bench/BenchSupport.h"
#include "bench/CameraPicture.h"
#include "platform/Image.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

using bench::cameraPicture;

// The picture as Qt writes a progressive JPEG.
const QByteArray &progressivePhoto()
{
    static const QByteArray data = [] {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(90);
        writer.setProgressiveScanWrite(true);
        writer.write(cameraPicture());
        return jpeg;
    }();
    return data;
}

// Where the `n`th (from 1) scan of `jpeg` starts; -1 past the last.
qsizetype scanStart(const QByteArray &jpeg, int n)
{
    qsizetype at = -1;
    for (int i = 0; i < n && (i == 0 || at >= 0); ++i)
        at = jpeg.indexOf("\xff\xda", at + 1);
    return at;
}

// The progressive photo with its smallest scan repeated until there are
// 2,000 scans.
const QByteArray &repeatedScans()
{
    static const QByteArray data = [] {
        const QByteArray &jpeg = progressivePhoto();
        QByteArray smallest;
        int scans = 0;
        for (int n = 1; scanStart(jpeg, n) >= 0; ++n, ++scans) {
            const qsizetype next = scanStart(jpeg, n + 1);
            const QByteArray scan = jpeg.mid(scanStart(jpeg, n), (next < 0 ? jpeg.size() - 2 : next) - scanStart(jpeg, n));
            if (smallest.isEmpty() || scan.size() < smallest.size())
                smallest = scan;
        }
        return QByteArray(jpeg).insert(jpeg.size() - 2, smallest.repeated(2000 - scans));
    }();
    return data;
}

// The picture as libjpeg writes it at quality 90, `adjust` changing its
// settings first.
QByteArray libjpegWrites(const std::function<void(jpeg_compress_struct &)> &adjust)
{
    const QImage picture = cameraPicture().convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    adjust(info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE *>(picture.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray jpeg(reinterpret_cast<const char *>(out), qsizetype(outSize));
    std::free(out);
    return jpeg;
}

// The picture with every coefficient of every component in a scan of its
// own: 1 + 3 x 63 scans, as libjpeg writes them.
const QByteArray &oneScanPerCoefficient()
{
    static const QByteArray data = [] {
        std::vector<jpeg_scan_info> scans{{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
        for (int c = 0; c < 3; ++c)
            for (int k = 1; k < 64; ++k)
                scans.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
        return libjpegWrites([&](jpeg_compress_struct &info) {
            info.scan_info = scans.data();
            info.num_scans = int(scans.size());
        });
    }();
    return data;
}

// The picture with a restart marker after every block of 16 x 16 pixels.
const QByteArray &restartEveryBlock()
{
    static const QByteArray data = libjpegWrites([](jpeg_compress_struct &info) { info.restart_interval = 1; });
    return data;
}

// The same with two zero bytes of fill before each restart marker.
const QByteArray &fillBeforeEveryRestart()
{
    static const QByteArray data = [] {
        const QByteArray &jpeg = restartEveryBlock();
        QByteArray filled;
        filled.reserve(jpeg.size() * 2);
        qsizetype from = 0;
        for (qsizetype at = jpeg.indexOf('\xff', scanStart(jpeg, 1) + 2); at >= 0 && at + 1 < jpeg.size();
             at = jpeg.indexOf('\xff', at + 2)) {
            if (uchar(jpeg[at + 1]) < 0xD0 || uchar(jpeg[at + 1]) > 0xD7)
                continue;
            filled += jpeg.mid(from, at - from);
            filled += QByteArray(2, '\0');
            from = at;
        }
        return filled + jpeg.mid(from);
    }();
    return data;
}

void decode(benchmark::State &state, const QByteArray &jpeg, bool whole)
{
    QString why;
    bool drawn = false;
    for (auto _ : state) {
        const platform::Image image = platform::Image::fromEncoded(jpeg, "jpeg", {}, &why);
        drawn = image.bitmap().size() == QSize(kWidth, kHeight);
    }
    if (drawn != whole) {
        state.SkipWithError(whole ? "a whole photo was refused" : "a damaged photo was drawn");
        return;
    }
    state.counters["file_KB"] = double(jpeg.size()) / 1024;
}

void BM_RefuseTwoThousandRepeatedScans(benchmark::State &state)
{
    decode(state, repeatedScans(), false);
}
BENCHMARK(BM_RefuseTwoThousandRepeatedScans)->Unit(benchmark::kMillisecond);

void BM_DecodeProgressivePhoto(benchmark::State &state)
{
    decode(state, progressivePhoto(), true);
}
BENCHMARK(BM_DecodeProgressivePhoto)->Unit(benchmark::kMillisecond);

void BM_DecodeOneScanPerCoefficient(benchmark::State &state)
{
    decode(state, oneScanPerCoefficient(), true);
}
BENCHMARK(BM_DecodeOneScanPerCoefficient)->Unit(benchmark::kMillisecond);

void BM_DecodePhotoRestartingEveryBlock(benchmark::State &state)
{
    decode(state, restartEveryBlock(), true);
}
BENCHMARK(BM_DecodePhotoRestartingEveryBlock)->Unit(benchmark::kMillisecond);

void BM_DecodePhotoWithFillBeforeEveryRestart(benchmark::State &state)
{
    decode(state, fillBeforeEveryRestart(), true);
}
BENCHMARK(BM_DecodePhotoWithFillBeforeEveryRestart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runUnder<QGuiApplication>(argc, argv);
}
