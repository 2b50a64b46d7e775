#include "barcodes/render/BarcodeSize.h"

#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/symbologies/SymBarcode.h"

#include <QRegularExpression>
#include <algorithm>

namespace barcodes {

namespace {

constexpr double kInchesPerCentimetre = 0.393701;
// Only a positive left-right margin gives the picture this extra room.
constexpr float kMarginAllowance = 15.0f;

float fieldInPoints(const QString &text)
{
    return lengthInPoints(fieldFloatValue(text), Measument_Unit_Is.load());
}

// Re-reads the five margins from their fields; hidden texts take no margin.
void refreshMargins(Barcode_Gen &gen)
{
    const float value = gen.captionCheckbox == 1 ? 0.0f : fieldFloatValue(gen.val_mar_Text);
    const float header = gen.hideHeaderCheckbox == 1 ? 0.0f : fieldFloatValue(gen.hdr_mar_Text);
    const float footer = gen.hideFooterCheckbox == 1 ? 0.0f : fieldFloatValue(gen.ftr_mar_Text);
    const int unit = Measument_Unit_Is.load();
    gen.value_margin = lengthInPoints(value, unit);
    gen.header_margin = lengthInPoints(header, unit);
    gen.footer_margin = lengthInPoints(footer, unit);
    gen.LR_margin = fieldInPoints(gen.LR_mar_Text);
    gen.TB_margin = fieldInPoints(gen.TB_mar_Text);
}

float widthWithMargins(Barcode_Gen &gen, float headerWidth, float footerWidth, float bodyWidth)
{
    gen.LR_margin = fieldInPoints(gen.LR_mar_Text);
    const float hw = gen.hideHeaderCheckbox == 1 ? 0.0f : headerWidth;
    const float fw = gen.hideFooterCheckbox == 1 ? 0.0f : footerWidth;
    float width = std::max({hw, fw, bodyWidth}) + 2.0f * gen.LR_margin;
    if (gen.LR_margin > 0.0f)
        width += kMarginAllowance;
    return width;
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
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return 0.0f;
    bool ok = false;
    const float v = m.captured(1).toFloat(&ok);
    return ok ? v : 0.0f;
}

void Set_Barcode_Height(Barcode_Gen &gen, SymBarcode &symbol)
{
    refreshMargins(gen);
    const float bars = fieldInPoints(gen.HeightText);
    float height = bars;
    if (symbol.printsCaption())
        height = float(double(bars) + double(symbol.captionHeight()) * 72.0 + double(gen.value_margin));
    if (symbol.printsHeader())
        height = float(double(height) + double(symbol.headerHeight()) * 72.0 + double(gen.header_margin));
    if (symbol.printsFooter())
        height = float(double(height) + double(symbol.footerHeight()) * 72.0 + double(gen.footer_margin));
    height = height + 2.0f * gen.TB_margin;
    symbol.setHeight(height);
    // The symbol's bar tops are measured with these margins, as the renderer
    // will draw with them.
    symbol.setStyle(gen.symbolStyle());
}

float Set_Linear_Barcode_Width(Barcode_Gen &gen, const SymBarcode &symbol)
{
    return widthWithMargins(gen, symbol.headerWidth(), symbol.footerWidth(), symbol.width());
}

void Set_2d_Barcode_Height(Barcode_Gen &gen, QSizeF imagePoints)
{
    refreshMargins(gen);
    // A 2-D symbol carries its value in the image: no value text, no value
    // margin.
    const double header = gen.hideHeaderCheckbox == 1 ? 0.0 : double(gen.headerHeight()) * 72.0;
    const double footer = gen.hideFooterCheckbox == 1 ? 0.0 : double(gen.footerHeight()) * 72.0;
    gen.setHeight(float(imagePoints.height() + header + gen.header_margin + footer + gen.footer_margin
                        + 2.0 * gen.TB_margin));
}

void Set_2d_Barcode_Width(Barcode_Gen &gen, QSizeF imagePoints)
{
    gen.setWidth(widthWithMargins(gen, gen.headerWidth(), gen.footerWidth(), float(imagePoints.width())));
}

} // namespace barcodes
