#pragma once
// A view that shows a barcode picture and keeps it there: clicking it does
// nothing and its image cannot be dragged out. Window layouts use it where a
// barcode is shown but must not be taken away.

#include "platform/Image.h"

#include <QLabel>

class QMouseEvent;

namespace barcodes {

class SymBarcodeImageView : public QLabel {
    Q_OBJECT
public:
    explicit SymBarcodeImageView(QWidget *parent = nullptr);

    // Takes keyboard focus like any other control.
    bool acceptsFirstResponder() const { return true; }
    // No drag operation is offered, for local and remote drags alike.
    Qt::DropActions draggingSourceOperationMaskForLocal(bool local) const;

    // Shows the picture at its size in points, sharp on high-density screens.
    void setImage(const platform::Image &image);
    const platform::Image &image() const { return m_image; }

protected:
    // A press is taken and dropped: it starts no drag and reaches no one else.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    platform::Image m_image;
};

} // namespace barcodes
