// The encoder against the worked values of the QR Code standard, and every
// symbol it makes read back by a real decoder.
#include "barcodes/qrencoder/QRSymbolEncoder.h"
#include "barcodes/qrencoder/QRTables.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using barcodes::QRSymbolEncoder;
using Bytes = std::vector<std::uint8_t>;

namespace {

enum { L = 0, M = 1, Q = 2, H = 3 };

std::unique_ptr<QRSymbolEncoder> encode(const std::string &text, int level, int version = 0, int mask = -1,
                                        bool autoExtent = true)
{
    auto e = std::make_unique<QRSymbolEncoder>();
    if (!e->EncodeData(level, version, autoExtent, mask, text.data(), std::int64_t(text.size())))
        return nullptr;
    return e;
}

// The matrix drawn at 3 pixels per module, dark modules black.
QImage picture(const QRSymbolEncoder &e)
{
    const int n = int(e.m_nSymbleSize);
    QImage img(n * 3, n * 3, QImage::Format_Grayscale8);
    img.fill(Qt::white);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (e.m_byModuleData[x / 3][y / 3])
                img.setPixel(x, y, qRgb(0, 0, 0));
    return img;
}

quorvant::test::Decoded scan(const QRSymbolEncoder &e)
{
    return quorvant::test::decodeBarcode(picture(e), ZXing::BarcodeFormat::QRCode);
}

// Checks that `text` encodes at the level and scans back as itself; returns
// the version used.
int roundTrip(const std::string &text, int level, int version = 0)
{
    auto e = encode(text, level, version);
    EXPECT_TRUE(e) << text.substr(0, 40);
    if (!e)
        return 0;
    EXPECT_EQ(e->m_nSymbleSize, 4 * e->version() + 17);
    const auto d = scan(*e);
    EXPECT_TRUE(d.valid) << "version " << e->version() << " level " << level;
    EXPECT_FALSE(d.mirrored);
    EXPECT_EQ(d.bytes, text) << "version " << e->version() << " level " << level;
    return e->version();
}

} // namespace

TEST(QRWorkedValues, NumericDataAndCorrectionCodewordsAtLevelM)
{
    auto e = encode("01234567", M, 1);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->dataCodeWordBits(), 41 + 4);
    const Bytes data{0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    EXPECT_EQ(e->dataCodeWords(), data);
    const Bytes ec{0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
    Bytes all = data;
    all.insert(all.end(), ec.begin(), ec.end());
    EXPECT_EQ(e->allCodeWords(), all);
}

TEST(QRWorkedValues, AlphanumericDataAndCorrectionCodewordsAtLevelM)
{
    auto e = encode("HELLO WORLD", M);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->version(), 1);
    ASSERT_EQ(e->blockModes().size(), 1u);
    EXPECT_EQ(e->blockModes()[0], QRSymbolEncoder::Alphabet);
    EXPECT_EQ(e->blockLengths()[0], 11);
    const Bytes all{0x20, 0x5B, 0x0B, 0x78, 0xD1, 0x72, 0xDC, 0x4D, 0x43, 0x40, 0xEC, 0x11, 0xEC,
                    0x11, 0xEC, 0x11, 0xC4, 0x23, 0x27, 0x77, 0xEB, 0xD7, 0xE7, 0xE2, 0x5D, 0x17};
    EXPECT_EQ(e->allCodeWords(), all);
}

