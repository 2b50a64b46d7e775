#include "barcodes/render/BarcodePicture.h"

#include "barcodes/imaging/ImageResolution.h"
#include "barcodes/symbologies/TextMeasurer.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace barcodes {

namespace {
// Far beyond any bitmap, in device pixels.
constexpr int kEverywhere = 1 << 28;

// `count` pixels from `pixel` set to `value`, two at a time: the compiler
// leaves a plain loop of one pixel a store.
inline void fillPixels(QRgb *pixel, std::ptrdiff_t count, QRgb value)
{
    const std::uint64_t two = std::uint64_t(value) << 32 | value;
    for (; count >= 4; count -= 4, pixel += 4) {
        std::memcpy(pixel, &two, sizeof two);
        std::memcpy(pixel + 2, &two, sizeof two);
    }
    for (; count > 0; --count)
        *pixel++ = value;
}

// std::lround for coordinates of a bitmap, without the library call: the
// fraction is exact once the whole part is taken off.
inline int roundToInt(double v)
{
    const auto whole = static_cast<long long>(v);
    const double fraction = v - double(whole);
    return int(whole + (fraction >= 0.5 ? 1 : fraction <= -0.5 ? -1 : 0));
}

// Every device pixel a picture of `size` touches under `t`, the partly
// covered ones at its edges included: what its background fills.
QRect touchedPixels(const QTransform &t, QSizeF size)
{
    const QRectF area = t.mapRect(QRectF(QPointF(0, 0), size));
    return QRect(QPoint(int(std::floor(area.left() + 1e-6)), int(std::floor(area.top() + 1e-6))),
                 QPoint(int(std::ceil(area.right() - 1e-6)) - 1, int(std::ceil(area.bottom() - 1e-6)) - 1));
}
} // namespace

// What text drawn straight into a bitmap needs to know of the pixels under
// it: inside `plain` they are the opaque background, unless something in
// `occupied` was drawn there; `under` gives, for each coverage, the ink
// over that background.
struct BarcodePicture::TextPixels {
    QRect plain;
    std::vector<QRect> occupied;
    QRgb ink = 0;
    std::array<QRgb, 256> under{};
    bool underReady = false;

    bool isPlain(const QRect &area) const
    {
        // Each bar on its own: text between tall bars, as under the guards
        // of retail symbols, stands on plain background.
        const auto meets = [&](const QRect &r) {
            return !r.isEmpty() && r.left() <= area.right() && area.left() <= r.right() && r.top() <= area.bottom()
                && area.top() <= r.bottom();
        };
        return plain.contains(area) && std::none_of(occupied.begin(), occupied.end(), meets);
    }
};

BarcodePicture::TextPixels BarcodePicture::plainPixels(const QPainter &painter) const
{
    TextPixels pixels;
    const QTransform t = painter.deviceTransform();
    if (background.alpha() == 255 && t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0) {
        // The pixels wholly inside the picture, which its background filled.
        const QRectF area = t.mapRect(QRectF(QPointF(0, 0), size));
        pixels.plain = QRect(QPoint(int(std::ceil(area.left() - 1e-6)), int(std::ceil(area.top() - 1e-6))),
                             QPoint(int(std::floor(area.right() + 1e-6)) - 1,
                                    int(std::floor(area.bottom() + 1e-6)) - 1));
    }
    return pixels;
}

