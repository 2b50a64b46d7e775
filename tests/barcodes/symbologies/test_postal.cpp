// Postal symbols, which no reader here decodes: check characters from the
// published examples, content rules, and where each bar starts and ends.

#include "barcodes/symbologies/SymPostal.h"

#include <gtest/gtest.h>

using namespace barcodes;

namespace {
constexpr float kPointsPerMm = 72.0f / 25.4f;
} // namespace

TEST(Postal, ChecksAndContent)
{
    const struct {
        std::unique_ptr<SymBarcode> symbol;
        std::string content;
        char check;
        std::size_t modules;
    } cases[] = {
        {SymBarcode::create<SymPostnetBarcode>("12345"), "12345", '5', 94},
        {SymBarcode::create<SymRoyalMailBarcode>("sn34rd1a"), "SN34RD1A", 'K', 75},
        {SymBarcode::create<JapanPostBarcode>("1234567"), "1234567", '/', 133},
        {SymBarcode::create<JapanPostBarcode>("1234567abc"), "1234567ABC", '9', 133},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.symbol->content(), c.content);
        EXPECT_EQ(c.symbol->checkDigit(), c.check) << c.content;
        EXPECT_TRUE(c.symbol->isContentValid()) << c.content;
        EXPECT_EQ(c.symbol->completeBarcode().size(), c.modules) << c.content;
    }
    EXPECT_EQ(SymBarcode::create<JapanPostBarcode>("1234567abc")->japanpostContents(), "1234567:0:1:2=======");
    // Nineteen digits leave room for only half of a letter's two codes: the
    // letter is left out whole.
    EXPECT_EQ(SymBarcode::create<JapanPostBarcode>("1234567890123456789A")->content(), "1234567890123456789");

    for (const char *ok : {"123456789", "12345678901"})
        EXPECT_TRUE(SymBarcode::create<SymPostnetBarcode>(ok)->isContentValid()) << ok;
    for (const char *bad : {"123456", "12345-6789", "1234", "1234A"})
        EXPECT_FALSE(SymBarcode::create<SymPlanetBarcode>(bad)->isContentValid()) << bad;
    for (const char *bad : {"SN34 RD1A", "SN3-4"})
        EXPECT_FALSE(SymBarcode::create<SymRoyalMailBarcode>(bad)->isContentValid()) << bad;
    // A postal code of seven digits must come first.
    for (const char *bad : {"263-0023", "12345"})
        EXPECT_FALSE(SymBarcode::create<JapanPostBarcode>(bad)->isContentValid()) << bad;
}

TEST(Postal, PostnetAndPlanetBarHeights)
{
    auto postnet = SymBarcode::create<SymPostnetBarcode>("12345");
    auto planet = SymBarcode::create<SymPlanetBarcode>("12345");
    EXPECT_NEAR(postnet->width(), 94 * 1.08f, 1e-3);
    // Frame bars full; digit 1 is half, half, half, full, full; PLANET the
    // other way round; the check digit 5 has its bars 2 and 4 full.
    const struct {
        int index;
        float postnet, planet;
    } bars[] = {{0, 9.0f, 9.0f},   {93, 9.0f, 9.0f},   {3, 3.6f, 9.0f},      {9, 3.6f, 9.0f},
                {12, 9.0f, 3.6f},  {15, 9.0f, 3.6f},   {3 + 75, 3.6f, 9.0f}, {3 + 78, 9.0f, 3.6f}};
    for (const auto &b : bars) {
        EXPECT_FLOAT_EQ(postnet->barTop(b.index), b.postnet) << b.index;
        EXPECT_FLOAT_EQ(planet->barTop(b.index), b.planet) << b.index;
    }
}

TEST(Postal, FourStateBarsStartAndEndByType)
{
    // RM4SCC: start an ascender, stop a full bar; 'S' is full, tracker,
    // full, tracker.
    auto royal = SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A");
    const struct {
        int index;
        float bottomMm, topMm;
    } royalBars[] = {{0, 1.9f, 5.05f}, {74, 0.0f, 5.05f}, {2, 0.0f, 5.05f}, {4, 1.9f, 3.15f}};
    for (const auto &b : royalBars) {
        EXPECT_NEAR(royal->barBottom(b.index), b.bottomMm * kPointsPerMm, 1e-3) << b.index;
        EXPECT_NEAR(royal->barTop(b.index), b.topMm * kPointsPerMm, 1e-3) << b.index;
    }

    // Japan Post at size 10: start 0x31 (full, descender), '1' 0x330 (full,
    // full, tracker), stop 0x13 (descender, full).
    auto japan = SymBarcode::create<JapanPostBarcode>("1234567");
    japan->setHeight(10.0f);
    const struct {
        int index;
        float bottomMm, topMm;
    } japanBars[] = {{0, 0.0f, 3.6f}, {2, 0.0f, 2.4f}, {4, 0.0f, 3.6f}, {8, 1.2f, 2.4f}, {130, 0.0f, 2.4f},
                     {132, 0.0f, 3.6f}};
    for (const auto &b : japanBars) {
        EXPECT_NEAR(japan->barBottom(b.index), b.bottomMm * kPointsPerMm, 1e-3) << b.index;
        EXPECT_NEAR(japan->barTop(b.index), b.topMm * kPointsPerMm, 1e-3) << b.index;
    }
}

TEST(Postal, JapanPostSizeAndModuleWidthFollowEachOther)
{
    // 8.5 to 11.5 points; a size outside 8..11.5 given at creation is 10.
    auto symbol = SymBarcode::create<JapanPostBarcode>(std::string("1234567"), true, 1.0f, 8.2f, 6.0f, -1);
    EXPECT_FLOAT_EQ(symbol->height(), 8.5f);
    EXPECT_FLOAT_EQ(symbol->barWidth(), 8.5f / 6.0f);
    EXPECT_FLOAT_EQ(SymBarcode::create<JapanPostBarcode>(std::string("1234567"), true, 1.0f, 7.9f, 6.0f, -1)->height(),
                    10.0f);
    symbol->setBarWidth(2.0f);
    EXPECT_NEAR(symbol->height(), 11.5f, 1e-4);
    EXPECT_FLOAT_EQ(symbol->width(), 133 * 11.5f / 6.0f);
    EXPECT_FLOAT_EQ(symbol->barWidthAtHeight(50.0f), 11.5f / 6.0f);
}
