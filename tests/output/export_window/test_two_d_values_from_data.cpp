// Names of people, with letters outside ASCII, as the values of QR Code,
// PDF417 and Data Matrix symbols bound to a series or to a spreadsheet
// column: bound through the inspector, seen on the canvas, exported at
// 300 dpi from the menu, and every symbol read back byte for byte by
// outside readers (zxing-cpp for QR Code and PDF417, libdmtx for Data
// Matrix).
#include "tests/batch_data/series_window/SeriesWindowFixture.h"
#include "tests/design_window/Outlets.h"
#include "tests/support/ExportWait.h"
#include "tests/support/SecondReaders.h"

#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "barcodes/designer/BarcodeEngine.h"
#include "batch_data/spreadsheet_window/Import_Excel.h"
#include "design_window/ExportFileBox.h"
#include "output/export_window/ExportWindow.h"
#include "output/export_window/ImageExport.h"
#include "tests/batch_data/zip/PythonRunner.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

using namespace quorvant::test;
using quorvant::test::outlet;

namespace {

const QStringList kNames{QStringLiteral("Zoë-001"), QStringLiteral("Straße 3, Ødegård"), QStringLiteral("Привет мир"),
                         QStringLiteral("Łukasik — 日本語 5")};

constexpr double kDpi = 300;

// Where each symbology sits on the card (points); the box takes the size of
// the symbol's picture.
struct Placed {
    const char *title;
    QPointF at;
    const char *dataMatrixFormat = "Auto";
};
const Placed kSymbols[] = {
    {"QR Code", {6, 6}},
    {"DataMatrix", {120, 6}},
    {"PDF417", {6, 100}},
};

// The bytes of the one symbol of `title` inside `box` (points) of a picture
// at `pixelsPerPoint`: zxing-cpp for QR Code and PDF417, libdmtx for Data
// Matrix. "<none>" when nothing is read.
QImage symbolPart(const QImage &picture, const QRectF &box, double pixelsPerPoint)
{
    const QRect pixels =
        QRectF(box.topLeft() * pixelsPerPoint, box.size() * pixelsPerPoint).toAlignedRect().adjusted(-8, -8, 8, 8);
    return picture.copy(pixels & picture.rect());
}

std::string readSymbol(const QImage &picture, const QRectF &box, double pixelsPerPoint, const QString &title)
{
    const QImage part = symbolPart(picture, box, pixelsPerPoint);
    if (title == QLatin1String("DataMatrix"))
        return dmtxDecode(part).value_or("<none>");
    const Decoded d = decodeBarcode(part, title == QLatin1String("QR Code") ? ZXing::BarcodeFormat::QRCode
                                                                             : ZXing::BarcodeFormat::PDF417);
    if (d.valid && d.mirrored)
        return "<mirrored>";
    return d.valid ? d.bytes : "<none>";
}

class TwoDimensionalValuesFromData : public SeriesWindow {
protected:
    void addServices(design_window::HubServices &services) override { services.imageExport = &exporter; }
    void SetUp() override
    {
        SeriesWindow::SetUp();
        dialogs["ExportWindow"] = [this](QDialog &d) {
            ++optionSheets;
            auto &w = static_cast<ExportWindow &>(d);
            EXPECT_TRUE(w.Export_with_batch_chk->isChecked() || w.Export_with_excel_chk->isChecked());
            w.fileFormatPopup->setCurrentText("PNG");
            w.saveDPIText->setCurrentText(QString::number(int(kDpi)));
            w.matrix_export_card_side->button(1)->click(); // front side
            w.buttons->button(QDialogButtonBox::Ok)->click();
            return d.result();
        };
        dialogs["QFileDialog"] = [this](QDialog &d) {
            static_cast<QFileDialog &>(d).selectFile(chosenPath);
            return 1;
        };
        dialogs["Export_File_Box"] = [this](QDialog &d) {
            auto &box = static_cast<Export_File_Box &>(d);
            resultBoxes << box._open_log_message->text();
            box._open_log_chk->setChecked(false);
            return 1;
        };
    }

    // One barcode of each 2-D symbology on the front, each bound through the
    // inspector to item `item` of `source` (1 series, 2 spreadsheet).
    void placeBoundSymbols(int source, int item)
    {
        for (const Placed &p : placed) {
            GraphicPtr g = add(TVNWindowController::kBarcodeTool);
            ASSERT_NE(g, nullptr);
            g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(p.title));
            g->dm_format_index = int(barcodes::dataMatrixFormatNames().indexOf(p.dataMatrixFormat));
            g->linear_or_2d = 1;
            outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(source);
            wnd->Data_Source_Type_Changed();
            outlet<QComboBox>(*wnd, "Batch_Series")->setCurrentIndex(item);
            wnd->Batch_Series_Changed();
            // The bound value's symbol, at its own size.
            EXPECT_FALSE(g->_barcode_image.isNull()) << p.title;
            g->setBounds(QRectF(p.at, g->_barcode_image.size()));
            symbols.push_back(g);
        }
    }

