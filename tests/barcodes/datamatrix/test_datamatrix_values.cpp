// Data Matrix values with line breaks and non-ASCII text: the symbol read
// back by two readers, and the page description's comment lines intact.
#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;

TEST(DataMatrixValues, LineBreaksStayInsideTheCommentLines)
{
    const QString values[] = {
        QStringLiteral("Jane Doe\nCard 0042"),
        QStringLiteral("first\r\nsecond\rthird\n"),
        QString::fromUtf8("Grüße\naus Köln"),
    };
    for (const QString &value : values) {
        const std::string bytes = value.toUtf8().toStdString();
        const DataMatrixDrawing d = Draw_DataMatrix_Barcode(value, "Auto", "Auto", 2, 300);
        ASSERT_FALSE(d.image.isNull()) << bytes;
        // The header comments run up to %%EndComments; each of their lines is
        // a comment ("%"), the value's own lines continuing "%%BarcodeData".
        const QByteArray header = d.eps.left(d.eps.indexOf("%%EndComments"));
        for (const QByteArray &line : header.split('\n')) {
            if (!line.isEmpty()) {
                EXPECT_TRUE(line.startsWith('%')) << line.toStdString();
            }
        }
        EXPECT_EQ(header.count("%%BarcodeSize: "), 1) << bytes;
        EXPECT_TRUE(d.eps.contains("%%BarcodeSize: " + QByteArray::number(d.grid.W) + "x"));

        const QImage bitmap = d.image.bitmap();
        EXPECT_EQ(decodeBarcode(bitmap, ZXing::BarcodeFormat::DataMatrix).bytes, bytes);
        EXPECT_EQ(dmtxDecode(bitmap), bytes);
    }
}

// The largest size, chosen or picked for a long value, read back by libdmtx
// (zxing-cpp 1.4 reads no 144 x 144 symbol at all, not even its own).
TEST(DataMatrixValues, LargestSizeIsDrawnAndReadBack)
{
    struct Case {
        QString value;
        const char *format;
    };
    const Case cases[] = {
        {QStringLiteral("HELLO"), "C144X144"},
        {QStringLiteral("Card 0042 ").repeated(100), "C144X144"},
        {QString(3000, QChar('5')), "Auto"},
    };
    for (const Case &c : cases) {
        const DataMatrixDrawing d = Draw_DataMatrix_Barcode(c.value, c.format, "Auto", 1, 300);
        ASSERT_FALSE(d.image.isNull()) << c.format;
        EXPECT_EQ(d.grid.W, 144);
        EXPECT_EQ(d.grid.H, 144);
        EXPECT_EQ(dmtxDecode(d.image.bitmap()), c.value.toStdString()) << c.format;
    }
}
