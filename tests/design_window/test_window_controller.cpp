// The design window driven headless through its operations and handlers,
// with alerts and modal runs scripted.
#include "design_window/BarcodePanel.h"
#include "tests/design_window/Outlets.h"
#include "design_window/CardPanel.h"
#include "design_window/CardSizes.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/ImagePanel.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "design_window/TextPanel.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/canvas/TVNGrid.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"
#include "platform/PropertyList.h"
#include "tests/design_window/WindowFixture.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace design_window;
using quorvant::test::outlet;

namespace {

class WindowTest : public DesignWindow {
protected:
    void makeSeries(const QString &name, const QByteArray &content)
    {
        quorvant::test::writeTestFile(QDir(Data_Folder_Path).filePath(name + ".txt"), content);
    }
    // Saves and opens the design as it is; a refused file must leave it open.
    void openAsKeptDesign()
    {
        keptPath = tmp.file("open.zelg");
        ASSERT_TRUE(wnd->Save_project_file(keptPath, false));
        ASSERT_EQ(wnd->Read_and_load_design_Log(keptPath, "L"), 1);
        kept = wnd->Get_Front_Controls_Array();
    }
    void expectRefused(const QString &name, const QByteArray &bytes)
    {
        const QString file = tmp.file(name);
        quorvant::test::writeTestFile(file, bytes);
        alerts.clear();
        EXPECT_EQ(wnd->Read_and_load_design_Log(file, "L"), 0) << name.toStdString();
        EXPECT_EQ(alerts, QStringList{QStringLiteral("The selected file \"%1\" is not a valid design file or it is "
                                                     "damaged.").arg(file)})
            << name.toStdString();
        EXPECT_EQ(wnd->Get_Front_Controls_Array(), kept);
        EXPECT_EQ(wnd->designFilePath(), keptPath);
    }
    QString keptPath;
    GraphicList kept;
};

// Everything a graphic stores; the binding and barcode settings as one value.
void expectSameGraphic(const TVNGraphic &a, const TVNGraphic &b)
{
    EXPECT_EQ(a.graphicClass(), b.graphicClass());
    EXPECT_EQ(a.bounds(), b.bounds());
    EXPECT_EQ(a.isDrawingFill(), b.isDrawingFill());
    EXPECT_EQ(a.isDrawingStroke(), b.isDrawingStroke());
    EXPECT_EQ(a.fillColor(), b.fillColor());
    EXPECT_EQ(a.strokeColor(), b.strokeColor());
    EXPECT_EQ(a.strokeWidth(), b.strokeWidth());
    EXPECT_EQ(a.control_ID, b.control_ID);
    EXPECT_EQ(a.ctrl_is_visible, b.ctrl_is_visible);
    EXPECT_EQ(a.ctrl_is_printable, b.ctrl_is_printable);
    EXPECT_EQ(a.Text_Value, b.Text_Value);
    EXPECT_EQ(a.barcodeSettings(), b.barcodeSettings());
    EXPECT_EQ(a._barcode_image.isNull(), b._barcode_image.isNull());
    if (!a._barcode_image.isNull()) {
        EXPECT_EQ(a._barcode_image.size(), b._barcode_image.size());
        EXPECT_EQ(a._barcode_image.toBitmap(72), b._barcode_image.toBitmap(72));
    }
    if (auto *ta = dynamic_cast<const TVNText *>(&a)) {
        auto *tb = dynamic_cast<const TVNText *>(&b);
        ASSERT_NE(tb, nullptr);
        EXPECT_EQ(ta->contentsString(), tb->contentsString());
        EXPECT_EQ(ta->textFont(), tb->textFont());
        EXPECT_EQ(ta->textColor(), tb->textColor());
        EXPECT_EQ(ta->alignment(), tb->alignment());
    }
    if (auto *ia = dynamic_cast<const TVNImage *>(&a)) {
        auto *ib = dynamic_cast<const TVNImage *>(&b);
        ASSERT_NE(ib, nullptr);
        EXPECT_EQ(ia->filePath(), ib->filePath());
        EXPECT_EQ(ia->image().toBitmap(72), ib->image().toBitmap(72));
    }
}

} // namespace

