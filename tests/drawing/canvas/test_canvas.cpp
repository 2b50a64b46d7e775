#include "tests/drawing/TestHost.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/canvas/TVNGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
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

    void click(QPointF point, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, point, Qt::LeftButton, mods);
        mouse(QEvent::MouseButtonRelease, point);
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

TEST_F(Canvas, TakesTheGivenRectangleAndSnapsItToAConstrainingGrid)
{
    struct Row {
        double spacing;
        bool constraining;
        QRectF rect;
        const char *id;
        QRectF expected;
        const char *why;
    } const rows[] = {
        {10, false, {50, 60, 70, 20}, "Fup_Name", {50, 60, 70, 20}, "the rectangle as given"},
        {10, false, {50, 60, 70, 20}, "", {50, 60, 70, 20}, "a rectangle the user drew (no id) as given"},
        {10, true, {14.9, 15, 31, 24.9}, "X", {10, 20, 40, 20}, "origin and far corner snap, half way up"},
        {10, true, {21, 21, 2, 2}, "Y", {20, 20, 10, 10}, "a snapped graphic never collapses to nothing"},
        {0, true, {14.9, 15, 31, 24.9}, "W", {14.9, 15, 31, 24.9}, "a grid without spacing does not snap"},
    };
    for (const Row &row : rows) {
        grid.setSpacing(row.spacing);
        grid.setConstraining(row.constraining);
        EXPECT_EQ(create(GraphicClass::Image, true, row.rect, "", row.id)->bounds(), row.expected) << row.why;
    }
    EXPECT_TRUE(host.placementSides.isEmpty()) << "a given rectangle needs no placement point";
}

TEST_F(Canvas, TextTakesTheValueAndInvitationIdsTheirAlignmentAndFont)
{
    // The invitation's look: centred title, date, time, venue and marriage
    // line, a right-aligned sender, the title lines in Times bold italic 18.
    struct Row {
        const char *id;
        Qt::Alignment alignment;
        bool titleFont;
    } const rows[] = {
        {"PARTY_TITLE", Qt::AlignHCenter, true}, {"PARTY_MARRINGE_INFO", Qt::AlignHCenter, true},
        {"PARTY_VENUE", Qt::AlignHCenter, false}, {"PARTY_FROM", Qt::AlignRight, false},
        {"TITLE", Qt::AlignLeft, false},
    };
    for (const Row &row : rows) {
        const auto text = std::dynamic_pointer_cast<TVNText>(create(GraphicClass::Text, false, {}, "Ann", row.id));
        ASSERT_TRUE(text);
        EXPECT_EQ(text->contentsString(), "Ann");
        EXPECT_EQ(text->Text_Value, "Ann");
        EXPECT_FALSE(text->isDrawingFill() || text->isDrawingStroke());
        EXPECT_EQ(text->alignment() & Qt::AlignHorizontal_Mask, row.alignment) << row.id;
        const QFont font = text->textFont();
        EXPECT_EQ(font.family() == "Times New Roman" && font.bold() && font.italic() && font.pointSizeF() == 18,
                  row.titleFont)
            << row.id;
    }
}

TEST_F(Canvas, ImageToolTakesTheGivenPathAndTheLibraryPickOnlyWithoutOne)
{
    quorvant::test::TempFolder dir;
    QImage a(11, 11, QImage::Format_ARGB32), b(22, 22, QImage::Format_ARGB32);
    a.fill(Qt::red);
    b.fill(Qt::green);
    ASSERT_TRUE(a.save(dir.file("lib.png")));
    ASSERT_TRUE(b.save(dir.file("value.png")));
    host.tool = drawing::kImageTool;
    host.librarySelectedImage = dir.file("lib.png");

    // A pick left over in the library never replaces the path asked for,
    // not even when that file is missing.
    const struct {
        GraphicClass asked;
        const char *value;
        QSize shown;
    } rows[] = {
        {GraphicClass::Text, "value.png", {22, 22}}, // the image tool builds an image whatever is asked
        {GraphicClass::Image, "", {11, 11}},
        {GraphicClass::Image, "nothing.png", {0, 0}}, // no picture: the canvas shows the placeholder
    };
    for (const auto &row : rows) {
        const QString value = *row.value ? dir.file(row.value) : QString();
        auto g = std::dynamic_pointer_cast<TVNImage>(create(row.asked, false, {}, value));
        ASSERT_TRUE(g) << row.value;
        EXPECT_EQ(g->image().bitmap().size(), row.shown) << row.value;
    }
    auto g = std::dynamic_pointer_cast<TVNImage>(create(GraphicClass::Image, false, {}, QString()));
    EXPECT_EQ(g->Text_Value, host.librarySelectedImage) << "the profile dialogs read the path from here";
}

