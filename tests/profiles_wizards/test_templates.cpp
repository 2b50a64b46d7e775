// Template files, the template gallery and the export of the open design as
// a template, driven through their handlers.
#include "design_window/DesignFile.h"
#include "design_window/TVNWindowController.h"
#include "design_window/WizardWindows.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/CardSizeList.h"
#include "profiles_wizards/Export_Template.h"
#include "profiles_wizards/TemplateFiles.h"
#include "profiles_wizards/Template_Wizard.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/WizardGlobals.h"
#include "profiles_wizards/WizardWindowsImpl.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>

using namespace profiles_wizards;
using quorvant::test::readTestFile;
using quorvant::test::WizardTest;
using quorvant::test::writeTestFile;

namespace {

class GalleryTest : public WizardTest {
protected:
    Template_Wizard &gallery = Template_Wizard::defaultInstance();

    QString user(const QString &name) const { return res("Templates/User/" + name); }
    // A user template: a thumbnail and a design file of `base`.
    void makeUserTemplate(const QString &base, const QString &extension = "png")
    {
        makePicture(user(base + "." + extension));
        writeTestFile(user(base + ".zelg"), "design of " + base.toUtf8());
    }
    QStringList userFiles() const { return QDir(user("")).entryList(QDir::Files, QDir::Name); }

    // Opens the gallery on the user templates, picks `base` and lets
    // `steps` act; Yes to every question unless `answers` says otherwise.
    int openUserTemplates(const QString &pickName, const std::function<void(Template_Wizard &)> &steps)
    {
        platform::ScopedModalResponder answer([&](QDialog &d) {
            auto &g = static_cast<Template_Wizard &>(d);
            g.cat_cmbo_bx->setCurrentIndex(1);
            g.comboBoxSelectionDidChange();
            if (!pickName.isEmpty())
                g.thumbnails->selectItem(g.thumbnails->indexOfPath(user(pickName)));
            steps(g);
            return d.result();
        });
        return gallery.Open_Template_Window();
    }
};

} // namespace

TEST_F(GalleryTest, OkOpensThePickedTemplatesDesignFileAndCancelEmptiesThePick)
{
    makePicture(res("Templates/Party.png"));
    makePicture(res("Templates/Badge.jpg"));
    for (const bool ok : {true, false}) {
        platform::ScopedModalResponder answer([ok](QDialog &d) {
            auto &g = static_cast<Template_Wizard &>(d);
            EXPECT_TRUE(g.Delete_temp_btn->isHidden());
            (ok ? g.ok_btn : g.cancel_btn)->click();
            return d.result();
        });
        // The first built-in thumbnail is picked; only it need exist.
        EXPECT_EQ(gallery.Open_Template_Window(), ok ? 1 : 0);
        EXPECT_EQ(Selected_Template_Path, ok ? res("Templates/Badge.zelg") : QString());
    }
}

TEST_F(GalleryTest, CopiesTakeTheNextFreeCopyName)
{
    makeUserTemplate("Party");
    // A stray design file without its thumbnail is not overwritten.
    writeTestFile(user("Party (copy 2).zelg"), "stray");
    openUserTemplates("Party.png", [](Template_Wizard &g) {
        g.Copy_temp_btn->click();
        // The copy is listed in name order and picked.
        EXPECT_EQ(g.thumbnails->imageBrowser(0).imageTitle(), "Party (copy 1).png");
        EXPECT_EQ(Selected_Template_Path, g.thumbnails->imageBrowser(0).path);
        g.thumbnails->selectItem(1);
        g.Copy_temp_btn->click();
        g.cancel_btn->click();
    });
    EXPECT_EQ(alerts, QStringList(2, "Do you want to make copy of this template?"));
    EXPECT_EQ(userFiles(), QStringList({"Party (copy 1).png", "Party (copy 1).zelg", "Party (copy 2).zelg",
                                        "Party (copy 3).png", "Party (copy 3).zelg", "Party.png", "Party.zelg"}));
    EXPECT_EQ(readTestFile(user("Party (copy 3).zelg")), "design of Party");
    EXPECT_EQ(readTestFile(user("Party (copy 2).zelg")), "stray");
    EXPECT_EQ(Create_New_File_Path("/t/Party.png"), "/t/Party (copy 1).png");
}

