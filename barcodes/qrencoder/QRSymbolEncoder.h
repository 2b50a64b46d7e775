#pragma once
// QR Code model 2 encoder: turns a byte string into the module matrix of a
// symbol of version 1 to 40 at error-correction level L, M, Q or H. The text
// is split into numeric, alphanumeric, 8-bit and Kanji blocks (mixed in one
// symbol), protected by interleaved Reed-Solomon blocks, and the data mask is
// chosen by penalty score unless one is given.
//
// All working state lives in the object, so separate encoders may run on
// separate threads. One object makes one symbol.

#include "barcodes/qrencoder/QRTables.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace barcodes {

class QRSymbolEncoder {
public:
    enum Mode : std::uint8_t { Numeral = 0, Alphabet = 1, EightBit = 2, Kanji = 3 };

    // Encodes `lpsSource` (`ncSource` bytes, or up to its terminating zero
    // when `ncSource` is below 1) at `nLevel` (0 L, 1 M, 2 Q, 3 H). `nVersion`
    // 0 picks the smallest version that holds the data; a requested version
    // that is too small fails unless `bAutoExtent`, which takes the smallest
    // larger one. `nMaskingNo` is 0..7, or -1 to choose by penalty. True when
    // the matrix was made.
    bool EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo,
                    const char *lpsSource, std::int64_t ncSource = 0);

    // Overall data mode of a text (0 numeric, 1 alphanumeric, 2 8-bit,
    // 3 Kanji); 8-bit for an empty text.
    static int Get_Encoding_Mode(const char *lpsSource, std::int64_t ncLength);
    // `byte_mode` when every position classifies as that mode, 2 at the first
    // that does not, 0 for an empty text.
    static int Get_Encoding_Mode_Test(const char *lpsSource, std::int64_t ncLength, int byte_mode);

    static bool IsNumeralData(unsigned char c);
    static bool IsAlphabetData(unsigned char c);
    static bool IsKanjiData(unsigned char c1, unsigned char c2);
    static int AlphabetToBinaly(unsigned char c);
    static int KanjiToBinaly(int wc);

    // Whether Shift JIS pairs in this text may be read as Kanji. Text that is
    // valid UTF-8 is never read as Shift JIS: its multi-byte characters go
    // out as bytes so they scan back as themselves.
    static bool KanjiAllowed(std::string_view source);

    // Results. The matrix is indexed column first: module(x, y), 1 dark.
    std::int64_t m_nSymbleSize = 0;
    std::array<std::array<std::uint8_t, qr::kMaxSymbolSize>, qr::kMaxSymbolSize> m_byModuleData{};

    int version() const { return int(m_nVersion); }
    int level() const { return int(m_nLevel); }
    int maskingNo() const { return int(m_nMaskingNo); }
    std::int64_t dataCodeWordBits() const { return m_ncDataCodeWordBit; }
    const std::vector<std::uint8_t> &blockModes() const { return m_byBlockMode; }
    const std::vector<std::int64_t> &blockLengths() const { return m_nBlockLength; }
    // The data codewords (stream, terminator, pad) of the chosen version.
    std::vector<std::uint8_t> dataCodeWords() const;
    // Data and correction codewords in the order they are placed.
    std::vector<std::uint8_t> allCodeWords() const;

    // Reed-Solomon remainder of `data` with `ncRSCodeWord` correction
    // codewords.
    static std::vector<std::uint8_t> rsCodeWords(const std::vector<std::uint8_t> &data, int ncRSCodeWord);
    // The 15 format bits of a level and mask, and the 18 version bits.
    static int formatInfoBits(int nLevel, int nMaskingNo);
    static int versionInfoBits(int nVersion);

    // Penalty score of the matrix as it stands (a module is dark when bit
    // 0x01 or 0x10 is set): runs, 2 x 2 blocks, finder-like patterns and the
    // balance of dark and light.
    std::int64_t CountPenalty() const;

private:
    int GetEncodeVersion(int nVersion, std::string_view source);
    bool EncodeSourceData(std::string_view source, int nVerGroup);
    std::int64_t GetBitLength(int nMode, std::int64_t ncData, int nVerGroup) const;
    std::int64_t SetBitStream(std::int64_t nIndex, std::uint16_t wData, int ncData);
    void GetRSCodeWord(std::uint8_t *lpbyRSWork, int ncDataCodeWord, int ncRSCodeWord);

    void FormatModule();
    void SetFunctionModule();
    void SetFinderPattern(int x, int y);
    void SetAlignmentPattern(int x, int y);
    void SetVersionPattern();
    void SetCodeWordPattern();
    void SetMaskingPattern(int nPatternNo);
    void SetFormatInfoPattern(int nPatternNo);

    void classify(std::string_view source);
    void mergeNumeralAndAlphabet(int nVerGroup);
    void mergeEightBit(int nVerGroup);
    void joinBlocks(std::size_t into, std::size_t from);
    bool isDark(int x, int y) const { return (m_byModuleData[x][y] & 0x11) != 0; }

    std::int64_t m_nLevel = 0;
    std::int64_t m_nVersion = 0;
    std::int64_t m_nVersion_pass = 0;
    std::int64_t m_nMaskingNo = 0;
    bool m_bKanjiAllowed = true;

    std::int64_t m_ncDataCodeWordBit = 0;
    std::array<std::uint8_t, qr::kMaxDataCodeWords> m_byDataCodeWord{};

    // One entry per run of one mode; as many as the text needs.
    std::vector<std::uint8_t> m_byBlockMode;
    std::vector<std::int64_t> m_nBlockLength;

    std::int64_t m_ncAllCodeWord = 0;
    std::array<std::uint8_t, qr::kMaxAllCodeWords> m_byAllCodeWord{};
    std::array<std::uint8_t, qr::kMaxRSWork> m_byRSWork{};
};

} // namespace barcodes