TEST_F(Canvas, ProfileIdsFindTheFirstTextOrImageAndHideEveryOne)
{
    const GraphicPtr barcode = add(GraphicClass::Barcode, "Fup_Name");
    const GraphicPtr name = add(GraphicClass::Text, " Fup_Name ");
    const GraphicPtr second = add(GraphicClass::Image, "Fup_Name");
    const GraphicPtr photo = add(GraphicClass::Image, "Fup_Photo");
    const GraphicPtr caption = add(GraphicClass::Text, "Fup_lbl_Name");
    const GraphicPtr party = add(GraphicClass::Text, "PARTY_TITLE");

    EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Name"), name) << "barcodes are passed over; ids are trimmed";
    EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Photo"), photo);
    EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Title"), nullptr);
    EXPECT_EQ(view.Selcect_Ctrl_With_ID(""), nullptr);

    view.Hide_all_Text_control_FUP_Control();
    for (const GraphicPtr &g : {name, second, photo})
        EXPECT_FALSE(g->ctrl_is_visible) << g->control_ID.toStdString();
    for (const GraphicPtr &g : {barcode, caption, party})
        EXPECT_TRUE(g->ctrl_is_visible) << g->control_ID.toStdString();
    EXPECT_EQ(doc.graphics.size(), 6u);
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

    // The profile dialogs read a placed photo's path back from Text_Value.
    view.ReplaceGraphicText(GraphicClass::Image, nullptr, false, {}, "F", dir.file("p.png"), "Fup_Photo");
    EXPECT_EQ(image->filePath(), dir.file("p.png"));
    EXPECT_EQ(image->Text_Value, dir.file("p.png"));
    EXPECT_TRUE(image->ctrl_is_visible);
    EXPECT_EQ(view._Selected_Graphic, image);
    image->Set_Ctrl_Is_Visible(false);
    // The log is off unless switched on.
    QLoggingCategory::setFilterRules(QStringLiteral("quorvant.debug=true"));
    const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &msg) {
        qApp->setProperty("lastLog", msg);
    });
    view.ReplaceGraphicText(GraphicClass::Image, nullptr, false, {}, "F", dir.file("none.png"), "Fup_Photo");
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    EXPECT_TRUE(qApp->property("lastLog").toString().contains(dir.file("none.png")));
    EXPECT_FALSE(image->ctrl_is_visible) << "a missing file leaves the graphic unchanged";
    EXPECT_EQ(image->Text_Value, dir.file("p.png"));
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

    click(QPointF(15, 15));
    EXPECT_EQ(view.selectedGraphics(), GraphicList{back});
    click(QPointF(55, 40), Qt::ShiftModifier);
    EXPECT_EQ(view.selectedGraphics().size(), 2u);
    EXPECT_EQ(doc.undoManager().count(), 1) << "clicks without movement leave no undo step";
    click(QPointF(200, 140));
    EXPECT_TRUE(view.selectedGraphics().empty()) << "a click on the empty card deselects";
}

TEST_F(Canvas, ClearPartsOfAPictureLetClicksThroughToWhatLiesBehind)
{
    const GraphicPtr text = add(GraphicClass::Text, "behind", QRectF(30, 30, 40, 20));
    // A frame in front: opaque border, clear middle.
    QImage frame(100, 100, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    {
        QPainter border(&frame);
        border.setPen(QPen(Qt::darkGreen, 20));
        border.drawRect(frame.rect());
    }
    auto image = std::make_shared<TVNImage>();
    image->setImage(platform::Image::fromBitmap(frame));
    image->setBounds(QRectF(0, 0, 100, 100));
    doc.graphics.insert(doc.graphics.begin(), image);

    click(QPointF(50, 40));
    EXPECT_EQ(view.selectedGraphics(), GraphicList{text});
    click(QPointF(3, 50));
    EXPECT_EQ(view.selectedGraphics(), GraphicList{GraphicPtr(image)});
    image->setDrawingFill(true);
    click(QPointF(50, 40));
    EXPECT_EQ(view.selectedGraphics(), GraphicList{GraphicPtr(image)}) << "a filled box is hit all over";
}

TEST_F(Canvas, TheDeleteKeyRemovesTheSelectionUndoably)
{
    const GraphicPtr a = add(GraphicClass::Text, "a");
    const GraphicPtr b = add(GraphicClass::Text, "b");
    view.selectGraphic(a);
    view.selectGraphic(b);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    EXPECT_TRUE(doc.graphics.empty());
    doc.undoManager().undo();
    EXPECT_EQ(doc.graphics, (GraphicList{a, b}));
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

TEST(Grid, SnapsHalfWayUpAndReportsShownChanges)
{
    TVNGrid grid;
    grid.setSpacing(9);
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
