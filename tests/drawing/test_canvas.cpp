#include "TestHost.h"
#include "drawing/TVNDocument.h"
#include "drawing/TVNGraphicView.h"
#include "drawing/TVNGrid.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

class Canvas : public ::testing::Test {
protected:
    Canvas()
    {
        view.bindGraphics(&doc, &doc.graphics);
        view.setGrid(&grid);
    }

    GraphicPtr create(GraphicClass cls, bool useRect = false, QRectF rect = {}, const QString &value = {},
                      const QString &id = {})
    {
        view.createGraphicOfClass(cls, nullptr, useRect, rect, "F", value, id);
        return view._Selected_Graphic;
    }

    GraphicPtr add(GraphicClass cls, const QString &id, QRectF bounds = QRectF(0, 0, 10, 10))
    {
        GraphicPtr g = newGraphicOfClass(cls);
        g->control_ID = id;
        g->setBounds(bounds);
        doc.graphics.push_back(g);
        return g;
    }

    void mouse(QEvent::Type type, QPointF cardPoint, Qt::MouseButtons buttons = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPointF pos = cardPoint * view.scale();
        QMouseEvent event(type, pos, view.mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : buttons, mods);
        QApplication::sendEvent(&view, &event);
    }

    void drag(QPointF from, QPointF to)
    {
        mouse(QEvent::MouseButtonPress, from);
        mouse(QEvent::MouseMove, (from + to) / 2);
        mouse(QEvent::MouseMove, to);
        mouse(QEvent::MouseButtonRelease, to);
    }

    TestHost host;
    TVNDocument doc;
    TVNGrid grid;
    TVNGraphicView view;
};

} // namespace

TEST_F(Canvas, CreatesAtThePlacementPointAndInsertsInFrontAsOneUndoStep)
{
    const GraphicPtr first = create(GraphicClass::Image);
    const GraphicPtr second = create(GraphicClass::Barcode);
    ASSERT_EQ(doc.graphics.size(), 2u);
    EXPECT_EQ(doc.graphics[0], second) << "the newest graphic is drawn in front";
    EXPECT_EQ(doc.graphics[1], first);
    EXPECT_EQ(second->bounds().topLeft(), QPointF(20, 30));
    EXPECT_EQ(host.placementSides, QStringList({"F", "F"}));
    EXPECT_EQ(view.selectedGraphics(), GraphicList{second});
    EXPECT_EQ(view._Selected_Graphic, second);

    EXPECT_EQ(doc.undoManager().count(), 2);
    doc.undoManager().undo();
    EXPECT_EQ(doc.graphics, GraphicList{first});
    EXPECT_TRUE(view.selectedGraphics().empty()) << "an undone graphic cannot stay selected";
    doc.undoManager().redo();
    EXPECT_EQ(doc.graphics[0], second);
}

TEST_F(Canvas, WithUndoRegistrationOffCreationLeavesNoUndoStep)
{
    doc.disableUndoRegistration();
    doc.disableUndoRegistration();
    create(GraphicClass::Text);
    doc.enableUndoRegistration();
    EXPECT_FALSE(doc.isUndoRegistrationEnabled()) << "disable calls nest";
    create(GraphicClass::Text);
    doc.enableUndoRegistration();
    EXPECT_TRUE(doc.isUndoRegistrationEnabled());
    EXPECT_EQ(doc.graphics.size(), 2u);
    EXPECT_EQ(doc.undoManager().count(), 0);
}

TEST_F(Canvas, GivenRectangleIsUsedOnlyWithAnId)
{
    const GraphicPtr g = create(GraphicClass::Text, true, QRectF(50, 60, 70, 20), "", "Fup_Name");
    EXPECT_EQ(g->bounds(), QRectF(50, 60, 70, 20));
    EXPECT_TRUE(host.placementSides.isEmpty());
    const GraphicPtr anonymous = create(GraphicClass::Text, true, QRectF(50, 60, 70, 20));
    EXPECT_EQ(anonymous->bounds(), QRectF(20, 30, 70, 20)) << "no id: origin from the placement point";
}

