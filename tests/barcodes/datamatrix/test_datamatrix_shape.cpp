// Data Matrix symbols as a card shows them, the bitmap spread over the
// image's size in points: every rectangular size keeps square modules (the
// inked grid as wide for its height as the grid has columns for its rows),
// centred in its frame, and two readers of different code bases read each
// one back byte for byte.
#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "barcodes/imaging/ImageResolution.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;

namespace {

// The smallest rectangle holding every dark pixel; the finder pattern and
// the clock track run along the grid's four edges, so this is the grid.
QRect inkedBounds(const QImage &bitmap)
{
    const QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    QRect out;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) == 255 && qGray(row[x]) < 128)
                out |= QRect(x, y, 1, 1);
    }
    return out;
}

// `length` characters of ordinary text, one ASCII codeword each (no two
// digits side by side, which would share one).
QString textOf(int length)
{
    return QStringLiteral("Quorvant card for Jane Doe, Main Street, Springfield, Ohio; valid until May")
        .left(length);
}

} // namespace

TEST(DataMatrixShape, RectanglesKeepSquareModulesAndReadBack)
{
    struct Case {
        QString value;
        const char *format;
        const char *encoding;
        int W, H;
    };
    // Each rectangle filled to its last data codeword, one value that "Auto"
    // draws as a rectangle, and two squares.
    const Case cases[] = {
        {QString::fromUtf8("\u00c8ric \u00c7"), "Auto", "Auto", 32, 8},
        {textOf(5), "C8X18", "Ascii", 18, 8},
        {textOf(10), "C8X32", "Ascii", 32, 8},
        {textOf(16), "C12X26", "Ascii", 26, 12},
        {textOf(22), "C12X36", "Ascii", 36, 12},
        {textOf(32), "C16X36", "Ascii", 36, 16},
        {textOf(49), "C16X48", "Ascii", 48, 16},
        {QStringLiteral("123456"), "C10X10", "Auto", 10, 10},
        {textOf(40), "C24X24", "Auto", 24, 24},
    };
    // Shown at about ten pixels a module: libdmtx misses the "Auto" symbol
    // at four to six, however squarely drawn.
    struct Drawn {
        int module;
        double dpi;
        double shownDpi;
    };
    for (const Case &c : cases) {
        const std::string bytes = c.value.toUtf8().toStdString();
        for (const Drawn drawn : {Drawn{1, 600, 900}, Drawn{3, 300, 300}}) {
            const std::string where = bytes + " " + c.format + " at " + std::to_string(drawn.module) + " pt, "
                + std::to_string(int(drawn.dpi)) + " dpi";
            const DataMatrixDrawing d = Draw_DataMatrix_Barcode(c.value, c.format, c.encoding, drawn.module, drawn.dpi);
            ASSERT_FALSE(d.image.isNull()) << where;
            ASSERT_EQ(d.grid.W, c.W) << where;
            ASSERT_EQ(d.grid.H, c.H) << where;
            if (QLatin1String(c.encoding) == QLatin1String("Ascii")) {
                EXPECT_EQ(d.grid.encodedLength, d.grid.capacity) << where;
            }
            EXPECT_EQ(d.image.size(), QSizeF(c.W * drawn.module, c.H * drawn.module)) << where;

            // The bitmap keeps the page's three colours.
            const QImage &bitmap = d.image.bitmap();
            EXPECT_EQ(bitmap.colorTable(), dataMatrixPageImage(d.grid).bitmap().colorTable()) << where;

            // Measured in points, as the image is shown.
            const QRect ink = inkedBounds(bitmap);
            const double xPoints = d.image.size().width() / bitmap.width();
            const double yPoints = d.image.size().height() / bitmap.height();
            const double aspect = ink.width() * xPoints / (ink.height() * yPoints);
            EXPECT_NEAR(aspect / (double(c.W) / c.H), 1.0, 0.02) << where;
            // Centred, to a pixel.
            EXPECT_LE(std::abs(ink.left() - (bitmap.width() - 1 - ink.right())), 1) << where;
            EXPECT_LE(std::abs(ink.top() - (bitmap.height() - 1 - ink.bottom())), 1) << where;
            // A square is drawn as it always was: the page at `dpi`.
            if (c.W == c.H) {
                EXPECT_EQ(bitmap, Increase_DPI(dataMatrixPageImage(d.grid), drawn.dpi).bitmap()) << where;
            }

            const QImage shown = d.image.toBitmap(drawn.shownDpi, Qt::white, false);
            const Decoded z = decodeBarcode(shown, ZXing::BarcodeFormat::DataMatrix);
            EXPECT_FALSE(z.mirrored) << where;
            EXPECT_EQ(z.bytes, bytes) << where;
            EXPECT_EQ(dmtxDecode(shown), bytes) << where;
        }
    }
}