TEST_F(WindowTest, StartsAsOneWindowWithAnEmptyDesignShowingTheCard)
{
    EXPECT_EQ(TVNWindowController::defaultInstance(), wnd.get());
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
    EXPECT_EQ(outlet<TVNGraphicView>(*wnd, "_graphicView")->canvasSize(), wnd->design().Front_card_Prop.Card_Size);
    EXPECT_FALSE(outlet<QComboBox>(*wnd, "side_switch")->isEnabled());
    EXPECT_EQ(outlet<QStackedWidget>(*wnd, "inspector_pages")->currentWidget(), outlet<CardPanel>(*wnd, "card_panel"));
    // The bundle's default content was copied into the resource folder.
    EXPECT_EQ(QDir(tmp.file("res/Frames")).entryList({"*.png"}).size(), 4);
    // Commands that other work provides (none left now that the series
    // windows are there) would be there but disabled.
    for (QAction *a : wnd->pendingActions())
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(WindowTest, EachObjectShowsItsOwnPageAndAnythingElseTheCard)
{
    struct Case {
        int tool;
        QWidget *page;
        const char *title;
    } const cases[] = {
        {TVNWindowController::kTextTool, outlet<TextPanel>(*wnd, "textPanel"), "Text"},
        {TVNWindowController::kImageTool, outlet<ImagePanel>(*wnd, "imagePanel"), "Image"},
        {TVNWindowController::kBarcodeTool, outlet<BarcodePanel>(*wnd, "barcodePanel"), "Barcode"},
    };
    for (const Case &c : cases) {
        const GraphicPtr g = add(c.tool);
        EXPECT_EQ(wnd->inspectedGraphic(), g.get());
        EXPECT_EQ(outlet<QStackedWidget>(*wnd, "inspector_pages")->currentWidget(), c.page) << c.title;
        EXPECT_EQ(outlet<QLabel>(*wnd, "inspector_title")->text(), c.title);
        EXPECT_TRUE(outlet<DataSourcePanel>(*wnd, "data_source_box")->isVisibleTo(wnd.get())) << c.title;
    }
    // A graphic that is not part of the design shows the card.
    const GraphicPtr stray = newGraphicOfClass(GraphicClass::Text);
    wnd->Show_RHS_Properties(stray.get());
    EXPECT_EQ(wnd->inspectedGraphic(), nullptr);
    EXPECT_EQ(outlet<QStackedWidget>(*wnd, "inspector_pages")->currentWidget(), outlet<CardPanel>(*wnd, "card_panel"));
    EXPECT_EQ(outlet<QLabel>(*wnd, "inspector_title")->text(), "Card");
    EXPECT_FALSE(outlet<DataSourcePanel>(*wnd, "data_source_box")->isVisibleTo(wnd.get()));
}

TEST_F(WindowTest, TextPageEditsTheTextAndTheCanvasShowsIt)
{
    GraphicPtr text = add(TVNWindowController::kTextTool);
    auto *t = static_cast<TVNText *>(text.get());
    TextPanel &panel = *outlet<TextPanel>(*wnd, "textPanel");
    EXPECT_EQ(panel.text_content->toPlainText(), "Text");
    text->setBounds(QRectF(10, 10, 140, 40));
    const QRect box(20, 20, 280, 80); // the bounds at the canvas' scale of 2

    panel.text_content->setPlainText("");
    const int blank = darkPixels(canvasPicture(), box);
    panel.text_content->setPlainText("MMMMMM");
    EXPECT_EQ(t->contentsString(), "MMMMMM");
    EXPECT_GT(darkPixels(canvasPicture(), box), blank + 200);

    panel.text_font_size->setValue(20);
    panel.text_bold->setChecked(true);
    EXPECT_EQ(t->textFont().pointSizeF(), 20);
    EXPECT_TRUE(t->textFont().bold());
    panel.text_alignment->setCurrentIndex(1);
    emit panel.text_alignment->activated(1);
    EXPECT_EQ(t->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    // Showing another text fills the page without writing back.
    GraphicPtr other = add(TVNWindowController::kTextTool);
    EXPECT_EQ(panel.text_content->toPlainText(), "Text");
    EXPECT_FALSE(static_cast<TVNText *>(other.get())->textFont().bold());
    EXPECT_EQ(t->contentsString(), "MMMMMM");
}

TEST_F(WindowTest, ToolsWorkOnTheEditedSideAndUndoTakesObjectsAway)
{
    GraphicPtr text = add(TVNWindowController::kTextTool);
    ASSERT_TRUE(text);
    EXPECT_EQ(wnd->Get_Front_Controls_Array().front(), text);

    // The back side is reachable only on a two-sided card.
    QComboBox *sides = outlet<CardPanel>(*wnd, "card_panel")->card_sides_combo;
    wnd->setEditedSide(1);
    EXPECT_EQ(Card_Front_Or_Back, 0);
    sides->setCurrentIndex(1);
    emit sides->activated(1);
    EXPECT_EQ(CARD_SIDE_STR, "2");
    EXPECT_TRUE(outlet<QComboBox>(*wnd, "side_switch")->isEnabled());
    wnd->setEditedSide(1);
    EXPECT_EQ(wnd->currentCanvas(), outlet<TVNGraphicView>(*wnd, "_graphicView_BACK"));
    GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
    EXPECT_EQ(wnd->Get_Back_Controls_Array(), GraphicList{barcode});
    EXPECT_EQ(wnd->Get_Front_Controls_Array(), GraphicList{text});

    // The scratch list takes copies of the edited side's objects.
    wnd->Temp_Design_Control_Assign();
    ASSERT_EQ(wnd->Get_Temp_Controls_Array().size(), 1u);
    EXPECT_NE(wnd->Get_Temp_Controls_Array().front(), barcode);
    EXPECT_TRUE(wnd->Get_Temp_Controls_Array().front()->barcodeSettings() == barcode->barcodeSettings());

    // Going back to one side returns to the front.
    sides->setCurrentIndex(0);
    emit sides->activated(0);
    EXPECT_EQ(Card_Front_Or_Back, 0);
    EXPECT_FALSE(outlet<QComboBox>(*wnd, "side_switch")->isEnabled());

    // Undo takes back each step: the change to one side, the barcode, the
    // change to two sides, the text; the inspector lets go of the objects.
    wnd->Show_RHS_Properties(text.get());
    wnd->design().document->undoManager().undo();
    EXPECT_TRUE(outlet<QComboBox>(*wnd, "side_switch")->isEnabled());
    for (int step = 0; step < 3; ++step)
        wnd->design().document->undoManager().undo();
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
    EXPECT_EQ(wnd->inspectedGraphic(), nullptr);
    EXPECT_EQ(outlet<QStackedWidget>(*wnd, "inspector_pages")->currentWidget(), outlet<CardPanel>(*wnd, "card_panel"));
}

TEST_F(WindowTest, ImagePageTakesPicturesAndRefusesOtherFiles)
{
    const QString photo = makePng("photo.png", Qt::blue);
    const QString notes = tmp.file("notes.txt");
    quorvant::test::writeTestFile(notes, "not a picture");
    GraphicPtr image = add(TVNWindowController::kImageTool);
    auto *img = static_cast<TVNImage *>(image.get());
    QLineEdit *field = outlet<ImagePanel>(*wnd, "imagePanel")->image_path;
    const auto type = [&](const QString &path) {
        field->setText(path);
        field->setModified(true);
        emit field->editingFinished();
    };

    // A typed path to a picture: the object and the main photo take it.
    type(photo);
    EXPECT_EQ(img->filePath(), photo);
    EXPECT_EQ(Invite_Answers.photo, photo);
    EXPECT_FALSE(wnd->Main_Photo_image().isNull());
    EXPECT_TRUE(alerts.isEmpty());

    // A file that is not a picture, or no file, is refused and nothing
    // changes.
    type(notes);
    type(tmp.file("missing.png"));
    EXPECT_EQ(alerts, (QStringList{"The selected file is not an image.", "Please select valid file path."}));
    EXPECT_EQ(img->filePath(), photo);
    EXPECT_EQ(Invite_Answers.photo, photo);
    EXPECT_FALSE(wnd->Main_Photo_image().isNull());
}

TEST_F(WindowTest, CardPageSetsSizesShapeAndBackground)
{
    CardPanel &panel = *outlet<CardPanel>(*wnd, "card_panel");
    panel.card_category->setCurrentIndex(1);
    emit panel.card_category->activated(1);
    EXPECT_EQ(panel.card_size_list->count(), 8);
    panel.card_size_list->setCurrentRow(7);
    // The last paper row is 5.91 x 4.96 inches.
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.width(), 5.91 * 72, 1e-6);
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.height(), 4.96 * 72, 1e-6);
    EXPECT_EQ(wnd->design().Back_card_Prop.Card_Size, wnd->design().Front_card_Prop.Card_Size);
    EXPECT_NEAR(panel.card_width_mm->value(), 150.11, 0.01);

    panel.card_orientation->setCurrentIndex(1);
    emit panel.card_orientation->activated(1);
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.width(), 4.96 * 72, 1e-6);
    EXPECT_EQ(outlet<TVNGraphicView>(*wnd, "_graphicView_BACK")->canvasSize(), wnd->design().Front_card_Prop.Card_Size);

    // A typed size is a custom size.
    panel.card_width_mm->setValue(60);
    EXPECT_EQ(panel.card_size_list->currentRow(), -1);
    EXPECT_EQ(wnd->design().card_choice.sizeIndex, -1);
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.width(), 60 * 2.834645669291, 1e-9);
    // The height the user did not touch keeps its length (150.114 mm),
    // not the 150.11 mm its field shows.
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.height(), 5.91 * 72, 1e-6);
    EXPECT_EQ(panel.card_height_mm->text(), "150.11 mm");

    panel.card_shape_combo->setCurrentIndex(2);
    emit panel.card_shape_combo->activated(2);
    EXPECT_EQ(Card_Shape, 2);

    // A background picture chosen in the open panel goes to the front card
    // and the frame graphic; Clear takes it away again.
    const QString frame = makePng("frame.png", Qt::red);
    GraphicPtr bg = add(TVNWindowController::kImageTool);
    bg->control_ID = "PARTY_IMAGE_BG";
    wnd->Show_RHS_Properties(nullptr);
    {
        platform::ScopedModalResponder pick([&](QDialog &d) {
            static_cast<QFileDialog &>(d).selectFile(frame);
            return 1;
        });
        panel.card_bg_browse->click();
    }
    EXPECT_TRUE(wnd->design().Front_card_Prop.Card_Fill);
    EXPECT_EQ(wnd->design().Front_card_Prop.BG_Image_Path, frame);
    EXPECT_FALSE(wnd->design().Front_card_Prop.BG_Image.isNull());
    EXPECT_EQ(static_cast<TVNImage *>(bg.get())->filePath(), frame);
    EXPECT_EQ(outlet<TVNGraphicView>(*wnd, "_graphicView")->_Selected_Graphic, bg);
    EXPECT_EQ(panel.card_bg_path->text(), frame);
    EXPECT_EQ(wnd->inspectedGraphic(), nullptr);
    panel.card_bg_clear->click();
    EXPECT_TRUE(wnd->design().Front_card_Prop.BG_Image_Path.isEmpty());
    EXPECT_TRUE(wnd->design().Front_card_Prop.BG_Image.isNull());
    EXPECT_TRUE(panel.card_bg_path->text().isEmpty());

    // Grid controls drive the shared grid; aligning with it is offered only
    // while it is shown.
    EXPECT_FALSE(outlet<QAction>(*wnd, "act_snap_grid")->isEnabled());
    outlet<QCheckBox>(*wnd, "Show_hide_grid_chk")->click();
    EXPECT_TRUE(outlet<TVNGrid>(*wnd, "grid")->isAlwaysShown());
    EXPECT_TRUE(outlet<QGroupBox>(*wnd, "Grid_Opt_box")->isEnabled());
    EXPECT_TRUE(outlet<QAction>(*wnd, "act_show_grid")->isChecked());
    EXPECT_TRUE(outlet<QAction>(*wnd, "act_snap_grid")->isEnabled());
    outlet<QSlider>(*wnd, "Grid_Space_slidr")->setValue(18);
    EXPECT_EQ(outlet<TVNGrid>(*wnd, "grid")->spacing(), 18);
    panel.snap_grid_chk->setChecked(true);
    EXPECT_TRUE(outlet<TVNGrid>(*wnd, "grid")->isConstraining());
}

