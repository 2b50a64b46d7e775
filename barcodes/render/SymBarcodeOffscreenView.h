#pragma once
// Draws one barcode picture without a window, in one of two modes:
//  - symbol mode: a linear or postal symbol as filled bars with its caption
//    (below or above the bars, plus left and right captions), header and
//    footer;
//  - image mode: a finished 2-D symbol image centred under the header and
//    above the footer.
// The view holds no settings of its own: fonts, colours, margins, alignment,
// value placement and kerning are read from the settings record
// (Barcode_Gen_Var) each time it draws, so a change of the settings between
// two drawings changes the picture.
//
// Lengths are points. The view's own geometry is y-up from its bottom edge;
// drawRect() paints on a painter whose coordinates are points with the origin
// at the top left of the frame (as platform::Image::record gives them).

#include "platform/Image.h"

#include <QByteArray>
#include <QRectF>
#include <memory>

class QPainter;

namespace barcodes {

class SymBarcode;

class SymBarcodeOffscreenView {
public:
    // Symbol mode. The frame is the symbol's height by the widest of its
    // printed header, printed footer and width. The symbol is not owned: it
    // must outlive the view.
    static std::unique_ptr<SymBarcodeOffscreenView> initWithBarcode(const SymBarcode &barcode);
    // Image mode. The frame is the settings record's 2-D width and height,
    // computed beforehand from the image; the view keeps its own copy of the
    // image.
    static std::unique_ptr<SymBarcodeOffscreenView> initWithBarcodeImage(const platform::Image &image);

    bool fromImageOrBarcode() const { return m_fromImageOrBarcode; }
    const SymBarcode *barcode() const { return m_barcode; }
    void setBarcode(const SymBarcode *barcode) { m_barcode = barcode; }
    void setBarcode_Image_2D(const platform::Image &image) { m_image_2d = image; }
    const platform::Image &image_2d() const { return m_image_2d; }

    QRectF frame() const { return m_frame; }
    QRectF bounds() const { return QRectF(0, 0, m_frame.width(), m_frame.height()); }

    // The view is one page: first page 1, one page.
    bool knowsPageRange(int &firstPage, int &pageCount) const;
    // The symbol's width and height for any page; empty in image mode.
    QRectF rectForPage(int page) const;

    // Draws the whole picture; the dirty rectangle is not consulted.
    void drawRect(QPainter &painter, const QRectF &dirtyRect = {}) const;

    // One PDF page of `rect` (view coordinates, y-up) of the drawing; empty
    // when the rectangle is empty.
    QByteArray dataWithPDFInsideRect(const QRectF &rect) const;

private:
    SymBarcodeOffscreenView() = default;

    void drawSymbol(QPainter &painter) const;
    void drawImage(QPainter &painter) const;

    QRectF m_frame;
    const SymBarcode *m_barcode = nullptr;
    bool m_fromImageOrBarcode = false;
    platform::Image m_image_2d;
};

} // namespace barcodes
