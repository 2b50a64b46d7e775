#pragma once
// The PDF417 symbol maker of the barcode designer: encodes a text at the
// chosen error level and keeps the symbol as an image of the view's size in
// points, resampled to the resolution the caller gives (the designer's
// USED_DPI_VALUE). It has no window; drawRect paints what a view of it would
// show.

#include "barcodes/pdf417/Pdf417Encoder.h"
#include "platform/Image.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace barcodes {

class pdf417View {
public:
    // What drawWithText last did.
    enum ImageState { ImageReady = 0, EmptyText = 1, EncodingFailed = 2 };

    explicit pdf417View(QSizeF frameSize = {});

    // The size in points of the images made from now on.
    void setFrameSize(QSizeF frameSize) { m_frame = frameSize; }
    QSizeF frameSize() const { return m_frame; }

    // Encodes `text` as UTF-8 and makes the image at `dpi`; returns the new
    // state. An empty text or one that cannot be encoded leaves no image, so
    // a batch never reuses the previous record's symbol.
    int drawWithText(const QString &text, double dpi);

    // The image of the last encoding; a null image when there is none.
    platform::Image getImage() const { return m_pdf417Image; }

    // The error-correction level of the next encoding; the encoder clamps
    // it into what the symbol allows.
    void setErrorLevel(int errorLevel);
    int getErrorLevel() const { return m_errorLevel; }

    int imageState() const { return m_imageState; }

    // The encoder's record of the last encoding (codewords, rows, columns).
    const pdf417_record &record() const { return m_p; }

    // Paints the view's bounds (origin, frame size) by imageState.
    void drawRect(QPainter &painter) const;

private:
    void _drawEmptyString();

    platform::Image m_pdf417Image;
    pdf417_record m_p;
    int m_errorLevel = 2;
    int m_imageState = EmptyText;
    QSizeF m_frame;
};

} // namespace barcodes
