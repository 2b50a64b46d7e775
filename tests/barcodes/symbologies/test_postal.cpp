#include "barcodes/symbologies/SymPostal.h"

#include <gtest/gtest.h>

using namespace barcodes;

namespace {

constexpr float kPointsPerMm = 72.0f / 25.4f;

} // namespace

TEST(Postnet, CheckWidthAndBarHeights)
{
    auto symbol = SymBarcode::create<SymPostnetBarcode>("12345");
    EXPECT_EQ(symbol->checkDigit(), '5');
    EXPECT_TRUE(symbol->isContentValid());
    EXPECT_EQ(symbol->completeBarcode().size(), 94u);
    EXPECT_NEAR(symbol->width(), 101.52f, 1e-3);
    EXPECT_FLOAT_EQ(symbol->height(), 9.0f);
    EXPECT_FLOAT_EQ(symbol->barTop(0), 9.0f);
    EXPECT_FLOAT_EQ(symbol->barTop(93), 9.0f);
    // Digit 1: half, half, half, full, full.
    const float expected[] = {3.6f, 3.6f, 3.6f, 9.0f, 9.0f};
    for (int bar = 0; bar < 5; ++bar)
        EXPECT_FLOAT_EQ(symbol->barTop(3 + 3 * bar), expected[bar]) << bar;
    // Check digit 5: bars 2 and 4 full.
    EXPECT_FLOAT_EQ(symbol->barTop(3 + 75 + 3), 9.0f);
    EXPECT_FLOAT_EQ(symbol->barTop(3 + 75), 3.6f);

    auto planet = SymBarcode::create<SymPlanetBarcode>("12345");
    EXPECT_EQ(planet->completeBarcode(), symbol->completeBarcode());
    for (int bar = 0; bar < 5; ++bar)
        EXPECT_FLOAT_EQ(planet->barTop(3 + 3 * bar), expected[bar] == 9.0f ? 3.6f : 9.0f) << bar;
}

TEST(Postnet, Validity)
{
    for (const char *ok : {"12345", "123456789", "12345678901"})
        EXPECT_TRUE(SymBarcode::create<SymPostnetBarcode>(ok)->isContentValid()) << ok;
    for (const char *bad : {"123456", "12345-6789", "1234", "1234A"})
        EXPECT_FALSE(SymBarcode::create<SymPlanetBarcode>(bad)->isContentValid()) << bad;
}

TEST(RoyalMail, CheckAndBars)
{
    auto symbol = SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A", true);
    EXPECT_EQ(symbol->checkDigit(), 'K');
    EXPECT_EQ(symbol->completeBarcode().size(), 75u);
    EXPECT_TRUE(symbol->printsCaption());
    EXPECT_NEAR(symbol->barWidth(), 0.5f * kPointsPerMm, 1e-4);
    EXPECT_NEAR(symbol->height(), 5.05f * kPointsPerMm, 1e-4);

    EXPECT_EQ(royalmail_characterDescriptor('0'), 0x0033);
    EXPECT_EQ(royalmail_characterDescriptor('Z'), 0x3300);
    EXPECT_EQ(royalmail_characterDescriptor('#'), 0);
    // Start: an ascender. Stop: a full bar.
    EXPECT_NEAR(symbol->barTop(0), 5.05f * kPointsPerMm, 1e-4);
    EXPECT_NEAR(symbol->barBottom(0), 1.9f * kPointsPerMm, 1e-4);
    EXPECT_NEAR(symbol->barTop(74), 5.05f * kPointsPerMm, 1e-4);
    EXPECT_FLOAT_EQ(symbol->barBottom(74), 0.0f);
    // 'S' (row 5, column 5): ascenders 1010, descenders 1010 -> full, tracker, full, tracker.
    EXPECT_EQ(symbol->_barDescriptor(2), 3);
    EXPECT_EQ(symbol->_barDescriptor(4), 0);
    EXPECT_NEAR(symbol->barTop(4), 3.15f * kPointsPerMm, 1e-4);
    EXPECT_NEAR(symbol->barBottom(4), 1.9f * kPointsPerMm, 1e-4);
}

