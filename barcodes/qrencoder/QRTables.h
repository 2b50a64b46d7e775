#pragma once
// Constant tables of QR Code model 2 (ISO/IEC 18004): symbol capacities,
// error-correction block structure, alignment pattern positions, the
// arithmetic of GF(256) and the Reed-Solomon generator polynomials.

#include <array>
#include <cstdint>

namespace barcodes::qr {

constexpr int kMaxVersion = 40;
constexpr int kMaxSymbolSize = 177;      // 4 * 40 + 17
constexpr int kMaxDataCodeWords = 2956;  // version 40, level L
constexpr int kMaxAllCodeWords = 3706;   // version 40
constexpr int kMaxStreamBits = kMaxDataCodeWords * 8;
constexpr int kMaxRSWork = 153;          // longest block: 30 correction + 123 data codewords

// One group of Reed-Solomon blocks that share their size.
struct RS_BLOCKINFO {
    int ncRSBlock;      // number of blocks
    int ncAllCodeWord;  // codewords per block, data and correction
    int ncDataCodeWord; // data codewords per block
};

struct QR_VERSIONINFO {
    int nVersionNo;
    int ncAllCodeWord;
    std::array<int, 4> ncDataCodeWord;            // per level L, M, Q, H
    int ncAlignPoint;                              // alignment coordinates other than 6
    std::array<int, 6> nAlignPoint;
    RS_BLOCKINFO RS_BlockInfo[4][2]; // per level: two groups
};

// Entry 0 is empty so that the version number is the index.
extern const std::array<QR_VERSIONINFO, kMaxVersion + 1> QR_VersonInfo;

// Data capacity in bits, index (version - 1) * 4 + level.
extern const std::array<int, kMaxVersion * 4> data_bit_size_array;

// Character-count field widths by version group (1-9, 10-26, 27-40).
constexpr std::array<int, 3> nIndicatorLenNumeral{10, 12, 14};
constexpr std::array<int, 3> nIndicatorLenAlphabet{9, 11, 13};
constexpr std::array<int, 3> nIndicatorLen8Bit{8, 16, 16};
constexpr std::array<int, 3> nIndicatorLenKanji{8, 10, 12};

// Antilogarithm and logarithm of GF(256) over x^8 + x^4 + x^3 + x^2 + 1.
extern const std::array<std::uint8_t, 256> byExpToInt;
extern const std::array<std::uint8_t, 256> byIntToExp;

// Generator polynomial for `count` correction codewords, as exponents of
// alpha without the leading term; an empty pointer for counts no version uses.
const std::uint8_t *byRSExp(int count);

// Character capacities per data mode, index (version - 1) * 4 + level.
extern const std::array<std::int64_t, kMaxVersion * 4> QR_Numric_size_array;
extern const std::array<std::int64_t, kMaxVersion * 4> QR_AlphaNumric_size_array;
extern const std::array<std::int64_t, kMaxVersion * 4> QR_8_BIT_size_array;
extern const std::array<std::int64_t, kMaxVersion * 4> QR_Kanji_size_array;

} // namespace barcodes::qr
