// Profile fields and the card's sides: a field the user puts on the back of
// a one-sided card gives the card its back, so that it is seen, edited,
// saved and exported there; fields meant for both sides go on the sides the
// card has; the inspector shows what the edited side's canvas has selected.
#include "design_window/DesignFile.h"
#include "design_window/ExportFileBox.h"
#include "design_window/ResourceFolder.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "output/export_window/ExportWindow.h"
#include "output/export_window/ImageExport.h"
#include "profiles_wizards/Card_Wizard.h"
#include "profiles_wizards/Template_Wizard.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/UserProfileForm.h"
#include "tests/design_window/Outlets.h"
#include "tests/support/ExportWait.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUndoStack>

using namespace design_window;
using profiles_wizards::UserProfileForm;
using F = ProfileField;
using quorvant::test::outlet;

namespace {

constexpr double kDpi = 150;
// The series the unique number is bound to: one value per card, of lengths
// that tell the cards apart at a glance.
const QStringList kUniques{"U-1", "U-22 WWW", "U-333 MMMMM"};
const QString kBackMessage = "The card now has two sides, for the profile fields placed on its back: Unique No.";

enum SideItem { Front = 0, Back = 1, Both = 2 };

class ProfileSides : public quorvant::test::WindowTest {
protected:
    std::unique_ptr<ImageExport> exporter = std::make_unique<ImageExport>();

    HubServices services() const override
    {
        HubServices services = WindowTest::services();
        services.imageExport = exporter.get();
        return services;
    }
    // The user: picks `panelPick` in every file panel, both sides as PNG
    // at kDpi for an export, and leaves the rest to `act`; the profile
    // dialog (counted in profileForms) fills `fill` and ends with OK.
    QString panelPick;
    std::function<void(QDialog &)> act;
    std::function<void(User_profile &)> fill;
    int profileForms = 0;
    QStringList resultBoxes;

    void SetUp() override
    {
        WindowTest::SetUp();
        Check_Path_And_Create_Files();
        quorvant::test::writeTestFile(res("DataSet/a series.txt"), (kUniques.join('\n') + '\n').toUtf8());
        user = [this](QDialog &d) {
            if (auto *panel = qobject_cast<QFileDialog *>(&d)) {
                panel->selectFile(panelPick);
                panel->setResult(1);
            } else if (auto *form = dynamic_cast<User_profile *>(&d)) {
                ++profileForms;
                fill(*form);
                form->ok_btn->click();
            } else if (auto *options = dynamic_cast<ExportWindow *>(&d)) {
                options->fileFormatPopup->setCurrentText("PNG");
                options->saveDPIText->setCurrentText(QString::number(kDpi));
                options->findChild<QRadioButton *>("export_side_BOTH")->click();
                options->buttons->button(QDialogButtonBox::Ok)->click();
            } else if (auto *box = dynamic_cast<Export_File_Box *>(&d)) {
                resultBoxes << box->_open_log_message->text();
                box->_open_log_chk->setChecked(false);
                box->setResult(1);
            } else {
                act(d);
            }
        };
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        exporter.reset();
    }

    // The profile: the unique number from the series on the side `side`;
    // with `photo`, a photo on the front as well.
    void uniqueFromTheSeriesOn(int side, const QString &photo = {})
    {
        fill = [side, photo](User_profile &form) {
            form.row(F::unique).ds_combo->setCurrentIndex(1);
            QComboBox *list = form.row(F::unique).ser_col_cb;
            list->setCurrentIndex(list->findText("a series"));
            ASSERT_EQ(list->currentText(), "a series");
            form.side_combos[std::size_t(F::unique)]->setCurrentIndex(side);
            if (!photo.isEmpty()) {
                form.Set_User_Image(photo);
                form.side_combos[std::size_t(F::image)]->setCurrentIndex(Front);
            }
        };
    }
    // The gallery's user: the profile, then the one-sided "Thank You"
    // template (or Cancel, keeping the open design).
    void galleryWithProfile(bool chooseTemplate = true)
    {
        act = [chooseTemplate, this](QDialog &d) {
            if (auto *gallery = dynamic_cast<Template_Wizard *>(&d)) {
                gallery->user_profile_btn->click();
                if (chooseTemplate)
                    gallery->thumbnails->selectItem(gallery->thumbnails->indexOfPath(res("Templates/Thank You.png")));
                (chooseTemplate ? gallery->ok_btn : gallery->cancel_btn)->click();
            } else if (auto *wizard = dynamic_cast<Card_Wizard *>(&d)) {
                wizard->user_profile_btn->click();
                wizard->cancel_btn->click();
            }
        };
    }

