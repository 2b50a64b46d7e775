#pragma once
// The record of rendering settings that a barcode picture is drawn with
// (the class keeps the designer's name, Barcode_Gen). The designer builds
// one from a barcode object's settings and hands it, or a copy for a worker,
// to the layout and the renderer, which take it as an argument. It is a
// plain value and touches no widget, so it can be used on any thread. The
// designer's process-wide record (Barcode_Gen_Var) is one of these, declared
// with the designer (barcodes/designer/Barcode_Gen.h).
//
// The style part (fonts, margins in points, colours, header and footer
// alignment, value placement, kerning) is the SymbolStyle that symbols are
// given; the designer's combo boxes and check boxes for those are held as
// their item text and state:
//   align_hdr_combo, align_ftr_combo  ->  align_hdr, align_ftr
//   showinTopCheckbox                 ->  showinTop
//   kerning_value_Checkbox            ->  kerning_value
//
// Besides the style it keeps the designer fields that the layout reads
// (lengths as typed, in the designer's unit of measure) and the designer's
// own symbol record for 2-D symbols (the SymbolFrame part, measured with the
// record's own fonts), which the 2-D renderer reads as it reads a linear
// symbol's fields.

#include "barcodes/symbologies/SymbolFrame.h"
#include "barcodes/symbologies/SymbolStyle.h"

#include <QString>

namespace barcodes {

class Barcode_Gen : public SymbolStyle, public SymbolFrame {
public:
    Barcode_Gen();

    // The style part alone, to hand to a symbol, and its replacement.
    SymbolStyle symbolStyle() const { return *this; }
    void setSymbolStyle(const SymbolStyle &style) { static_cast<SymbolStyle &>(*this) = style; }

    // --- Designer fields read by the size computation -------------------
    // Lengths as the user typed them, in the designer's unit of measure
    // (the layout's `unit`); a text that does not begin with a number reads
    // as 0.
    QString HeightText = QStringLiteral("0.6");   // bar height of a linear symbol
    QString widthText = QStringLiteral("20");     // narrowest bar, in mils
    QString val_mar_Text = QStringLiteral("0.1");
    QString hdr_mar_Text = QStringLiteral("0.1");
    QString ftr_mar_Text = QStringLiteral("0.1");
    QString TB_mar_Text = QStringLiteral("0.1");
    QString LR_mar_Text = QStringLiteral("0.1");
    // Check box states; 1 hides the value text, the header, the footer.
    int captionCheckbox = 0;
    int hideHeaderCheckbox = 0;
    int hideFooterCheckbox = 0;

    // --- The designer's own symbol record for 2-D symbols ---------------
    // Size, text lines and their measurements are the SymbolFrame part.
    void setContent(const QString &content) { m_content = content; }
    // The content; a null string when none was ever set.
    const QString &caption() const { return m_content; }
    // "" when none was set.
    QString header() const { return m_header.isNull() ? QStringLiteral("") : m_header; }
    QString footer() const { return m_footer.isNull() ? QStringLiteral("") : m_footer; }

protected:
    const SymbolStyle &textStyle() const override { return *this; }

private:
    QString m_content;
};

// Narrowest bar width in points from the designer's width in mils.
float barWidthFromMils(float mils);

} // namespace barcodes
