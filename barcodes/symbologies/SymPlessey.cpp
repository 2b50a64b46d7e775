#include "barcodes/symbologies/SymPlessey.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace barcodes {

namespace {

// Bar and space of one bit; a wide element is two narrow ones.
constexpr const char *kOne = "110";
constexpr const char *kZero = "100";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string SymModifiedPlesseyBarcode::groups(int value)
{
    // The modules of every value, worked out once.
    static const std::array<std::string, 16> table = [] {
        std::array<std::string, 16> out;
        for (int v = 0; v < 16; ++v) {
            for (int bit = 3; bit >= 0; --bit)
                out[std::size_t(v)] += (v >> bit) & 1 ? kOne : kZero;
        }
        return out;
    }();
    return table[std::size_t(value & 15)];
}

bool SymModifiedPlesseyBarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!content)
        return false;
    std::string upper = *content;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    if (!initFields(upper, printsCaption, kDefaultBarWidth, kDefaultHeight, kDefaultFontSize, -1))
        return false;
    generateChecksum();
    calculateWidth();
    return true;
}

std::string SymModifiedPlesseyBarcode::_encodeChar(char c) const
{
    if (!isDigit(c))
        return {};
    return groups(c - '0');
}

std::string SymModifiedPlesseyBarcode::initiator() const
{
    return kOne;
}

std::string SymModifiedPlesseyBarcode::terminator() const
{
    return std::string(kZero) + "1";
}

void SymModifiedPlesseyBarcode::generateChecksum()
{
    // Luhn-style: the characters at n-1, n-3, ... form a number that is
    // doubled and its digits summed; worked digit by digit, since the digit
    // sum of 2N is the sum of the digit sums of 2d over N's digits. A letter
    // ends that number. The other characters add their value as they are.
    const int n = int(m_content.size());
    int sum = 0;
    for (int i = n - 1; i >= 0; i -= 2) {
        const char c = m_content[i];
        if (!isDigit(c))
            break;
        const int doubled = 2 * (c - '0');
        sum += doubled / 10 + doubled % 10;
    }
    for (int i = n - 2; i >= 0; i -= 2)
        sum += m_content[i] - '0';
    const int r = ((sum % 10) + 10) % 10;
    m_checkDigit = r == 0 ? '0' : '0' + (10 - r);
}

std::string SymModifiedPlesseyHexBarcode::_encodeChar(char c) const
{
    if (c >= 'A' && c <= 'F')
        return groups(c - 'A' + 10);
    return SymModifiedPlesseyBarcode::_encodeChar(c);
}

} // namespace barcodes
