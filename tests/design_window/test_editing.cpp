// The design window as a user edits with it: what the canvas shows, where
// objects can go and what the card size is.
#include "WindowFixture.h"
#include "tests/design_window/Outlets.h"

#include "design_window/BarcodePanel.h"
#include "design_window/CardPanel.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/TextPanel.h"
#include "drawing/TVNRenderingView.h"
#include "platform/Desktop.h"
#include "platform/ModalRun.h"
#include "platform/Paths.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolBar>

using namespace design_window;
using quorvant::test::outlet;

namespace {
// Enough dark pixels for six capitals at 12 pt or more, at 2 pixels a point.
constexpr int kTextShows = 300;
} // namespace

TEST_F(DesignWindow, TextStaysVisibleAfterEveryFontAndColourChange)
{
    const auto text = addText("MMMMMM", QRectF(10, 10, 200, 60));
    wnd->Show_RHS_Properties(text.get());
    TextPanel &panel = *outlet<TextPanel>(*wnd, "textPanel");
    const QRect box = onCanvas(text->bounds());
    ASSERT_GT(darkPixels(canvasPicture(), box), kTextShows);

    const auto pickColour = [&](QColor colour) {
        platform::ScopedModalResponder pick([&](QDialog &d) {
            auto &dialog = static_cast<QColorDialog &>(d);
            dialog.setCurrentColor(colour);
            dialog.accept();
            return dialog.result();
        });
        panel.text_color_btn->click();
    };
    struct Edit {
        const char *what;
        std::function<void()> apply;
    } const edits[] = {
        {"font family", [&] { panel.text_font_family->setCurrentFont(QFont("Liberation Sans")); }},
        {"size", [&] { panel.text_font_size->setValue(20); }},
        {"bold", [&] { panel.text_bold->setChecked(true); }},
        {"italic", [&] { panel.text_italic->setChecked(true); }},
        {"colour", [&] { pickColour(QColor(0, 0, 120)); }},
        {"alignment", [&] {
             panel.text_alignment->setCurrentIndex(2);
             emit panel.text_alignment->activated(2);
         }},
        {"bold off", [&] { panel.text_bold->setChecked(false); }},
    };
    for (const Edit &edit : edits) {
        edit.apply();
        EXPECT_GT(darkPixels(canvasPicture(), box), kTextShows) << edit.what;
    }
    EXPECT_EQ(text->textColor(), QColor(0, 0, 120));
    EXPECT_EQ(text->textFont().pointSizeF(), 20);
}

TEST_F(DesignWindow, TextFontKeepsWhatTheUserDidNotChange)
{
    // A family the system draws with a stand-in and a weight between normal
    // and bold stay as stored when only the size changes.
    const auto text = addText("MMMMMM", QRectF(10, 10, 200, 60));
    QFont stored(QStringLiteral("Times New Roman"));
    stored.setPointSizeF(12);
    stored.setWeight(QFont::Medium);
    text->setTextFont(stored);
    wnd->Show_RHS_Properties(text.get());
    TextPanel &panel = *outlet<TextPanel>(*wnd, "textPanel");
    panel.text_font_size->setValue(18);
    QFont expected = stored;
    expected.setPointSizeF(18);
    EXPECT_EQ(text->textFont(), expected);
    // A family the user picks is taken.
    panel.text_font_family->setCurrentFont(QFont(QStringLiteral("Liberation Sans")));
    EXPECT_EQ(text->textFont().family(), "Liberation Sans");
}

