#include "barcodes/qr/QRFrontEnd.h"

#include "barcodes/imaging/ImageResolution.h"
#include "barcodes/qrencoder/QRSymbolEncoder.h"
#include "platform/Helpers.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

namespace barcodes {

namespace {
// Digits that version 40 at level L holds: no symbol holds a longer text.
constexpr std::int64_t kLargestCapacity = 7089;
} // namespace

QRSizeMinimum Check_And_Set_QR_size_Acc_Version(int version, int currentSide)
{
    QRSizeMinimum out;
    out.minimum = std::max(4 * (version - 1) + 21, 21);
    out.side = std::max(currentSide, out.minimum);
    return out;
}

std::int64_t QRFrontEnd::capacity(int mode, int level, int version)
{
    if (level < 0 || level > 3 || version < 0 || version > qr::kMaxVersion)
        return 0;
    const int v = version == 0 ? qr::kMaxVersion : version;
    const std::size_t index = std::size_t((v - 1) * 4 + level);
    switch (mode) {
    case QRSymbolEncoder::Numeral: return qr::QR_Numric_size_array[index];
    case QRSymbolEncoder::Alphabet: return qr::QR_AlphaNumric_size_array[index];
    case QRSymbolEncoder::Kanji: return 2 * qr::QR_Kanji_size_array[index];
    default: return qr::QR_8_BIT_size_array[index];
    }
}

std::unique_ptr<DataMatrix> QRFrontEnd::encodeWithECLevel(int level, int version, const QString &string)
{
    try {
        return encodeBytesWithECLevel(level, version, string.toUtf8());
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
        return nullptr;
    }
}

std::unique_ptr<DataMatrix> QRFrontEnd::encodeCStringWithECLevel(int level, int version, const char *cstring)
{
    if (cstring == nullptr)
        return nullptr;
    return encodeBytesWithECLevel(level, version, QByteArray(cstring));
}

std::unique_ptr<DataMatrix> QRFrontEnd::encodeBytesWithECLevel(int level, int version, const QByteArray &bytes)
{
    if (level < 0 || level > 3 || version < 0 || version > qr::kMaxVersion)
        return nullptr;
    try {
        auto encoder = std::make_unique<QRSymbolEncoder>();
        const char *cstring = bytes.constData();
        const auto n = std::int64_t(bytes.size());
        // No symbol holds more than the largest numeric capacity; longer
        // texts are refused before the encoder spends time on them.
        if (n > kLargestCapacity)
            return nullptr;
        const int mode = QRSymbolEncoder::Get_Encoding_Mode(cstring, n);
        // A chosen version bounds the text by the capacity of its overall
        // mode; with "Auto" the encoder finds whatever version holds it.
        if (version != 0 && n > capacity(mode, level, version))
            return nullptr;
        if (!encoder->EncodeData(level, version, true, -1, cstring, n))
            return nullptr;
        const std::int64_t size = encoder->m_nSymbleSize;
        auto grid = std::make_unique<DataMatrix>(size);
        for (std::int64_t y = 0; y < size; ++y)
            for (std::int64_t x = 0; x < size; ++x)
                grid->set(encoder->m_byModuleData[std::size_t(x)][std::size_t(y)] == 1 ? 1 : 0, x, y);
        return grid;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
        return nullptr;
    }
}

QImage QRFrontEnd::renderModules(const DataMatrix &grid, int imageDimension)
{
    const std::int64_t n = grid.dimension();
    if (n == 0)
        return {};
    // A side smaller than the grid would leave no pixel per module.
    const int d = int(std::max<std::int64_t>(imageDimension, n));
    const int scale = int(d / n);
    const int margin = (d - scale * int(n)) / 2;

    // Three colours, one byte a pixel.
    QImage image(d, d, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    enum : uchar { Margin, Dark, Light };
    // Margin pixels: white, fully transparent.
    image.setColorTable({qRgba(255, 255, 255, 0), qRgba(0, 0, 0, 255), qRgba(255, 255, 255, 255)});
    image.fill(uint(Margin));
    for (std::int64_t y = 0; y < n; ++y) {
        uchar *first = image.scanLine(margin + int(y) * scale);
        for (std::int64_t x = 0; x < n; ++x)
            std::memset(first + margin + int(x) * scale, grid.valueAt(x, y) ? Dark : Light, std::size_t(scale));
        for (int r = 1; r < scale; ++r)
            std::memcpy(image.scanLine(margin + int(y) * scale + r) + margin, first + margin,
                        std::size_t(scale) * std::size_t(n));
    }
    return image;
}

QImage QRFrontEnd::renderModulesFilling(const DataMatrix &grid, int imageDimension)
{
    const std::int64_t n = grid.dimension();
    if (n == 0)
        return {};
    const int d = int(std::max<std::int64_t>(imageDimension, n));
    const int scale = int(d / n);
    if (d - scale * int(n) <= scale)
        return renderModules(grid, d);

    QImage image(d, d, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    enum : uchar { Margin, Dark, Light };
    image.setColorTable({qRgba(255, 255, 255, 0), qRgba(0, 0, 0, 255), qRgba(255, 255, 255, 255)});
    // Module i covers the pixels from edge(i) up to edge(i + 1).
    const auto edge = [&](std::int64_t i) { return int(i * d / n); };
    for (std::int64_t y = 0; y < n; ++y) {
        uchar *first = image.scanLine(edge(y));
        for (std::int64_t x = 0; x < n; ++x)
            std::memset(first + edge(x), grid.valueAt(x, y) ? Dark : Light, std::size_t(edge(x + 1) - edge(x)));
        for (int r = edge(y) + 1; r < edge(y + 1); ++r)
            std::memcpy(image.scanLine(r), first, std::size_t(d));
    }
    return image;
}

platform::Image QRFrontEnd::drawingOf(std::shared_ptr<const DataMatrix> grid, double side, double quiet,
                                      const QColor &background)
{
    if (!grid || grid->dimension() == 0 || !(side > 0))
        return {};
    const double n = double(grid->dimension());
    side = std::max(side, n);
    quiet = std::max(quiet, 0.0);
    QColor fill = background.isValid() ? background : QColor(Qt::white);
    fill.setAlpha(255);
    const QRectF symbol(quiet, quiet, side, side);
    const QSizeF size(side + 2 * quiet, side + 2 * quiet);
    return platform::Image::drawing(
        size,
        [grid, symbol, size, fill](QPainter &painter) {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.fillRect(QRectF(QPointF(0, 0), size), fill);
            const QTransform t = painter.deviceTransform();
            const QPaintEngine *engine = painter.paintEngine();
            const bool pixels = engine && engine->type() == QPaintEngine::Raster && t.type() <= QTransform::TxScale
                && t.m11() > 0 && t.m22() > 0;
            if (pixels) {
                // The side in this device's pixels, never more than it is.
                const QRectF area = t.mapRect(symbol);
                const int d = int(std::floor(std::min(area.width(), area.height()) + 1e-6));
                const QImage modules = renderModulesFilling(*grid, d);
                if (!modules.isNull()) {
                    const QPoint at(int(std::lround(area.center().x() - modules.width() / 2.0)),
                                    int(std::lround(area.center().y() - modules.height() / 2.0)));
                    // Device pixels, past any offset and pixel ratio the
                    // device itself adds (a widget painted inside its
                    // window, on a high-resolution screen).
                    paintInDevicePixels(painter);
                    painter.drawImage(at, modules);
                }
            } else {
                // Exact rectangles, a run of dark modules at a time.
                const std::int64_t count = grid->dimension();
                const double module = symbol.width() / double(count);
                painter.setPen(Qt::NoPen);
                painter.setBrush(Qt::white);
                painter.drawRect(symbol);
                painter.setBrush(Qt::black);
                for (std::int64_t y = 0; y < count; ++y) {
                    for (std::int64_t x = 0; x < count;) {
                        if (!grid->valueAt(x, y)) {
                            ++x;
                            continue;
                        }
                        std::int64_t end = x;
                        while (end < count && grid->valueAt(end, y))
                            ++end;
                        painter.drawRect(QRectF(symbol.left() + double(x) * module,
                                                symbol.top() + double(y) * module, double(end - x) * module,
                                                module));
                        x = end;
                    }
                }
            }
            painter.restore();
        },
        true);
}

platform::Image QRFrontEnd::renderDataMatrix(const DataMatrix &grid, int imageDimension, double dpi, QString *error)
{
    try {
        const QImage bitmap = renderModules(grid, imageDimension);
        if (bitmap.isNull())
            return {};
        const platform::Image image = platform::Image::fromBitmap(bitmap, QSizeF(bitmap.width(), bitmap.height()));
        return Increase_DPI(image, dpi);
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return {};
    }
}

} // namespace barcodes