    GraphicPtr graphic(int side, const QString &id) const
    {
        for (const GraphicPtr &g : side ? wnd->Get_Back_Controls_Array() : wnd->Get_Front_Controls_Array())
            if (g->control_ID == id)
                return g;
        return nullptr;
    }
    // What the edited side's canvas shows selected: one object, or none.
    TVNGraphic *canvasSelection() const
    {
        const GraphicList &selection = wnd->currentCanvas()->selectedGraphics();
        return selection.size() == 1 ? selection.front().get() : nullptr;
    }
    void waitForExport() { quorvant::test::waitForExport(*exporter); }
};

} // namespace

TEST_F(ProfileSides, ABackFieldGivesTheOneSidedTemplateItsBackWhichIsSavedAndExportedPerRecord)
{
    const QString photo = makePicture(tmp.file("photo.png"), Qt::blue, QSize(60, 80));
    uniqueFromTheSeriesOn(Back, photo);
    galleryWithProfile();
    QUndoStack &undo = wnd->design().document->undoManager();
    outlet<QAction>(*wnd, "act_templates")->trigger();
    ASSERT_EQ(profileForms, 1);
    EXPECT_EQ(alerts, QStringList{kBackMessage});

    // The card has its back, and the side selector reaches it.
    EXPECT_EQ(CARD_SIDE_STR, "2");
    EXPECT_TRUE(outlet<QComboBox>(*wnd, "side_switch")->isEnabled());
    const GraphicPtr unique = graphic(1, "Fup_UniqueNo");
    const GraphicPtr picture = graphic(0, "Fup_Photo");
    ASSERT_TRUE(unique && picture);
    EXPECT_EQ(graphic(0, "Fup_UniqueNo"), nullptr);
    EXPECT_TRUE(unique->ctrl_is_visible);
    EXPECT_EQ(std::tuple(unique->data_source_type, unique->batch_list_name), std::tuple(1, QString("a series")));
    // The inspector shows what the front's canvas has selected: the photo,
    // not the field placed on the back.
    EXPECT_EQ(Card_Front_Or_Back, 0);
    EXPECT_EQ(canvasSelection(), picture.get());
    EXPECT_EQ(wnd->inspectedGraphic(), picture.get());
    EXPECT_EQ(outlet<QLabel>(*wnd, "inspector_title")->text(), "Image");

    // One step: Undo takes the back and the field away together.
    EXPECT_EQ(undo.undoText(), "User Profile");
    outlet<QAction>(*wnd, "act_undo")->trigger();
    EXPECT_EQ(CARD_SIDE_STR, "1");
    EXPECT_EQ(graphic(1, "Fup_UniqueNo"), nullptr);
    outlet<QAction>(*wnd, "act_redo")->trigger();
    EXPECT_EQ(CARD_SIDE_STR, "2");
    EXPECT_EQ(graphic(1, "Fup_UniqueNo"), unique);

    // Saved and opened again: a two-sided card with the field on its back,
    // where the user edits it.
    const QString saved = tmp.file("thanks.zelg");
    ASSERT_TRUE(wnd->Save_project_file(saved, false));
    const std::optional<Design> file = loadDesignFile(saved);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->cardSides, "2");
    const auto onBack = std::find_if(file->back.begin(), file->back.end(),
                                     [](const GraphicPtr &g) { return g->control_ID == "Fup_UniqueNo"; });
    ASSERT_NE(onBack, file->back.end());
    EXPECT_EQ((*onBack)->batch_list_name, "a series");
    wnd->New_Project_Setting_Reset();
    ASSERT_EQ(wnd->Read_and_load_design_Log(saved, "L"), 1);
    emit outlet<QComboBox>(*wnd, "side_switch")->activated(1);
    EXPECT_EQ(Card_Front_Or_Back, 1);
    ASSERT_NE(graphic(1, "Fup_UniqueNo"), nullptr);

    // Exported, each card's back carries its record's value.
    const QString exportFolder = tmp.file("out");
    QDir().mkpath(exportFolder);
    panelPick = exportFolder;
    alerts.clear();
    outlet<QAction>(*wnd, "act_export")->trigger();
    waitForExport();
    EXPECT_EQ(resultBoxes, QStringList{"Frame has been exported successfully."});
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('\n').toStdString();
    EXPECT_EQ(QDir(exportFolder + "/Quorvant").entryList(QDir::Files, QDir::Name),
              (QStringList{"Card_1.PNG", "Card_1_Back.PNG", "Card_2.PNG", "Card_2_Back.PNG", "Card_3.PNG",
                           "Card_3_Back.PNG"}));
    // The field's box as the back draws each record by itself: the exported
    // back whose box matches it (a pixel's shift aside) is that record's.
    const GraphicPtr field = graphic(1, "Fup_UniqueNo");
    const QRect box = QRectF(field->bounds().topLeft() * kDpi / 72, field->bounds().size() * kDpi / 72).toAlignedRect();
    QList<QImage> backs;
    for (int n = 0; n < 3; ++n)
        backs << QImage(QStringLiteral("%1/Quorvant/Card_%2_Back.PNG").arg(exportFolder).arg(n + 1));
    for (int n = 0; n < 3; ++n) {
        ASSERT_FALSE(backs[n].isNull()) << n;
        wnd->Check_Series_Or_Excel_Use_or_not();
        wnd->Set_data_table_value_to_card(n, "B", false);
        EXPECT_EQ(static_cast<TVNText &>(*field).contentsString(), kUniques[n]);
        const QImage drawn = wnd->renderedSide(1).toBitmap(kDpi).copy(box);
        for (int m = 0; m < 3; ++m) {
            const double differs = quorvant::test::differingPixelShareNear(backs[m], box, drawn, 40);
            if (m == n)
                EXPECT_LT(differs, 0.005) << "back " << m + 1;
            else
                EXPECT_GT(differs, 0.03) << "back " << m + 1 << " has the value of record " << n + 1;
        }
    }
    wnd->Select_first_row_value_for_design(false);
}