void BarcodePicture::paint(QPainter &painter) const
{
    // A 2-D symbol written straight into a bitmap comes first, its clear
    // pixels as the background, and the background is filled only around
    // it: each of its pixels is written once rather than filled and then
    // written over.
    // Bars alone are written the same way: the rows they cross, gaps
    // included, then the background around them.
    QRect written;
    const bool imageWritten = writeImageFirst(painter, written);
    std::vector<QRect> barPixels;
    const bool barsWritten = !imageWritten && image.isNull() && writeBarsFirst(painter, written, barPixels);
    const QRect hole = imageWritten || barsWritten ? written : QRect();
    const bool backgroundWritten = writeBackground(painter, hole);
    // What was not written straight into the bitmap the painter draws, as
    // areas of one colour with hard edges; text below keeps the caller's
    // smoothing. A plain bitmap leaves the painter's state untouched.
    if (!backgroundWritten || (!image.isNull() && !imageWritten) || !barsWritten) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (!backgroundWritten)
            paintBackground(painter, hole);
        if (!image.isNull() && !imageWritten)
            paintImage(painter);
        if (!barsWritten)
            barPixels = paintBars(painter);
        painter.restore();
    }

    if (texts.empty())
        return;
    TextPixels pixels = plainPixels(painter);
    pixels.occupied = std::move(barPixels);
    if (!image.isNull())
        pixels.occupied.push_back(painter.deviceTransform().mapRect(imageRect).toAlignedRect());
    // Texts under given modules move as far as those modules moved when the
    // bars were fitted to whole pixels.
    const Fit fit = fitBars(painter);
    const QTransform device = painter.deviceTransform();
    bool saved = false;
    for (const Text &text : texts) {
        Text t = text;
        if (t.anchorModule >= 0 && fit.pixels > 0 && device.m11() > 0) {
            const double exact = device.dx() + (modulesLeft + t.anchorModule * moduleWidth) * device.m11();
            const double fitted = fit.left + t.anchorModule * fit.pixels;
            t.rect.translate((fitted - exact) / device.m11(), 0);
            // Characters keep to their modules; the line, centred on its
            // anchor, grows or shrinks on both sides alike.
            const double grown = t.anchorPitch * (fit.pixels / device.m11() - moduleWidth);
            t.kerning += grown;
            t.rect.translate(-grown * double(std::max<qsizetype>(0, t.text.size() - 1)) / 2.0, 0);
        }
        const QList<QGlyphRun> runs = t.glyphs();
        if (writeTextIntoBitmap(painter, runs, t, pixels))
            continue;
        // Where the painter drew is unknown from here on.
        pixels.plain = QRect();
        if (!saved) {
            painter.save();
            saved = true;
        }
        painter.setPen(t.colour);
        for (const QGlyphRun &run : runs)
            painter.drawGlyphRun(QPointF(0, 0), run);
    }
    if (saved)
        painter.restore();
}

