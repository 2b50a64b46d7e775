#include "barcodes/symbologies/SymbolFrame.h"

namespace barcodes {

namespace {

// Height in inches reserved for a line of text whose capitals are `capHeight`
// points high: the cap height plus 35 % below it for descenders.
float textHeightInches(double capHeight)
{
    return float(capHeight / 72.0 + 0.35 * (capHeight / 72.0));
}

} // namespace

SymbolFrame::~SymbolFrame() = default;

void SymbolFrame::setTextMeasurer(std::shared_ptr<const TextMeasurer> measurer)
{
    m_measurer = std::move(measurer);
}

const TextMeasurer &SymbolFrame::textMeasurer() const
{
    if (!m_measurer)
        return *defaultTextMeasurer();
    return *m_measurer;
}

void SymbolFrame::setCaptionFontSize(float size)
{
    m_captionFontSize = size;
    m_captionHeight = textHeightInches(textMeasurer().capHeight(textStyle().value_font));
}

void SymbolFrame::setHeaderFontSize(float size)
{
    const QFont &font = textStyle().header_font;
    m_headerFontSize = size;
    m_headerHeight = textHeightInches(textMeasurer().capHeight(font));
    m_headerWidth = float(textMeasurer().textSize(m_header, font, kHeaderFooterKerning).width());
}

void SymbolFrame::setFooterFontSize(float size)
{
    const QFont &font = textStyle().footer_font;
    m_footerFontSize = size;
    m_footerHeight = textHeightInches(textMeasurer().capHeight(font));
    m_footerWidth = float(textMeasurer().textSize(m_footer, font, kHeaderFooterKerning).width());
}

} // namespace barcodes
