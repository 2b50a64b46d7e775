#include "barcodes/symbologies/SymPostal.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace barcodes {

namespace {

constexpr int kTracker = 0;
constexpr int kDescender = 1;
constexpr int kAscender = 2;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

} // namespace

// ---- POSTNET ----

bool SymPostnetBarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!content)
        return false;
    setContent(*content);
    m_barWidth = 1.08f;
    m_printsCaption = printsCaption;
    generateChecksum();
    m_height = 9.0f;
    calculateWidth();
    return true;
}

float SymPostnetBarcode::barTop(int index) const
{
    // Frame bar, 15 modules for each digit and the check, frame bar.
    const int digits = int(m_content.size()) + (m_checkDigit != -1 ? 1 : 0);
    const int count = 3 + 15 * digits + 1;
    if (index == 0 || index >= count - 1)
        return 9.0f;
    const int digit = (index - 3) / 15;
    const int bar = (index - 15 * digit) / 3;
    return _heightForDigit(digit, bar) * 72.0f;
}

namespace {

enum class PostnetBar { None, Half, Full };

// Bar 1..5 of POSTNET digit `c`. Every bar of a symbol asks, twice per
// drawing: a table and no branches beyond the range checks.
inline PostnetBar postnetBar(char c, int bar)
{
    // Full bars per digit: bit (5 - bar).
    static constexpr std::array<int, 10> kFull = {0b11000, 0b00011, 0b00101, 0b00110, 0b01001,
                                                  0b01010, 0b01100, 0b10001, 0b10010, 0b10100};
    if (!isDigit(c) || bar < 1 || bar > 5)
        return PostnetBar::None;
    return (kFull[std::size_t(c - '0')] >> (5 - bar)) & 1 ? PostnetBar::Full : PostnetBar::Half;
}

// The digit at `digitIndex` of a POSTNET or PLANET value, the check digit
// past its end; 0 beyond that.
inline char postnetDigit(const std::string &content, int checkDigit, int digitIndex)
{
    if (digitIndex >= 0 && std::size_t(digitIndex) < content.size())
        return content[std::size_t(digitIndex)];
    if (digitIndex >= 0 && std::size_t(digitIndex) == content.size())
        return char(checkDigit);
    return 0;
}

} // namespace

float SymPostnetBarcode::_heightForDigit(int digitIndex, int bar) const
{
    switch (postnetBar(postnetDigit(m_content, m_checkDigit, digitIndex), bar)) {
    case PostnetBar::Full:
        return 0.125f;
    case PostnetBar::Half:
        return 0.05f;
    case PostnetBar::None:
        break;
    }
    return 0.0f;
}

void SymPostnetBarcode::generateChecksum()
{
    int sum = 0;
    for (char c : m_content) {
        if (isDigit(c))
            sum += c - '0';
    }
    m_checkDigit = sum % 10 == 0 ? '0' : '0' + (10 - sum % 10);
}

bool SymPostnetBarcode::isContentValid() const
{
    const std::size_t n = m_content.size();
    return (n == 5 || n == 9 || n == 11) && std::all_of(m_content.begin(), m_content.end(), isDigit);
}

float SymPlanetBarcode::_heightForDigit(int digitIndex, int bar) const
{
    return postnetBar(postnetDigit(m_content, m_checkDigit, digitIndex), bar) == PostnetBar::Full ? 0.05f : 0.125f;
}

bool SymPlanetBarcode::isContentValid() const
{
    const std::size_t n = m_content.size();
    return (n == 11 || n == 13) && std::all_of(m_content.begin(), m_content.end(), isDigit);
}

// ---- RM4SCC ----