TEST_F(DesignWindow, ALongBarcodeValueIsCutShortAndTheDesignerButtonStaysInSight)
{
    wnd->resize(1280, 800);
    wnd->show();
    const GraphicPtr barcode = add(TVNWindowController::kBarcodeTool);
    BarcodePanel &panel = *outlet<BarcodePanel>(*wnd, "barcodePanel");
    auto *inspector = wnd->findChild<QWidget *>("property_inspector");
    ASSERT_TRUE(inspector);
    auto *scroll = qobject_cast<QScrollArea *>(inspector->parentWidget()->parentWidget());
    ASSERT_TRUE(scroll);
    const QString longValue = QString(400, QLatin1Char('7'));
    const struct {
        QString value;
        bool cut;
    } rows[] = {
        {"A-1", false},
        {longValue, true},
        {"https://quorvant.example/" + longValue, true},
    };
    for (const auto &row : rows) {
        barcodes::BarcodeSettings s = barcode->barcodeSettings();
        s.linear_font_val = row.value;
        barcode->setBarcodeSettings(s);
        wnd->Show_RHS_Properties(barcode.get());
        QCoreApplication::sendPostedEvents(); // the layouts settle
        const std::string what = row.value.left(30).toStdString();
        // The value is kept whole; the label shows what fits.
        EXPECT_EQ(panel.barcode_value_lbl->text(), row.value) << what;
        const QStringList shown = panel.barcode_value_lbl->shownLines();
        ASSERT_EQ(shown.size(), 1) << what;
        EXPECT_EQ(shown.first().endsWith(QChar(0x2026)), row.cut) << what;
        EXPECT_LE(panel.barcode_value_lbl->fontMetrics().horizontalAdvance(shown.first()),
                  panel.barcode_value_lbl->contentsRect().width())
            << what;
        // The inspector needs no sideways scrolling and the button is in view.
        EXPECT_LE(inspector->width(), scroll->viewport()->width()) << what;
        const QRect button(panel.barcode_designer_btn->mapTo(scroll->viewport(), QPoint(0, 0)),
                           panel.barcode_designer_btn->size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(button)) << what;
        EXPECT_TRUE(panel.barcode_designer_btn->isVisible()) << what;
    }
}

TEST_F(DesignWindow, BoundTextStaysVisibleWhileTheSaveQuestionIsUp)
{
    quorvant::test::writeTestFile(QDir(Data_Folder_Path).filePath("Names.txt"), "MMMMMM\nNNNNNN\n");
    const auto text = addText("", QRectF(10, 10, 200, 60));
    outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(1);
    wnd->Data_Source_Type_Changed();
    outlet<QComboBox>(*wnd, "Batch_Series")->setCurrentIndex(0);
    wnd->Batch_Series_Changed();
    ASSERT_EQ(text->contentsString(), "MMMMMM");
    outlet<TextPanel>(*wnd, "textPanel")->text_bold->setChecked(true);

    int darkWhileAsked = -1;
    answer = [&](const platform::AlertRequest &) {
        darkWhileAsked = darkPixels(canvasPicture(), onCanvas(text->bounds()));
        return 1; // "No"
    };
    EXPECT_TRUE(wnd->Exit_Application());
    EXPECT_EQ(alerts, QStringList{"Do you want to save changes before closing?"});
    EXPECT_GT(darkWhileAsked, kTextShows);
}

namespace {

// Canvas pixels of the pure red that the test objects are filled with.
int redPixels(const QImage &picture)
{
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            red += c.red() > 220 && c.green() < 40 && c.blue() < 40;
        }
    return red;
}

} // namespace

class ReachableObjects : public DesignWindow {
protected:
    // A red box on the edited side: an empty text filled red.
    GraphicPtr addBox(const QRectF &bounds)
    {
        const GraphicPtr box = addText("", bounds);
        box->setFillColor(Qt::red);
        box->setDrawingFill(true);
        return box;
    }
    QRectF card() const { return QRectF(QPointF(0, 0), wnd->design().Front_card_Prop.Card_Size); }
};

TEST_F(ReachableObjects, MovingOrResizingKeepsPartOfAnObjectOnTheCard)
{
    const QRectF start(100, 60, 40, 30);
    struct Row {
        const char *what;
        QPointF from, to;
    } const rows[] = {
        {"moved far up and left", {120, 75}, {-400, -400}},
        {"moved far down and right", {120, 75}, {900, 900}},
        {"bottom-right handle past the top left corner", {140, 90}, {-300, -300}},
        {"top-left handle past the bottom right corner", {100, 60}, {800, 800}},
        {"right handle far to the left", {140, 75}, {-300, 75}},
    };
    for (const Row &row : rows) {
        wnd->New_Project_Setting_Reset();
        const GraphicPtr box = addBox(start);
        drag(row.from, row.to);
        ASSERT_NE(box->bounds(), start) << row.what;
        wnd->currentCanvas()->deselectAll();
        const QRectF onCard = box->bounds() & card();
        EXPECT_GE(onCard.width(), 9) << row.what;
        EXPECT_GE(onCard.height(), 9) << row.what;
        // 9 pt square at 2 pixels a point, less the card's outline over it.
        EXPECT_GE(redPixels(canvasPicture()), 16 * 16) << row.what;
    }
}

