#include "platform/Image.h"

#include <QPainter>
#include <gtest/gtest.h>

using platform::Image;

namespace {
int blackRun(const QImage &img, int y)
{
    int w = 0;
    while (w < img.width() && qGray(img.pixel(w, y)) < 64 && qAlpha(img.pixel(w, y)) > 192)
        ++w;
    return w;
}
} // namespace

TEST(ImageValue, RecordingRendersInPointsAtAnyResolution)
{
    Image img = Image::record(QSizeF(72, 36), [](QPainter &p) { p.fillRect(QRectF(0, 0, 36, 36), Qt::black); });
    ASSERT_TRUE(img.isVector());
    EXPECT_EQ(img.size(), QSizeF(72, 36));
    for (double dpi : {72.0, 96.0, 300.0}) {
        QImage bmp = img.toBitmap(dpi, Qt::white);
        EXPECT_EQ(bmp.width(), int(std::ceil(72 * dpi / 72)));
        EXPECT_EQ(bmp.height(), int(std::ceil(36 * dpi / 72)));
        EXPECT_NEAR(blackRun(bmp, bmp.height() / 2), dpi / 2, 1.0) << dpi;
    }
}

TEST(ImageValue, BitmapKeepsItsSizeInPoints)
{
    QImage px(300, 150, QImage::Format_RGB32);
    px.fill(Qt::black);
    px.setDotsPerMeterX(int(300 / 0.0254));
    px.setDotsPerMeterY(int(300 / 0.0254));
    Image img = Image::fromBitmap(px);
    EXPECT_NEAR(img.size().width(), 72, 0.01);
    EXPECT_NEAR(img.size().height(), 36, 0.01);
    EXPECT_FALSE(img.isVector());
    EXPECT_TRUE(Image().isNull());
    EXPECT_TRUE(Image::fromFile("/nonexistent/file.png").isNull());
    EXPECT_TRUE(Image().toBitmap(300).isNull());
}

TEST(ImageValue, PdfHasOnePageOfTheImageSize)
{
    Image img = Image::record(QSizeF(100, 50), [](QPainter &p) { p.drawLine(0, 0, 100, 50); });
    QByteArray pdf = img.toPdf();
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 100 50]") || pdf.contains("/MediaBox [0 0 100.") )
        << pdf.left(2000).toStdString();
}
