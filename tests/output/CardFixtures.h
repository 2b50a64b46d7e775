#pragma once
// Cards for the output tests: a Code 128 symbol of the record's value over a
// band of the side's colour, and what an exported file holds as outside
// tools read it.

#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/render/BarcodeImage.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/symbologies/SymCode128.h"
#include "platform/Image.h"
#include "tests/support/TestSupport.h"

#include <QColor>
#include <QPainter>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace quorvant::test {

inline const QSizeF kFixtureCard(240, 150);
inline const QColor kFrontBand(Qt::red);
inline const QColor kBackBand(Qt::blue);

// The card: white, the symbol across the upper part, the band below it.
inline platform::Image fixtureCard(const QString &value, const QColor &band, QSizeF size = kFixtureCard)
{
    const barcodes::Barcode_Gen settings;
    auto symbol = barcodes::SymCode128Barcode::create(value.toStdString(), barcodes::SymCode128Barcode::CodeSetAuto);
    const barcodes::BarcodeLayout layout = barcodes::layoutLinear(settings, *symbol, 1);
    barcodes::applyLayout(*symbol, layout);
    const platform::Image code = barcodes::imageFromBarcode(*symbol, layout.style);
    return platform::Image::record(size, [&](QPainter &p) {
        p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
        code.draw(p, QRectF(10, 10, size.width() - 20, size.height() * 0.5));
        p.fillRect(QRectF(0, size.height() * 0.75, size.width(), size.height() * 0.25), band);
    });
}

// The value of the Code 128 symbol in `image`; "" when none is read.
inline std::string decodedValue(const QImage &image)
{
    const Decoded d = decodeBarcode(image, ZXing::BarcodeFormat::Code128);
    return d.valid ? d.text : std::string();
}

// Whether the colour at (x, y) is `colour` within a little noise.
inline bool looksLike(const QImage &image, int x, int y, const QColor &colour)
{
    const QColor c = image.pixelColor(x, y);
    return std::abs(c.red() - colour.red()) < 8 && std::abs(c.green() - colour.green()) < 8
        && std::abs(c.blue() - colour.blue()) < 8 && std::abs(c.alpha() - colour.alpha()) < 8;
}

// What ImageMagick's identify reads from a file.
struct FileFacts {
    QString format;
    int width = 0;
    int height = 0;
    double dpi = 0;
    bool alpha = false;
};

inline FileFacts identifyFile(const QString &path)
{
    QProcess identify;
    identify.start(QStringLiteral("identify"),
                   {QStringLiteral("-format"), QStringLiteral("%m %w %h %x %U %[channels]"), path});
    EXPECT_TRUE(identify.waitForFinished(30000)) << "identify (imagemagick) did not run";
    const QStringList f = QString::fromUtf8(identify.readAllStandardOutput()).split(QLatin1Char(' '));
    if (f.size() < 6) {
        ADD_FAILURE() << "identify could not read " << path.toStdString();
        return {};
    }
    const double perUnit = f[3].toDouble();
    return {f[0], f[1].toInt(), f[2].toInt(),
            f[4] == QLatin1String("PixelsPerCentimeter") ? perUnit * 2.54 : perUnit,
            f[5].endsWith(QLatin1Char('a'))};
}

} // namespace quorvant::test