TEST_F(ReachableObjects, AnObjectDraggedIntoACutOffCornerStaysVisibleAndGrabbable)
{
    // Rounded and oval cards cut their corners off: the part of an object
    // kept on the card must be inside the outline, where it shows.
    for (const int shape : {drawing::kShapeRectangle, drawing::kShapeRounded, drawing::kShapeOval}) {
        wnd->New_Project_Setting_Reset();
        emit outlet<CardPanel>(*wnd, "card_panel")->card_shape_combo->activated(shape);
        const GraphicPtr box = addBox(QRectF(100, 60, 40, 30));
        drag({120, 75}, {-400, -400});
        wnd->currentCanvas()->deselectAll();
        // Three handles across at 2 pixels a point, all of it red.
        EXPECT_GE(redPixels(canvasPicture()), 20 * 20) << "shape " << shape;
        // A click in the middle of what shows takes it again.
        const QRectF shown = box->bounds() & card();
        drag(shown.center(), shown.center() + QPointF(30, 30));
        EXPECT_TRUE(card().contains(box->bounds().center())) << "shape " << shape;
    }
}

TEST_F(ReachableObjects, ACardChangeBringsBackWhatItLeftWhollyOutside)
{
    CardPanel &panel = *outlet<CardPanel>(*wnd, "card_panel");
    struct Row {
        const char *what;
        QRectF bounds;
        std::function<void()> change;
        bool moves;
    } const rows[] = {
        {"a narrower card", {200, 110, 30, 30}, [&] { panel.card_width_mm->setValue(40); }, true},
        {"the card turned upright", {200, 20, 30, 30}, [&] {
             panel.card_orientation->setCurrentIndex(1);
             emit panel.card_orientation->activated(1);
         }, true},
        {"an oval outline", {1, 1, 12, 12}, [&] { emit panel.card_shape_combo->activated(2); }, true},
        {"a smaller paper card on the back", {200, 110, 30, 30}, [&] {
             panel.card_category->setCurrentIndex(1); // the first paper badge: 2.36 x 1.58 in
             emit panel.card_category->activated(1);
         }, true},
        {"partly on the narrower card", {90, 20, 40, 30}, [&] { panel.card_width_mm->setValue(40); }, false},
    };
    for (const Row &row : rows) {
        wnd->New_Project_Setting_Reset();
        if (QString(row.what).contains("back")) {
            emit panel.card_sides_combo->activated(1);
            wnd->setEditedSide(1);
        }
        const GraphicPtr box = addBox(row.bounds);
        wnd->Show_RHS_Properties(nullptr);
        row.change();
        wnd->currentCanvas()->deselectAll();
        EXPECT_EQ(box->bounds() != row.bounds, row.moves) << row.what;
        EXPECT_EQ(box->bounds().size(), row.bounds.size()) << row.what;
        EXPECT_GE(redPixels(canvasPicture()), 18 * 18) << row.what;
    }
}

TEST_F(ReachableObjects, HandlesOfAnObjectOverTheCardEdgeCanBeGrabbed)
{
    // Its right and bottom edges lie beyond the card, and so would their
    // handles.
    const GraphicPtr box = addBox(QRectF(215, 125, 60, 60));
    const QImage picture = canvasPicture();
    // The bottom right handle as drawn: selection blue in the canvas corner.
    QPoint handle(-1, -1);
    for (int y = picture.height() - 8; y < picture.height(); ++y)
        for (int x = picture.width() - 8; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (qAbs(c.red() - 40) < 30 && qAbs(c.green() - 110) < 30 && qAbs(c.blue() - 220) < 30)
                handle = QPoint(x, y);
        }
    ASSERT_NE(handle, QPoint(-1, -1)) << "no handle drawn in the card's corner";
    drag(QPointF(handle) / wnd->currentCanvas()->scale(), QPointF(235, 145));
    EXPECT_EQ(box->bounds(), QRectF(215, 125, 20, 20));
}

