#include "barcodes/widgets/SymBarcodeImageView.h"

#include <QMouseEvent>
#include <QPixmap>

namespace barcodes {

SymBarcodeImageView::SymBarcodeImageView(QWidget *parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAlignment(Qt::AlignCenter);
}

Qt::DropActions SymBarcodeImageView::draggingSourceOperationMaskForLocal(bool) const
{
    return Qt::IgnoreAction;
}

void SymBarcodeImageView::setImage(const platform::Image &image)
{
    m_image = image;
    if (image.isNull()) {
        clear();
        return;
    }
    const double ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(image.toBitmap(72.0 * ratio, Qt::transparent));
    pixmap.setDevicePixelRatio(ratio);
    setPixmap(pixmap);
}

void SymBarcodeImageView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void SymBarcodeImageView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace barcodes
