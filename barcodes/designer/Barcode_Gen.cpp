#include "barcodes/designer/Barcode_Gen.h"

namespace barcodes {

namespace {

// The record Barcode_Gen_Var refers to at start; made on first use, so a
// reader during another file's start-up finds it built.
Barcode_Gen &startRecord()
{
    static Barcode_Gen record;
    return record;
}

} // namespace

Barcode_Gen *Barcode_Gen_Var = &startRecord();

std::atomic<int> USED_DPI_VALUE{600};
std::atomic<int> Measument_Unit_Is{1};
std::atomic<int> last_unit_val{1};
std::atomic<int> Barcode_module_size{1};
std::atomic<int> QR_Version_Val{0};
std::atomic<int> QR_EC_Level_Val{0};
std::atomic<int> QR_Enc_Mode_Val{0};

} // namespace barcodes
