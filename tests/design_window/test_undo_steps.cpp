// Every change a user makes through a panel is one undo step with its name in
// the Edit menu, and Undo takes back exactly that change: never an earlier
// one (a deleted object stays deleted), never only part of it.

#include "WindowFixture.h"
#include "tests/design_window/Outlets.h"
#include "design_window/CardPanel.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/TextPanel.h"
#include "drawing/TVNDocument.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoStack>

using namespace design_window;
using quorvant::test::outlet;

namespace {

class UndoSteps : public DesignWindow {};

} // namespace

TEST_F(UndoSteps, EachPanelChangeIsOneNamedStepThatUndoTakesBack)
{
    auto text = std::static_pointer_cast<TVNText>(add(TVNWindowController::kTextTool));
    TextPanel &panel = *outlet<TextPanel>(*wnd, "textPanel");
    CardPanel &card = *outlet<CardPanel>(*wnd, "card_panel");
    QUndoStack &undo = wnd->design().document->undoManager();
    platform::ScopedModalResponder colourPanel([](QDialog &d) {
        static_cast<QColorDialog &>(d).setCurrentColor(QColor(200, 30, 40));
        d.done(QDialog::Accepted);
        return 1;
    });

    struct Row {
        const char *change;
        const char *step;     // the Edit menu's name of the step
        bool onText;          // the text's page is shown, else the card's
        std::function<void()> make;
        std::function<QString()> state;
    };
    const auto font = [&] { return text->textFont().toString(); };
    const Row rows[] = {
        {"typing a text", "Typing", true, [&] { panel.text_content->setPlainText("Welcome"); },
         [&] { return text->contentsString(); }},
        {"bold", "Font", true, [&] { panel.text_bold->setChecked(!panel.text_bold->isChecked()); }, font},
        {"italic", "Font", true, [&] { panel.text_italic->setChecked(!panel.text_italic->isChecked()); }, font},
        {"font size", "Font", true, [&] { panel.text_font_size->setValue(panel.text_font_size->value() + 7); }, font},
        {"font family", "Font", true, [&] { panel.text_font_family->setCurrentFont(QFont("Liberation Mono")); },
         font},
        {"colour", "Colour", true, [&] { panel.text_color_btn->click(); },
         [&] { return text->textColor().name(); }},
        {"alignment", "Alignment", true,
         [&] {
             panel.text_alignment->setCurrentIndex(2);
             emit panel.text_alignment->activated(2);
         },
         [&] { return QString::number(text->alignment() & Qt::AlignHorizontal_Mask); }},
        {"binding ended", "Data Source", true,
         [&] {
             QComboBox *source = outlet<DataSourcePanel>(*wnd, "data_source_box")->Data_source_type;
             source->setCurrentIndex(0);
             wnd->Data_Source_Type_Changed();
         },
         [&] { return QString::number(text->data_source_type); }},
        {"card fill", "Card Fill", false, [&] { card.card_fill_chk->setChecked(!card.card_fill_chk->isChecked()); },
         [&] { return QString::number(wnd->design().Front_card_Prop.Card_Fill); }},
        {"card outline", "Card Shape", false,
         [&] {
             card.card_shape_combo->setCurrentIndex(2);
             emit card.card_shape_combo->activated(2);
         },
         [&] { return QString::number(Card_Shape); }},
        {"card width", "Card Size", false, [&] { card.card_width_mm->setValue(card.card_width_mm->value() + 20); },
         [&] {
             const QSizeF size = wnd->design().Front_card_Prop.Card_Size;
             return QStringLiteral("%1 %2 %3").arg(size.width()).arg(outlet<TVNGraphicView>(*wnd, "_graphicView")->canvasSize().width())
                 .arg(card.card_width_mm->value());
         }},
    };
    for (const Row &row : rows) {
        // An object deleted first: Undo after the change must not bring it back.
        GraphicPtr deleted = add(TVNWindowController::kTextTool);
        wnd->currentCanvas()->selectGraphic(deleted);
        wnd->currentCanvas()->deselectAll();
        wnd->currentCanvas()->selectGraphic(deleted);
        wnd->currentCanvas()->deleteSelectedGraphics();
        if (QLatin1String(row.step) == QLatin1String("Data Source"))
            text->Set_Data_source_type(1); // bound, as the inspector's series choice leaves it
        wnd->Show_RHS_Properties(row.onText ? text.get() : nullptr);

        const QString before = row.state();
        const int steps = undo.count();
        row.make();
        const QString after = row.state();
        ASSERT_NE(after, before) << row.change;
        EXPECT_EQ(undo.count(), steps + 1) << row.change;
        EXPECT_EQ(outlet<QAction>(*wnd, "act_undo")->text(), QStringLiteral("&Undo %1").arg(row.step)) << row.change;

        outlet<QAction>(*wnd, "act_undo")->trigger();
        EXPECT_EQ(row.state(), before) << row.change;
        EXPECT_EQ(std::count(wnd->Get_Front_Controls_Array().begin(), wnd->Get_Front_Controls_Array().end(), deleted),
                  0)
            << row.change << ": Undo brought back an object deleted before";
        outlet<QAction>(*wnd, "act_redo")->trigger();
        EXPECT_EQ(row.state(), after) << row.change;
    }
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(UndoSteps, TypingIsOneStepAndEndsTheTextsBinding)
{
    auto text = std::static_pointer_cast<TVNText>(add(TVNWindowController::kTextTool));
    text->Set_Data_source_type(1);
    text->Set_Batch_List_Name("Names");
    wnd->Show_RHS_Properties(text.get());
    QUndoStack &undo = wnd->design().document->undoManager();
    const int steps = undo.count();
    for (const char *typed : {"W", "We", "Wel"})
        outlet<TextPanel>(*wnd, "textPanel")->text_content->setPlainText(typed);
    EXPECT_EQ(undo.count(), steps + 1) << "a run of typing is one step";
    // A batch run must not overwrite what the user wrote.
    EXPECT_EQ(text->data_source_type, 0);
    EXPECT_EQ(outlet<DataSourcePanel>(*wnd, "data_source_box")->Data_source_type->currentIndex(), 0);
    undo.undo();
    EXPECT_EQ(text->contentsString(), "Text");
    EXPECT_EQ(text->data_source_type, 1);
}

TEST_F(UndoSteps, CardSettingsShownAgreeWithTheCard)
{
    // An invitation's portrait card.
    wnd->chooseCard(CardChoice{QStringLiteral("PVC Card"), -1, QStringLiteral("H")}, QSizeF(120, 150), 0);
    wnd->design().Front_card_Prop.Card_Fill = true;
    wnd->design().Front_card_Prop.Card_Fill_Color = QColor(220, 40, 40);
    wnd->Show_RHS_Properties(nullptr);
    EXPECT_EQ(outlet<CardPanel>(*wnd, "card_panel")->card_orientation->currentText(), "Vertical");
    // The swatch shows the card's own colour, not a shade of it.
    QPushButton *swatch = outlet<CardPanel>(*wnd, "card_panel")->card_fill_color_btn;
    swatch->resize(swatch->sizeHint());
    const QImage shown = swatch->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.rect().center()), QColor(220, 40, 40));
    wnd->chooseCard(CardChoice{QStringLiteral("PVC Card"), 0, QStringLiteral("H")}, QSizeF(85.598, 54.102), 0);
    EXPECT_EQ(outlet<CardPanel>(*wnd, "card_panel")->card_orientation->currentText(), "Horizontal");
}

