#include "barcodes/symbologies/SymTwoOfFive.h"

#include <algorithm>

namespace barcodes {

namespace {

// Five elements per digit, 'W' wide, 'N' narrow.
constexpr const char *kElements[] = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                     "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool SymInterleavedTwoOfFiveBarcode::_getBarForDigit(char digit, int barNumber)
{
    if (!isDigit(digit) || barNumber < 0 || barNumber > 4)
        return true;
    return kElements[digit - '0'][barNumber] == 'N';
}

std::string SymInterleavedTwoOfFiveBarcode::textWithCheck() const
{
    std::string text = m_content;
    if (m_checkDigit != -1)
        text += char(m_checkDigit);
    return text;
}

std::string SymInterleavedTwoOfFiveBarcode::barcode() const
{
    if (!contentIsAscii())
        return {};
    std::string text = textWithCheck();
    if (text.size() % 2)
        text.insert(text.begin(), '0');
    std::string modules;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        for (int k = 0; k < 5; ++k) {
            modules += _getBarForDigit(text[i], k) ? "1" : "111";
            modules += _getBarForDigit(text[i + 1], k) ? "0" : "000";
        }
    }
    return modules;
}

void SymInterleavedTwoOfFiveBarcode::generateChecksum()
{
    // The rightmost data digit weighs 3, the next 1, and so on leftwards.
    int sum = 0;
    int weight = 3;
    for (auto it = m_content.rbegin(); it != m_content.rend(); ++it, weight = 4 - weight)
        sum += weight * (*it - '0');
    m_checkDigit = '0' + ((10 - sum % 10) % 10 + 10) % 10;
}

std::string SymInterleavedTwoOfFiveBarcode::caption() const
{
    if (textWithCheck().size() % 2)
        return '0' + m_content;
    return m_content;
}

bool SymInterleavedTwoOfFiveBarcode::isContentValid() const
{
    return std::all_of(m_content.begin(), m_content.end(), isDigit);
}

std::string SymIndustrialTwoOfFiveBarcode::barcode() const
{
    if (!contentIsAscii())
        return {};
    std::string modules;
    for (char c : textWithCheck()) {
        for (int k = 0; k < 5; ++k)
            modules += _getBarForDigit(c, k) ? "10" : "1110";
    }
    return modules;
}

} // namespace barcodes