TEST(QRWorkedValues, FormatVersionAndCapacityTables)
{
    // Format and version information of ISO/IEC 18004 Annexes C and D.
    EXPECT_EQ(QRSymbolEncoder::formatInfoBits(M, 0), 0x5412);
    EXPECT_EQ(QRSymbolEncoder::formatInfoBits(L, 0), 0x77C4);
    EXPECT_EQ(QRSymbolEncoder::formatInfoBits(H, 0), 0x1689);
    EXPECT_EQ(QRSymbolEncoder::formatInfoBits(M, 5), 0b100000011001110);
    EXPECT_EQ(QRSymbolEncoder::versionInfoBits(7), 0x07C94);
    EXPECT_EQ(QRSymbolEncoder::versionInfoBits(40), 0x28C69);
    const std::uint8_t *g7 = barcodes::qr::byRSExp(7);
    ASSERT_NE(g7, nullptr);
    EXPECT_EQ(Bytes(g7, g7 + 7), (Bytes{87, 229, 146, 149, 238, 102, 21}));

    // Every block size of every version is consistent with its totals.
    for (int v = 1; v <= 40; ++v) {
        const auto &info = barcodes::qr::QR_VersonInfo[v];
        for (int l = 0; l < 4; ++l) {
            int all = 0, data = 0;
            for (const auto &g : info.RS_BlockInfo[l]) {
                all += g.ncRSBlock * g.ncAllCodeWord;
                data += g.ncRSBlock * g.ncDataCodeWord;
            }
            EXPECT_EQ(all, info.ncAllCodeWord) << v;
            EXPECT_EQ(data, info.ncDataCodeWord[l]) << v;
        }
    }
    // Character capacities of Table 7 at L, M, Q, H.
    using namespace barcodes::qr;
    using Row = std::vector<std::int64_t>;
    const struct {
        const std::array<std::int64_t, kMaxVersion * 4> &table;
        int version;
        Row capacities;
    } rows[] = {
        {QR_Numric_size_array, 1, {41, 34, 27, 17}},        {QR_Numric_size_array, 40, {7089, 5596, 3993, 3057}},
        {QR_AlphaNumric_size_array, 2, {47, 38, 29, 20}},   {QR_AlphaNumric_size_array, 40, {4296, 3391, 2420, 1852}},
        {QR_8_BIT_size_array, 1, {17, 14, 11, 7}},          {QR_8_BIT_size_array, 40, {2953, 2331, 1663, 1273}},
        {QR_Kanji_size_array, 2, {20, 16, 12, 8}},          {QR_Kanji_size_array, 40, {1817, 1435, 1024, 784}},
    };
    for (const auto &r : rows)
        EXPECT_EQ(Row(r.table.begin() + (r.version - 1) * 4, r.table.begin() + r.version * 4), r.capacities)
            << r.version;
    EXPECT_EQ(data_bit_size_array[(10 - 1) * 4 + Q], 154 * 8);
}

TEST(QRStructure, VersionInformationOnlyFromVersionSeven)
{
    // Six light modules above the bottom-left finder's separator area carry
    // version bits only from version 7.
    auto v7 = encode("A", L, 7);
    ASSERT_TRUE(v7);
    const int bits = QRSymbolEncoder::versionInfoBits(7);
    const int n = int(v7->m_nSymbleSize);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 3; ++j) {
            const int expected = (bits >> (i * 3 + j)) & 1;
            EXPECT_EQ(v7->m_byModuleData[i][n - 11 + j], expected);
            EXPECT_EQ(v7->m_byModuleData[n - 11 + j][i], expected);
        }
    EXPECT_EQ(scan(*v7).bytes, "A");
}

TEST(QRStructure, GivenMaskIsUsedAndEveryMaskScans)
{
    for (int mask = 0; mask < 8; ++mask) {
        auto e = encode("MASK TEST 12345", Q, 0, mask);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->maskingNo(), mask);
        EXPECT_EQ(scan(*e).bytes, "MASK TEST 12345") << mask;
    }
}

TEST(QRStructure, PenaltyRules)
{
    QRSymbolEncoder e;
    e.m_nSymbleSize = 21;
    auto fill = [&e](auto dark) {
        for (int x = 0; x < 21; ++x)
            for (int y = 0; y < 21; ++y)
                e.m_byModuleData[x][y] = dark(x, y) ? 1 : 0;
    };
    // All light: 42 runs of 21 (19 each), 400 blocks (3 each), all light (100).
    fill([](int, int) { return false; });
    EXPECT_EQ(e.CountPenalty(), 42 * 19 + 400 * 3 + 100);
    // A checkerboard scores nothing.
    const auto board = [](int x, int y) { return (x + y) % 2 == 1; };
    fill(board);
    EXPECT_EQ(e.CountPenalty(), 0);
    // A finder-like 1:1:3:1:1 at the start of a row, light after it.
    const int finder[11] = {1, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0};
    fill([&](int x, int y) { return y == 0 && x < 11 ? finder[x] == 1 : board(x, y); });
    EXPECT_EQ(e.CountPenalty(), 40);
    // Function modules (marked 0x20, dark 0x30) count by their dark bit.
    for (int x = 0; x < 21; ++x)
        for (int y = 0; y < 21; ++y)
            e.m_byModuleData[x][y] = e.m_byModuleData[x][y] ? 0x30 : 0x20;
    EXPECT_EQ(e.CountPenalty(), 40);
}

TEST(QRBlocks, NumericAndAlphanumericRunsMergeByCost)
{
    auto e = encode("123456789012A", L);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->blockModes(), (Bytes{QRSymbolEncoder::Numeral, QRSymbolEncoder::Alphabet}));
    e = encode("A1B", L);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->blockModes(), (Bytes{QRSymbolEncoder::Alphabet}));
    EXPECT_EQ(e->blockLengths(), (std::vector<std::int64_t>{3}));
}

