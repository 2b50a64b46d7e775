#include "TestHost.h"
#include "drawing/CardLayers.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

GraphicPtr box(QRectF bounds, QColor colour)
{
    GraphicPtr g = newGraphicOfClass(GraphicClass::Barcode);
    g->setBounds(bounds);
    g->setFillColor(colour);
    g->setDrawingFill(true);
    g->setDrawingStroke(true);
    return g;
}

} // namespace

TEST(CardLayers, BandsAreWholeRowsCoveringTheSideWithinTheirPixelCount)
{
    const std::vector<QRect> bands = drawing::cardBands({1000, 250}, 40'000);
    ASSERT_EQ(bands.size(), 7u);
    int next = 0;
    for (const QRect &band : bands) {
        EXPECT_EQ(band.x(), 0);
        EXPECT_EQ(band.width(), 1000);
        EXPECT_EQ(band.y(), next);
        EXPECT_LE(band.width() * band.height(), 40'000);
        next = band.bottom() + 1;
    }
    EXPECT_EQ(next, 250);
    // A row wider than the bound is still one band per row.
    EXPECT_EQ(drawing::cardBands({1000, 3}, 10).size(), 3u);
    EXPECT_TRUE(drawing::cardBands({}, 10).empty());
}

TEST(CardLayers, GiveTheRenderersPixelsWhateverChangesBetweenDrawings)
{
    TestHost host;
    host.cardSize = QSizeF(120, 80);
    host.background[0] = QColor(250, 240, 200);
    // Overlapping boxes; the changing ones lie at the bottom, in the middle
    // and on top of the unchanging ones, and one is left out of print.
    const GraphicPtr top = box({0, 0, 50, 50}, QColor(255, 0, 0, 160));
    const GraphicPtr middle = box({30, 20, 50, 40}, Qt::green);
    const GraphicPtr between = box({20, 10, 60, 30}, QColor(0, 0, 255, 128));
    const GraphicPtr bottom = box({60, 30, 60, 50}, Qt::black);
    const GraphicPtr hidden = box({0, 60, 20, 20}, Qt::magenta);
    hidden->Set_Ctrl_Is_Printable(false);
    const GraphicList graphics{top, middle, between, bottom, hidden};
    const auto changes = [&](const TVNGraphic &g) { return &g == top.get() || &g == between.get() || &g == bottom.get(); };

    for (int shape : {drawing::kShapeRectangle, drawing::kShapeRounded, drawing::kShapeOval}) {
        host.shape = shape;
        const drawing::CardFace face = TVNRenderingView::cardFace(0);
        const drawing::CardLayers layers(graphics, face, changes, 300);
        EXPECT_EQ(layers.layerCount(), 2) << "under the bottom box, and the green box between two changing ones";
        for (QColor colour : {QColor(Qt::cyan), QColor(0, 0, 0, 40)}) {
            top->setFillColor(colour);
            bottom->setBounds(bottom->bounds().translated(-5, -3));
            const QImage expected = TVNRenderingView::image_From_Card_Graphics(graphics, face).toBitmap(300);
            const QImage drawn = layers.render();
            ASSERT_EQ(drawn.size(), expected.size());
            EXPECT_LT(quorvant::test::differingPixelShare(drawn, expected, 3), 0.001) << shape;
            // Drawn in strips of a few rows (cut through every box and the
            // outline's corners), the same pixels exactly.
            QImage banded = drawing::CardLayers::bitmap(layers.pixelSize(), 300);
            const std::vector<QRect> bands = drawing::cardBands(layers.pixelSize(), 37 * 500);
            ASSERT_GT(bands.size(), 5u);
            for (const QRect &band : bands)
                layers.renderBand(banded, band);
            EXPECT_TRUE(banded == drawn) << shape;
        }
    }
}

TEST(CardLayers, BuiltAndDrawnInBandsOfBoundedSizeGiveTheOnePiecePixels)
{
    // What banding got wrong before: a picture scaled up and smoothed, and
    // text close to a rounded outline, each cut by band edges.
    TestHost host;
    host.cardSize = QSizeF(150, 100);
    host.background[0] = QColor(230, 240, 255);
    host.shape = drawing::kShapeRounded;
    QImage picture(17, 11, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor::fromHsv((x * 23 + y * 41) % 360, 200, 220, 120 + 10 * y));
    auto photo = std::dynamic_pointer_cast<TVNImage>(newGraphicOfClass(GraphicClass::Image));
    photo->setImage(platform::Image::fromBitmap(picture));
    photo->setBounds({3.3, 2.7, 97.1, 61.9});
    auto caption = std::dynamic_pointer_cast<TVNText>(newGraphicOfClass(GraphicClass::Text));
    caption->setBounds({1, 80, 148, 19});
    caption->setContentsString(QStringLiteral("Wg Qy Annabel Fitzgerald-Whitmore"));
    auto name = std::dynamic_pointer_cast<TVNText>(newGraphicOfClass(GraphicClass::Text));
    name->setBounds({60, 30, 89, 40});
    const GraphicPtr green = box({70, 5, 75, 30}, QColor(0, 120, 0, 200));
    const GraphicList graphics{caption, name, photo, green};
    const auto changes = [&](const TVNGraphic &g) { return &g == name.get(); };
    const drawing::CardFace face = TVNRenderingView::cardFace(0);

    for (double dpi : {72.0, 144.0, 200.0, 300.0, 411.0, 600.0}) {
        const drawing::CardLayers whole(graphics, face, changes, dpi);
        drawing::CardLayers banded(graphics, face, changes, dpi, drawing::CardLayers::Build::Later);
        EXPECT_FALSE(banded.isBuilt());
        EXPECT_TRUE(banded.render().isNull()) << "nothing to show before the layers are drawn";
        // Odd band heights, so that edges fall inside the picture's pixels,
        // the glyphs and the outline's corners.
        const qint64 bound = qint64(banded.pixelSize().width()) * 29;
        int steps = 0;
        while (!banded.isBuilt()) {
            const qint64 drawn = banded.buildStep(bound);
            EXPECT_GT(drawn, 0);
            EXPECT_LE(drawn, bound);
            ++steps;
        }
        EXPECT_GT(steps, banded.pixelSize().height() / 29);
        EXPECT_EQ(banded.buildStep(bound), 0);
        EXPECT_EQ(banded.layerCount(), whole.layerCount());

        for (const QString &value : {QStringLiteral("Bob"), QStringLiteral("Wolfgang Amadeus")}) {
            name->setContentsString(value);
            const QImage expected = whole.render();
            QImage strips = drawing::CardLayers::bitmap(banded.pixelSize(), dpi);
            for (const QRect &band : drawing::cardBands(banded.pixelSize(), qint64(banded.pixelSize().width()) * 13))
                banded.renderBand(strips, band);
            // Where the scale is a whole number of pixels per 72 dpi, or that
            // of the default 300 dpi, the same pixels; elsewhere a glyph's or
            // a smoothed picture's edge pixel may round the other way.
            for (const QImage &drawn : {banded.render(), strips}) {
                if (dpi == 72 || dpi == 144 || dpi == 300) {
                    EXPECT_TRUE(drawn == expected) << dpi << " " << value.toStdString();
                }
                EXPECT_LT(quorvant::test::differingPixelShare(drawn, expected, 16), 2e-5) << dpi;
                EXPECT_LT(quorvant::test::differingPixelShare(drawn, expected, 8), 2e-4) << dpi;
            }
        }
    }
}
