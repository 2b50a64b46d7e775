#include "barcodes/symbologies/SymCodabar.h"
#include "barcodes/symbologies/SymCode128.h"
#include "barcodes/symbologies/SymCode39.h"

#include <gtest/gtest.h>

using namespace barcodes;

TEST(Code39, UpperCasesAndFramesWithStars)
{
    auto symbol = SymBarcode::create<SymCode39Barcode>("code 39");
    EXPECT_EQ(symbol->content(), "CODE 39");
    EXPECT_TRUE(symbol->isContentValid());
    const std::string modules = symbol->completeBarcode();
    EXPECT_EQ(modules.size(), 9u * 13u);
    EXPECT_EQ(modules.substr(0, 13), "1001011011010");
    EXPECT_EQ(modules.substr(modules.size() - 13), "1001011011010");
    EXPECT_EQ(SymCode39Barcode::patternOf('0'), "1010011011010");
    EXPECT_EQ(symbol->checkDigit(), -1);
}

TEST(Code39, Validity)
{
    EXPECT_FALSE(SymBarcode::create<SymCode39Barcode>("AB*CD")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymCode39Barcode>("A#B")->isContentValid());
    EXPECT_TRUE(SymBarcode::create<SymCode39Barcode>("-. $/+%")->isContentValid());
}

TEST(Code39, ModuloFortyThreeCheck)
{
    auto symbol = SymBarcode::create<SymCode39Barcode>("CODE39");
    symbol->generateChecksum();
    EXPECT_EQ(symbol->checkDigit(), 'W');
    EXPECT_EQ(symbol->completeBarcode().size(), 9u * 13u);
    EXPECT_EQ(symbol->width(), 9 * 13 * symbol->barWidth());

    // Sums of 36..42 give the symbol characters.
    auto dash = SymBarcode::create<SymCode39Barcode>("Z1");  // 35 + 1
    dash->generateChecksum();
    EXPECT_EQ(dash->checkDigit(), '-');
    auto percent = SymBarcode::create<SymCode39Barcode>("Z7");  // 35 + 7
    percent->generateChecksum();
    EXPECT_EQ(percent->checkDigit(), '%');
}

TEST(Code39, FullAscii)
{
    auto symbol = SymBarcode::create<SymExtendedCode39Barcode>("a*");
    EXPECT_EQ(symbol->content(), "a*");
    EXPECT_TRUE(symbol->isContentValid());
    EXPECT_EQ(symbol->_encodeChar('a'), SymCode39Barcode::patternOf('+') + SymCode39Barcode::patternOf('A'));
    EXPECT_EQ(symbol->_encodeChar('*'), SymCode39Barcode::patternOf('/') + SymCode39Barcode::patternOf('J'));
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('$'), "/D");
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('@'), "%V");
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('_'), "%O");
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('~'), "%S");
    EXPECT_EQ(SymExtendedCode39Barcode::fullAsciiPair('\n'), "$J");
    EXPECT_FALSE(SymBarcode::create<SymExtendedCode39Barcode>("a\x01")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymExtendedCode39Barcode>(std::string("a\x7f"))->isContentValid());

    // The check is taken over the characters actually written (+A = 41 + 10).
    auto checked = SymBarcode::create<SymExtendedCode39Barcode>("a");
    checked->generateChecksum();
    EXPECT_EQ(checked->checkDigit(), '8');
    EXPECT_TRUE(checked->completeBarcode().ends_with(SymCode39Barcode::patternOf('8') +
                                                     SymCode39Barcode::patternOf('*')));
}

TEST(Code128, ChoosesTheCodeSet)
{
    using C = SymCode128Barcode;
    EXPECT_EQ(C::create("12345678", C::CodeSetAuto)->codeSet(), C::CodeSetC);
    EXPECT_EQ(C::create("Hello", C::CodeSetAuto)->codeSet(), C::CodeSetB);
    EXPECT_EQ(C::create("A\tB", C::CodeSetAuto)->codeSet(), C::CodeSetA);
    EXPECT_EQ(C::create("", C::CodeSetAuto)->codeSet(), C::CodeSetC);
    // An odd number of digits would gain a leading zero in set C.
    EXPECT_EQ(C::create("123", C::CodeSetAuto)->codeSet(), C::CodeSetB);
    // A symbol never given a set uses set A.
    EXPECT_EQ(SymBarcode::create<C>("AB")->codeSet(), C::CodeSetA);
}

