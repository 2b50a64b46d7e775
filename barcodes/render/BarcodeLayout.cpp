#include "barcodes/render/BarcodeLayout.h"

#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/symbologies/SymBarcode.h"

#include <algorithm>

namespace barcodes {

namespace {

constexpr double kInchesPerCentimetre = 0.393701;
// Only a positive left-right margin gives the picture this extra room.
constexpr float kMarginAllowance = 15.0f;

float fieldInPoints(const QString &text, int unit)
{
    return lengthInPoints(fieldFloatValue(text), unit);
}

// The settings' style with the margins read from their fields; hidden texts
// take no margin.
SymbolStyle styleInPoints(const Barcode_Gen &settings, int unit)
{
    SymbolStyle style = settings.symbolStyle();
    style.value_margin = settings.captionCheckbox == 1 ? 0.0f : fieldInPoints(settings.val_mar_Text, unit);
    style.header_margin = settings.hideHeaderCheckbox == 1 ? 0.0f : fieldInPoints(settings.hdr_mar_Text, unit);
    style.footer_margin = settings.hideFooterCheckbox == 1 ? 0.0f : fieldInPoints(settings.ftr_mar_Text, unit);
    style.LR_margin = fieldInPoints(settings.LR_mar_Text, unit);
    style.TB_margin = fieldInPoints(settings.TB_mar_Text, unit);
    return style;
}

float pictureWidth(const Barcode_Gen &settings, float lrMargin, float headerWidth, float footerWidth,
                   float bodyWidth)
{
    const float hw = settings.hideHeaderCheckbox == 1 ? 0.0f : headerWidth;
    const float fw = settings.hideFooterCheckbox == 1 ? 0.0f : footerWidth;
    float width = std::max({hw, fw, bodyWidth}) + 2.0f * lrMargin;
    if (lrMargin > 0.0f)
        width += kMarginAllowance;
    return width;
}

// The texts add in double precision and store single; the top-bottom
// margin adds in single precision, as the designer has always summed them.
float symbolHeight(const SymBarcode &symbol, float bars, const SymbolStyle &style)
{
    float height = bars;
    if (symbol.printsCaption())
        height = float(double(bars) + double(symbol.captionHeight()) * 72.0 + double(style.value_margin));
    if (symbol.printsHeader())
        height = float(double(height) + double(symbol.headerHeight()) * 72.0 + double(style.header_margin));
    if (symbol.printsFooter())
        height = float(double(height) + double(symbol.footerHeight()) * 72.0 + double(style.footer_margin));
    return height + 2.0f * style.TB_margin;
}

} // namespace

float lengthInPoints(float value, int unit)
{
    switch (unit) {
    case 1:
        return float(value * kInchesPerCentimetre * 72.0);
    case 2:
        return float(value * kInchesPerCentimetre * 72.0 / 10.0);
    default:
        return float(value * 72.0);
    }
}

float fieldFloatValue(const QString &text)
{
    // The leading number, as a text field's float value reads it: white space
    // first is skipped, anything after the number ignored.
    const auto digitAt = [&](qsizetype i) { return i < text.size() && text[i] >= u'0' && text[i] <= u'9'; };
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    int whole = 0;
    for (; digitAt(i); ++i) {
        if (++digits <= 7)
            whole = whole * 10 + (text[i].unicode() - u'0');
    }
    // A whole number of a few digits, what most fields hold, is exact as a
    // float without parsing it again.
    const bool fraction = i < text.size() && (text[i] == u'.' || text[i] == u'e' || text[i] == u'E');
    if (digits > 0 && digits <= 7 && !fraction)
        return text[start] == u'-' ? -float(whole) : float(whole);
    if (i < text.size() && text[i] == u'.') {
        for (++i; digitAt(i); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0.0f;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype e = i + 1;
        if (e < text.size() && (text[e] == u'+' || text[e] == u'-'))
            ++e;
        if (digitAt(e)) {
            while (digitAt(e))
                ++e;
            i = e;
        }
    }
    bool ok = false;
    const float v = QStringView(text).mid(start, i - start).toFloat(&ok);
    return ok ? v : 0.0f;
}

BarcodeLayout layoutLinear(const Barcode_Gen &settings, const SymBarcode &symbol, int unit)
{
    BarcodeLayout layout;
    layout.style = styleInPoints(settings, unit);
    layout.height = symbolHeight(symbol, fieldInPoints(settings.HeightText, unit), layout.style);
    const float bars = symbol.barsWidth(symbol.barWidthAtHeight(layout.height));
    layout.width = pictureWidth(settings, layout.style.LR_margin, symbol.headerWidth(), symbol.footerWidth(), bars);
    return layout;
}

BarcodeLayout layout2D(const Barcode_Gen &settings, QSizeF imagePoints, int unit)
{
    BarcodeLayout layout;
    layout.style = styleInPoints(settings, unit);
    const SymbolStyle &m = layout.style;
    const double header = settings.hideHeaderCheckbox == 1 ? 0.0 : double(settings.headerHeight()) * 72.0;
    const double footer = settings.hideFooterCheckbox == 1 ? 0.0 : double(settings.footerHeight()) * 72.0;
    layout.height = float(imagePoints.height() + header + m.header_margin + footer + m.footer_margin
                          + 2.0 * m.TB_margin);
    layout.width = pictureWidth(settings, m.LR_margin, settings.headerWidth(), settings.footerWidth(),
                                float(imagePoints.width()));
    return layout;
}

void applyLayout(SymBarcode &symbol, const BarcodeLayout &layout)
{
    // A symbol whose modules follow its size takes its module width here.
    symbol.setHeight(layout.height);
    symbol.setStyle(layout.style);
    symbol.setWidth(layout.width);
}

void Set_Barcode_Height(Barcode_Gen &gen, SymBarcode &symbol, int unit)
{
    const BarcodeLayout layout = layoutLinear(gen, symbol, unit);
    gen.setSymbolStyle(layout.style);
    symbol.setHeight(layout.height);
    symbol.setStyle(layout.style);
}

float Set_Linear_Barcode_Width(Barcode_Gen &gen, const SymBarcode &symbol, int unit)
{
    gen.LR_margin = fieldInPoints(gen.LR_mar_Text, unit);
    return pictureWidth(gen, gen.LR_margin, symbol.headerWidth(), symbol.footerWidth(), symbol.width());
}

void Set_2d_Barcode_Height(Barcode_Gen &gen, QSizeF imagePoints, int unit)
{
    const BarcodeLayout layout = layout2D(gen, imagePoints, unit);
    gen.setSymbolStyle(layout.style);
    gen.setHeight(layout.height);
}

void Set_2d_Barcode_Width(Barcode_Gen &gen, QSizeF imagePoints, int unit)
{
    const BarcodeLayout layout = layout2D(gen, imagePoints, unit);
    gen.LR_margin = layout.style.LR_margin;
    gen.setWidth(layout.width);
}

} // namespace barcodes