namespace {

// The painter's bitmap when device pixels are its own pixels, so that rows
// may be written into it directly; none otherwise.
QImage *directBitmap(QPainter &painter)
{
    auto *image = dynamic_cast<QImage *>(painter.device());
    if (!image || painter.deviceTransform() != painter.combinedTransform())
        return nullptr;
    return image;
}

// `ink` (opaque) over `under` by `coverage` of 255, two channels at a time.
inline QRgb over(QRgb ink, QRgb under, uint coverage)
{
    const uint rest = 255 - coverage;
    uint rb = (ink & 0xff00ff) * coverage + (under & 0xff00ff) * rest;
    rb = ((rb + ((rb >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    uint ag = ((ink >> 8) & 0xff00ff) * coverage + ((under >> 8) & 0xff00ff) * rest;
    ag = (ag + ((ag >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return ag | rb;
}

// `ink` over `count` pixels by the coverages `cover`. Most of a glyph's box
// is uncovered or fully covered: eight coverages at a time are skipped or
// filled, the rest blended one by one.
void blendRow(QRgb *pixel, const uchar *cover, int count, QRgb ink)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, cover + i, sizeof eight);
        if (eight == 0)
            continue;
        if (eight == ~std::uint64_t(0)) {
            std::fill(pixel + i, pixel + i + 8, ink);
            continue;
        }
        for (int k = i; k < i + 8; ++k) {
            const uint a = cover[k];
            if (a == 255)
                pixel[k] = ink;
            else if (a != 0)
                pixel[k] = over(ink, pixel[k], a);
        }
    }
    for (; i < count; ++i) {
        const uint a = cover[i];
        if (a == 255)
            pixel[i] = ink;
        else if (a != 0)
            pixel[i] = over(ink, pixel[i], a);
    }
}

// A plain 32-bit bitmap the painter draws on alone, with nothing between
// its fills and the pixels: no clipping, no transparency, plain compositing.
// Opaque pixels may be stored in any 32-bit format; `blending` needs
// premultiplied ones.
QImage *plainBitmap(QPainter &painter, const QColor &colour, bool blending)
{
    QImage *image = directBitmap(painter);
    const QImage::Format f = image ? image->format() : QImage::Format_Invalid;
    const bool plain = image && image->isDetached()
        && (f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_RGB32
            || (!blending && f == QImage::Format_ARGB32))
        && !painter.hasClipping() && painter.opacity() >= 1.0
        && painter.compositionMode() == QPainter::CompositionMode_SourceOver && colour.alpha() == 255;
    return plain ? image : nullptr;
}

} // namespace

bool BarcodePicture::writeTextIntoBitmap(QPainter &painter, const QList<QGlyphRun> &runs, const Text &text,
                                         TextPixels &pixels) const
{
    // Qt blends every glyph of every caption anew, and that is most of the
    // time a symbol's bitmap takes; the glyphs of a caption font are drawn
    // once per size and blended here. Only glyphs of the font itself, at a
    // plain scale with antialiased text, on a plain bitmap. A bitmap of
    // whole pixels may scale its two sides a little differently: the glyphs
    // keep their shape, and the places of lines follow the picture.
    QImage *image = plainBitmap(painter, text.colour, true);
    const QTransform t = painter.deviceTransform();
    if (!image || runs.size() != 1 || !painter.testRenderHint(QPainter::TextAntialiasing)
        || t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0
        || std::abs(t.m22() / t.m11() - 1.0) > 0.01)
        return false;
    const auto font = cachedPointFont(text.font);
    if (!font->raw.isValid() || !(runs.front().rawFont() == font->raw))
        return false;
    const double scale = t.m11();
    const QRgb ink = text.colour.rgba();
    const QRect bounds = image->rect();
    uchar *bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    const QList<quint32> glyphs = runs.front().glyphIndexes();
    const QList<QPointF> positions = runs.front().positions();
    for (qsizetype g = 0; g < glyphs.size(); ++g) {
        const QPointF at = t.map(positions[g]);
        int x = int(std::floor(at.x()));
        int quarter = int(std::lround((at.x() - x) * 4.0));
        if (quarter == 4) {
            ++x;
            quarter = 0;
        }
        const int y = int(std::lround(at.y()));
        const PointFont::GlyphMask &mask = font->mask(glyphs[g], scale, quarter);
        const QRect area = QRect(QPoint(x + mask.left, y + mask.top), mask.alpha.size()).intersected(bounds);
        const uchar *maskBits = mask.alpha.constBits();
        const qsizetype maskStride = mask.alpha.bytesPerLine();
        // Over plain background every coverage gives one known colour: no
        // blending, and no need to read the pixels. Only the pixels on the
        // bitmap count: a side digit partly past the edge of the picture is
        // as plain as the others.
        const QRect inked = mask.ink.translated(x + mask.left, y + mask.top);
        const QRect visible = inked.intersected(bounds);
        const bool plain = !visible.isEmpty() && pixels.isPlain(visible);
        if (plain && (!pixels.underReady || pixels.ink != ink)) {
            const QRgb back = background.rgba();
            for (uint a = 0; a < 256; ++a)
                pixels.under[a] = over(ink, back, a);
            pixels.ink = ink;
            pixels.underReady = true;
        }
        if (!inked.isEmpty())
            pixels.occupied.push_back(inked);
        // Over plain background the glyph's rows are copied from the mask
        // tinted once in these colours.
        const qsizetype maskWidth = mask.alpha.width();
        if (plain && (mask.tint.empty() || mask.tintInk != ink || mask.tintBack != background.rgba())) {
            mask.tint.resize(std::size_t(maskWidth) * std::size_t(mask.alpha.height()));
            for (int my = 0; my < mask.alpha.height(); ++my) {
                const uchar *cover = maskBits + std::ptrdiff_t(my) * maskStride;
                QRgb *row = mask.tint.data() + std::ptrdiff_t(my) * maskWidth;
                for (qsizetype i = 0; i < maskWidth; ++i)
                    row[i] = pixels.under[cover[i]];
            }
            mask.tintInk = ink;
            mask.tintBack = background.rgba();
        }
        for (int row = area.top(); row <= area.bottom(); ++row) {
            // Mask columns of this row that are covered and on the bitmap.
            const int my = row - y - mask.top;
            const int mx0 = area.left() - x - mask.left;
            const int from = std::max(mask.covered[std::size_t(my)].first, mx0);
            const int to = std::min(mask.covered[std::size_t(my)].second, mx0 + area.width());
            if (from >= to)
                continue;
            if (plain) {
                QRgb *out = reinterpret_cast<QRgb *>(bits + std::ptrdiff_t(row) * stride) + (x + mask.left);
                std::memcpy(out + from, mask.tint.data() + std::ptrdiff_t(my) * maskWidth + from,
                            std::size_t(to - from) * sizeof(QRgb));
                continue;
            }
            blendRow(reinterpret_cast<QRgb *>(bits + std::ptrdiff_t(row) * stride) + (x + mask.left + from),
                     maskBits + std::ptrdiff_t(my) * maskStride + from, to - from, ink);
        }
    }
    return true;
}

namespace {

// The glyphs of one line of text in the font itself, its origin at the top
// left; none when the font lacks a character (another font must stand in).
std::optional<QGlyphRun> inFontItself(const QString &text, const QRawFont &raw, double &width)
{
    if (!raw.isValid())
        return std::nullopt;
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    if (glyphs.isEmpty() || std::find(glyphs.begin(), glyphs.end(), 0u) != glyphs.end())
        return std::nullopt;
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    double x = 0.0;
    for (const QPointF &advance : advances) {
        positions.append(QPointF(x, raw.ascent()));
        x += advance.x();
    }
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    width = x;
    return run;
}

// The same through the full text layout: font fallback, shaping, scripts.
QList<QGlyphRun> laidOut(const QString &text, const QFont &font, double &width)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {};
    }
    line.setLineWidth(1e6);
    layout.endLayout();
    width = line.naturalTextWidth();
    return layout.glyphRuns();
}

} // namespace

QList<QGlyphRun> BarcodePicture::Text::glyphs() const
{
    // One line: line breaks in the text count as spaces.
    QString single(text);
    if (single.contains(QLatin1Char('\n')) || single.contains(QLatin1Char('\r')))
        single.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    const auto points = cachedPointFont(font);
    double natural = 0.0;
    QList<QGlyphRun> runs;
    if (auto run = inFontItself(single, points->raw, natural))
        runs.append(*run);
    else
        runs = laidOut(single, points->font, natural);

    // Each glyph moves right by the spacing of the glyphs before it, in the
    // order they stand on the line.
    std::vector<double> xs;
    for (const QGlyphRun &run : runs) {
        for (const QPointF &p : run.positions())
            xs.push_back(p.x());
    }
    std::sort(xs.begin(), xs.end());
    const double width = natural + kerning * single.size();
    double left = rect.left();
    if (alignment & Qt::AlignHCenter)
        left += (rect.width() - width) / 2.0;
    else if (alignment & Qt::AlignRight)
        left += rect.width() - width;
    for (QGlyphRun &run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF &p : positions) {
            const auto before = std::lower_bound(xs.begin(), xs.end(), p.x()) - xs.begin();
            p += QPointF(left + kerning * double(before), rect.top());
        }
        run.setPositions(positions);
    }
    return runs;
}

std::optional<BarcodePicture::ImagePlace> BarcodePicture::imagePlace(const QPainter &painter) const
{
    const QTransform t = painter.deviceTransform();
    if (image.isNull() || image.isVector() || t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0)
        return std::nullopt;
    const QRectF area = t.mapRect(imageRect);
    const QImage &bitmap = image.bitmap();
    ImagePlace place;
    // A bitmap made at the device's resolution is copied pixel for pixel.
    place.atDeviceResolution =
        std::abs(area.width() - bitmap.width()) < 0.5 && std::abs(area.height() - bitmap.height()) < 0.5;
    place.area = place.atDeviceResolution
        ? QRectF(QPoint(int(std::lround(area.left())), int(std::lround(area.top()))), bitmap.size())
        : area;
    return place;
}

namespace {

// The painter's bitmap when a symbol may be written into its rows as the
// painter would draw it: nothing clips, fades or blends it differently.
QImage *writableBitmap(QPainter &painter)
{
    QImage *device = directBitmap(painter);
    const bool plain = device && device->isDetached() && !painter.hasClipping() && painter.opacity() >= 1.0
        && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    return plain ? device : nullptr;
}

} // namespace

bool BarcodePicture::writeImageFirst(QPainter &painter, QRect &written) const
{
    const QPaintEngine *engine = painter.paintEngine();
    if (background.alpha() != 255 || !engine || engine->type() != QPaintEngine::Raster
        || !QRectF(QPointF(0, 0), size).contains(imageRect))
        return false;
    const auto place = imagePlace(painter);
    QImage *device = place ? writableBitmap(painter) : nullptr;
    return device && writeIndexedBitmapOver(*device, place->area, image.bitmap(), background.rgba(), written);
}

void BarcodePicture::paintImage(QPainter &painter) const
{
    // Modules stay blocks of whole pixels, never blurred.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const auto place = imagePlace(painter);
    if (!place) {
        image.draw(painter, imageRect);
        return;
    }
    // The background was just filled into every pixel of the picture on a
    // bitmap: under an image inside the picture there is one colour.
    const QPaintEngine *engine = painter.paintEngine();
    const bool overBackground = background.alpha() == 255 && engine && engine->type() == QPaintEngine::Raster
        && QRectF(QPointF(0, 0), size).contains(imageRect);
    // A symbol of a few colours goes straight into the bitmap's rows; the
    // painter would first convert all of it to 32-bit pixels.
    QImage *device = writableBitmap(painter);
    if (device && writeIndexedBitmap(*device, place->area, image.bitmap(), overBackground))
        return;
    if (!place->atDeviceResolution) {
        image.draw(painter, imageRect);
        return;
    }
    painter.save();
    paintInDevicePixels(painter);
    painter.drawImage(place->area.topLeft().toPoint(), image.bitmap());
    painter.restore();
}

std::array<QRect, 4> BarcodePicture::backgroundPieces(const QTransform &t, const QRect &written) const
{
    // Every pixel the picture touches, the partly covered ones at its edges
    // included, so a bitmap of the picture needs no clearing first.
    const QRect pixels = touchedPixels(t, size);
    const QRect hole = written.intersected(pixels);
    if (hole.isEmpty())
        return {pixels};
    // The bands above and below the pixels already written, and the pieces
    // left and right of them.
    return {
        QRect(QPoint(pixels.left(), pixels.top()), QPoint(pixels.right(), hole.top() - 1)),
        QRect(QPoint(pixels.left(), hole.bottom() + 1), QPoint(pixels.right(), pixels.bottom())),
        QRect(QPoint(pixels.left(), hole.top()), QPoint(hole.left() - 1, hole.bottom())),
        QRect(QPoint(hole.right() + 1, hole.top()), QPoint(pixels.right(), hole.bottom())),
    };
}

bool BarcodePicture::writeBackground(QPainter &painter, const QRect &written) const
{
    // A plain bitmap takes the rows straight, one filled and copied down;
    // setting up the painter's fill costs more than the fill of a small
    // picture.
    const QTransform t = painter.deviceTransform();
    const QPaintEngine *engine = painter.paintEngine();
    QImage *image = engine && engine->type() == QPaintEngine::Raster && t.type() <= QTransform::TxScale
        ? plainBitmap(painter, background, false)
        : nullptr;
    if (!image)
        return false;
    const QRgb back = background.rgba();
    uchar *bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    for (const QRect &r : backgroundPieces(t, written)) {
        const QRect c = r.intersected(image->rect());
        if (c.isEmpty())
            continue;
        QRgb *first = reinterpret_cast<QRgb *>(bits + std::ptrdiff_t(c.top()) * stride) + c.left();
        fillPixels(first, c.width(), back);
        for (int y = c.top() + 1; y <= c.bottom(); ++y)
            std::memcpy(bits + std::ptrdiff_t(y) * stride + std::ptrdiff_t(c.left()) * 4, first,
                        std::size_t(c.width()) * sizeof(QRgb));
    }
    return true;
}

void BarcodePicture::paintBackground(QPainter &painter, const QRect &written) const
{
    const QTransform t = painter.deviceTransform();
    const QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || t.type() > QTransform::TxScale) {
        painter.fillRect(QRectF(QPointF(0, 0), size), background);
        return;
    }
    painter.save();
    paintInDevicePixels(painter);
    for (const QRect &r : backgroundPieces(t, written)) {
        if (!r.isEmpty())
            painter.fillRect(r, background);
    }
    painter.restore();
}