TEST(RoyalMail, UpperCasesAndRefusesOtherCharacters)
{
    auto lower = SymBarcode::create<SymRoyalMailBarcode>("sn34rd1a");
    EXPECT_EQ(lower->content(), "SN34RD1A");
    EXPECT_EQ(lower->checkDigit(), 'K');
    EXPECT_TRUE(lower->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymRoyalMailBarcode>("SN34 RD1A")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymRoyalMailBarcode>("SN3-4")->isContentValid());
}

TEST(JapanPost, BodyAndCheck)
{
    auto symbol = SymBarcode::create<JapanPostBarcode>("1234567");
    EXPECT_EQ(symbol->japanpostContents(), "1234567=============");
    EXPECT_EQ(symbol->checkDigit(), '/');
    EXPECT_TRUE(symbol->isContentValid());
    EXPECT_EQ(symbol->completeBarcode().size(), 133u);
    EXPECT_FLOAT_EQ(symbol->height(), 10.0f);

    auto letters = SymBarcode::create<JapanPostBarcode>("1234567abc");
    EXPECT_EQ(letters->japanpostContents(), "1234567:0:1:2=======");
    EXPECT_EQ(letters->content(), "1234567ABC");
    EXPECT_EQ(letters->caption(), "1234567ABC");
    EXPECT_EQ(letters->checkDigit(), '9');

    EXPECT_FALSE(SymBarcode::create<JapanPostBarcode>("263-0023")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<JapanPostBarcode>("12345")->isContentValid());
}

TEST(JapanPost, LongContentKeepsLettersWhole)
{
    // Nineteen digits leave room for only half of the letter's two codes.
    auto symbol = SymBarcode::create<JapanPostBarcode>("1234567890123456789A");
    EXPECT_EQ(symbol->japanpostContents(), "1234567890123456789=");
    EXPECT_EQ(symbol->content(), "1234567890123456789");

    auto cut = SymBarcode::create<JapanPostBarcode>("1234567-8901234567890");
    EXPECT_EQ(cut->japanpostContents(), "1234567-890123456789");
    EXPECT_EQ(cut->content(), "1234567-890123456789");

    auto copy = symbol->copyWithZone();
    EXPECT_EQ(static_cast<JapanPostBarcode &>(*copy).japanpostContents(), symbol->japanpostContents());
}

TEST(JapanPost, SizeAndBars)
{
    auto symbol = SymBarcode::create<JapanPostBarcode>(std::string("1234567"), true, 1.0f, 8.2f, 6.0f, -1);
    EXPECT_FLOAT_EQ(symbol->height(), 8.5f);
    EXPECT_FLOAT_EQ(SymBarcode::create<JapanPostBarcode>(std::string("1234567"), true, 1.0f, 7.9f, 6.0f, -1)->height(),
                    10.0f);
    EXPECT_FLOAT_EQ(symbol->barWidth(), 8.5f / 6.0f);
    symbol->setBarWidth(2.0f);
    EXPECT_FLOAT_EQ(symbol->barWidth(), 1.9166666f);
    EXPECT_NEAR(symbol->height(), 11.5f, 1e-4);
    EXPECT_FLOAT_EQ(symbol->width(), 133 * symbol->barWidth());

    symbol->setHeight(10.0f);
    // Start code 0x31: a full bar, then a descender.
    EXPECT_NEAR(symbol->barTop(0), 3.6f * kPointsPerMm, 1e-3);
    EXPECT_FLOAT_EQ(symbol->barBottom(0), 0.0f);
    EXPECT_NEAR(symbol->barTop(2), 2.4f * kPointsPerMm, 1e-3);
    EXPECT_FLOAT_EQ(symbol->barBottom(2), 0.0f);
    // '1' is 0x330: full, full, tracker.
    EXPECT_EQ(symbol->_barDescriptor(4), 3);
    EXPECT_EQ(symbol->_barDescriptor(8), 0);
    EXPECT_NEAR(symbol->barBottom(8), 1.2f * kPointsPerMm, 1e-3);
    // Stop code 0x13: a descender, then a full bar.
    EXPECT_EQ(symbol->_barDescriptor(130), 1);
    EXPECT_EQ(symbol->_barDescriptor(132), 3);
}
