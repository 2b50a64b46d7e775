#pragma once
// The retail symbologies UPC-A, UPC-E, EAN-13 and EAN-8. Content holds the
// digits without the check digit; checkDigit holds the check as '0'..'9'.
// The width includes a quiet zone of 10 % on each side; the number system
// and check digits are printed outside the bars where the symbology has them.

#include "barcodes/symbologies/SymBarcode.h"

#include <utility>
#include <vector>

namespace barcodes {

// Left-hand (odd parity) pattern to right-hand pattern: '0' becomes '1' and
// every other character '0'.
std::string swapHandedness(const std::string &pattern);
// Left-hand odd pattern to left-hand even pattern: swapHandedness read
// backwards.
std::string swapParity(const std::string &pattern);

class SymAbstractUPCEANBarcode : public SymBarcode {
    QUORVANT_SYMBOL_CLASS(SymAbstractUPCEANBarcode)
    float barsWidth(float barWidth) const override;
    float firstBar() const override { return m_width * 0.1f; }
    float lastBar() const override { return m_width * 0.9f - m_barWidth; }
    // The L (odd parity) pattern of a digit; empty for anything else.
    std::string _encodeChar(char c) const override;
    std::string initiator() const override { return "101"; }
    std::string terminator() const override { return "101"; }
    int digitsToLeft() const override { return 1; }
    int digitsToRight() const override { return 1; }
    std::string rightCaption() const override;
    float barBottom(int index) const override;
    void generateChecksum() override;

    // A group of the value text printed under the bars, and the modules it
    // stands under: the digits of one half between the guards.
    struct CaptionGroup {
        std::string digits;
        int firstModule = 0;
        int modules = 0;
    };
    // The groups of caption(), each under the modules of its own digits.
    std::vector<CaptionGroup> captionGroups() const;

protected:
    // Where each tab-separated group of caption() stands: its first module
    // and how many modules it spans; none for the common base.
    virtual std::vector<std::pair<int, int>> captionSpans() const { return {}; }
    // The modulo-10 check of UPC-A (11 digits) and EAN-13 (12 digits): the
    // last digit and every second one leftwards weigh 3. -1 when `digits`
    // does not have `length` digits.
    static int weightedCheck(const std::string &digits, std::size_t length);
    // The digit at `index` of the content, or -1.
    int digitAt(std::size_t index) const;
    // True when the content is `length` digits and the stored check digit is
    // the one they give.
    bool hasDigitsAndCheck(std::size_t length, int expectedCheck) const;
    // Digits [0, split) as left-hand patterns, the centre guard, digits
    // [split, end) as right-hand patterns, then the check digit.
    std::string twoHalves(std::size_t split, std::size_t end) const;
    // Right-hand pattern of a digit character.
    std::string rightHand(char c) const { return swapHandedness(_encodeChar(c)); }
};

class SymUPCABarcode : public SymAbstractUPCEANBarcode {
    QUORVANT_SYMBOL_CLASS(SymUPCABarcode)
    using SymBarcode::initWithContent;
    // 11 digits get their check digit computed; 12 digits are split into
    // the content and the given check, which isContentValid verifies.
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string barcode() const override;
    void generateChecksum() override;
    std::string caption() const override;
    bool isContentValid() const override;

protected:
    std::vector<std::pair<int, int>> captionSpans() const override;
};

class SymUPCEBarcode : public SymUPCABarcode {
    QUORVANT_SYMBOL_CLASS(SymUPCEBarcode)
    using SymBarcode::initWithContent;
    // Content: 11 digits of a UPC-A number (zero-suppressed here), 8 digits
    // (number system, six digits, check) or 7 digits (the check is computed).
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string barcode() const override;
    // Position 1..6 of the six encoded digits: true for even parity.
    bool parityForDigit(int position) const;
    float barBottom(int index) const override;
    bool isContentValid() const override;
    std::string terminator() const override { return "010101"; }
    std::string caption() const override;
    void generateChecksum() override;

protected:
    std::vector<std::pair<int, int>> captionSpans() const override;

public:
    // A 12-digit UPC-A number (with check) in its six-digit zero-suppressed
    // form; "" when it has none.
    static std::string UPCAToUPCE(const std::string &upca);
    // The 11-digit UPC-A number (without check) of a 7-digit UPC-E content
    // (number system first); "" when the content is not such.
    static std::string UPCEToUPCA(const std::string &upce);
};

class SymEAN13Barcode : public SymAbstractUPCEANBarcode {
    QUORVANT_SYMBOL_CLASS(SymEAN13Barcode)
    using SymBarcode::initWithContent;
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string barcode() const override;
    // True for even parity of the digit at position 1..6 under first digit
    // `systemDigit`.
    static bool _parityForSystemDigit(char systemDigit, int position);
    int digitsToRight() const override { return 0; }
    std::string rightCaption() const override { return {}; }
    std::string caption() const override;
    void generateChecksum() override;
    bool isContentValid() const override;

protected:
    std::vector<std::pair<int, int>> captionSpans() const override;
};

class SymEAN8Barcode : public SymEAN13Barcode {
    QUORVANT_SYMBOL_CLASS(SymEAN8Barcode)
    using SymBarcode::initWithContent;
    bool initWithContent(const std::optional<std::string> &content, bool printsCaption) override;
    std::string barcode() const override;
    std::string caption() const override;
    bool isContentValid() const override;
    void generateChecksum() override;
    float barBottom(int index) const override;
    int digitsToRight() const override { return 0; }
    int digitsToLeft() const override { return 0; }

protected:
    std::vector<std::pair<int, int>> captionSpans() const override;
};

} // namespace barcodes
