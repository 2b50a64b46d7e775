#pragma once
// Postal symbols whose geometry the renderer cannot take from the common
// rules alone.

namespace barcodes {

class SymBarcode;

// Bars that differ in where they start as well as in where they end
// (trackers, ascenders, descenders and full bars): each bar is drawn from its
// own bottom to its own top.
bool isFourStateSymbol(const SymBarcode &symbol);

// Symbols whose `height` is the size of the symbol itself (Japan Post, 8.5 to
// 11.5 points) rather than the height of the whole picture.
bool heightIsSymbolSize(const SymBarcode &symbol);

// Postal symbols, whose bars have the heights their standards give them
// whatever bar height the designer holds: the picture must be at least as
// high as those bars and the texts around them.
bool barsHaveTheirOwnHeights(const SymBarcode &symbol);

} // namespace barcodes
