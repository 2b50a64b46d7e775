#pragma once
// Codabar. Narrow elements are 1 module, wide ones 2, and one narrow space
// separates the characters. The content carries its own start and stop
// characters (A to D); there is no check character.

#include "barcodes/symbologies/SymBarcode.h"

namespace barcodes {

class SymCodabarBarcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymCodabarBarcode)
    std::string _encodeChar(char c) const override;
    std::string barcode() const override;
    // Every character encodable, A..D first and last and nowhere else.
    bool isContentValid() const override;
};

} // namespace barcodes
