#include "platform/Image.h"

#include <QBuffer>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace platform {

namespace {
constexpr double kPointsPerMetre = 72.0 / 0.0254;
// QPicture replays scaled by the device's resolution over the resolution it
// recorded at; that scale is undone so that a recording is always in points.
constexpr double kPictureDpi = 96.0;
} // namespace

Image Image::fromBitmap(const QImage &bitmap, QSizeF points)
{
    Image img;
    if (bitmap.isNull())
        return img;
    img.m_bitmap = bitmap;
    if (points.isEmpty()) {
        const double dpmX = bitmap.dotsPerMeterX() > 0 ? bitmap.dotsPerMeterX() : kPointsPerMetre;
        const double dpmY = bitmap.dotsPerMeterY() > 0 ? bitmap.dotsPerMeterY() : kPointsPerMetre;
        points = QSizeF(bitmap.width() * kPointsPerMetre / dpmX, bitmap.height() * kPointsPerMetre / dpmY);
    }
    img.m_size = points;
    return img;
}

Image Image::fromPicture(const QPicture &picture, QSizeF points)
{
    Image img;
    img.m_vector = true;
    img.m_picture = picture;
    img.m_size = points;
    return img;
}

Image Image::record(QSizeF points, const std::function<void(QPainter &)> &paint)
{
    QPicture picture;
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        paint(p);
    }
    return fromPicture(picture, points);
}

Image Image::fromFile(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage bitmap = reader.read();
    if (bitmap.isNull())
        return {};
    return fromBitmap(bitmap);
}

bool Image::isNull() const
{
    if (m_size.width() <= 0 || m_size.height() <= 0)
        return true;
    return m_vector ? false : m_bitmap.isNull();
}

void Image::draw(QPainter &painter, const QRectF &target) const
{
    if (isNull() || target.isEmpty())
        return;
    if (!m_vector) {
        painter.drawImage(target, m_bitmap);
        return;
    }
    QPaintDevice *device = painter.device();
    const double dpiX = device ? device->logicalDpiX() : kPictureDpi;
    const double dpiY = device ? device->logicalDpiY() : kPictureDpi;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / m_size.width() * kPictureDpi / dpiX,
                  target.height() / m_size.height() * kPictureDpi / dpiY);
    painter.drawPicture(0, 0, m_picture);
    painter.restore();
}

QImage Image::toBitmap(double dpi, QColor background, bool smooth) const
{
    if (isNull() || dpi <= 0)
        return {};
    const int w = int(std::ceil(m_size.width() * dpi / 72.0 - 1e-9));
    const int h = int(std::ceil(m_size.height() * dpi / 72.0 - 1e-9));
    if (w <= 0 || h <= 0)
        return {};
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return {};
    const int dpm = int(std::lround(dpi / 0.0254));
    out.setDotsPerMeterX(dpm);
    out.setDotsPerMeterY(dpm);
    out.fill(background);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    draw(p, QRectF(0, 0, w, h));
    p.end();
    return out;
}

QByteArray Image::toPdf() const
{
    if (isNull())
        return {};
    return pdfData(m_size, [this](QPainter &p) { draw(p, QRectF(QPointF(0, 0), m_size)); });
}

QByteArray pdfData(QSizeF points, const std::function<void(QPainter &)> &paint)
{
    if (points.width() <= 0 || points.height() <= 0)
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        // Page sizes given in points are rounded to whole points; millimetres
        // keep the fraction.
        writer.setPageSize(QPageSize(QSizeF(points.width() * 25.4 / 72.0, points.height() * 25.4 / 72.0),
                                     QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p(&writer);
        p.setRenderHint(QPainter::Antialiasing);
        // The painter's units are device pixels at 72 dpi, i.e. points.
        const QRectF page = writer.pageLayout().paintRectPixels(72);
        p.scale(page.width() / points.width(), page.height() / points.height());
        paint(p);
    }
    return data;
}

} // namespace platform
