#pragma once
// Interleaved and Industrial 2 of 5 (digits only). Narrow elements are
// 1 module, wide ones 3. No check digit unless generateChecksum() is called.

#include "barcodes/symbologies/SymBarcode.h"

namespace barcodes {

class SymInterleavedTwoOfFiveBarcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymInterleavedTwoOfFiveBarcode)
    // Digits in pairs, the first as bars and the second as the spaces
    // between them; an odd count gets a leading '0'.
    std::string barcode() const override;
    // True when element 0..4 of the digit's pattern is narrow.
    static bool _getBarForDigit(char digit, int barNumber);
    std::string initiator() const override { return "1010"; }
    std::string terminator() const override { return "11101"; }
    void generateChecksum() override;
    bool isContentValid() const override;

protected:
    // The content followed by the check character when one is set.
    std::string textWithCheck() const;
};

class SymIndustrialTwoOfFiveBarcode : public SymInterleavedTwoOfFiveBarcode {
    QUORVANT_SYMBOL_CLASS(SymIndustrialTwoOfFiveBarcode)
    // Every digit on its own: a bar of 1 or 3 modules and a 2-module space
    // per element.
    std::string barcode() const override;
};

} // namespace barcodes