TEST_F(Canvas, SnapsOriginAndFarCornerToTheGridHalfSpacingGoingUp)
{
    grid.setSpacing(10);
    grid.setConstraining(true);
    const GraphicPtr g = create(GraphicClass::Image, true, QRectF(14.9, 15, 31, 24.9), "", "X");
    // origin (14.9, 15) -> (10, 20); far corner (45.9, 39.9) -> (50, 40)
    EXPECT_EQ(g->bounds(), QRectF(10, 20, 40, 20));

    const GraphicPtr tiny = create(GraphicClass::Image, true, QRectF(21, 21, 2, 2), "", "Y");
    EXPECT_EQ(tiny->bounds(), QRectF(20, 20, 10, 10)) << "a snapped graphic never collapses to nothing";

    grid.setConstraining(false);
    const GraphicPtr free = create(GraphicClass::Image, true, QRectF(14.9, 15, 31, 24.9), "", "Z");
    EXPECT_EQ(free->bounds(), QRectF(14.9, 15, 31, 24.9));

    grid.setConstraining(true);
    grid.setSpacing(0);
    const GraphicPtr unusable = create(GraphicClass::Image, true, QRectF(14.9, 15, 31, 24.9), "", "W");
    EXPECT_EQ(unusable->bounds(), QRectF(14.9, 15, 31, 24.9)) << "a grid without spacing does not snap";
}

