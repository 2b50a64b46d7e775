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
