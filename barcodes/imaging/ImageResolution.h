#pragma once
// Resolution of the barcode images that the designer hands to barcode
// objects. An image keeps its size in points; its pixels are made fine enough
// to print sharply by redrawing it, without smoothing, at the chosen
// resolution, so every module of a 2-D symbol becomes a block of whole pixels
// with hard edges.

#include "platform/Image.h"

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QRgb>
#include <QSizeF>

namespace barcodes {

// The resolutions a bitmap is ever made at; others are clamped into range.
inline constexpr double kMinimumDpi = 72.0;
inline constexpr double kMaximumDpi = 2400.0;

// Redraws `image` into a bitmap of ceil(dpi × points / 72) pixels on each
// side, without interpolation, keeping its size in points. The bitmap is
// 32-bit RGBA with transparency where the source has none; a bitmap with a
// colour table (1 or 8 bits a pixel) keeps its format and table, so a symbol
// of a few colours stays small at print resolution. Gives a null image when
// the source is null or the bitmap cannot be allocated.
platform::Image Increase_DPI(const platform::Image &image, double withDPI);

// Writes `source` into `area` of `target` (in target pixels) as a painter
// draws it without smoothing over what is there: each pixel whose centre lies
// in the area takes the source pixel under that centre; opaque colours
// replace the target's pixel, clear ones leave it. Only for a source with a
// colour table (1 or 8 bits a pixel) whose colours are each opaque or clear,
// into a 32-bit RGB or ARGB target; false, with nothing written, otherwise,
// and the caller draws it itself. No 32-bit copy of the source is made,
// which at print resolution would be as large as the target. With
// `overOneColour` the caller promises that every target pixel of the area
// holds the same colour, so rows that sample alike come out alike.
bool writeIndexedBitmap(QImage &target, const QRectF &area, const QImage &source, bool overOneColour = false);

// The same into pixels the caller has not filled yet: every pixel of the area
// is written, a clear source pixel as `under` (opaque), so the caller fills
// the rest of its background around `written`, the pixels written, and
// each pixel of the bitmap is written once. False, with nothing written, as
// above or when `under` is not opaque.
bool writeIndexedBitmapOver(QImage &target, const QRectF &area, const QImage &source, QRgb under, QRect &written);

// Redraws `image` into a bitmap of `new_size` points at one pixel per point
// (the size truncated to whole pixels), without interpolation. Gives a null
// image when the source is null or the size has no whole pixel.
platform::Image Resize_Image(const platform::Image &image, QSizeF new_size);

// Makes the painter's coordinates the device's pixels. A widget's painter is
// redirected into its window's backing store (offset by the widget's place in
// the window, scaled by the screen's pixel ratio); resetTransform() keeps
// that redirection, which the device transform includes, so it is undone
// here as well.
void paintInDevicePixels(QPainter &painter);

} // namespace barcodes