TEST_F(GalleryTest, RenameMovesBothFilesOnlyWhenBothCopiesSucceed)
{
    struct Case {
        const char *base;
        const char *extension;
        const char *newName;
        QStringList before; // extra files present before
        QStringList after;
        QString alert;
    };
    const Case cases[] = {
        // Its own name: nothing changes.
        {"Party", "png", "Party", {}, {"Party.png", "Party.zelg"}, {}},
        {"Badge", "jpg", "Staff", {}, {"Staff.png", "Staff.zelg"}, {}},
        // A "jpg" template given its own name keeps its design file.
        {"Badge", "jpg", "Badge", {}, {"Badge.png", "Badge.zelg"}, {}},
        // A thumbnail of the new name without its design file: the copy
        // fails and nothing is removed.
        {"Party", "png", "Staff", {"Staff.png"}, {"Party.png", "Party.zelg", "Staff.png"},
         "The template could not be renamed.\n%1 already exists."},
    };
    for (const Case &c : cases) {
        QDir(user("")).removeRecursively();
        makeUserTemplate(c.base, c.extension);
        for (const QString &extra : c.before)
            makePicture(user(extra), Qt::blue);
        const QByteArray oldImage = readTestFile(user(QString(c.base) + "." + c.extension));
        alerts.clear();
        openUserTemplates(QString(c.base) + "." + c.extension, [&](Template_Wizard &g) {
            platform::ScopedModalResponder name([&](QDialog &d) {
                auto &dialog = static_cast<Export_Template &>(d);
                EXPECT_EQ(dialog.template_passed->text(), c.base);
                dialog.template_name->setText(c.newName);
                dialog.ok_btn->click();
                return d.result();
            });
            g.Rename_temp_btn->click();
            g.cancel_btn->click();
        });
        EXPECT_EQ(userFiles(), c.after) << c.base << " to " << c.newName;
        EXPECT_EQ(alerts, c.alert.isEmpty() ? QStringList() : QStringList{c.alert.arg(user("Staff.png"))});
        if (c.alert.isEmpty()) {
            EXPECT_EQ(readTestFile(user(QString(c.newName) + ".png")), oldImage);
        }
    }
}

TEST_F(GalleryTest, BuiltInTemplatesCannotBeChangedAndUserOnesDeleted)
{
    makePicture(res("Templates/Party.png"));
    writeTestFile(res("Templates/Party.zelg"), "built in");
    makeUserTemplate("Mine");
    // The built-in pick is not carried over to the user templates.
    openUserTemplates({}, [](Template_Wizard &g) {
        g.Delete_temp_btn->click();
        g.Copy_temp_btn->click();
        g.Rename_temp_btn->click();
        g.ok_btn->click();
        g.thumbnails->selectItem(0);
        g.Delete_temp_btn->click();
        g.cancel_btn->click();
    });
    EXPECT_EQ(alerts, QStringList({"Please select template.", "Please select template.", "Please select template.",
                                   "Please select template.", "Do you want to delete this template?"}));
    EXPECT_EQ(QDir(res("Templates")).entryList(QDir::Files, QDir::Name), QStringList({"Party.png", "Party.zelg"}));
    EXPECT_TRUE(userFiles().isEmpty());
}

namespace {

class ExportTest : public quorvant::test::WindowTest {
protected:
    QString user(const QString &name) const { return res("Templates/User/" + name); }
    void exportAs(const QString &name)
    {
        WindowTest::user = [&](QDialog &d) {
            auto &dialog = static_cast<Export_Template &>(d);
            EXPECT_TRUE(dialog.template_name->text().isEmpty());
            dialog.template_name->setText(name);
            dialog.ok_btn->click();
        };
        design_window::wizardWindows()->exportAsTemplate();
    }
    // Opens the first user template from the gallery, after `steps`,
    // without saving the open design.
    void openFromGallery(const std::function<void(Template_Wizard &)> &steps)
    {
        answers = {1};
        WindowTest::user = [&](QDialog &d) {
            auto &g = static_cast<Template_Wizard &>(d);
            g.cat_cmbo_bx->setCurrentIndex(1);
            g.comboBoxSelectionDidChange();
            g.thumbnails->selectItem(0);
            steps(g);
            g.ok_btn->click();
        };
        design_window::wizardWindows()->openTemplateGallery();
    }
};

} // namespace