TEST_F(WindowTest, DataSourceBindsAndShowsTheFirstValue)
{
    makeSeries("Names", " Ann Lee \r\nBob\n");
    makeSeries("Codes", "A-1\n");
    const QString photo = makePng("ann.png", Qt::blue);
    makeSeries("Photos", (photo + "\n").toUtf8());
    // Binds the inspected object to item `item` of `source`.
    const auto choose = [&](int source, int item) {
        outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(source);
        wnd->Data_Source_Type_Changed();
        outlet<QComboBox>(*wnd, "Batch_Series")->setCurrentIndex(item);
        wnd->Batch_Series_Changed();
    };

    GraphicPtr text = add(TVNWindowController::kTextTool);
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->count(), 2);
    choose(1, 1);
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Batch_Series")->count(), 3);
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Batch_Series")->itemText(0), "Codes");
    EXPECT_EQ(text->data_source_type, 1);
    EXPECT_EQ(text->batch_list_name, "Names");
    EXPECT_EQ(text->batch_list_index, 1);
    EXPECT_EQ(outlet<TextPanel>(*wnd, "textPanel")->text_content->toPlainText(), "Ann Lee");
    EXPECT_TRUE(wnd->Check_Batch_File_In_Use_Validation("Names"));
    EXPECT_FALSE(wnd->Check_Batch_File_In_Use_Validation("Codes"));
    // Showing the object again selects its series.
    wnd->Show_RHS_Properties(nullptr);
    wnd->Show_RHS_Properties(text.get());
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->currentIndex(), 1);
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Batch_Series")->currentText(), "Names");

    // An image bound to a series of paths shows the first picture, and a
    // barcode takes the value as its code.
    GraphicPtr image = add(TVNWindowController::kImageTool);
    choose(1, 2);
    EXPECT_EQ(static_cast<TVNImage *>(image.get())->filePath(), photo);
    EXPECT_EQ(outlet<ImagePanel>(*wnd, "imagePanel")->image_path->text(), photo);
    EXPECT_EQ(Invite_Answers.photo, photo);
    GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
    choose(1, 0);
    EXPECT_EQ(barcode->linear_font_val, "A-1");
    EXPECT_EQ(outlet<BarcodePanel>(*wnd, "barcodePanel")->barcode_value_lbl->text(), "A-1");
    // Back to manual.
    outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(0);
    wnd->Data_Source_Type_Changed();
    EXPECT_EQ(barcode->data_source_type, 0);
    EXPECT_FALSE(outlet<QComboBox>(*wnd, "Batch_Series")->isEnabled());

    // "Excel" is offered while a spreadsheet is loaded, never twice.
    restoreSpreadsheetTable({{"Name", "City"}, {{{"Extension", "1"}, {"Column1", "Ann"}, {"Column2", "Oslo"}}}});
    wnd->Show_RHS_Properties(text.get());
    wnd->Show_RHS_Properties(text.get());
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->count(), 3);
    choose(2, 2);
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Batch_Series")->itemText(2), "City");
    EXPECT_EQ(text->data_source_type, 2);
    EXPECT_TRUE(text->excel_binding);
    EXPECT_EQ(text->excel_col_indx, 2);
    EXPECT_EQ(static_cast<TVNText *>(text.get())->contentsString(), "Oslo");
    restoreSpreadsheetTable({});
    wnd->Show_RHS_Properties(text.get());
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->count(), 2);

    // No series at all: the user is told.
    QDir(Data_Folder_Path).removeRecursively();
    choose(1, -1);
    EXPECT_EQ(alerts, QStringList{"Please create batch processing series first."});

    // The help button opens the long-message dialog with the help text.
    int helpRuns = 0;
    platform::ScopedModalResponder help([&helpRuns](QDialog &d) {
        ++helpRuns;
        EXPECT_EQ(static_cast<Long_SMS_Dlg &>(d).title_lbl->text(), "Batch Processing Settings Help :");
        return 1;
    });
    outlet<DataSourcePanel>(*wnd, "data_source_box")->data_source_help_btn->click();
    EXPECT_EQ(helpRuns, 1);
    EXPECT_EQ(Cutom_Msg_Title, "Batch Processing Settings Help :");
}

