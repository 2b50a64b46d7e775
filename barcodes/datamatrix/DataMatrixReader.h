#pragma once
// Reads a Data Matrix ECC200 module grid as a reader does once it has found
// the symbol: the codewords from their places, each block's error check, and
// the data codewords back into bytes. The encoder draws a grid only when this
// gives back the value: the encoding library writes some values wrongly, and
// a reader would then read another value with no sign of it.

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace barcodes {

// The bytes of the grid of W × H modules (modules[y * W + x], 1 dark, row 0
// the bottom row). None when W × H is no ECC200 size, a block fails its
// error check (it is read as it is, without correcting it), or the data is
// malformed or holds what no value of ours does: FNC1, ECI, macros,
// structured append, reader programming or EDIFACT.
// libdmtx's index of the size of W columns and H rows, which its size table
// and its encoder take; -1 when there is none.
int dataMatrixSizeIndex(int W, int H);

std::optional<QByteArray> readDataMatrixGrid(int W, int H, const std::vector<std::uint8_t> &modules);

} // namespace barcodes