BarcodePicture::Fit BarcodePicture::fitBars(const QPainter &painter) const
{
    Fit fit;
    if (moduleCount <= 0)
        return fit;
    const QTransform t = painter.deviceTransform();
    const QPaintEngine *engine = painter.paintEngine();
    // Mirrored pictures too: the transform may scale by a negative factor.
    const bool bitmap = engine && engine->type() == QPaintEngine::Raster && t.type() <= QTransform::TxScale
        && t.m11() != 0 && t.m22() != 0;
    // Whole device pixels per module: the nearest to the exact width, or
    // fewer when the picture has no room for that many.
    int pixels = 0;
    int left = 0;
    if (bitmap) {
        const double scale = std::abs(t.m11());
        const double edge = std::min(t.dx(), t.dx() + size.width() * t.m11());
        const double pictureLeft = std::ceil(edge - 1e-6);
        const double pictureRight = std::floor(edge + size.width() * scale + 1e-6);
        const double room = pictureRight - pictureLeft;
        pixels = std::max(1, int(std::lround(moduleWidth * scale)));
        if (double(pixels) * moduleCount > room)
            pixels = int(room) / moduleCount;
        const double centre = t.dx() + (modulesLeft + moduleCount * moduleWidth / 2.0) * t.m11();
        left = int(std::lround(centre - pixels * moduleCount / 2.0));
        left = int(std::clamp(double(left), pictureLeft, std::max(pictureLeft, pictureRight - pixels * moduleCount)));
    }
    fit.pixels = std::max(0, pixels);
    fit.left = left;
    return fit;
}

