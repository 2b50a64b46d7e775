#include "barcodes/symbologies/SymCode128.h"

#include <QtGlobal>
#include <algorithm>
#include <array>

namespace barcodes {

namespace {

constexpr int kShift = 98;
constexpr int kCodeB = 100;
constexpr int kStartA = 103;

// Bar and space widths of the symbol values 0..106 (106 is the stop).
constexpr std::array<const char *, 107> kWidths = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

namespace {

// The modules of every symbol value, worked out once from the widths.
const std::array<std::string, 107> &patterns()
{
    static const std::array<std::string, 107> table = [] {
        std::array<std::string, 107> out;
        for (std::size_t value = 0; value < out.size(); ++value) {
            bool bar = true;
            for (const char *w = kWidths[value]; *w; ++w, bar = !bar)
                out[value].append(std::size_t(*w - '0'), bar ? '1' : '0');
        }
        return out;
    }();
    return table;
}

} // namespace

std::string SymCode128Barcode::patternForValue(int value)
{
    if (value < 0 || value > 106)
        return {};
    return patterns()[std::size_t(value)];
}

std::unique_ptr<SymCode128Barcode> SymCode128Barcode::create(const std::optional<std::string> &content,
                                                             int codeSet, bool printsCaption)
{
    auto symbol = std::make_unique<SymCode128Barcode>();
    symbol->setCodeSet(codeSet);
    if (!symbol->initWithContent(content, printsCaption))
        return nullptr;
    return symbol;
}

bool SymCode128Barcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!content)
        return false;
    if (m_codeSet == CodeSetAuto) {
        m_content = *content;
        m_codeSet = _bestCodeSetForContent();
    }
    if (!initFields(content, printsCaption, kDefaultBarWidth, kDefaultHeight, kDefaultFontSize, -1))
        return false;
    generateChecksum();
    calculateWidth();
    return true;
}

void SymCode128Barcode::prepareCopy(const SymBarcode &original)
{
    m_codeSet = static_cast<const SymCode128Barcode &>(original).m_codeSet;
}

int SymCode128Barcode::valueInSet(char c, int set)
{
    const int code = static_cast<unsigned char>(c);
    switch (set) {
    case CodeSetA:
        if (code >= 32 && code <= 95)
            return code - 32;
        if (code < 32)
            return code + 64;
        return -1;
    case CodeSetB:
        return code >= 32 && code <= 127 ? code - 32 : -1;
    case CodeSetC:
        return code >= 32 && code <= 95 ? code - 32 : -1;
    default:
        return -1;
    }
}

int SymCode128Barcode::_valueForChar(char c) const
{
    const int value = valueInSet(c, m_codeSet);
    if (value < 0)
        qInfo("_valueForChar: received Unrecognized character %c", c);
    return value;
}

char SymCode128Barcode::_charForValue(int value) const
{
    if (value < 0) {
        qInfo("_charForValue: received Unrecognized value %i", value);
        return '\0';
    }
    if (m_codeSet == CodeSetB)
        return value <= 95 ? char(value + 32) : '\0';
    if (value <= 63)
        return char(value + 32);
    if (m_codeSet == CodeSetA && value <= 95)
        return char(value - 64);
    return '\0';
}

std::string SymCode128Barcode::initiator() const
{
    if (m_codeSet < CodeSetA || m_codeSet > CodeSetC) {
        qInfo("Invalid codeSet value: %c", char(m_codeSet));
        return {};
    }
    return patternForValue(kStartA + m_codeSet);
}

std::string SymCode128Barcode::terminator() const
{
    return patternForValue(106);
}

std::string SymCode128Barcode::_encodeChar(char c, int set) const
{
    return patternForValue(valueInSet(c, set));
}

std::string SymCode128Barcode::_shiftCharacterForSet(int set) const
{
    if (set < CodeSetA || set > CodeSetC) {
        qInfo("Invalid CodeSet value Supplied: %c", char(set));
        return {};
    }
    return patternForValue(kShift);
}