TEST_F(WindowTest, GraphicDictionaryReadsBackWithoutAFile)
{
    // Templates and copies take a graphic as a dictionary and back directly.
    GraphicPtr text = add(TVNWindowController::kTextTool);
    static_cast<TVNText *>(text.get())->setTextColor(QColor(10, 20, 30));
    text->setStrokeColor(QColor(200, 100, 50));
    GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
    barcode->barcode_clr_val = QColor(0, 0, 255);
    ASSERT_TRUE(static_cast<TVNBarcode &>(*barcode).makeBarcodeImage());
    for (const GraphicPtr &g : {text, barcode}) {
        QString error;
        GraphicPtr copy = graphicFromDictionary(graphicToDictionary(*g), &error);
        ASSERT_TRUE(copy) << error.toStdString();
        expectSameGraphic(*g, *copy);
    }
}

TEST_F(WindowTest, DamagedOrForeignFilesAreRefusedAndTheOpenDesignStays)
{
    GraphicPtr text = add(TVNWindowController::kTextTool);
    static_cast<TVNText *>(text.get())->setContentsString("Keep me");
    CARD_SIDE_STR = "2";
    const QString good = tmp.file("good.zelg");
    ASSERT_TRUE(wnd->Save_project_file(good, false));
    const QByteArray bytes = quorvant::test::readTestFile(good);
    CARD_SIDE_STR = "1";

    QByteArray wrongMarker = bytes;
    wrongMarker.replace("ZELTMACBDAYINVITECARD", "SOMETHINGELSEENTIRELY");
    auto edited = [&](const QString &pattern, const QString &by) {
        QString text = QString::fromUtf8(bytes);
        text.replace(QRegularExpression(pattern), by);
        EXPECT_NE(text.toUtf8(), bytes) << "the fixture edit must hit: " << pattern.toStdString();
        return text.toUtf8();
    };
    QByteArray badClass = bytes;
    badClass.replace("<string>TVNText</string>", "<string>TVNSpaceship</string>");
    ASSERT_NE(badClass, bytes);
    const QMap<QString, QByteArray> damaged{
        {"garbage.zelg", "this is not a design"},
        {"truncated.zelg", bytes.left(bytes.size() / 2)},
        {"marker.zelg", wrongMarker},
        {"type.zelg",
         edited(R"(<key>CARD_SIDE_STR</key>\s*<string>2</string>)", "<key>CARD_SIDE_STR</key><integer>2</integer>")},
        {"sides.zelg",
         edited(R"(<key>CARD_SIDE_STR</key>\s*<string>2</string>)", "<key>CARD_SIDE_STR</key><string>7</string>")},
        {"class.zelg", badClass},
        {"color.zelg", edited(R"(<key>red</key>\s*<string>[^<]*</string>)", "<key>red</key><string>7</string>")},
        // A card larger than any page it could be printed or exported on.
        {"huge.zelg",
         edited(R"(<key>width</key>\s*<string>242[^<]*</string>)", "<key>width</key><string>1e30</string>")},
        {"empty.zelg", QByteArray()},
    };
    openAsKeptDesign();
    for (auto it = damaged.cbegin(); it != damaged.cend(); ++it) {
        expectRefused(it.key(), it.value());
        EXPECT_EQ(CARD_SIDE_STR, "1");
    }
    alerts.clear();
    EXPECT_EQ(wnd->Read_and_load_design_Log(tmp.file("missing.zelg"), "L"), 0);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first(), "Please select valid file path.");
    // The good file still loads.
    EXPECT_EQ(wnd->Read_and_load_design_Log(good, "L"), 1);
    EXPECT_EQ(CARD_SIDE_STR, "2");
}

