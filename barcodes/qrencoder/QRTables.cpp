#include "barcodes/qrencoder/QRTables.h"

namespace barcodes::qr {

// ISO/IEC 18004 error-correction block structure (Table 9) and alignment
// pattern centres (Annex E). Per entry: version, total codewords, data
// codewords for L, M, Q, H, the count and list of alignment coordinates other
// than 6, then for L, M, Q, H two block groups {blocks, codewords, data}.
namespace {
constexpr std::array<QR_VERSIONINFO, kMaxVersion + 1> kVersions{{
    {0, 0, {0, 0, 0, 0}, 0, {0, 0, 0, 0, 0, 0}, {}},
    {1, 26, {19, 16, 13, 9}, 0, {0, 0, 0, 0, 0, 0}, {{{1, 26, 19}, {0, 0, 0}}, {{1, 26, 16}, {0, 0, 0}}, {{1, 26, 13}, {0, 0, 0}}, {{1, 26, 9}, {0, 0, 0}}}},
    {2, 44, {34, 28, 22, 16}, 1, {18, 0, 0, 0, 0, 0}, {{{1, 44, 34}, {0, 0, 0}}, {{1, 44, 28}, {0, 0, 0}}, {{1, 44, 22}, {0, 0, 0}}, {{1, 44, 16}, {0, 0, 0}}}},
    {3, 70, {55, 44, 34, 26}, 1, {22, 0, 0, 0, 0, 0}, {{{1, 70, 55}, {0, 0, 0}}, {{1, 70, 44}, {0, 0, 0}}, {{2, 35, 17}, {0, 0, 0}}, {{2, 35, 13}, {0, 0, 0}}}},
    {4, 100, {80, 64, 48, 36}, 1, {26, 0, 0, 0, 0, 0}, {{{1, 100, 80}, {0, 0, 0}}, {{2, 50, 32}, {0, 0, 0}}, {{2, 50, 24}, {0, 0, 0}}, {{4, 25, 9}, {0, 0, 0}}}},
    {5, 134, {108, 86, 62, 46}, 1, {30, 0, 0, 0, 0, 0}, {{{1, 134, 108}, {0, 0, 0}}, {{2, 67, 43}, {0, 0, 0}}, {{2, 33, 15}, {2, 34, 16}}, {{2, 33, 11}, {2, 34, 12}}}},
    {6, 172, {136, 108, 76, 60}, 1, {34, 0, 0, 0, 0, 0}, {{{2, 86, 68}, {0, 0, 0}}, {{4, 43, 27}, {0, 0, 0}}, {{4, 43, 19}, {0, 0, 0}}, {{4, 43, 15}, {0, 0, 0}}}},
    {7, 196, {156, 124, 88, 66}, 2, {22, 38, 0, 0, 0, 0}, {{{2, 98, 78}, {0, 0, 0}}, {{4, 49, 31}, {0, 0, 0}}, {{2, 32, 14}, {4, 33, 15}}, {{4, 39, 13}, {1, 40, 14}}}},
    {8, 242, {194, 154, 110, 86}, 2, {24, 42, 0, 0, 0, 0}, {{{2, 121, 97}, {0, 0, 0}}, {{2, 60, 38}, {2, 61, 39}}, {{4, 40, 18}, {2, 41, 19}}, {{4, 40, 14}, {2, 41, 15}}}},
    {9, 292, {232, 182, 132, 100}, 2, {26, 46, 0, 0, 0, 0}, {{{2, 146, 116}, {0, 0, 0}}, {{3, 58, 36}, {2, 59, 37}}, {{4, 36, 16}, {4, 37, 17}}, {{4, 36, 12}, {4, 37, 13}}}},
    {10, 346, {274, 216, 154, 122}, 2, {28, 50, 0, 0, 0, 0}, {{{2, 86, 68}, {2, 87, 69}}, {{4, 69, 43}, {1, 70, 44}}, {{6, 43, 19}, {2, 44, 20}}, {{6, 43, 15}, {2, 44, 16}}}},
    {11, 404, {324, 254, 180, 140}, 2, {30, 54, 0, 0, 0, 0}, {{{4, 101, 81}, {0, 0, 0}}, {{1, 80, 50}, {4, 81, 51}}, {{4, 50, 22}, {4, 51, 23}}, {{3, 36, 12}, {8, 37, 13}}}},
    {12, 466, {370, 290, 206, 158}, 2, {32, 58, 0, 0, 0, 0}, {{{2, 116, 92}, {2, 117, 93}}, {{6, 58, 36}, {2, 59, 37}}, {{4, 46, 20}, {6, 47, 21}}, {{7, 42, 14}, {4, 43, 15}}}},
    {13, 532, {428, 334, 244, 180}, 2, {34, 62, 0, 0, 0, 0}, {{{4, 133, 107}, {0, 0, 0}}, {{8, 59, 37}, {1, 60, 38}}, {{8, 44, 20}, {4, 45, 21}}, {{12, 33, 11}, {4, 34, 12}}}},
    {14, 581, {461, 365, 261, 197}, 3, {26, 46, 66, 0, 0, 0}, {{{3, 145, 115}, {1, 146, 116}}, {{4, 64, 40}, {5, 65, 41}}, {{11, 36, 16}, {5, 37, 17}}, {{11, 36, 12}, {5, 37, 13}}}},
    {15, 655, {523, 415, 295, 223}, 3, {26, 48, 70, 0, 0, 0}, {{{5, 109, 87}, {1, 110, 88}}, {{5, 65, 41}, {5, 66, 42}}, {{5, 54, 24}, {7, 55, 25}}, {{11, 36, 12}, {7, 37, 13}}}},
    {16, 733, {589, 453, 325, 253}, 3, {26, 50, 74, 0, 0, 0}, {{{5, 122, 98}, {1, 123, 99}}, {{7, 73, 45}, {3, 74, 46}}, {{15, 43, 19}, {2, 44, 20}}, {{3, 45, 15}, {13, 46, 16}}}},
    {17, 815, {647, 507, 367, 283}, 3, {30, 54, 78, 0, 0, 0}, {{{1, 135, 107}, {5, 136, 108}}, {{10, 74, 46}, {1, 75, 47}}, {{1, 50, 22}, {15, 51, 23}}, {{2, 42, 14}, {17, 43, 15}}}},
    {18, 901, {721, 563, 397, 313}, 3, {30, 56, 82, 0, 0, 0}, {{{5, 150, 120}, {1, 151, 121}}, {{9, 69, 43}, {4, 70, 44}}, {{17, 50, 22}, {1, 51, 23}}, {{2, 42, 14}, {19, 43, 15}}}},
    {19, 991, {795, 627, 445, 341}, 3, {30, 58, 86, 0, 0, 0}, {{{3, 141, 113}, {4, 142, 114}}, {{3, 70, 44}, {11, 71, 45}}, {{17, 47, 21}, {4, 48, 22}}, {{9, 39, 13}, {16, 40, 14}}}},
    {20, 1085, {861, 669, 485, 385}, 3, {34, 62, 90, 0, 0, 0}, {{{3, 135, 107}, {5, 136, 108}}, {{3, 67, 41}, {13, 68, 42}}, {{15, 54, 24}, {5, 55, 25}}, {{15, 43, 15}, {10, 44, 16}}}},
    {21, 1156, {932, 714, 512, 406}, 4, {28, 50, 72, 94, 0, 0}, {{{4, 144, 116}, {4, 145, 117}}, {{17, 68, 42}, {0, 0, 0}}, {{17, 50, 22}, {6, 51, 23}}, {{19, 46, 16}, {6, 47, 17}}}},
    {22, 1258, {1006, 782, 568, 442}, 4, {26, 50, 74, 98, 0, 0}, {{{2, 139, 111}, {7, 140, 112}}, {{17, 74, 46}, {0, 0, 0}}, {{7, 54, 24}, {16, 55, 25}}, {{34, 37, 13}, {0, 0, 0}}}},
    {23, 1364, {1094, 860, 614, 464}, 4, {30, 54, 78, 102, 0, 0}, {{{4, 151, 121}, {5, 152, 122}}, {{4, 75, 47}, {14, 76, 48}}, {{11, 54, 24}, {14, 55, 25}}, {{16, 45, 15}, {14, 46, 16}}}},
    {24, 1474, {1174, 914, 664, 514}, 4, {28, 54, 80, 106, 0, 0}, {{{6, 147, 117}, {4, 148, 118}}, {{6, 73, 45}, {14, 74, 46}}, {{11, 54, 24}, {16, 55, 25}}, {{30, 46, 16}, {2, 47, 17}}}},
    {25, 1588, {1276, 1000, 718, 538}, 4, {32, 58, 84, 110, 0, 0}, {{{8, 132, 106}, {4, 133, 107}}, {{8, 75, 47}, {13, 76, 48}}, {{7, 54, 24}, {22, 55, 25}}, {{22, 45, 15}, {13, 46, 16}}}},
    {26, 1706, {1370, 1062, 754, 596}, 4, {30, 58, 86, 114, 0, 0}, {{{10, 142, 114}, {2, 143, 115}}, {{19, 74, 46}, {4, 75, 47}}, {{28, 50, 22}, {6, 51, 23}}, {{33, 46, 16}, {4, 47, 17}}}},
    {27, 1828, {1468, 1128, 808, 628}, 4, {34, 62, 90, 118, 0, 0}, {{{8, 152, 122}, {4, 153, 123}}, {{22, 73, 45}, {3, 74, 46}}, {{8, 53, 23}, {26, 54, 24}}, {{12, 45, 15}, {28, 46, 16}}}},
    {28, 1921, {1531, 1193, 871, 661}, 5, {26, 50, 74, 98, 122, 0}, {{{3, 147, 117}, {10, 148, 118}}, {{3, 73, 45}, {23, 74, 46}}, {{4, 54, 24}, {31, 55, 25}}, {{11, 45, 15}, {31, 46, 16}}}},
    {29, 2051, {1631, 1267, 911, 701}, 5, {30, 54, 78, 102, 126, 0}, {{{7, 146, 116}, {7, 147, 117}}, {{21, 73, 45}, {7, 74, 46}}, {{1, 53, 23}, {37, 54, 24}}, {{19, 45, 15}, {26, 46, 16}}}},
    {30, 2185, {1735, 1373, 985, 745}, 5, {26, 52, 78, 104, 130, 0}, {{{5, 145, 115}, {10, 146, 116}}, {{19, 75, 47}, {10, 76, 48}}, {{15, 54, 24}, {25, 55, 25}}, {{23, 45, 15}, {25, 46, 16}}}},
    {31, 2323, {1843, 1455, 1033, 793}, 5, {30, 56, 82, 108, 134, 0}, {{{13, 145, 115}, {3, 146, 116}}, {{2, 74, 46}, {29, 75, 47}}, {{42, 54, 24}, {1, 55, 25}}, {{23, 45, 15}, {28, 46, 16}}}},
    {32, 2465, {1955, 1541, 1115, 845}, 5, {34, 60, 86, 112, 138, 0}, {{{17, 145, 115}, {0, 0, 0}}, {{10, 74, 46}, {23, 75, 47}}, {{10, 54, 24}, {35, 55, 25}}, {{19, 45, 15}, {35, 46, 16}}}},
    {33, 2611, {2071, 1631, 1171, 901}, 5, {30, 58, 86, 114, 142, 0}, {{{17, 145, 115}, {1, 146, 116}}, {{14, 74, 46}, {21, 75, 47}}, {{29, 54, 24}, {19, 55, 25}}, {{11, 45, 15}, {46, 46, 16}}}},
    {34, 2761, {2191, 1725, 1231, 961}, 5, {34, 62, 90, 118, 146, 0}, {{{13, 145, 115}, {6, 146, 116}}, {{14, 74, 46}, {23, 75, 47}}, {{44, 54, 24}, {7, 55, 25}}, {{59, 46, 16}, {1, 47, 17}}}},
    {35, 2876, {2306, 1812, 1286, 986}, 6, {30, 54, 78, 102, 126, 150}, {{{12, 151, 121}, {7, 152, 122}}, {{12, 75, 47}, {26, 76, 48}}, {{39, 54, 24}, {14, 55, 25}}, {{22, 45, 15}, {41, 46, 16}}}},
    {36, 3034, {2434, 1914, 1354, 1054}, 6, {24, 50, 76, 102, 128, 154}, {{{6, 151, 121}, {14, 152, 122}}, {{6, 75, 47}, {34, 76, 48}}, {{46, 54, 24}, {10, 55, 25}}, {{2, 45, 15}, {64, 46, 16}}}},
    {37, 3196, {2566, 1992, 1426, 1096}, 6, {28, 54, 80, 106, 132, 158}, {{{17, 152, 122}, {4, 153, 123}}, {{29, 74, 46}, {14, 75, 47}}, {{49, 54, 24}, {10, 55, 25}}, {{24, 45, 15}, {46, 46, 16}}}},
    {38, 3362, {2702, 2102, 1502, 1142}, 6, {32, 58, 84, 110, 136, 162}, {{{4, 152, 122}, {18, 153, 123}}, {{13, 74, 46}, {32, 75, 47}}, {{48, 54, 24}, {14, 55, 25}}, {{42, 45, 15}, {32, 46, 16}}}},
    {39, 3532, {2812, 2216, 1582, 1222}, 6, {26, 54, 82, 110, 138, 166}, {{{20, 147, 117}, {4, 148, 118}}, {{40, 75, 47}, {7, 76, 48}}, {{43, 54, 24}, {22, 55, 25}}, {{10, 45, 15}, {67, 46, 16}}}},
    {40, 3706, {2956, 2334, 1666, 1276}, 6, {30, 58, 86, 114, 142, 170}, {{{19, 148, 118}, {6, 149, 119}}, {{18, 75, 47}, {31, 76, 48}}, {{34, 54, 24}, {34, 55, 25}}, {{20, 45, 15}, {61, 46, 16}}}},
}};

struct GaloisTables {
    std::array<std::uint8_t, 256> exp{};
    std::array<std::uint8_t, 256> log{};
};

constexpr GaloisTables makeGalois()
{
    GaloisTables t;
    int x = 1;
    for (int i = 0; i < 255; ++i) {
        t.exp[i] = std::uint8_t(x);
        t.log[x] = std::uint8_t(i);
        x <<= 1;
        if (x & 0x100)
            x ^= 0x11D;
    }
    t.exp[255] = t.exp[0];
    return t;
}

constexpr GaloisTables kGalois = makeGalois();

constexpr int kMaxRSCount = 68;

// Generator polynomials (x - a^0)(x - a^1)...(x - a^(n-1)) for every count up
// to the largest a version uses, coefficients as exponents, leading term left
// out. Each polynomial is the one before times (x - a^(n-1)), so one running
// product yields them all: building every count afresh costs more steps than
// Clang allows a constant expression by default.
struct Generators {
    std::array<std::array<std::uint8_t, kMaxRSCount>, kMaxRSCount + 1> exps{};
};

constexpr Generators makeGenerators()
{
    Generators g;
    // coef[0] is the leading coefficient, as field values.
    std::array<int, kMaxRSCount + 1> coef{};
    coef[0] = 1;
    for (int n = 1; n <= kMaxRSCount; ++n) {
        // multiply by (x + a^(n-1))
        const int rootLog = n - 1;
        for (int j = n; j >= 1; --j) {
            if (coef[j - 1] != 0)
                coef[j] ^= kGalois.exp[(kGalois.log[coef[j - 1]] + rootLog) % 255];
        }
        for (int j = 0; j < n; ++j)
            g.exps[n][j] = kGalois.log[coef[j + 1]];
    }
    return g;
}

constexpr Generators kGenerators = makeGenerators();

constexpr int groupOf(int version) { return version <= 9 ? 0 : version <= 26 ? 1 : 2; }

enum class CountedMode { Numeric, Alphanumeric, Byte, Kanji };

// Largest number of characters of a mode that the data bits of a version and
// level take after the mode indicator and the count field, and that the
// count field can state.
constexpr std::int64_t capacity(CountedMode mode, int bits, int width)
{
    const std::int64_t avail = bits - 4 - width;
    std::int64_t n = 0;
    switch (mode) {
    case CountedMode::Numeric:
        n = 3 * (avail / 10) + (avail % 10 >= 7 ? 2 : avail % 10 >= 4 ? 1 : 0);
        break;
    case CountedMode::Alphanumeric:
        n = 2 * (avail / 11) + (avail % 11 >= 6 ? 1 : 0);
        break;
    case CountedMode::Byte:
        n = avail / 8;
        break;
    case CountedMode::Kanji:
        n = avail / 13;
        break;
    }
    const std::int64_t countLimit = (std::int64_t(1) << width) - 1;
    return n < countLimit ? n : countLimit;
}

constexpr std::array<std::int64_t, kMaxVersion * 4> capacityTable(CountedMode mode, const std::array<int, 3> &widths)
{
    std::array<std::int64_t, kMaxVersion * 4> out{};
    for (int v = 1; v <= kMaxVersion; ++v)
        for (int l = 0; l < 4; ++l)
            out[std::size_t((v - 1) * 4 + l)] =
                capacity(mode, kVersions[std::size_t(v)].ncDataCodeWord[std::size_t(l)] * 8, widths[std::size_t(groupOf(v))]);
    return out;
}

constexpr std::array<int, kMaxVersion * 4> dataBits()
{
    std::array<int, kMaxVersion * 4> out{};
    for (int v = 1; v <= kMaxVersion; ++v)
        for (int l = 0; l < 4; ++l)
            out[std::size_t((v - 1) * 4 + l)] = kVersions[std::size_t(v)].ncDataCodeWord[std::size_t(l)] * 8;
    return out;
}

} // namespace

constinit const std::array<QR_VERSIONINFO, kMaxVersion + 1> QR_VersonInfo = kVersions;
constinit const std::array<int, kMaxVersion * 4> data_bit_size_array = dataBits();

constinit const std::array<std::uint8_t, 256> byExpToInt = kGalois.exp;
constinit const std::array<std::uint8_t, 256> byIntToExp = kGalois.log;

const std::uint8_t *byRSExp(int count)
{
    if (count < 1 || count > kMaxRSCount)
        return nullptr;
    return kGenerators.exps[count].data();
}

constinit const std::array<std::int64_t, kMaxVersion * 4> QR_Numric_size_array =
    capacityTable(CountedMode::Numeric, nIndicatorLenNumeral);
constinit const std::array<std::int64_t, kMaxVersion * 4> QR_AlphaNumric_size_array =
    capacityTable(CountedMode::Alphanumeric, nIndicatorLenAlphabet);
constinit const std::array<std::int64_t, kMaxVersion * 4> QR_8_BIT_size_array =
    capacityTable(CountedMode::Byte, nIndicatorLen8Bit);
constinit const std::array<std::int64_t, kMaxVersion * 4> QR_Kanji_size_array =
    capacityTable(CountedMode::Kanji, nIndicatorLenKanji);

} // namespace barcodes::qr
