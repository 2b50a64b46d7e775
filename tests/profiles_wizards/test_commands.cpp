// The design window's menu items and panel buttons that open the wizards
// and libraries, and what their results do to the design.
#include "design_window/CardPanel.h"
#include "tests/design_window/Outlets.h"
#include "design_window/ColorButton.h"
#include "design_window/ImagePanel.h"
#include "design_window/TVNWindowController.h"
#include "design_window/TextPanel.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/canvas/TVNGrid.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/Card_Wizard.h"
#include "profiles_wizards/Export_Template.h"
#include "profiles_wizards/Grid_Wizard.h"
#include "profiles_wizards/Image_Library.h"
#include "profiles_wizards/Insert_Template.h"
#include "profiles_wizards/Template_Wizard.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/WizardWindowsImpl.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QComboBox>
#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

using quorvant::test::writeTestFile;
using quorvant::test::outlet;

namespace {

class CommandTest : public quorvant::test::WindowTest {
protected:
    QAction *action(const char *name) const { return wnd->findChild<QAction *>(name); }
    GraphicPtr selected() const { return wnd->currentCanvas()->_Selected_Graphic; }
};

} // namespace

TEST_F(CommandTest, MenuItemsOpenTheirWindows)
{
    const std::pair<const char *, const char *> items[] = {
        {"act_templates", "Template_Wizard"},
        {"act_card_size_wizard", "Card_Wizard"},
        {"act_export_template", "Export_Template_Window"},
        {"act_library", "Image_Library"},
        {"act_grid_options", "Grid_Wizard"},
        {"act_edit_main_photo", "Invitation_Wizard"},
        {"act_start_window", "Invitation_Wizard"},
        {"act_profile", "Show_User_Profile"},
    };
    for (const auto &[item, window] : items) {
        // The start window comes with a new design: its save question is
        // answered "No".
        answers = {1};
        QStringList opened;
        user = [&](QDialog &d) {
            opened << d.objectName();
            d.reject();
        };
        ASSERT_TRUE(action(item)->isEnabled()) << item;
        EXPECT_FALSE(wnd->pendingActions().contains(action(item))) << item;
        action(item)->trigger();
        EXPECT_EQ(opened, QStringList{window}) << item;
    }
}

TEST_F(CommandTest, TemplateButtonsPutTheChosenTextIntoTheTextObject)
{
    writeTestFile(res("Title.txt"), "Welcome\nHello there\n");
    writeTestFile(res("Message.txt"), "See you soon\n");
    wnd->selectTool(TVNWindowController::kTextTool);
    auto *text = static_cast<TVNText *>(selected().get());
    // Bound to a series: a ready-made text makes it a typed text, which a
    // batch run leaves as it is.
    text->Set_Data_source_type(1);
    text->Set_Batch_List_Name("Names");
    wnd->Show_RHS_Properties(text);
    struct Case {
        QPushButton *button;
        bool ok;
        const char *shown;
    };
    const Case cases[] = {{outlet<TextPanel>(*wnd, "textPanel")->template_title_btn, true, "Hello there"},
                          {outlet<TextPanel>(*wnd, "textPanel")->template_message_btn, false, "Hello there"},
                          {outlet<TextPanel>(*wnd, "textPanel")->template_message_btn, true, "See you soon"}};
    for (const Case &c : cases) {
        user = [&](QDialog &d) {
            auto &picker = static_cast<Insert_Template &>(d);
            picker.Msg_Next_Click();
            (c.ok ? picker.ok_btn : picker.cancel_btn)->click();
        };
        c.button->click();
        EXPECT_EQ(text->contentsString(), c.shown);
        EXPECT_EQ(outlet<TextPanel>(*wnd, "textPanel")->text_content->toPlainText(), c.shown);
        EXPECT_EQ(text->data_source_type, 0);
    }
}

