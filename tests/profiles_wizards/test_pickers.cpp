// The title and message picker, the template name dialog, the clip-art and
// frame library and the card size wizard, driven through their handlers
// with the user's answers scripted.
#include "design_window/TVNWindowController.h"
#include "tests/design_window/Outlets.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/CardSizeList.h"
#include "profiles_wizards/Card_Wizard.h"
#include "profiles_wizards/Export_Template.h"
#include "profiles_wizards/Image_Library.h"
#include "profiles_wizards/Insert_Template.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/WizardGlobals.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace profiles_wizards;
using quorvant::test::WizardTest;
using quorvant::test::writeTestFile;
using quorvant::test::outlet;

namespace {

class PickerTest : public WizardTest {
protected:
    Insert_Template &picker = Insert_Template::defaultInstance();

    // Opens the picker offering `mode`, lets `steps` act on it and returns
    // the result.
    int openPicker(const QString &mode, const std::function<void(Insert_Template &)> &steps)
    {
        picker.title_or_msg = mode;
        picker.resourceFolder = res();
        platform::ScopedModalResponder answer([&](QDialog &d) {
            steps(static_cast<Insert_Template &>(d));
            return d.result();
        });
        return picker.Open_Template_Dialog();
    }
};

} // namespace

TEST_F(PickerTest, BackAndNextWrapAroundTheOfferedListOnly)
{
    writeTestFile(res("Title.txt"), "One\nTwo\nThree\n");
    writeTestFile(res("Message.txt"), "Hello\nBye\n");
    struct Case {
        const char *mode;
        QList<int> steps; // -1 Back, +1 Next
        const char *shown;
    };
    // With three title lines Back on the first shows the third and Next on
    // the third the first.
    const Case cases[] = {
        {"T", {}, "One"},          {"T", {-1}, "Three"},     {"T", {1, 1, 1}, "One"},
        {"T", {1, 1, -1}, "Two"},  {"M", {-1}, "Bye"},       {"M", {1, 1, 1}, "Bye"},
    };
    for (const Case &c : cases) {
        int otherIndex = -1;
        openPicker(c.mode, [&](Insert_Template &d) {
            for (int step : c.steps)
                step < 0 ? d.Msg_Back_Click() : d.Msg_Next_Click();
            EXPECT_EQ(d.msg_value->toPlainText(), c.shown) << c.mode;
            otherIndex = QString(c.mode) == "T" ? d.message_index : d.title_index;
            d.ok_btn->click();
        });
        EXPECT_EQ(Template_Msg_Val, c.shown);
        EXPECT_EQ(otherIndex, 0);
    }
    EXPECT_TRUE(alerts.isEmpty());
}

TEST_F(PickerTest, OkHandsBackTheShownTextTrimmedAndRefusesEmptyTexts)
{
    writeTestFile(res("Message.txt"), "First line\r\n\r\nLast line");
    // A carriage return stays in the line and is trimmed by OK.
    EXPECT_EQ(openPicker("M", [](Insert_Template &d) {
                  EXPECT_EQ(d.Get_Message(), "First line\r");
                  d.ok_btn->click();
              }),
              1);
    EXPECT_EQ(Template_Msg_Val, "First line");

    // The blank line in the middle is offered and refused; typed text wins.
    EXPECT_EQ(openPicker("M", [](Insert_Template &d) {
                  d.Msg_Next_Click();
                  d.ok_btn->click();
                  d.msg_value->setPlainText("  My own words \n");
                  d.ok_btn->click();
              }),
              1);
    EXPECT_EQ(alerts, QStringList{"Please select message."});
    EXPECT_EQ(Template_Msg_Val, "My own words");

    // Cancel empties the text.
    EXPECT_EQ(openPicker("M", [](Insert_Template &d) { d.cancel_btn->click(); }), 0);
    EXPECT_TRUE(Template_Msg_Val.isEmpty());

    // Without "Title.txt" the field stays empty whatever is stepped to.
    alerts.clear();
    EXPECT_EQ(openPicker("T", [](Insert_Template &d) {
                  d.Msg_Back_Click();
                  d.Msg_Next_Click();
                  EXPECT_EQ(d.msg_value->toPlainText(), "");
                  d.ok_btn->click();
                  d.cancel_btn->click();
              }),
              0);
    EXPECT_EQ(alerts, QStringList{"Please select message."});
}

