#include "drawing/CardLayers.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace drawing {

namespace {

// The smallest rectangle holding every pixel that is not fully transparent;
// empty for a transparent bitmap.
QRect coveredRect(const QImage &image)
{
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first < 0)
            continue;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

CardLayers::CardLayers(const GraphicList &graphics, const CardFace &face,
                       const std::function<bool(const TVNGraphic &)> &changes, double dpi)
    : m_dpi(dpi)
{
    if (face.size.isEmpty() || dpi <= 0)
        return;
    // The same pixel grid as platform::Image::toBitmap gives the renderer's
    // picture: whole pixels, the card stretched onto them.
    m_pixels = QSize(int(std::ceil(face.size.width() * dpi / 72.0 - 1e-9)),
                     int(std::ceil(face.size.height() * dpi / 72.0 - 1e-9)));
    m_toPixels = QTransform::fromScale(m_pixels.width() / face.size.width(), m_pixels.height() / face.size.height());
    m_outline = cardOutline(QRectF(QPointF(0, 0), face.size), face.shape);

    // Bottom to top, as the renderer draws: the last graphic of the list first.
    m_base = blank();
    QImage *target = &m_base;
    QPainter painter(target);
    beginCardPainting(painter);
    if (face.background)
        face.background(painter, QRectF(QPointF(0, 0), face.size), face.side);
    auto closeLayer = [&] {
        painter.end();
        if (target != &m_base && !m_steps.empty()) {
            const QRect covered = coveredRect(*target);
            if (!covered.isEmpty())
                m_steps.back().above = {target->copy(covered), covered.topLeft()};
        }
    };
    QImage layer;
    for (auto it = graphics.rbegin(); it != graphics.rend(); ++it) {
        const GraphicPtr &g = *it;
        if (!g || !g->ctrl_is_printable)
            continue;
        if (changes(*g)) {
            closeLayer();
            m_steps.push_back({g, {}});
            layer = blank();
            target = &layer;
            painter.begin(target);
            beginCardPainting(painter);
            continue;
        }
        g->draw(painter);
    }
    closeLayer();
}

QImage CardLayers::bitmap(QSize pixels, double dpi)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    const int dpm = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

QImage CardLayers::blank() const
{
    QImage image = bitmap(m_pixels, m_dpi);
    image.fill(Qt::transparent);
    return image;
}

void CardLayers::beginCardPainting(QPainter &painter, const QRect &band) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (band.isNull()) {
        painter.setTransform(m_toPixels);
        painter.setClipPath(m_outline);
        return;
    }
    // The band in pixels first, then the outline as the whole drawing has it.
    painter.resetTransform();
    painter.setClipRect(band);
    painter.setTransform(m_toPixels);
    painter.setClipPath(m_outline, Qt::IntersectClip);
}

QImage CardLayers::render() const
{
    if (m_base.isNull())
        return {};
    QImage card = m_base.copy();
    QPainter painter(&card);
    for (const Step &step : m_steps) {
        painter.save();
        beginCardPainting(painter);
        step.changing->draw(painter);
        painter.restore();
        if (!step.above.pixels.isNull())
            painter.drawImage(step.above.at, step.above.pixels);
    }
    return card;
}

void CardLayers::renderBand(QImage &card, const QRect &band) const
{
    const QRect rows = band & QRect(QPoint(0, 0), m_pixels);
    if (m_base.isNull() || rows.isEmpty())
        return;
    QPainter painter(&card);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(rows.topLeft(), m_base, rows);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const Step &step : m_steps) {
        painter.save();
        beginCardPainting(painter, rows);
        step.changing->draw(painter);
        painter.restore();
        const QRect above = QRect(step.above.at, step.above.pixels.size()) & rows;
        if (!above.isEmpty())
            painter.drawImage(above.topLeft(), step.above.pixels, above.translated(-step.above.at));
    }
}

std::vector<QRect> cardBands(QSize pixels, qint64 maxPixels)
{
    std::vector<QRect> bands;
    if (pixels.isEmpty())
        return bands;
    const int rows = int(std::clamp<qint64>(maxPixels / pixels.width(), 1, pixels.height()));
    for (int top = 0; top < pixels.height(); top += rows)
        bands.emplace_back(0, top, pixels.width(), std::min(rows, pixels.height() - top));
    return bands;
}

int CardLayers::layerCount() const
{
    if (m_base.isNull())
        return 0;
    return 1 + int(std::count_if(m_steps.begin(), m_steps.end(), [](const Step &s) { return !s.above.pixels.isNull(); }));
}

} // namespace drawing
