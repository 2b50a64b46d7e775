#include "barcodes/qrencoder/QRSymbolEncoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace barcodes {

using namespace qr;

namespace {

int groupOfVersion(int version) { return version <= 9 ? 0 : version <= 26 ? 1 : 2; }
constexpr std::array<int, 3> kGroupFirst{1, 10, 27};
constexpr std::array<int, 3> kGroupLast{9, 26, 40};

int countFieldWidth(int mode, int group)
{
    switch (mode) {
    case QRSymbolEncoder::Numeral: return nIndicatorLenNumeral[group];
    case QRSymbolEncoder::Alphabet: return nIndicatorLenAlphabet[group];
    case QRSymbolEncoder::EightBit: return nIndicatorLen8Bit[group];
    default: return nIndicatorLenKanji[group];
    }
}

// Finder pattern rows, 7 bits each, most significant bit leftmost.
constexpr std::array<std::uint8_t, 7> kFinderPattern{127, 65, 93, 93, 93, 65, 127};
// Alignment pattern rows, 5 bits each.
constexpr std::array<std::uint8_t, 5> kAlignmentPattern{31, 17, 21, 17, 31};

constexpr std::uint8_t kFunction = 0x20;
constexpr std::uint8_t kFunctionDark = 0x30;

constexpr bool maskCondition(int pattern, int i, int j)
{
    switch (pattern) {
    case 0: return (i + j) % 2 == 0;
    case 1: return i % 2 == 0;
    case 2: return j % 3 == 0;
    case 3: return (i + j) % 3 == 0;
    case 4: return ((i / 2) + (j / 3)) % 2 == 0;
    case 5: return ((i * j) % 2) + ((i * j) % 3) == 0;
    case 6: return (((i * j) % 2) + ((i * j) % 3)) % 2 == 0;
    default: return (((i * j) % 3) + ((i + j) % 2)) % 2 == 0;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Classifiers and conversions

bool QRSymbolEncoder::IsNumeralData(unsigned char c) { return c >= '0' && c <= '9'; }

bool QRSymbolEncoder::IsAlphabetData(unsigned char c)
{
    if (IsNumeralData(c) || (c >= 'A' && c <= 'Z'))
        return true;
    return c == ' ' || c == '$' || c == '%' || c == '*' || c == '+' || c == '-' || c == '.'
        || c == '/' || c == ':';
}

bool QRSymbolEncoder::IsKanjiData(unsigned char c1, unsigned char c2)
{
    if (((c1 >= 0x81 && c1 <= 0x9F) || (c1 >= 0xE0 && c1 <= 0xEB)) && c2 >= 0x40) {
        if ((c1 == 0x9F && c2 > 0xFC) || (c1 == 0xEB && c2 > 0xBF))
            return false;
        return true;
    }
    return false;
}

int QRSymbolEncoder::AlphabetToBinaly(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    switch (c) {
    case ' ': return 36;
    case '$': return 37;
    case '%': return 38;
    case '*': return 39;
    case '+': return 40;
    case '-': return 41;
    case '.': return 42;
    case '/': return 43;
    default: return 44; // ':'
    }
}

int QRSymbolEncoder::KanjiToBinaly(int wc)
{
    if (wc >= 0x8140 && wc <= 0x9FFC)
        wc -= 0x8140;
    else
        wc -= 0xC140;
    return ((wc >> 8) * 0xC0) + (wc & 0x00FF);
}

bool QRSymbolEncoder::KanjiAllowed(std::string_view s)
{
    // True unless the text is well-formed UTF-8 (no overlong forms, no
    // surrogates, nothing above U+10FFFF). Plain ASCII is well-formed too,
    // and has no Kanji pairs anyway.
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return true;
        }
        if (i + extra >= n)
            return true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            const unsigned char l = k == 1 ? lo : 0x80;
            const unsigned char h = k == 1 ? hi : 0xBF;
            if (d < l || d > h)
                return true;
        }
        i += extra + 1;
    }
    return false;
}

