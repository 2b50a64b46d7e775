#pragma once
// Code 128 with its three code sets. checkDigit holds the check symbol's
// value 0..102. A character outside the chosen set A or B is written as SHIFT
// followed by its value in the other set; set C takes digits only, in pairs,
// and an odd last digit after a change to set B, so the symbol reads as the
// digits given.

#include "barcodes/symbologies/SymBarcode.h"

#include <vector>

namespace barcodes {

class SymCode128Barcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymCode128Barcode)
    enum { CodeSetA = 0, CodeSetB = 1, CodeSetC = 2, CodeSetAuto = 3 };

    // Makes a symbol with the given code set (CodeSetAuto chooses from the
    // content); nullptr without content.
    static std::unique_ptr<SymCode128Barcode> create(const std::optional<std::string> &content, int codeSet,
                                                     bool printsCaption = true);

    using SymBarcode::initWithContent;
    // Resolves CodeSetAuto, then computes the check symbol and the width.
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    int codeSet() const { return m_codeSet; }
    void setCodeSet(int codeSet) { m_codeSet = codeSet; }
    void generateChecksum() override;

    // Symbol value of a character in the current set; -1 (logged) for none.
    int _valueForChar(char c) const;
    // The character of a value in the current set; '\0' (logged) for none.
    char _charForValue(int value) const;
    std::string initiator() const override;
    std::string terminator() const override;
    // A character in set A or B, shifted to the other set when needed.
    std::string _encodeChar(char c) const override;
    bool _canEncodeChar(char c, int set) const { return !_encodeChar(c, set).empty(); }
    std::string _encodeChar(char c, int set) const;
    int _bestCodeSetForContent() const;
    // The SHIFT symbol, which makes the next character read in the other of
    // sets A and B.
    std::string _shiftCharacterForSet(int set) const;
    // A pair of digits in set C; "" unless it is 00..99.
    std::string _encodeNumberPair(const std::string &pair) const;
    std::string barcode() const override;
    bool isContentValid() const override;

    // The 11-module pattern of a symbol value 0..106 ("" for others).
    static std::string patternForValue(int value);
    // The data symbol values of the content in the current set, shifts
    // included, without start and check; empty optional when a character
    // cannot be written.
    std::optional<std::vector<int>> symbolValues() const;

protected:
    void prepareCopy(const SymBarcode &original) override;
    int encodingVariant() const override { return m_codeSet; }

private:
    static int valueInSet(char c, int set);

    int m_codeSet = CodeSetA;
};

} // namespace barcodes
