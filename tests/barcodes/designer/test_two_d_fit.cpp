// 2-D symbols as the card shows them: a QR Code fills the side the user set
// at whatever resolution it is drawn, and QR Code and Data Matrix pictures
// keep square modules in a box of any shape. Measured on the pixels and read
// back by a real reader (zxing-cpp).

#include "barcodes/designer/BarcodeEngine.h"
#include "drawing/TVNGraphic.h"
#include "tests/support/SecondReaders.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;
using ZXing::BarcodeFormat;

namespace {

// The smallest rectangle holding every dark pixel.
QRect darkBounds(const QImage &image)
{
    QRect out;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGray(row[x]) < 128)
                out |= QRect(x, y, 1, 1);
    }
    return out;
}

// Runs of one colour along row y from the left edge of `r`, in pixels.
std::vector<int> runsAlongRow(const QImage &image, const QRect &r, int y)
{
    std::vector<int> runs;
    bool dark = qGray(image.pixel(r.left(), y)) < 128;
    int length = 0;
    for (int x = r.left(); x <= r.right(); ++x) {
        const bool d = qGray(image.pixel(x, y)) < 128;
        if (d != dark) {
            runs.push_back(length);
            length = 0;
            dark = d;
        }
        ++length;
    }
    runs.push_back(length);
    return runs;
}

} // namespace

TEST(TwoDimensionalFit, QRCodeFillsItsSideForEveryVersionAtEveryResolution)
{
    // Each version at a side that is no whole number of points per module
    // (the size field allows one point a module at least).
    for (int version = 1; version <= 40; ++version) {
        const int modules = 17 + 4 * version;
        const int side = modules * 12 / 5 + 1;
        const QString value = QStringLiteral("QUORVANT V%1").arg(version);
        const platform::Image picture = Draw_QR_Barcode(value, 1, version, side, 600, Qt::white);
        ASSERT_FALSE(picture.isNull()) << version;
        for (const double dpi : {72.0, 150.0, 300.0, 600.0}) {
            const QImage drawn = picture.toBitmap(dpi, Qt::white, false).convertToFormat(QImage::Format_RGB32);
            const QRect symbol = darkBounds(drawn);
            const double set = side * dpi / 72.0;
            const std::string where = "version " + std::to_string(version) + " at " + std::to_string(int(dpi));
            EXPECT_EQ(symbol.width(), symbol.height()) << where;
            EXPECT_LE(symbol.width(), set + 1e-6) << where;
            EXPECT_GE(symbol.width(), set - set / modules) << where;
            // zxing-cpp 1.4 misses the largest versions below three pixels
            // a module, however they are drawn: zbar reads those.
            if (set / modules >= 3.0)
                EXPECT_EQ(decodeBarcode(drawn, BarcodeFormat::QRCode).text, value.toStdString()) << where;
            else
                EXPECT_EQ(zbarDecode(drawn, ZbarSymbology::QrCode), value.toStdString()) << where;
        }
    }
}

