#pragma once
// Modified Plessey (MSI) and its hexadecimal form. Each character is its
// value in four bits, most significant first; a 1 bit is a wide bar and a
// narrow space ("110"), a 0 bit a narrow bar and a wide space ("100"). The
// start is one 1 bit, the stop a 0 bit and a narrow bar. The modulo-10
// check character is always present.

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
    // The four bits of a value 0..15, most significant first.
    static std::string groups(int value);
};

class SymModifiedPlesseyHexBarcode : public SymModifiedPlesseyBarcode {
    QUORVANT_SYMBOL_CLASS(SymModifiedPlesseyHexBarcode)
    // Digits and 'A'..'F'.
    std::string _encodeChar(char c) const override;
};

} // namespace barcodes
