#include "barcodes/imaging/ImageResolution.h"

#include <QPainter>
#include <gtest/gtest.h>

using barcodes::Increase_DPI;
using barcodes::Resize_Image;
using platform::Image;

namespace {

// A 2 x 2 checkerboard of black and white squares, as a bitmap of 2 x 2
// pixels shown at `points`.
Image checkerboard(QSizeF points)
{
    QImage px(2, 2, QImage::Format_RGB32);
    px.setPixel(0, 0, qRgb(0, 0, 0));
    px.setPixel(1, 0, qRgb(255, 255, 255));
    px.setPixel(0, 1, qRgb(255, 255, 255));
    px.setPixel(1, 1, qRgb(0, 0, 0));
    return Image::fromBitmap(px, points);
}

// Every pixel is pure black or pure white: no smoothing took place.
bool onlyBlackAndWhite(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (c != qRgb(0, 0, 0) && c != qRgb(255, 255, 255))
                return false;
        }
    return true;
}

} // namespace

TEST(IncreaseDpi, PixelSizeIsResolutionTimesPointsRoundedUp)
{
    const struct {
        QSizeF points;
        double dpi;
        QSize pixels;
    } cases[] = {
        {{60, 60}, 600, {500, 500}},
        {{100, 100}, 600, {834, 834}}, // 833.33 rounded up
        {{10.2, 3.5}, 72, {11, 4}},    // the point size rounded up
        {{36, 36}, 10, {36, 36}},      // resolutions are clamped to 72..2400
        {{36, 36}, -300, {36, 36}},
        {{3, 3}, 100000, {100, 100}},
        {{3, 3}, std::nan(""), {3, 3}},
    };
    for (const auto &c : cases) {
        const Image out = Increase_DPI(checkerboard(c.points), c.dpi);
        EXPECT_EQ(out.bitmap().size(), c.pixels) << c.points.width() << " pt at " << c.dpi;
        EXPECT_EQ(out.size(), c.points);
    }
}

TEST(IncreaseDpi, ModulesBecomeHardBlocksOfWholePixels)
{
    const QImage bmp = Increase_DPI(checkerboard({12, 12}), 600).bitmap(); // 100 x 100 pixels
    ASSERT_EQ(bmp.size(), QSize(100, 100));
    EXPECT_TRUE(onlyBlackAndWhite(bmp));
    EXPECT_EQ(bmp.pixel(49, 49), qRgb(0, 0, 0));
    EXPECT_EQ(bmp.pixel(50, 49), qRgb(255, 255, 255));
    EXPECT_EQ(bmp.pixel(99, 99), qRgb(0, 0, 0));
    // The resolution is recorded, so the bitmap alone still knows its size.
    EXPECT_NEAR(Image::fromBitmap(bmp).size().width(), 12, 0.01);
}

TEST(IncreaseDpi, VectorSourcesAreRenderedAtTheResolution)
{
    Image vec = Image::record({20, 10}, [](QPainter &p) { p.fillRect(QRectF(0, 0, 10, 10), Qt::black); });
    Image out = Increase_DPI(vec, 144);
    ASSERT_EQ(out.bitmap().size(), QSize(40, 20));
    EXPECT_EQ(out.bitmap().pixel(5, 10), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(out.bitmap().pixel(35, 10)), 0);   // undrawn stays transparent
}

TEST(ResizeImage, SizeIsTruncatedToWholePixelsAndNothingIsNoImage)
{
    Image out = Resize_Image(checkerboard({2, 2}), QSizeF(40.9, 20.2));
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.bitmap().size(), QSize(40, 20));
    EXPECT_EQ(out.size(), QSizeF(40.9, 20.2));
    EXPECT_TRUE(onlyBlackAndWhite(out.bitmap()));
    EXPECT_EQ(out.bitmap().pixel(19, 9), qRgb(0, 0, 0));
    EXPECT_EQ(out.bitmap().pixel(20, 9), qRgb(255, 255, 255));

    EXPECT_TRUE(Resize_Image(Image(), QSizeF(10, 10)).isNull());
    EXPECT_TRUE(Resize_Image(checkerboard({2, 2}), QSizeF(0.5, 10)).isNull());
    EXPECT_TRUE(Increase_DPI(Image(), 600).isNull());
    // 100000 points at 2400 dpi would be far beyond any sane bitmap.
    EXPECT_TRUE(Increase_DPI(checkerboard({100000, 100000}), 2400).isNull());
}

