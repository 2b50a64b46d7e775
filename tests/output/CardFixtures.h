#pragma once
// What an exported file holds, as outside tools read it: the Code 128
// symbol on it, its colours, its format, size and resolution; and a graphic
// that clicks the run sheet's Stop button.

#include "drawing/TVNGraphic.h"
#include "output/widgets/Send_Modeless.h"
#include "tests/support/TestSupport.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace quorvant::test {

// An unbound box that counts its drawings and keeps the largest device one
// of them reached; its first drawing clicks the run sheet's Stop button.
struct StopOnFirstDrawing : TVNBarcode {
    mutable std::atomic<int> draws = 0;
    mutable std::atomic<qint64> largestDevice = 0;
    void drawContents(QPainter &painter, const drawing::DrawStyle &) const override
    {
        if (draws++ == 0)
            QTimer::singleShot(0, [] { Send_Modeless::defaultInstance()._stop_btn->click(); });
        largestDevice = std::max<qint64>(largestDevice, qint64(painter.device()->width()) * painter.device()->height());
        painter.fillRect(bounds(), Qt::darkGreen);
    }
};

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
