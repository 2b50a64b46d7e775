// The fixed value check shows the engine's reason only when asked to.
#include "barcodes/widgets/BarcodeMessages.h"
#include "platform/Alerts.h"

#include <gtest/gtest.h>
#include <vector>

using namespace barcodes;

TEST(BarcodeMessages, ValueCheckShowsItsReasonOnlyWhenAsked)
{
    std::vector<QString> shown;
    platform::ScopedAlertResponder responder([&](const platform::AlertRequest &r) {
        shown.push_back(r.text);
        return 0;
    });
    EXPECT_FALSE(Check_And_Validat_Barcode("", false, false));
    EXPECT_TRUE(Check_And_Validat_Barcode("ok", true, false));
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(Check_And_Validat_Barcode("12", true, true, {true, true, false}));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].contains("Invalid barcode value"));
}
