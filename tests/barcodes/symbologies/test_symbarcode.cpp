#include "barcodes/symbologies/Symbologies.h"
#include "tests/barcodes/symbologies/FixedMeasurer.h"

#include <QDataStream>
#include <QIODevice>
#include <functional>
#include <gtest/gtest.h>
#include <typeinfo>

using barcodes::SymBarcode;

namespace {

std::unique_ptr<SymBarcode> plainSymbol(const std::string &content)
{
    auto symbol = SymBarcode::create<SymBarcode>(content, true);
    symbol->setTextMeasurer(std::make_shared<quorvant::test::FixedMeasurer>());
    return symbol;
}

} // namespace

TEST(SymBarcode, DefaultsAndModuleString)
{
    auto symbol = plainSymbol("AB");
    EXPECT_NE(symbol->description().find("Barcode Class: SymBarcode\n\tContent: AB"), std::string::npos);
    EXPECT_FLOAT_EQ(symbol->barWidth(), 0.936f);
    EXPECT_FLOAT_EQ(symbol->height(), 36.0f);
    EXPECT_FLOAT_EQ(symbol->caption_fontSize(), 6.0f);
    EXPECT_EQ(symbol->checkDigit(), -1);
    EXPECT_EQ(symbol->completeBarcode(), "10101010");
    EXPECT_FLOAT_EQ(symbol->width(), 8 * 0.936f);
    EXPECT_EQ(symbol->header(), "");
    EXPECT_EQ(symbol->footer(), "");
    EXPECT_TRUE(symbol->isContentValid());
    EXPECT_EQ(symbol->caption(), "AB");
    EXPECT_FLOAT_EQ(symbol->lastBar(), symbol->width() - 0.936f);
}

TEST(SymBarcode, MissingContentYieldsNoSymbol)
{
    EXPECT_EQ(SymBarcode::create<SymBarcode>(std::nullopt), nullptr);
    auto empty = SymBarcode::create<SymBarcode>(std::string());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->completeBarcode(), "");
}

TEST(SymBarcode, NonAsciiContentHasNoModules)
{
    auto symbol = plainSymbol("A\xc3\xa9");
    EXPECT_EQ(symbol->barcode(), "");
    EXPECT_FALSE(symbol->isContentValid());
    EXPECT_FALSE(barcodes::SymBarcode::create<barcodes::SymCode39Barcode>("A\xc3\xa9")->isContentValid());
}

TEST(SymBarcode, BarTopAndBottomFollowPrintSwitchesAndMargins)
{
    auto symbol = plainSymbol("AB");
    barcodes::SymbolStyle style;
    style.value_margin = 1.0f;
    style.header_margin = 2.0f;
    style.footer_margin = 3.0f;
    style.TB_margin = 0.5f;
    symbol->setStyle(style);
    symbol->setHeader("Head");
    symbol->setFooter("Foot!");
    symbol->setCaptionFontSize(6);
    symbol->setHeaderFontSize(10);
    symbol->setFooterFontSize(10);
    // Cap height 10 pt: 1.35 x 10 / 72 inch, i.e. 13.5 points of text.
    EXPECT_FLOAT_EQ(symbol->captionHeight(), 13.5f / 72.0f);
    EXPECT_FLOAT_EQ(symbol->headerWidth(), 20.0f);
    EXPECT_FLOAT_EQ(symbol->footerWidth(), 25.0f);

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

TEST(SymBarcode, CopyAndArchiveKeepTheSymbolButNotHeaderOrFooter)
{
    auto symbol = plainSymbol("XYZ");
    symbol->setHeader("header");
    symbol->setPrintsHeader(true);
    symbol->setCheckDigit('Q');
    symbol->setCaptionFontSize(8);
    symbol->setBarWidth(2.0f);
    symbol->calculateWidth();

    auto twin = symbol->copyWithZone();
    EXPECT_TRUE(twin->isEqual(*symbol));
    EXPECT_EQ(twin->checkDigit(), 'Q');
    EXPECT_FLOAT_EQ(twin->width(), 16 * 2.0f);
    EXPECT_EQ(twin->header(), "");
    EXPECT_FALSE(twin->printsHeader());

    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        symbol->encodeWithCoder(out);
    }
    QDataStream in(data);
    auto read = SymBarcode::initWithCoder<SymBarcode>(in);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->content(), "XYZ");
    EXPECT_TRUE(read->printsCaption());
    EXPECT_FLOAT_EQ(read->barWidth(), 2.0f);
    EXPECT_FLOAT_EQ(read->width(), symbol->width());
    EXPECT_FLOAT_EQ(read->height(), 36.0f);
    EXPECT_FLOAT_EQ(read->caption_fontSize(), 8.0f);
    EXPECT_FLOAT_EQ(read->captionHeight(), symbol->captionHeight());
    EXPECT_EQ(read->checkDigit(), 'Q');
    EXPECT_EQ(read->header(), "");

    QDataStream truncated(data.left(5));
    EXPECT_EQ(SymBarcode::initWithCoder<SymBarcode>(truncated), nullptr);
}

TEST(SymBarcode, EveryClassCopiesToItsOwnClass)
{
    using namespace barcodes;
    const std::vector<std::function<std::unique_ptr<SymBarcode>()>> makers = {
        [] { return SymBarcode::create<SymUPCABarcode>("03600029145"); },
        [] { return SymBarcode::create<SymUPCEBarcode>("04252614"); },
        [] { return SymBarcode::create<SymEAN13Barcode>("400638133393"); },
        [] { return SymBarcode::create<SymEAN8Barcode>("9638507"); },
        [] { return SymBarcode::create<SymCode39Barcode>("CODE39"); },
        [] { return SymBarcode::create<SymExtendedCode39Barcode>("Code39"); },
        [] { return SymCode128Barcode::create("Hello", SymCode128Barcode::CodeSetAuto); },
        [] { return SymBarcode::create<SymCodabarBarcode>("A123B"); },
        [] { return SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("1234"); },
        [] { return SymBarcode::create<SymIndustrialTwoOfFiveBarcode>("1234"); },
        [] { return SymBarcode::create<SymModifiedPlesseyBarcode>("1234"); },
        [] { return SymBarcode::create<SymModifiedPlesseyHexBarcode>("12AB"); },
        [] { return SymBarcode::create<SymPostnetBarcode>("12345"); },
        [] { return SymBarcode::create<SymPlanetBarcode>("12345"); },
        [] { return SymBarcode::create<SymRoyalMailBarcode>("SN34RD1A"); },
        [] { return SymBarcode::create<JapanPostBarcode>("1234567ABC"); },
    };
    for (const auto &make : makers) {
        auto symbol = make();
        ASSERT_NE(symbol, nullptr);
        EXPECT_TRUE(symbol->isContentValid()) << symbol->description();
        auto twin = symbol->copyWithZone();
        EXPECT_EQ(typeid(*twin), typeid(*symbol)) << symbol->description();
        EXPECT_EQ(twin->completeBarcode(), symbol->completeBarcode()) << symbol->description();
        EXPECT_FLOAT_EQ(twin->width(), symbol->width()) << symbol->description();
    }
    // Equality looks at the content only.
    EXPECT_TRUE(SymBarcode::create<SymCode39Barcode>("1234")->isEqual(
        *SymBarcode::create<SymInterleavedTwoOfFiveBarcode>("1234")));
}