TEST_F(UndoSteps, ThePanelShowsWhatUndoLeftSoTheNextEditKeepsIt)
{
    auto text = std::static_pointer_cast<TVNText>(add(TVNWindowController::kTextTool));
    wnd->Show_RHS_Properties(text.get());
    TextPanel &panel = *outlet<TextPanel>(*wnd, "textPanel");
    const bool bold = text->textFont().bold();

    panel.text_bold->setChecked(!bold);
    outlet<QAction>(*wnd, "act_undo")->trigger();
    EXPECT_EQ(panel.text_bold->isChecked(), bold);
    // A later size change must not bring the undone Bold back.
    panel.text_font_size->setValue(panel.text_font_size->value() + 5);
    EXPECT_EQ(text->textFont().bold(), bold);

    panel.text_content->setPlainText("Welcome");
    outlet<QAction>(*wnd, "act_undo")->trigger();
    EXPECT_EQ(panel.text_content->toPlainText(), text->contentsString());
    outlet<QAction>(*wnd, "act_redo")->trigger();
    EXPECT_EQ(panel.text_content->toPlainText(), "Welcome");
}

TEST_F(UndoSteps, AFramePickedInTheDockIsOneStepThatUndoTakesBack)
{
    GraphicPtr deleted = add(TVNWindowController::kTextTool);
    wnd->currentCanvas()->selectGraphic(deleted);
    wnd->currentCanvas()->deleteSelectedGraphics();
    QUndoStack &undo = wnd->design().document->undoManager();
    const int steps = undo.count();
    const QString frame = makePng("Frame.png", Qt::darkGreen);

    wnd->imageBrowserSelectionDidChange(frame);
    EXPECT_EQ(wnd->design().Front_card_Prop.BG_Image_Path, frame);
    EXPECT_EQ(undo.count(), steps + 1);
    EXPECT_EQ(outlet<QAction>(*wnd, "act_undo")->text(), "&Undo Card Background");
    outlet<QAction>(*wnd, "act_undo")->trigger();
    EXPECT_TRUE(wnd->design().Front_card_Prop.BG_Image_Path.isEmpty());
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty()) << "Undo brought back an object deleted before";
}