TEST_F(Canvas, TextTakesTheValueAndInvitationIdsTheirAlignmentAndFont)
{
    const auto text = std::dynamic_pointer_cast<TVNText>(create(GraphicClass::Text, false, {}, "Dear Ann", "PARTY_TITLE"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->contentsString(), "Dear Ann");
    EXPECT_EQ(text->Text_Value, "Dear Ann");
    EXPECT_FALSE(text->isDrawingFill());
    EXPECT_FALSE(text->isDrawingStroke());
    EXPECT_EQ(text->control_ID, "PARTY_TITLE");
    EXPECT_EQ(text->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(text->textFont().family(), "Times New Roman");
    EXPECT_TRUE(text->textFont().bold() && text->textFont().italic());
    EXPECT_DOUBLE_EQ(text->textFont().pointSizeF(), 18);

    const auto from = std::dynamic_pointer_cast<TVNText>(create(GraphicClass::Text, false, {}, "Bob", "PARTY_FROM"));
    EXPECT_EQ(from->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(from->textFont().pointSizeF(), 12) << "only title and marriage info change font";

    const auto venue = std::dynamic_pointer_cast<TVNText>(create(GraphicClass::Text, false, {}, "Hall", "PARTY_VENUE"));
    EXPECT_EQ(venue->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const auto other = std::dynamic_pointer_cast<TVNText>(create(GraphicClass::Text, false, {}, "x", "TITLE"));
    EXPECT_EQ(other->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(Canvas, ImageToolPrefersTheLibraryPictureThenTheValueThenThePlaceholder)
{
    quorvant::test::TempFolder dir;
    QImage a(11, 11, QImage::Format_ARGB32), b(22, 22, QImage::Format_ARGB32);
    a.fill(Qt::red);
    b.fill(Qt::green);
    ASSERT_TRUE(a.save(dir.file("lib.png")));
    ASSERT_TRUE(b.save(dir.file("value.png")));
    host.tool = drawing::kImageTool;

    host.librarySelectedImage = dir.file("lib.png");
    auto g = std::dynamic_pointer_cast<TVNImage>(create(GraphicClass::Text, false, {}, dir.file("value.png")));
    ASSERT_TRUE(g) << "the image tool builds an image whatever class is asked for";
    EXPECT_EQ(g->image().bitmap().size(), QSize(11, 11));

    host.librarySelectedImage = dir.file("gone.png");
    g = std::dynamic_pointer_cast<TVNImage>(create(GraphicClass::Image, false, {}, dir.file("value.png")));
    EXPECT_EQ(g->image().bitmap().size(), QSize(22, 22));

    host.placeholder = platform::Image::fromBitmap(QImage(5, 5, QImage::Format_ARGB32));
    g = std::dynamic_pointer_cast<TVNImage>(create(GraphicClass::Image, false, {}, dir.file("nothing.png")));
    EXPECT_EQ(g->image().bitmap().size(), QSize(5, 5));
}

TEST_F(Canvas, SelectsTheFirstTextOrImageWithTheIdInListOrder)
{
    add(GraphicClass::Barcode, "Fup_Name");
    const GraphicPtr firstText = add(GraphicClass::Text, " Fup_Name ");
    add(GraphicClass::Image, "Fup_Name");
    const GraphicPtr photo = add(GraphicClass::Image, "Fup_Photo");

    EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Name"), firstText) << "barcodes are passed over; ids are trimmed";
    EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Photo"), photo);
    EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Title"), nullptr);
    EXPECT_EQ(view.Selcect_Ctrl_With_ID(""), nullptr);
}

TEST_F(Canvas, HidesEveryProfileValueGraphicIncludingTheFirst)
{
    const GraphicPtr first = add(GraphicClass::Text, "Fup_Name");
    const GraphicPtr photo = add(GraphicClass::Image, "Fup_Photo");
    const GraphicPtr caption = add(GraphicClass::Text, "Fup_lbl_Name");
    const GraphicPtr barcode = add(GraphicClass::Barcode, "Fup_UniqueNo");
    const GraphicPtr party = add(GraphicClass::Text, "PARTY_TITLE");

    view.Hide_all_Text_control_FUP_Control();
    EXPECT_FALSE(first->ctrl_is_visible);
    EXPECT_FALSE(photo->ctrl_is_visible);
    EXPECT_TRUE(caption->ctrl_is_visible);
    EXPECT_TRUE(barcode->ctrl_is_visible);
    EXPECT_TRUE(party->ctrl_is_visible);
    EXPECT_EQ(doc.graphics.size(), 5u);
}

TEST_F(Canvas, ReplaceUpdatesAFoundGraphicOrCreatesOne)
{
    quorvant::test::TempFolder dir;
    QImage pic(9, 9, QImage::Format_ARGB32);
    pic.fill(Qt::red);
    ASSERT_TRUE(pic.save(dir.file("p.png")));

    auto text = std::dynamic_pointer_cast<TVNText>(add(GraphicClass::Text, "Fup_Name"));
    text->setContentsString("old");
    text->setDrawingFill(true);
    text->Set_Ctrl_Is_Visible(false);
    auto image = std::dynamic_pointer_cast<TVNImage>(add(GraphicClass::Image, "Fup_Photo"));
    image->Set_Ctrl_Is_Visible(false);

    view.ReplaceGraphicText(GraphicClass::Text, nullptr, false, {}, "F", "Ann", "Fup_Name");
    EXPECT_EQ(text->contentsString(), "Ann");
    EXPECT_EQ(text->Text_Value, "Ann");
    EXPECT_FALSE(text->isDrawingFill());
    EXPECT_TRUE(text->ctrl_is_visible);
    EXPECT_EQ(view._Selected_Graphic, text);

    view.ReplaceGraphicText(GraphicClass::Text, nullptr, false, {}, "F", "", "Fup_Name");
    EXPECT_EQ(text->contentsString(), "Ann") << "an empty value leaves the text";

    QStringList logged;
    const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &msg) {
        qApp->setProperty("lastLog", msg);
    });
    view.ReplaceGraphicText(GraphicClass::Image, nullptr, false, {}, "F", dir.file("none.png"), "Fup_Photo");
    qInstallMessageHandler(previous);
    EXPECT_TRUE(qApp->property("lastLog").toString().contains(dir.file("none.png")));
    EXPECT_FALSE(image->ctrl_is_visible) << "a missing file leaves the graphic unchanged";
    EXPECT_TRUE(image->filePath().isEmpty());

    view.ReplaceGraphicText(GraphicClass::Image, nullptr, false, {}, "F", dir.file("p.png"), "Fup_Photo");
    EXPECT_EQ(image->filePath(), dir.file("p.png"));
    EXPECT_TRUE(image->ctrl_is_visible);
    EXPECT_EQ(view._Selected_Graphic, image);
    EXPECT_EQ(doc.graphics.size(), 2u);

    view.ReplaceGraphicText(GraphicClass::Text, nullptr, false, {}, "B", "Acme", "Fup_Company");
    ASSERT_EQ(doc.graphics.size(), 3u);
    EXPECT_EQ(doc.graphics[0]->control_ID, "Fup_Company");
    EXPECT_EQ(host.placementSides, QStringList{"B"});
    EXPECT_EQ(view._Selected_Graphic, doc.graphics[0]);
}

TEST_F(Canvas, MouseSelectsTheFrontGraphicAndMovesItAsOneUndoStep)
{
    const GraphicPtr back = add(GraphicClass::Image, "back", QRectF(10, 10, 60, 60));
    doc.graphics.insert(doc.graphics.begin(), newGraphicOfClass(GraphicClass::Barcode));
    const GraphicPtr front = doc.graphics[0];
    front->setBounds(QRectF(40, 40, 40, 20));
    view.setScale(2);

    drag(QPointF(50, 50), QPointF(60, 45));
    EXPECT_EQ(view.selectedGraphics(), GraphicList{front}) << "index 0 is in front and wins the click";
    EXPECT_EQ(front->bounds(), QRectF(50, 35, 40, 20));
    EXPECT_EQ(back->bounds(), QRectF(10, 10, 60, 60));
    ASSERT_EQ(doc.undoManager().count(), 1);
    doc.undoManager().undo();
    EXPECT_EQ(front->bounds(), QRectF(40, 40, 40, 20));
    doc.undoManager().redo();
    EXPECT_EQ(front->bounds(), QRectF(50, 35, 40, 20));

    mouse(QEvent::MouseButtonPress, QPointF(15, 15));
    mouse(QEvent::MouseButtonRelease, QPointF(15, 15));
    EXPECT_EQ(view.selectedGraphics(), GraphicList{back});
    mouse(QEvent::MouseButtonPress, QPointF(55, 40), Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, QPointF(55, 40));
    EXPECT_EQ(view.selectedGraphics().size(), 2u);

    mouse(QEvent::MouseButtonPress, QPointF(200, 140));
    mouse(QEvent::MouseButtonRelease, QPointF(200, 140));
    EXPECT_TRUE(view.selectedGraphics().empty()) << "a click on the empty card deselects";
    EXPECT_EQ(doc.undoManager().count(), 1) << "clicks without movement leave no undo step";
}

TEST_F(Canvas, HandlesResizeAndTheGridSnapsMovesAndResizes)
{
    const GraphicPtr g = add(GraphicClass::Image, "g", QRectF(20, 20, 40, 30));
    view.selectGraphic(g);

    drag(QPointF(60, 50), QPointF(80, 70)); // bottom-right handle
    EXPECT_EQ(g->bounds(), QRectF(20, 20, 60, 50));
    drag(QPointF(20, 45), QPointF(90, 45)); // left handle past the right edge
    EXPECT_EQ(g->bounds(), QRectF(80, 20, 10, 50)) << "dragging an edge across flips instead of going negative";

    grid.setSpacing(9);
    grid.setConstraining(true);
    g->setBounds(QRectF(20, 20, 40, 30));
    drag(QPointF(30, 30), QPointF(33, 31)); // origin 23,21 snaps to 27,18
    EXPECT_EQ(g->bounds().topLeft(), QPointF(27, 18));
    drag(QPointF(67, 48), QPointF(70, 50)); // bottom-right handle to 72,54
    EXPECT_EQ(g->bounds(), QRectF(27, 18, 45, 36));
    EXPECT_EQ(doc.undoManager().count(), 4);
}

TEST_F(Canvas, DeleteKeyRemovesTheSelectionUndoably)
{
    const GraphicPtr a = add(GraphicClass::Text, "a");
    const GraphicPtr b = add(GraphicClass::Text, "b");
    view.selectGraphic(a);
    view.selectGraphic(b);
    view.deleteSelectedGraphics();
    EXPECT_TRUE(doc.graphics.empty());
    doc.undoManager().undo();
    EXPECT_EQ(doc.graphics, (GraphicList{a, b}));
}

TEST(Grid, SnapsHalfWayUpAndReportsShownChanges)
{
    TVNGrid grid;
    EXPECT_EQ(grid.spacing(), 9);
    EXPECT_EQ(grid.color(), QColor(Qt::lightGray));
    EXPECT_DOUBLE_EQ(grid.snap(4.5), 9);
    EXPECT_DOUBLE_EQ(grid.snap(4.49), 0);
    EXPECT_DOUBLE_EQ(grid.snap(-4.5), 0);
    int changes = 0;
    QObject::connect(&grid, &TVNGrid::alwaysShownChanged, [&] { ++changes; });
    grid.setAlwaysShown(true);
    grid.setAlwaysShown(true);
    grid.setAlwaysShown(false);
    EXPECT_EQ(changes, 2);
}

TEST_F(Canvas, AProfilePhotoKeepsTheLastPathItTookAsItsValue)
{
    quorvant::test::TempFolder dir;
    QImage pic(9, 9, QImage::Format_ARGB32);
    pic.fill(Qt::red);
    ASSERT_TRUE(pic.save(dir.file("first.png")));
    ASSERT_TRUE(pic.save(dir.file("second.png")));
    host.tool = drawing::kImageTool;
    host.librarySelectedImage = dir.file("first.png");

    view.ReplaceGraphicText(GraphicClass::Image, nullptr, true, QRectF(5, 5, 40, 50), "F", dir.file("first.png"),
                            "Fup_Photo");
    const GraphicPtr photo = view._Selected_Graphic;
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->Text_Value, dir.file("first.png")) << "the profile dialog reads the photo path from here";

    view.ReplaceGraphicText(GraphicClass::Image, nullptr, false, {}, "F", dir.file("second.png"), "Fup_Photo");
    EXPECT_EQ(photo->Text_Value, dir.file("second.png"));
    view.ReplaceGraphicText(GraphicClass::Image, nullptr, false, {}, "F", dir.file("gone.png"), "Fup_Photo");
    EXPECT_EQ(photo->Text_Value, dir.file("second.png")) << "a missing file leaves the photo as it was";
    EXPECT_EQ(doc.graphics.size(), 1u);
}
