#pragma once
// The rendering settings a barcode symbol and its renderer read while they
// measure or draw: fonts, margins, colours, alignments and the placement of
// the value text. A plain value, so a symbol can be built and drawn on any
// thread and in tests without the designer window; the designer fills one
// from its controls.

#include <QColor>
#include <QFont>
#include <QString>

namespace barcodes {

struct SymbolStyle {
    // A copy of one font made once: a symbol is made per record, and building
    // three fonts for each would cost more than encoding it. The font is
    // never destroyed, since fonts must not outlive the application.
    static QFont defaultFont()
    {
        static const QFont *const font = [] {
            auto *f = new QFont(QStringLiteral("Times New Roman"));
            f->setPointSizeF(10.0);
            return f;
        }();
        return *font;
    }

    QFont value_font = defaultFont();   // caption (value text)
    QFont header_font = defaultFont();
    QFont footer_font = defaultFont();

    // Margins in points.
    float value_margin = 0.1f;   // between the bars and the value text
    float header_margin = 0.1f;  // between the header and the symbol
    float footer_margin = 0.1f;  // between the symbol and the footer
    float TB_margin = 0.1f;      // above and below the whole image
    float LR_margin = 0.1f;      // left and right of the whole image

    // Black and white by their components, which the compiler fills in (a
    // named colour is looked up at run time, five times per symbol).
    QColor barcode_clr = QColor(0, 0, 0);         // bars
    QColor bar_back_clr = QColor(255, 255, 255);  // background of a linear symbol image
    QColor bar_val_clr = QColor(0, 0, 0);         // value text
    QColor bar_hdr_clr = QColor(0, 0, 0);         // header
    QColor bar_ftr_clr = QColor(0, 0, 0);         // footer

    // Header and footer alignment as the designer's item text:
    // "Center", "Left" or "Right"; any other text keeps the default.
    QString align_hdr = QStringLiteral("Center");
    QString align_ftr = QStringLiteral("Center");

    bool showinTop = false;      // value text above the bars
    bool kerning_value = false;  // spread the value text over the symbol width

    bool operator==(const SymbolStyle &) const = default;
};

} // namespace barcodes