namespace {

// Characters stand in a 6 x 6 table: the row gives the ascenders, the
// column the descenders, each as two of the four bars.
constexpr std::uint16_t descriptorAt(int index)
{
    constexpr std::array<int, 6> kPairs = {0b0011, 0b0101, 0b0110, 0b1001, 0b1010, 0b1100};
    const int ascenders = kPairs[std::size_t(index / 6)];
    const int descenders = kPairs[std::size_t(index % 6)];
    std::uint16_t code = 0;
    for (int bar = 0; bar < 4; ++bar) {
        const int bit = 3 - bar;
        const int type = ((ascenders >> bit) & 1 ? kAscender : 0) | ((descenders >> bit) & 1 ? kDescender : 0);
        code = std::uint16_t(code << 4 | type);
    }
    return code;
}

// Every bar of a symbol asks for its character's descriptor: the table is
// worked out once, by the compiler.
constexpr std::array<std::uint16_t, 36> kDescriptors = [] {
    std::array<std::uint16_t, 36> table{};
    for (int i = 0; i < 36; ++i)
        table[std::size_t(i)] = descriptorAt(i);
    return table;
}();

// The lookups below are asked once per bar and drawing: kept inline, with
// the bar extents as constants.
inline std::uint16_t characterCode(char c)
{
    if (isDigit(c))
        return kDescriptors[std::size_t(c - '0')];
    if (c >= 'A' && c <= 'Z')
        return kDescriptors[std::size_t(10 + (c - 'A'))];
    return 0;
}

inline int barOfCode(std::uint16_t code, int bar)
{
    if (bar < 0 || bar > 3)
        return kTracker;
    return (code >> (4 * (3 - bar))) & 0xF;
}

constexpr float royalmailPoints(double mm)
{
    return float(mm * 0.03937007874015748 * 72.0);
}

inline float barTopOf(int descriptor)
{
    constexpr float kAscenderTop = royalmailPoints(5.05);
    constexpr float kTrackerTop = royalmailPoints(3.15);
    return descriptor & kAscender ? kAscenderTop : kTrackerTop;
}

inline float barBottomOf(int descriptor)
{
    constexpr float kTrackerBottom = royalmailPoints(1.9);
    return descriptor & kDescender ? 0.0f : kTrackerBottom;
}

} // namespace

std::uint16_t royalmail_characterDescriptor(char c)
{
    return characterCode(c);
}

int royalmail_barDescriptor(std::uint16_t code, int bar)
{
    return barOfCode(code, bar);
}

float royalmail_barTop(int descriptor)
{
    return barTopOf(descriptor);
}

float royalmail_barBottom(int descriptor)
{
    return barBottomOf(descriptor);
}

namespace {

// The bars with `type`'s bit, bar 1 most significant, shifted right once.
int collapse(std::uint16_t code, int type)
{
    int value = 0;
    for (int bar = 0; bar < 4; ++bar)
        value = value << 1 | ((barOfCode(code, bar) & type) ? 1 : 0);
    return value >> 1;
}

} // namespace

int royalmail_collapseAscenders(std::uint16_t code)
{
    return collapse(code, kAscender);
}

int royalmail_collapseDescenders(std::uint16_t code)
{
    return collapse(code, kDescender);
}

bool SymRoyalMailBarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!content)
        return false;
    setContent(upper(*content));
    m_barWidth = 1.4173229f;
    m_printsCaption = printsCaption;
    generateChecksum();
    m_height = 14.3149605f;
    calculateWidth();
    return true;
}

int SymRoyalMailBarcode::_barDescriptor(int index) const
{
    const int n = int(m_content.size());
    if (index == 0)
        return kAscender;
    if (index >= (n + 1) * 8 + 2)
        return kAscender | kDescender;
    const int c = (index - 2) / 8;
    const int bar = ((index - 2) % 8) / 2;
    const char character = c < n ? m_content[std::size_t(c)] : char(m_checkDigit);
    return barOfCode(characterCode(character), bar);
}

float SymRoyalMailBarcode::barTop(int index) const
{
    return barTopOf(_barDescriptor(index));
}

float SymRoyalMailBarcode::barBottom(int index) const
{
    return barBottomOf(_barDescriptor(index));
}

void SymRoyalMailBarcode::generateChecksum()
{
    int rows = 0, columns = 0;
    for (char c : m_content) {
        const std::uint16_t code = characterCode(c);
        rows = (rows + royalmail_collapseAscenders(code)) % 6;
        columns = (columns + royalmail_collapseDescenders(code)) % 6;
    }
    const int row = rows - 1 < 0 ? 5 : rows - 1;
    const int column = columns - 1 < 0 ? 5 : columns - 1;
    const int k = 6 * row + column;
    m_checkDigit = k < 10 ? '0' + k : 'A' + (k - 10);
}

bool SymRoyalMailBarcode::isContentValid() const
{
    return std::all_of(m_content.begin(), m_content.end(),
                       [](char c) { return isDigit(c) || (c >= 'A' && c <= 'Z'); });
}

// ---- Japan Post ----

namespace {

// Codes of '-' .. '@' (character code - 45).
constexpr std::array<int, 20> kNumberCodesOfJapan = {0x030, 0x003, 0x333, 0x300, 0x330, 0x312, 0x132,
                                                     0x321, 0x303, 0x123, 0x231, 0x213, 0x033, 0x120,
                                                     0x102, 0x210, 0x012, 0x201, 0x021, 0x000};
constexpr int kOpenBracket = 0x31;
constexpr int kCloseBracket = 0x13;
constexpr int kBracketLength = 2;
constexpr int kNumberLength = 3;
constexpr std::size_t kBodyLength = 20;
constexpr double kMillimetresPerPoint = 0.3527777777777777;

bool isControlCode(char c)
{
    return c == ':' || c == ';' || c == '<';
}

} // namespace

