#include "barcodes/imaging/BarcodeImageFile.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>

using namespace barcodes;
using platform::Image;

TEST(SaveBarcodeImage, WritesPngThatKeepsTheSizeInPoints)
{
    quorvant::test::TempFolder dir;
    QImage px(250, 125, QImage::Format_RGB32);
    px.fill(Qt::black);
    const QString path = dir.file("symbol.png");
    ASSERT_TRUE(Save_Barcode_image(Image::fromBitmap(px, QSizeF(60, 30)), path));

    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "png");
    const QImage back = reader.read();
    EXPECT_EQ(back.size(), QSize(250, 125));
    EXPECT_EQ(back.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_NEAR(Image::fromBitmap(back).size().width(), 60, 0.05);

    // A recording is written at one pixel per point.
    Image vec = Image::record({20, 10}, [](QPainter &p) { p.fillRect(QRectF(0, 0, 20, 10), Qt::black); });
    ASSERT_TRUE(Save_Barcode_image(vec, path));
    EXPECT_EQ(QImage(path).size(), QSize(20, 10));
}

TEST(SaveBarcodeImage, FailureIsReportedAndTheOldFileKept)
{
    quorvant::test::TempFolder dir;
    const QString path = dir.file("old.png");
    quorvant::test::writeTestFile(path, "previous content");
    EXPECT_FALSE(Save_Barcode_image(Image(), path));
    EXPECT_EQ(quorvant::test::readTestFile(path), "previous content");

    QImage px(4, 4, QImage::Format_RGB32);
    px.fill(Qt::white);
    EXPECT_FALSE(Save_Barcode_image(Image::fromBitmap(px, {4, 4}), dir.file("missing/folder/x.png")));
    EXPECT_FALSE(Save_Barcode_image(Image::fromBitmap(px, {4, 4}), dir.path()));   // a folder
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}
