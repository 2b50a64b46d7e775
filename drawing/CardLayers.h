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
    enum class Build {
        Now,   // every layer drawn by the constructor
        Later, // nothing drawn yet: buildStep() draws the layers
    };

    // Draws `face` and the graphics for which `changes` answers false, at
    // `dpi`. `graphics` is in the renderer's order (index 0 in front). The
    // graphics must stay in the same order, and those that do not change must
    // not change, while the layers are built and in use.
    CardLayers(const GraphicList &graphics, const CardFace &face,
               const std::function<bool(const TVNGraphic &)> &changes, double dpi, Build build = Build::Now);

    // All layers drawn: render() and renderBand() may be used.
    bool isBuilt() const { return m_build.layer >= layerSlots(); }
    // Draws the next band of rows of the layers, of at most `maxPixels`
    // pixels (one row at least), and returns how many pixels that was; 0
    // once built. Each call costs about what it returns.
    qint64 buildStep(qint64 maxPixels);

    // The side as it is now: ceil(points × dpi ÷ 72) pixels on each side,
    // premultiplied ARGB with the resolution stored, transparent outside the
    // outline. Null when the face has no size.
    QImage render() const;
    // The same pixels drawn a band at a time: the rows `band` spans of what
    // render() gives are drawn into `card`, a bitmap of pixelSize() made
    // with bitmap(); the other rows of `card` are left as they are. Every
    // band of cardBands() drawn so gives render()'s picture exactly, each
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

    // Where buildStep() has got to: a layer (0 the one under everything,
    // i + 1 the one over step i), and in it the next row drawn or, for a
    // layer over a step, the next row of its covered part copied out.
    struct BuildState {
        int layer = 0;
        int row = 0;
        bool cropping = false;
        QImage pixels;  // the layer over a step, whole card
        QRect covered;  // what it covers so far
    };

    int layerSlots() const { return int(m_fixed.size()); }
    // Sets the painter on `rows`, a bitmap of those rows of the card (see
    // rowsOf), up as the renderer sets it on the whole card: points, clipped
    // to the outline.
    void beginCardPainting(QPainter &painter, int firstRow) const;
    // Moves the build on to the next layer that has anything to draw.
    void nextLayer();

    double m_dpi = 0;
    QSize m_pixels;
    QTransform m_toPixels;
    QPainterPath m_outline;
    CardFace m_face;
    // The unchanging graphics of each layer, bottom to top (index 0 under
    // the first changing graphic); dropped once drawn.
    std::vector<std::vector<GraphicPtr>> m_fixed;
    BuildState m_build;
    QImage m_base;
    std::vector<Step> m_steps;
};

// Strips of whole rows that together cover `pixels`, top to bottom, each of
// at most `maxPixels` pixels (at least one row each). Any thread.
std::vector<QRect> cardBands(QSize pixels, qint64 maxPixels);

} // namespace drawing
