#include "barcodes/render/BarcodePicture.h"

#include "barcodes/imaging/ImageResolution.h"
#include "barcodes/symbologies/TextMeasurer.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace barcodes {

void BarcodePicture::paint(QPainter &painter) const
{
    painter.save();
    // Areas of one colour with hard edges; text below keeps the caller's
    // smoothing.
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintBackground(painter);
    if (!image.isNull())
        paintImage(painter);
    paintBars(painter);
    painter.restore();

    if (texts.empty())
        return;
    painter.save();
    for (const Text &t : texts) {
        painter.setPen(t.colour);
        for (const QGlyphRun &run : t.glyphs())
            painter.drawGlyphRun(QPointF(0, 0), run);
    }
    painter.restore();
}

namespace {

// Makes the painter's coordinates the device's pixels. A widget's painter is
// redirected into its window's backing store (offset by the widget's place in
// the window, scaled by the screen's pixel ratio); resetTransform() keeps
// that redirection, which the device transform includes, so it is undone
// here as well.
void paintInDevicePixels(QPainter &painter)
{
    painter.resetTransform();
    painter.setWorldTransform(painter.deviceTransform().inverted());
}

// The painter's bitmap when device pixels are its own pixels, so that rows
// may be written into it directly; none otherwise.
QImage *directBitmap(QPainter &painter)
{
    auto *image = dynamic_cast<QImage *>(painter.device());
    if (!image || painter.deviceTransform() != painter.combinedTransform())
        return nullptr;
    return image;
}

// The glyphs of one line of text in the font itself, its origin at the top
// left; none when the font lacks a character (another font must stand in).
std::optional<QGlyphRun> inFontItself(const QString &text, const QFont &font, double &width)
{
    const QRawFont raw = QRawFont::fromFont(font);
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
    single.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    const QFont points = pointFont(font);
    double natural = 0.0;
    QList<QGlyphRun> runs;
    if (auto run = inFontItself(single, points, natural))
        runs.append(*run);
    else
        runs = laidOut(single, points, natural);

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

void BarcodePicture::paintImage(QPainter &painter) const
{
    // Modules stay blocks of whole pixels, never blurred.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QTransform t = painter.deviceTransform();
    const QRectF area = t.mapRect(imageRect);
    const QImage &bitmap = image.bitmap();
    if (image.isVector() || t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0) {
        image.draw(painter, imageRect);
        return;
    }
    // A bitmap made at the device's resolution is copied pixel for pixel.
    const bool atDeviceResolution =
        std::abs(area.width() - bitmap.width()) < 0.5 && std::abs(area.height() - bitmap.height()) < 0.5;
    const QPoint at(int(std::lround(area.left())), int(std::lround(area.top())));
    // A symbol of a few colours goes straight into the bitmap's rows; the
    // painter would first convert all of it to 32-bit pixels.
    QImage *device = directBitmap(painter);
    if (device && device->isDetached() && !painter.hasClipping() && painter.opacity() >= 1.0
        && painter.compositionMode() == QPainter::CompositionMode_SourceOver
        && writeIndexedBitmap(*device, atDeviceResolution ? QRectF(at, bitmap.size()) : area, bitmap))
        return;
    if (!atDeviceResolution) {
        image.draw(painter, imageRect);
        return;
    }
    painter.save();
    paintInDevicePixels(painter);
    painter.drawImage(at, bitmap);
    painter.restore();
}

void BarcodePicture::paintBackground(QPainter &painter) const
{
    const QTransform t = painter.deviceTransform();
    const QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || t.type() > QTransform::TxScale) {
        painter.fillRect(QRectF(QPointF(0, 0), size), background);
        return;
    }
    // Every pixel the picture touches, the partly covered ones at its edges
    // included, so a bitmap of the picture needs no clearing first.
    const QRectF area = t.mapRect(QRectF(QPointF(0, 0), size));
    const QRect pixels(QPoint(int(std::floor(area.left() + 1e-6)), int(std::floor(area.top() + 1e-6))),
                       QPoint(int(std::ceil(area.right() - 1e-6)) - 1, int(std::ceil(area.bottom() - 1e-6)) - 1));
    painter.save();
    paintInDevicePixels(painter);
    painter.fillRect(pixels, background);
    painter.restore();
}

void BarcodePicture::paintBars(QPainter &painter) const
{
    if (bars.empty() || moduleCount <= 0)
        return;
    const QTransform t = painter.deviceTransform();
    const QPaintEngine *engine = painter.paintEngine();
    // Mirrored pictures too: the transform may scale by a negative factor.
    const bool bitmap = engine && engine->type() == QPaintEngine::Raster && t.type() <= QTransform::TxScale
        && t.m11() != 0 && t.m22() != 0;
    const bool turned = t.m11() < 0;
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
    if (pixels <= 0) {
        // A vector device, a turned picture, or modules too fine for the
        // device: exact lengths. On a bitmap, bars thinner than a pixel are
        // blended into the pixels they cover rather than rounded away.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, engine && engine->type() == QPaintEngine::Raster);
        for (const Bar &b : bars)
            painter.fillRect(QRectF(modulesLeft + b.first * moduleWidth, b.top, b.modules * moduleWidth,
                                    b.bottom - b.top),
                             barColour);
        painter.restore();
        return;
    }
    std::vector<QRect> rects;
    rects.reserve(bars.size());
    for (const Bar &b : bars) {
        const int y0 = int(std::lround(t.dy() + b.top * t.m22()));
        const int y1 = int(std::lround(t.dy() + b.bottom * t.m22()));
        // Module m counts from the left, or from the right when turned.
        const int first = turned ? moduleCount - b.first - b.modules : b.first;
        rects.emplace_back(left + first * pixels, std::min(y0, y1), b.modules * pixels, std::max(1, std::abs(y1 - y0)));
    }
    if (writeBarsIntoBitmap(painter, rects))
        return;
    painter.save();
    paintInDevicePixels(painter);
    for (const QRect &r : rects)
        painter.fillRect(r, barColour);
    painter.restore();
}

bool BarcodePicture::writeBarsIntoBitmap(QPainter &painter, const std::vector<QRect> &rects) const
{
    // Narrow bars filled one by one are many tiny fills, one per bar and row.
    // On a plain 32-bit bitmap the rows between two bar ends are all alike:
    // one is made and copied down. Only where nothing could come out
    // differently from the painter's own fill: opaque colours, plain
    // compositing, no clipping, a bitmap the painter does not share.
    QImage *image = directBitmap(painter);
    const bool plain = image && image->isDetached() && image->depth() == 32
        && (image->format() == QImage::Format_ARGB32_Premultiplied || image->format() == QImage::Format_RGB32
            || image->format() == QImage::Format_ARGB32)
        && !painter.hasClipping() && painter.opacity() >= 1.0
        && painter.compositionMode() == QPainter::CompositionMode_SourceOver && barColour.alpha() == 255;
    if (!plain)
        return false;
    const QRect bounds = image->rect();
    std::vector<int> edges;
    int x0 = bounds.right() + 1, x1 = bounds.left();
    for (const QRect &r : rects) {
        const QRect c = r.intersected(bounds);
        if (c.isEmpty())
            continue;
        edges.push_back(c.top());
        edges.push_back(c.bottom() + 1);
        x0 = std::min(x0, c.left());
        x1 = std::max(x1, c.right() + 1);
    }
    if (edges.empty())
        return true;
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const QRgb ink = barColour.rgba();
    const std::size_t span = std::size_t(x1 - x0);
    for (std::size_t band = 0; band + 1 < edges.size(); ++band) {
        const int top = edges[band], bottom = edges[band + 1];
        // The first row of the band gets the bars that cross it; the rest of
        // the band is that row again.
        auto *first = reinterpret_cast<QRgb *>(image->scanLine(top));
        bool any = false;
        for (const QRect &r : rects) {
            const QRect c = r.intersected(bounds);
            if (c.isEmpty() || c.top() > top || c.bottom() < top)
                continue;
            std::fill(first + c.left(), first + c.right() + 1, ink);
            any = true;
        }
        if (!any)
            continue;
        for (int y = top + 1; y < bottom; ++y)
            std::memcpy(reinterpret_cast<QRgb *>(image->scanLine(y)) + x0, first + x0, span * sizeof(QRgb));
    }
    return true;
}

} // namespace barcodes