// A symbol with a colour table written straight into a bitmap comes out as
// the painter draws it without smoothing: each row is the painter's own
// result, scaled or not, clear pixels leaving what was there.
TEST(WriteIndexedBitmap, MatchesThePaintersOwnDrawing)
{
    QImage mono(13, 5, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    QImage indexed(9, 7, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            if (y < 5)
                mono.setPixel(x, y, uint((x * 7 + y * 3) % 5 < 2));
            if (x < 9)
                indexed.setPixel(x, y, uint((x + 2 * y) % 3));
        }
    // A symbol inside a clear border, as a Data Matrix page.
    QImage bordered(8, 6, QImage::Format_Indexed8);
    bordered.setColorTable(indexed.colorTable());
    bordered.fill(0u);
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 7; ++x)
            bordered.setPixel(x, y, uint(1 + (x * y) % 2));
    const struct {
        const char *what;
        const QImage &source;
        QRectF area;
    } cases[] = {
        {"mono, unscaled", mono, QRectF(3, 4, 13, 5)},
        {"mono, stretched unevenly", mono, QRectF(2, 1, 61.3, 23.6)},
        {"indexed with clear, unscaled", indexed, QRectF(0, 0, 9, 7)},
        {"indexed with clear, scaled", indexed, QRectF(4.2, 3.7, 40.4, 31.1)},
        {"partly outside", indexed, QRectF(-5, 50, 33, 33)},
        {"clear border, scaled", bordered, QRectF(1.5, 2.5, 37.1, 29.9)},
        // Enlarged less than four times: runs of a source column's pixels.
        {"mono, enlarged unevenly", mono, QRectF(1.3, 2.2, 37.7, 12.4)},
        {"clear border, nearly doubled", bordered, QRectF(0.6, 0.4, 15.3, 11.7)},
    };
    for (const auto &c : cases) {
        QImage painted(70, 70, QImage::Format_ARGB32_Premultiplied);
        painted.fill(qRgb(200, 30, 90));
        QImage written = painted.copy();
        // Over one colour: whole rows are known and copied down.
        QImage overOne = painted.copy();
        {
            QPainter p(&painted);
            p.drawImage(c.area, c.source);
        }
        ASSERT_TRUE(barcodes::writeIndexedBitmap(written, c.area, c.source)) << c.what;
        EXPECT_EQ(written, painted) << c.what;
        ASSERT_TRUE(barcodes::writeIndexedBitmap(overOne, c.area, c.source, true)) << c.what;
        EXPECT_EQ(overOne, painted) << c.what << ", over one colour";
        // Into pixels not filled yet, the colour under the symbol given: the
        // pixels it names are the painter's, and no other pixel is touched.
        QImage unfilled(painted.size(), painted.format());
        for (int y = 0; y < unfilled.height(); ++y) {
            for (int x = 0; x < unfilled.width(); ++x)
                unfilled.setPixel(x, y, qRgb(x * 3, y * 3, 7));
        }
        const QImage before = unfilled.copy();
        QRect pixels;
        ASSERT_TRUE(barcodes::writeIndexedBitmapOver(unfilled, c.area, c.source, qRgb(200, 30, 90), pixels))
            << c.what;
        for (int y = 0; y < unfilled.height(); ++y) {
            for (int x = 0; x < unfilled.width(); ++x) {
                const QRgb expected = pixels.contains(x, y) ? painted.pixel(x, y) : before.pixel(x, y);
                ASSERT_EQ(unfilled.pixel(x, y), expected) << c.what << " at " << x << ", " << y;
            }
        }
    }
    // A background that is not opaque cannot stand for what is under it.
    QImage any(20, 20, QImage::Format_ARGB32_Premultiplied);
    QRect none;
    EXPECT_FALSE(barcodes::writeIndexedBitmapOver(any, QRectF(0, 0, 9, 7), indexed, qRgba(0, 0, 0, 0), none));
    // Partly transparent colours are left to the painter.
    QImage faint = indexed.copy();
    faint.setColor(0, qRgba(0, 0, 0, 128));
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::white);
    EXPECT_FALSE(barcodes::writeIndexedBitmap(target, QRectF(0, 0, 9, 7), faint));
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255));
}