TEST_F(DesignWindow, TheCardHasOneSizeWhicheverWayItIsSet)
{
    const double mm = drawing::kPointsPerMillimetre;
    struct Row {
        const char *setter;
        std::function<void()> set;
        QSizeF points;
    } const rows[] = {
        {"Set_Card_Size_In_Control", [&] { wnd->Set_Card_Size_In_Control(QSizeF(60, 40)); }, {60 * mm, 40 * mm}},
        {"Set_Document_Size", [&] { wnd->Set_Document_Size(QSizeF(200, 120)); }, {200, 120}},
        {"SetDocumentCanvasSize", [&] { wnd->SetDocumentCanvasSize(QSizeF(150, 250)); }, {150, 250}},
        // The page's fields show millimetres to two decimals (150 pt as
        // 52.92 mm); the width the user did not touch keeps its 150 pt.
        {"the card page", [&] { outlet<CardPanel>(*wnd, "card_panel")->card_height_mm->setValue(70); }, {150, 70 * mm}},
    };
    for (const Row &row : rows) {
        row.set();
        const QSizeF expected = row.points;
        EXPECT_EQ(wnd->design().Front_card_Prop.Card_Size, expected) << row.setter;
        EXPECT_EQ(wnd->design().Back_card_Prop.Card_Size, expected) << row.setter;
        for (const char *name : {"_graphicView", "_graphicView_BACK", "_graphicView_TEMP"})
            EXPECT_EQ(outlet<TVNGraphicView>(*wnd, name)->canvasSize(), expected) << row.setter << " " << name;
        EXPECT_NEAR(outlet<CardPanel>(*wnd, "card_panel")->card_width_mm->value() * mm, expected.width(), 0.01 * mm) << row.setter;
        EXPECT_NEAR(outlet<CardPanel>(*wnd, "card_panel")->card_height_mm->value() * mm, expected.height(), 0.01 * mm) << row.setter;
        EXPECT_EQ(TVNRenderingView::image_From_Card_Graphics({}, false).size(), expected) << row.setter;
        // The file keeps the size the card has.
        const QString file = tmp.file("size.zelg");
        ASSERT_TRUE(wnd->Save_project_file(file, false));
        const auto saved = loadDesignFile(file);
        ASSERT_TRUE(saved) << row.setter;
        EXPECT_EQ(saved->frontCard.Card_Size, expected) << row.setter;
        EXPECT_EQ(saved->backCard.Card_Size, expected) << row.setter;
    }
    // Not a preset size any more: the card page shows no preset row.
    EXPECT_EQ(wnd->design().card_choice.sizeIndex, -1);
    EXPECT_EQ(outlet<CardPanel>(*wnd, "card_panel")->card_size_list->currentRow(), -1);
}

