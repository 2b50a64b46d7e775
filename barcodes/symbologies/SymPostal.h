#pragma once
// Postal symbologies, whose bars differ in height rather than width: every
// bar is one '1' module and barTop/barBottom give its extent.
//
// POSTNET and PLANET: full and half bars. RM4SCC and the Japan Post customer
// barcode: four-state bars (0 tracker, 1 descender, 2 ascender, 3 full bar),
// a character's code packing its bar types as hexadecimal digits with the
// first bar in the highest digit.

#include "barcodes/symbologies/SymBarcode.h"

#include <cstdint>

namespace barcodes {

class SymPostnetBarcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymPostnetBarcode)
    using SymBarcode::initWithContent;
    // Module width 1.08 pt, height 9 pt, check digit computed.
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string initiator() const override { return "100"; }
    std::string terminator() const override { return "1"; }
    std::string _encodeChar(char) const override { return "100100100100100"; }
    float barTop(int index) const override;
    // Height in inches of bar 1..5 of the digit at `digitIndex` (the check
    // digit past the content); 0 for a non-digit.
    virtual float _heightForDigit(int digitIndex, int bar) const;
    void generateChecksum() override;
    // 5, 9 or 11 digits.
    bool isContentValid() const override;
};

class SymPlanetBarcode : public SymPostnetBarcode {
    QUORVANT_SYMBOL_CLASS(SymPlanetBarcode)
    // POSTNET's heights exchanged: full bars become half and the rest full.
    float _heightForDigit(int digitIndex, int bar) const override;
    // 11 or 13 digits (12 or 14 with the check digit).
    bool isContentValid() const override;
};

// RM4SCC character code (16 bits, four bars); 0 (four trackers) for none.
std::uint16_t royalmail_characterDescriptor(char c);
// Bar 0..3 of a character code.
int royalmail_barDescriptor(std::uint16_t code, int bar);
// Top and bottom of a bar type, points from the bottom of the symbol.
float royalmail_barTop(int descriptor);
float royalmail_barBottom(int descriptor);
// The checksum row (ascenders) and column (descenders) values, 1..6.
int royalmail_collapseAscenders(std::uint16_t code);
int royalmail_collapseDescenders(std::uint16_t code);

class SymRoyalMailBarcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymRoyalMailBarcode)
    using SymBarcode::initWithContent;
    // Upper-cases the content; module width 0.5 mm, height 5.05 mm, check
    // character computed.
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string initiator() const override { return "10"; }
    std::string terminator() const override { return "1"; }
    std::string _encodeChar(char) const override { return "10101010"; }
    // Bar type of module `index`.
    int _barDescriptor(int index) const;
    float barTop(int index) const override;
    float barBottom(int index) const override;
    void generateChecksum() override;
    // Digits and A..Z only.
    bool isContentValid() const override;
};

// Japan Post character code (three bars), indexed from '-' to '@'; 0 for
// other characters.
int japanpost_characterDescriptor(char c);
// Bar `bar` of a code of `length` bars.
int japanpost_barDescriptor(int code, int bar, int length = 3);
// Top and bottom of a bar type at symbol size `size` (8.5..11.5), points.
float japanpost_barTop(int descriptor, float size);
float japanpost_barBottom(int descriptor, float size);

class JapanPostBarcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(JapanPostBarcode)
    using SymBarcode::initWithContent;
    // Converts the content (setContent), takes the caption flag and sets the
    // size: `height` when it lies in 8..11.5, else 10. Module width, font
    // size and check are the symbology's own.
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption, float barWidth,
                         float height, float fontSize, int checkDigit) override;
    // The 20-character encoded body.
    const std::string &japanpostContents() const { return m_japanpostContents; }
    // Symbol size clamped to 8.5..11.5; the module width is a sixth of it.
    void setHeight(float height) override;
    float barWidthAtHeight(float height) const override;
    // Module width clamped to 8/6..11.5/6; the size is six module widths.
    void setBarWidth(float barWidth) override;
    void generateChecksum() override;
    // Builds the body from the text; content becomes the caption text.
    void setContent(const std::string &content) override;
    // A postal code of seven digits first.
    bool isContentValid() const override;
    std::string initiator() const override { return "1010"; }
    std::string terminator() const override { return "101"; }
    std::string _encodeChar(char) const override { return "101010"; }
    int _barDescriptor(int index) const;
    float barTop(int index) const override;
    float barBottom(int index) const override;

protected:
    const std::string &encodedText() const override { return m_japanpostContents; }

private:
    std::string m_japanpostContents;
};

} // namespace barcodes
