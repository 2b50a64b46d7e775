#pragma once
// The designer's way to QR Code: checks that a text fits the chosen version
// and level, encodes it into a module grid, and renders a grid into a square
// image resampled to a resolution the caller gives. The designer passes its
// process-wide level, version and resolution (QR_EC_Level_Val,
// QR_Version_Val, USED_DPI_VALUE); nothing here reads them.

#include "barcodes/qr/QRModuleGrid.h"
#include "platform/Image.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <memory>

namespace barcodes {

// The smallest side, in points, that the symbol image of a version may have
// (one point per module; version 0, "Auto", counts as version 1), and the
// designer's side raised to it.
struct QRSizeMinimum {
    int minimum = 21;
    int side = 21;
};
QRSizeMinimum Check_And_Set_QR_size_Acc_Version(int version, int currentSide);

class QRFrontEnd {
public:
    QRFrontEnd() = delete;

    // Level 0..3 (L, M, Q, H); version 1..40, or 0 for the smallest version
    // that holds the text. A requested version that is too small for the text
    // by the capacity table of its overall mode gives none; otherwise the
    // encoder may still move to a larger version. None also when no version
    // holds the text.
    static std::unique_ptr<DataMatrix> encodeWithECLevel(int level, int version, const QString &string);
    // The same for zero-terminated bytes. Bytes that are not valid UTF-8 may
    // hold Shift JIS pairs, which go out in Kanji mode.
    static std::unique_ptr<DataMatrix> encodeCStringWithECLevel(int level, int version, const char *cstring);
    // The same for bytes of any value, NUL included; the text's UTF-8 goes
    // this way, so a NUL in it does not end the symbol's data.
    static std::unique_ptr<DataMatrix> encodeBytesWithECLevel(int level, int version, const QByteArray &bytes);

    // The grid as a D × D image (D in pixels and points; raised to the grid's
    // side when smaller), modules black and white, the margin around them
    // transparent, resampled to `dpi`. Null for an empty grid, and when an
    // exception (no memory) stops it, with its reason in *error.
    static platform::Image renderDataMatrix(const DataMatrix &grid, int imageDimension, double dpi,
                                            QString *error = nullptr);
    // The D × D bitmap before resampling (8 bits a pixel: clear, black, white).
    static QImage renderModules(const DataMatrix &grid, int imageDimension);
    // The same, but the modules fill the D × D square to within one module:
    // whole pixels of one size (the renderer's rule above) wherever that
    // leaves at most one module's width unfilled, otherwise the pixels left
    // over are shared out, so modules differ by one pixel at most. No module
    // is ever split across pixels.
    static QImage renderModulesFilling(const DataMatrix &grid, int imageDimension);

    // The grid as a picture of `side` points (raised to one point per
    // module) inside a quiet zone of `quiet` points on every side, filled
    // with `background`. It is drawn afresh on each device: on a bitmap the
    // side is taken in that device's pixels and rendered by
    // renderModulesFilling, so the symbol fills its side at any resolution
    // with no module split across pixels; on a vector device (PDF, print,
    // SVG) the modules are exact rectangles. Any thread.
    static platform::Image drawingOf(std::shared_ptr<const DataMatrix> grid, double side, double quiet,
                                     const QColor &background);

    // The largest number of bytes of the given mode that `version` holds at
    // `level` by the character capacity tables (Kanji counts two bytes per
    // character); version 0 means the largest version.
    static std::int64_t capacity(int mode, int level, int version);
};

} // namespace barcodes
