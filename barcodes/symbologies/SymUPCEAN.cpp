#include "barcodes/symbologies/SymUPCEAN.h"

#include <algorithm>
#include <array>

namespace barcodes {

namespace {

constexpr std::array<const char *, 10> kLeftOdd = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                                   "0110001", "0101111", "0111011", "0110111", "0001011"};

constexpr const char *kCentreGuard = "01010";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(const std::string &s)
{
    return std::all_of(s.begin(), s.end(), isDigit);
}

// Characters [from, from + count) of s, clipped to its length.
std::string part(const std::string &s, std::size_t from, std::size_t count)
{
    if (from >= s.size())
        return {};
    return s.substr(from, count);
}

} // namespace

std::string swapHandedness(const std::string &pattern)
{
    std::string out(pattern.size(), '0');
    for (std::size_t i = 0; i < pattern.size(); ++i)
        out[i] = pattern[i] == '0' ? '1' : '0';
    return out;
}

std::string swapParity(const std::string &pattern)
{
    std::string out = swapHandedness(pattern);
    std::reverse(out.begin(), out.end());
    return out;
}

// ---- common base ----

float SymAbstractUPCEANBarcode::barsWidth(float barWidth) const
{
    if (m_content.empty())
        return 0.0f;
    return float(completeBarcode().size()) * barWidth * 1.2f;
}

std::string SymAbstractUPCEANBarcode::_encodeChar(char c) const
{
    if (!isDigit(c))
        return {};
    return kLeftOdd[c - '0'];
}

std::string SymAbstractUPCEANBarcode::rightCaption() const
{
    if (m_checkDigit < 0)
        return {};
    return std::string(1, char(m_checkDigit));
}

float SymAbstractUPCEANBarcode::barBottom(int index) const
{
    const int count = int(completeBarcode().size());
    if (index < 7 || (index >= 45 && index <= 49) || index > count - 7)
        return 3.6f;
    return m_captionHeight * 72.0f;
}

int SymAbstractUPCEANBarcode::weightedCheck(const std::string &digits, std::size_t length)
{
    if (digits.size() != length || !allDigits(digits))
        return -1;
    int sum = 0;
    bool heavy = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, heavy = !heavy)
        sum += (*it - '0') * (heavy ? 3 : 1);
    return '0' + (10 - sum % 10) % 10;
}

void SymAbstractUPCEANBarcode::generateChecksum()
{
    const int check = weightedCheck(m_content, 11);
    if (check >= 0)
        m_checkDigit = check;
}

int SymAbstractUPCEANBarcode::digitAt(std::size_t index) const
{
    if (index >= m_content.size() || !isDigit(m_content[index]))
        return -1;
    return m_content[index] - '0';
}

bool SymAbstractUPCEANBarcode::hasDigitsAndCheck(std::size_t length, int expectedCheck) const
{
    return m_content.size() == length && allDigits(m_content) && expectedCheck >= 0
           && m_checkDigit == expectedCheck;
}

namespace {

enum class Hand { LeftOdd, LeftEven, Right };

// Appends the pattern of digit `c` as _encodeChar gives it (left-hand odd),
// swapParity (left-hand even) or rightHand, nothing for a non-digit,
// straight from the table: a symbol is encoded per record.
void appendDigit(std::string &modules, char c, Hand hand)
{
    if (!isDigit(c))
        return;
    const char *odd = kLeftOdd[std::size_t(c - '0')];
    constexpr int kModules = 7;
    for (int i = 0; i < kModules; ++i) {
        switch (hand) {
        case Hand::LeftOdd:
            modules += odd[i];
            break;
        case Hand::LeftEven:
            modules += odd[kModules - 1 - i] == '0' ? '1' : '0';
            break;
        case Hand::Right:
            modules += odd[i] == '0' ? '1' : '0';
            break;
        }
    }
}

} // namespace

std::string SymAbstractUPCEANBarcode::twoHalves(std::size_t split, std::size_t end) const
{
    if (!contentIsAscii())
        return {};
    std::string modules;
    modules.reserve(96);
    for (std::size_t i = 0; i < std::min(m_content.size(), split); ++i)
        appendDigit(modules, m_content[i], Hand::LeftOdd);
    modules += kCentreGuard;
    for (std::size_t i = split; i < std::min(m_content.size(), end); ++i)
        appendDigit(modules, m_content[i], Hand::Right);
    if (m_checkDigit >= 0)
        appendDigit(modules, char(m_checkDigit), Hand::Right);
    return modules;
}

std::vector<SymAbstractUPCEANBarcode::CaptionGroup> SymAbstractUPCEANBarcode::captionGroups() const
{
    const std::vector<std::pair<int, int>> spans = captionSpans();
    const std::string text = caption();
    std::vector<CaptionGroup> groups;
    std::size_t from = 0;
    for (const auto &[first, modules] : spans) {
        const std::size_t tab = std::min(text.find('\t', from), text.size());
        std::string digits = text.substr(std::min(from, text.size()), tab - std::min(from, text.size()));
        // The caption's leading spaces only pushed it right in the old layout.
        digits.erase(0, digits.find_first_not_of(' '));
        groups.push_back({std::move(digits), first, modules});
        from = tab + 1;
    }
    return groups;
}

