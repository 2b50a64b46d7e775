// The engine check's program: it uses every engine library once, linked
// with Qt Core and Gui alone (see EngineCheck.cmake), and says which use
// failed. Exit status 0 when all of them worked.

#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "barcodes/designer/BarcodeEngine.h"
#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/imaging/BarcodeImageFile.h"
#include "barcodes/imaging/BarcodeValueCheck.h"
#include "barcodes/pdf417/Pdf417View.h"
#include "barcodes/qr/QRFrontEnd.h"
#include "barcodes/qrencoder/QRSymbolEncoder.h"
#include "barcodes/render/BarcodeImage.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/symbologies/SymCode128.h"
#include "batch_data/binding/RecordBinding.h"
#include "batch_data/import/SeriesTarget.h"
#include "batch_data/import/TextImport.h"
#include "batch_data/import/ValueGenerator.h"
#include "batch_data/series/SeriesStore.h"
#include "batch_data/spreadsheet/Workbook.h"
#include "batch_data/zip/ZipArchive.h"
#include "drawing/CardLayers.h"
#include "drawing/TVNDocument.h"
#include "output/export/ImageFiles.h"
#include "output/mail/EmailSettings.h"
#include "output/print/LabelSheet.h"
#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    // Text is measured with real fonts: a GUI application without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir folder;
    int failures = 0;
    auto check = [&](bool ok, const char *what) {
        if (!ok) {
            std::fprintf(stderr, "engine check: %s failed\n", what);
            ++failures;
        }
    };

    using namespace barcodes;
    const Barcode_Gen settings;
    auto symbol = SymCode128Barcode::create("ENGINE-CHECK", SymCode128Barcode::CodeSetAuto);
    const BarcodeLayout layout = layoutLinear(settings, *symbol, 1);
    applyLayout(*symbol, layout);
    const platform::Image picture = imageFromBarcode(*symbol, layout.style);
    check(!picture.isNull(), "a linear picture");
    QRSymbolEncoder encoder;
    check(encoder.EncodeData(1, 0, true, -1, "ENGINE", 6), "the QR encoder");
    const auto grid = QRFrontEnd::encodeWithECLevel(1, 0, QStringLiteral("ENGINE"));
    check(grid && !QRFrontEnd::renderDataMatrix(*grid, 60, 300).isNull(), "a QR image");
    pdf417View pdf417(QSizeF(100, 20));
    check(pdf417.drawWithText(QStringLiteral("ENGINE"), 300) == pdf417View::ImageReady, "a PDF417 image");
    check(!Draw_DataMatrix_Barcode("ENGINE", "Auto", "Auto", 2, 300).image.isNull(), "a Data Matrix image");
    check(!barcodeValueProblem(QStringLiteral("ENGINE"), false), "the value check");
    check(!barcodeImageFor(BarcodeSettings{}).isNull(), "a barcode object's picture");
    check(!barcodeImageFor(BarcodeSettings{}, QStringLiteral("ENGINE"), {}, {}, USED_DPI_VALUE.load()).isNull(),
          "a picture at the designer's resolution");
    const QString png = QDir(folder.path()).filePath(QStringLiteral("symbol.png"));
    check(Save_Barcode_image(picture, png), "a PNG file");

    const QString zip = QDir(folder.path()).filePath(QStringLiteral("symbol.zip"));
    check(ZipArchive::createZipFileAtPath(zip, QStringList{png}), "a zip archive");
    QString reason;
    check(!batch_data::Workbook::open(QDir(folder.path()).filePath(QStringLiteral("none.xlsx")), &reason)
              && !reason.isEmpty(),
          "a workbook's reason");
    const batch_data::SeriesStore series(folder.path());
    check(series.writeSeries(QStringLiteral("Engine"), {QStringLiteral("1"), QStringLiteral("2")})
              && series.readValues(QStringLiteral("Engine")).size() == 2,
          "a series");
    {
        batch_data::GeneratorRequest request;
        request.from = QStringLiteral("1");
        request.to = QStringLiteral("3");
        const auto csv = batch_data::textFileValues("a,b\r\n", batch_data::TextFormat::Csv);
        check(!batch_data::checkGeneratorRequest(request)
                  && batch_data::writeSeriesValues(series, QStringLiteral("Engine"),
                                                   batch_data::generateValues(request) + csv.value_or(QStringList()),
                                                   batch_data::SeriesWrite::Append)
                  && series.readValues(QStringLiteral("Engine")).size() == 7,
              "an imported series");
    }
    batch_data::RecordBinding binding;
    const batch_data::SeriesBinding bound{true, batch_data::kSeriesValue, QStringLiteral("Engine"), 0};
    check(series.writeSeries(QStringLiteral("Engine"), {QStringLiteral("1"), QStringLiteral("2")})
              && binding.check(series, {bound}, {}, false, {}).total == 2
              && binding.valueAt(bound, 1, {true, false}) == QStringLiteral("2"),
          "a record binding");
    check(output::Save_gen_image(picture, QDir(folder.path()).filePath(QStringLiteral("card.TIFF")), 150),
          "an exported image");
    {
        // A sheet of two labels, each one black card, to PDF.
        struct Black : output::LabelCards {
            QSizeF cardSize() const override { return {100, 60}; }
            bool prepare(int, output::CardSides) override { return true; }
            void drawSide(QPainter &p, int, const QRectF &r) override { p.fillRect(r, Qt::black); }
        } cards;
        output::SheetLayout sheet;
        sheet.paper = QSizeF(300, 200);
        sheet.labelWidth = 100;
        sheet.labelHeight = 60;
        sheet.columns = 2;
        const QString pdf = QDir(folder.path()).filePath(QStringLiteral("sheet.pdf"));
        check(output::printSheetsToPdf(pdf, sheet, 2, cards).pages == 1 && QFileInfo(pdf).size() > 0,
              "a label sheet");
    }
    check(platform::writeFileAtomically(QDir(folder.path()).filePath(QStringLiteral("note.txt")), "engine"),
          "an atomic write");
    const QString settingsPath = QDir(folder.path()).filePath(QStringLiteral("mail.plist"));
    output::mail::Preferences mailSettings(settingsPath);
    mailSettings.setValues({{}, QStringLiteral("a@b.cd"), {}, {}, {}, QStringLiteral("Y")});
    check(mailSettings.flush() && output::mail::Preferences(settingsPath).values() == mailSettings.values()
              && output::mail::isValidEmail(QStringLiteral("a@b.cd")),
          "the e-mail settings");
    {
        // A red box on a card drawn by the renderer, and again through the
        // layers of a batch run; the document's undo stack takes the insert.
        TVNDocument document;
        GraphicList graphics;
        GraphicPtr box = newGraphicOfClass(GraphicClass::Barcode);
        box->setBounds(QRectF(10, 10, 40, 20));
        box->setFillColor(Qt::red);
        box->setDrawingFill(true);
        document.insertGraphic(graphics, box, 0, QStringLiteral("Create"));
        const drawing::CardFace face{QSizeF(100, 60), 0, drawing::kShapeRectangle, {}};
        const QImage card = TVNRenderingView::image_From_Card_Graphics(graphics, face).toBitmap(72);
        const drawing::CardLayers layers(graphics, face, [](const TVNGraphic &) { return false; }, 72);
        check(graphics.size() == 1 && document.undoManager().canUndo() && card.pixelColor(20, 20) == Qt::red
                  && layers.render().pixelColor(20, 20) == Qt::red,
              "a drawn card");
    }
    return failures == 0 ? 0 : 1;
}
