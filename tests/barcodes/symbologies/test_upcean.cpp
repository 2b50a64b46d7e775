#include "barcodes/symbologies/SymUPCEAN.h"

#include <gtest/gtest.h>

using namespace barcodes;

namespace {

// The standard's digit tables, written out independently of the encoder.
const char *const L[] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                         "0110001", "0101111", "0111011", "0110111", "0001011"};
const char *const G[] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                         "0111001", "0000101", "0010001", "0001001", "0010111"};
const char *const R[] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                         "1001110", "1010000", "1000100", "1001000", "1110100"};

std::string join(std::initializer_list<std::string> parts)
{
    std::string s;
    for (const auto &p : parts)
        s += p;
    return s;
}

} // namespace

TEST(UPCEAN, PatternTransforms)
{
    EXPECT_EQ(swapHandedness("0001101"), "1110010");
    EXPECT_EQ(swapParity("0001101"), "0100111");
    for (int d = 0; d < 10; ++d) {
        EXPECT_EQ(swapHandedness(L[d]), R[d]);
        EXPECT_EQ(swapParity(L[d]), G[d]);
    }
}

TEST(UPCEAN, UPCAComputesAndVerifiesTheCheckDigit)
{
    auto computed = SymBarcode::create<SymUPCABarcode>("03600029145");
    EXPECT_EQ(computed->checkDigit(), '2');
    EXPECT_TRUE(computed->isContentValid());
    const std::string expected = join({"101", L[0], L[3], L[6], L[0], L[0], L[0], "01010", R[2], R[9], R[1], R[4],
                                       R[5], R[2], "101"});
    EXPECT_EQ(computed->completeBarcode(), expected);
    EXPECT_EQ(expected.size(), 95u);

    auto given = SymBarcode::create<SymUPCABarcode>("036000291452");
    EXPECT_EQ(given->content(), "03600029145");
    EXPECT_EQ(given->checkDigit(), '2');
    EXPECT_TRUE(given->isContentValid());
    EXPECT_EQ(given->completeBarcode(), expected);

    auto wrong = SymBarcode::create<SymUPCABarcode>("036000291453");
    EXPECT_FALSE(wrong->isContentValid());
    EXPECT_EQ(wrong->checkDigit(), '3');

    // Over-long or non-digit content is refused, not cut or guessed.
    EXPECT_FALSE(SymBarcode::create<SymUPCABarcode>("0360002914520")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymUPCABarcode>("0360002914A")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymUPCABarcode>("0360002914")->isContentValid());
}

TEST(UPCEAN, UPCAGeometryAndCaptions)
{
    auto symbol = SymBarcode::create<SymUPCABarcode>("03600029145");
    symbol->setBarWidth(1.0f);
    symbol->calculateWidth();
    EXPECT_FLOAT_EQ(symbol->width(), 114.0f);
    EXPECT_FLOAT_EQ(symbol->firstBar(), 11.4f);
    EXPECT_FLOAT_EQ(symbol->lastBar(), 114.0f * 0.9f - 1.0f);
    EXPECT_EQ(symbol->leftCaption(), "0");
    EXPECT_EQ(symbol->caption(), "36000\t29145");
    EXPECT_EQ(symbol->rightCaption(), "2");

    symbol->setCaptionHeight(0.25f);
    EXPECT_FLOAT_EQ(symbol->barBottom(0), 3.6f);
    EXPECT_FLOAT_EQ(symbol->barBottom(47), 3.6f);
    EXPECT_FLOAT_EQ(symbol->barBottom(94), 3.6f);
    EXPECT_FLOAT_EQ(symbol->barBottom(20), 18.0f);

    EXPECT_FLOAT_EQ(SymBarcode::create<SymUPCABarcode>("")->width(), 0.0f);
}

TEST(UPCEAN, UPCAToUPCEChecksTheSuppressedZeros)
{
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012000003455"), "123450");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012300000064"), "123063");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012340000057"), "123454");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012345000058"), "123455");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("01234500005"), "");
    // A digit that the short form would drop is not zero: no short form.
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012000103455"), "");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012300010064"), "");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012340001057"), "");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012345100058"), "");
    EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE("012345000038"), "");

    // Round trip through the long form for every rule.
    for (const char *upce : {"0123450", "0123453", "0123454", "0123455", "1987659"}) {
        const std::string upca = SymUPCEBarcode::UPCEToUPCA(upce);
        ASSERT_EQ(upca.size(), 11u);
        EXPECT_EQ(std::string(1, upce[0]) + SymUPCEBarcode::UPCAToUPCE(upca + "0"), upce);
    }
}