std::vector<QRect> BarcodePicture::barRects(const QPainter &painter, const Fit &fit) const
{
    const QTransform t = painter.deviceTransform();
    const bool turned = t.m11() < 0;
    std::vector<QRect> rects;
    rects.reserve(bars.size());
    for (const Bar &b : bars) {
        const int y0 = roundToInt(t.dy() + b.top * t.m22());
        const int y1 = roundToInt(t.dy() + b.bottom * t.m22());
        // Module m counts from the left, or from the right when turned.
        const int first = turned ? moduleCount - b.first - b.modules : b.first;
        rects.emplace_back(fit.left + first * fit.pixels, std::min(y0, y1), b.modules * fit.pixels,
                           std::max(1, std::abs(y1 - y0)));
    }
    return rects;
}

bool BarcodePicture::writeBarsFirst(QPainter &painter, QRect &written, std::vector<QRect> &drawn) const
{
    if (bars.empty() || moduleCount <= 0 || background.alpha() != 255)
        return false;
    const Fit fit = fitBars(painter);
    if (fit.pixels <= 0)
        return false;
    std::vector<QRect> rects = barRects(painter, fit);
    if (!writeBarsIntoBitmap(painter, rects, &written))
        return false;
    drawn = std::move(rects);
    return true;
}

std::vector<QRect> BarcodePicture::paintBars(QPainter &painter) const
{
    if (bars.empty() || moduleCount <= 0)
        return {};
    const Fit fit = fitBars(painter);
    if (fit.pixels <= 0) {
        // A vector device, a turned picture, or modules too fine for the
        // device: exact lengths. On a bitmap, bars thinner than a pixel are
        // blended into the pixels they cover rather than rounded away.
        const QPaintEngine *engine = painter.paintEngine();
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, engine && engine->type() == QPaintEngine::Raster);
        for (const Bar &b : bars)
            painter.fillRect(QRectF(modulesLeft + b.first * moduleWidth, b.top, b.modules * moduleWidth,
                                    b.bottom - b.top),
                             barColour);
        painter.restore();
        return {QRect(QPoint(-kEverywhere, -kEverywhere), QPoint(kEverywhere, kEverywhere))};
    }
    std::vector<QRect> rects = barRects(painter, fit);
    if (writeBarsIntoBitmap(painter, rects))
        return rects;
    painter.save();
    paintInDevicePixels(painter);
    for (const QRect &r : rects)
        painter.fillRect(r, barColour);
    painter.restore();
    return rects;
}