namespace {

// The mode of the byte at `i`, Kanji when it starts a Shift JIS pair.
int modeAt(const unsigned char *s, std::size_t i, std::size_t n, bool kanjiAllowed)
{
    if (kanjiAllowed && i + 1 < n && QRSymbolEncoder::IsKanjiData(s[i], s[i + 1]))
        return QRSymbolEncoder::Kanji;
    if (QRSymbolEncoder::IsNumeralData(s[i]))
        return QRSymbolEncoder::Numeral;
    if (QRSymbolEncoder::IsAlphabetData(s[i]))
        return QRSymbolEncoder::Alphabet;
    return QRSymbolEncoder::EightBit;
}

} // namespace

int QRSymbolEncoder::Get_Encoding_Mode(const char *lpsSource, std::int64_t ncLength)
{
    const std::size_t n = std::size_t(std::max<std::int64_t>(ncLength, 0));
    const auto *s = reinterpret_cast<const unsigned char *>(lpsSource);
    const bool kanjiAllowed = KanjiAllowed(std::string_view(lpsSource, n));
    std::array<bool, 4> seen{};
    // A pair is noted but the scan moves on one byte only, so the pair's
    // second byte is looked at in its turn.
    for (std::size_t i = 0; i < n; ++i)
        seen[std::size_t(modeAt(s, i, n, kanjiAllowed))] = true;
    for (int mode : {EightBit, Kanji, Alphabet, Numeral})
        if (seen[std::size_t(mode)])
            return mode;
    return EightBit;
}

int QRSymbolEncoder::Get_Encoding_Mode_Test(const char *lpsSource, std::int64_t ncLength, int byte_mode)
{
    if (ncLength <= 0)
        return Numeral;
    const std::size_t n = std::size_t(ncLength);
    const auto *s = reinterpret_cast<const unsigned char *>(lpsSource);
    const bool kanjiAllowed = KanjiAllowed(std::string_view(lpsSource, n));
    for (std::size_t i = 0; i < n; ++i)
        if (modeAt(s, i, n, kanjiAllowed) != byte_mode)
            return EightBit;
    return byte_mode;
}

// ---------------------------------------------------------------------------
// Encoding

bool QRSymbolEncoder::EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo,
                                 const char *lpsSource, std::int64_t ncSource)
{
    m_nLevel = std::clamp(nLevel, 0, 3);
    m_nVersion_pass = (nVersion >= 1 && nVersion <= kMaxVersion) ? nVersion : 1;
    m_nMaskingNo = (nMaskingNo >= 0 && nMaskingNo <= 7) ? nMaskingNo : -1;
    m_nSymbleSize = 0;

    if (lpsSource == nullptr)
        return false;
    const std::size_t length = ncSource > 0 ? std::size_t(ncSource) : std::strlen(lpsSource);
    if (length == 0)
        return false;
    const std::string_view source(lpsSource, length);
    m_bKanjiAllowed = KanjiAllowed(source);

    const int requested = (nVersion >= 1 && nVersion <= kMaxVersion) ? nVersion : 0;
    const int encodable = GetEncodeVersion(requested, source);
    if (encodable == 0)
        return false;
    if (requested != 0) {
        if (encodable > requested && !bAutoExtent)
            return false;
        m_nVersion = std::max(encodable, requested);
    } else {
        m_nVersion = encodable;
    }
    const QR_VERSIONINFO &info = QR_VersonInfo[m_nVersion];
    const int ncDataCodeWord = info.ncDataCodeWord[m_nLevel];

    // Terminator, then pad bytes.
    const std::int64_t terminator = std::min<std::int64_t>(4, ncDataCodeWord * 8 - m_ncDataCodeWordBit);
    if (terminator > 0)
        m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 0, int(terminator));
    for (std::int64_t i = (m_ncDataCodeWordBit + 7) / 8, k = 0; i < ncDataCodeWord; ++i, ++k)
        m_byDataCodeWord[i] = (k % 2 == 0) ? 0xEC : 0x11;

    // Interleave the data codewords over the blocks.
    const RS_BLOCKINFO &g1 = info.RS_BlockInfo[m_nLevel][0];
    const RS_BLOCKINFO &g2 = info.RS_BlockInfo[m_nLevel][1];
    const int blocks = g1.ncRSBlock + g2.ncRSBlock;
    m_ncAllCodeWord = info.ncAllCodeWord;
    m_byAllCodeWord.fill(0);
    int source_i = 0;
    for (int k = 0; k < blocks; ++k) {
        const bool second = k >= g1.ncRSBlock;
        const int ncData = second ? g2.ncDataCodeWord : g1.ncDataCodeWord;
        for (int j = 0; j < ncData; ++j) {
            const int pos = (j < g1.ncDataCodeWord) ? blocks * j + k
                                                    : blocks * g1.ncDataCodeWord + (k - g1.ncRSBlock);
            m_byAllCodeWord[pos] = m_byDataCodeWord[source_i++];
        }
    }

    // Error correction, block by block.
    source_i = 0;
    for (int k = 0; k < blocks; ++k) {
        const bool second = k >= g1.ncRSBlock;
        const int ncData = second ? g2.ncDataCodeWord : g1.ncDataCodeWord;
        const int ncRS = (second ? g2.ncAllCodeWord : g1.ncAllCodeWord) - ncData;
        m_byRSWork.fill(0);
        std::memcpy(m_byRSWork.data(), m_byDataCodeWord.data() + source_i, std::size_t(ncData));
        GetRSCodeWord(m_byRSWork.data(), ncData, ncRS);
        for (int j = 0; j < ncRS; ++j)
            m_byAllCodeWord[ncDataCodeWord + blocks * j + k] = m_byRSWork[j];
        source_i += ncData;
    }

    m_nSymbleSize = m_nVersion * 4 + 17;
    FormatModule();
    return true;
}