TEST_F(DesignWindow, AnImageWithoutAPictureShowsThePlaceholderOnTheCanvasOnly)
{
    const QString notAPicture = tmp.file("notes.png");
    quorvant::test::writeTestFile(notAPicture, "not a picture");
    struct Row {
        const char *what;
        std::function<void(TVNImage &)> choose;
    } const rows[] = {
        {"no file chosen", [](TVNImage &) {}},
        {"a file that is gone", [&](TVNImage &image) { image.setFilePath(tmp.file("gone.png"), {}); }},
        {"a file that holds no picture", [&](TVNImage &image) { image.setFilePath(notAPicture, {}); }},
    };
    const QRectF bounds(40, 30, 100, 80);
    // The placeholder's light grey ground, as drawing::placeholderPicture paints it.
    const auto placeholderGrey = [](const QImage &picture, const QRect &box) {
        int grey = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                grey += picture.pixelColor(x, y) == QColor(236, 236, 236);
        return grey;
    };
    for (const Row &row : rows) {
        wnd->New_Project_Setting_Reset();
        const GraphicPtr image = add(TVNWindowController::kImageTool);
        image->setBounds(bounds);
        row.choose(static_cast<TVNImage &>(*image));
        wnd->currentCanvas()->deselectAll();

        const QRect onScreen = onCanvas(bounds);
        EXPECT_GT(placeholderGrey(canvasPicture(), onScreen), onScreen.width() * onScreen.height() / 2) << row.what;
        const QImage output =
            TVNRenderingView::image_From_Card_Graphics(wnd->Get_Front_Controls_Array(), true).toBitmap(72);
        EXPECT_EQ(placeholderGrey(output, bounds.toRect()), 0) << row.what;
        EXPECT_EQ(darkPixels(output, bounds.toRect()), 0) << row.what;
    }
}

TEST_F(DesignWindow, MessagesSayWhatWentWrongAndWhere)
{
    const QString damaged = tmp.file("damaged.zelg");
    quorvant::test::writeTestFile(damaged, "not a design");
    QDir(Data_Folder_Path).removeRecursively();
    const auto text = addText("Ann", QRectF(10, 10, 80, 20));
    struct Row {
        const char *what;
        std::function<void()> act;
        QString message;
    } const rows[] = {
        {"Help without a program for PDF files", [&] {
             platform::setOpenUrlHandler([](const QUrl &) { return false; });
             outlet<QAction>(*wnd, "act_help")->trigger();
             platform::setOpenUrlHandler({});
         },
         "The help file could not be opened: no program to show PDF files was found. Please install a PDF viewer, "
         "or open the file yourself:\n" + QDir(platform::bundleResourcesPath()).filePath("Help.pdf")},
        {"a damaged design file", [&] { wnd->Read_and_load_design_Log(damaged, "L"); },
         QStringLiteral("The selected file \"%1\" is not a valid design file or it is damaged.").arg(damaged)},
        {"a series chosen where there is none", [&] {
             wnd->Show_RHS_Properties(text.get());
             outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(1);
             wnd->Data_Source_Type_Changed();
         },
         "Please create batch processing series first."},
    };
    for (const Row &row : rows) {
        alerts.clear();
        row.act();
        EXPECT_EQ(alerts, QStringList{row.message}) << row.what;
    }
    // Nothing was bound, and the box says so.
    EXPECT_EQ(text->data_source_type, 0);
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->currentIndex(), 0);
}

TEST_F(DesignWindow, DefaultContentComesOnceAndWhatTheUserDeletedStaysDeleted)
{
    const QDir bundle(defaultContentPath());
    const QDir res(Resource_Path);
    // The first start gave the bundle's frames, clip art, titles and messages.
    const QStringList frames = QDir(bundle.filePath("Frames")).entryList(QDir::Files);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(QDir(res.filePath("Frames")).entryList(QDir::Files), frames);
    ASSERT_TRUE(QFileInfo::exists(res.filePath("Title.txt")));
    ASSERT_TRUE(QFileInfo::exists(res.filePath("LibraryImage/Shapes")));
    EXPECT_TRUE(QFileInfo::exists(res.filePath(kSeededContentRecord)));

    // The user throws away a frame, the titles and a clip-art category.
    ASSERT_TRUE(QFile::remove(res.filePath("Frames/" + frames.first())));
    ASSERT_TRUE(QFile::remove(res.filePath("Title.txt")));
    ASSERT_TRUE(QDir(res.filePath("LibraryImage/Shapes")).removeRecursively());
    outlet<QAction>(*wnd, "act_new")->trigger();
    wnd.reset();
    wnd = std::make_unique<TVNWindowController>(); // the next start
    outlet<QAction>(*wnd, "act_new")->trigger();
    EXPECT_FALSE(QFileInfo::exists(res.filePath("Frames/" + frames.first())));
    EXPECT_FALSE(QFileInfo::exists(res.filePath("Title.txt")));
    EXPECT_FALSE(QFileInfo::exists(res.filePath("LibraryImage/Shapes")));
    EXPECT_EQ(QDir(res.filePath("Frames")).entryList(QDir::Files), frames.mid(1));
    EXPECT_TRUE(QFileInfo(res.filePath("Frames")).isDir()) << "the folders themselves are the program's";
}