bool BarcodePicture::writeBarsIntoBitmap(QPainter &painter, const std::vector<QRect> &rects, QRect *unfilled) const
{
    // Narrow bars filled one by one are many tiny fills, one per bar and row.
    // On a plain 32-bit bitmap the rows between two bar ends are all alike:
    // one is made and copied down. Only where nothing could come out
    // differently from the painter's own fill: opaque colours, plain
    // compositing, no clipping, a bitmap the painter does not share.
    QImage *image = plainBitmap(painter, barColour, false);
    if (!image)
        return false;
    const int width = image->width(), height = image->height();
    std::vector<QRect> clipped;
    clipped.reserve(rects.size());
    // Bars share a few heights: their distinct ends are kept as they come
    // and only those sorted.
    std::vector<int> edges;
    edges.reserve(8);
    auto addEdge = [&edges](int y) {
        for (const int e : edges) {
            if (e == y)
                return;
        }
        edges.push_back(y);
    };
    int x0 = width, x1 = 0;
    for (const QRect &r : rects) {
        const QRect c(QPoint(std::max(r.left(), 0), std::max(r.top(), 0)),
                      QPoint(std::min(r.right(), width - 1), std::min(r.bottom(), height - 1)));
        if (c.isEmpty())
            continue;
        clipped.push_back(c);
        addEdge(c.top());
        addEdge(c.bottom() + 1);
        x0 = std::min(x0, c.left());
        x1 = std::max(x1, c.right() + 1);
    }
    if (edges.empty())
        return !unfilled;
    std::sort(edges.begin(), edges.end());
    const QRgb ink = barColour.rgba();
    const std::size_t span = std::size_t(x1 - x0);
    uchar *bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    auto line = [&](int y) { return reinterpret_cast<QRgb *>(bits + std::ptrdiff_t(y) * stride); };
    // The gaps between bars show the picture's background, alike in every
    // row only when it is opaque and only within the picture; through a
    // clear or translucent one, or past the picture's edges, they show
    // whatever the bitmap held there, which differs from row to row.
    QRect inside;
    if (background.alpha() == 255) {
        const QRectF area = painter.deviceTransform().mapRect(QRectF(QPointF(0, 0), size));
        inside = QRect(QPoint(int(std::ceil(area.left() - 1e-6)), int(std::ceil(area.top() - 1e-6))),
                       QPoint(int(std::floor(area.right() + 1e-6)) - 1, int(std::floor(area.bottom() + 1e-6)) - 1));
    }
    // Into pixels not filled yet, every row from the first bar's top to the
    // last one's bottom gets the background between the bars as well: where
    // the background would have been filled, the edge pixels it partly
    // covers included.
    const QRect rows(QPoint(x0, edges.front()), QPoint(x1 - 1, edges.back() - 1));
    if (unfilled) {
        if (background.alpha() != 255 || !touchedPixels(painter.deviceTransform(), size).contains(rows))
            return false;
        *unfilled = rows;
    }
    const QRgb back = background.rgba();
    for (std::size_t band = 0; band + 1 < edges.size(); ++band) {
        const int top = edges[band], bottom = edges[band + 1];
        // The first row of the band gets the bars that cross it; the rest of
        // the band is that row again (or gets the same bars).
        QRgb *first = line(top);
        if (unfilled)
            fillPixels(first + x0, x1 - x0, back);
        bool any = unfilled != nullptr;
        for (const QRect &c : clipped) {
            if (c.top() > top || c.bottom() < top)
                continue;
            fillPixels(first + c.left(), c.width(), ink);
            any = true;
        }
        if (!any)
            continue;
        if (!unfilled && !inside.contains(QRect(QPoint(x0, top), QPoint(x1 - 1, bottom - 1)))) {
            for (int y = top + 1; y < bottom; ++y) {
                for (const QRect &c : clipped) {
                    if (c.top() <= top && c.bottom() >= top)
                        fillPixels(line(y) + c.left(), c.width(), ink);
                }
            }
            continue;
        }
        for (int y = top + 1; y < bottom; ++y)
            std::memcpy(line(y) + x0, first + x0, span * sizeof(QRgb));
    }
    return true;
}

} // namespace barcodes