int QRSymbolEncoder::GetEncodeVersion(int nVersion, std::string_view source)
{
    const int firstGroup = nVersion == 0 ? 0 : groupOfVersion(nVersion);
    for (int group = firstGroup; group < 3; ++group) {
        if (!EncodeSourceData(source, group))
            continue;
        const std::int64_t needed = (m_ncDataCodeWordBit + 7) / 8;
        for (int v = kGroupFirst[group]; v <= kGroupLast[group]; ++v)
            if (QR_VersonInfo[v].ncDataCodeWord[m_nLevel] >= needed)
                return v;
    }
    return 0;
}

std::int64_t QRSymbolEncoder::GetBitLength(int nMode, std::int64_t ncData, int nVerGroup) const
{
    const int w = countFieldWidth(nMode, nVerGroup);
    switch (nMode) {
    case Numeral:
        return 4 + w + 10 * (ncData / 3) + (ncData % 3 == 1 ? 4 : ncData % 3 == 2 ? 7 : 0);
    case Alphabet:
        return 4 + w + 11 * (ncData / 2) + 6 * (ncData % 2);
    case EightBit:
        return 4 + w + 8 * ncData;
    default:
        return 4 + w + 13 * (ncData / 2);
    }
}

void QRSymbolEncoder::classify(std::string_view source)
{
    m_byBlockMode.clear();
    m_nBlockLength.clear();
    const auto *s = reinterpret_cast<const unsigned char *>(source.data());
    const std::size_t n = source.size();
    for (std::size_t i = 0; i < n;) {
        const auto mode = std::uint8_t(modeAt(s, i, n, m_bKanjiAllowed));
        const std::int64_t len = mode == Kanji ? 2 : 1;
        if (m_byBlockMode.empty() || m_byBlockMode.back() != mode) {
            m_byBlockMode.push_back(mode);
            m_nBlockLength.push_back(len);
        } else {
            m_nBlockLength.back() += len;
        }
        i += std::size_t(len);
    }
}

void QRSymbolEncoder::joinBlocks(std::size_t into, std::size_t from)
{
    m_nBlockLength[into] += m_nBlockLength[from];
    m_byBlockMode.erase(m_byBlockMode.begin() + std::ptrdiff_t(from));
    m_nBlockLength.erase(m_nBlockLength.begin() + std::ptrdiff_t(from));
}

