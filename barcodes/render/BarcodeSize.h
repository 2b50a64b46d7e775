#pragma once
// How large a barcode picture is, in points, before the offscreen renderer
// draws it. Each computation first turns the margins the user typed (in the
// unit Measument_Unit_Is) into points and stores them in the settings record,
// where the symbols and the renderer read them as they are; so the margins
// never compound however often the size is computed.
//
// Linear and postal symbols: the height goes into the symbol, the width is
// returned and the caller writes it into the symbol with setWidth().
// 2-D images: width and height go into the record's own 2-D symbol fields,
// which frame the 2-D offscreen view.

#include <QSizeF>
#include <QString>

namespace barcodes {

class Barcode_Gen;
class SymBarcode;

// A length in `unit` (0 inch, 1 centimetre, 2 millimetre; anything else
// counts as inches) in points.
float lengthInPoints(float value, int unit);

// The number a designer field begins with; 0 when it does not begin with one.
float fieldFloatValue(const QString &text);

// Sets the symbol's total height: bars, value text, header, footer, their
// margins and the top-bottom margin. The symbol takes the record's style with
// the margins just computed, so its bar tops agree with the picture.
void Set_Barcode_Height(Barcode_Gen &gen, SymBarcode &symbol);
// The total width of the picture of `symbol`: the widest of bars, header and
// footer plus the left-right margins. The symbol is not changed.
float Set_Linear_Barcode_Width(Barcode_Gen &gen, const SymBarcode &symbol);

// The record's 2-D height and width for a symbol image of `imagePoints`.
void Set_2d_Barcode_Height(Barcode_Gen &gen, QSizeF imagePoints);
void Set_2d_Barcode_Width(Barcode_Gen &gen, QSizeF imagePoints);

} // namespace barcodes