TEST_F(ExportTest, ExportedTemplateOpensFromTheGalleryAsTheSameDesign)
{
    wnd->selectTool(TVNWindowController::kTextTool);
    wnd->selectTool(TVNWindowController::kImageTool);
    wnd->currentCanvas()->_Selected_Graphic->control_ID = "PARTY_IMAGE_BG";
    static_cast<TVNImage *>(wnd->currentCanvas()->_Selected_Graphic.get())
        ->setFilePath(makePicture(tmp.file("photo.png"), Qt::green), {});
    wnd->design().Front_card_Prop.Card_Fill = true;
    wnd->design().Front_card_Prop.Card_Fill_Color = QColor(200, 10, 10);
    wnd->design().card_choice = design_window::CardChoice{"Paper Card", 3, "H"};
    wnd->applyCardSize(QSizeF(3.54 * 25.4, 2.13 * 25.4));
    design_window::Card_Shape = 2;
    const QByteArray exported = design_window::encodeDesign(wnd->currentDesign());

    exportAs("Staff");
    EXPECT_EQ(alerts, QStringList{"Template exported successfully."});
    const QImage thumbnail(user("Staff.png"));
    EXPECT_EQ(thumbnail.size(), QSize(531, 320)); // 3.54 x 2.13 inches at 150 dpi
    // The oval outline leaves the corners clear; the fill shows in the middle.
    EXPECT_EQ(thumbnail.pixelColor(2, 2).alpha(), 0);
    EXPECT_EQ(thumbnail.pixelColor(450, 250), QColor(200, 10, 10));

    wnd->New_Project_Setting_Reset();
    alerts.clear();
    openFromGallery([](Template_Wizard &g) {
        // The size list shows the template's card.
        EXPECT_EQ(g.sizes->choice(), (design_window::CardChoice{"Paper Card", 3, "H"}));
    });
    EXPECT_EQ(design_window::encodeDesign(wnd->currentDesign()), exported);
    EXPECT_TRUE(wnd->designFilePath().isEmpty());
    EXPECT_TRUE(alerts.isEmpty()) << "a new design without changes is replaced without asking";

    // A size the user chooses in the gallery sizes the opened template.
    openFromGallery([](Template_Wizard &g) {
        g.sizes->Category_ComboBox->setCurrentIndex(0);
        g.sizes->comboBoxSelectionDidChange(g.sizes->Category_ComboBox);
    });
    EXPECT_EQ(wnd->design().card_choice, (design_window::CardChoice{"PVC Card", 0, "H"}));
    EXPECT_NEAR(wnd->design().Front_card_Prop.Card_Size.width(), 85.598 * 2.834645669291, 1e-9);
}

TEST_F(ExportTest, ExportReplacesOnlyWithACompleteTemplateAndReportsFailure)
{
    writeTestFile(user("Staff.zelg"), "old");
    answers = {0}; // Yes, replace
    exportAs("Staff");
    EXPECT_EQ(alerts, QStringList({"Template with this name already exists, Do you want to replace the existing "
                                   "template?",
                                   "Template exported successfully."}));
    EXPECT_TRUE(design_window::loadDesignFile(user("Staff.zelg")).has_value());

    // A folder in the way of the thumbnail: nothing of the old template is
    // lost and the failure is reported.
    writeTestFile(user("Badge.zelg"), "design of Badge");
    QDir().mkpath(user("Badge.png"));
    alerts.clear();
    answers = {0};
    exportAs("Badge");
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_TRUE(alerts[1].startsWith("The template could not be exported.\n")) << alerts[1].toStdString();
    EXPECT_EQ(readTestFile(user("Badge.zelg")), "design of Badge");
}

TEST_F(ExportTest, ADesignThatCannotBeStoredReplacesNoTemplate)
{
    writeTestFile(user("Staff.zelg"), "design of Staff");
    writeTestFile(user("Staff.png"), "picture of Staff");
    wnd->design().Front_card_Prop.Card_Location = QPointF(qQNaN(), 0);
    answers = {0}; // Yes, replace
    exportAs("Staff");
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[1], "The template could not be exported.\nThe card settings cannot be stored: \"x\" is not a "
                         "finite number.");
    EXPECT_EQ(readTestFile(user("Staff.zelg")), "design of Staff");
    EXPECT_EQ(readTestFile(user("Staff.png")), "picture of Staff");
    EXPECT_EQ(QDir(user("")).entryList(QDir::Files | QDir::Hidden), QStringList({"Staff.png", "Staff.zelg"}));
}
