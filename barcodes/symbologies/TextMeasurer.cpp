#include "barcodes/symbologies/TextMeasurer.h"

#include <QFontMetricsF>
#include <QImage>

namespace barcodes {

namespace {

// Metrics against a 72 dpi device come out in points, whatever the screen.
// The device is only asked for its resolution, so one serves every thread.
QFontMetricsF pointMetrics(const QFont &font)
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(72.0 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return QFontMetricsF(font, &device);
}

} // namespace

double QtTextMeasurer::capHeight(const QFont &font) const
{
    return pointMetrics(font).capHeight();
}

QSizeF QtTextMeasurer::textSize(const QString &text, const QFont &font, double kerning) const
{
    // Kerning is extra space after every character, the last one included.
    const QFontMetricsF fm = pointMetrics(font);
    return {fm.horizontalAdvance(text) + kerning * text.size(), fm.height()};
}

std::shared_ptr<const TextMeasurer> defaultTextMeasurer()
{
    static const auto measurer = std::make_shared<const QtTextMeasurer>();
    return measurer;
}

} // namespace barcodes