TEST(Code128, CheckSymbolAndModules)
{
    using C = SymCode128Barcode;
    auto setC = C::create("1234", C::CodeSetC);
    EXPECT_EQ(setC->checkDigit(), 82);  // 105 + 12 + 2 x 34 = 185
    EXPECT_EQ(setC->completeBarcode(), "11010011100" + C::patternForValue(12) + C::patternForValue(34) +
                                           C::patternForValue(82) + "1100011101011");

    auto setB = C::create("AB", C::CodeSetB);
    EXPECT_EQ(setB->checkDigit(), 102);  // 104 + 33 + 2 x 34 = 205
    EXPECT_EQ(setB->completeBarcode(), "11010010000" + C::patternForValue(33) + C::patternForValue(34) +
                                           C::patternForValue(102) + "1100011101011");
    EXPECT_EQ(setB->completeBarcode().size(), 11u * 5 + 2);
}

TEST(Code128, ShiftedCharactersCountInTheCheck)
{
    using C = SymCode128Barcode;
    // A=33, SHIFT 98, b=66 (set B), SHIFT, c=67:
    // 103 + 33 + 2x98 + 3x66 + 4x98 + 5x67 = 1257 = 12 x 103 + 21.
    auto symbol = C::create("Abc", C::CodeSetA);
    EXPECT_TRUE(symbol->isContentValid());
    EXPECT_EQ(symbol->checkDigit(), 21);
    EXPECT_EQ(symbol->_encodeChar('b'), C::patternForValue(98) + C::patternForValue(66));
    EXPECT_EQ(symbol->_shiftCharacterForSet(C::CodeSetB), "11110100010");

    // A tab in set B is its set A value (73) after SHIFT.
    auto tab = C::create("\t", C::CodeSetB);
    EXPECT_EQ(tab->_encodeChar('\t'), C::patternForValue(98) + C::patternForValue(73));
    EXPECT_EQ(tab->checkDigit(), (104 + 98 + 2 * 73) % 103);
}

TEST(Code128, Validity)
{
    using C = SymCode128Barcode;
    EXPECT_FALSE(C::create("12a4", C::CodeSetC)->isContentValid());
    EXPECT_FALSE(C::create("12 4", C::CodeSetC)->isContentValid());
    EXPECT_TRUE(C::create("123", C::CodeSetC)->isContentValid());
    EXPECT_FALSE(C::create("A\xc3\xa9", C::CodeSetB)->isContentValid());
    EXPECT_TRUE(C::create("all ASCII \x01\x7f", C::CodeSetB)->isContentValid());
    EXPECT_FALSE(C::create("X", 7)->isContentValid());
    EXPECT_EQ(C::create("X", 7)->initiator(), "");
}

TEST(Code128, CopyKeepsTheCodeSet)
{
    using C = SymCode128Barcode;
    auto symbol = C::create("1234", C::CodeSetB);
    auto twin = symbol->copyWithZone();
    EXPECT_EQ(twin->completeBarcode(), symbol->completeBarcode());
    EXPECT_EQ(twin->checkDigit(), symbol->checkDigit());
}

TEST(Codabar, PatternsAndSeparators)
{
    auto symbol = SymBarcode::create<SymCodabarBarcode>("A1234B");
    EXPECT_TRUE(symbol->isContentValid());
    EXPECT_EQ(symbol->completeBarcode(),
              "1011001001" "0" "101011001" "0" "101001011" "0" "110010101" "0" "101101001" "0" "1001001011");
    EXPECT_EQ(symbol->_encodeChar('+'), "1011011011");
    EXPECT_EQ(symbol->_encodeChar('C'), "1010010011");
    EXPECT_EQ(symbol->_encodeChar('D'), "1010011001");
    EXPECT_EQ(symbol->checkDigit(), -1);
}

TEST(Codabar, StartAndStopOnlyAtTheEnds)
{
    EXPECT_FALSE(SymBarcode::create<SymCodabarBarcode>("a1234b")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymCodabarBarcode>("1234")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymCodabarBarcode>("A12B34C")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymCodabarBarcode>("A")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymCodabarBarcode>("A12E4B")->isContentValid());
    EXPECT_TRUE(SymBarcode::create<SymCodabarBarcode>("DC")->isContentValid());
}
