#include "barcodes/render/BarcodePicture.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace barcodes {

void BarcodePicture::paint(QPainter &painter) const
{
    painter.save();
    // Areas of one colour with hard edges; text below keeps the caller's
    // smoothing.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRectF(QPointF(0, 0), size), background);
    if (!image.isNull()) {
        // Modules stay blocks of whole pixels, never blurred.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        image.draw(painter, imageRect);
    }
    paintBars(painter);
    painter.restore();

    if (texts.empty())
        return;
    painter.save();
    for (const Text &t : texts) {
        painter.setPen(t.colour);
        for (const QGlyphRun &run : t.glyphs)
            painter.drawGlyphRun(QPointF(0, 0), run);
    }
    painter.restore();
}

BarcodePicture::Text BarcodePicture::layOutText(const QString &text, const QFont &font, double kerning,
                                                const QRectF &rect, Qt::Alignment alignment, const QColor &colour)
{
    // Laid out at 72 dots per inch, so lengths come out in points, with the
    // outlines' own metrics, which any resolution draws alike.
    static const QImage pointDevice = [] {
        QImage device(1, 1, QImage::Format_ARGB32);
        const int dotsPerMetre = int(std::lround(72.0 / 0.0254));
        device.setDotsPerMeterX(dotsPerMetre);
        device.setDotsPerMeterY(dotsPerMetre);
        return device;
    }();
    QFont unhinted(font);
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    // One line: line breaks in the text count as spaces.
    QString single(text);
    single.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    QTextLayout layout(single, QFont(unhinted, &pointDevice), &pointDevice);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {{}, colour};
    }
    line.setLineWidth(1e6);
    layout.endLayout();

    // Each glyph moves right by the spacing of the glyphs before it, in the
    // order they stand on the line.
    QList<QGlyphRun> runs = layout.glyphRuns();
    std::vector<double> xs;
    for (const QGlyphRun &run : runs) {
        for (const QPointF &p : run.positions())
            xs.push_back(p.x());
    }
    std::sort(xs.begin(), xs.end());
    const double width = line.naturalTextWidth() + kerning * text.size();
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
    return {runs, colour};
}

void BarcodePicture::paintBars(QPainter &painter) const
{
    if (bars.empty() || moduleCount <= 0)
        return;
    const QTransform t = painter.deviceTransform();
    const QPaintEngine *engine = painter.paintEngine();
    const bool bitmap = engine && engine->type() == QPaintEngine::Raster && t.type() <= QTransform::TxScale
        && t.m11() > 0 && t.m22() > 0;
    // Whole device pixels per module: the nearest to the exact width, or
    // fewer when the picture has no room for that many.
    int pixels = 0;
    int left = 0;
    if (bitmap) {
        const double pictureLeft = std::ceil(t.dx() - 1e-6);
        const double pictureRight = std::floor(t.dx() + size.width() * t.m11() + 1e-6);
        const double room = pictureRight - pictureLeft;
        pixels = std::max(1, int(std::lround(moduleWidth * t.m11())));
        if (double(pixels) * moduleCount > room)
            pixels = int(room) / moduleCount;
        const double centre = t.dx() + (modulesLeft + moduleCount * moduleWidth / 2.0) * t.m11();
        left = int(std::lround(centre - pixels * moduleCount / 2.0));
        left = int(std::clamp(double(left), pictureLeft, std::max(pictureLeft, pictureRight - pixels * moduleCount)));
    }
    if (pixels <= 0) {
        // A vector device, a turned picture, or modules too fine for the
        // device: exact lengths.
        for (const Bar &b : bars)
            painter.fillRect(QRectF(modulesLeft + b.first * moduleWidth, b.top, b.modules * moduleWidth,
                                    b.bottom - b.top),
                             barColour);
        return;
    }
    painter.save();
    painter.resetTransform();
    for (const Bar &b : bars) {
        const int top = int(std::lround(t.dy() + b.top * t.m22()));
        const int bottom = int(std::lround(t.dy() + b.bottom * t.m22()));
        painter.fillRect(QRect(left + b.first * pixels, top, b.modules * pixels, std::max(1, bottom - top)),
                         barColour);
    }
    painter.restore();
}

} // namespace barcodes
