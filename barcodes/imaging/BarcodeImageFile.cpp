#include "barcodes/imaging/BarcodeImageFile.h"

#include "platform/Files.h"
#include "platform/Helpers.h"

#include <QBuffer>
#include <QImageWriter>
#include <cmath>

namespace barcodes {

bool Save_Barcode_image(const platform::Image &image, const QString &file_path_val)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return false;
    }
    QImage bitmap = image.isVector() ? image.toBitmap(72.0) : image.bitmap();
    if (bitmap.isNull()) {
        Show_NSLog_Message(QStringLiteral("Unable to make the pixels of the image for %1").arg(file_path_val));
        return false;
    }
    // Pixels per point as the image is shown, so the file keeps its size.
    const QSizeF points = image.size();
    bitmap.setDotsPerMeterX(int(std::lround(bitmap.width() / points.width() * 72.0 / 0.0254)));
    bitmap.setDotsPerMeterY(int(std::lround(bitmap.height() / points.height() * 72.0 / 0.0254)));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(bitmap)) {
        Show_NSLog_Message(QStringLiteral("Unable to encode %1 as PNG: %2").arg(file_path_val, writer.errorString()));
        return false;
    }
    QString error;
    if (!platform::writeFileAtomically(file_path_val, png, &error)) {
        Show_NSLog_Message(QStringLiteral("Unable to write %1: %2").arg(file_path_val, error));
        return false;
    }
    return true;
}

} // namespace barcodes
