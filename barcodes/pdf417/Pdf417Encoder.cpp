#include "barcodes/pdf417/Pdf417Encoder.h"

#include "barcodes/pdf417/Pdf417Patterns.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace barcodes {

namespace {

using pdf417::CLUSTERS;

constexpr std::uint32_t kStartPattern = 0x1FEA8; // 17 modules
constexpr std::uint32_t kStopPattern = 0x3FA29;  // 18 modules

// Mode codewords.
constexpr int kTextLatch = 900;   // also the pad codeword
constexpr int kByteLatch = 901;   // byte run whose length is not a multiple of 6
constexpr int kNumericLatch = 902;
constexpr int kByteShift = 913;   // one byte inside text
constexpr int kByteLatch6 = 924;  // byte run whose length is a multiple of 6

// Text sub-mode values.
constexpr int kPunctuationLatch = 25; // from mixed
constexpr int kLowerOrAlphaShift = 27;
constexpr int kMixedOrAlphaLatch = 28;
constexpr int kPunctuationShift = 29; // in punctuation: latch to alpha; pads an odd count

// Characters of the mixed and punctuation sub-modes, each at its value. The
// characters the two share stand at the same positions.
constexpr std::string_view MIXED_SET = "0123456789&\r\t,:#-.$/+%*=^";
constexpr std::string_view PUNCTUATION_SET = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";

// Text classes of a byte; a byte may belong to several sub-modes.
enum : int { ALPHA = 1, LOWER = 2, MIXED = 4, PUNCTUATION = 8, BYTE = 16 };

struct TextClass {
    int classes = 0;
    int value = 0;
};

struct Segment {
    char type = 'T';   // 'T' text, 'N' numeric, 'B' byte
    int start = 0;
    int end = 0;       // exclusive
    int length() const { return end - start; }
};

// Reed-Solomon coefficients of the nine levels: level L has 2^(L+1)
// coefficients a_0..a_{k-1} of the generator (x - 3)(x - 3^2)...(x - 3^k)
// over GF(929), the lowest power first (level 0 holds 27, 917).
std::array<std::vector<int>, 9> makeErrorLevels()
{
    std::array<std::vector<int>, 9> levels;
    for (int level = 0; level < 9; ++level) {
        const int k = 2 << level;
        std::vector<int> g{1};   // coefficients, lowest power first
        int root = 1;
        for (int i = 1; i <= k; ++i) {
            root = root * 3 % 929;
            std::vector<int> next(g.size() + 1, 0);
            for (std::size_t j = 0; j < g.size(); ++j) {
                next[j + 1] = (next[j + 1] + g[j]) % 929;
                next[j] = (next[j] + 929 - g[j] * root % 929) % 929;
            }
            g = std::move(next);
        }
        g.pop_back();   // the leading 1
        levels[level] = std::move(g);
    }
    return levels;
}

const std::array<std::vector<int>, 9> &ERROR_LEVEL()
{
    static const std::array<std::vector<int>, 9> levels = makeErrorLevels();
    return levels;
}

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isTextByte(unsigned char c) { return (c >= 32 && c <= 126) || c == '\r' || c == '\n' || c == '\t'; }

// The encoding context of one paintCode call.
struct Context {
    Context(pdf417_record &record, std::string_view bytes)
        : p(record)
        , text(bytes)
    {
    }

    pdf417_record &p;
    std::string_view text;
    int cwPtr = 0;      // next free codeword position
    int bitPtr = 0;     // next bit of outBits
    std::vector<Segment> list;

