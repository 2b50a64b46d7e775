#pragma once
// What a drawn symbol keeps around its bars or modules: its size, the value
// text, header and footer lines it prints, and the heights and widths those
// lines take. The heights and widths are measured through a TextMeasurer
// with the fonts of the SymbolStyle the owner supplies, so a linear symbol
// and the designer's 2-D record measure their text the same way.

#include "barcodes/symbologies/SymbolStyle.h"
#include "barcodes/symbologies/TextMeasurer.h"

#include <QString>
#include <memory>

namespace barcodes {

// Extra space in points after each character of the header and footer
// lines, as they are drawn and measured.
constexpr double kHeaderFooterKerning = 2.0;

class SymbolFrame {
public:
    virtual ~SymbolFrame();

    // Text measuring; nullptr (the default) means the shared Qt measurer.
    void setTextMeasurer(std::shared_ptr<const TextMeasurer> measurer);
    const TextMeasurer &textMeasurer() const;

    void setHeader(const QString &header) { m_header = header; }
    void setFooter(const QString &footer) { m_footer = footer; }

    // Size in points.
    virtual void setHeight(float height) { m_height = height; }
    void setWidth(float width) { m_width = width; }
    float height() const { return m_height; }
    float width() const { return m_width; }

    virtual void setPrintsCaption(bool flag) { m_printsCaption = flag; }
    virtual void setPrintsHeader(bool flag) { m_printsHeader = flag; }
    virtual void setPrintsFooter(bool flag) { m_printsFooter = flag; }
    virtual bool printsCaption() const { return m_printsCaption; }
    virtual bool printsHeader() const { return m_printsHeader; }
    virtual bool printsFooter() const { return m_printsFooter; }

    // Text heights in inches.
    void setCaptionHeight(float inches) { m_captionHeight = inches; }
    void setHeaderHeight(float inches) { m_headerHeight = inches; }
    void setFooterHeight(float inches) { m_footerHeight = inches; }
    float captionHeight() const { return m_captionHeight; }
    float headerHeight() const { return m_headerHeight; }
    float footerHeight() const { return m_footerHeight; }

    // Measured header and footer widths in points.
    void setHeaderWidth(float points) { m_headerWidth = points; }
    void setFooterWidth(float points) { m_footerWidth = points; }
    float headerWidth() const { return m_headerWidth; }
    float footerWidth() const { return m_footerWidth; }

    // Store the size and measure the text height (inches) with the style's
    // value, header or footer font, whose point size the callers pass; the
    // header and footer widths (points) too, with the letter spacing they
    // are drawn with.
    void setCaptionFontSize(float size);
    void setHeaderFontSize(float size);
    void setFooterFontSize(float size);
    float caption_fontSize() const { return m_captionFontSize; }
    float header_fontSize() const { return m_headerFontSize; }
    float footer_fontSize() const { return m_footerFontSize; }

protected:
    SymbolFrame() = default;
    SymbolFrame(const SymbolFrame &) = default;
    SymbolFrame &operator=(const SymbolFrame &) = default;

    // The fonts the text is measured with.
    virtual const SymbolStyle &textStyle() const = 0;

    QString m_header;
    QString m_footer;
    float m_height = 0.0f;
    float m_width = 0.0f;
    bool m_printsCaption = false;
    bool m_printsHeader = false;
    bool m_printsFooter = false;
    float m_captionFontSize = 0.0f;
    float m_headerFontSize = 0.0f;
    float m_footerFontSize = 0.0f;
    float m_captionHeight = 0.0f;
    float m_headerHeight = 0.0f;
    float m_footerHeight = 0.0f;
    float m_headerWidth = 0.0f;
    float m_footerWidth = 0.0f;

    std::shared_ptr<const TextMeasurer> m_measurer;
};

} // namespace barcodes
