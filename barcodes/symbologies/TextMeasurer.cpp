#include "barcodes/symbologies/TextMeasurer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QRawFont>
#include <algorithm>
#include <optional>

namespace barcodes {

namespace {

// A 72 dpi device: metrics against it come out in points, whatever the
// screen. It is only asked for its resolution, so one serves every thread.
const QImage &pointDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(72.0 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

QFontMetricsF pointMetrics(const QFont &font)
{
    return QFontMetricsF(font, &pointDevice());
}

// The advance of `text` by the font's own glyphs; none when it lacks one.
std::optional<double> ownAdvance(const QString &text, const QFont &font)
{
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return std::nullopt;
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    if (std::find(glyphs.begin(), glyphs.end(), 0u) != glyphs.end())
        return std::nullopt;
    double width = 0.0;
    for (const QPointF &advance : raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances))
        width += advance.x();
    return width;
}

} // namespace

QFont pointFont(const QFont &font)
{
    QFont unhinted(font);
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    return QFont(unhinted, &pointDevice());
}

double QtTextMeasurer::capHeight(const QFont &font) const
{
    return pointMetrics(font).capHeight();
}

QSizeF QtTextMeasurer::textSize(const QString &text, const QFont &font, double kerning) const
{
    // Kerning is extra space after every character, the last one included.
    const QFont points = pointFont(font);
    const QFontMetricsF fm = pointMetrics(points);
    const std::optional<double> own = text.isEmpty() ? std::optional<double>(0.0) : ownAdvance(text, points);
    const double width = own ? *own : fm.horizontalAdvance(text);
    return {width + kerning * text.size(), fm.height()};
}

std::shared_ptr<const TextMeasurer> defaultTextMeasurer()
{
    static const auto measurer = std::make_shared<const QtTextMeasurer>();
    return measurer;
}

} // namespace barcodes