namespace {

// A barcode picture as the barcode designer records it: bars and a caption.
platform::Image recordedBarcode()
{
    return platform::Image::record(QSizeF(120, 60), [](QPainter &p) {
        for (int i = 0; i < 24; ++i)
            p.fillRect(QRectF(6 + i * 4.5, 4, 1 + i % 3, 38), Qt::black);
        QFont font("Liberation Sans");
        font.setPixelSize(10);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, 44, 120, 14), Qt::AlignCenter, "4006381333931");
    });
}

// The saved file with the front's barcode picture dictionary changed by
// `edit`, written back as a property list.
QByteArray withBarcodePicture(const QByteArray &file, const std::function<void(QVariantMap &)> &edit)
{
    const auto root = platform::readPropertyList(file);
    if (!root)
        return {};
    QVariantList items = root->toList();
    QVariantMap design = items.value(1).toMap();
    QVariantList front = design.value("front_graphics").toList();
    for (QVariant &item : front) {
        QVariantMap graphic = item.toMap();
        if (!graphic.contains("_barcode_image"))
            continue;
        QVariantMap picture = graphic.value("_barcode_image").toMap();
        edit(picture);
        graphic.insert("_barcode_image", picture);
        item = graphic;
    }
    design.insert("front_graphics", front);
    items[1] = design;
    return platform::writePropertyList(items);
}

