#include "barcodes/symbologies/SymCodabar.h"

namespace barcodes {

namespace {

bool isStartStop(char c)
{
    return c >= 'A' && c <= 'D';
}

} // namespace

std::string SymCodabarBarcode::_encodeChar(char c) const
{
    switch (c) {
    case '0': return "101010011";
    case '1': return "101011001";
    case '2': return "101001011";
    case '3': return "110010101";
    case '4': return "101101001";
    case '5': return "110101001";
    case '6': return "100101011";
    case '7': return "100101101";
    case '8': return "100110101";
    case '9': return "110100101";
    case '-': return "101001101";
    case '$': return "101100101";
    case ':': return "1101011011";
    case '/': return "1101101011";
    case '.': return "1101101101";
    case '+': return "1011011011";
    case 'A': return "1011001001";
    case 'B': return "1001001011";
    case 'C': return "1010010011";
    case 'D': return "1010011001";
    default: return {};
    }
}

std::string SymCodabarBarcode::barcode() const
{
    if (!contentIsAscii())
        return {};
    std::string modules;
    for (char c : m_content) {
        const std::string pattern = _encodeChar(c);
        if (pattern.empty())
            continue;
        if (!modules.empty())
            modules += '0';
        modules += pattern;
    }
    return modules;
}

bool SymCodabarBarcode::isContentValid() const
{
    if (m_content.size() < 2 || !isStartStop(m_content.front()) || !isStartStop(m_content.back()))
        return false;
    for (std::size_t i = 1; i + 1 < m_content.size(); ++i) {
        if (isStartStop(m_content[i]))
            return false;
    }
    return SymBarcode::isContentValid();
}

} // namespace barcodes
