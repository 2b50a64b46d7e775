#include "barcodes/symbologies/SymCode39.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace barcodes {

namespace {

// Characters in check-value order (0..42), then the start/stop character.
constexpr const char *kCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";

// Nine elements per character (bar, space, ... bar), 'w' wide, 'n' narrow.
constexpr const char *kElements[] = {
    "nnnwwnwnn", "wnnwnnnnw", "nnwwnnnnw", "wnwwnnnnn", "nnnwwnnnw", "wnnwwnnnn", "nnwwwnnnn", "nnnwnnwnw",
    "wnnwnnwnn", "nnwwnnwnn", "wnnnnwnnw", "nnwnnwnnw", "wnwnnwnnn", "nnnnwwnnw", "wnnnwwnnn", "nnwnwwnnn",
    "nnnnnwwnw", "wnnnnwwnn", "nnwnnwwnn", "nnnnwwwnn", "wnnnnnnww", "nnwnnnnww", "wnwnnnnwn", "nnnnwnnww",
    "wnnnwnnwn", "nnwnwnnwn", "nnnnnnwww", "wnnnnnwwn", "nnwnnnwwn", "nnnnwnwwn", "wwnnnnnnw", "nwwnnnnnw",
    "wwwnnnnnn", "nwnnwnnnw", "wwnnwnnnn", "nwwnwnnnn", "nwnnnnwnw", "wwnnnnwnn", "nwwnnnwnn", "nwnwnwnnn",
    "nwnwnnnwn", "nwnnnwnwn", "nnnwnwnwn", "nwnnwnwnn"};

int indexOf(char c)
{
    if (c == '\0')
        return -1;
    const char *found = std::strchr(kCharacters, c);
    return found ? int(found - kCharacters) : -1;
}

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

// The modules of one Code 39 character; empty for none.
const std::string &patternFor(char c)
{
    // The modules of every character, worked out once from its elements.
    static const std::string none;
    static const std::array<std::string, 44> table = [] {
        std::array<std::string, 44> out;
        for (std::size_t index = 0; index < out.size(); ++index) {
            for (int i = 0; i < 9; ++i)
                out[index].append(kElements[index][i] == 'w' ? 2 : 1, i % 2 == 0 ? '1' : '0');
            out[index] += '0';
        }
        return out;
    }();
    const int index = indexOf(c);
    if (index < 0)
        return none;
    return table[std::size_t(index)];
}

} // namespace

std::string SymCode39Barcode::patternOf(char c)
{
    return patternFor(c);
}

bool SymCode39Barcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    if (!content)
        return false;
    return SymBarcode::initWithContent(upper(*content), printsCaption);
}

std::string SymCode39Barcode::_encodeChar(char c) const
{
    return patternOf(c);
}

std::string SymCode39Barcode::initiator() const
{
    return patternOf('*');
}

std::string SymCode39Barcode::terminator() const
{
    return patternOf('*');
}

bool SymCode39Barcode::isContentValid() const
{
    // '*' inside the data would read as the end of the symbol.
    if (m_content.find('*') != std::string::npos)
        return false;
    return SymBarcode::isContentValid();
}

void SymCode39Barcode::generateChecksum()
{
    int sum = 0;
    for (char c : code39Text()) {
        const int value = indexOf(c);
        if (value >= 0 && value < 43)
            sum += value;
    }
    m_checkDigit = kCharacters[sum % 43];
    calculateWidth();
}

// ---- full ASCII ----

bool SymExtendedCode39Barcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    // The content keeps its case.
    return SymBarcode::initWithContent(content, printsCaption);
}

std::string SymExtendedCode39Barcode::barcode() const
{
    if (!contentIsAscii())
        return {};
    std::string modules;
    modules.reserve(m_content.size() * 26 + 13);
    for (char c : m_content) {
        for (char part : fullAsciiPair(c))
            modules += patternFor(part);
    }
    if (m_checkDigit != -1)
        modules += patternFor(char(m_checkDigit));
    return modules;
}

std::string SymExtendedCode39Barcode::fullAsciiPair(char c)
{
    const int code = static_cast<unsigned char>(c);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' ' || c == '-' || c == '.')
        return std::string(1, c);
    if (code == 0)
        return "%U";
    if (code <= 26)
        return std::string{'$', char('A' + code - 1)};
    if (code <= 31)
        return std::string{'%', char('A' + code - 27)};
    if (c >= '!' && c <= ',')
        return std::string{'/', char('A' + (c - '!'))};
    if (c == '/')
        return "/O";
    if (c == ':')
        return "/Z";
    if (c >= ';' && c <= '?')
        return std::string{'%', char('F' + (c - ';'))};
    if (c == '@')
        return "%V";
    if (c >= '[' && c <= '_')
        return std::string{'%', char('K' + (c - '['))};
    if (c == '`')
        return "%W";
    if (c >= 'a' && c <= 'z')
        return std::string{'+', char(c - 'a' + 'A')};
    if (c >= '{' && c <= '~')
        return std::string{'%', char('P' + (c - '{'))};
    if (code == 127)
        return "%T";
    return {};
}

std::string SymExtendedCode39Barcode::_encodeChar(char c) const
{
    std::string modules;
    for (char part : fullAsciiPair(c))
        modules += patternOf(part);
    return modules;
}

std::string SymExtendedCode39Barcode::code39Text() const
{
    std::string text;
    for (char c : m_content)
        text += fullAsciiPair(c);
    return text;
}

std::string SymExtendedCode39Barcode::getRequirementDescription()
{
    return "Character set: 0..9, A..Z, a..z, and  space, _, ., $, /, +, %, *, lenght = 7 + 1 check digit "
           "(Calculated).";
}

} // namespace barcodes