const TVNGraphic *findBarcode(const GraphicList &graphics)
{
    for (const GraphicPtr &g : graphics) {
        if (g->graphicClass() == GraphicClass::Barcode)
            return g.get();
    }
    return nullptr;
}

} // namespace

TEST_F(WindowTest, VectorBarcodePictureOpensAgainIntact)
{
    // A barcode whose settings make no symbol shows the picture the file
    // keeps; any other is drawn again from its settings.
    GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
    barcode->linear_font_val.clear();
    const platform::Image original = recordedBarcode();
    barcode->Set_Barcode_image(original);
    const QString path = tmp.file("vector.zelg");
    ASSERT_TRUE(wnd->Save_project_file(path, false));

    // Kept as SVG, not as a raw recording.
    withBarcodePicture(quorvant::test::readTestFile(path), [](QVariantMap &picture) {
        EXPECT_EQ(picture.value("kind").toString(), "svg");
        EXPECT_TRUE(picture.value("data").toByteArray().contains("<svg"));
        EXPECT_EQ(picture.value("width").toDouble(), 120);
        EXPECT_EQ(picture.value("height").toDouble(), 60);
    });

    wnd->New_Project_Setting_Reset();
    ASSERT_EQ(wnd->Read_and_load_design_Log(path, "L"), 1) << alerts.join("|").toStdString();
    const TVNGraphic *loaded = findBarcode(wnd->Get_Front_Controls_Array());
    ASSERT_NE(loaded, nullptr);
    const platform::Image &picture = loaded->_barcode_image;
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.isVector());
    EXPECT_EQ(picture.size(), original.size());
    const QImage before = original.toBitmap(144, Qt::white);
    const QImage after = picture.toBitmap(144, Qt::white);
    // The bars agree to the edge; the caption's glyphs may land a fraction
    // of a pixel apart.
    const QRect bars(0, 0, before.width(), 88);
    EXPECT_LT(quorvant::test::differingPixelShare(before.copy(bars), after.copy(bars), 48), 0.002);
    EXPECT_LT(quorvant::test::differingPixelShare(before, after, 48), 0.03);
    EXPECT_LT(quorvant::test::differingPixelShare(before, after, 160), 0.005);
}

