#include "barcodes/render/BarcodeRecord.h"

namespace barcodes {

Barcode_Gen::Barcode_Gen() = default;

float barWidthFromMils(float mils)
{
    // The division in single precision, the product in double, as the
    // designer has always rounded it.
    const float inches = mils / 1000.0f;
    return float(double(inches) * 72.0);
}

} // namespace barcodes