TEST_F(ProfileSides, EachWizardPutsTheFieldOnlyOnSidesTheCardHasOrGivesItTheBackAskedFor)
{
    enum Route { GalleryTemplate, GalleryOpenDesign, CardWizard };
    const struct {
        const char *name;
        Route route;
        QString sidesBefore;
        int side;
        // What follows: the card's sides, where the field is, the message.
        QString sides;
        bool onFront, onBack;
        QStringList told;
    } rows[] = {
        {"gallery, back of the template", GalleryTemplate, "1", Back, "2", false, true, {kBackMessage}},
        {"gallery, both sides of the template", GalleryTemplate, "1", Both, "1", true, false, {}},
        {"gallery, front of the template", GalleryTemplate, "1", Front, "1", true, false, {}},
        {"gallery cancelled, back of the open card", GalleryOpenDesign, "1", Back, "2", false, true, {kBackMessage}},
        {"gallery cancelled, both sides of the open card", GalleryOpenDesign, "1", Both, "1", true, false, {}},
        {"card size wizard, back", CardWizard, "1", Back, "2", false, true, {kBackMessage}},
        {"card size wizard, both sides", CardWizard, "1", Both, "1", true, false, {}},
        {"card size wizard, both sides of a two-sided card", CardWizard, "2", Both, "2", true, true, {}},
        {"card size wizard, back of a two-sided card", CardWizard, "2", Back, "2", false, true, {}},
    };
    for (const auto &row : rows) {
        wnd->New_Project_Setting_Reset();
        wnd->chooseCardSides(row.sidesBefore == "2");
        wnd->setWindowModified(false);
        alerts.clear();
        profileForms = 0;
        uniqueFromTheSeriesOn(row.side);
        galleryWithProfile(row.route == GalleryTemplate);
        outlet<QAction>(*wnd, row.route == CardWizard ? "act_card_size_wizard" : "act_templates")->trigger();
        ASSERT_EQ(profileForms, 1) << row.name;
        EXPECT_EQ(CARD_SIDE_STR, row.sides) << row.name;
        EXPECT_EQ(outlet<QComboBox>(*wnd, "side_switch")->isEnabled(), row.sides == "2") << row.name;
        EXPECT_EQ(graphic(0, "Fup_UniqueNo") != nullptr, row.onFront) << row.name;
        EXPECT_EQ(graphic(1, "Fup_UniqueNo") != nullptr, row.onBack) << row.name;
        EXPECT_EQ(alerts, row.told) << row.name;
        EXPECT_EQ(wnd->inspectedGraphic(), canvasSelection()) << row.name;
    }
}

