#include "barcodes/pdf417/Pdf417Encoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace barcodes;

namespace {

pdf417_record encodeText(const std::string &text, int options = 0, int level = 2)
{
    pdf417_record p;
    pdf417_reset(p);
    p.text = text;
    p.lenText = int(text.size());
    p.options = options;
    p.errorLevel = level;
    paintCode(p);
    return p;
}

// Raw data codewords: the length descriptor n and n - 1 codewords.
pdf417_record encodeRaw(int n, int options, int columns = 0, int rows = 0, int level = 0)
{
    pdf417_record p;
    pdf417_reset(p);
    p.options = options | PDF417_USE_RAW_CODEWORDS;
    p.codewords[0] = n;
    for (int i = 1; i < n && i < PDF417_MAX_CODEWORDS; ++i)
        p.codewords[std::size_t(i)] = (i * 37) % 900;
    p.lenCodewords = n;
    p.codeColumns = columns;
    p.codeRows = rows;
    p.errorLevel = level;
    p.aspectRatio = 1.0f;
    paintCode(p);
    return p;
}

// The data codewords, length descriptor first (pad codewords included).
std::vector<int> dataCodewords(const pdf417_record &p)
{
    return {p.codewords.begin(), p.codewords.begin() + p.codewords[0]};
}

int powMod(int base, int exp)
{
    long long r = 1;
    for (int i = 0; i < exp; ++i)
        r = r * base % 929;
    return int(r);
}

// The whole sequence read as a polynomial over GF(929), the first codeword
// the highest power, vanishes at 3, 3^2, ..., 3^k when its last k codewords
// are a correct Reed-Solomon check.
bool errorCorrectionHolds(const pdf417_record &p)
{
    const int k = 2 << p.errorLevel;
    for (int i = 1; i <= k; ++i) {
        const int x = powMod(3, i);
        long long sum = 0;
        for (int j = 0; j < p.lenCodewords; ++j)
            sum = (sum * x + p.codewords[std::size_t(j)]) % 929;
        if (sum != 0)
            return false;
    }
    return true;
}

} // namespace

TEST(Pdf417Encoder, SegmentsGiveTheKnownCodewords)
{
    // Data codewords, length descriptor first, by the text, numeric and byte
    // compaction rules.
    const struct {
        std::string text;
        std::vector<int> data;
    } cases[] = {
        {"PDF417", {5, 453, 178, 121, 239}},
        {"ABC1234567890123XYZ", {12, 1, 89, 902, 17, 110, 836, 811, 223, 900, 714, 779}},
        {"abcDEF", {6, 810, 32, 868, 94, 179}},      // back to alpha for a run of capitals
        {"abcDe", {5, 810, 32, 813, 149}},           // one capital is shifted
        {"A;<>", {4, 28, 750, 32}},                  // a punctuation run latches
        {"A;B", {3, 29, 1}},                         // a lone one is shifted
        {"1a", {3, 841, 810}},                       // mixed, then lower
        {"a ;<>b", {7, 810, 808, 750, 32, 897, 59}}, // lower, punctuation run, back via alpha
        {"AB\x01" "CD", {5, 1, 913, 1, 63}},          // a control byte inside text is shifted
        {"A\x01" "B", {5, 901, 65, 1, 66}},           // too little text: one byte segment
        {"ABC\x01" "DE", {6, 1, 89, 913, 1, 94}},     // an odd number of values is padded first
    };
    for (const auto &c : cases)
        EXPECT_EQ(dataCodewords(encodeText(c.text)), c.data) << c.text;

    // Digits are numeric alone from eight on, inside text from thirteen on.
    for (const std::string digits : {"12345678", "123456789012"})
        EXPECT_EQ(encodeText(digits).codewords[1], 902) << digits;
    EXPECT_NE(encodeText("1234567").codewords[1], 902);
    const auto twelve = dataCodewords(encodeText("ABC123456789012XYZ"));
    EXPECT_EQ(std::count(twelve.begin() + 1, twelve.end(), 902), 0);

    // Level 2 on six letters: one column of 13 rows, a correct check.
    pdf417_record p = encodeText("PDF417", PDF417_USE_ERROR_LEVEL);
    EXPECT_EQ(std::pair(p.codeColumns, p.codeRows), std::pair(1, 13));
    EXPECT_EQ(p.lenBits, 11 * 13);
    EXPECT_TRUE(errorCorrectionHolds(p));
}

TEST(Pdf417Encoder, ByteSegmentsChooseTheirLatchByLength)
{
    std::string twelve, thirteen;
    for (int i = 0; i < 13; ++i) {
        thirteen.push_back(char(0x80 + i));
        if (i < 12)
            twelve.push_back(char(0x80 + i));
    }
    pdf417_record p = encodeText(twelve);
    EXPECT_EQ(p.codewords[1], 924);
    EXPECT_EQ(p.codewords[0], 12);   // descriptor, latch, two groups of five
    p = encodeText(thirteen);
    EXPECT_EQ(p.codewords[1], 901);
    EXPECT_EQ(p.codewords[0], 13);
    EXPECT_EQ(p.codewords[12], 0x8C);

    // Short text between byte runs joins them: one run of six.
    p = encodeText("\x80\x81" "abc" "\x82");
    EXPECT_EQ(p.codewords[1], 924);
    EXPECT_EQ(p.codewords[0], 7);
}