TEST_F(DesignWindow, ADragOverEmptyCardDrawsNothingAfterAPlacement)
{
    // The invitation's placement leaves the text and image tools set as it
    // goes; the user chose none, so a drag over empty card draws nothing.
    wnd->Fill_Party_Invidation_Details();
    wnd->design().document->graphics.clear();
    wnd->currentCanvas()->deselectAll();
    drag({20, 20}, {120, 80});
    QApplication::processEvents();
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
}

TEST_F(DesignWindow, OneClickOfAToolIsOneObjectThatADragMovesAndOneUndoRemoves)
{
    wnd->show();
    auto *tools = outlet<QToolBar>(*wnd, "tool_bar");
    const auto count = [&] { return wnd->Get_Front_Controls_Array().size(); };
    struct Row {
        const char *tool;
        GraphicClass made;
    };
    const Row rows[] = {{"act_tool_text", GraphicClass::Text}, {"act_tool_image", GraphicClass::Image}};
    for (const Row &row : rows) {
        wnd->design().document->graphics.clear();
        QTest::mouseClick(tools->widgetForAction(outlet<QAction>(*wnd, row.tool)), Qt::LeftButton);
        ASSERT_EQ(count(), 1u) << row.tool;
        const GraphicPtr made = wnd->Get_Front_Controls_Array().front();
        EXPECT_EQ(made->graphicClass(), row.made) << row.tool;
        EXPECT_EQ(wnd->currentCanvas()->selectedGraphics(), GraphicList{made}) << row.tool;
        // A drag over empty card after it makes no second object.
        drag({150, 100}, {220, 130});
        QApplication::processEvents();
        EXPECT_EQ(count(), 1u) << row.tool;
        // One undo step takes the object away.
        outlet<QAction>(*wnd, "act_undo")->trigger();
        EXPECT_EQ(count(), 0u) << row.tool;
        outlet<QAction>(*wnd, "act_redo")->trigger();
        // A drag that starts on it moves it, and makes nothing new.
        const QRectF before = made->bounds();
        drag(before.center(), before.center() + QPointF(30, 20));
        QApplication::processEvents();
        EXPECT_EQ(count(), 1u) << row.tool;
        EXPECT_EQ(made->bounds(), before.translated(30, 20)) << row.tool;
    }
}

namespace {

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget &widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

} // namespace

TEST_F(DesignWindow, TheCanvasIsDrawnWhileAFileDialogIsOpenOverIt)
{
    addText("Shown behind", QRectF(20, 20, 150, 40));
    wnd->currentCanvas()->deselectAll();
    wnd->show();
    QApplication::processEvents();
    const QImage before = canvasPicture();
    // The text's ink is on the canvas to begin with.
    int inked = 0;
    const QImage textArea = before.copy(onCanvas(QRectF(20, 20, 150, 40)));
    for (int y = 0; y < textArea.height(); ++y)
        for (int x = 0; x < textArea.width(); ++x)
            inked += qGray(textArea.pixel(x, y)) < 128;
    ASSERT_GT(inked, 50);

    for (const char *command : {"act_open", "act_save_as"}) {
        QImage during;
        platform::ScopedModalResponder user([&](QDialog &dialog) {
            // The dialog stands open over the window while the canvas is
            // drawn again (as when the dialog moves off it).
            dialog.setWindowModality(Qt::ApplicationModal);
            dialog.show();
            QApplication::processEvents();
            PaintCounter paints(*wnd->currentCanvas());
            wnd->currentCanvas()->update();
            QApplication::processEvents();
            EXPECT_GT(paints.count, 0) << command;
            during = canvasPicture();
            dialog.hide();
            return 0;
        });
        outlet<QAction>(*wnd, command)->trigger();
        EXPECT_EQ(during, before) << command;
    }
}