// ---- UPC-A ----

bool SymUPCABarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!initFields(content, printsCaption, kDefaultBarWidth, kDefaultHeight, kDefaultFontSize, -1))
        return false;
    // Longer content stays whole, so that it is refused rather than cut.
    if (m_content.size() < 12) {
        generateChecksum();
    } else if (m_content.size() == 12) {
        m_checkDigit = m_content[11];
        m_content.resize(11);
    }
    calculateWidth();
    return true;
}

void SymUPCABarcode::generateChecksum()
{
    const int check = weightedCheck(m_content, 11);
    if (check >= 0)
        m_checkDigit = check;
}

std::string SymUPCABarcode::barcode() const
{
    return twoHalves(6, 11);
}

std::string SymUPCABarcode::caption() const
{
    return part(m_content, 1, 5) + "\t" + part(m_content, 6, 5);
}

std::vector<std::pair<int, int>> SymUPCABarcode::captionSpans() const
{
    // Digits 1..5 and 6..10: the number system and check digits stand
    // outside the guards.
    return {{10, 35}, {50, 35}};
}

bool SymUPCABarcode::isContentValid() const
{
    return hasDigitsAndCheck(11, weightedCheck(m_content, 11));
}

// ---- UPC-E ----

bool SymUPCEBarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    // The fields as UPC-A sets them; its check digit and width are not
    // worked out, since the short form replaces both.
    if (!initFields(content, printsCaption, kDefaultBarWidth, kDefaultHeight, kDefaultFontSize, -1))
        return false;
    if (m_content.size() == 11) {
        SymUPCABarcode::generateChecksum();
        // The number system digit is kept in front of the six digits.
        const std::string suppressed = UPCAToUPCE(m_content + char(m_checkDigit));
        if (!suppressed.empty())
            m_content = m_content.substr(0, 1) + suppressed;
    } else if (m_content.size() == 8) {
        m_checkDigit = m_content[7];
        m_content.resize(7);
    } else if (m_content.size() == 7) {
        m_checkDigit = -1;
        generateChecksum();
    } else {
        m_checkDigit = -1;
    }
    calculateWidth();
    return true;
}

void SymUPCEBarcode::generateChecksum()
{
    if (m_content.size() == 11) {
        SymUPCABarcode::generateChecksum();
        return;
    }
    const int check = weightedCheck(UPCEToUPCA(m_content), 11);
    if (check >= 0)
        m_checkDigit = check;
}

std::string SymUPCEBarcode::UPCAToUPCE(const std::string &s)
{
    if (s.size() < 12 || !allDigits(s.substr(0, 12)))
        return {};
    // The digits that the short form leaves out must all be zero.
    const auto zeros = [&s](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i <= to; ++i) {
            if (s[i] != '0')
                return false;
        }
        return true;
    };
    const std::string s35 = s.substr(3, 3);
    if (s35 == "000" || s35 == "100" || s35 == "200")
        return zeros(6, 7) ? s.substr(1, 2) + s.substr(8, 3) + s[3] : std::string();
    if (s.substr(4, 2) == "00")
        return zeros(6, 8) ? s.substr(1, 3) + s.substr(9, 2) + "3" : std::string();
    if (s[5] == '0')
        return zeros(6, 9) ? s.substr(1, 4) + s[10] + "4" : std::string();
    if (s[10] >= '5')
        return zeros(6, 9) ? s.substr(1, 5) + s[10] : std::string();
    return {};
}

std::string SymUPCEBarcode::UPCEToUPCA(const std::string &e)
{
    if (e.size() != 7 || !allDigits(e))
        return {};
    const std::string n = e.substr(0, 1);
    switch (e[6]) {
    case '0':
    case '1':
    case '2':
        return n + e.substr(1, 2) + e[6] + "0000" + e.substr(3, 3);
    case '3':
        return n + e.substr(1, 3) + "00000" + e.substr(4, 2);
    case '4':
        return n + e.substr(1, 4) + "00000" + e[5];
    default:
        return n + e.substr(1, 5) + "0000" + e[6];
    }
}

bool SymUPCEBarcode::parityForDigit(int position) const
{
    // Even positions per check digit, number system 0: bit (6 - position).
    static constexpr std::array<int, 10> kEven = {0b111000, 0b110100, 0b110010, 0b110001, 0b101100,
                                                  0b100110, 0b100011, 0b101010, 0b101001, 0b100101};
    if (position < 1 || position > 6 || m_checkDigit < '0' || m_checkDigit > '9')
        return false;
    const bool even = (kEven[m_checkDigit - '0'] >> (6 - position)) & 1;
    const bool systemZero = !m_content.empty() && m_content[0] == '0';
    return systemZero ? even : !even;
}

std::string SymUPCEBarcode::barcode() const
{
    if (!contentIsAscii())
        return {};
    std::string modules;
    modules.reserve(48);
    for (int position = 1; position <= 6 && std::size_t(position) < m_content.size(); ++position)
        appendDigit(modules, m_content[position], parityForDigit(position) ? Hand::LeftEven : Hand::LeftOdd);
    return modules;
}