TEST(TwoDimensionalFit, SymbolsKeepSquareModulesCentredInAnyBox)
{
    // The finder pattern's top row runs 1:1:3:1:1 modules from the symbol's
    // corner, and the quiet zone is as wide on both sides: the same module
    // width across and down means square modules.
    struct Row {
        const char *title;
        QRectF box;
    };
    const Row rows[] = {
        {"QR Code", QRectF(10, 10, 230, 90)},
        {"QR Code", QRectF(10, 10, 96, 82)},
        {"QR Code", QRectF(10, 10, 60, 160)},
        {"DataMatrix", QRectF(10, 10, 230, 90)},
    };
    constexpr double kDpi = 300;
    for (const Row &row : rows) {
        TVNBarcode graphic;
        BarcodeSettings s = graphic.barcodeSettings();
        s.barcode_font_index = int(barcodeTypeTitles().indexOf(row.title));
        s.linear_or_2d = 1;
        s.two_d_font_val = QStringLiteral("https://quorvant.example/card/0123");
        s.show_hide_hdr = s.show_hide_ftr = 1;
        graphic.setBarcodeSettings(s);
        ASSERT_TRUE(graphic.makeBarcodeImage()) << row.title;
        graphic.setBounds(row.box);

        QImage card(int(250 * kDpi / 72), int(250 * kDpi / 72), QImage::Format_RGB32);
        card.fill(Qt::white);
        {
            QPainter painter(&card);
            painter.scale(kDpi / 72, kDpi / 72);
            graphic.draw(painter, drawing::DrawStyle{});
        }
        const QRect symbol = darkBounds(card);
        const std::string where = std::string(row.title) + " in " + std::to_string(int(row.box.width())) + " x "
            + std::to_string(int(row.box.height()));
        EXPECT_LE(std::abs(symbol.width() - symbol.height()), 1) << where;
        // Centred in the box.
        const QPointF centre = row.box.center() * kDpi / 72;
        EXPECT_NEAR(symbol.center().x(), centre.x(), 2.0) << where;
        EXPECT_NEAR(symbol.center().y(), centre.y(), 2.0) << where;
        // Grown with the box: the picture fills its shorter side, margins
        // and quiet zone included.
        EXPECT_GT(std::max(symbol.width(), symbol.height()),
                  0.45 * std::min(row.box.width(), row.box.height()) * kDpi / 72)
            << where;
        // The reader is given the box, not the whole card.
        const QImage shown = card.copy(QRectF(row.box.topLeft() * kDpi / 72, row.box.size() * kDpi / 72).toRect());
        if (QLatin1String(row.title) == QLatin1String("QR Code")) {
            const std::vector<int> across = runsAlongRow(card, symbol, symbol.top());
            const QImage turned = card.transformed(QTransform().rotate(90));
            const QRect turnedSymbol = darkBounds(turned);
            const std::vector<int> down = runsAlongRow(turned, turnedSymbol, turnedSymbol.top());
            ASSERT_GE(across.size(), 3u) << where;
            ASSERT_GE(down.size(), 3u) << where;
            // 7 modules of finder pattern on each axis.
            EXPECT_LE(std::abs(across[0] - down[0]), 1) << where;
            EXPECT_EQ(decodeBarcode(shown, BarcodeFormat::QRCode).text, s.two_d_font_val.toStdString()) << where;
        } else {
            EXPECT_EQ(decodeBarcode(shown, BarcodeFormat::DataMatrix).text, s.two_d_font_val.toStdString())
                << where;
        }
    }
}

TEST(TwoDimensionalFit, QRCodeFillsItsSideInPlaceOnAHighResolutionScreen)
{
    // A screen with a pixel ratio (a widget's backing store on a scaled
    // display) has more device pixels a point: the symbol still fills its
    // side where the card puts it, neither doubled nor moved.
    const QString value = QStringLiteral("QUORVANT HIDPI");
    const platform::Image picture = Draw_QR_Barcode(value, 1, 0, 60, 600, Qt::white);
    ASSERT_FALSE(picture.isNull());
    const QRectF box(QPointF(50, 40), picture.size());
    for (const double ratio : {1.0, 1.5, 2.0}) {
        QImage screen(int(200 * ratio), int(200 * ratio), QImage::Format_RGB32);
        screen.setDevicePixelRatio(ratio);
        screen.fill(Qt::white);
        {
            QPainter painter(&screen);
            picture.draw(painter, box);
        }
        screen.setDevicePixelRatio(1);
        const QRect symbol = darkBounds(screen);
        const double side = 60 * ratio;
        const QPointF centre = box.center() * ratio;
        EXPECT_LE(symbol.width(), side + 1e-6) << ratio;
        EXPECT_GE(symbol.width(), side - side / 21) << ratio;
        EXPECT_EQ(symbol.width(), symbol.height()) << ratio;
        EXPECT_NEAR(symbol.center().x(), centre.x(), 1.5) << ratio;
        EXPECT_NEAR(symbol.center().y(), centre.y(), 1.5) << ratio;
        EXPECT_EQ(decodeBarcode(screen, BarcodeFormat::QRCode).text, value.toStdString()) << ratio;
    }
}