// A 1-bit symbol keeps 1 bit a pixel at print resolution; its pixels are
// those of the same symbol kept a byte a pixel, at widths that end within a
// byte as well as on one.
TEST(IncreaseDpi, OneBitSymbolsSampleAsByteSymbols)
{
    QImage mono(23, 6, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < mono.height(); ++y) {
        for (int x = 0; x < mono.width(); ++x)
            mono.setPixel(x, y, uint((x * 5 + y * 3) % 7 < 3));
    }
    const QImage bytes = mono.convertToFormat(QImage::Format_Indexed8);
    for (const double dpi : {72.0, 150.0, 300.0, 333.0}) {
        const QImage one = Increase_DPI(Image::fromBitmap(mono, QSizeF(23, 6)), dpi).bitmap();
        const QImage eight = Increase_DPI(Image::fromBitmap(bytes, QSizeF(23, 6)), dpi).bitmap();
        ASSERT_EQ(one.format(), QImage::Format_Mono) << dpi;
        ASSERT_EQ(one.size(), eight.size()) << dpi;
        for (int y = 0; y < one.height(); ++y) {
            for (int x = 0; x < one.width(); ++x)
                ASSERT_EQ(one.pixel(x, y), eight.pixel(x, y)) << dpi << " at " << x << ", " << y;
            // Padding past the last pixel stays clear, so equal rows compare
            // equal byte for byte.
            const int tail = one.width() % 8;
            if (tail != 0) {
                ASSERT_EQ(one.constScanLine(y)[one.width() / 8] & (0xff >> tail), 0) << dpi;
            }
        }
    }
}

// Each pixel of a sampled bitmap is the source pixel under its centre, for
// symbols enlarged (a source pixel over more than a 64-pixel word, and runs
// that cross words) and shrunk alike, 1 bit and a byte a pixel.
TEST(IncreaseDpi, EveryPixelIsTheSourcePixelUnderItsCentre)
{
    const struct {
        QSize source;
        QSizeF points;
        double dpi;
    } cases[] = {
        {{3, 2}, {30, 4}, 2400},    // 333 pixels a source column
        {{103, 24}, {200, 60}, 300}, // a symbol as the PDF417 view shows it
        {{67, 5}, {67, 5}, 333},
        {{200, 9}, {50, 3}, 72},     // shrunk: source columns skipped
        {{129, 3}, {64.5, 3}, 144},  // exactly one for one
    };
    for (const auto &c : cases) {
        QImage mono(c.source, QImage::Format_Mono);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < mono.height(); ++y) {
            for (int x = 0; x < mono.width(); ++x)
                mono.setPixel(x, y, uint((x * 7 + y * 5 + x / 3) % 5 < 2));
        }
        for (const QImage &source : {mono, mono.convertToFormat(QImage::Format_Indexed8)}) {
            const QImage out = Increase_DPI(Image::fromBitmap(source, c.points), c.dpi).bitmap();
            ASSERT_FALSE(out.isNull());
            const int w = out.width(), h = out.height();
            for (int y = 0; y < h; ++y) {
                const int sy = std::min(source.height() - 1, int((y + 0.5) * source.height() / h));
                for (int x = 0; x < w; ++x) {
                    const int sx = std::min(source.width() - 1, int((x + 0.5) * source.width() / w));
                    ASSERT_EQ(out.pixelIndex(x, y), source.pixelIndex(sx, sy))
                        << c.source.width() << " px at " << c.dpi << " dpi, format " << source.format() << " at "
                        << x << ", " << y;
                }
            }
        }
    }
}
