#include "barcodes/render/FourState.h"

#include "barcodes/symbologies/SymBarcode.h"

namespace barcodes {

bool isFourStateSymbol(const SymBarcode &)
{
    return false;
}

} // namespace barcodes
