#pragma once
// What an exported file holds, as outside tools read it: the Code 128
// symbol on it, its colours, its format, size and resolution; a graphic
// that clicks the run sheet's Stop button; and a design whose photo was
// damaged on the disk.

#include "design_window/TVNWindowController.h"
#include "drawing/TVNGraphic.h"
#include "output/widgets/Send_Modeless.h"
#include "tests/support/TestSupport.h"

#include <QColor>
#include <QDir>
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

// Saves the design of `window` into `folder` with one more image object on
// the front, "Photo" at `box`, whose picture is a JPEG kept in the design;
// cuts that JPEG short in the file, as a disk or a copy that failed would,
// and opens the file again. Opening names the object (an alert, answered by
// the test's responder) and the design is the file's from then on.
inline void openDesignWithCutPhoto(TVNWindowController &window, const QString &folder, const QRectF &box)
{
    const QByteArray jpeg = photoJpeg(QSize(96, 64));
    const QByteArray cut = jpeg.left(jpeg.size() * 2 / 3);
    // The decoder itself draws it, with its lower part grey.
    ASSERT_FALSE(QImage::fromData(cut, "JPG").isNull());
    auto photo = std::static_pointer_cast<TVNImage>(newGraphicOfClass(GraphicClass::Image));
    photo->control_ID = QStringLiteral("Photo");
    photo->setBounds(box);
    photo->setImage(platform::Image::fromEncoded(jpeg, "jpeg"));
    ASSERT_FALSE(photo->image().isNull());
    window.Get_Front_Controls_Array().insert(window.Get_Front_Controls_Array().begin(), photo);
    const QString file = QDir(folder).filePath(QStringLiteral("cut photo.zelg"));
    ASSERT_TRUE(window.Save_project_file(file, false));
    // Saved: opening asks nothing about unsaved changes.
    window.setWindowModified(false);
    QByteArray bytes = readTestFile(file);
    const qsizetype at = bytes.indexOf(jpeg.toBase64());
    ASSERT_GE(at, 0);
    bytes.replace(at, jpeg.toBase64().size(), cut.toBase64());
    writeTestFile(file, bytes);
    ASSERT_EQ(window.Read_and_load_design_Log(file, QStringLiteral("L")), 1);
}

// What opening the design of openDesignWithCutPhoto() says.
inline const QString kCutPhotoOpened = QStringLiteral(
    "These pictures of the design are damaged and are shown as missing:\nThe image \"Photo\" (object 1 on the "
    "front): the picture ends early\n\nTheir objects are kept as they are: saving the design keeps each damaged picture as it was "
    "stored until you replace it.");

} // namespace quorvant::test
