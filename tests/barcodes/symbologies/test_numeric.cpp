#include "barcodes/symbologies/SymPlessey.h"
#include "barcodes/symbologies/SymTwoOfFive.h"

#include <gtest/gtest.h>

using namespace barcodes;

TEST(TwoOfFive, InterleavedPairs)
{
    auto symbol = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("1234");
    EXPECT_TRUE(symbol->isContentValid());
    // 1 (WNNNW) as bars with 2 (NWNNW) as spaces, then 3 (WWNNN) with 4 (NNWNW).
    EXPECT_EQ(symbol->completeBarcode(), "1010" "111010001010111000" "111011101000101000" "11101");
    EXPECT_EQ(symbol->completeBarcode().size(), 45u);

    auto odd = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("123");
    auto padded = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("0123");
    EXPECT_EQ(odd->completeBarcode(), padded->completeBarcode());

    EXPECT_FALSE(SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("12A4")->isContentValid());
    EXPECT_TRUE(SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("")->isContentValid());
}

TEST(TwoOfFive, CheckDigit)
{
    auto symbol = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("1234567");
    EXPECT_EQ(symbol->checkDigit(), -1);
    symbol->generateChecksum();
    EXPECT_EQ(symbol->checkDigit(), '8');
    // Content and check make eight digits: no padding.
    EXPECT_EQ(symbol->completeBarcode().size(), 4u + 4 * 18 + 5);

    auto round = SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("55");  // 15 + 5
    round->generateChecksum();
    EXPECT_EQ(round->checkDigit(), '0');
}

TEST(TwoOfFive, Industrial)
{
    auto symbol = SymBarcode::create<SymIndustrialTwoOfFiveBarcode>("1");
    EXPECT_EQ(symbol->completeBarcode(), "1010" "11100" "100" "100" "100" "11100" "11101");
    EXPECT_EQ(SymBarcode::create<SymIndustrialTwoOfFiveBarcode>("123")->completeBarcode().size(), 4u + 3 * 19 + 5);
}

namespace {

// MSI modulo 10, written as the usual Luhn walk from the right.
char luhnCheck(const std::string &digits)
{
    int sum = 0;
    bool doubled = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, doubled = !doubled) {
        int d = *it - '0';
        if (doubled)
            d = d * 2 > 9 ? d * 2 - 9 : d * 2;
        sum += d;
    }
    return char('0' + (10 - sum % 10) % 10);
}

} // namespace

TEST(Plessey, CheckAndModules)
{
    auto symbol = SymBarcode::create<SymModifiedPlesseyBarcode>("1234567");
    EXPECT_EQ(symbol->checkDigit(), '4');
    EXPECT_EQ(symbol->completeBarcode().size(), 16u + 16 * 8 + 19);
    EXPECT_EQ(symbol->_encodeChar('1'), "1110100010001000");
    EXPECT_EQ(symbol->initiator(), "1110111010001110");
    EXPECT_EQ(symbol->terminator(), "1111000100011101110");
    EXPECT_TRUE(symbol->completeBarcode().starts_with("1110111010001110" "1110100010001000"));
    EXPECT_FALSE(SymBarcode::create<SymModifiedPlesseyBarcode>("12A")->isContentValid());
}

TEST(Plessey, LongContentKeepsAnExactCheck)
{
    for (const std::string value : {"1234567", "99999999999999999999", "12345678901234567890123456789",
                                    "80523", "0", "5"}) {
        auto symbol = SymBarcode::create<SymModifiedPlesseyBarcode>(value);
        EXPECT_EQ(symbol->checkDigit(), luhnCheck(value)) << value;
    }
}

TEST(Plessey, Hexadecimal)
{
    auto symbol = SymBarcode::create<SymModifiedPlesseyHexBarcode>("1a");
    EXPECT_EQ(symbol->content(), "1A");
    EXPECT_TRUE(symbol->isContentValid());
    EXPECT_EQ(symbol->_encodeChar('A'), "1000111010001110");
    // The letter ends the doubled number; '1' adds 1: check 9.
    EXPECT_EQ(symbol->checkDigit(), '9');
    EXPECT_EQ(symbol->completeBarcode(),
              "1110111010001110" "1110100010001000" "1000111010001110" "1110100010001110" "1111000100011101110");
    EXPECT_FALSE(SymBarcode::create<SymModifiedPlesseyHexBarcode>("1G")->isContentValid());
}
