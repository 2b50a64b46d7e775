#pragma once
// Text measuring for barcode captions, headers and footers, in points.
// Symbols measure through this interface so tests can replace the fonts'
// real metrics with fixed numbers.

#include <QFont>
#include <QSizeF>
#include <QString>
#include <memory>

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

} // namespace barcodes