float SymUPCEBarcode::barBottom(int index) const
{
    const int count = int(completeBarcode().size());
    if (index < 7 || index > count - 4)
        return 3.6f;
    return m_captionHeight * 72.0f;
}

bool SymUPCEBarcode::isContentValid() const
{
    if (m_content.size() != 7 || (m_content[0] != '0' && m_content[0] != '1'))
        return false;
    return hasDigitsAndCheck(7, weightedCheck(UPCEToUPCA(m_content), 11));
}

std::string SymUPCEBarcode::caption() const
{
    return part(m_content, 1, 6);
}

std::vector<std::pair<int, int>> SymUPCEBarcode::captionSpans() const
{
    return {{3, 42}};
}

// ---- EAN-13 ----

bool SymEAN13Barcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!initFields(content, printsCaption, kDefaultBarWidth, kDefaultHeight, kDefaultFontSize, -1))
        return false;
    if (m_content.size() < 13) {
        generateChecksum();
    } else if (m_content.size() == 13) {
        m_checkDigit = m_content[12];
        m_content.resize(12);
    }
    calculateWidth();
    return true;
}

bool SymEAN13Barcode::_parityForSystemDigit(char systemDigit, int position)
{
    // Even positions per first digit: bit (6 - position).
    static constexpr std::array<int, 10> kEven = {0b000000, 0b001011, 0b001101, 0b001110, 0b010011,
                                                  0b011001, 0b011100, 0b010101, 0b010110, 0b011010};
    if (!isDigit(systemDigit) || position < 1 || position > 6)
        return false;
    return (kEven[systemDigit - '0'] >> (6 - position)) & 1;
}

std::string SymEAN13Barcode::barcode() const
{
    if (!contentIsAscii() || m_content.empty())
        return {};
    std::string modules;
    modules.reserve(96);
    for (int position = 1; position <= 6 && std::size_t(position) < m_content.size(); ++position)
        appendDigit(modules, m_content[position],
                    _parityForSystemDigit(m_content[0], position) ? Hand::LeftEven : Hand::LeftOdd);
    modules += kCentreGuard;
    for (std::size_t i = 7; i < std::min<std::size_t>(m_content.size(), 12); ++i)
        appendDigit(modules, m_content[i], Hand::Right);
    if (m_checkDigit >= 0)
        appendDigit(modules, char(m_checkDigit), Hand::Right);
    return modules;
}

std::string SymEAN13Barcode::caption() const
{
    std::string text = "  " + part(m_content, 1, 6) + "\t" + part(m_content, 7, 5);
    if (m_checkDigit >= 0)
        text += char(m_checkDigit);
    return text;
}

std::vector<std::pair<int, int>> SymEAN13Barcode::captionSpans() const
{
    // Six digits under each half; the first digit stands left of the guards.
    return {{3, 42}, {50, 42}};
}

void SymEAN13Barcode::generateChecksum()
{
    const int check = weightedCheck(m_content, 12);
    if (check >= 0)
        m_checkDigit = check;
}

bool SymEAN13Barcode::isContentValid() const
{
    return hasDigitsAndCheck(12, weightedCheck(m_content, 12));
}

// ---- EAN-8 ----

bool SymEAN8Barcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!SymAbstractUPCEANBarcode::initWithContent(content, printsCaption))
        return false;
    if (m_content.size() == 8) {
        m_checkDigit = m_content[7];
        m_content.resize(7);
    } else if (m_content.size() == 7) {
        generateChecksum();
    }
    calculateWidth();
    return true;
}

void SymEAN8Barcode::generateChecksum()
{
    if (m_content.size() < 7 || !allDigits(m_content.substr(0, 7)))
        return;
    const auto d = [this](int i) { return m_content[i] - '0'; };
    const int sum = 3 * (d(0) + d(2) + d(4) + d(6)) + d(1) + d(3) + d(5);
    m_checkDigit = '0' + (10 - sum % 10) % 10;
}

std::string SymEAN8Barcode::barcode() const
{
    return twoHalves(4, 7);
}

std::string SymEAN8Barcode::caption() const
{
    std::string text = " " + part(m_content, 0, 4) + "\t" + part(m_content, 4, 3);
    if (m_checkDigit >= 0)
        text += char(m_checkDigit);
    return text;
}

std::vector<std::pair<int, int>> SymEAN8Barcode::captionSpans() const
{
    return {{3, 28}, {36, 28}};
}

bool SymEAN8Barcode::isContentValid() const
{
    if (m_content.size() != 7 || !allDigits(m_content))
        return false;
    SymEAN8Barcode probe;
    probe.m_content = m_content;
    probe.generateChecksum();
    return m_checkDigit == probe.m_checkDigit;
}

float SymEAN8Barcode::barBottom(int index) const
{
    const int count = int(completeBarcode().size());
    if (index < 4 || index > count - 4 || index == 33 || index == 35)
        return 3.6f;
    return m_captionHeight * 72.0f;
}

} // namespace barcodes
