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
    for (bool printBox : {false, true}) {
        const platform::Image card = TVNRenderingView::image_From_Card_Graphics({}, printBox);
        ASSERT_TRUE(card.isVector()) << printBox;
        // CR80, 85.598 x 54.102 mm: 242.64 x 153.36 pt, 1011 x 639 pixels at 300 dpi.
        EXPECT_NEAR(card.size().width(), 242.64, 0.01);
        EXPECT_NEAR(card.size().height(), 153.36, 0.01);
        EXPECT_EQ(card.toBitmap(300).size(), QSize(1011, 639));
    }
    host.cardSize = QSizeF();
    EXPECT_TRUE(TVNRenderingView::image_From_Card_Graphics({}, false).isNull());
}

TEST(Renderer, PaintsTheEditedSideBackgroundInsideTheOutlineOnly)
{
    TestHost host;
    host.cardSize = QSizeF(200, 100);
    host.background[0] = Qt::red;
    host.background[1] = Qt::blue;
    host.side = 1;
    struct Row {
        int shape;
        QPoint pixel;
        bool inside;
        const char *why;
    } const rows[] = {
        {drawing::kShapeRectangle, {1, 1}, true, "the rectangle reaches its corners"},
        {drawing::kShapeRounded, {1, 1}, false, "1 pt in from both edges lies outside a 10 pt arc"},
        {drawing::kShapeRounded, {12, 3}, true, "past the arc, 3 pt from the top"},
        {drawing::kShapeOval, {20, 10}, false, "the ellipse misses its box's corner region"},
        {drawing::kShapeOval, {100, 3}, true, "the ellipse touches its box at the top middle"},
    };
    for (const Row &row : rows) {
        host.shape = row.shape;
        const QImage img = TVNRenderingView::image_From_Card_Graphics({}, false).toBitmap(72);
        EXPECT_EQ(img.pixelColor(100, 50), QColor(Qt::blue)) << "the back is being edited";
        EXPECT_EQ(img.pixelColor(row.pixel), row.inside ? QColor(Qt::blue) : QColor(Qt::transparent)) << row.why;
    }
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
    // A barcode's picture, one black and one white pixel, stretched over its bounds.
    QImage bars(2, 1, QImage::Format_ARGB32);
    bars.setPixelColor(0, 0, Qt::black);
    bars.setPixelColor(1, 0, Qt::white);
    const GraphicPtr barcode = newGraphicOfClass(GraphicClass::Barcode);
    barcode->setBounds(QRectF(0, 60, 40, 40));
    barcode->Set_Barcode_image(platform::Image::fromBitmap(bars));

    const QImage img =
        TVNRenderingView::image_From_Card_Graphics({front, barcode, behind, noPrint, hidden}, false).toBitmap(72);
    EXPECT_EQ(img.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(75, 75), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(75, 15), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(10, 80), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(30, 80), QColor(Qt::white));
}

TEST(Renderer, ASheetHoldsCardsOfTheOtherSideAtTheirOriginsWhileTheFrontIsEdited)
{
    TestHost host;
    host.cardSize = QSizeF(40, 20);
    host.background[1] = Qt::blue;
    const GraphicList back{filledBox(QRectF(0, 0, 10, 20), Qt::red)};
    const drawing::CardFace face = TVNRenderingView::cardFace(1);

    QImage sheet(100, 30, QImage::Format_ARGB32);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    for (const QPointF origin : {QPointF(0, 5), QPointF(50, 5)})
        TVNRenderingView::drawCard(painter, back, face, origin);
    painter.end();

    for (int x : {0, 50}) {
        EXPECT_EQ(sheet.pixelColor(x + 5, 15), QColor(Qt::red)) << x;
        EXPECT_EQ(sheet.pixelColor(x + 30, 15), QColor(Qt::blue)) << x;
        EXPECT_EQ(sheet.pixelColor(x + 30, 2).alpha(), 0) << x << ": nothing above the card";
    }
    EXPECT_EQ(sheet.pixelColor(45, 15).alpha(), 0) << "nothing between the cards";
    EXPECT_EQ(host.side, 0) << "the edited side stays";
    EXPECT_EQ(TVNRenderingView::image_From_Card_Graphics(back, face).toBitmap(72).pixelColor(30, 10),
              QColor(Qt::blue));
}

TEST(Renderer, AFaceAndAStyleCarryWhatTheDrawingNeedsWithoutAskingTheHost)
{
    // A host whose background is a value: the face keeps a copy of it.
    struct ValueHost : TestHost {
        Background cardBackground(int side) override
        {
            return [colour = background[side]](QPainter &p, const QRectF &r, int) { p.fillRect(r, colour); };
        }
    };
    drawing::CardFace face;
    {
        ValueHost host;
        host.cardSize = QSizeF(40, 20);
        host.background[0] = Qt::blue;
        face = TVNRenderingView::cardFace(0);
        host.background[0] = Qt::red;
    }
    // The host is gone; the drawing shows the background the face was given.
    const GraphicPtr missing = newGraphicOfClass(GraphicClass::Image);
    missing->setBounds(QRectF(0, 0, 10, 20));
    EXPECT_EQ(TVNRenderingView::image_From_Card_Graphics({missing}, face).toBitmap(72).pixelColor(30, 10),
              QColor(Qt::blue));

    // An image graphic without a picture shows the style's stand-in on the
    // canvas, and nothing in output.
    QImage green(4, 4, QImage::Format_ARGB32);
    green.fill(Qt::green);
    for (const bool onCanvas : {true, false}) {
        QImage canvas(40, 20, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        missing->draw(painter, drawing::DrawStyle{onCanvas, platform::Image::fromBitmap(green)});
        painter.end();
        EXPECT_EQ(canvas.pixelColor(5, 10), onCanvas ? QColor(Qt::green) : QColor(Qt::transparent)) << onCanvas;
    }
}
