#pragma once
// The picture of a barcode as the designer puts it on a card: the whole frame
// of an offscreen view, as a resolution-independent image or as PDF data.
// Drawing needs no window and no event loop, so these run on any thread.

#include "platform/Image.h"

#include <QByteArray>

namespace barcodes {

class SymBarcode;

// The picture of a linear or postal symbol with its caption, header and
// footer; a null image when the symbol's frame has no area or drawing fails
// (the reason is logged).
platform::Image imageFromBarcode(const SymBarcode &barcode);
// A finished 2-D symbol image under the settings' header and above their
// footer, framed by the settings' 2-D width and height; a null image for a
// null input or a frame without area.
platform::Image imageFromBarcodeImage(const platform::Image &image);
// One PDF page of the symbol's picture; empty when the frame has no area.
QByteArray pdfFromBarcode(const SymBarcode &barcode);

} // namespace barcodes
