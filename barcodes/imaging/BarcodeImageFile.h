#pragma once
// Writing a barcode image as a PNG file.

#include "platform/Image.h"

#include <QString>

namespace barcodes {

// Writes the image's pixels (a recording is rendered at 72 dpi) as a PNG
// file that records the image's size in points. The file is replaced
// atomically: on any failure the old file is left as it was, the reason is
// logged and false is returned.
bool Save_Barcode_image(const platform::Image &image, const QString &file_path_val);

} // namespace barcodes
