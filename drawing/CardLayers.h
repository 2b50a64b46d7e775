#pragma once
// A card side drawn again and again while only some of its graphics change,
// as in a batch run. The background, the outline and the graphics that do
// not change are drawn once, at the run's resolution, into bitmaps: one under
// the lowest changing graphic and one (cut to what it covers) over each
// changing graphic. Every drawing then starts from a copy of the first and
// paints only the changing graphics, each followed by what lies over it, so
// the cost of a drawing does not depend on the rest of the card. The pixels
// are those of the card renderer's picture rendered at the same resolution.
// Main thread only, as every reader of the live design.

#include "drawing/TVNRenderingView.h"

#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QTransform>
#include <functional>
#include <vector>

namespace drawing {

class CardLayers {
public:
    // Draws `face` and the graphics for which `changes` answers false, at
    // `dpi`. `graphics` is in the renderer's order (index 0 in front). The
    // graphics must stay in the same order, and those that do not change must
    // not change, while the layers are in use.
    CardLayers(const GraphicList &graphics, const CardFace &face,
               const std::function<bool(const TVNGraphic &)> &changes, double dpi);

    // The side as it is now: ceil(points × dpi ÷ 72) pixels on each side,
    // premultiplied ARGB with the resolution stored, transparent outside the
    // outline. Null when the face has no size.
    QImage render() const;
    // The same pixels drawn a band at a time: `band` (pixels, whole rows or
    // any rectangle) of what render() gives is drawn into `card`, a bitmap
    // of pixelSize() made with bitmap(); the rest of `card` is left as it
    // is. Every band of cardBands() drawn so gives render()'s picture, each
    // costing about its own area.
    void renderBand(QImage &card, const QRect &band) const;
    QSize pixelSize() const { return m_pixels; }
    // A bitmap of `pixels` at `dpi`, of render()'s format, not cleared. Any
    // thread.
    static QImage bitmap(QSize pixels, double dpi);

    double dpi() const { return m_dpi; }
    // Number of bitmaps drawn once (the one under everything included).
    int layerCount() const;

private:
    struct Layer {
        QImage pixels;
        QPoint at;
    };
    struct Step {
        GraphicPtr changing;
        Layer above; // null pixels: nothing lies over it up to the next one
    };

    // A transparent bitmap of the card with the painter set up as the
    // renderer sets it: points, clipped to the outline.
    QImage blank() const;
    // With `band`, drawing is also cut to it.
    void beginCardPainting(QPainter &painter, const QRect &band = {}) const;

    double m_dpi = 0;
    QSize m_pixels;
    QTransform m_toPixels;
    QPainterPath m_outline;
    QImage m_base;
    std::vector<Step> m_steps;
};

// Strips of whole rows that together cover `pixels`, top to bottom, each of
// at most `maxPixels` pixels (at least one row each). Any thread.
std::vector<QRect> cardBands(QSize pixels, qint64 maxPixels);

} // namespace drawing
