#pragma once
// Image files of the export: a card side, or both sides one above the
// other, as pixels at a resolution; encoded in the format the file name's
// extension names, with the resolution recorded in the file; written all or
// nothing. Sizes are in points (1/72 inch) and resolutions in dots per inch.
// Any thread: nothing here touches the live design or a widget. A failure
// says why.

#include "platform/Image.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace output {

// The formats the export offers, in the order the options show them. Each
// title is also the extension written, as it is ("TIFF" gives Card_1.TIFF).
QStringList exportFormatTitles();

// The encoder for a file name: its extension names TIFF ("tif", "tiff"),
// JPEG ("jpg", "jpeg"), BMP or PNG, case ignored; PNG for any other
// extension or none.
QByteArray imageFormatForPath(const QString &path);

// Pixels of `image` at `dpi`: ceil(points × dpi ÷ 72) on each side, the
// resolution stored in the pixels, transparent outside what it draws. A
// bitmap already of that size is taken as it is. Null for a null image or
// a resolution of 0 or less.
QImage cardPixels(const platform::Image &image, double dpi);

// Both sides in one picture of W × 2H points (W × H the front's size):
// trunc(W × dpi ÷ 72) × trunc(2H × dpi ÷ 72) pixels, the front over the upper
// half and the back at its own size from the lower-left corner. Null when a
// side is null.
QImage combinedPixels(const platform::Image &front, const platform::Image &back, double dpi);

// `pixels` encoded as `format` (one of imageFormatForPath's answers) with
// their resolution. JPEG and BMP are written without transparency: the
// pixels are laid over white. Pixels that are all opaque are written
// without an alpha channel.
std::optional<QByteArray> encodePixels(const QImage &pixels, const QByteArray &format, QString *error = nullptr);

// Encodes `pixels` by the path's extension and writes them atomically: the
// file is either as it was or the complete new picture. False with the
// reason when any step fails.
bool writeImageFile(const QImage &pixels, const QString &path, QString *error = nullptr);

// The image writer (Save_gen_image:file_path_val:): `image` at `dpi`, written
// as writeImageFile does. An image that cannot be drawn writes nothing.
bool Save_gen_image(const platform::Image &image, const QString &file_path_val, double dpi,
                    QString *error = nullptr);

} // namespace output
