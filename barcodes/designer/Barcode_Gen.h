#pragma once
// The barcode designer's process-wide values: its settings record
// (Barcode_Gen_Var), the unit of its length fields, the resolution of 2-D
// symbol bitmaps and its QR choices. The designer window and the fixed-name
// operations read them and pass what they read down; the engines (the
// designer's engine, the layout and renderer, the symbol makers) take those
// as arguments and read none of these.

#include "barcodes/render/BarcodeRecord.h"

#include <atomic>

namespace barcodes {

// The process-wide settings record, read by the windows and the fixed-name
// operations and passed on from there. Never null: it refers to a record of
// its own at start, until the designer window points it at the record it
// edits.
extern Barcode_Gen *Barcode_Gen_Var;

// The designer's resolution of 2-D symbols, dots per inch; 600 at start.
// The designer changes it; the fixed-name operations read it and pass it to
// the resampling (barcodes/imaging/ImageResolution.h), which takes its
// resolution as an argument.
extern std::atomic<int> USED_DPI_VALUE;
// Unit of the designer's length fields: 0 inch, 1 centimetre, 2 millimetre.
extern std::atomic<int> Measument_Unit_Is;
// The previous unit; kept with Measument_Unit_Is.
extern std::atomic<int> last_unit_val;
// Module size of the 2-D symbol being drawn.
extern std::atomic<int> Barcode_module_size;
// QR version (0 automatic, 1..40), error-correction level (0..3 = L, M, Q,
// H) and the selected encoding-mode item.
extern std::atomic<int> QR_Version_Val;
extern std::atomic<int> QR_EC_Level_Val;
extern std::atomic<int> QR_Enc_Mode_Val;

} // namespace barcodes
