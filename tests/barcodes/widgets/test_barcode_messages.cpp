// The fixed value check shows the engine's reason only when asked to.
#include "barcodes/widgets/BarcodeMessages.h"
#include "platform/Alerts.h"

#include <gtest/gtest.h>
#include <vector>

using namespace barcodes;

TEST(BarcodeValueCheck, EmptyAndNonAsciiValuesFail)
{
    std::vector<QString> shown;
    platform::ScopedAlertResponder responder([&](const platform::AlertRequest &r) {
        shown.push_back(r.text);
        return 0;
    });
    EXPECT_TRUE(Check_And_Validat_Barcode("0123", false, false));
    EXPECT_TRUE(Check_And_Validat_Barcode("line\nwith ~ and \x7f", false, false));
    EXPECT_FALSE(Check_And_Validat_Barcode("", false, false));
    EXPECT_FALSE(Check_And_Validat_Barcode(QString::fromUtf8("caf\u00e9"), false, false));
    EXPECT_TRUE(shown.empty());   // no message without show_message

    EXPECT_FALSE(Check_And_Validat_Barcode(QString::fromUtf8("\u6771\u4eac"), true, false));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].contains("Invalid barcode value"));
    EXPECT_TRUE(Check_And_Validat_Barcode("ok", true, false));
    EXPECT_EQ(shown.size(), 1u);
}

TEST(BarcodeValueCheck, SymbolCheckNeedsAValidSymbolAndAPreview)
{
    platform::ScopedAlertResponder responder([](const platform::AlertRequest &) { return 0; });
    EXPECT_TRUE(Check_And_Validat_Barcode("12", false, true, {true, true, true}));
    EXPECT_TRUE(Check_And_Validat_Barcode("12", false, true, {false, false, true}));   // no symbol to ask
    EXPECT_FALSE(Check_And_Validat_Barcode("12", false, true, {true, false, true}));
    EXPECT_FALSE(Check_And_Validat_Barcode("12", false, true, {true, true, false}));
    // Without the symbol check only the value counts.
    EXPECT_TRUE(Check_And_Validat_Barcode("12", false, false, {true, false, false}));
}
