// The designer as the design window opens it: the barcode tool, a double
// click on a barcode, what the card then shows (read back from the rendered
// card), undo, and designs saved before barcode objects had pictures.

#include "barcodes/designer/BarcodeEngine.h"
#include "barcodes/designer_window/Barcode_Gen_Dialog.h"
#include "barcodes/designer_window/Stepper.h"
#include "batch_data/spreadsheet_window/BatchDataWindows.h"
#include "design_window/BarcodeDesigner.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/HubServices.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/TVNRenderingView.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"
#include "platform/PropertyList.h"
#include "batch_data/series/SeriesStore.h"
#include "design_window/ExportFileBox.h"
#include "output/export_window/ExportWindow.h"
#include "output/export_window/ImageExport.h"
#include "tests/design_window/Outlets.h"
#include "tests/support/ExportWait.h"
#include "tests/support/InstalledServices.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QWindow>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;
using ZXing::BarcodeFormat;

namespace {

class DesignerOnCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        design_window::setResourceFolder(folder.file("res"));
        design_window::setBarcodeDesigner([this](TVNGraphic *g) { return designer.Open_Wnd(g); });
        wnd = std::make_unique<TVNWindowController>();
    }
    void TearDown() override
    {
        wnd.reset();
        design_window::setBarcodeDesigner({});
    }

    // The user's part in the designer for the next opening: `script` edits
    // the window, then OK (or Cancel) is pressed. Each opening counts in
    // designerRuns: checks after a Cancel pass unseen when it never opened.
    platform::ScopedModalResponder answer(std::function<void(Barcode_Gen_Dialog &)> script, bool ok = true)
    {
        return platform::ScopedModalResponder([this, script, ok](QDialog &) {
            ++designerRuns;
            if (script)
                script(designer);
            (ok ? designer.ok_btn : designer.cancel_btn)->click();
            return designer.result();
        });
    }
    static void choose(Barcode_Gen_Dialog &d, const QString &title, const QString &value)
    {
        d.barcodeTypePopup->setCurrentIndex(d.barcodeTypePopup->findText(title));
        if (isTwoDimensionalTitle(title))
            d.dataText_2D->setPlainText(value);
        else
            d.dataText->setText(value);
        d.barcodeTypeChanged();
    }
    GraphicPtr addBarcode()
    {
        wnd->selectTool(TVNWindowController::kBarcodeTool);
        return wnd->currentCanvas()->_Selected_Graphic;
    }
    static std::string read(const platform::Image &picture, BarcodeFormat format)
    {
        return decodeBarcode(picture.toBitmap(300, Qt::white), format).text;
    }
    QImage card()
    {
        return TVNRenderingView::image_From_Card_Graphics(wnd->Get_Front_Controls_Array(), false)
            .toBitmap(300, Qt::white);
    }

    TempFolder folder;
    QStringList alerts;
    platform::ScopedAlertResponder alertResponder{[this](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        return 0;
    }};
    Barcode_Gen_Dialog designer;
    int designerRuns = 0;
    std::unique_ptr<TVNWindowController> wnd;
};

} // namespace

TEST_F(DesignerOnCard, BarcodeToolOpensTheDesignerAndTheCardShowsBothSymbols)
{
    GraphicPtr linear, square;
    {
        auto user = answer([](Barcode_Gen_Dialog &d) { choose(d, QStringLiteral("Code 128"), QStringLiteral("CARD-128")); });
        linear = addBarcode();
    }
    {
        auto user = answer([](Barcode_Gen_Dialog &d) {
            choose(d, QStringLiteral("QR Code"), QStringLiteral("https://quorvant.example/c/7"));
            d.hideHeaderCheckbox->setChecked(true);
            d.hideHeaderChanged();
            d.hideFooterCheckbox->setChecked(true);
            d.hideFooterChanged();
        });
        square = addBarcode();
    }
    EXPECT_EQ(read(linear->_barcode_image, BarcodeFormat::Code128), "CARD-128");
    EXPECT_EQ(read(square->_barcode_image, BarcodeFormat::QRCode), "https://quorvant.example/c/7");
    // The object takes its picture's size: neither symbol is distorted.
    EXPECT_EQ(linear->bounds().size(), linear->_barcode_image.size());
    // Side by side on the card, both read back from the card's picture.
    linear->setBounds(QRectF(QPointF(4, 4), linear->bounds().size()));
    square->setBounds(QRectF(QPointF(150, 60), square->bounds().size()));
    const QImage picture = card();
    EXPECT_EQ(decodeBarcode(picture, BarcodeFormat::Code128).text, "CARD-128");
    EXPECT_EQ(decodeBarcode(picture, BarcodeFormat::QRCode).text, "https://quorvant.example/c/7");
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(DesignerOnCard, NewBarcodeStaysOnlyWithOkAsOneUndoStep)
{
    QUndoStack &undo = wnd->design().document->undoManager();
    wnd->setWindowModified(false);
    {
        auto user = answer([](Barcode_Gen_Dialog &d) { choose(d, QStringLiteral("EAN-13"), QStringLiteral("12")); },
                           false);
        EXPECT_EQ(addBarcode(), nullptr);
    }
    ASSERT_EQ(designerRuns, 1) << "the barcode tool did not open the designer once";
    EXPECT_TRUE(design_window::Barcode_output_image.isNull());
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty()) << "Cancel leaves no object behind";
    EXPECT_EQ(undo.count(), 0);
    EXPECT_FALSE(wnd->hasUnsavedChanges()) << "nothing was added, nothing to save";

    GraphicPtr barcode;
    {
        auto user = answer([](Barcode_Gen_Dialog &d) { choose(d, QStringLiteral("Code 128"), QStringLiteral("NEW-1")); });
        barcode = addBarcode();
    }
    ASSERT_EQ(designerRuns, 2);
    ASSERT_NE(barcode, nullptr);
    EXPECT_EQ(wnd->Get_Front_Controls_Array(), GraphicList{barcode});
    EXPECT_EQ(read(barcode->_barcode_image, BarcodeFormat::Code128), "NEW-1");
    ASSERT_EQ(undo.count(), 1);
    EXPECT_EQ(undo.undoText(), "Create Barcode");
    undo.undo();
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
}

