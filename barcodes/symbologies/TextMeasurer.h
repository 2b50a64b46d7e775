#pragma once
// Text measuring for barcode captions, headers and footers, in points.
// Symbols measure through this interface so tests can replace the fonts'
// real metrics with fixed numbers.

#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace barcodes {

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Height of a capital letter of `font`, in points.
    virtual double capHeight(const QFont &font) const = 0;
    // Laid-out size of `text` in `font` with `kerning` points of extra space
    // after each character.
    virtual QSizeF textSize(const QString &text, const QFont &font, double kerning = 0.0) const = 0;
};

// Measures in pointFont(font): a text the font has every character of by the
// font's own advances, any other through Qt's text layout. Needs a
// QGuiApplication.
class QtTextMeasurer : public TextMeasurer {
public:
    double capHeight(const QFont &font) const override;
    QSizeF textSize(const QString &text, const QFont &font, double kerning = 0.0) const override;
};

// The shared Qt-based measurer that symbols use unless given another.
std::shared_ptr<const TextMeasurer> defaultTextMeasurer();

// `font` as text is measured and drawn: at 72 dots per inch, so lengths come
// out in points, and with the outlines' own metrics (no hinting), which any
// resolution draws alike. Any thread.
QFont pointFont(const QFont &font);

// A font made ready for measuring and drawing in points, with what is
// asked of it every time: finding a font's face is the dearest step of a
// caption, so each thread keeps the few fonts its symbols use.
struct PointFont {
    // The coverage of one glyph drawn `scale` device pixels a point, its
    // origin `quarter` quarters of a pixel right of a pixel's left edge, as
    // Qt antialiases it; `left` and `top` place the mask's top left corner
    // in whole pixels from that pixel.
    struct GlyphMask {
        QImage alpha;  // Format_Alpha8
        int left = 0;
        int top = 0;
        // Per row, the columns from the first covered pixel to past the last.
        std::vector<std::pair<int, int>> covered;
        // The covered pixels' bounding box in the mask.
        QRect ink;
        // The mask as pixels of `tintInk` over the opaque `tintBack` by each
        // coverage, row by row as `alpha`; kept by whoever draws it for the
        // colours it last drew in, since a caption has one ink.
        mutable std::vector<QRgb> tint;
        mutable QRgb tintInk = 0;
        mutable QRgb tintBack = 0;
    };

    QFont font;        // pointFont() of the font asked for
    QRawFont raw;      // its outlines; invalid when the platform has none
    double capHeight = 0.0;   // of the font as given, in points
    double lineHeight = 0.0;  // of `font`, in points

    // The mask of a glyph of `raw`, drawn once and kept: captions are a
    // handful of digits drawn again for every record.
    const GlyphMask &mask(quint32 glyph, double scale, int quarter) const;

private:
    mutable std::map<std::tuple<double, quint32, int>, GlyphMask> m_masks;
};
// The PointFont of `font`, made once per thread and font. Any thread.
std::shared_ptr<const PointFont> cachedPointFont(const QFont &font);

} // namespace barcodes
