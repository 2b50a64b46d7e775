#include "drawing/ImageProcesser.h"

#include <QColor>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <limits>

namespace {

QImage noise(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba(rng.bounded(256), rng.bounded(256), rng.bounded(256), 255));
    return img;
}

QImage solid(QColor c, int w = 8, int h = 6)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

QImage process(const QImage &img, bool grey = false, bool sepia = false, bool invert = false, float hue = 0,
               float sat = 1, float brt = 0, float con = 1, int rotate = 0, float sharp = 0, float ev = 0,
               float blur = 0)
{
    return ImageProcesser::Get_Processed_Image(img, grey, sepia, invert, hue, sat, brt, con, rotate, sharp, ev,
                                               blur, 100);
}

} // namespace

TEST(ImageAdjustments, NeutralSettingsLeaveEveryPixelAndANullImageGivesNone)
{
    const QImage img = noise(31, 17);
    const QImage out = process(img);
    ASSERT_EQ(out.size(), img.size());
    EXPECT_EQ(out.convertToFormat(QImage::Format_ARGB32), img);
    EXPECT_EQ(process(img, false, false, false, 0, 1, 0, 1, 360), img) << "a full turn is no turn";
    // Transparency is not applied.
    EXPECT_EQ(ImageProcesser::Get_Processed_Image(img, false, false, false, 0, 1, 0, 1, 0, 0, 0, 0, 20), img);
    EXPECT_TRUE(process(QImage()).isNull());
}

TEST(ImageAdjustments, ColourEffects)
{
    const QImage grey = process(solid(QColor(200, 40, 90)), true);
    const QColor g = grey.pixelColor(3, 3);
    EXPECT_EQ(g.red(), g.green());
    EXPECT_EQ(g.green(), g.blue());

    const QColor inv = process(solid(QColor(200, 40, 90)), false, false, true).pixelColor(0, 0);
    EXPECT_EQ(inv, QColor(55, 215, 165));

    const QColor sep = process(solid(QColor(128, 128, 128)), false, true).pixelColor(0, 0);
    EXPECT_GT(sep.red(), sep.green());
    EXPECT_GT(sep.green(), sep.blue());

    // Half a turn of hue takes red towards cyan.
    const QColor turned = process(solid(Qt::red), false, false, false, float(M_PI)).pixelColor(0, 0);
    EXPECT_LT(turned.red(), turned.green());
    EXPECT_LT(turned.red(), turned.blue());

    const QColor desaturated = process(solid(QColor(200, 40, 90)), false, false, false, 0, 0).pixelColor(0, 0);
    EXPECT_EQ(desaturated.red(), desaturated.blue());
    EXPECT_EQ(process(solid(QColor(100, 100, 100)), false, false, false, 0, 1, 0, 0).pixelColor(0, 0),
              QColor(128, 128, 128))
        << "no contrast is mid grey";
    EXPECT_EQ(process(solid(QColor(100, 100, 100)), false, false, false, 0, 1, 0, 1, 0, 0, 1).pixelColor(0, 0),
              QColor(200, 200, 200))
        << "one stop doubles";
}

TEST(ImageAdjustments, InversionComesBeforeBrightness)
{
    // 51 inverted is 204, plus 0.2 brightness (51) is 255; the other order
    // would give 153.
    const QColor c = process(solid(QColor(51, 51, 51)), false, false, true, 0, 1, 0.2f).pixelColor(0, 0);
    EXPECT_EQ(c, QColor(255, 255, 255));
}

TEST(ImageAdjustments, BlurAndSharpenWorkOnAnEdge)
{
    QImage edge(20, 4, QImage::Format_ARGB32);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 4; ++y)
            edge.setPixelColor(x, y, x < 10 ? QColor(60, 60, 60) : QColor(190, 190, 190));
    const QImage blurred = process(edge, false, false, false, 0, 1, 0, 1, 0, 0, 0, 2);
    EXPECT_GT(qRed(blurred.pixel(9, 1)), 60);
    EXPECT_LT(qRed(blurred.pixel(10, 1)), 190);
    EXPECT_EQ(qRed(blurred.pixel(0, 1)), 60) << "far from the edge nothing changes";
    const QImage sharp = process(edge, false, false, false, 0, 1, 0, 1, 0, 1);
    EXPECT_LT(qRed(sharp.pixel(9, 1)), 60);
    EXPECT_GT(qRed(sharp.pixel(10, 1)), 190);
}

TEST(ImageAdjustments, RotationTurnsCounterClockwiseLast)
{
    QImage img = solid(Qt::white, 40, 20);
    for (int y = 0; y < 20; ++y)
        img.setPixelColor(39, y, Qt::red); // right edge red
    const QImage turned = process(img, false, false, false, 0, 1, 0, 1, 90);
    EXPECT_NEAR(turned.width(), 20, 1);
    EXPECT_NEAR(turned.height(), 40, 1);
    // Counter-clockwise: the right edge ends on top.
    const auto reddest = [&](int fromRow, int toRow) {
        int least = 255;
        for (int y = fromRow; y <= toRow; ++y)
            least = std::min(least, qGreen(turned.pixel(turned.width() / 2, y)));
        return least;
    };
    EXPECT_LT(reddest(0, 2), 128);
    EXPECT_EQ(reddest(turned.height() - 3, turned.height() - 1), 255);
}

TEST(ImageAdjustments, DamagedBlurRadiiNeitherRunAwayNorSpoilThePicture)
{
    // One white pixel at the left end of a black row.
    QImage row = solid(Qt::black, 16, 1);
    row.setPixelColor(0, 0, Qt::white);
    for (const float huge : {1e9f, std::numeric_limits<float>::infinity()}) {
        const QImage spread = process(row, false, false, false, 0, 1, 0, 1, 0, 0, 0, huge);
        ASSERT_EQ(spread.size(), row.size()) << huge;
        EXPECT_GT(qRed(spread.pixel(15, 0)), 0) << huge << ": the white reaches the far end";
        EXPECT_EQ(qAlpha(spread.pixel(15, 0)), 255) << huge;
    }
    const QImage tiny = process(row, false, false, false, 0, 1, 0, 1, 0, 0, 0, 1e-30f);
    EXPECT_EQ(tiny.convertToFormat(QImage::Format_ARGB32), row) << "a vanishing radius changes nothing";
}