    // Every symbol as the canvas shows it, at 4 pixels per point.
    void expectCanvasShows(const QString &value)
    {
        TVNGraphicView *canvas = wnd->currentCanvas();
        canvas->setScale(4);
        const QImage shown = canvasPicture();
        for (std::size_t i = 0; i < symbols.size(); ++i)
            EXPECT_EQ(readSymbol(shown, symbols[i]->bounds(), 4, placed[i].title), value.toStdString())
                << placed[i].title << " on the canvas";
    }

    // Exports the front of every record into `folder`/Quorvant and reads
    // each card's symbols back.
    void expectExportedCardsHold(const QString &folder)
    {
        QDir().mkpath(folder);
        chosenPath = folder;
        optionSheets = 0;
        outlet<QAction>(*wnd, "act_export")->trigger();
        quorvant::test::waitForExport(exporter);
        ASSERT_FALSE(exporter.isRunning());
        EXPECT_EQ(optionSheets, 1);
        EXPECT_EQ(resultBoxes.join('|').toStdString(), "Frame has been exported successfully.");
        EXPECT_EQ(exporter.lastProblems().join('|').toStdString(), "");
        const QString cards = QDir(folder).filePath("Quorvant");
        EXPECT_EQ(QDir(cards).entryList(QDir::Files).size(), names.size());
        for (int n = 0; n < names.size(); ++n) {
            const QImage card(QDir(cards).filePath(QStringLiteral("Card_%1.PNG").arg(n + 1)));
            ASSERT_FALSE(card.isNull()) << "card " << n + 1;
            for (std::size_t i = 0; i < symbols.size(); ++i)
                EXPECT_EQ(readSymbol(card, symbols[i]->bounds(), kDpi / 72, placed[i].title),
                          names[n].toUtf8().toStdString())
                    << placed[i].title << " on card " << n + 1;
        }
    }

    ImageExport exporter;
    // What is placed and the values of the records.
    std::vector<Placed> placed{std::begin(kSymbols), std::end(kSymbols)};
    QStringList names = kNames;
    std::vector<GraphicPtr> symbols;
    QString chosenPath;
    int optionSheets = 0;
    QStringList resultBoxes;
};

} // namespace

TEST_F(TwoDimensionalValuesFromData, ASeriesOfNamesIsDrawnAndExportedByteForByte)
{
    writeSeries("People", (kNames.join('\n') + '\n').toUtf8());
    placeBoundSymbols(1, 0);
    ASSERT_EQ(symbols.size(), std::size(kSymbols));
    expectCanvasShows(names.first());
    expectExportedCardsHold(tmp.file("series"));
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

// Names that an 18 x 18 Data Matrix holds in Base 256 encodation only (two
// codewords a UTF-8 byte in ASCII, one in Base 256), beside one it holds in
// ASCII: each record drawn at the chosen size, none refused.
TEST_F(TwoDimensionalValuesFromData, AChosenDataMatrixSizeHoldsNamesThatFitOnlyInBase256)
{
    names = {QStringLiteral("Ünïcødé 2"), QStringLiteral("CARD-0042"), QStringLiteral("Zoë Ødegård"),
             QStringLiteral("Привет")};
    placed = {{"DataMatrix", {120, 6}, "C18X18"}};
    writeSeries("People", (names.join('\n') + '\n').toUtf8());
    placeBoundSymbols(1, 0);
    ASSERT_EQ(symbols.size(), 1u);
    expectCanvasShows(names.first());
    // 18 x 18 holds 18 data and 14 error codewords; 231 latches to Base 256.
    const std::optional<DmtxReading> shown = dmtxRead(symbolPart(canvasPicture(), symbols[0]->bounds(), 4));
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->codewords.size(), 32u);
    EXPECT_EQ(shown->codewords[0], 231);
    expectExportedCardsHold(tmp.file("series"));
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(TwoDimensionalValuesFromData, ASpreadsheetColumnOfNamesIsDrawnAndExportedByteForByte)
{
    const QString workbook = tmp.file("people.xlsx");
    const PythonResult made = runPython(QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.append(["Number", "Name"])
for n, name in enumerate(sys.argv[2:], 1):
    ws.append([n, name])
wb.save(sys.argv[1])
)"),
                                        QStringList{workbook} + kNames);
    ASSERT_TRUE(made.ok) << made.err.toStdString();

    // Data > Spreadsheet: the workbook chosen, every column taken.
    chosenPath = workbook;
    dialogs["Import_Excel"] = [](QDialog &d) {
        auto &picker = static_cast<Import_Excel &>(d);
        picker.Select_ALL_Pressed();
        picker.ok_btn->click();
        return d.result();
    };
    outlet<QAction>(*wnd, "act_spreadsheet")->trigger();
    dialogs.erase("Import_Excel");
    ASSERT_EQ(design_window::currentSpreadsheetTable().titles.join('|').toStdString(), "Number|Name");

    // Items: "Record No.", "Number", "Name".
    placeBoundSymbols(2, 2);
    ASSERT_EQ(symbols.size(), std::size(kSymbols));
    expectCanvasShows(names.first());
    expectExportedCardsHold(tmp.file("sheet"));
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}
