#include "barcodes/designer/Barcode_Gen.h"

namespace barcodes {

Barcode_Gen::Barcode_Gen() = default;

Barcode_Gen &Barcode_Gen::defaultInstance()
{
    static Barcode_Gen instance;
    return instance;
}

float barWidthFromMils(float mils)
{
    // The division in single precision, the product in double, as the
    // designer has always rounded it.
    const float inches = mils / 1000.0f;
    return float(double(inches) * 72.0);
}

Barcode_Gen *Barcode_Gen_Var = &Barcode_Gen::defaultInstance();

// USED_DPI_VALUE is defined beside the resampling (barcodes/imaging).
std::atomic<int> Measument_Unit_Is{1};
std::atomic<int> last_unit_val{1};
std::atomic<int> Barcode_module_size{1};
std::atomic<int> QR_Version_Val{0};
std::atomic<int> QR_EC_Level_Val{0};
std::atomic<int> QR_Enc_Mode_Val{0};

} // namespace barcodes