TEST_F(CommandTest, LibraryPicksBecomeImagesAndFramesBackgrounds)
{
    const QString star = makePicture(res("LibraryImage/shapes/Star.png"), Qt::yellow);
    const QString frame = makePicture(res("Frames/Gold.png"), Qt::darkYellow);
    // The window seeded the default content too: pick our own files.
    user = [&](QDialog &d) {
        auto &library = static_cast<Image_Library &>(d);
        if (library.control_or_BG == "C") {
            library.cat_cmbo_bx->setCurrentIndex(library.cat_cmbo_bx->findData("shapes"));
            library.comboBoxSelectionDidChange();
        }
        library.thumbnails->selectItem(library.thumbnails->indexOfPath(library.control_or_BG == "C" ? star : frame));
        library.ok_btn->click();
    };
    action("act_library")->trigger();
    auto *image = dynamic_cast<TVNImage *>(selected().get());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->image().toBitmap(72).pixelColor(1, 1), QColor(Qt::yellow));
    // The pick is one object: a drag over empty card after it adds none,
    // and one undo takes it away.
    TVNGraphicView *canvas = wnd->currentCanvas();
    for (const auto &[type, at] : {std::pair{QEvent::MouseButtonPress, QPointF(300, 200)},
                                   std::pair{QEvent::MouseMove, QPointF(400, 240)},
                                   std::pair{QEvent::MouseButtonRelease, QPointF(400, 240)}}) {
        QMouseEvent event(type, at, canvas->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    }
    QApplication::processEvents();
    EXPECT_EQ(wnd->Get_Front_Controls_Array().size(), 1u);
    action("act_undo")->trigger();
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
    action("act_redo")->trigger();
    // A plain image object afterwards does not take the library's pick.
    wnd->selectTool(TVNWindowController::kImageTool);
    EXPECT_NE(static_cast<TVNImage *>(selected().get())->image().toBitmap(72).pixelColor(1, 1), QColor(Qt::yellow));

    outlet<ImagePanel>(*wnd, "imagePanel")->image_library->click();
    EXPECT_EQ(static_cast<TVNImage *>(selected().get())->filePath(), star);

    outlet<CardPanel>(*wnd, "card_panel")->card_bg_frames->click();
    EXPECT_EQ(wnd->design().Front_card_Prop.BG_Image_Path, frame);
    EXPECT_TRUE(design_window::Library_Selected_Image.isEmpty());
}

TEST_F(CommandTest, GridOptionsChangeTheGridAtOnceAndCancelKeepsThem)
{
    TVNGrid &grid = *outlet<TVNGrid>(*wnd, "grid");
    grid.setAlwaysShown(true);
    bool boxEnabled = true, shownTicked = true;
    user = [&](QDialog &d) {
        EXPECT_TRUE(d.isAncestorOf(outlet<QPushButton>(*wnd, "Grid_clr")));
        design_window::setButtonColor(outlet<QPushButton>(*wnd, "Grid_clr"), Qt::red);
        outlet<CardPanel>(*wnd, "card_panel")->Grid_Clr_Changed();
        outlet<QCheckBox>(*wnd, "Show_hide_grid_chk")->click();
        boxEnabled = outlet<QGroupBox>(*wnd, "Grid_Opt_box")->isEnabled();
        static_cast<Grid_Wizard &>(d).cancel_btn->click();
    };
    wnd->toggleGridShowing();
    EXPECT_EQ(grid.color(), QColor(Qt::red));
    EXPECT_FALSE(grid.isAlwaysShown());
    EXPECT_FALSE(boxEnabled);
    EXPECT_FALSE(action("act_show_grid")->isChecked());

    user = [&](QDialog &d) {
        shownTicked = outlet<QCheckBox>(*wnd, "Show_hide_grid_chk")->isChecked();
        static_cast<Grid_Wizard &>(d).ok_btn->click();
    };
    wnd->toggleGridShowing();
    EXPECT_FALSE(shownTicked);
}