namespace {

class NameDialogTest : public WizardTest {
protected:
    Export_Template dialog;
    // Runs the dialog with `typed` and `passed`; the accepted name or
    // "<refused>" when the dialog stayed open.
    QString run(const QString &typed, const QString &passed)
    {
        dialog.userFolder = res("Templates/User");
        dialog.template_name->setText(typed);
        dialog.template_passed->setText(passed);
        export_template_name = "<unchanged>";
        platform::ScopedModalResponder answer([](QDialog &d) {
            static_cast<Export_Template &>(d).ok_btn->click();
            return d.result();
        });
        return dialog.Open_Wnd() == 1 ? export_template_name : QStringLiteral("<refused>");
    }
};

} // namespace

TEST_F(NameDialogTest, NamesAreCheckedAgainstTheUserTemplates)
{
    writeTestFile(res("Templates/User/Party.zelg"), "x");
    writeTestFile(res("Templates/User/Party.png"), "x");
    const QString exists = "Template with this name already exists.";
    const QString replace = "Template with this name already exists, Do you want to replace the existing template?";
    const QString unusable = "Template name cannot contain \"/\" or \"\\\" and cannot begin with \".\".";
    struct Case {
        const char *typed;
        const char *passed;
        QList<int> answers;
        const char *result;
        QString alert;
    };
    const Case cases[] = {
        {"  Badge  ", "", {}, "Badge", {}},
        {"   ", "", {}, "<refused>", "Please enter template name."},
        {"/?%*|\"<>\\", "", {}, "<refused>", "Please enter template name."},
        {"*Team|Photo?", "", {}, "Team|Photo", {}}, // only the ends are cleaned
        {"Party", "", {0}, "Party", replace},       // Yes replaces
        {"Party", "", {1}, "<refused>", replace},   // No keeps the dialog open
        {"Party", "Party", {}, "Party", {}},        // renaming to its own name
        {"Party", "Badge", {}, "<refused>", exists},
        {"party", "Badge", {}, "party", {}},        // names differ in case
        {"a/b", "", {}, "<refused>", unusable},
        {"a\\b", "", {}, "<refused>", unusable},
        {"..", "", {}, "<refused>", unusable},
        {".", "Party", {}, "<refused>", unusable},
        {".hidden", "", {}, "<refused>", unusable}, // a hidden file the gallery would never list
    };
    for (const Case &c : cases) {
        alerts.clear();
        answers = c.answers;
        EXPECT_EQ(run(c.typed, c.passed), c.result) << c.typed;
        EXPECT_EQ(alerts, c.alert.isEmpty() ? QStringList() : QStringList{c.alert}) << c.typed;
    }
    // Cancel empties the typed name and keeps the last accepted one.
    export_template_name = "Badge";
    dialog.template_name->setText("Other");
    dialog.CancelPressed();
    EXPECT_TRUE(dialog.template_name->text().isEmpty());
    EXPECT_EQ(export_template_name, "Badge");
}

namespace {

class LibraryTest : public WizardTest {
protected:
    Image_Library &library = Image_Library::defaultInstance();

    int open(const QString &mode, const std::function<void(Image_Library &)> &steps)
    {
        library.control_or_BG = mode;
        library.resourceFolder = res();
        platform::ScopedModalResponder answer([&](QDialog &d) {
            steps(static_cast<Image_Library &>(d));
            return d.result();
        });
        return library.Open_Library_Window();
    }
    QStringList shown() const
    {
        QStringList out;
        for (int i = 0; i < library.thumbnails->numberOfItemsInImageBrowser(); ++i)
            out << library.thumbnails->imageBrowser(i).imageTitle();
        return out;
    }
};

} // namespace