int japanpost_characterDescriptor(char c)
{
    const int index = int(static_cast<unsigned char>(c)) - 45;
    if (index < 0 || index >= int(kNumberCodesOfJapan.size()))
        return 0;
    return kNumberCodesOfJapan[index];
}

int japanpost_barDescriptor(int code, int bar, int length)
{
    if (bar < 0 || bar >= length)
        return kTracker;
    return (code >> (4 * (length - 1 - bar))) & 0xF;
}

float japanpost_barTop(int descriptor, float size)
{
    const double mm = (descriptor & kAscender ? 3.6 : 2.4) * size / 10.0;
    return float(mm / kMillimetresPerPoint);
}

float japanpost_barBottom(int descriptor, float size)
{
    const double mm = (descriptor & kDescender ? 0.0 : 1.2) * size / 10.0;
    return float(mm / kMillimetresPerPoint);
}

bool JapanPostBarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption, float,
                                       float height, float, int)
{
    if (!content)
        return false;
    setContent(*content);
    m_printsCaption = printsCaption;
    setHeight(height >= 8.0f && height <= 11.5f ? height : 10.0f);
    return true;
}

void JapanPostBarcode::setHeight(float height)
{
    m_height = std::clamp(height, 8.5f, 11.5f);
    m_barWidth = barWidthAtHeight(height);
    calculateWidth();
}

float JapanPostBarcode::barWidthAtHeight(float height) const
{
    return std::clamp(height, 8.5f, 11.5f) / 6.0f;
}

void JapanPostBarcode::setBarWidth(float barWidth)
{
    m_barWidth = std::clamp(barWidth, 1.3333333f, 1.9166666f);
    m_height = 6.0f * m_barWidth;
    calculateWidth();
}

void JapanPostBarcode::setContent(const std::string &text)
{
    std::string body;
    std::string caption;
    for (char c : upper(text)) {
        if (isDigit(c) || c == '-') {
            body += c;
            caption += c;
        } else if (c >= 'A' && c <= 'Z') {
            const int offset = c - 'A';
            body += offset < 10 ? ':' : offset < 20 ? ';' : '<';
            body += char('0' + offset % 10);
            caption += c;
        }
    }
    if (body.size() > kBodyLength) {
        body.resize(kBodyLength);
        // A letter's control code never stands without its digit.
        if (isControlCode(body.back()))
            body.pop_back();
        const auto shown = std::count_if(body.begin(), body.end(), [](char c) { return isDigit(c) || c == '-'; });
        caption.resize(std::size_t(shown));
    }
    body.resize(kBodyLength, '=');
    m_japanpostContents = body;
    m_content = caption;
    generateChecksum();
}

void JapanPostBarcode::generateChecksum()
{
    int sum = 0;
    for (char c : m_japanpostContents) {
        if (isDigit(c))
            sum += c - '0';
        else if (c == '-')
            sum += 10;
        else if (c == ',' || c == '/')
            sum += c - 29;
        else
            sum += c - 47;
    }
    const int v = 19 - ((sum % 19) + 19) % 19;
    if (v < 10)
        m_checkDigit = '0' + v;
    else if (v == 10)
        m_checkDigit = '-';
    else if (v <= 16)
        m_checkDigit = ':' + (v - 11);
    else if (v == 17)
        m_checkDigit = '.';
    else if (v == 18)
        m_checkDigit = '/';
    else
        m_checkDigit = '0';
}

bool JapanPostBarcode::isContentValid() const
{
    return m_content.size() >= 7 && std::all_of(m_content.begin(), m_content.begin() + 7, isDigit);
}

int JapanPostBarcode::_barDescriptor(int index) const
{
    const int n = int(m_japanpostContents.size());
    if (index < 4)
        return japanpost_barDescriptor(kOpenBracket, index / 2, kBracketLength);
    if (index < 4 + (n + 1) * 6) {
        const int c = (index - 4) / 6;
        const char character = c < n ? m_japanpostContents[c] : char(m_checkDigit);
        return japanpost_barDescriptor(japanpost_characterDescriptor(character), ((index - 4) % 6) / 2,
                                       kNumberLength);
    }
    return japanpost_barDescriptor(kCloseBracket, ((index - 4 - (n + 1) * 6) % 3) / 2, kBracketLength);
}

float JapanPostBarcode::barTop(int index) const
{
    return japanpost_barTop(_barDescriptor(index), m_height);
}

float JapanPostBarcode::barBottom(int index) const
{
    return japanpost_barBottom(_barDescriptor(index), m_height);
}

} // namespace barcodes