void QRSymbolEncoder::mergeNumeralAndAlphabet(int g)
{
    auto &mode = m_byBlockMode;
    auto &len = m_nBlockLength;
    std::size_t i = 0;
    while (i + 1 < mode.size()) {
        const bool pair = (mode[i] == Numeral && mode[i + 1] == Alphabet)
            || (mode[i] == Alphabet && mode[i + 1] == Numeral);
        if (!pair) {
            ++i;
            continue;
        }
        const std::int64_t apart = GetBitLength(mode[i], len[i], g) + GetBitLength(mode[i + 1], len[i + 1], g);
        const std::int64_t merged = GetBitLength(Alphabet, len[i] + len[i + 1], g);
        if (apart <= merged) {
            ++i;
            continue;
        }
        bool frontCounts = false, behindCounts = false;
        std::int64_t front = 0, behind = 0;
        if (i > 0 && mode[i - 1] == EightBit) {
            front = GetBitLength(EightBit, len[i - 1] + len[i], g) + GetBitLength(mode[i + 1], len[i + 1], g);
            frontCounts = front <= merged + GetBitLength(EightBit, len[i - 1], g);
        }
        if (i + 2 < mode.size() && mode[i + 2] == EightBit) {
            behind = GetBitLength(mode[i], len[i], g) + GetBitLength(EightBit, len[i + 1] + len[i + 2], g);
            behindCounts = behind <= merged + GetBitLength(EightBit, len[i + 2], g);
        }
        if (frontCounts && behindCounts) {
            if (front < behind)
                behindCounts = false;
            else
                frontCounts = false;
        }
        if (frontCounts) {
            joinBlocks(i - 1, i);
        } else if (behindCounts) {
            mode[i + 1] = EightBit;
            joinBlocks(i + 1, i + 2);
        } else {
            if (i + 2 < mode.size() && mode[i + 2] == Alphabet)
                joinBlocks(i + 1, i + 2);
            mode[i] = Alphabet;
            joinBlocks(i, i + 1);
            if (i > 0 && mode[i - 1] == Alphabet)
                joinBlocks(i - 1, i);
        }
        // The same index is examined again.
    }
}

void QRSymbolEncoder::mergeEightBit(int g)
{
    auto &mode = m_byBlockMode;
    auto &len = m_nBlockLength;
    const int overhead = nIndicatorLen8Bit[g] + 4;
    std::size_t i = 0;
    while (i + 1 < mode.size()) {
        const std::int64_t apart = GetBitLength(mode[i], len[i], g) + GetBitLength(mode[i + 1], len[i + 1], g);
        std::int64_t merged = GetBitLength(EightBit, len[i] + len[i + 1], g);
        if (i > 0 && mode[i - 1] == EightBit)
            merged -= overhead;
        if (i + 2 < mode.size() && mode[i + 2] == EightBit)
            merged -= overhead;
        if (apart <= merged) {
            ++i;
            continue;
        }
        if (i > 0 && mode[i - 1] == EightBit) {
            joinBlocks(i - 1, i);
            --i;
        }
        if (i + 2 < mode.size() && mode[i + 2] == EightBit)
            joinBlocks(i + 1, i + 2);
        mode[i] = EightBit;
        joinBlocks(i, i + 1);
        if (i > 0)
            --i;
    }
}

