#include "TestHost.h"
#include "drawing/TVNRenderingView.h"

#include <gtest/gtest.h>

namespace {

GraphicPtr filledBox(QRectF bounds, QColor colour)
{
    GraphicPtr g = newGraphicOfClass(GraphicClass::Barcode);
    g->setBounds(bounds);
    g->setFillColor(colour);
    g->setDrawingFill(true);
    return g;
}

} // namespace

TEST(Renderer, DrawsAVectorImageAtTheCanvasSizeInPoints)
{
    TestHost host;
    host.cardSize = drawing::kCR80SizePt;
    const platform::Image card = TVNRenderingView::image_From_Card_Graphics({}, false);
    ASSERT_FALSE(card.isNull());
    EXPECT_TRUE(card.isVector());
    EXPECT_NEAR(card.size().width(), 242.64, 0.01);
    EXPECT_NEAR(card.size().height(), 153.36, 0.01);
    const QImage at300 = card.toBitmap(300);
    EXPECT_EQ(at300.width(), 1011);
    EXPECT_EQ(at300.height(), 639);

    EXPECT_TRUE(TVNRenderingView::image_From_Card_Graphics({}, true).isVector());

    host.cardSize = QSizeF();
    EXPECT_TRUE(TVNRenderingView::image_From_Card_Graphics({}, false).isNull());
}

TEST(Renderer, DrawsTheCurrentSideBackgroundInsideTheOutlineOnly)
{
    TestHost host;
    host.cardSize = QSizeF(200, 100);
    host.background = Qt::blue;
    host.side = 1;

    for (int shape : {0, 1, 2}) {
        host.shape = shape;
        host.drawnSides.clear();
        const QImage img = TVNRenderingView::image_From_Card_Graphics({}, false).toBitmap(72);
        EXPECT_EQ(host.drawnSides, QList<int>{1}) << "the side the host names is drawn";
        EXPECT_EQ(img.pixelColor(100, 50), QColor(Qt::blue)) << shape;
        EXPECT_EQ(img.pixelColor(100, 1), QColor(Qt::blue)) << shape;
        const int cornerAlpha = qAlpha(img.pixel(1, 1));
        if (shape == 0)
            EXPECT_EQ(cornerAlpha, 255);
        else
            EXPECT_EQ(cornerAlpha, 0) << "rounded and oval corners stay transparent, shape " << shape;
    }
    // Radius 10: the pixel 1 pt in from both edges lies outside the arc, one
    // 3 pt from the top at 12 pt from the left inside.
    host.shape = 1;
    const QImage rounded = TVNRenderingView::image_From_Card_Graphics({}, false).toBitmap(72);
    EXPECT_EQ(qAlpha(rounded.pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(rounded.pixel(12, 3)), 255);
    // The oval is empty at its bounding box's edge midpoints' diagonals.
    host.shape = 2;
    const QImage oval = TVNRenderingView::image_From_Card_Graphics({}, false).toBitmap(72);
    EXPECT_EQ(qAlpha(oval.pixel(20, 10)), 0);
    EXPECT_EQ(qAlpha(oval.pixel(100, 3)), 255);
}

TEST(Renderer, LeavesOutHiddenAndNonPrintingGraphicsAndKeepsIndexZeroInFront)
{
    TestHost host;
    host.cardSize = QSizeF(100, 100);
    const GraphicPtr front = filledBox(QRectF(0, 0, 50, 50), Qt::red);
    const GraphicPtr behind = filledBox(QRectF(0, 0, 100, 100), Qt::green);
    const GraphicPtr noPrint = filledBox(QRectF(60, 60, 30, 30), Qt::blue);
    noPrint->Set_Ctrl_Is_Printable(false);
    const GraphicPtr hidden = filledBox(QRectF(60, 0, 30, 30), Qt::black);
    hidden->Set_Ctrl_Is_Visible(false);

    const QImage img =
        TVNRenderingView::image_From_Card_Graphics({front, behind, noPrint, hidden}, false).toBitmap(72);
    EXPECT_EQ(img.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(75, 75), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(75, 15), QColor(Qt::green));
}

TEST(Renderer, BarcodeDrawsItsImageStretchedOverItsBounds)
{
    TestHost host;
    host.cardSize = QSizeF(100, 50);
    QImage bars(2, 1, QImage::Format_ARGB32);
    bars.setPixelColor(0, 0, Qt::black);
    bars.setPixelColor(1, 0, Qt::white);
    const GraphicPtr barcode = newGraphicOfClass(GraphicClass::Barcode);
    barcode->setBounds(QRectF(0, 0, 100, 50));
    barcode->Set_Barcode_image(platform::Image::fromBitmap(bars));
    const QImage img = TVNRenderingView::image_From_Card_Graphics({barcode}, true).toBitmap(72, Qt::white, false);
    EXPECT_EQ(img.pixelColor(20, 25), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(80, 25), QColor(Qt::white));
}