TEST(QRScan, ModesLevelsVersionsAndCapacityReadBack)
{
    auto repeat = [](const std::string &part, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += part;
        return out;
    };
    const struct {
        std::string text;
        int level, version, expectedVersion; // version 0: the smallest; expected 0: any
    } cases[] = {
        // Thousands of mode changes: more blocks than a fixed table holds.
        {repeat("1A", 2000), L, 0, 0},
        {repeat("1a", 700), L, 0, 0},
        {repeat("123456789012ABCDEFGHxyz~", 60), M, 0, 0},
        {"https://example.com/card?id=1234567&name=Jane%20Doe", H, 0, 0},
        {"Mixed 1234567890 text WITH $%*+-./: and lower case", Q, 0, 0},
        {std::string(500, 'Q') + "123" + std::string(200, 'z'), M, 0, 0},
        // The capacity counts the whole stream, mode indicators included.
        {"A" + std::string(20, '7') + "B", L, 0, 1},
        {std::string(2953, 'x'), L, 0, 40},
        {std::string(7089, '9'), L, 0, 40},
        {std::string(1270, 'k'), H, 0, 40},
        {std::string(364, '8'), Q, 10, 10}, // full: 12-bit count, 1216 bits left
        {"SHORT", M, 12, 12}, // a larger requested version is kept
    };
    for (const auto &c : cases) {
        const int version = roundTrip(c.text, c.level, c.version);
        if (c.expectedVersion != 0) {
            EXPECT_EQ(version, c.expectedVersion) << c.text.substr(0, 20);
        }
    }
    // Every version at some level, by asking for it.
    for (int v = 1; v <= 40; v += 3)
        EXPECT_EQ(roundTrip("VERSION " + std::to_string(v), v % 4, v), v);
}

TEST(QREncode, RefusesWhatFitsNoSymbol)
{
    EXPECT_FALSE(encode("", M));
    EXPECT_FALSE(encode(std::string(2954, 'x'), L));
    EXPECT_FALSE(encode(std::string(7090, '9'), L));
    // A version too small is kept only when extension is allowed.
    EXPECT_FALSE(encode(std::string(30, 'x'), M, 1, -1, false));
    auto extended = encode(std::string(30, 'x'), M, 1, -1, true);
    ASSERT_TRUE(extended);
    EXPECT_EQ(extended->version(), 3);
    // A length of 0 means a zero-terminated source.
    QRSymbolEncoder z;
    ASSERT_TRUE(z.EncodeData(L, 0, true, -1, "ZERO 123", 0));
    EXPECT_EQ(scan(z).bytes, "ZERO 123");
}

TEST(QRScan, KanjiPairsAndUtf8Text)
{
    // Shift JIS "日本語" goes out in Kanji mode and reads back as Unicode.
    const std::string sjis = "\x93\xFA\x96\x7B\x8C\xEA";
    auto e = encode(sjis, M);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->blockModes(), (Bytes{QRSymbolEncoder::Kanji}));
    const auto d = scan(*e);
    EXPECT_TRUE(d.valid);
    EXPECT_EQ(d.text, "日本語");
    EXPECT_EQ(QRSymbolEncoder::KanjiToBinaly(0x935F), 0x0D9F);
    EXPECT_EQ(QRSymbolEncoder::KanjiToBinaly(0xE4AA), 0x1AAA);

    // The same characters in UTF-8 are bytes, never Kanji.
    for (const std::string text : {"日本", "Grüße €5"}) {
        auto u = encode(text, L);
        ASSERT_TRUE(u);
        EXPECT_EQ(u->blockModes(), Bytes{QRSymbolEncoder::EightBit}) << text;
        EXPECT_EQ(scan(*u).text, text);
    }
}

TEST(QRClassify, OverallMode)
{
    auto mode = [](const std::string &s) { return QRSymbolEncoder::Get_Encoding_Mode(s.data(), std::int64_t(s.size())); };
    EXPECT_EQ(mode("0123"), QRSymbolEncoder::Numeral);
    EXPECT_EQ(mode("AB 12"), QRSymbolEncoder::Alphabet);
    EXPECT_EQ(mode("ab"), QRSymbolEncoder::EightBit);
    EXPECT_EQ(mode(""), QRSymbolEncoder::EightBit);
    // A Shift JIS text ending in a pair counts as 8-bit through its last byte,
    // unless that byte is a capital letter.
    EXPECT_EQ(mode("\x93\xFA\x96\x7B"), QRSymbolEncoder::EightBit);
    EXPECT_EQ(mode("\x88\x41"), QRSymbolEncoder::Kanji);
    EXPECT_EQ(mode("日本"), QRSymbolEncoder::EightBit);
    // The Shift JIS ranges the Kanji mode takes, at their edges.
    EXPECT_TRUE(QRSymbolEncoder::IsKanjiData(0x9F, 0xFC));
    EXPECT_FALSE(QRSymbolEncoder::IsKanjiData(0x9F, 0xFD));
    EXPECT_FALSE(QRSymbolEncoder::IsKanjiData(0xEB, 0xC0));
}