bool QRSymbolEncoder::EncodeSourceData(std::string_view source, int nVerGroup)
{
    classify(source);
    mergeNumeralAndAlphabet(nVerGroup);
    mergeEightBit(nVerGroup);

    // The whole stream must fit the largest version of the group.
    std::int64_t total = 0;
    for (std::size_t b = 0; b < m_byBlockMode.size(); ++b)
        total += GetBitLength(m_byBlockMode[b], m_nBlockLength[b], nVerGroup);
    if (total > data_bit_size_array[(kGroupLast[nVerGroup] - 1) * 4 + m_nLevel]) {
        m_ncDataCodeWordBit = -1;
        return false;
    }

    m_byDataCodeWord.fill(0);
    const auto *s = reinterpret_cast<const unsigned char *>(source.data());
    std::int64_t bit = 0;
    std::size_t pos = 0;
    for (std::size_t b = 0; b < m_byBlockMode.size() && bit >= 0; ++b) {
        const int mode = m_byBlockMode[b];
        const std::int64_t n = m_nBlockLength[b];
        const int w = countFieldWidth(mode, nVerGroup);
        static constexpr std::array<std::uint16_t, 4> kIndicator{1, 2, 4, 8};
        bit = SetBitStream(bit, kIndicator[mode], 4);
        bit = SetBitStream(bit, std::uint16_t(mode == Kanji ? n / 2 : n), w);
        switch (mode) {
        case Numeral:
            for (std::int64_t k = 0; k < n; k += 3) {
                const std::int64_t take = std::min<std::int64_t>(3, n - k);
                int value = 0;
                for (std::int64_t t = 0; t < take; ++t)
                    value = value * 10 + (s[pos + k + t] - '0');
                bit = SetBitStream(bit, std::uint16_t(value), take == 3 ? 10 : take == 2 ? 7 : 4);
            }
            break;
        case Alphabet:
            for (std::int64_t k = 0; k < n; k += 2) {
                if (k + 1 < n)
                    bit = SetBitStream(bit, std::uint16_t(AlphabetToBinaly(s[pos + k]) * 45
                                                          + AlphabetToBinaly(s[pos + k + 1])), 11);
                else
                    bit = SetBitStream(bit, std::uint16_t(AlphabetToBinaly(s[pos + k])), 6);
            }
            break;
        case EightBit:
            for (std::int64_t k = 0; k < n; ++k)
                bit = SetBitStream(bit, s[pos + k], 8);
            break;
        default:
            for (std::int64_t k = 0; k + 1 < n; k += 2)
                bit = SetBitStream(bit, std::uint16_t(KanjiToBinaly(s[pos + k] * 256 + s[pos + k + 1])), 13);
            break;
        }
        pos += std::size_t(n);
    }
    m_ncDataCodeWordBit = bit;
    return bit >= 0;
}

std::int64_t QRSymbolEncoder::SetBitStream(std::int64_t nIndex, std::uint16_t wData, int ncData)
{
    if (nIndex == -1 || nIndex + ncData > kMaxStreamBits)
        return -1;
    for (int i = 0; i < ncData; ++i) {
        if (wData & (1 << (ncData - i - 1)))
            m_byDataCodeWord[std::size_t((nIndex + i) / 8)] |= std::uint8_t(1 << (7 - ((nIndex + i) % 8)));
    }
    return nIndex + ncData;
}

void QRSymbolEncoder::GetRSCodeWord(std::uint8_t *work, int ncDataCodeWord, int ncRSCodeWord)
{
    const std::uint8_t *generator = byRSExp(ncRSCodeWord);
    for (int i = 0; i < ncDataCodeWord; ++i) {
        if (work[0] != 0) {
            const int first = byIntToExp[work[0]];
            for (int j = 0; j < ncRSCodeWord; ++j)
                work[j] = work[j + 1] ^ byExpToInt[(generator[j] + first) % 255];
            for (int j = ncRSCodeWord; j < ncDataCodeWord + ncRSCodeWord - 1; ++j)
                work[j] = work[j + 1];
        } else {
            for (int j = 0; j < ncDataCodeWord + ncRSCodeWord - 1; ++j)
                work[j] = work[j + 1];
        }
        work[ncDataCodeWord + ncRSCodeWord - 1] = 0;
    }
}

std::vector<std::uint8_t> QRSymbolEncoder::rsCodeWords(const std::vector<std::uint8_t> &data, int ncRSCodeWord)
{
    QRSymbolEncoder e;
    std::vector<std::uint8_t> work(data.size() + std::size_t(ncRSCodeWord) + 1, 0);
    std::copy(data.begin(), data.end(), work.begin());
    e.GetRSCodeWord(work.data(), int(data.size()), ncRSCodeWord);
    work.resize(std::size_t(ncRSCodeWord));
    return work;
}

std::vector<std::uint8_t> QRSymbolEncoder::dataCodeWords() const
{
    if (m_nVersion < 1)
        return {};
    const int n = QR_VersonInfo[m_nVersion].ncDataCodeWord[m_nLevel];
    return {m_byDataCodeWord.begin(), m_byDataCodeWord.begin() + n};
}

std::vector<std::uint8_t> QRSymbolEncoder::allCodeWords() const
{
    return {m_byAllCodeWord.begin(), m_byAllCodeWord.begin() + m_ncAllCodeWord};
}

