#include "output/export/ImageFiles.h"

#include "platform/Files.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <cmath>

namespace output {

namespace {

// A size computed in floating point (85.598 mm is 3.37 in, yet 1010.99999...
// pixels at 300 dpi) must not lose or gain a pixel to rounding noise.
constexpr double kPixelSlack = 1e-6;

int dotsPerMetre(double dpi)
{
    return int(std::lround(dpi / 0.0254));
}

QImage blankPixels(int width, int height, double dpi)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return {};
    out.setDotsPerMeterX(dotsPerMetre(dpi));
    out.setDotsPerMeterY(dotsPerMetre(dpi));
    out.fill(Qt::transparent);
    return out;
}

// Whether every pixel is fully opaque.
bool isOpaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return true;
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return false;
        }
    }
    return true;
}

} // namespace

QStringList exportFormatTitles()
{
    return {QStringLiteral("TIFF"), QStringLiteral("PNG"), QStringLiteral("JPEG"), QStringLiteral("BMP")};
}

QByteArray imageFormatForPath(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("tif") || ext == QLatin1String("tiff"))
        return "tiff";
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return "jpeg";
    if (ext == QLatin1String("bmp"))
        return "bmp";
    return "png";
}

QImage cardPixels(const platform::Image &image, double dpi)
{
    if (image.isNull() || !(dpi > 0))
        return {};
    const QSize expected(int(std::ceil(image.size().width() * dpi / 72.0 - kPixelSlack)),
                         int(std::ceil(image.size().height() * dpi / 72.0 - kPixelSlack)));
    if (!image.isVector() && image.bitmap().size() == expected) {
        QImage out = image.bitmap();
        out.setDotsPerMeterX(dotsPerMetre(dpi));
        out.setDotsPerMeterY(dotsPerMetre(dpi));
        return out;
    }
    return image.toBitmap(dpi);
}

QImage combinedPixels(const platform::Image &front, const platform::Image &back, double dpi)
{
    if (front.isNull() || back.isNull() || !(dpi > 0))
        return {};
    const double scale = dpi / 72.0;
    const QSizeF frontPx = front.size() * scale;
    const QSizeF backPx = back.size() * scale;
    QImage out = blankPixels(int(std::floor(frontPx.width() + kPixelSlack)),
                             int(std::floor(2 * frontPx.height() + kPixelSlack)), dpi);
    if (out.isNull())
        return {};
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Pixels are copied as they are, not interpolated.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    front.draw(p, QRectF(QPointF(0, 0), frontPx));
    back.draw(p, QRectF(QPointF(0, 2 * frontPx.height() - backPx.height()), backPx));
    p.end();
    return out;
}

std::optional<QByteArray> encodePixels(const QImage &pixels, const QByteArray &format, QString *error)
{
    auto fail = [&](const QString &why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (pixels.isNull())
        return fail(QStringLiteral("There is no picture to write."));
    QImage picture = pixels;
    // JPEG and our BMP have no transparency: what is clear shows white, as
    // on paper, rather than black.
    if (format == "jpeg" || format == "bmp") {
        QImage flat(pixels.size(), QImage::Format_RGB32);
        flat.setDotsPerMeterX(pixels.dotsPerMeterX());
        flat.setDotsPerMeterY(pixels.dotsPerMeterY());
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, pixels);
        p.end();
        picture = flat;
    } else if (isOpaque(pixels)) {
        // A card without transparent corners: no alpha channel in the file,
        // which is smaller and quicker to encode.
        picture = pixels.convertToFormat(QImage::Format_RGB32);
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    // The least lossy setting where the format has one.
    if (format == "jpeg")
        writer.setQuality(100);
    if (!writer.write(picture))
        return fail(writer.errorString());
    return data;
}

bool writeImageFile(const QImage &pixels, const QString &path, QString *error)
{
    const std::optional<QByteArray> data = encodePixels(pixels, imageFormatForPath(path), error);
    return data && platform::writeFileAtomically(path, *data, error);
}

bool Save_gen_image(const platform::Image &image, const QString &file_path_val, double dpi, QString *error)
{
    const QImage pixels = cardPixels(image, dpi);
    if (pixels.isNull()) {
        if (error)
            *error = QStringLiteral("The card could not be drawn.");
        return false;
    }
    return writeImageFile(pixels, file_path_val, error);
}

} // namespace output
