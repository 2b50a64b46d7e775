#pragma once
// What a barcode picture consists of, worked out once from a symbol (or a
// 2-D symbol image) and its settings: the background, the bars as runs of
// modules, the symbol image, and every line of text with its place, font and
// colour. It owns all of it, so it can be drawn any number of times, on any
// thread, after the symbol is gone.
//
// Coordinates are points from the top left of the picture. Drawing fits the
// bars to the device: on a bitmap each module is a whole number of device
// pixels and every bar starts on a pixel edge, all drawn without
// antialiasing, so no bar has grey edges and no width drifts across the
// symbol; on a vector device (PDF, print, SVG, a recording) the bars keep
// their exact lengths. Text is drawn antialiased everywhere.

#include "platform/Image.h"

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class QPainter;
class QTransform;

namespace barcodes {

struct BarcodePicture {
    // A run of bar modules, from module `first` for `modules` modules, from
    // `top` down to `bottom`.
    struct Bar {
        int first = 0;
        int modules = 0;
        double top = 0.0;
        double bottom = 0.0;
    };
    // A line of `text` in `font` (point size in points) with `kerning`
    // points after each character, laid out in `rect` with `alignment`, its
    // top at the rectangle's top. Its glyphs are placed in points when it is
    // drawn (fonts belong to the thread that uses them), so it comes out the
    // same size on every device.
    struct Text {
        QString text;
        QFont font;
        double kerning = 0.0;
        QRectF rect;
        Qt::Alignment alignment;
        QColor colour;
        // The module the text stands under, when it must follow the bars
        // as they are fitted to a bitmap's pixels; negative for none.
        double anchorModule = -1.0;
        // Modules from one character to the next, when each character
        // stands under its own modules (0: the spacing stays as it is).
        double anchorPitch = 0.0;

        QList<QGlyphRun> glyphs() const;
    };

    QSizeF size;
    QColor background;

    // Module 0 starts at `modulesLeft`; modules are `moduleWidth` wide.
    double modulesLeft = 0.0;
    double moduleWidth = 0.0;
    int moduleCount = 0;
    QColor barColour;
    std::vector<Bar> bars;

    // A 2-D symbol image and where it goes.
    platform::Image image;
    QRectF imageRect;

    std::vector<Text> texts;

    void paint(QPainter &painter) const;

private:
    // The bars fitted to the painter's bitmap: `pixels` device pixels a
    // module from device column `left`; no pixels on a vector device, a
    // turned picture, or modules too fine for the device.
    struct Fit {
        int pixels = 0;
        int left = 0;
    };
    Fit fitBars(const QPainter &painter) const;
    // Fills the picture's background, except the device pixels in
    // `written`.
    void paintBackground(QPainter &painter, const QRect &written = QRect()) const;
    // The same straight into a plain bitmap; false when the painter must
    // fill it.
    bool writeBackground(QPainter &painter, const QRect &written) const;
    // The device pixels the background fills under `t`: all the picture
    // touches but `written`, in up to four rectangles.
    std::array<QRect, 4> backgroundPieces(const QTransform &t, const QRect &written) const;
    struct TextPixels;
    TextPixels plainPixels(const QPainter &painter) const;
    // Where the 2-D symbol's bitmap goes on the painter's bitmap, in device
    // pixels; none on a vector device, for a vector image, or under a
    // turned or mirrored picture.
    struct ImagePlace {
        QRectF area;
        bool atDeviceResolution = false;
    };
    std::optional<ImagePlace> imagePlace(const QPainter &painter) const;
    // Writes the 2-D symbol into a bitmap not filled yet, its clear pixels
    // as the background, answering the device pixels written; false when it
    // must be drawn over the filled background instead.
    bool writeImageFirst(QPainter &painter, QRect &written) const;
    void paintImage(QPainter &painter) const;
    // Answers the bars in device pixels (one rectangle over everything on a
    // vector device).
    std::vector<QRect> paintBars(QPainter &painter) const;
    // Writes bars given in device pixels straight into the painter's bitmap;
    // false when the painter must fill them itself.
    // With `unfilled` the background is not there yet: every row from the
    // first bar's top to the last one's bottom is written whole across the
    // bars, gaps as background, and `unfilled` answers those pixels; false,
    // with nothing written, when they do not lie within the picture.
    bool writeBarsIntoBitmap(QPainter &painter, const std::vector<QRect> &rects, QRect *unfilled = nullptr) const;
    // The bars in device pixels, fitted to the painter's bitmap by `fit`.
    std::vector<QRect> barRects(const QPainter &painter, const Fit &fit) const;
    // Writes the bars into a bitmap not filled yet, as above, answering the
    // pixels written and the bars in device pixels; false, with nothing
    // written, when they must be drawn over the filled background instead.
    bool writeBarsFirst(QPainter &painter, QRect &written, std::vector<QRect> &drawn) const;
    // Blends the glyphs of one line of text straight into the painter's
    // bitmap; false when the painter must draw them itself.
    bool writeTextIntoBitmap(QPainter &painter, const QList<QGlyphRun> &runs, const Text &text,
                             TextPixels &pixels) const;
};

} // namespace barcodes