// ---------------------------------------------------------------------------
// Matrix

void QRSymbolEncoder::FormatModule()
{
    for (auto &column : m_byModuleData)
        column.fill(0);
    SetFunctionModule();
    SetCodeWordPattern();

    if (m_nMaskingNo == -1) {
        int best = 0;
        std::int64_t bestPenalty = -1;
        for (int mask = 0; mask <= 7; ++mask) {
            SetMaskingPattern(mask);
            SetFormatInfoPattern(mask);
            const std::int64_t penalty = CountPenalty();
            if (bestPenalty < 0 || penalty < bestPenalty) {
                bestPenalty = penalty;
                best = mask;
            }
        }
        m_nMaskingNo = best;
    }
    SetMaskingPattern(int(m_nMaskingNo));
    SetFormatInfoPattern(int(m_nMaskingNo));

    const int size = int(m_nSymbleSize);
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            m_byModuleData[x][y] = isDark(x, y) ? 1 : 0;
}

void QRSymbolEncoder::SetFunctionModule()
{
    const int size = int(m_nSymbleSize);
    SetFinderPattern(0, 0);
    SetFinderPattern(size - 7, 0);
    SetFinderPattern(0, size - 7);

    // Separators.
    for (int i = 0; i < 8; ++i) {
        m_byModuleData[i][7] = m_byModuleData[7][i] = kFunction;
        m_byModuleData[size - 8][i] = m_byModuleData[size - 8 + i][7] = kFunction;
        m_byModuleData[i][size - 8] = m_byModuleData[7][size - 8 + i] = kFunction;
    }
    // Reserved format areas.
    for (int i = 0; i < 9; ++i)
        m_byModuleData[i][8] = m_byModuleData[8][i] = kFunction;
    for (int i = 0; i < 8; ++i)
        m_byModuleData[size - 8 + i][8] = m_byModuleData[8][size - 8 + i] = kFunction;

    SetVersionPattern();

    const QR_VERSIONINFO &info = QR_VersonInfo[m_nVersion];
    for (int i = 0; i < info.ncAlignPoint; ++i) {
        const int p = info.nAlignPoint[i];
        SetAlignmentPattern(p, 6);
        SetAlignmentPattern(6, p);
        for (int j = 0; j < info.ncAlignPoint; ++j)
            SetAlignmentPattern(p, info.nAlignPoint[j]);
    }

    // Timing patterns.
    for (int i = 8; i <= size - 9; ++i) {
        const std::uint8_t value = (i % 2 == 0) ? kFunctionDark : kFunction;
        m_byModuleData[i][6] = value;
        m_byModuleData[6][i] = value;
    }
}

void QRSymbolEncoder::SetFinderPattern(int x, int y)
{
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 7; ++j)
            m_byModuleData[x + j][y + i] = (kFinderPattern[i] & (1 << (6 - j))) ? kFunctionDark : kFunction;
}

void QRSymbolEncoder::SetAlignmentPattern(int x, int y)
{
    if (m_byModuleData[x][y] & kFunction)
        return;
    x -= 2;
    y -= 2;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            m_byModuleData[x + j][y + i] = (kAlignmentPattern[i] & (1 << (4 - j))) ? kFunctionDark : kFunction;
}

int QRSymbolEncoder::versionInfoBits(int nVersion)
{
    int remainder = nVersion << 12;
    for (int i = 17; i >= 12; --i)
        if (remainder & (1 << i))
            remainder ^= 0x1F25 << (i - 12);
    return (nVersion << 12) | remainder;
}

void QRSymbolEncoder::SetVersionPattern()
{
    if (m_nVersion <= 6)
        return;
    const int size = int(m_nSymbleSize);
    const int bits = versionInfoBits(int(m_nVersion));
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 3; ++j) {
            const std::uint8_t value = (bits & (1 << (i * 3 + j))) ? kFunctionDark : kFunction;
            m_byModuleData[size - 11 + j][i] = value;
            m_byModuleData[i][size - 11 + j] = value;
        }
}

