// What the symbols answer besides their module strings (which the reader
// checks in test_decode.cpp): validity, check characters the reader does not
// verify, the content as printed, bar geometry, copies and archives, and the
// patterns of the symbologies no reader here knows.

#include "barcodes/symbologies/Symbologies.h"
#include "tests/barcodes/symbologies/FixedMeasurer.h"

#include <QDataStream>
#include <QIODevice>
#include <functional>
#include <gtest/gtest.h>
#include <typeinfo>

using namespace barcodes;

namespace {

using Maker = std::function<std::unique_ptr<SymBarcode>(const std::string &)>;

template <class T>
Maker make()
{
    return [](const std::string &value) { return SymBarcode::create<T>(value); };
}

Maker code128(int set)
{
    return [set](const std::string &value) { return SymCode128Barcode::create(value, set); };
}

// MSI modulo 10, written as the usual Luhn walk from the right.
char luhnCheck(const std::string &digits)
{
    int sum = 0;
    bool doubled = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, doubled = !doubled) {
        const int d = *it - '0';
        sum += doubled ? (d * 2 > 9 ? d * 2 - 9 : d * 2) : d;
    }
    return char('0' + (10 - sum % 10) % 10);
}

} // namespace

TEST(Symbols, ContentThatCannotBeWrittenIsInvalid)
{
    using C = SymCode128Barcode;
    const struct {
        Maker make;
        std::string value;
        bool valid;
    } cases[] = {
        {make<SymBarcode>(), "A\xc3\xa9", false}, // not ASCII
        // UPC and EAN: a wrong check digit, a length or a character too many.
        {make<SymUPCABarcode>(), "036000291452", true},  {make<SymUPCABarcode>(), "036000291453", false},
        {make<SymUPCABarcode>(), "0360002914520", false}, {make<SymUPCABarcode>(), "0360002914A", false},
        {make<SymUPCEBarcode>(), "04252615", false},     {make<SymUPCEBarcode>(), "24252614", false},
        {make<SymUPCEBarcode>(), "01200010345", false},  // no zero-suppressed form
        {make<SymEAN13Barcode>(), "4006381333932", false}, {make<SymEAN13Barcode>(), "40063813339X", false},
        {make<SymEAN8Barcode>(), "96385075", false},     {make<SymEAN8Barcode>(), "963850", false},
        {make<SymCode39Barcode>(), "-. $/+%", true},     {make<SymCode39Barcode>(), "AB*CD", false},
        {make<SymCode39Barcode>(), "A#B", false},        {make<SymExtendedCode39Barcode>(), "a\xe9", false},
        {code128(C::CodeSetC), "123", true},             {code128(C::CodeSetC), "12a4", false},
        {code128(C::CodeSetB), "all ASCII \x01\x7f", true}, {code128(C::CodeSetB), "A\xc3\xa9", false},
        {code128(7), "X", false}, // no such code set
        // Codabar: start and stop characters A to D, at the ends only.
        {make<SymCodabarBarcode>(), "DC", true},         {make<SymCodabarBarcode>(), "a1234b", false},
        {make<SymCodabarBarcode>(), "1234", false},      {make<SymCodabarBarcode>(), "A12B34C", false},
        {make<SymCodabarBarcode>(), "A12E4B", false},    {make<SymInterleavedTwoOfFiveBarcode>(), "12A4", false},
        {make<SymModifiedPlesseyBarcode>(), "12A", false}, {make<SymModifiedPlesseyHexBarcode>(), "1G", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.make(c.value)->isContentValid(), c.valid) << c.value;
    EXPECT_EQ(SymBarcode::create<SymBarcode>(std::nullopt), nullptr);
}

TEST(Symbols, CheckCharactersNoReaderVerifies)
{
    // Code 39 modulo 43 (sums of 36..42 give the symbol characters),
    // interleaved 2 of 5 modulo 10 weighted 3, 1, ... from the right,
    // Plessey's hexadecimal form.
    const struct {
        Maker make;
        std::string value;
        char check;
    } cases[] = {
        {make<SymCode39Barcode>(), "CODE39", 'W'},    {make<SymCode39Barcode>(), "Z1", '-'},
        {make<SymCode39Barcode>(), "Z7", '%'},        {make<SymInterleavedTwoOfFiveBarcode>(), "1234567", '0'},
        {make<SymInterleavedTwoOfFiveBarcode>(), "55", '0'}, {make<SymModifiedPlesseyHexBarcode>(), "1a", '9'},
    };
    for (const auto &c : cases) {
        auto symbol = c.make(c.value);
        symbol->generateChecksum();
        EXPECT_EQ(symbol->checkDigit(), c.check) << c.value;
    }
    // Plessey's check stays exact however long the number.
    for (const std::string value : {"1234567", "99999999999999999999", "12345678901234567890123456789", "0"})
        EXPECT_EQ(SymBarcode::create<SymModifiedPlesseyBarcode>(value)->checkDigit(), luhnCheck(value)) << value;
}

TEST(Symbols, ContentAndCaptionsAsPrinted)
{
    const struct {
        Maker make;
        std::string value, content, left, caption, right;
    } cases[] = {
        {make<SymUPCABarcode>(), "036000291452", "03600029145", "0", "36000\t29145", "2"},
        {make<SymUPCEBarcode>(), "04252614", "0425261", "0", "425261", "4"},
        {make<SymUPCEBarcode>(), "01200000345", "0123450", "0", "123450", "5"},
        {make<SymEAN13Barcode>(), "400638133393", "400638133393", "4", "  006381\t333931", ""},
        {make<SymEAN8Barcode>(), "96385074", "9638507", "", " 9638\t5074", ""},
        {make<SymCode39Barcode>(), "code 39", "CODE 39", "", "CODE 39", ""},
        {make<SymExtendedCode39Barcode>(), "a*", "a*", "", "a*", ""},
        {make<SymModifiedPlesseyHexBarcode>(), "1a", "1A", "", "1A", ""},
    };
    for (const auto &c : cases) {
        const auto symbol = c.make(c.value);
        EXPECT_EQ(symbol->content(), c.content) << c.value;
        EXPECT_EQ(symbol->leftCaption() + "|" + symbol->caption() + "|" + symbol->rightCaption(),
                  c.left + "|" + c.caption + "|" + c.right)
            << c.value;
    }
}

TEST(Symbols, UPCAToUPCEKeepsOnlyZerosThatCanBeDropped)
{
    const struct {
        const char *upca, *upce;
    } cases[] = {
        {"012000003455", "123450"}, {"012300000064", "123063"}, {"012340000057", "123454"},
        {"012345000058", "123455"}, {"01234500005", ""},        {"012000103455", ""},
        {"012300010064", ""},       {"012340001057", ""},       {"012345100058", ""},
        {"012345000038", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SymUPCEBarcode::UPCAToUPCE(c.upca), c.upce) << c.upca;
    for (const char *upce : {"0123450", "0123453", "0123454", "0123455", "1987659"}) {
        const std::string upca = SymUPCEBarcode::UPCEToUPCA(upce);
        EXPECT_EQ(std::string(1, upce[0]) + SymUPCEBarcode::UPCAToUPCE(upca + "0"), upce);
    }
}

TEST(Symbols, Code128ChoosesTheShortestCodeSet)
{
    using C = SymCode128Barcode;
    EXPECT_EQ(C::create("12345678", C::CodeSetAuto)->codeSet(), C::CodeSetC);
    EXPECT_EQ(C::create("Hello", C::CodeSetAuto)->codeSet(), C::CodeSetB);
    EXPECT_EQ(C::create("A\tB", C::CodeSetAuto)->codeSet(), C::CodeSetA);
    // An odd number of digits is no shorter in set C.
    EXPECT_EQ(C::create("123", C::CodeSetAuto)->codeSet(), C::CodeSetB);
}

TEST(Symbols, PatternsOfSymbologiesNoReaderKnows)
{
    // Industrial 2 of 5: bars only, wide 3 modules, narrow 1, space 1; its
    // own start and stop.
    EXPECT_EQ(SymBarcode::create<SymIndustrialTwoOfFiveBarcode>("1")->completeBarcode(),
              "1110111010" "1110" "10" "10" "10" "1110" "111010111");
    // Modified Plessey: start, '1', 'A', the check '9', stop; bits most
    // significant first.
    EXPECT_EQ(SymBarcode::create<SymModifiedPlesseyHexBarcode>("1A")->completeBarcode(),
              "110" "100100100110" "110100110100" "110100100110" "1001");
}

TEST(Symbols, RetailGeometryLeavesQuietZonesAndLongGuardBars)
{
    auto symbol = SymBarcode::create<SymUPCABarcode>("03600029145");
    symbol->setBarWidth(1.0f);
    symbol->calculateWidth();
    // 95 modules and 10 % of the width either side.
    EXPECT_FLOAT_EQ(symbol->width(), 114.0f);
    EXPECT_FLOAT_EQ(symbol->firstBar(), 11.4f);
    EXPECT_FLOAT_EQ(symbol->lastBar(), 114.0f * 0.9f - 1.0f);
    symbol->setCaptionHeight(0.25f);
    for (int guard : {0, 47, 94})
        EXPECT_FLOAT_EQ(symbol->barBottom(guard), 3.6f) << guard;
    EXPECT_FLOAT_EQ(symbol->barBottom(20), 18.0f); // digits stand on the caption
    EXPECT_FLOAT_EQ(SymBarcode::create<SymUPCABarcode>("")->width(), 0.0f);
}

TEST(Symbols, BarsLeaveRoomForPrintedTextsAndTheirMargins)
{
    auto symbol = SymBarcode::create<SymBarcode>(std::string("AB"));
    symbol->setTextMeasurer(std::make_shared<quorvant::test::FixedMeasurer>());
    SymbolStyle style;
    style.value_margin = 1.0f, style.header_margin = 2.0f;
    style.footer_margin = 3.0f, style.TB_margin = 0.5f;
    symbol->setStyle(style);
    symbol->setHeader("Head");
    symbol->setCaptionFontSize(6);
    symbol->setHeaderFontSize(10);
    symbol->setFooterFontSize(10);
    // Capitals of 10 points: 1.35 x 10 / 72 inch, 13.5 points of text.
    EXPECT_FLOAT_EQ(symbol->captionHeight(), 13.5f / 72.0f);
    // With the 2 points of letter spacing the line is drawn with.
    EXPECT_FLOAT_EQ(symbol->headerWidth(), 28.0f);
    symbol->setHeight(100);
    symbol->setPrintsCaption(false);
    EXPECT_FLOAT_EQ(symbol->barTop(3), 99.0f);
    EXPECT_FLOAT_EQ(symbol->barBottom(3), 0.0f);
    symbol->setPrintsCaption(true);
    symbol->setPrintsHeader(true);
    symbol->setPrintsFooter(true);
    EXPECT_NEAR(symbol->barTop(0), 100 - 13.5 - 1 - 13.5 - 2 - 13.5 - 3 - 1, 1e-4);
    EXPECT_NEAR(symbol->barBottom(0), 3 * 13.5, 1e-4);
}

TEST(Symbols, CopiesKeepTheirClassAndArchivesReadBack)
{
    using C = SymCode128Barcode;
    const std::vector<std::function<std::unique_ptr<SymBarcode>()>> makers = {
        [] { return SymBarcode::create<SymUPCEBarcode>("04252614"); },
        [] { return SymBarcode::create<SymEAN8Barcode>("9638507"); },
        [] { return SymBarcode::create<SymExtendedCode39Barcode>("Code39"); },
        [] { return C::create("1234", C::CodeSetB); }, // not the set Auto would choose
        [] { return SymBarcode::create<SymModifiedPlesseyHexBarcode>("12AB"); },
        [] { return SymBarcode::create<SymPlanetBarcode>("12345"); },
        [] { return SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A"); },
        [] { return SymBarcode::create<JapanPostBarcode>("1234567890123456789A"); },
    };
    for (const auto &makeOne : makers) {
        const auto symbol = makeOne();
        const auto twin = symbol->copyWithZone();
        const auto &copied = *twin, &original = *symbol;
        EXPECT_EQ(typeid(copied), typeid(original)) << symbol->description();
        EXPECT_EQ(twin->completeBarcode(), symbol->completeBarcode()) << symbol->description();
        EXPECT_FLOAT_EQ(twin->width(), symbol->width()) << symbol->description();
    }

    // An archive read back archives the same; a cut one reads as none.
    auto symbol = SymBarcode::create<SymBarcode>(std::string("XYZ"));
    symbol->setCheckDigit('Q');
    symbol->setBarWidth(2.0f);
    symbol->calculateWidth();
    auto archive = [](const SymBarcode &s) {
        QByteArray data;
        QDataStream out(&data, QIODevice::WriteOnly);
        s.encodeWithCoder(out);
        return data;
    };
    const QByteArray data = archive(*symbol);
    QDataStream in(data);
    const auto read = SymBarcode::initWithCoder<SymBarcode>(in);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(archive(*read), data);
    QDataStream truncated(data.left(5));
    EXPECT_EQ(SymBarcode::initWithCoder<SymBarcode>(truncated), nullptr);
}

TEST(Symbols, KeptModuleStringFollowsEveryChangeOfWhatItIsMadeFrom)
{
    // The string is kept between calls; each change of content, check
    // character or code set must give the string a fresh symbol gives.
    auto code128 = SymCode128Barcode::create("123456", SymCode128Barcode::CodeSetAuto);
    const std::string inC = code128->completeBarcode();
    code128->setCodeSet(SymCode128Barcode::CodeSetB);
    code128->generateChecksum();
    EXPECT_NE(code128->completeBarcode(), inC);
    EXPECT_EQ(code128->completeBarcode(),
              SymCode128Barcode::create("123456", SymCode128Barcode::CodeSetB)->completeBarcode());

    auto code39 = SymBarcode::create<SymCode39Barcode>("ABC");
    const std::string plain = code39->completeBarcode();
    code39->generateChecksum();
    EXPECT_GT(code39->completeBarcode().size(), plain.size());
    code39->setCheckDigit(-1);
    EXPECT_EQ(code39->completeBarcode(), plain);
    code39->setContent("XYZ");
    EXPECT_EQ(code39->completeBarcode(), SymBarcode::create<SymCode39Barcode>("XYZ")->completeBarcode());
}