TEST_F(LibraryTest, CategoriesKeepTheirOwnFolderNamesAndListSorted)
{
    makePicture(res("LibraryImage/zoo animals/Lion.png"));
    makePicture(res("LibraryImage/christmas/Tree.png"));
    makePicture(res("LibraryImage/christmas/Bell.jpg"));
    makePicture(res("LibraryImage/CHRISTMAS/Star.png"));
    makePicture(res("LibraryImage/Loose.png"));

    QStringList categories, firstListing, secondListing, title;
    open("C", [&](Image_Library &d) {
        title << d.windowTitle();
        for (int i = 0; i < d.cat_cmbo_bx->count(); ++i)
            categories << d.cat_cmbo_bx->itemText(i);
        firstListing = shown();
        d.cat_cmbo_bx->setCurrentIndex(1);
        d.comboBoxSelectionDidChange();
        secondListing = shown();
        d.cancel_btn->click();
    });
    EXPECT_EQ(title, QStringList{"Image Library"});
    // Two folders whose names differ in case are two categories.
    EXPECT_EQ(categories, QStringList({"Christmas", "Christmas", "Zoo Animals"}));
    EXPECT_EQ(QStringList({firstListing.join(","), secondListing.join(",")}),
              QStringList({"Star.png", "Bell.jpg,Tree.png"}));
}

TEST_F(LibraryTest, EachOpeningStartsWithoutAPick)
{
    makePicture(res("LibraryImage/shapes/Star.png"));
    makePicture(res("Frames/Gold.png"));

    EXPECT_EQ(open("C", [](Image_Library &d) {
                  d.thumbnails->selectItem(0);
                  d.ok_btn->click();
              }),
              1);
    EXPECT_EQ(library.selected_image, res("LibraryImage/shapes/Star.png"));

    // Frame mode: the clip-art pick is not handed back.
    QString title;
    EXPECT_EQ(open("B", [&](Image_Library &d) {
                  title = d.windowTitle();
                  EXPECT_FALSE(d.cat_cmbo_bx->isVisibleTo(&d));
                  d.ok_btn->click();
                  d.thumbnails->selectItem(0);
                  d.ok_btn->click();
              }),
              1);
    EXPECT_EQ(title, "Frame Library");
    EXPECT_EQ(alerts, QStringList{"Please select image."});
    EXPECT_EQ(library.selected_image, res("Frames/Gold.png"));

    // A pick whose file has gone is refused; Cancel empties the pick.
    alerts.clear();
    EXPECT_EQ(open("B", [&](Image_Library &d) {
                  d.thumbnails->selectItem(0);
                  QFile::remove(res("Frames/Gold.png"));
                  d.ok_btn->click();
                  d.cancel_btn->click();
              }),
              0);
    EXPECT_EQ(alerts, QStringList{"Please select image."});
    EXPECT_TRUE(library.selected_image.isEmpty());
}

namespace {

class CardWizardTest : public quorvant::test::WindowTest {
protected:
    Card_Wizard &wizard = Card_Wizard::defaultInstance();
    int open(const std::function<void(Card_Wizard &)> &steps)
    {
        user = [&](QDialog &d) { steps(static_cast<Card_Wizard &>(d)); };
        return wizard.Open_Wnd();
    }
};

} // namespace

TEST_F(CardWizardTest, OkGivesTheCardTheChosenSize)
{
    wnd->applyCardSize(QSizeF(30, 30));
    EXPECT_EQ(open([](Card_Wizard &d) { d.ok_btn->click(); }), 1);
    // The landscape CR80 card, 85.598 x 54.102 mm, in points.
    const QSizeF points(85.598 * 2.834645669291, 54.102 * 2.834645669291);
    EXPECT_NEAR(outlet<TVNGraphicView>(*wnd, "_graphicView")->canvasSize().width(), 242.6, 0.05);
    EXPECT_NEAR(outlet<TVNGraphicView>(*wnd, "_graphicView")->canvasSize().height(), 153.4, 0.05);
    EXPECT_EQ(wnd->design().Front_card_Prop.Card_Size, points);
    EXPECT_EQ(wnd->design().Back_card_Prop.Card_Size, points);
    EXPECT_EQ(wnd->design().card_choice, (design_window::CardChoice{"PVC Card", 0, "H"}));

    // A typed width is no preset row.
    open([](Card_Wizard &d) {
        d.sizes->width_Stepper->setValue(90);
        d.ok_btn->click();
    });
    EXPECT_EQ(wnd->design().card_choice, (design_window::CardChoice{"PVC Card", -1, "H"}));
    EXPECT_EQ(wnd->design().Front_card_Prop.Card_Size, QSizeF(90 * 2.834645669291, points.height()));
}