void QRSymbolEncoder::SetCodeWordPattern()
{
    const int size = int(m_nSymbleSize);
    int x = size;
    int y = size - 1;
    int stepX = 1;
    int stepY = 1;
    for (std::int64_t i = 0; i < m_ncAllCodeWord; ++i) {
        for (int bit = 7; bit >= 0; --bit) {
            do {
                x += stepX;
                stepX = -stepX;
                if (stepX < 0) {
                    y += stepY;
                    if (y < 0 || y == size) {
                        y = y < 0 ? 0 : size - 1;
                        stepY = -stepY;
                        x -= 2;
                        if (x == 6)
                            --x;
                    }
                }
            } while (m_byModuleData[x][y] & kFunction);
            m_byModuleData[x][y] = (m_byAllCodeWord[i] & (1 << bit)) ? 0x02 : 0x00;
        }
    }
}

void QRSymbolEncoder::SetMaskingPattern(int nPatternNo)
{
    const int size = int(m_nSymbleSize);
    // Column by column, as the modules are stored, with the condition chosen
    // once rather than per module.
    auto apply = [&](auto condition) {
        for (int j = 0; j < size; ++j) { // column
            std::uint8_t *column = m_byModuleData[std::size_t(j)].data();
            for (int i = 0; i < size; ++i) { // row
                std::uint8_t &m = column[i];
                if (m & kFunction)
                    continue;
                const bool data = (m & 0x02) != 0;
                m = std::uint8_t((m & 0xFE) | ((data != condition(i, j)) ? 0x01 : 0x00));
            }
        }
    };
    switch (nPatternNo) {
    case 0: apply([](int i, int j) { return maskCondition(0, i, j); }); break;
    case 1: apply([](int i, int j) { return maskCondition(1, i, j); }); break;
    case 2: apply([](int i, int j) { return maskCondition(2, i, j); }); break;
    case 3: apply([](int i, int j) { return maskCondition(3, i, j); }); break;
    case 4: apply([](int i, int j) { return maskCondition(4, i, j); }); break;
    case 5: apply([](int i, int j) { return maskCondition(5, i, j); }); break;
    case 6: apply([](int i, int j) { return maskCondition(6, i, j); }); break;
    default: apply([](int i, int j) { return maskCondition(7, i, j); }); break;
    }
}

int QRSymbolEncoder::formatInfoBits(int nLevel, int nMaskingNo)
{
    static constexpr std::array<int, 4> kLevelBits{1, 0, 3, 2}; // L 01, M 00, Q 11, H 10
    const int data = (kLevelBits[nLevel & 3] << 3) | (nMaskingNo & 7);
    int remainder = data << 10;
    for (int i = 14; i >= 10; --i)
        if (remainder & (1 << i))
            remainder ^= 0x537 << (i - 10);
    return ((data << 10) | remainder) ^ 0x5412;
}

void QRSymbolEncoder::SetFormatInfoPattern(int nPatternNo)
{
    const int size = int(m_nSymbleSize);
    const int bits = formatInfoBits(int(m_nLevel), nPatternNo);
    auto value = [bits](int i) { return (bits & (1 << i)) ? kFunctionDark : kFunction; };

    // Around the top-left finder.
    for (int i = 0; i < 6; ++i)
        m_byModuleData[8][i] = value(i);
    m_byModuleData[8][7] = value(6);
    m_byModuleData[8][8] = value(7);
    m_byModuleData[7][8] = value(8);
    for (int i = 9; i < 15; ++i)
        m_byModuleData[14 - i][8] = value(i);

    // The second copy, split between the other two finders.
    for (int i = 0; i < 8; ++i)
        m_byModuleData[size - 1 - i][8] = value(i);
    for (int i = 8; i < 15; ++i)
        m_byModuleData[8][size - 15 + i] = value(i);

    m_byModuleData[8][size - 8] = kFunctionDark;
}

