#include "barcodes/qr/QRFrontEnd.h"
#include "barcodes/imaging/ImageResolution.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using barcodes::QRFrontEnd;
using quorvant::test::decodeBarcode;

namespace {

std::string decodeQR(const barcodes::DataMatrix &grid, int px = 4)
{
    QImage img = QRFrontEnd::renderModules(grid, int(grid.dimension()) * px);
    auto d = decodeBarcode(img, ZXing::BarcodeFormat::QRCode);
    EXPECT_TRUE(d.valid);
    EXPECT_FALSE(d.mirrored);
    return d.text;
}

} // namespace

TEST(QRFrontEndScan, Smoke)
{
    for (const char *text : {"HELLO WORLD", "01234567", "hello", "€", "日本", "Grüße aus Köln"}) {
        auto grid = QRFrontEnd::encodeWithECLevel(1, 0, QString::fromUtf8(text));
        ASSERT_TRUE(grid);
        EXPECT_EQ(decodeQR(*grid), text);
    }
}
