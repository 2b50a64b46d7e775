#pragma once
// PDF417 encoder: turns a byte string (or codewords the caller made) into the
// codeword sequence of a symbol with Reed-Solomon error correction over
// GF(929), and paints the symbol into a 1-bit bitmap: one bit per module, one
// bit row per symbol row, no quiet zone.
//
// Plain procedures over one parameter record that the caller owns; nothing is
// kept between calls but constant tables, so records may be encoded on any
// thread, one call per record at a time.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace barcodes {

// Bits of pdf417_record::options.
inline constexpr int PDF417_FIXED_RECTANGLE = 1;    // keep codeColumns x codeRows unless the data do not fit
inline constexpr int PDF417_FIXED_COLUMNS = 2;      // keep codeColumns, derive the rows
inline constexpr int PDF417_FIXED_ROWS = 4;         // keep codeRows, derive the columns (wins over 2)
inline constexpr int PDF417_USE_ERROR_LEVEL = 16;   // errorLevel is the minimum level to use
inline constexpr int PDF417_USE_RAW_CODEWORDS = 64; // codewords/lenCodewords hold the data already
inline constexpr int PDF417_INVERT_BITMAP = 128;    // a set bit of outBits is a space

// Values of pdf417_record::error.
inline constexpr int PDF417_ERROR_SUCCESS = 0;
inline constexpr int PDF417_ERROR_TEXT_TOO_BIG = 1;
inline constexpr int PDF417_ERROR_INVALID_PARAMS = 2;
inline constexpr int PDF417_ERROR_EMPTY_TEXT = 3;

inline constexpr int PDF417_MAX_TEXT_BYTES = 5420;
inline constexpr int PDF417_MAX_DATA_CODEWORDS = 926;   // the length descriptor included
inline constexpr int PDF417_MAX_CODEWORDS = 928;

struct pdf417_record {
    // Out: the painted bitmap, rows of (bitColumns - 1) / 8 + 1 bytes, the
    // first module of a row in the most significant bit of its first byte.
    std::vector<std::uint8_t> outBits;
    int lenBits = 0;       // out: size of outBits in bytes
    int bitColumns = 0;    // out: modules per row, 17 x (codeColumns + 3) + 18
    int codeRows = 0;      // in (fixed rows or rectangle) and out: 3..90
    int codeColumns = 0;   // in (fixed columns or rectangle) and out: 1..30
    // In (raw codewords) and out: the length descriptor, the data, the pad
    // codewords, then the error correction.
    std::array<int, PDF417_MAX_CODEWORDS> codewords{};
    // In (raw codewords): the number of data codewords; out: the total,
    // codeRows x codeColumns.
    int lenCodewords = 0;
    int errorLevel = 0;    // in (with PDF417_USE_ERROR_LEVEL) and out: 0..8
    std::string text;      // in: the bytes to encode (UTF-8 for text)
    // In: how many bytes of text to encode; negative means up to the first
    // zero byte. Never more than text holds.
    int lenText = -1;
    int options = 0;
    float aspectRatio = 0.5f; // in: wanted height / width when neither rows nor columns are fixed
    float yHeight = 3.0f;     // in: row height in module widths, for that choice
    int error = PDF417_ERROR_SUCCESS; // out
};

// Restores the defaults of the inputs and releases the bitmap. The size
// fields, the codewords and the error level keep what they held.
void pdf417_reset(pdf417_record &p);

// Encodes and paints. On success error is 0 and outBits, lenBits,
// bitColumns, codeRows, codeColumns, codewords, lenCodewords and errorLevel
// describe the symbol; otherwise error says why and there is no bitmap.
void paintCode(pdf417_record &p);

// Releases the bitmap.
void pdf417_release(pdf417_record &p);

} // namespace barcodes
