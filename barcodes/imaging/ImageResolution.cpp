#include "barcodes/imaging/ImageResolution.h"

#include "platform/Helpers.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace barcodes {

std::atomic<int> USED_DPI_VALUE{600};

namespace {

// Larger bitmaps are refused rather than risk exhausting memory halfway
// through a batch run.
constexpr double kMaximumBitmapBytes = double(std::numeric_limits<int>::max());

// A transparent 32-bit bitmap of the given pixels, or a null image when it
// is empty, too large, or cannot be allocated.
QImage blankBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    if (double(width) * double(height) * 4.0 > kMaximumBitmapBytes) {
        Show_NSLog_Message(QStringLiteral("Image of %1 x %2 pixels is too large").arg(width).arg(height));
        return {};
    }
    QImage bitmap(width, height, QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull()) {
        Show_NSLog_Message(QStringLiteral("Unable to allocate an image of %1 x %2 pixels").arg(width).arg(height));
        return {};
    }
    bitmap.fill(Qt::transparent);
    return bitmap;
}

// Each target pixel takes the source pixel under its centre. Rows that
// sample the same source row are copied, so a symbol of a few rows scales
// in about the time it takes to write the target once.
void sampleNearest(const QImage &source, QImage &target)
{
    const QImage src = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = target.width(), h = target.height();
    std::vector<int> column(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x)
        column[std::size_t(x)] = std::min(src.width() - 1, int((x + 0.5) * src.width() / w));
    int previous = -1;
    for (int y = 0; y < h; ++y) {
        const int row = std::min(src.height() - 1, int((y + 0.5) * src.height() / h));
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(y));
        if (row == previous) {
            std::memcpy(out, target.constScanLine(y - 1), std::size_t(w) * sizeof(QRgb));
            continue;
        }
        const auto *in = reinterpret_cast<const QRgb *>(src.constScanLine(row));
        for (int x = 0; x < w; ++x)
            out[x] = in[column[std::size_t(x)]];
        previous = row;
    }
}

void drawHard(const platform::Image &source, QImage &target, QPainter::CompositionMode mode)
{
    // A bitmap onto a clear target: its pixels, sampled.
    if (!source.isVector() && target.format() == QImage::Format_ARGB32_Premultiplied) {
        sampleNearest(source.bitmap(), target);
        return;
    }
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(mode);
    painter.setOpacity(1.0);
    source.draw(painter, QRectF(0, 0, target.width(), target.height()));
}

// Pixels for one side: the quotient is rounded to single precision before
// it is rounded up, so 60 points at 600 dpi are exactly 500 pixels.
int pixelsFor(double points, double dpi)
{
    const double exact = double(float(dpi * points / 72.0));
    if (!(exact > 0) || exact > double(std::numeric_limits<int>::max()))
        return 0;
    return int(std::ceil(exact));
}

} // namespace

platform::Image Increase_DPI(const platform::Image &image, double withDPI)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return {};
    }
    const double dpi = std::isnan(withDPI) ? kMinimumDpi : std::clamp(withDPI, kMinimumDpi, kMaximumDpi);
    const QSizeF points = image.size();
    QImage bitmap = blankBitmap(pixelsFor(points.width(), dpi), pixelsFor(points.height(), dpi));
    if (bitmap.isNull())
        return {};
    const int dotsPerMetre = int(std::lround(dpi / 0.0254));
    bitmap.setDotsPerMeterX(dotsPerMetre);
    bitmap.setDotsPerMeterY(dotsPerMetre);
    drawHard(image, bitmap, QPainter::CompositionMode_SourceOver);
    return platform::Image::fromBitmap(bitmap, points);
}

platform::Image Resize_Image(const platform::Image &image, QSizeF new_size)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return {};
    }
    const double w = new_size.width();
    const double h = new_size.height();
    if (!(w >= 1 && h >= 1) || w > double(std::numeric_limits<int>::max()) || h > double(std::numeric_limits<int>::max()))
        return {};
    QImage bitmap = blankBitmap(int(w), int(h));
    if (bitmap.isNull())
        return {};
    drawHard(image, bitmap, QPainter::CompositionMode_Source);
    return platform::Image::fromBitmap(bitmap, new_size);
}

} // namespace barcodes
