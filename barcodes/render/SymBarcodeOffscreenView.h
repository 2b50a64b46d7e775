#pragma once
// Draws one barcode picture without a window, in one of two modes:
//  - symbol mode: a linear or postal symbol as filled bars with its caption
//    (below or above the bars, plus left and right captions), header and
//    footer;
//  - image mode: a finished 2-D symbol image centred under the header and
//    above the footer.
// What it draws with (fonts, colours, margins, alignment, value placement,
// kerning, and in image mode the frame and the header and footer lines) is
// given to the initialiser and copied into the view, so a worker draws with
// its own settings.
//
// Lengths are points. The view's own geometry is y-up from its bottom edge;
// drawRect() paints on a painter whose coordinates are points with the origin
// at the top left of the frame (as platform::Image::record gives them).

#include "barcodes/render/BarcodePicture.h"
#include "barcodes/render/BarcodeRecord.h"
#include "platform/Image.h"

#include <QByteArray>
#include <QRectF>
#include <memory>

class QPainter;

namespace barcodes {

class SymBarcode;
struct BarcodeLayout;

class SymBarcodeOffscreenView {
public:
    // Symbol mode, drawn with `style`. The frame is the symbol's height by
    // the widest of its printed header, printed footer and width. The symbol
    // is not owned: it must outlive the view.
    static std::unique_ptr<SymBarcodeOffscreenView> initWithBarcode(const SymBarcode &barcode,
                                                                    const SymbolStyle &style);
    // Image mode: framed by the layout and drawn with its style, under the
    // header and above the footer of the settings' 2-D text record. The view
    // keeps its own copy of the image.
    static std::unique_ptr<SymBarcodeOffscreenView> initWithBarcodeImage(const platform::Image &image,
                                                                         const Barcode_Gen &settings,
                                                                         const BarcodeLayout &layout);

    SymBarcodeOffscreenView(const SymBarcodeOffscreenView &) = delete;
    SymBarcodeOffscreenView &operator=(const SymBarcodeOffscreenView &) = delete;

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
    // What drawRect draws, worked out from the symbol or image and the
    // settings as they are now; it owns all it needs to be drawn later.
    BarcodePicture picture() const;

    // One PDF page of `rect` (view coordinates, y-up) of the drawing; empty
    // when the rectangle is empty.
    QByteArray dataWithPDFInsideRect(const QRectF &rect) const;

private:
    SymBarcodeOffscreenView() = default;

    void frameSymbol(const SymBarcode &barcode);
    void frameImage(const platform::Image &image);
    void drawSymbol(BarcodePicture &picture) const;
    void drawImage(BarcodePicture &picture) const;

    // What the view draws with: its own copy.
    Barcode_Gen m_own;
    QRectF m_frame;
    const SymBarcode *m_barcode = nullptr;
    bool m_fromImageOrBarcode = false;
    platform::Image m_image_2d;
};

} // namespace barcodes