TEST(UPCEAN, UPCEContentForms)
{
    auto symbol = SymBarcode::create<SymUPCEBarcode>("04252614");
    EXPECT_EQ(symbol->content(), "0425261");
    EXPECT_EQ(symbol->checkDigit(), '4');
    EXPECT_TRUE(symbol->isContentValid());
    // Check 4, number system 0: even odd even even odd odd.
    const bool even[] = {true, false, true, true, false, false};
    for (int p = 1; p <= 6; ++p)
        EXPECT_EQ(symbol->parityForDigit(p), even[p - 1]) << p;
    const std::string expected = join({"101", G[4], L[2], G[5], G[2], L[6], L[1], "010101"});
    EXPECT_EQ(symbol->completeBarcode(), expected);
    EXPECT_EQ(expected.size(), 51u);
    EXPECT_EQ(symbol->leftCaption(), "0");
    EXPECT_EQ(symbol->caption(), "425261");
    EXPECT_EQ(symbol->rightCaption(), "4");

    // Number system 1 inverts the parities.
    auto one = SymBarcode::create<SymUPCEBarcode>("1425261");
    EXPECT_TRUE(one->isContentValid());
    for (int p = 1; p <= 6; ++p)
        EXPECT_EQ(one->parityForDigit(p), !SymBarcode::create<SymUPCEBarcode>("0" + std::string("425261") +
                                                                               char(one->checkDigit()))
                                                 ->parityForDigit(p));

    // Seven digits get their check from the long form.
    auto seven = SymBarcode::create<SymUPCEBarcode>("0425261");
    EXPECT_EQ(seven->checkDigit(), '4');

    // An 11-digit UPC-A number keeps its number system digit.
    auto fromUpca = SymBarcode::create<SymUPCEBarcode>("01200000345");
    EXPECT_EQ(fromUpca->content(), "0123450");
    EXPECT_TRUE(fromUpca->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymUPCEBarcode>("01200010345")->isContentValid());

    EXPECT_FALSE(SymBarcode::create<SymUPCEBarcode>("04252615")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymUPCEBarcode>("0425A614")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymUPCEBarcode>("24252614")->isContentValid());
}

TEST(UPCEAN, EAN13)
{
    auto symbol = SymBarcode::create<SymEAN13Barcode>("400638133393");
    EXPECT_EQ(symbol->checkDigit(), '1');
    EXPECT_TRUE(symbol->isContentValid());
    const bool even[] = {false, true, false, false, true, true};
    for (int p = 1; p <= 6; ++p)
        EXPECT_EQ(SymEAN13Barcode::_parityForSystemDigit('4', p), even[p - 1]);
    const std::string expected = join({"101", L[0], G[0], L[6], L[3], G[8], G[1], "01010", R[3], R[3], R[3], R[9],
                                       R[3], R[1], "101"});
    EXPECT_EQ(symbol->completeBarcode(), expected);
    EXPECT_EQ(symbol->leftCaption(), "4");
    EXPECT_EQ(symbol->caption(), "  006381\t333931");
    EXPECT_EQ(symbol->rightCaption(), "");

    EXPECT_TRUE(SymBarcode::create<SymEAN13Barcode>("4006381333931")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymEAN13Barcode>("4006381333932")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymEAN13Barcode>("40063813339310")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymEAN13Barcode>("40063813339X")->isContentValid());
}

TEST(UPCEAN, EAN8)
{
    auto symbol = SymBarcode::create<SymEAN8Barcode>("9638507");
    EXPECT_EQ(symbol->checkDigit(), '4');
    EXPECT_TRUE(symbol->isContentValid());
    const std::string expected = join({"101", L[9], L[6], L[3], L[8], "01010", R[5], R[0], R[7], R[4], "101"});
    EXPECT_EQ(symbol->completeBarcode(), expected);
    EXPECT_EQ(expected.size(), 67u);
    EXPECT_EQ(symbol->leftCaption(), "");
    EXPECT_EQ(symbol->caption(), " 9638\t5074");
    EXPECT_EQ(symbol->rightCaption(), "");

    auto given = SymBarcode::create<SymEAN8Barcode>("96385074");
    EXPECT_EQ(given->content(), "9638507");
    EXPECT_EQ(given->checkDigit(), '4');
    EXPECT_TRUE(given->isContentValid());

    EXPECT_FALSE(SymBarcode::create<SymEAN8Barcode>("96385075")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymEAN8Barcode>("963850A")->isContentValid());
    EXPECT_FALSE(SymBarcode::create<SymEAN8Barcode>("963850")->isContentValid());
}