TEST_F(DesignerOnCard, ALongerSymbolStaysOnTheCard)
{
    GraphicPtr barcode;
    {
        auto user = answer({});
        barcode = addBarcode();
    }
    // In the card's bottom right corner.
    const QSizeF card = wnd->design().Front_card_Prop.Card_Size;
    barcode->setBounds(QRectF(QPointF(card.width(), card.height()) - QPointF(barcode->bounds().width(), barcode->bounds().height()),
                              barcode->bounds().size()));
    wnd->currentCanvas()->selectGraphic(barcode);
    {
        auto user = answer([](Barcode_Gen_Dialog &d) { choose(d, QStringLiteral("Code 128"), QStringLiteral("LONGER-7")); });
        wnd->Open_Barcode_Window(barcode.get());
    }
    EXPECT_GT(barcode->bounds().width(), 0);
    EXPECT_TRUE(QRectF(QPointF(0, 0), card).contains(barcode->bounds()))
        << barcode->bounds().right() << " of " << card.width();
    EXPECT_EQ(read(barcode->_barcode_image, BarcodeFormat::Code128), "LONGER-7");
}

TEST_F(DesignerOnCard, DoubleClickGivesEverySelectedBarcodeTheResultAndUndoBringsThemBack)
{
    GraphicPtr first, second;
    {
        auto user = answer({});
        first = addBarcode();
    }
    {
        auto user = answer({});
        second = addBarcode();
    }
    // The user had drawn the second one larger (as large as the card lets
    // its new symbol be).
    second->setBounds(QRectF(QPointF(4, 4), second->bounds().size() * 1.4));
    const BarcodeState before = BarcodeState::of(*second);
    TVNGraphicView *canvas = wnd->currentCanvas();
    canvas->selectGraphic(first);
    canvas->selectGraphic(second);
    {
        auto user = answer([](Barcode_Gen_Dialog &d) { choose(d, QStringLiteral("Code 128"), QStringLiteral("BOTH-2")); });
        const QPointF at = first->bounds().center() * canvas->scale();
        QMouseEvent click(QEvent::MouseButtonDblClick, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(canvas, &click);
    }
    for (const GraphicPtr &g : {first, second}) {
        EXPECT_EQ(g->linear_font_val, "BOTH-2");
        EXPECT_EQ(read(g->_barcode_image, BarcodeFormat::Code128), "BOTH-2");
    }
    // Each keeps the scale it was drawn at.
    EXPECT_NEAR(second->bounds().width() / second->_barcode_image.size().width(), 1.4, 1e-9);
    EXPECT_EQ(second->bounds().topLeft(), QPointF(4, 4));

    wnd->design().document->undoManager().undo();
    EXPECT_EQ(second->barcodeSettings(), before.settings);
    EXPECT_EQ(second->bounds(), before.bounds);
    EXPECT_EQ(read(second->_barcode_image, BarcodeFormat::Code39), "0123");
}

TEST_F(DesignerOnCard, DesignSavedWithoutBarcodePicturesOpensWithThemDrawn)
{
    BarcodeSettings s;
    s.barcode_font_index = int(barcodeTypeTitles().indexOf("DataMatrix"));
    s.linear_or_2d = 1;
    s.two_d_font_val = QStringLiteral("OLD-DESIGN-42");
    auto barcode = std::make_shared<TVNBarcode>();
    barcode->setBarcodeSettings(s);
    barcode->setBounds(QRectF(10, 10, 80, 100));
    design_window::Design design;
    design.front = {barcode};
    // As files were written before barcode objects had pictures.
    QVariantList root = platform::readPropertyList(design_window::encodeDesign(design))->toList();
    QVariantMap body = root[1].toMap();
    QVariantList front = body["front_graphics"].toList();
    QVariantMap graphic = front[0].toMap();
    graphic.remove("_barcode_image");
    graphic.remove("kerning_val");
    front[0] = graphic;
    body["front_graphics"] = front;
    root[1] = body;
    const auto loaded = design_window::decodeDesign(platform::writePropertyList(root));
    ASSERT_TRUE(loaded);
    const TVNGraphic &g = *loaded->front.at(0);
    EXPECT_EQ(g.barcodeSettings(), s);
    EXPECT_EQ(read(g._barcode_image, BarcodeFormat::DataMatrix), "OLD-DESIGN-42");
}

TEST_F(DesignerOnCard, TheBarcodeToolMakesOneBarcodeAndADragAfterItNoSecond)
{
    GraphicPtr first;
    {
        auto user = answer([](Barcode_Gen_Dialog &d) { choose(d, QStringLiteral("Code 128"), QStringLiteral("ONE")); });
        wnd->findChild<QAction *>("act_tool_barcode")->trigger();
        first = wnd->currentCanvas()->_Selected_Graphic;
    }
    ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    TVNGraphicView *canvas = wnd->currentCanvas();
    const auto mouse = [&](QEvent::Type type, QPointF card) {
        const QPointF at = card * canvas->scale();
        QMouseEvent event(type, at, canvas->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    };
    // A drag over empty card opens no designer and adds nothing (a
    // designer opened here would fail the test: no answer is scripted).
    {
        platform::ScopedModalResponder none([](QDialog &d) {
            ADD_FAILURE() << "a designer opened: " << d.metaObject()->className();
            return 0;
        });
        const QRectF dragged(QPointF(120, 90), QPointF(220, 140));
        mouse(QEvent::MouseButtonPress, dragged.topLeft());
        mouse(QEvent::MouseMove, dragged.center());
        mouse(QEvent::MouseMove, dragged.bottomRight());
        mouse(QEvent::MouseButtonRelease, dragged.bottomRight());
        QApplication::processEvents();
    }
    ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    EXPECT_EQ(wnd->Get_Front_Controls_Array().front(), first);
    EXPECT_EQ(read(first->_barcode_image, BarcodeFormat::Code128), "ONE");
    // The barcode and its settings are one step.
    wnd->findChild<QAction *>("act_undo")->trigger();
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
}

TEST_F(DesignerOnCard, ASymbologyChangeFitsItsBoxOnTheCardOrIsRefused)
{
    // A QR Code near the card's right edge becomes a linear symbol: one that
    // the card can hold takes a box that agrees with its picture, inside the
    // card, every text drawn; one wider than the card is refused with a
    // message and the object stays as it was.
    struct Row {
        const char *title;
        const char *value;
        bool fits;
    };
    const Row rows[] = {
        {"Code 128", "QV-42", true},
        {"Industrial 2 of 5", "590123412345", false},
    };
    for (const Row &row : rows) {
        GraphicPtr barcode;
        {
            auto user = answer([](Barcode_Gen_Dialog &d) {
                choose(d, QStringLiteral("QR Code"), QStringLiteral("https://quorvant.example/c/7"));
            });
            barcode = addBarcode();
        }
        const QSizeF card = wnd->design().Front_card_Prop.Card_Size;
        barcode->setBounds(QRectF(QPointF(card.width() - barcode->bounds().width() - 5, 30), barcode->bounds().size()));
        wnd->currentCanvas()->selectGraphic(barcode);
        const QRectF before = barcode->bounds();
        const BarcodeSettings settingsBefore = barcode->barcodeSettings();
        alerts.clear();
        bool stayedOpen = false;
        {
            auto user = platform::ScopedModalResponder([&](QDialog &) {
                choose(designer, QString::fromLatin1(row.title), QString::fromLatin1(row.value));
                designer.setResult(0);
                designer.ok_btn->click();
                if (designer.result() != 1) {
                    stayedOpen = true;
                    designer.cancel_btn->click();
                }
                return designer.result();
            });
            wnd->Open_Barcode_Window(barcode.get());
        }
        const QImage shown = this->card();
        if (!row.fits) {
            EXPECT_TRUE(stayedOpen);
            ASSERT_EQ(alerts.size(), 1);
            EXPECT_TRUE(alerts.first().startsWith("The barcode does not fit on the card")) << alerts.first().toStdString();
            EXPECT_EQ(barcode->bounds(), before);
            EXPECT_EQ(barcode->barcodeSettings(), settingsBefore);
            EXPECT_EQ(decodeBarcode(shown, BarcodeFormat::QRCode).text, "https://quorvant.example/c/7");
            continue;
        }
        EXPECT_FALSE(stayedOpen) << alerts.join('|').toStdString();
        EXPECT_TRUE(QRectF(QPointF(0, 0), card).contains(barcode->bounds())) << row.title;
        EXPECT_EQ(barcode->bounds().size(), barcode->_barcode_image.size()) << row.title;
        // Header, value and footer all on the card: what the card shows is
        // what the picture drawn alone shows, inside the box.
        const auto inked = [](const QImage &image) {
            QRect out;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128)
                        out |= QRect(x, y, 1, 1);
            return out;
        };
        const QRect onCard = inked(shown);
        const QRect alone = inked(barcode->_barcode_image.toBitmap(300, Qt::white));
        const QRectF box(barcode->bounds().topLeft() * 300 / 72, barcode->bounds().size() * 300 / 72);
        EXPECT_TRUE(box.adjusted(-1, -1, 1, 1).contains(onCard)) << row.title;
        EXPECT_NEAR(onCard.width(), alone.width(), 2) << row.title;
        EXPECT_NEAR(onCard.height(), alone.height(), 2) << row.title;
    }
}

TEST_F(DesignerOnCard, UndoingBackToTheOpenedFileClearsTheChangedMarkWhicheverToolAddedTheObject)
{
    const QString file = folder.file("badge.zelg");
    writeTestFile(file, design_window::encodeDesign(design_window::Design{}));
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join('|').toStdString();
    // The title as the window system shows it, "*" placeholder resolved.
    wnd->winId();
    const auto shownTitle = [&] { return wnd->windowHandle()->title(); };
    const QString saved = shownTitle();
    ASSERT_FALSE(saved.contains('*')) << saved.toStdString();

    const std::pair<const char *, bool> tools[] = {{"act_tool_text", false}, {"act_tool_barcode", true}};
    for (const auto &[tool, designer] : tools) {
        SCOPED_TRACE(tool);
        int designerRuns = 0;
        auto user = answer([&](Barcode_Gen_Dialog &d) {
            ++designerRuns;
            choose(d, QStringLiteral("QR Code"), QStringLiteral("Zoë-001"));
        });
        wnd->findChild<QAction *>(tool)->trigger();
        EXPECT_EQ(designerRuns, designer ? 1 : 0);
        ASSERT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
        EXPECT_TRUE(wnd->hasUnsavedChanges());
        EXPECT_TRUE(shownTitle().contains('*')) << shownTitle().toStdString();

        wnd->findChild<QAction *>("act_undo")->trigger();
        EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
        EXPECT_FALSE(wnd->findChild<QAction *>("act_undo")->isEnabled());
        EXPECT_FALSE(wnd->hasUnsavedChanges());
        EXPECT_EQ(shownTitle().toStdString(), saved.toStdString());

        // Redone, it is a change again; undone, the file's state again.
        wnd->findChild<QAction *>("act_redo")->trigger();
        EXPECT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
        EXPECT_TRUE(wnd->hasUnsavedChanges());
        wnd->findChild<QAction *>("act_undo")->trigger();
        EXPECT_FALSE(wnd->hasUnsavedChanges());
        EXPECT_EQ(shownTitle().toStdString(), saved.toStdString());
    }
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(DesignerOnCard, AChangeMadeFromTheBarcodeToolsDesignerStaysAChangeAfterUndoOrCancel)
{
    // Each window finds the data windows when it is made.
    design_window::HubServices services;
    services.series = &batch_data::designSeriesWindows();
    services.barcodeDesigner = [this](TVNGraphic *g) { return designer.Open_Wnd(g); };
    const InstalledServices installed(services);
    // The table is the process's: the next suite starts without it.
    const auto noTable = qScopeGuard([] { design_window::restoreSpreadsheetTable({}); });
    design_window::Design saved;
    saved.table = {{"Name"}, {{{"Extension", 1}, {"Column1", QStringLiteral("Zoë")}}}};
    const QString file = folder.file("badge.zelg");
    writeTestFile(file, design_window::encodeDesign(saved));

    // The design's own spreadsheet table, edited in the viewer the designer
    // opens: neither undoing the new barcode nor cancelling it undoes that.
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK, then Undo" : "Cancel");
        wnd = std::make_unique<TVNWindowController>();
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join('|').toStdString();
        ASSERT_FALSE(wnd->hasUnsavedChanges());
        const QString edited = ok ? QStringLiteral("Zoë Ødegård") : QStringLiteral("Zoë Straße");
        int viewerRuns = 0;
        auto user = answer(
            [&](Barcode_Gen_Dialog &d) {
                d.Data_source_type->setCurrentIndex(d.Data_source_type->findText(QStringLiteral("Excel")));
                d.comboBoxSelectionDidChange(d.Data_source_type);
                d.Batch_Series->setCurrentIndex(d.Batch_Series->findText(QStringLiteral("Name")));
                d.comboBoxSelectionDidChange(d.Batch_Series);
                platform::ScopedModalResponder viewer([&](QDialog &v) {
                    ++viewerRuns;
                    auto *table = v.findChild<QTableWidget *>();
                    table->item(0, table->columnCount() - 1)->setText(edited);
                    return 1;
                });
                d.view_series_btn->click();
                choose(d, QStringLiteral("QR Code"), {});
            },
            ok);
        addBarcode();
        EXPECT_EQ(viewerRuns, 1);
        ASSERT_EQ(design_window::currentSpreadsheetTable().rows.value(0).value("Column1").toString(), edited);
        if (ok) {
            EXPECT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
            wnd->findChild<QAction *>("act_undo")->trigger();
        }
        EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
        EXPECT_TRUE(wnd->hasUnsavedChanges());
        EXPECT_TRUE(wnd->isWindowModified());
    }
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

namespace {

const QStringList kPeople{QStringLiteral("P-0001"), QStringLiteral("P-0002"), QStringLiteral("P-0003")};

// A saved design whose Code 128 barcode takes its values from the series
// "People", bound through the inspector, with a second series and a
// spreadsheet table to choose from; the window finds the data windows and
// the export.
class BoundBarcode : public DesignerOnCard {
protected:
    void SetUp() override
    {
        DesignerOnCard::SetUp();
        design_window::HubServices services;
        services.series = &batch_data::designSeriesWindows();
        services.barcodeDesigner = [this](TVNGraphic *g) { return designer.Open_Wnd(g); };
        services.imageExport = &exporter;
        installed = std::make_unique<InstalledServices>(services);
        wnd = std::make_unique<TVNWindowController>();
        Check_Path_And_Create_Files();
        const batch_data::SeriesStore store(design_window::Data_Folder_Path);
        ASSERT_TRUE(store.writeSeries("People", kPeople) && store.writeSeries("Other", {"O-1"}));
        design_window::Design design;
        design.table = {{"Name", "Badge"}, {{{"Extension", 1}, {"Column1", "Ann"}, {"Column2", "ID-7781"}}}};
        writeTestFile(file, design_window::encodeDesign(design));
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << alerts.join('|').toStdString();
        {
            auto user = answer([](Barcode_Gen_Dialog &d) {
                choose(d, QStringLiteral("Code 128"), QStringLiteral("TYPED"));
            });
            barcode = addBarcode();
        }
        ASSERT_NE(barcode, nullptr);
        inspectorSource()->setCurrentIndex(inspectorSource()->findText(QStringLiteral("Series")));
        wnd->Data_Source_Type_Changed();
        inspectorList()->setCurrentIndex(inspectorList()->findText(QStringLiteral("People")));
        wnd->Batch_Series_Changed();
        ASSERT_EQ(barcode->data_source_type, 1);
        ASSERT_TRUE(wnd->Save_Design());
        saved = readTestFile(file);
        ASSERT_FALSE(saved.isEmpty());
    }
    void TearDown() override
    {
        DesignerOnCard::TearDown();
        design_window::restoreSpreadsheetTable({});
    }

    QComboBox *inspectorSource() const { return outlet<QComboBox>(*wnd, "Data_source_type"); }
    QComboBox *inspectorList() const { return outlet<QComboBox>(*wnd, "Batch_Series"); }
    std::string inspectorShows() const
    {
        return (inspectorSource()->currentText() + " / " + inspectorList()->currentText()).toStdString();
    }

    // What a batch export over the series writes for the front of each
    // record, into `folder`/Quorvant.
    QStringList exportedCards(const QString &folder)
    {
        QDir().mkpath(folder);
        QStringList boxes;
        platform::ScopedModalResponder user([&](QDialog &d) {
            if (auto *options = dynamic_cast<ExportWindow *>(&d)) {
                EXPECT_TRUE(options->Export_with_batch_chk->isChecked());
                options->fileFormatPopup->setCurrentText("PNG");
                options->saveDPIText->setCurrentText("300");
                options->matrix_export_card_side->button(1)->click();
                options->buttons->button(QDialogButtonBox::Ok)->click();
                return d.result();
            }
            if (auto *panel = dynamic_cast<QFileDialog *>(&d)) {
                panel->selectFile(folder);
                return 1;
            }
            if (auto *box = dynamic_cast<Export_File_Box *>(&d)) {
                boxes << box->_open_log_message->text();
                box->_open_log_chk->setChecked(false);
                return 1;
            }
            ADD_FAILURE() << "unexpected dialog " << d.metaObject()->className();
            return 0;
        });
        outlet<QAction>(*wnd, "act_export")->trigger();
        waitForExport(exporter);
        EXPECT_EQ(boxes.join('|').toStdString(), "Frame has been exported successfully.");
        const QDir cards(QDir(folder).filePath("Quorvant"));
        QStringList out;
        for (const QString &name : cards.entryList({"*.PNG"}, QDir::Files, QDir::Name))
            out << QString::fromStdString(decodeBarcode(QImage(cards.filePath(name)), BarcodeFormat::Code128).text);
        return out;
    }

    ScopedValue<std::atomic<bool>> seriesValues{design_window::Use_Data_Sheet_Values};
    ScopedValue<std::atomic<bool>> sheetValues{design_window::Use_Excel_Binding_Values};
    ScopedValue<std::atomic<int>> cards{design_window::Total_Batch_Excel_Card};
    ScopedValue<QString> exportSides{design_window::export_card_side};
    ScopedValue<QString> exportPath{design_window::Export_File_Path};
    ScopedValue<QString> exportMessage{design_window::Export_File_Message};
    ScopedSettings settings;
    ImageExport exporter;
    std::unique_ptr<InstalledServices> installed;
    const QString file = folder.file("badge.zelg");
    QByteArray saved;
    GraphicPtr barcode;
};

void pick(Barcode_Gen_Dialog &d, QComboBox *combo, const QString &item)
{
    ASSERT_GE(combo->findText(item), 0) << item.toStdString();
    combo->setCurrentIndex(combo->findText(item));
    d.comboBoxSelectionDidChange(combo);
}

// A field of a pair typed in, as a user leaves it.
void typeIn(QLineEdit *field, const QString &text)
{
    field->setText(text);
    emit field->editingFinished();
}

} // namespace

TEST_F(BoundBarcode, CancelAfterAnyChangeLeavesTheDesignAsSaved)
{
    using Change = std::function<void(Barcode_Gen_Dialog &)>;
    const auto manual = [](Barcode_Gen_Dialog &d) { pick(d, d.Data_source_type, QStringLiteral("Manual")); };
    // A click on a check box: the box flips, then its handler runs.
    const auto toggle = [](QCheckBox *Barcode_Gen_Dialog::*box, void (Barcode_Gen_Dialog::*handler)()) {
        return [box, handler](Barcode_Gen_Dialog &d) {
            (d.*box)->setChecked(!(d.*box)->isChecked());
            (d.*handler)();
        };
    };
    const auto takeFont = [](QPushButton *button) {
        platform::ScopedModalResponder panel([](QDialog &d) {
            static_cast<QFontDialog &>(d).setCurrentFont(QFont(QStringLiteral("DejaVu Sans"), 14));
            return 1;
        });
        button->click();
    };
    const auto takeColour = [](QPushButton *well) {
        platform::ScopedModalResponder panel([](QDialog &d) {
            static_cast<QColorDialog &>(d).setCurrentColor(QColor(200, 30, 30));
            d.accept();
            return d.result();
        });
        well->click();
    };
    const auto twoD = [](const char *title) {
        return [title](Barcode_Gen_Dialog &d) { choose(d, QString::fromLatin1(title), QStringLiteral("P-0001")); };
    };
    const std::pair<const char *, Change> rows[] = {
        {"symbology", [](Barcode_Gen_Dialog &d) { choose(d, QStringLiteral("Code 39"), QStringLiteral("P-0001")); }},
        {"linear value",
         [&](Barcode_Gen_Dialog &d) {
             manual(d);
             d.dataText->setText(QStringLiteral("TYPED-2"));
             d.controlTextDidChange(d.dataText);
         }},
        {"2-D value",
         [&](Barcode_Gen_Dialog &d) {
             manual(d);
             choose(d, QStringLiteral("QR Code"), QStringLiteral("QR-TYPED"));
         }},
        {"source Manual", manual},
        {"source Series, other series",
         [](Barcode_Gen_Dialog &d) {
             pick(d, d.Data_source_type, QStringLiteral("Series"));
             pick(d, d.Batch_Series, QStringLiteral("Other"));
         }},
        {"source Excel", [](Barcode_Gen_Dialog &d) { pick(d, d.Data_source_type, QStringLiteral("Excel")); }},
        {"series name", [](Barcode_Gen_Dialog &d) { pick(d, d.Batch_Series, QStringLiteral("Other")); }},
        {"column",
         [](Barcode_Gen_Dialog &d) {
             pick(d, d.Data_source_type, QStringLiteral("Excel"));
             pick(d, d.Batch_Series, QStringLiteral("Badge"));
         }},
        {"header text",
         [](Barcode_Gen_Dialog &d) {
             d.HeaderText->setText(QStringLiteral("ASSET"));
             d.controlTextDidChange(d.HeaderText);
         }},
        {"footer text",
         [](Barcode_Gen_Dialog &d) {
             d.FooterText->setText(QStringLiteral("ROOM 4"));
             d.controlTextDidChange(d.FooterText);
         }},
        {"hide header", toggle(&Barcode_Gen_Dialog::hideHeaderCheckbox, &Barcode_Gen_Dialog::hideHeaderChanged)},
        {"hide footer", toggle(&Barcode_Gen_Dialog::hideFooterCheckbox, &Barcode_Gen_Dialog::hideFooterChanged)},
        {"hide value", toggle(&Barcode_Gen_Dialog::captionCheckbox, &Barcode_Gen_Dialog::captionChanged)},
        {"value on top", toggle(&Barcode_Gen_Dialog::showinTopCheckbox, &Barcode_Gen_Dialog::showinTopChanged)},
        {"spread value", toggle(&Barcode_Gen_Dialog::kerning_value_Checkbox, &Barcode_Gen_Dialog::Set_Font_Clr)},
        {"header alignment", [](Barcode_Gen_Dialog &d) { pick(d, d.align_hdr_combo, d.align_hdr_combo->itemText(0)); }},
        {"footer alignment", [](Barcode_Gen_Dialog &d) { pick(d, d.align_ftr_combo, d.align_ftr_combo->itemText(2)); }},
        {"bar height", [](Barcode_Gen_Dialog &d) { typeIn(d.HeightText, QStringLiteral("1.5")); }},
        {"bar width", [](Barcode_Gen_Dialog &d) { d.widthStepper->stepUp(); }},
        {"margins",
         [](Barcode_Gen_Dialog &d) {
             for (QLineEdit *field : {d.val_mar_Text, d.hdr_mar_Text, d.ftr_mar_Text, d.TB_mar_Text, d.LR_mar_Text})
                 typeIn(field, QStringLiteral("0.4"));
         }},
        {"QR size, version and level",
         [&](Barcode_Gen_Dialog &d) {
             twoD("QR Code")(d);
             typeIn(d.HeightText_2D, QStringLiteral("90"));
             pick(d, d.qr_version_ComboBox, QStringLiteral("V4"));
             pick(d, d.qr_ec_lvl_ComboBox, d.qr_ec_lvl_ComboBox->itemText(3));
         }},
        {"PDF417 size and level",
         [&](Barcode_Gen_Dialog &d) {
             twoD("PDF417")(d);
             typeIn(d.Pdf_widthText_2D, QStringLiteral("160"));
             typeIn(d.pdf_HeightText_2D, QStringLiteral("40"));
             typeIn(d.pdf_ec_lvl_Text, QStringLiteral("4"));
         }},
        {"Data Matrix module, format and encodation",
         [&](Barcode_Gen_Dialog &d) {
             twoD("DataMatrix")(d);
             d.dm_moduleStepper_2D->stepUp();
             pick(d, d.dm_format_ComboBox, QStringLiteral("C24X24"));
             pick(d, d.dm_encoding_ComboBox, QStringLiteral("Base256"));
         }},
        {"fonts",
         [&](Barcode_Gen_Dialog &d) {
             for (QPushButton *button : {d.val_font_btn, d.header_font_btn, d.footer_font_btn})
                 takeFont(button);
         }},
        {"colours",
         [&](Barcode_Gen_Dialog &d) {
             for (QPushButton *well : {d.barcode_clr, d.bar_back_clr, d.bar_val_clr, d.bar_hdr_clr, d.bar_ftr_clr})
                 takeColour(well);
         }},
        {"resolution",
         [&](Barcode_Gen_Dialog &d) {
             twoD("QR Code")(d);
             pick(d, d.DPI_ComboBox, QStringLiteral("Custom"));
             typeIn(d.dpi_Text, QStringLiteral("450"));
         }},
    };
    // Cancel as the user may say it: the button, Escape, the window's close.
    const std::function<void(Barcode_Gen_Dialog &)> cancels[] = {
        [](Barcode_Gen_Dialog &d) { d.cancel_btn->click(); },
        [](Barcode_Gen_Dialog &d) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&d, &escape);
        },
        [](Barcode_Gen_Dialog &d) {
            d.show();
            d.close();
        },
    };
    const QUndoStack &undo = wnd->design().document->undoManager();
    const int steps = undo.count();
    ASSERT_FALSE(wnd->isWindowModified());
    ASSERT_EQ(inspectorShows(), "Series / People");
    const QString again = folder.file("again.zelg");
    int runs = 0;
    QStringList unchanged;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Change &change = rows[i].second;
        SCOPED_TRACE(rows[i].first);
        platform::ScopedModalResponder user([&](QDialog &) {
            const BarcodeSettings opened = designer.currentSettings();
            ++runs;
            change(designer);
            if (designer.currentSettings() == opened)
                unchanged << rows[i].first;
            // The window must end (and with 0): a stale result proves nothing.
            int ended = -1;
            const auto end = QObject::connect(&designer, &QDialog::finished, [&](int result) { ended = result; });
            cancels[i % std::size(cancels)](designer);
            QObject::disconnect(end);
            EXPECT_EQ(ended, 0);
            return ended;
        });
        outlet<QPushButton>(*wnd, "barcode_designer_btn")->click();
        ASSERT_TRUE(wnd->Save_project_file(again, false));
        EXPECT_TRUE(readTestFile(again) == saved);
        EXPECT_EQ(undo.count(), steps);
        EXPECT_FALSE(wnd->isWindowModified());
        EXPECT_EQ(inspectorShows(), "Series / People");
    }
    EXPECT_EQ(runs, int(std::size(rows)));
    EXPECT_TRUE(unchanged.isEmpty()) << "rows that change nothing: " << unchanged.join(", ").toStdString();

    // OK takes the source chosen in the window, as one step.
    {
        auto user = answer(manual);
        outlet<QPushButton>(*wnd, "barcode_designer_btn")->click();
    }
    EXPECT_EQ(barcode->data_source_type, 0);
    EXPECT_EQ(undo.count(), steps + 1);
    EXPECT_TRUE(wnd->isWindowModified());
    EXPECT_EQ(inspectorSource()->currentText(), "Manual");
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(BoundBarcode, ManualChosenThenCancelledStillExportsEachRecordsOwnValue)
{
    {
        auto user = answer(
            [](Barcode_Gen_Dialog &d) {
                pick(d, d.Data_source_type, QStringLiteral("Manual"));
                d.dataText->setText(QStringLiteral("TYPED-9"));
                d.controlTextDidChange(d.dataText);
            },
            false);
        outlet<QPushButton>(*wnd, "barcode_designer_btn")->click();
    }
    ASSERT_EQ(designerRuns, 2) << "the designer's button did not open it";
    EXPECT_EQ(inspectorShows(), "Series / People");
    const QStringList expected(kPeople);
    EXPECT_EQ(exportedCards(folder.file("out")), expected);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

// A series chosen in the designer reaches the object, and every barcode
// selected with it, on OK, and the inspector shows it; one chosen and
// cancelled is not carried over to the next object the designer opens on.
TEST_F(BoundBarcode, ASeriesChosenInTheDesignerBindsTheSelectedBarcodesOnOkOnly)
{
    GraphicPtr typed;
    {
        auto user = answer([](Barcode_Gen_Dialog &d) {
            choose(d, QStringLiteral("Code 128"), QStringLiteral("TYPED-2"));
        });
        typed = addBarcode();
    }
    ASSERT_NE(typed, nullptr);
    ASSERT_EQ(typed->data_source_type, 0);
    const auto other = [](Barcode_Gen_Dialog &d) {
        pick(d, d.Data_source_type, QStringLiteral("Series"));
        pick(d, d.Batch_Series, QStringLiteral("Other"));
    };
    TVNGraphicView *canvas = wnd->currentCanvas();
    const int runs = designerRuns;
    canvas->deselectAll();
    canvas->selectGraphic(barcode);
    {
        auto user = answer(other, false);
        wnd->Open_Barcode_Window(barcode.get());
    }
    canvas->deselectAll();
    canvas->selectGraphic(typed);
    {
        auto user = answer({});
        wnd->Open_Barcode_Window(typed.get());
    }
    EXPECT_EQ(typed->data_source_type, 0);
    EXPECT_EQ(inspectorShows(), "Manual / ");
    EXPECT_EQ(read(typed->_barcode_image, BarcodeFormat::Code128), "TYPED-2");

    canvas->selectGraphic(barcode);
    {
        auto user = answer(other);
        wnd->Open_Barcode_Window(typed.get());
    }
    ASSERT_EQ(designerRuns, runs + 3) << "the designer did not open each time";
    for (const GraphicPtr &g : {typed, barcode}) {
        EXPECT_EQ(g->data_source_type, 1);
        EXPECT_EQ(g->batch_list_name, "Other");
        EXPECT_EQ(read(g->_barcode_image, BarcodeFormat::Code128), "O-1");
    }
    EXPECT_EQ(inspectorShows(), "Series / Other");
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}
