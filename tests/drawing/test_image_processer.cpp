#include "drawing/ImageProcesser.h"

#include <QColor>
#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <limits>

namespace {

// The adjustments, neutral unless a test names them.
using Adjust = drawing::PhotoAdjustments;

QImage process(const QImage &img, const Adjust &a = {})
{
    return ImageProcesser::Get_Processed_Image(img, a);
}

QImage solid(QColor c, int w = 8, int h = 6)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

QColor processed(QColor c, const Adjust &a)
{
    return process(solid(c), a).pixelColor(0, 0);
}

} // namespace

TEST(ImageAdjustments, NeutralSettingsLeaveEveryPixelAndANullImageGivesNone)
{
    QImage img(31, 17, QImage::Format_ARGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgba(rng.bounded(256), rng.bounded(256), rng.bounded(256), 255));
    EXPECT_EQ(process(img).convertToFormat(QImage::Format_ARGB32), img);
    EXPECT_EQ(process(img, {.rotate = 360}), img) << "a full turn is no turn";
    EXPECT_EQ(process(img, {.transparency = 20}), img) << "transparency is not applied";
    EXPECT_TRUE(process(QImage()).isNull());
}

TEST(ImageAdjustments, ColourEffectsWithWorkedValues)
{
    struct Row {
        const char *what;
        QColor in;
        Adjust adjust;
        QColor out;
    } const rows[] = {
        {"inversion is 255 minus each channel", {200, 40, 90}, {.invert = true}, {55, 215, 165}},
        {"no contrast is mid grey", {100, 100, 100}, {.contrast = 0}, {128, 128, 128}},
        {"one stop of exposure doubles", {100, 100, 100}, {.exposure = 1}, {200, 200, 200}},
        // 51 inverted is 204, plus 0.2 brightness (51) is 255; the other order would give 153.
        {"inversion comes before brightness", {51, 51, 51}, {.brightness = 0.2f, .invert = true}, {255, 255, 255}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(processed(row.in, row.adjust), row.out) << row.what;

    const QColor grey = processed({200, 40, 90}, {.grayScale = true});
    EXPECT_TRUE(grey.red() == grey.green() && grey.green() == grey.blue());
    const QColor sepia = processed({128, 128, 128}, {.sepia = true});
    EXPECT_TRUE(sepia.red() > sepia.green() && sepia.green() > sepia.blue()) << "sepia is a warm brown";
    const QColor turned = processed(Qt::red, {.hue = float(M_PI)});
    EXPECT_TRUE(turned.red() < turned.green() && turned.red() < turned.blue()) << "half a turn takes red to cyan";
    const QColor desaturated = processed({200, 40, 90}, {.saturation = 0});
    EXPECT_EQ(desaturated.red(), desaturated.blue());
}

TEST(ImageAdjustments, BlurAndSharpenWorkOnAnEdge)
{
    QImage edge(20, 4, QImage::Format_ARGB32);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 4; ++y)
            edge.setPixelColor(x, y, x < 10 ? QColor(60, 60, 60) : QColor(190, 190, 190));
    const QImage blurred = process(edge, {.blur = 2});
    EXPECT_GT(qRed(blurred.pixel(9, 1)), 60);
    EXPECT_LT(qRed(blurred.pixel(10, 1)), 190);
    EXPECT_EQ(qRed(blurred.pixel(0, 1)), 60) << "far from the edge nothing changes";
    const QImage sharp = process(edge, {.sharpness = 1});
    EXPECT_LT(qRed(sharp.pixel(9, 1)), 60);
    EXPECT_GT(qRed(sharp.pixel(10, 1)), 190);
}

TEST(ImageAdjustments, RotationTurnsCounterClockwiseLast)
{
    QImage img = solid(Qt::white, 40, 20);
    QPainter(&img).fillRect(30, 0, 10, 20, Qt::red); // the right quarter
    const QImage turned = process(img, {.rotate = 90});
    EXPECT_NEAR(turned.width(), 20, 1);
    EXPECT_NEAR(turned.height(), 40, 1);
    // Counter-clockwise: the right edge ends on top.
    EXPECT_EQ(turned.pixelColor(turned.width() / 2, 5), QColor(Qt::red));
    EXPECT_EQ(turned.pixelColor(turned.width() / 2, turned.height() - 5), QColor(Qt::white));
}

TEST(ImageAdjustments, DamagedRadiiAndTurnsNeitherRunAwayNorSpoilThePicture)
{
    // One white pixel at the left end of a black row.
    QImage row = solid(Qt::black, 16, 1);
    row.setPixelColor(0, 0, Qt::white);
    for (const float huge : {1e9f, std::numeric_limits<float>::infinity()}) {
        const QImage spread = process(row, {.blur = huge});
        ASSERT_EQ(spread.size(), row.size()) << huge;
        EXPECT_GT(qRed(spread.pixel(15, 0)), 0) << huge << ": the white reaches the far end";
        EXPECT_EQ(qAlpha(spread.pixel(15, 0)), 255) << huge;
    }
    EXPECT_EQ(process(row, {.blur = 1e-30f}).convertToFormat(QImage::Format_ARGB32), row)
        << "a vanishing radius changes nothing";
    // Turns that are no number leave the picture upright.
    for (const float turn : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        EXPECT_EQ(process(row, {.rotate = turn}).size(), row.size()) << turn;
}
