#pragma once
// Interleaved and Industrial 2 of 5 (digits only). Narrow elements are
// 1 module, wide ones 3. No check digit unless generateChecksum() is called;
// the check is the modulo-10 digit with weights 3, 1, 3, ... from the
// rightmost data digit.

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
    // The data digits as the symbol holds them: with the leading '0' that
    // pairs an odd count, so a reader and the caption agree.
    std::string caption() const override;

protected:
    // The content followed by the check character when one is set.
    std::string textWithCheck() const;
};

// Industrial (standard) 2 of 5: only the bars carry data, every space is
// narrow; its own start (wide, wide, narrow bar) and stop (wide, narrow,
// wide bar).
class SymIndustrialTwoOfFiveBarcode : public SymInterleavedTwoOfFiveBarcode {
    QUORVANT_SYMBOL_CLASS(SymIndustrialTwoOfFiveBarcode)
    // Every digit on its own: five bars of 1 or 3 modules, each followed by
    // a 1-module space.
    std::string barcode() const override;
    std::string initiator() const override { return "1110111010"; }
    std::string terminator() const override { return "111010111"; }
    // Digits are not paired: the caption is the content.
    std::string caption() const override { return SymBarcode::caption(); }
};

} // namespace barcodes
