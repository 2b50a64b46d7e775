#pragma once
// Code 39 and its full-ASCII form. Narrow elements are 1 module, wide ones 2;
// each character is followed by one narrow space. '*' is the start and stop
// character and cannot appear in plain Code 39 data.

#include "barcodes/symbologies/SymBarcode.h"

namespace barcodes {

class SymCode39Barcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymCode39Barcode)
    using SymBarcode::initWithContent;
    // Upper-cases the content; no check character unless generateChecksum().
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string _encodeChar(char c) const override;
    std::string initiator() const override;
    std::string terminator() const override;
    bool isContentValid() const override;
    // Appends the modulo-43 check character and recomputes the width.
    void generateChecksum() override;

    // The 13-module pattern of one Code 39 character; "" for none.
    static std::string patternOf(char c);

protected:
    // The check is a plain Code 39 character in every form.
    std::string _encodeCheckChar(char c) const override { return patternOf(c); }
    // The Code 39 characters that the content stands for.
    virtual std::string code39Text() const { return m_content; }
};

class SymExtendedCode39Barcode : public SymCode39Barcode {
    QUORVANT_SYMBOL_CLASS(SymExtendedCode39Barcode)
    using SymBarcode::initWithContent;
    // Keeps the content's case.
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    // The Code 39 patterns of every character's one- or two-character form,
    // then the check character's.
    std::string barcode() const override;
    // Patterns of the character's one- or two-character Code 39 form; "" when
    // the full-ASCII table has none.
    std::string _encodeChar(char c) const override;
    bool isContentValid() const override { return SymBarcode::isContentValid(); }
    static std::string getRequirementDescription();

    // The Code 39 characters for one ASCII character by the full-ASCII
    // table: NUL to DEL; "" for bytes above 127.
    static std::string fullAsciiPair(char c);

protected:
    std::string code39Text() const override;
};

} // namespace barcodes
