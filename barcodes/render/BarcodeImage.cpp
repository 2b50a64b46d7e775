#include "barcodes/render/BarcodeImage.h"

#include "barcodes/render/BarcodePicture.h"
#include "barcodes/render/SymBarcodeOffscreenView.h"
#include "platform/Helpers.h"

#include <QPainter>
#include <exception>
#include <memory>

namespace barcodes {

namespace {

// The view's picture, worked out now and drawn afresh on whatever device the
// image is shown on, so bars fit that device's pixels and nothing passes
// through a recording.
platform::Image recordView(const SymBarcodeOffscreenView &view)
{
    const QRectF bounds = view.bounds();
    // A frame of zero or negative size is no picture rather than an empty one.
    if (!(bounds.width() > 0) || !(bounds.height() > 0))
        return {};
    auto picture = std::make_shared<const BarcodePicture>(view.picture());
    return platform::Image::drawing(
        bounds.size(), [picture](QPainter &p) { picture->paint(p); }, picture->background.alpha() == 255);
}

template <class MakeView>
platform::Image imageOf(MakeView makeView)
{
    try {
        const auto view = makeView();
        return recordView(*view);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Show_NSLog_Message(QStringLiteral("Unknown failure while drawing a barcode"));
    }
    return {};
}

QByteArray pdfOf(const SymBarcodeOffscreenView &view)
{
    return view.dataWithPDFInsideRect(view.bounds());
}

} // namespace

platform::Image imageFromBarcode(const SymBarcode &barcode, const SymbolStyle &style)
{
    return imageOf([&] { return SymBarcodeOffscreenView::initWithBarcode(barcode, style); });
}

platform::Image imageFromBarcodeImage(const platform::Image &image, const Barcode_Gen &settings,
                                      const BarcodeLayout &layout)
{
    if (image.isNull())
        return {};
    return imageOf([&] { return SymBarcodeOffscreenView::initWithBarcodeImage(image, settings, layout); });
}

QByteArray pdfFromBarcode(const SymBarcode &barcode, const SymbolStyle &style)
{
    return pdfOf(*SymBarcodeOffscreenView::initWithBarcode(barcode, style));
}

} // namespace barcodes
