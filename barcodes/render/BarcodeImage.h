#pragma once
// The picture of a barcode as the designer puts it on a card: the whole frame
// of an offscreen view, as a resolution-independent image or as PDF data.
// Drawing needs no window and no event loop, so these run on any thread with
// settings of their own (a copy, never the live record).

#include "platform/Image.h"

#include <QByteArray>

namespace barcodes {

class Barcode_Gen;
class SymBarcode;
struct BarcodeLayout;
struct SymbolStyle;

// The picture of a linear or postal symbol with its caption, header and
// footer, drawn with `style` (a layout's, see BarcodeLayout.h); a null image
// when the symbol's frame has no area or drawing fails (the reason is
// logged).
platform::Image imageFromBarcode(const SymBarcode &barcode, const SymbolStyle &style);
// A finished 2-D symbol image framed by the layout and drawn with its style,
// under the header and above the footer of the settings' 2-D text record; a
// null image for a null input or a frame without area.
platform::Image imageFromBarcodeImage(const platform::Image &image, const Barcode_Gen &settings,
                                      const BarcodeLayout &layout);
// One PDF page of the symbol's picture; empty when the frame has no area.
QByteArray pdfFromBarcode(const SymBarcode &barcode, const SymbolStyle &style);

} // namespace barcodes
