#include "barcodes/imaging/ImageResolution.h"

#include "platform/Helpers.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

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

void drawHard(const platform::Image &source, QImage &target, QPainter::CompositionMode mode)
{
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
