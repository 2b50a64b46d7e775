// What the design window's canvas shows of a barcode object: the window is
// grabbed as a whole (the canvas is painted into the window's backing store
// at its place there, as on screen) and the canvas' part of it is read by a
// real reader, for every symbology the reader knows, at several zooms.

#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/DesignFile.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "platform/Alerts.h"
#include "platform/Files.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <ZXing/DecodeHints.h>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;
using ZXing::BarcodeFormat;

namespace {

class CanvasSymbols : public ::testing::Test {
protected:
    void SetUp() override
    {
        design_window::setResourceFolder(folder.file("res"));
        wnd = std::make_unique<TVNWindowController>();
        wnd->resize(1280, 800);
        wnd->show();
    }
    void TearDown() override { wnd.reset(); }

    // Opens a design file holding one barcode object at `at`.
    std::shared_ptr<TVNBarcode> openDesignWith(const QString &title, const QString &value, QPointF at)
    {
        BarcodeSettings s;
        s.barcode_font_index = int(barcodeTypeTitles().indexOf(title));
        s.linear_or_2d = isTwoDimensionalTitle(title) ? 1 : 0;
        (s.linear_or_2d == 1 ? s.two_d_font_val : s.linear_font_val) = value;
        auto barcode = std::make_shared<TVNBarcode>();
        barcode->setBarcodeSettings(s);
        EXPECT_TRUE(barcode->makeBarcodeImage()) << title.toStdString();
        barcode->setBounds(QRectF(at, barcode->_barcode_image.size()));
        design_window::Design design;
        design.front = {barcode};
        const QString file = folder.file("card.zelg");
        writeTestFile(file, design_window::encodeDesign(design));
        EXPECT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join('|').toStdString();
        return std::static_pointer_cast<TVNBarcode>(wnd->Get_Front_Controls_Array().front());
    }

    // The object's box as the window shows it, with a margin of card around
    // it, at `zoom` canvas pixels per point.
    QImage shownOnCanvas(const QRectF &box, double zoom)
    {
        TVNGraphicView *canvas = wnd->currentCanvas();
        canvas->setScale(zoom);
        QApplication::processEvents();
        const QImage window = wnd->grab().toImage();
        const QPoint origin = canvas->mapTo(wnd.get(), QPoint(0, 0));
        const QRectF pixels(box.topLeft() * zoom, box.size() * zoom);
        return window.copy(pixels.adjusted(-6, -6, 6, 6).toRect().translated(origin));
    }

    TempFolder folder;
    QStringList alerts;
    platform::ScopedAlertResponder alertResponder{[this](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        return 0;
    }};
    std::unique_ptr<TVNWindowController> wnd;
};

} // namespace

TEST_F(CanvasSymbols, EverySymbolReadsFromTheWindowAtEveryZoom)
{
    // The values of the engine's own read-back table; UPC and EAN readers
    // add the check digit the symbol carries.
    struct Row {
        const char *title;
        const char *value;
        BarcodeFormat format;
    };
    const Row rows[] = {
        {"Code 39", "CODE 39", BarcodeFormat::Code39},
        // Short enough for the card: lower case takes two characters each.
        {"Extended Code 39", "Card-7", BarcodeFormat::Code39},
        {"Interleaved 2 of 5", "123456", BarcodeFormat::ITF},
        {"UPCA", "03600029145", BarcodeFormat::UPCA},
        {"EAN-13", "400638133393", BarcodeFormat::EAN13},
        {"Code 128", "Hello 128", BarcodeFormat::Code128},
        {"Code 128 SET A", "CODE-128 A", BarcodeFormat::Code128},
        {"Code 128 SET B", "abc xyz", BarcodeFormat::Code128},
        {"Code 128 SET C", "00998877", BarcodeFormat::Code128},
        {"Codabar", "A1234B", BarcodeFormat::Codabar},
        {"UPCE", "0425261", BarcodeFormat::UPCE},
        {"EAN-8", "9638507", BarcodeFormat::EAN8},
        {"QR Code", "https://quorvant.example/card/0123", BarcodeFormat::QRCode},
        {"PDF417", "PDF417 record 0123", BarcodeFormat::PDF417},
        {"DataMatrix", "OLD-DESIGN-42", BarcodeFormat::DataMatrix},
    };
    for (const Row &row : rows) {
        // Near the top left, where the bars once landed far from their box.
        const auto barcode = openDesignWith(row.title, row.value, QPointF(6, 8));
        std::string expected = row.value;
        if (row.format == BarcodeFormat::UPCA || row.format == BarcodeFormat::EAN13
            || row.format == BarcodeFormat::UPCE || row.format == BarcodeFormat::EAN8) {
            const auto symbol = newLinearSymbol(row.title, row.value, true);
            expected = symbol->content() + char(symbol->checkDigit());
        }
        for (double zoom : {1.0, 1.5, 2.0, 3.0}) {
            // The default PDF417 symbol is 100 points wide for more modules
            // than that: at 1:1 no screen can show them.
            if (row.format == BarcodeFormat::PDF417 && zoom < 1.5)
                continue;
            QImage shown = shownOnCanvas(barcode->bounds(), zoom);
            // Below two pixels a module, the reader needs the picture larger;
            // whole pixels stay whole pixels.
            if (zoom < 2.0)
                shown = shown.scaled(shown.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            ZXing::DecodeHints hints;
            hints.setFormats(row.format).setTryHarder(true);
            hints.setTryCode39ExtendedMode(QLatin1String(row.title) == QLatin1String("Extended Code 39"));
            hints.setReturnCodabarStartEnd(true);
            const Decoded d = decodeBarcode(shown, hints);
            EXPECT_EQ(d.text, expected) << row.title << " at zoom " << zoom;
        }
    }
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(CanvasSymbols, BarsFinerThanAPixelStillShowInTheirBox)
{
    const auto barcode = openDesignWith(QStringLiteral("Code 128"), QStringLiteral("A LONG CODE 128 VALUE 0123456789"),
                                        QPointF(4, 4));
    for (double zoom : {0.25, 0.5}) {
        const QImage shown = shownOnCanvas(barcode->bounds(), zoom);
        int dark = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                dark += qGray(shown.pixel(x, y)) < 160;
        EXPECT_GT(dark, shown.width()) << "zoom " << zoom;
    }
}
