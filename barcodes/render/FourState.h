#pragma once
// Symbols whose bars differ in where they start as well as in where they end
// (trackers, ascenders, descenders and full bars), so that each bar has to be
// drawn from its own bottom to its own top.

namespace barcodes {

class SymBarcode;

bool isFourStateSymbol(const SymBarcode &symbol);

} // namespace barcodes