TEST_F(ProfileSides, TheBackKeptByAOneSidedCardFollowsTheProfileAndGetsNoNewField)
{
    // Two sides, the unique number from the series on both; then one side.
    wnd->chooseCardSides(true);
    uniqueFromTheSeriesOn(Both);
    galleryWithProfile(false);
    outlet<QAction>(*wnd, "act_card_size_wizard")->trigger();
    const GraphicPtr back = graphic(1, "Fup_UniqueNo");
    ASSERT_NE(back, nullptr);
    wnd->chooseCardSides(false);

    const struct {
        const char *name;
        int side;
        // What the back shows once the card has two sides again.
        bool shown;
        QString text;
    } rows[] = {
        {"typed, both sides", Both, true, "TYPED"},
        {"typed, front only", Front, false, {}},
    };
    for (const auto &row : rows) {
        fill = [&row](User_profile &form) {
            form.row(F::unique).ds_combo->setCurrentIndex(0);
            form.row(F::unique).value->setText("TYPED");
            form.side_combos[std::size_t(F::unique)]->setCurrentIndex(row.side);
            form.row(F::Name).value->setText("A Name");
            form.side_combos[std::size_t(F::Name)]->setCurrentIndex(Both);
        };
        outlet<QAction>(*wnd, "act_card_size_wizard")->trigger();
        EXPECT_EQ(CARD_SIDE_STR, "1") << row.name;
        EXPECT_TRUE(alerts.isEmpty()) << row.name << ": " << alerts.join('\n').toStdString();
        EXPECT_NE(graphic(0, "Fup_Name"), nullptr) << row.name;
        EXPECT_EQ(graphic(1, "Fup_Name"), nullptr) << row.name << ": a new field on the back nobody sees";
        wnd->chooseCardSides(true);
        EXPECT_EQ(graphic(1, "Fup_UniqueNo"), back) << row.name;
        EXPECT_EQ(back->ctrl_is_visible, row.shown) << row.name;
        if (row.shown) {
            EXPECT_EQ(static_cast<TVNText &>(*back).contentsString(), row.text) << row.name;
            EXPECT_EQ(back->data_source_type, kProfileTyped) << row.name << ": still bound to the series";
        }
        wnd->chooseCardSides(false);
    }
}