namespace {

// A line of modules as bits, module k at bit k % 64 of word k / 64; set
// for dark.
using Line = std::array<std::uint64_t, (qr::kMaxSymbolSize + 63) / 64>;

// Penalty of one line of `size` modules: runs of five or more alike, and the
// finder-like 1:1:3:1:1 (dark first) with four light modules, or the edge,
// on a side. Worked on the line's runs, found from the bits where the colour
// changes.
std::int64_t linePenalty(const Line &bits, int size)
{
    std::array<int, qr::kMaxSymbolSize> runs;
    int count = 0;
    int start = 0;
    std::uint64_t carry = bits[0] & 1u; // module -1 counts as module 0: no change at 0
    for (std::size_t w = 0; w * 64 < std::size_t(size); ++w) {
        std::uint64_t change = bits[w] ^ ((bits[w] << 1) | carry);
        carry = bits[w] >> 63;
        const int valid = std::min(64, size - int(w) * 64);
        if (valid < 64)
            change &= (std::uint64_t(1) << valid) - 1;
        while (change) {
            const int k = int(w) * 64 + std::countr_zero(change);
            change &= change - 1;
            runs[std::size_t(count++)] = k - start;
            start = k;
        }
    }
    runs[std::size_t(count++)] = size - start;

    std::int64_t penalty = 0;
    for (int i = 0; i < count; ++i) {
        if (runs[std::size_t(i)] >= 5)
            penalty += runs[std::size_t(i)] - 2;
    }
    // Runs alternate in colour from the first module's.
    const bool firstDark = (bits[0] & 1u) != 0;
    for (int i = firstDark ? 0 : 1; i + 4 < count; i += 2) {
        if (runs[std::size_t(i)] != 1 || runs[std::size_t(i + 1)] != 1 || runs[std::size_t(i + 2)] != 3
            || runs[std::size_t(i + 3)] != 1 || runs[std::size_t(i + 4)] != 1)
            continue;
        // Light before: four modules of the run before, or the edge within
        // them; likewise after.
        const bool before = i <= 1 || runs[std::size_t(i - 1)] >= 4;
        const bool after = i + 5 >= count - 1 || runs[std::size_t(i + 5)] >= 4;
        if (before || after)
            penalty += 40;
    }
    return penalty;
}

} // namespace

std::int64_t QRSymbolEncoder::CountPenalty() const
{
    const int size = int(m_nSymbleSize);
    const std::size_t n = std::size_t(size);
    if (n == 0)
        return 0;

    // The modules as bits, once along the rows and once down the columns.
    std::array<Line, qr::kMaxSymbolSize> rows{}, columns{};
    for (std::size_t x = 0; x < n; ++x) {
        const std::uint8_t *stored = m_byModuleData[x].data();
        for (std::size_t y = 0; y < n; ++y) {
            if (stored[y] & 0x11) {
                rows[y][x / 64] |= std::uint64_t(1) << (x % 64);
                columns[x][y / 64] |= std::uint64_t(1) << (y % 64);
            }
        }
    }
    std::int64_t penalty = 0;
    for (std::size_t line = 0; line < n; ++line)
        penalty += linePenalty(rows[line], size) + linePenalty(columns[line], size);

    // 2 x 2 blocks: module x of a row pair alike its right neighbours, for
    // x up to size - 2.
    const std::size_t words = (n + 63) / 64;
    auto shifted = [&](const Line &line, std::size_t w) {
        return (line[w] >> 1) | (w + 1 < words ? line[w + 1] << 63 : 0);
    };
    std::int64_t dark = 0;
    for (std::size_t y = 0; y < n; ++y) {
        for (std::size_t w = 0; w < words; ++w)
            dark += std::popcount(rows[y][w]);
        if (y + 1 == n)
            continue;
        for (std::size_t w = 0; w < words; ++w) {
            const std::uint64_t a = rows[y][w], b = rows[y + 1][w];
            std::uint64_t alike = ~(a ^ b) & ~(a ^ shifted(rows[y], w)) & ~(b ^ shifted(rows[y + 1], w));
            const std::size_t first = w * 64;
            if (first + 64 > n - 1)
                alike &= first >= n - 1 ? 0 : (std::uint64_t(1) << (n - 1 - first)) - 1;
            penalty += 3 * std::popcount(alike);
        }
    }

    // Balance of light and dark.
    const std::int64_t total = std::int64_t(size) * size;
    const std::int64_t light = total - dark;
    const std::int64_t k = std::abs(50 - (100 * light) / total);
    penalty += (k / 5) * 10;
    return penalty;
}

} // namespace barcodes