TEST_F(CardWizardTest, SizesReadAsTheInspectorShowsThem)
{
    auto *inspectorWidth = outlet<QDoubleSpinBox>(*wnd, "card_width_mm");
    auto *inspectorHeight = outlet<QDoubleSpinBox>(*wnd, "card_height_mm");
    const struct {
        int category, orientation, row;
        const char *width, *height; // the size table's inches in millimetres, to two decimals
    } rows[] = {
        {0, 0, 0, "85.60 mm", "54.10 mm"},
        {0, 1, 0, "54.10 mm", "85.60 mm"},
        {1, 0, 0, "59.94 mm", "40.13 mm"},
    };
    for (const auto &row : rows) {
        QStringList shown;
        open([&](Card_Wizard &d) {
            d.sizes->Category_ComboBox->setCurrentIndex(row.category);
            d.sizes->comboBoxSelectionDidChange(d.sizes->Category_ComboBox);
            d.sizes->Preset_ComboBox->setCurrentIndex(row.orientation);
            d.sizes->comboBoxSelectionDidChange(d.sizes->Preset_ComboBox);
            d.sizes->Mark_List_New_Selection(row.row);
            shown = QStringList{d.sizes->width_Stepper->text(), d.sizes->height_Stepper->text()};
            d.ok_btn->click();
        });
        EXPECT_EQ(shown, (QStringList{row.width, row.height}));
        EXPECT_EQ((QStringList{inspectorWidth->text(), inspectorHeight->text()}), shown) << row.width;
    }
}

TEST_F(CardWizardTest, CancelPutsBackTheOutlineItFound)
{
    struct Case {
        int found, clicked;
        bool ok;
        int kept;
    };
    const Case cases[] = {{0, 2, false, 0}, {1, 2, false, 1}, {0, 2, true, 2}, {2, 1, true, 1}};
    for (const Case &c : cases) {
        design_window::Card_Shape = c.found;
        int shownOnOpening = -1;
        open([&](Card_Wizard &d) {
            shownOnOpening = d.matrix_card_shape->checkedId();
            d.matrix_card_shape->button(c.clicked)->click();
            EXPECT_EQ(design_window::Card_Shape, c.clicked);
            (c.ok ? d.ok_btn : d.cancel_btn)->click();
        });
        EXPECT_EQ(shownOnOpening, c.found);
        EXPECT_EQ(design_window::Card_Shape, c.kept);
    }
    const QSizeF before = wnd->design().Front_card_Prop.Card_Size;
    open([](Card_Wizard &d) {
        d.sizes->width_Stepper->setValue(200);
        d.reject();
    });
    EXPECT_EQ(wnd->design().Front_card_Prop.Card_Size, before);
}

TEST_F(CardWizardTest, ANewOutlineAloneChangesTheDesignAndKeepsObjectsOnTheCard)
{
    wnd->Show_RHS_Properties(nullptr);
    EXPECT_EQ(open([](Card_Wizard &d) { d.ok_btn->click(); }), 1);
    wnd->setWindowModified(false);
    // In the corner that an oval card cuts off.
    wnd->selectTool(TVNWindowController::kTextTool);
    const GraphicPtr corner = wnd->currentCanvas()->_Selected_Graphic;
    corner->setBounds(QRectF(1, 1, 10, 10));
    wnd->setWindowModified(false);
    const int steps = wnd->design().document->undoManager().count();

    open([](Card_Wizard &d) {
        d.matrix_card_shape->button(drawing::kShapeOval)->click();
        d.ok_btn->click();
    });
    EXPECT_EQ(design_window::Card_Shape, drawing::kShapeOval);
    EXPECT_TRUE(wnd->isWindowModified()) << "a design changed only in its outline could be lost unasked";
    EXPECT_NE(corner->bounds(), QRectF(1, 1, 10, 10));
    EXPECT_EQ(wnd->design().document->undoManager().count(), steps + 1);
    wnd->design().document->undoManager().undo();
    EXPECT_EQ(design_window::Card_Shape, drawing::kShapeRectangle);
    EXPECT_EQ(corner->bounds(), QRectF(1, 1, 10, 10));
}