TEST(Pdf417Encoder, AutomaticErrorLevelFollowsTheDataSize)
{
    // Columns chosen so that the symbol leaves no room to raise the level.
    struct Case {
        int data, columns, level;
    };
    for (const Case &c : {Case{40, 1, 2}, Case{41, 1, 3}, Case{160, 2, 3}, Case{161, 3, 4}, Case{320, 4, 4},
                          Case{321, 5, 5}}) {
        pdf417_record p = encodeRaw(c.data, PDF417_FIXED_COLUMNS, c.columns);
        ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
        EXPECT_EQ(p.errorLevel, c.level) << c.data;
        EXPECT_TRUE(errorCorrectionHolds(p)) << c.data;
    }
    // A fixed rectangle with room to spare gets the strongest level it holds.
    pdf417_record p = encodeRaw(40, PDF417_FIXED_RECTANGLE, 10, 90);
    EXPECT_EQ(p.errorLevel, 8);
    EXPECT_TRUE(errorCorrectionHolds(p));
    // A requested level is a minimum; nonsense levels are clamped.
    EXPECT_EQ(encodeRaw(10, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, 1, 0, 5).errorLevel, 5);
    EXPECT_EQ(encodeRaw(10, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, 1, 0, -1).errorLevel, 0);
    EXPECT_EQ(encodeRaw(10, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, 30, 0, 9).errorLevel, 8);
}

TEST(Pdf417Encoder, ShapeFollowsTheAspectRatioOrTheFixedSize)
{
    // Level 0 adds two correction codewords to the data.
    const struct {
        int data, options, columns, rows, outColumns, outRows;
    } cases[] = {
        {10, PDF417_USE_ERROR_LEVEL, 0, 0, 1, 12},
        {98, PDF417_USE_ERROR_LEVEL, 0, 0, 3, 34},
        {498, PDF417_USE_ERROR_LEVEL, 0, 0, 8, 63},
        {100, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_ROWS, 0, 10, 11, 10},
        {100, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, 1, 0, 2, 90}, // too many rows: capped
        // A fixed rectangle is cut to the largest symbol, or grows to hold
        // the data.
        {10, PDF417_FIXED_RECTANGLE, 30, 90, 29, 32},
        {10, PDF417_FIXED_RECTANGLE, 12, 90, 16, 58},
        {10, PDF417_FIXED_RECTANGLE, 4, 5, 4, 5},
        {100, PDF417_FIXED_RECTANGLE, 2, 3, 2, 58},
    };
    for (const auto &c : cases) {
        const pdf417_record p = encodeRaw(c.data, c.options, c.columns, c.rows);
        ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
        EXPECT_EQ(std::pair(p.codeColumns, p.codeRows), std::pair(c.outColumns, c.outRows)) << c.data;
        EXPECT_EQ(p.bitColumns, 17 * (c.outColumns + 3) + 18);
        EXPECT_TRUE(errorCorrectionHolds(p)) << c.data;
    }
}

TEST(Pdf417Encoder, LimitsAreRefusedAndLeaveNoEarlierBitmap)
{
    // 2708 digits make 926 data codewords, room for level 0 only; three
    // more would need a 927th.
    EXPECT_EQ(encodeText(std::string(2708, '7')).errorLevel, 0);
    for (const std::string &text : {std::string(2711, '7'), std::string(1900, 'a'), std::string(1200, '\xC4')})
        EXPECT_EQ(encodeText(text).error, PDF417_ERROR_TEXT_TOO_BIG) << text.size();
    EXPECT_EQ(encodeText("").error, PDF417_ERROR_EMPTY_TEXT);
    EXPECT_EQ(encodeRaw(926, 0).error, PDF417_ERROR_SUCCESS);
    EXPECT_EQ(encodeRaw(927, 0).error, PDF417_ERROR_INVALID_PARAMS);
    EXPECT_EQ(encodeRaw(0, 0).error, PDF417_ERROR_INVALID_PARAMS);
    pdf417_record bad;
    bad.options = PDF417_USE_RAW_CODEWORDS;
    bad.lenCodewords = 3;
    bad.codewords = {{4, 1, 2}}; // the descriptor disagrees
    paintCode(bad);
    EXPECT_EQ(bad.error, PDF417_ERROR_INVALID_PARAMS);
    bad.codewords = {{3, 1, 929}}; // no such codeword
    paintCode(bad);
    EXPECT_EQ(bad.error, PDF417_ERROR_INVALID_PARAMS);

    pdf417_record p = encodeText("first");
    ASSERT_FALSE(p.outBits.empty());
    p.text = std::string(5421, 'x');
    p.lenText = -1;
    paintCode(p);
    EXPECT_EQ(p.error, PDF417_ERROR_TEXT_TOO_BIG);
    EXPECT_TRUE(p.outBits.empty());
    // The text ends at its first zero byte when no length is given.
    p.text = std::string("AB\0CD", 5);
    p.lenText = -1;
    paintCode(p);
    EXPECT_EQ(p.codewords[0], 2);
}
