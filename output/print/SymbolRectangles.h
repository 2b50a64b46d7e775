#pragma once
// A barcode symbol held as pixels (the 2-D symbols: QR Code, PDF417, Data
// Matrix) turned into rectangles, so that a printed page or a PDF keeps it
// sharp at any zoom and small: each run of dark pixels along a row becomes
// a rectangle, and rows that repeat the one above (the rows of one module)
// make it taller instead of adding more. Pixels are dark when their grey is
// below the middle; the symbol's background stays one rectangle below them.
// Any thread; nothing is shared.

#include "platform/Image.h"

namespace output {

// The symbol, which is made of pixels at `dpi` (a bitmap, or a drawing
// that paints one), as rectangles at the same size in points; a null image
// as it is.
platform::Image symbolAsRectangles(const platform::Image &symbol, double dpi);

} // namespace output
