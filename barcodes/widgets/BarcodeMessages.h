#pragma once
// The fixed entry points that show a barcode engine's reason to the user
// (Show_MessageBox). The engines themselves only answer with the reason.

#include "barcodes/imaging/BarcodeValueCheck.h"

namespace barcodes {

// The value check (barcodeValueProblem); with show_message a failure is
// shown to the user. True when the value can be used.
bool Check_And_Validat_Barcode(const QString &value, bool show_message, bool check_symbol,
                               const BarcodeSymbolState &symbol = {});

} // namespace barcodes
