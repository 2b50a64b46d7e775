#include "barcodes/imaging/BarcodeValueCheck.h"

#include <gtest/gtest.h>

using namespace barcodes;

TEST(BarcodeValueCheck, LinearValuesAsciiTwoDimensionalAnyTextAndUsablePreviews)
{
    const struct {
        QString value;
        bool checkSymbol;
        BarcodeSymbolState symbol;
        bool usable;
    } cases[] = {
        {"0123", false, {}, true},
        {"line\nwith ~ and \x7f", false, {}, true},
        {"", false, {}, false},
        {QString::fromUtf8("caf\u00e9"), false, {}, false},
        {"12", true, {true, true, true}, true},
        {"12", true, {false, false, true}, true}, // no symbol to ask
        {"12", true, {true, false, true}, false}, // an invalid symbol
        {"12", true, {true, true, false}, false}, // no preview image
        {"12", false, {true, false, false}, true}, // without the symbol check only the value counts
        // The 2-D encoders take any text as UTF-8 (their suites read it back).
        {QString::fromUtf8("caf\u00e9"), false, {false, true, false, true}, true},
        {QString::fromUtf8("\u65e5\u672c \u20ac"), true, {false, true, true, true}, true},
        {"", false, {false, true, false, true}, false},
    };
    for (const auto &c : cases) {
        const auto problem = barcodeValueProblem(c.value, c.checkSymbol, c.symbol);
        EXPECT_EQ(problem, c.usable ? std::nullopt : std::optional(QStringLiteral("Invalid barcode value")))
            << c.value.toStdString();
    }
}
