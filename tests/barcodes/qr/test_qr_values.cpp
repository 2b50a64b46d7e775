// QR values as the designer hands them over, read back by two readers: every
// byte of the text's UTF-8 reaches the symbol, an embedded NUL included.
#include "barcodes/qr/QRFrontEnd.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using barcodes::QRFrontEnd;
using namespace quorvant::test;

TEST(QRValues, EveryByteOfTheTextReachesTheSymbol)
{
    const QString values[] = {
        QString::fromUtf8("Grüße aus Köln"),
        QString::fromUtf8("日本語 2026"),
        QString::fromUtf8("€ 12,50"),
        QString(QStringLiteral("A") + QChar(0) + QStringLiteral("B")),
        QString(QChar(0)) + QStringLiteral("leading NUL"),
    };
    for (const QString &value : values) {
        const std::string bytes = value.toUtf8().toStdString();
        auto grid = QRFrontEnd::encodeWithECLevel(1, 0, value);
        ASSERT_TRUE(grid) << bytes;
        const QImage image = QRFrontEnd::renderModules(*grid, int(grid->dimension()) * 4);
        const Decoded zxing = decodeBarcode(image, ZXing::BarcodeFormat::QRCode);
        EXPECT_EQ(zxing.bytes, bytes);
        EXPECT_EQ(zbarDecode(image, ZbarSymbology::QrCode), bytes);
    }
}