    // Every codeword goes through here, so nothing is ever written past the
    // end of the sequence.
    void put(int codeword)
    {
        if (cwPtr >= PDF417_MAX_CODEWORDS) {
            p.error = PDF417_ERROR_TEXT_TOO_BIG;
            return;
        }
        p.codewords[std::size_t(cwPtr++)] = codeword;
    }
    // Refuses a compaction that would take the data past the limit.
    bool fits(int codewords)
    {
        if (cwPtr + codewords > PDF417_MAX_DATA_CODEWORDS) {
            p.error = PDF417_ERROR_TEXT_TOO_BIG;
            return false;
        }
        return true;
    }
    unsigned char at(int i) const { return static_cast<unsigned char>(text[std::size_t(i)]); }
};

TextClass getTextTypeAndValue(const Context &ctx, int end, int i)
{
    if (i >= end)
        return {};
    const unsigned char c = ctx.at(i);
    if (c >= 'A' && c <= 'Z')
        return {ALPHA, c - 'A'};
    if (c >= 'a' && c <= 'z')
        return {LOWER, c - 'a'};
    if (c == ' ')
        return {ALPHA | LOWER | MIXED, 26};
    const auto mixed = MIXED_SET.find(char(c));
    const auto punctuation = PUNCTUATION_SET.find(char(c));
    if (mixed != std::string_view::npos && punctuation != std::string_view::npos)
        return {MIXED | PUNCTUATION, int(mixed)};
    if (mixed != std::string_view::npos)
        return {MIXED, int(mixed)};
    if (punctuation != std::string_view::npos)
        return {PUNCTUATION, int(punctuation)};
    return {BYTE, c};
}

void textCompaction(Context &ctx, int start, int end)
{
    std::vector<int> values;
    values.reserve(std::size_t(end - start) * 2);
    int shifted = 0;
    int mode = ALPHA;
    auto nextTwo = [&](int i, int cls) {
        return (getTextTypeAndValue(ctx, end, i + 1).classes & cls) && (getTextTypeAndValue(ctx, end, i + 2).classes & cls);
    };
    auto emit = [&](std::initializer_list<int> vs) { values.insert(values.end(), vs); };
    for (int i = start; i < end;) {
        const TextClass t = getTextTypeAndValue(ctx, end, i);
        if (t.classes & mode) {
            values.push_back(t.value);
            ++i;
            continue;
        }
        if (t.classes & BYTE) {
            if (values.size() % 2) {
                values.push_back(kPunctuationShift);
                if (mode == PUNCTUATION)
                    mode = ALPHA;
            }
            emit({kByteShift, t.value});
            shifted += 2;
            ++i;
            continue;
        }
        auto latch = [&](int newMode, std::initializer_list<int> vs) {
            emit(vs);
            mode = newMode;
        };
        // A punctuation-only byte: latch for a run of three, else shift.
        auto punctuationOnly = [&](std::initializer_list<int> latchCodes) {
            if (nextTwo(i, PUNCTUATION)) {
                emit(latchCodes);
                latch(PUNCTUATION, {t.value});
            } else {
                emit({kPunctuationShift, t.value});
            }
        };
        switch (mode) {
        case ALPHA:
            if (t.classes & LOWER)
                latch(LOWER, {kLowerOrAlphaShift, t.value});
            else if (t.classes & MIXED)
                latch(MIXED, {kMixedOrAlphaLatch, t.value});
            else
                punctuationOnly({kMixedOrAlphaLatch, kPunctuationLatch});
            break;
        case LOWER:
            if ((t.classes & ALPHA) && nextTwo(i, ALPHA))
                latch(ALPHA, {kMixedOrAlphaLatch, kMixedOrAlphaLatch, t.value});
            else if (t.classes & ALPHA)
                emit({kLowerOrAlphaShift, t.value});
            else if (t.classes & MIXED)
                latch(MIXED, {kMixedOrAlphaLatch, t.value});
            else
                punctuationOnly({kMixedOrAlphaLatch, kPunctuationLatch});
            break;
        case MIXED:
            if (t.classes & LOWER)
                latch(LOWER, {kLowerOrAlphaShift, t.value});
            else if (t.classes & ALPHA)
                latch(ALPHA, {kMixedOrAlphaLatch, t.value});
            else
                punctuationOnly({kPunctuationLatch});
            break;
        default:   // punctuation: back to alpha, and the byte is handled again there
            values.push_back(kPunctuationShift);
            mode = ALPHA;
            continue;
        }
        ++i;
    }
    if (values.size() % 2)
        values.push_back(kPunctuationShift);
    if (!ctx.fits(int(values.size() + std::size_t(shifted)) / 2))
        return;
    for (std::size_t k = 0; k + 1 < values.size(); k += 2) {
        if (values[k] >= 30) {   // a byte shift and its byte
            ctx.put(values[k]);
            ctx.put(values[k + 1]);
        } else {
            ctx.put(30 * values[k] + values[k + 1]);
        }
    }
}

// A group of up to 44 digits: the base-900 digits, most significant first,
// of the number formed by a leading 1 and the group.
void basicNumberCompaction(Context &ctx, int start, int length)
{
    std::vector<int> decimal{1};
    for (int i = start; i < start + length; ++i)
        decimal.push_back(ctx.at(i) - '0');
    std::vector<int> digits(std::size_t(length / 3 + 1));
    for (auto d = digits.rbegin(); d != digits.rend(); ++d) {
        int remainder = 0;
        for (int &x : decimal) {
            const int current = remainder * 10 + x;
            x = current / 900;
            remainder = current % 900;
        }
        *d = remainder;
    }
    for (int d : digits)
        ctx.put(d);
}

void numberCompaction(Context &ctx, int start, int end)
{
    const int length = end - start;
    const int rest = length % 44;
    if (!ctx.fits(length / 44 * 15 + (rest > 0 ? rest / 3 + 1 : 0)))
        return;
    for (int k = 0; k < length; k += 44)
        basicNumberCompaction(ctx, start + k, std::min(44, length - k));
}

// Six bytes as a 48-bit big-endian number: its five base-900 digits.
void byteCompaction6(Context &ctx, int start)
{
    std::uint64_t value = 0;
    for (int i = start; i < start + 6; ++i)
        value = (value << 8) | ctx.at(i);
    int digits[5];
    for (int k = 4; k >= 0; --k) {
        digits[k] = int(value % 900);
        value /= 900;
    }
    for (int d : digits)
        ctx.put(d);
}

void byteCompaction(Context &ctx, int start, int end)
{
    const int length = end - start;
    if (!ctx.fits(length / 6 * 5 + length % 6))
        return;
    int k = start;
    for (; k + 6 <= end; k += 6)
        byteCompaction6(ctx, k);
    for (; k < end; ++k)
        ctx.put(ctx.at(k));
}

void breakString(Context &ctx)
{
    const int n = int(ctx.text.size());
    auto &list = ctx.list;
    list.reserve(20);

    // A stretch between numeric runs, cut into maximal text and non-text runs.
    auto addStretch = [&](int from, int to) {
        for (int i = from; i < to;) {
            const bool text = isTextByte(ctx.at(i));
            int j = i + 1;
            while (j < to && isTextByte(ctx.at(j)) == text)
                ++j;
            list.push_back({text ? 'T' : 'B', i, j});
            i = j;
        }
    };
    int stretch = 0;
    for (int i = 0; i < n;) {
        if (!isDigit(ctx.at(i))) {
            ++i;
            continue;
        }
        int j = i;
        while (j < n && isDigit(ctx.at(j)))
            ++j;
        if (j - i >= 13) {
            addStretch(stretch, i);
            list.push_back({'N', i, j});
            stretch = j;
        }
        i = j;
    }
    addStretch(stretch, n);

    auto erase = [&](std::size_t k) { list.erase(list.begin() + std::ptrdiff_t(k)); };

    // A single non-text byte inside text stays in the text (sent with a byte
    // shift) when the text around it is long enough.
    for (std::size_t k = 1; k + 1 < list.size();) {
        if (list[k].type == 'B' && list[k].length() == 1 && list[k - 1].type == 'T' && list[k + 1].type == 'T'
            && list[k - 1].length() + list[k + 1].length() >= 3) {
            list[k - 1].end = list[k + 1].end;
            erase(k + 1);
            erase(k);
            k = 1;
            continue;
        }
        ++k;
    }

    // A segment of type `type` absorbs neighbours for which `absorbs` holds,
    // the left one first; any absorption starts the pass again.
    auto mergePass = [&](char type, auto qualifies, auto absorbs) {
        for (std::size_t k = 0; k < list.size();) {
            if (list[k].type != type || !qualifies(list[k])) {
                ++k;
                continue;
            }
            bool merged = false;
            if (k > 0 && absorbs(list[k - 1])) {
                list[k].start = list[k - 1].start;
                erase(k - 1);
                --k;
                merged = true;
            }
            if (k + 1 < list.size() && absorbs(list[k + 1])) {
                list[k].end = list[k + 1].end;
                erase(k + 1);
                merged = true;
            }
            k = merged ? 0 : k + 1;
        }
    };
    mergePass('T', [](const Segment &s) { return s.length() >= 5; },
              [](const Segment &s) { return s.type == 'T' || (s.type == 'B' && s.length() == 1); });
    mergePass('B', [](const Segment &) { return true; },
              [](const Segment &s) { return s.type == 'B' || (s.type == 'T' && s.length() < 5); });

    if (list.size() == 1 && list[0].type == 'T' && list[0].length() >= 8) {
        bool digits = true;
        for (int i = list[0].start; i < list[0].end && digits; ++i)
            digits = isDigit(ctx.at(i));
        if (digits)
            list[0].type = 'N';
    }
}

void assemble(Context &ctx)
{
    ctx.cwPtr = 1;   // codeword 0 is the length descriptor
    for (std::size_t k = 0; k < ctx.list.size() && ctx.p.error == PDF417_ERROR_SUCCESS; ++k) {
        const Segment &s = ctx.list[k];
        switch (s.type) {
        case 'T':
            if (k != 0)   // a symbol starts in text mode
                ctx.put(kTextLatch);
            textCompaction(ctx, s.start, s.end);
            break;
        case 'N':
            ctx.put(kNumericLatch);
            numberCompaction(ctx, s.start, s.end);
            break;
        default:
            ctx.put(s.length() % 6 == 0 ? kByteLatch6 : kByteLatch);
            byteCompaction(ctx, s.start, s.end);
            break;
        }
    }
}

int maxPossibleErrorLevel(int available)
{
    for (int level = 8; level > 0; --level)
        if (available >= (2 << level))
            return level;
    return 0;
}

// The largest symbol: 928 codewords.
int getMaxSquare(pdf417_record &p)
{
    if (p.codeColumns < 22) {
        p.codeColumns = 16;
        p.codeRows = 58;
    } else {
        p.codeColumns = 29;
        p.codeRows = 32;
    }
    return PDF417_MAX_CODEWORDS;
}

void calculateErrorCorrection(pdf417_record &p, int dataLength, int level)
{
    if (level < 0 || level > 8)
        level = 0;
    const std::vector<int> &A = ERROR_LEVEL()[std::size_t(level)];
    const int k = 2 << level;
    int *E = p.codewords.data() + dataLength;
    std::fill(E, E + k, 0);
    for (int i = 0; i < dataLength; ++i) {
        const int t = p.codewords[std::size_t(i)] + E[0];
        for (int e = 0; e < k; ++e) {
            const int next = e < k - 1 ? E[e + 1] : 0;
            E[e] = (next + 929 - (t * A[std::size_t(k - 1 - e)]) % 929) % 929;
        }
    }
    for (int j = 0; j < k; ++j)
        E[j] = (929 - E[j]) % 929;
}

// ORs a pattern of `width` modules into the row, first module first.
void outPattern(Context &ctx, std::uint32_t pattern, int width)
{
    for (int b = width - 1; b >= 0; --b, ++ctx.bitPtr)
        if (pattern & (1u << b))
            ctx.p.outBits[std::size_t(ctx.bitPtr / 8)] |= std::uint8_t(0x80 >> (ctx.bitPtr % 8));
}

void outCodeword17(Context &ctx, std::uint32_t pattern) { outPattern(ctx, pattern, 17); }
void outCodeword18(Context &ctx, std::uint32_t pattern) { outPattern(ctx, pattern, 18); }

void outStartPattern(Context &ctx) { outCodeword17(ctx, kStartPattern); }
void outStopPattern(Context &ctx) { outCodeword18(ctx, kStopPattern); }
void outCodeword(Context &ctx, int cluster, int codeword)
{
    outCodeword17(ctx, CLUSTERS[std::size_t(cluster)][std::size_t(codeword)]);
}

void outPaintCode(Context &ctx, int level)
{
    pdf417_record &p = ctx.p;
    p.bitColumns = 17 * (p.codeColumns + 3) + 18;
    const int bytesPerRow = (p.bitColumns - 1) / 8 + 1;
    p.lenBits = bytesPerRow * p.codeRows;
    p.outBits.assign(std::size_t(p.lenBits), 0);
    int next = 0;
    for (int row = 0; row < p.codeRows; ++row) {
        ctx.bitPtr = row * 8 * bytesPerRow;
        const int cluster = row % 3;
        const int base = 30 * (row / 3);
        const int rowsPart = (p.codeRows - 1) / 3;
        const int levelPart = 3 * level + (p.codeRows - 1) % 3;
        const int columnsPart = p.codeColumns - 1;
        int left = 0, right = 0;
        switch (cluster) {
        case 0: left = rowsPart; right = columnsPart; break;
        case 1: left = levelPart; right = rowsPart; break;
        default: left = columnsPart; right = levelPart; break;
        }
        outStartPattern(ctx);
        outCodeword(ctx, cluster, base + left);
        for (int c = 0; c < p.codeColumns; ++c)
            outCodeword(ctx, cluster, p.codewords[std::size_t(next++)]);
        outCodeword(ctx, cluster, base + right);
        outStopPattern(ctx);
    }
    if (p.options & PDF417_INVERT_BITMAP)
        for (auto &byte : p.outBits)
            byte = std::uint8_t(~byte);
}

// Columns for the wanted ratio of height to width: makes
// (rows * yHeight + 4) / (17 * columns + 73) approach aspectRatio.
int columnsForAspect(const pdf417_record &p, int needed)
{
    float a = p.aspectRatio;
    if (!(a >= 0.001f))
        a = 0.001f;
    if (a > 1000.0f)
        a = 1000.0f;
    const float b = 73 * a - 4;
    const float t = 68 * a * float(needed) * p.yHeight;
    const float d = 34 * a;
    const double x = (-double(b) + std::sqrt(double(b) * double(b) + double(t))) / double(d) + 0.5;
    if (!(x >= 1.0))   // also a meaningless row height
        return 1;
    return x >= 30.0 ? 30 : int(x);
}

} // namespace

