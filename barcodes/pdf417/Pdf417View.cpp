#include "barcodes/pdf417/Pdf417View.h"

#include "barcodes/imaging/ImageResolution.h"

#include <QDebug>
#include <QImage>
#include <QPainter>
#include <cstring>

namespace barcodes {

namespace {

// The painted bits as a 1-bit image: 0 black, 1 white. The encoder inverts
// its bitmap, so bars come out black and spaces white.
QImage bitmapOf(const pdf417_record &p)
{
    if (p.codeRows <= 0 || p.bitColumns <= 0 || p.lenBits != int(p.outBits.size()))
        return {};
    QImage bitmap(p.bitColumns, p.codeRows, QImage::Format_Mono);
    if (bitmap.isNull())
        return {};
    bitmap.setColorCount(2);
    bitmap.setColor(0, qRgb(0, 0, 0));
    bitmap.setColor(1, qRgb(255, 255, 255));
    const std::size_t stride = std::size_t(p.lenBits / p.codeRows);
    for (int row = 0; row < p.codeRows; ++row)
        std::memcpy(bitmap.scanLine(row), p.outBits.data() + std::size_t(row) * stride, stride);
    return bitmap;
}

} // namespace

pdf417View::pdf417View(QSizeF frameSize)
    : m_frame(frameSize)
{
    _drawEmptyString();
}

void pdf417View::_drawEmptyString()
{
    m_imageState = EmptyText;
}

void pdf417View::setErrorLevel(int errorLevel)
{
    m_errorLevel = errorLevel;
    qInfo().noquote() << QStringLiteral("ErrorLevel set to %1").arg(errorLevel);
}

int pdf417View::drawWithText(const QString &text, double dpi)
{
    m_pdf417Image = {};
    if (text.isEmpty()) {
        _drawEmptyString();
        return m_imageState;
    }
    pdf417_reset(m_p);
    m_p.text = text.toStdString();   // UTF-8
    m_p.lenText = int(m_p.text.size());
    m_p.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP;
    m_p.errorLevel = m_errorLevel;
    m_p.aspectRatio = 1.0f;
    paintCode(m_p);
    if (m_p.error != PDF417_ERROR_SUCCESS) {
        qInfo().noquote() << QStringLiteral("Error encountered while drawing barcode, error %1.").arg(m_p.error);
        pdf417_release(m_p);
        m_imageState = EncodingFailed;
        return m_imageState;
    }
    // The symbol is stretched to the frame; without one there is no image.
    if (!m_frame.isEmpty())
        m_pdf417Image = Increase_DPI(platform::Image::fromBitmap(bitmapOf(m_p), m_frame), dpi);
    if (m_pdf417Image.isNull()) {
        qInfo().noquote() << QStringLiteral("Unable to make a %1 x %2 point barcode image.")
                                 .arg(m_frame.width())
                                 .arg(m_frame.height());
        m_imageState = EncodingFailed;
        return m_imageState;
    }
    m_imageState = ImageReady;
    return m_imageState;
}

void pdf417View::drawRect(QPainter &painter) const
{
    const QRectF bounds(QPointF(0, 0), m_frame);
    switch (m_imageState) {
    case ImageReady:
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setOpacity(1.0);
        m_pdf417Image.draw(painter, bounds);
        painter.restore();
        break;
    case EmptyText:
        painter.fillRect(bounds, Qt::lightGray);
        break;
    default:
        painter.fillRect(bounds, Qt::white);
        painter.drawText(bounds, Qt::TextWordWrap, QStringLiteral("There was a problem drawing the barcode."));
        break;
    }
}

} // namespace barcodes