TEST_F(WindowTest, ADamagedVectorPictureCostsOnlyItselfAndAForeignKindRefusesTheFile)
{
    GraphicPtr text = add(TVNWindowController::kTextTool);
    static_cast<TVNText *>(text.get())->setContentsString("Keep me");
    GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
    barcode->Set_Barcode_image(recordedBarcode());
    openAsKeptDesign();
    const QByteArray saved = quorvant::test::readTestFile(keptPath);

    auto replaced = [&](const QString &kind, const QByteArray &data) {
        return withBarcodePicture(saved, [&](QVariantMap &picture) {
            picture.insert("kind", kind);
            picture.insert("data", data);
        });
    };
    const platform::Image recording = recordedBarcode();
    // A raw recording is not a format the file keeps: not our file.
    const QPicture &raw = recording.picture();
    expectRefused("recording.zelg", replaced("vector", QByteArray(raw.data(), int(raw.size()))));

    QByteArray deep = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 120 60\">";
    for (int i = 0; i < 50000; ++i)
        deep += "<g>";
    for (int i = 0; i < 50000; ++i)
        deep += "</g>";
    deep += "</svg>";
    const QByteArray svg = recording.toSvg();
    const QMap<QString, QByteArray> damaged{
        {"garbage.zelg", replaced("svg", "\x01\x02 not a picture at all \xff")},
        {"truncated.zelg", replaced("svg", svg.left(svg.size() / 2))},
        {"nested.zelg", replaced("svg", deep)},
        {"whole.zelg", replaced("svg", svg)},
    };
    // The damaged data is never drawn; the barcode makes its picture again
    // from its settings, as it does on every opening, so nothing is missing.
    for (auto it = damaged.cbegin(); it != damaged.cend(); ++it) {
        const std::string row = it.key().toStdString();
        ASSERT_FALSE(it.value().isEmpty()) << row;
        const QString file = tmp.file(it.key());
        quorvant::test::writeTestFile(file, it.value());
        alerts.clear();
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1) << row;
        EXPECT_TRUE(alerts.isEmpty()) << row << alerts.join('|').toStdString();
        const GraphicList &front = wnd->Get_Front_Controls_Array();
        ASSERT_EQ(front.size(), 2u) << row;
        EXPECT_EQ(static_cast<TVNText &>(*front[1]).contentsString(), "Keep me") << row;
        EXPECT_FALSE(front[0]->_barcode_image.isNull()) << row;
    }
}

TEST_F(WindowTest, SpreadsheetRowsWithNumbersSaveAndOpenAgain)
{
    // The data source may keep the record number, or a cell, as a number; a
    // design saved with such a table must open again.
    const SpreadsheetTable table{{"Name", "Age"},
                                 {{{"Extension", 1}, {"Column1", "Ann"}, {"Column2", 42.5}},
                                  {{"Extension", 2}, {"Column1", "Bob"}, {"Column2", QDate(2020, 1, 2)}}}};
    restoreSpreadsheetTable(table);
    const QString path = tmp.file("numbers.zelg");
    ASSERT_TRUE(wnd->Save_project_file(path, false));
    restoreSpreadsheetTable({});
    ASSERT_EQ(wnd->Read_and_load_design_Log(path, "L"), 1) << alerts.join("|").toStdString();
    const SpreadsheetTable loaded = currentSpreadsheetTable();
    ASSERT_EQ(loaded.rows.size(), 2);
    EXPECT_EQ(loaded.rows[0].value("Extension").toInt(), 1);
    EXPECT_EQ(loaded.rows[0].value("Column2").toDouble(), 42.5);
    EXPECT_EQ(loaded.rows[1].value("Column1").toString(), "Bob");
    EXPECT_EQ(loaded.rows[1].value("Column2").toString(), "2020-01-02");
    EXPECT_EQ(wnd->Get_First_Value_Of_Excel_Binding(0), "1");
}

TEST_F(WindowTest, FailedSaveIsReportedAndKeepsTheLastGoodFile)
{
    add(TVNWindowController::kTextTool);
    const QString path = tmp.file("design.zelg");
    ASSERT_TRUE(wnd->Save_project_file(path, true));
    EXPECT_TRUE(alerts.isEmpty()) << "a save that worked needs no box";
    const QByteArray saved = quorvant::test::readTestFile(path);

    alerts.clear();
    EXPECT_FALSE(wnd->Save_project_file(tmp.file("no/such/folder/design.zelg"), true));
    EXPECT_EQ(alerts, QStringList{"The design \"" + tmp.file("no/such/folder/design.zelg")
                                  + "\" could not be saved: No such file or directory."});

    // A write that cannot complete leaves the earlier file as it was: the
    // target's folder is replaced by a file so the rename must fail.
    alerts.clear();
    QDir().mkpath(tmp.file("blocked.zelg"));
    EXPECT_FALSE(wnd->Save_project_file(tmp.file("blocked.zelg"), true));
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_EQ(quorvant::test::readTestFile(path), saved);
}

