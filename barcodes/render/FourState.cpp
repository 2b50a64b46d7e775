#include "barcodes/render/FourState.h"

#include "barcodes/symbologies/SymPostal.h"

namespace barcodes {

bool isFourStateSymbol(const SymBarcode &symbol)
{
    return dynamic_cast<const SymRoyalMailBarcode *>(&symbol) != nullptr || heightIsSymbolSize(symbol);
}

bool heightIsSymbolSize(const SymBarcode &symbol)
{
    return dynamic_cast<const JapanPostBarcode *>(&symbol) != nullptr;
}

bool barsHaveTheirOwnHeights(const SymBarcode &symbol)
{
    return isFourStateSymbol(symbol) || dynamic_cast<const SymPostnetBarcode *>(&symbol) != nullptr;
}

} // namespace barcodes