std::string SymCode128Barcode::_encodeChar(char c) const
{
    if (_canEncodeChar(c, m_codeSet))
        return _encodeChar(c, m_codeSet);
    const int other = m_codeSet == CodeSetA ? CodeSetB : CodeSetA;
    if (!_canEncodeChar(c, other))
        return {};
    return _shiftCharacterForSet(other) + _encodeChar(c, other);
}

int SymCode128Barcode::_bestCodeSetForContent() const
{
    int digits = 0, controls = 0, lower = 0;
    for (char c : m_content) {
        const int code = static_cast<unsigned char>(c);
        if (isDigit(c))
            ++digits;
        else if (code < 32 || code == 127)
            ++controls;
        else if (c >= 'a' && c <= 'z')
            ++lower;
    }
    // Set C pads an odd count with a leading zero, which would change the
    // value read; an odd number of digits goes in set B instead.
    if (digits == int(m_content.size()) && m_content.size() % 2 == 0)
        return CodeSetC;
    return controls > lower ? CodeSetA : CodeSetB;
}

std::string SymCode128Barcode::_encodeNumberPair(const std::string &pair) const
{
    if (pair.size() != 2 || !isDigit(pair[0]) || !isDigit(pair[1]))
        return {};
    return patternForValue((pair[0] - '0') * 10 + (pair[1] - '0'));
}

std::optional<std::vector<int>> SymCode128Barcode::symbolValues() const
{
    std::vector<int> values;
    if (m_codeSet == CodeSetC) {
        if (!std::all_of(m_content.begin(), m_content.end(), isDigit))
            return std::nullopt;
        const std::size_t pairs = m_content.size() / 2;
        for (std::size_t i = 0; i < 2 * pairs; i += 2)
            values.push_back((m_content[i] - '0') * 10 + (m_content[i + 1] - '0'));
        // A digit without a partner goes in set B: a leading zero would make
        // the symbol read as a different number from its caption.
        if (m_content.size() % 2) {
            values.push_back(kCodeB);
            values.push_back(valueInSet(m_content.back(), CodeSetB));
        }
        return values;
    }
    if (m_codeSet != CodeSetA && m_codeSet != CodeSetB)
        return std::nullopt;
    const int other = m_codeSet == CodeSetA ? CodeSetB : CodeSetA;
    for (char c : m_content) {
        int value = valueInSet(c, m_codeSet);
        if (value < 0) {
            value = valueInSet(c, other);
            if (value < 0)
                return std::nullopt;
            values.push_back(kShift);
        }
        values.push_back(value);
    }
    return values;
}

void SymCode128Barcode::generateChecksum()
{
    if (m_codeSet < CodeSetA || m_codeSet > CodeSetC) {
        m_checkDigit = -1;
        return;
    }
    int total = kStartA + m_codeSet;
    const auto values = symbolValues();
    if (values) {
        for (std::size_t k = 0; k < values->size(); ++k)
            total += int(k + 1) * (*values)[k];
    } else {
        // Unwritable content: sum what the current set can read, so the
        // symbol is still built (and refused by isContentValid).
        int k = 0;
        for (char c : m_content)
            total += ++k * std::max(valueInSet(c, m_codeSet), 0);
    }
    m_checkDigit = total % 103;
}

std::string SymCode128Barcode::barcode() const
{
    if (!contentIsAscii())
        return {};
    std::string modules;
    if (const auto values = symbolValues()) {
        modules.reserve((values->size() + 1) * 11);
        for (int value : *values)
            modules += patterns()[std::size_t(value)];
    } else if (m_codeSet == CodeSetC) {
        // Not all digits: what pairs can be read is written, and the symbol
        // is refused by isContentValid.
        std::string text = m_content;
        if (text.size() % 2)
            text.insert(text.begin(), '0');
        for (std::size_t i = 0; i < text.size(); i += 2)
            modules += _encodeNumberPair(text.substr(i, 2));
    } else {
        for (char c : m_content)
            modules += _encodeChar(c);
    }
    if (m_checkDigit >= 0)
        modules += patternForValue(m_checkDigit);
    return modules;
}

bool SymCode128Barcode::isContentValid() const
{
    return contentIsAscii() && symbolValues().has_value();
}

} // namespace barcodes