TEST_F(WindowTest, ASaveOntoAFullDiskSaysWhyAndKeepsTheLastGoodFile)
{
    // Room for the design with one object (18 KB) but not with twenty
    // (190 KB): the larger save fails part way.
    quorvant::test::SmallDisk disk(64, 32);
    const QString path = disk.file("design.zelg");
    add(TVNWindowController::kTextTool);
    ASSERT_TRUE(wnd->Save_project_file(path, true)) << alerts.join("|").toStdString();
    const QByteArray saved = quorvant::test::readTestFile(path);
    for (int i = 0; i < 20; ++i)
        add(TVNWindowController::kTextTool);
    alerts.clear();
    EXPECT_FALSE(wnd->Save_project_file(path, true));
    EXPECT_EQ(alerts, QStringList{"The design \"" + path + "\" could not be saved: " + disk.fullReason() + "."});
    EXPECT_EQ(quorvant::test::readTestFile(path), saved);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"design.zelg"});
}

TEST_F(WindowTest, FilePanelsAreScripted)
{
    add(TVNWindowController::kTextTool);
    const QString path = tmp.file("chosen");
    // Save As through the panel adds the extension and names the design.
    {
        platform::ScopedModalResponder pick([&](QDialog &d) {
            auto &panel = static_cast<QFileDialog &>(d);
            EXPECT_EQ(panel.acceptMode(), QFileDialog::AcceptSave);
            panel.selectFile(path);
            return 1;
        });
        EXPECT_TRUE(wnd->Save_Design_As());
    }
    EXPECT_EQ(wnd->designFilePath(), path + ".zelg");
    EXPECT_TRUE(QFileInfo::exists(path + ".zelg"));
    EXPECT_TRUE(wnd->windowTitle().startsWith("chosen.zelg"));

    // Open through the panel; a cancelled panel loads nothing.
    wnd->New_Project_Setting_Reset();
    {
        platform::ScopedModalResponder cancel([](QDialog &) { return 0; });
        EXPECT_EQ(wnd->Open_Log_File(), 0);
    }
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
    {
        platform::ScopedModalResponder pick([&](QDialog &d) {
            static_cast<QFileDialog &>(d).selectFile(path + ".zelg");
            return 1;
        });
        EXPECT_EQ(wnd->Open_Log_File(), 1);
    }
    EXPECT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
}

TEST_F(WindowTest, ClosingWithUndoHistoryRunsNoHandlerOnDeletedCanvases)
{
    // The document clears its undo history as it goes, after the canvases.
    // Any window handler still listening then reads a deleted canvas; the
    // undo action is the first thing such a handler touches.
    add(TVNWindowController::kTextTool);
    ASSERT_TRUE(outlet<QAction>(*wnd, "act_undo")->isEnabled());
    int handled = 0;
    QObject::connect(outlet<QAction>(*wnd, "act_undo"), &QAction::enabledChanged, [&] { ++handled; });
    wnd.reset();
    EXPECT_EQ(handled, 0);
}

TEST_F(WindowTest, PathChecksAndMainPhoto)
{
    const QString photo = makePng("p.png", Qt::white);
    EXPECT_TRUE(wnd->Check_And_Validate_File_Path("   "));
    EXPECT_FALSE(wnd->Check_And_Validate_File_Path("  " + photo + "\n"));
    EXPECT_EQ(alerts, QStringList{"Please select valid file path."});

    // The main photo is read and adjusted; only change_path stores the path.
    const quorvant::test::ScopedValue photoPath(Invite_Answers.photo, "before");
    IMG_Adjustments.invert = true;
    wnd->Update_frame_Main_Photo_And_Path(photo, false);
    EXPECT_EQ(Invite_Answers.photo, "before");
    ASSERT_FALSE(wnd->Main_Photo_image().isNull());
    EXPECT_EQ(wnd->Main_Photo_image().toBitmap(72).pixelColor(5, 5).rgb(), QColor(Qt::black).rgb());
    wnd->Update_frame_Main_Photo_And_Path(tmp.file("unreadable.png"), true);
    EXPECT_TRUE(wnd->Main_Photo_image().isNull());
    EXPECT_EQ(Invite_Answers.photo, tmp.file("unreadable.png"));
}
