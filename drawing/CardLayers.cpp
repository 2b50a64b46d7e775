#include "drawing/CardLayers.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace drawing {

namespace {

// Rows `first` to `first + count - 1` of `card` as a bitmap of their own that
// shares the card's pixels: painting on it paints those rows of the card,
// and only those, whatever is drawn. The card must not be shared.
QImage rowsOf(QImage &card, int first, int count)
{
    QImage rows(card.scanLine(first), card.width(), count, card.bytesPerLine(), card.format());
    // Fonts are sized by the device's resolution: the card's.
    rows.setDotsPerMeterX(card.dotsPerMeterX());
    rows.setDotsPerMeterY(card.dotsPerMeterY());
    return rows;
}

// Rows `first` to `first + count - 1` of `from` copied into `to` at the same
// rows; both of one width and format.
void copyRows(const QImage &from, QImage &to, int first, int count)
{
    const auto bytes = size_t(from.width()) * 4;
    for (int y = first; y < first + count; ++y)
        std::memcpy(to.scanLine(y), from.constScanLine(y), bytes);
}

// The smallest rectangle holding every pixel of rows `first` to
// `first + count - 1` that is not fully transparent; empty when none.
QRect coveredRect(const QImage &image, int first, int count)
{
    int left = image.width(), right = -1, top = -1, bottom = -1;
    for (int y = first; y < first + count; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = 0;
        while (x < image.width() && qAlpha(row[x]) == 0)
            ++x;
        if (x == image.width())
            continue;
        int last = image.width() - 1;
        while (qAlpha(row[last]) == 0)
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        if (top < 0)
            top = y;
        bottom = y;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

CardLayers::CardLayers(const GraphicList &graphics, const CardFace &face,
                       const std::function<bool(const TVNGraphic &)> &changes, double dpi, Build build)
    : m_dpi(dpi)
    , m_face(face)
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
    m_fixed.emplace_back();
    for (auto it = graphics.rbegin(); it != graphics.rend(); ++it) {
        const GraphicPtr &g = *it;
        if (!g || !g->ctrl_is_printable)
            continue;
        if (changes(*g)) {
            m_steps.push_back({g, {}});
            m_fixed.emplace_back();
        } else {
            m_fixed.back().push_back(g);
        }
    }
    m_base = bitmap(m_pixels, m_dpi);
    if (build == Build::Now) {
        while (!isBuilt())
            buildStep(qint64(m_pixels.width()) * m_pixels.height());
    }
}

qint64 CardLayers::buildStep(qint64 maxPixels)
{
    if (isBuilt() || m_pixels.isEmpty())
        return 0;
    BuildState &b = m_build;
    const int width = m_pixels.width();
    const int rowsAtOnce = int(std::clamp<qint64>(maxPixels / width, 1, m_pixels.height()));

    if (b.cropping) {
        // The covered part of the layer over a step, copied out a band at a time.
        Layer &above = m_steps[size_t(b.layer - 1)].above;
        const int count = std::min(rowsAtOnce, b.covered.bottom() + 1 - b.row);
        const auto bytes = size_t(b.covered.width()) * 4;
        for (int y = b.row; y < b.row + count; ++y) {
            std::memcpy(above.pixels.scanLine(y - b.covered.top()),
                        b.pixels.constScanLine(y) + size_t(b.covered.left()) * 4, bytes);
        }
        b.row += count;
        const qint64 copied = qint64(count) * b.covered.width();
        if (b.row > b.covered.bottom())
            nextLayer();
        return copied;
    }

    QImage &target = b.layer == 0 ? m_base : b.pixels;
    if (target.isNull())
        target = bitmap(m_pixels, m_dpi);
    const int count = std::min(rowsAtOnce, m_pixels.height() - b.row);
    QImage rows = rowsOf(target, b.row, count);
    rows.fill(Qt::transparent);
    QPainter painter(&rows);
    beginCardPainting(painter, b.row);
    if (b.layer == 0 && m_face.background)
        m_face.background(painter, QRectF(QPointF(0, 0), m_face.size), m_face.side);
    for (const GraphicPtr &g : m_fixed[size_t(b.layer)])
        g->draw(painter);
    painter.end();
    if (b.layer > 0)
        b.covered |= coveredRect(b.pixels, b.row, count);
    b.row += count;
    if (b.row >= m_pixels.height()) {
        if (b.layer > 0 && !b.covered.isEmpty()) {
            // Only what the layer covers is kept.
            m_steps[size_t(b.layer - 1)].above = {bitmap(b.covered.size(), m_dpi), b.covered.topLeft()};
            b.cropping = true;
            b.row = b.covered.top();
        } else {
            nextLayer();
        }
    }
    return qint64(count) * width;
}

void CardLayers::nextLayer()
{
    BuildState &b = m_build;
    m_fixed[size_t(b.layer)].clear();
    const int next = b.layer + 1;
    b = BuildState();
    b.layer = next;
    // A step with nothing over it up to the next one needs no layer.
    while (!isBuilt() && m_fixed[size_t(b.layer)].empty())
        ++b.layer;
}

QImage CardLayers::bitmap(QSize pixels, double dpi)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    const int dpm = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

void CardLayers::beginCardPainting(QPainter &painter, int firstRow) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(m_toPixels * QTransform::fromTranslate(0, -firstRow));
    painter.setClipPath(m_outline);
}

QImage CardLayers::render() const
{
    if (m_base.isNull() || !isBuilt())
        return {};
    QImage card = bitmap(m_pixels, m_dpi);
    renderBand(card, QRect(QPoint(0, 0), m_pixels));
    return card;
}

void CardLayers::renderBand(QImage &card, const QRect &band) const
{
    const QRect rows = QRect(0, band.top(), m_pixels.width(), band.height()) & QRect(QPoint(0, 0), m_pixels);
    if (m_base.isNull() || !isBuilt() || rows.isEmpty() || card.size() != m_pixels)
        return;
    copyRows(m_base, card, rows.top(), rows.height());
    QImage view = rowsOf(card, rows.top(), rows.height());
    QPainter painter(&view);
    for (const Step &step : m_steps) {
        painter.save();
        beginCardPainting(painter, rows.top());
        step.changing->draw(painter);
        painter.restore();
        const QRect above = QRect(step.above.at, step.above.pixels.size()) & rows;
        if (!above.isEmpty())
            painter.drawImage(above.topLeft() - QPoint(0, rows.top()), step.above.pixels,
                              above.translated(-step.above.at));
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