void pdf417_reset(pdf417_record &p)
{
    p.options = 0;
    p.outBits.clear();
    p.outBits.shrink_to_fit();
    p.lenBits = 0;
    p.error = PDF417_ERROR_SUCCESS;
    p.lenText = -1;
    p.text.clear();
    p.yHeight = 3.0f;
    p.aspectRatio = 0.5f;
}

void pdf417_release(pdf417_record &p)
{
    p.outBits.clear();
    p.outBits.shrink_to_fit();
    p.lenBits = 0;
}

void paintCode(pdf417_record &p)
{
    // A failed call must not leave an earlier symbol looking like its result.
    pdf417_release(p);
    p.error = PDF417_ERROR_SUCCESS;

    if (p.options & PDF417_USE_RAW_CODEWORDS) {
        if (p.lenCodewords < 1 || p.lenCodewords > PDF417_MAX_DATA_CODEWORDS || p.codewords[0] != p.lenCodewords) {
            p.error = PDF417_ERROR_INVALID_PARAMS;
            return;
        }
        for (int i = 0; i < p.lenCodewords; ++i)
            if (p.codewords[std::size_t(i)] < 0 || p.codewords[std::size_t(i)] > 928) {
                p.error = PDF417_ERROR_INVALID_PARAMS;
                return;
            }
    } else {
        std::string_view text(p.text);
        if (p.lenText < 0)
            text = text.substr(0, text.find('\0'));
        else
            text = text.substr(0, std::size_t(p.lenText));
        p.lenText = int(text.size());
        if (p.lenText > PDF417_MAX_TEXT_BYTES) {
            p.error = PDF417_ERROR_TEXT_TOO_BIG;
            return;
        }
        if (text.empty()) {
            p.error = PDF417_ERROR_EMPTY_TEXT;
            return;
        }
        Context ctx{p, text};
        breakString(ctx);
        assemble(ctx);
        if (p.error != PDF417_ERROR_SUCCESS)
            return;
        p.lenCodewords = ctx.cwPtr;
        p.codewords[0] = ctx.cwPtr;
    }

    const int maxErr = maxPossibleErrorLevel(PDF417_MAX_CODEWORDS - p.lenCodewords);
    int level = p.errorLevel;
    if (!(p.options & PDF417_USE_ERROR_LEVEL))
        level = p.lenCodewords < 41 ? 2 : p.lenCodewords < 161 ? 3 : p.lenCodewords < 321 ? 4 : 5;
    level = std::clamp(level, 0, maxErr);

    p.codeColumns = std::clamp(p.codeColumns, 1, 30);
    p.codeRows = std::clamp(p.codeRows, 3, 90);
    int lenErr = 2 << level;
    const int needed = p.lenCodewords + lenErr;
    int tot = needed;
    bool fixedColumns = !(p.options & PDF417_FIXED_ROWS);
    bool rectangleStands = false;
    if (p.options & PDF417_FIXED_RECTANGLE) {
        tot = p.codeColumns * p.codeRows;
        if (tot > PDF417_MAX_CODEWORDS)
            tot = getMaxSquare(p);
        if (tot < needed)
            tot = needed;
        else
            rectangleStands = true;
    } else if (!(p.options & (PDF417_FIXED_COLUMNS | PDF417_FIXED_ROWS))) {
        fixedColumns = true;
        p.codeColumns = columnsForAspect(p, needed);
    }
    if (!rectangleStands) {
        if (fixedColumns) {
            p.codeRows = (tot - 1) / p.codeColumns + 1;
            if (p.codeRows < 3) {
                p.codeRows = 3;
            } else if (p.codeRows > 90) {
                p.codeRows = 90;
                p.codeColumns = (tot - 1) / 90 + 1;
            }
        } else {
            p.codeColumns = (tot - 1) / p.codeRows + 1;
            if (p.codeColumns > 30) {
                p.codeColumns = 30;
                p.codeRows = (tot - 1) / 30 + 1;
            }
        }
        tot = p.codeRows * p.codeColumns;
    }
    if (tot > PDF417_MAX_CODEWORDS)
        tot = getMaxSquare(p);

    // Whatever room the symbol has left goes to error correction.
    level = maxPossibleErrorLevel(tot - p.lenCodewords);
    lenErr = 2 << level;
    const int dataLength = tot - lenErr;
    std::fill(p.codewords.begin() + p.lenCodewords, p.codewords.begin() + dataLength, kTextLatch);
    p.lenCodewords = dataLength;
    p.codewords[0] = dataLength;
    calculateErrorCorrection(p, dataLength, level);
    p.lenCodewords = tot;
    p.errorLevel = level;

    Context ctx{p, {}};
    outPaintCode(ctx, level);
}

} // namespace barcodes
