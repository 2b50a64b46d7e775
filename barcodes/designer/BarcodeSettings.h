#pragma once
// What a barcode object stores of the barcode designer's settings, as one
// value: the data binding of its value, the symbology and its value, header
// and footer, the show/hide switches, sizes, fonts, colours and resolution.
// Graphics derive from it (the field names are the ones the designer, the
// record binding and the design file use), so the designer can load a copy,
// edit it and give it back in one assignment, and a batch run can hand a
// copy to another thread. A plain value; no widget, any thread.

#include "barcodes/symbologies/SymbolStyle.h"

#include <QColor>
#include <QFont>
#include <QString>

namespace barcodes {

struct BarcodeSettings {
    // --- where the value comes from: 0 typed value, 1 Batch Processing
    // Series (by name, and its position in the list when it was chosen),
    // 2 spreadsheet column (0 the record number, k the k-th column)
    int data_source_type = 0;
    QString batch_list_name;
    int batch_list_index = 0;
    bool excel_binding = false;
    int excel_col_indx = 0;

    // --- symbology: 0 linear or postal, 1 two-dimensional; its item index
    // in the designer's list
    int linear_or_2d = 0;
    int barcode_font_index = 0;

    // --- the value of a linear and of a 2-D symbol, header and footer, and
    // how they look
    QString linear_font_val = QStringLiteral("0123");
    QString two_d_font_val = QStringLiteral("0123");
    QString header_val = QStringLiteral("HEADER");
    QString footer_val = QStringLiteral("FOOTER");
    QFont value_font_val = SymbolStyle::defaultFont();
    QFont header_font_val = SymbolStyle::defaultFont();
    QFont footer_font_val = SymbolStyle::defaultFont();
    QColor barcode_hdr_clr_val = Qt::black;
    QColor barcode_ftr_clr_val = Qt::black;
    QColor barcode_val_clr_val = Qt::black;
    QColor barcode_clr_val = Qt::black;      // bars
    QColor barcode_back_clr_val = Qt::white; // background of a linear symbol

    // --- switches: 1 hides the header, the footer, the value text; 1 puts
    // the value text above the bars; alignments as item indexes
    int show_hide_hdr = 0;
    int show_hide_ftr = 0;
    int show_hide_val = 0;
    int show_val_on_top = 0;
    int align_hdr_index = 1;
    int align_ftr_index = 1;
    // 1 spreads the value text over the width of the bars
    int kerning_val = 0;

    // --- sizes: bar height and margins in centimetres, narrowest bar in
    // mils; QR side in points with its version (0 automatic) and level
    // items; PDF417 height and width in points and its error-correction
    // level; Data Matrix module in points with its format and encodation
    // items
    float linear_height_val = 0.6f;
    float linear_width_val = 20.0f;
    int qr_size_val = 60;
    int qr_version_index = 0;
    int qr_ec_index = 0;
    int pdf_hgt_val = 20;
    int pdf_wdt_val = 100;
    int pdf_ec_val = 2;
    int dm_module_val = 2;
    int dm_format_index = 0;
    int dm_encoding_index = 0;
    float hdr_margin_val = 0.1f;
    float ftr_margin_val = 0.1f;
    float val_margin_val = 0.1f;
    float TB_marging_val = 0.1f;
    float LR_margin_val = 0.1f;

    // --- the resolution item with its custom value in dots per inch, and
    // the unit of the lengths (1 centimetre)
    int dpi_val_index = 0;
    QString dpi_custom_val = QStringLiteral("0");
    int barcode_unit_val = 1;

    bool operator==(const BarcodeSettings &) const = default;
};

} // namespace barcodes
