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
        }
    }
}
