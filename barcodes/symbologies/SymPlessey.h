#pragma once
// Modified Plessey (MSI) and its hexadecimal form. Each character is four
// bit groups, least significant bit first: "1110" for a 1, "1000" for a 0.
// The modulo-10 check character is always present.

#include "barcodes/symbologies/SymBarcode.h"

namespace barcodes {

class SymModifiedPlesseyBarcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymModifiedPlesseyBarcode)
    using SymBarcode::initWithContent;
    // Upper-cases the content, then computes the check and the width.
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string _encodeChar(char c) const override;
    std::string initiator() const override;
    std::string terminator() const override;
    void generateChecksum() override;

protected:
    // The four bit groups of a value 0..15.
    static std::string groups(int value);
};

class SymModifiedPlesseyHexBarcode : public SymModifiedPlesseyBarcode {
    QUORVANT_SYMBOL_CLASS(SymModifiedPlesseyHexBarcode)
    // Digits and 'A'..'F'.
    std::string _encodeChar(char c) const override;
};

} // namespace barcodes
