#pragma once
// The layout of a barcode picture: how high the symbol is, how wide the whole
// picture is, and the margins around bars, value text, header and footer,
// computed from the designer's settings. One recipe for linear and 2-D
// symbols; the designer, the per-record fill, tests and benchmarks all call
// it. It reads nothing process-wide and writes nothing back into the
// settings, so a worker can run it on its own copy of them.
//
// Units: every result is in points (1/72 inch). The lengths the user typed
// (bar height, the five margins) are read in `unit`: 0 inch, 1 centimetre,
// 2 millimetre, anything else inches. Text heights are the symbol's or the
// settings' own, in inches; text widths in points.
//
// A linear symbol is laid out, given the layout with applyLayout(), then
// drawn with the layout's style:
//   const BarcodeLayout layout = layoutLinear(settings, *symbol, unit);
//   applyLayout(*symbol, layout);
//   const platform::Image picture = imageFromBarcode(*symbol, layout.style);
// A 2-D symbol image is framed by layout2D() and drawn with
// imageFromBarcodeImage(image, settings, layout).
//
// The designer's fixed operations (Set_Barcode_Height and its kin) are the
// same recipe: they take the unit as well and store what they compute into
// the settings record and the symbol, as the designer's own handlers expect.

#include "barcodes/symbologies/SymbolStyle.h"

#include <QSizeF>
#include <QString>

namespace barcodes {

class Barcode_Gen;
class SymBarcode;

struct BarcodeLayout {
    // The settings' style with its five margins converted from the typed
    // fields; a hidden value text, header or footer takes no margin. What
    // the picture is drawn with.
    SymbolStyle style;
    // Linear: the symbol's height: bars, each printed text with its margin,
    // and the top-bottom margin twice. 2-D: the height of the picture.
    float height = 0.0f;
    // The width of the picture: the widest of the bars (or 2-D image), the
    // header and the footer (hidden ones do not count), plus the left-right
    // margin twice and, when that margin is positive, 15 points more.
    float width = 0.0f;

    bool operator==(const BarcodeLayout &) const = default;
};

// A linear or postal symbol: its bar height is the settings' HeightText; its
// texts, their heights and widths, and its module width are the symbol's own
// as the symbol will be once it has the layout's height.
BarcodeLayout layoutLinear(const Barcode_Gen &settings, const SymBarcode &symbol, int unit);
// A finished 2-D symbol image of `imagePoints` under the settings' header
// and above their footer (the settings' own 2-D text record); a 2-D symbol
// carries its value in the image, so no value text or margin counts.
BarcodeLayout layout2D(const Barcode_Gen &settings, QSizeF imagePoints, int unit);

// Gives the symbol the layout's height, its style (so the bar tops agree
// with the picture) and the picture's width.
void applyLayout(SymBarcode &symbol, const BarcodeLayout &layout);

// A length in `unit` in points.
float lengthInPoints(float value, int unit);
// The number a designer field begins with; 0 when it does not begin with one.
float fieldFloatValue(const QString &text);

// --- The designer's fixed operations ------------------------------------
// Lengths are read in `unit` as above (the caller passes the designer's
// Measument_Unit_Is). Each height computation stores the five margins it
// computed into `gen`, a width computation the left-right margin, where the
// designer reads them afterwards.

// Sets the symbol's height and gives it the record's style.
void Set_Barcode_Height(Barcode_Gen &gen, SymBarcode &symbol, int unit);
// The picture width of `symbol` at its present width (its bars, as the
// caller's calculateWidth() left them). The symbol is not changed.
float Set_Linear_Barcode_Width(Barcode_Gen &gen, const SymBarcode &symbol, int unit);
// The record's 2-D height and width for a symbol image of `imagePoints`.
void Set_2d_Barcode_Height(Barcode_Gen &gen, QSizeF imagePoints, int unit);
void Set_2d_Barcode_Width(Barcode_Gen &gen, QSizeF imagePoints, int unit);

} // namespace barcodes
