#include "profiles_wizards/WizardWindowsImpl.h"

#include "design_window/DesignFile.h"
#include "design_window/FrameBrowser.h"
#include "design_window/Globals.h"
#include "design_window/SingleInstance.h"
#include "design_window/DesignHub.h"
#include "design_window/WizardWindows.h"
#include "drawing/TVNRenderingView.h"
#include "platform/Helpers.h"
#include "profiles_wizards/Card_Wizard.h"
#include "profiles_wizards/Export_Template.h"
#include "profiles_wizards/Grid_Wizard.h"
#include "profiles_wizards/Image_Library.h"
#include "profiles_wizards/Insert_Template.h"
#include "profiles_wizards/Invitation_Wizard.h"
#include "profiles_wizards/TemplateFiles.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/Template_Wizard.h"
#include "profiles_wizards/UserProfileForm.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QBuffer>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace profiles_wizards {

namespace {

// Thumbnails are drawn at this resolution: a CR80 card gives 505 x 319 pixels.
constexpr double kThumbnailDpi = 150;

QImage renderSide(design_window::DesignHub &main, int side)
{
    const GraphicList &graphics = side == 1 ? main.Get_Back_Controls_Array() : main.Get_Front_Controls_Array();
    return TVNRenderingView::image_From_Card_Graphics(graphics, TVNRenderingView::cardFace(side))
        .toBitmap(kThumbnailDpi);
}

// The design window's frame browser over the shared thumbnail list.
class FrameBrowserPanel : public FrameBrowser {
public:
    FrameBrowserPanel() : m_list(new ThumbnailList(kFrameBrowserZoom))
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_list);
        connect(m_list, &ThumbnailList::picked, this, &FrameBrowser::imageBrowserSelectionDidChange);
    }
    bool listFolder(const QString &folder) override
    {
        return m_list->listFolder(folder, [](const QString &fileName) { return fileName; });
    }
    int numberOfItemsInImageBrowser() const override { return m_list->numberOfItemsInImageBrowser(); }
    MyImageObject imageBrowser(int index) const override { return m_list->imageBrowser(index); }
    bool imageBrowser(QList<int> indexes, int toIndex) override { return m_list->imageBrowser(indexes, toIndex); }
    void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID) override
    {
        m_list->addImageWithPath(path, imageName, image_UID);
    }
    void selectItem(int index) override { m_list->selectItem(index); }

private:
    static constexpr double kFrameBrowserZoom = 0.4;
    ThumbnailList *m_list;
};

class Windows : public design_window::WizardWindows {
public:
    std::optional<QString> chooseTemplateText(const QString &title_or_msg) override
    {
        Insert_Template &picker = Insert_Template::defaultInstance();
        picker.title_or_msg = title_or_msg;
        picker.resourceFolder = design_window::Resource_Path;
        if (picker.Open_Template_Dialog() != 1)
            return std::nullopt;
        return Template_Msg_Val;
    }

    std::optional<QString> chooseLibraryImage(const QString &control_or_BG) override
    {
        Image_Library &library = Image_Library::defaultInstance();
        library.control_or_BG = control_or_BG;
        library.resourceFolder = design_window::Resource_Path;
        if (library.Open_Library_Window() != 1)
            return std::nullopt;
        return library.selected_image;
    }

    void openGridOptions(QWidget *options) override
    {
        if (Grid_Wizard *dialog = Grid_Wizard::defaultInstance())
            dialog->Open_Wnd(options);
    }

    void exportAsTemplate() override
    {
        design_window::DesignHub *main = design_window::Main_App_wnd;
        if (!main)
            return;
        Export_Template &dialog = design_window::singleInstance<Export_Template>();
        dialog.userFolder = userTemplatesFolder();
        dialog.template_name->clear();
        dialog.template_passed->clear();
        if (dialog.Open_Wnd() != 1)
            return;
        QString error;
        QDir().mkpath(userTemplatesFolder());
        // A design that cannot be stored, or would not open again, replaces
        // no template.
        const QByteArray design = design_window::designFileBytes(main->currentDesign(), &error);
        const QByteArray png = design.isEmpty() ? QByteArray() : templateThumbnail(*main);
        if (!design.isEmpty() && png.isEmpty())
            error = QStringLiteral("The card has no size.");
        if (design.isEmpty() || png.isEmpty()
            || !writeTemplate(QDir(userTemplatesFolder()).filePath(export_template_name), design, png, &error)) {
            Show_NSLog_Message(QStringLiteral("Template export failed: %1").arg(error));
            Show_MessageBox(QObject::tr("The template could not be exported.\n%1").arg(error));
            return;
        }
        Show_MessageBox(QObject::tr("Template exported successfully."));
    }

    void openCardSizeWizard() override
    {
        Card_Wizard &wizard = Card_Wizard::defaultInstance();
        wizard.Open_Wnd();
        placeConfirmedProfile(wizard.profile_confirmed);
    }

    int openUserProfile(bool load, const QString &side) override
    {
        UserProfileForm &dialog = side.isEmpty() ? static_cast<UserProfileForm &>(User_profile::defaultInstance())
                                                 : Show_User_Profile::defaultInstance();
        dialog.load_side = side;
        // Cancel changes nothing: a workbook browsed meanwhile goes again,
        // or the card's profile objects would read its columns by their
        // old numbers.
        design_window::DesignHub *main = design_window::Main_App_wnd;
        const std::optional<OpenDesign> before = main ? std::optional(OpenDesign::current(*main)) : std::nullopt;
        const int result = dialog.Open_Wnd(load);
        if (result != 1 && before)
            before->restore(*main);
        return result;
    }

    int runStartWindow() override
    {
        design_window::DesignHub *main = design_window::Main_App_wnd;
        if (!main)
            return 0;
        Invitation_Wizard &wizard = Invitation_Wizard::defaultInstance();
        wizard.resourceFolder = design_window::Resource_Path;
        wizard.setBackgroundPattern(main->wizardPattern());
        wizard.openDesign = [main] { return main->Open_Log_File(); };
        const int result = wizard.Open_Wnd();
        design_window::Start_Card_Option = wizard.startOption;
        if (result != 1 || wizard.startOption != QLatin1String("W"))
            return result;
        const Invitation_Wizard::Finish &finish = wizard.finished;
        design_window::Card_Shape = 0;
        main->design().card_choice.sizeIndex = -1;
        main->applyCardSize(finish.cardSizeMm);
        design_window::Invite_Answers = finish.answers.trimmed();
        design_window::IMG_Adjustments = finish.photo;
        main->Update_frame_Main_Photo_And_Path(design_window::Invite_Answers.photo, true);
        return result;
    }

    int editMainPhoto() override
    {
        design_window::DesignHub *main = design_window::Main_App_wnd;
        if (!main)
            return 0;
        Invitation_Wizard &wizard = Invitation_Wizard::defaultInstance();
        wizard.resourceFolder = design_window::Resource_Path;
        wizard.setBackgroundPattern(main->wizardPattern());
        wizard.openDesign = nullptr;
        if (wizard.Open_Wnd_For_Edit_Photo(design_window::Invite_Answers.photo,
                                           design_window::IMG_Adjustments, !main->design().main_photo_ds_batch)
            != 1)
            return 0;
        design_window::Card_Shape = 0;
        design_window::IMG_Adjustments = wizard.finished.photo;
        main->Update_frame_Main_Photo_And_Path(wizard.finished.answers.photo, true);
        return 1;
    }

    FrameBrowser *newFrameBrowser() override { return new FrameBrowserPanel; }

    void openTemplateGallery() override
    {
        design_window::DesignHub *main = design_window::Main_App_wnd;
        Template_Wizard &gallery = Template_Wizard::defaultInstance();
        if (!main)
            return;
        // The open design as the gallery found it: the gallery's profile
        // dialog keeps its profile and workbook in the open design, meant
        // for the card the gallery ends with.
        const OpenDesign own = OpenDesign::current(*main);
        const int chosen = gallery.Open_Template_Window();
        // A profile confirmed in the gallery is meant for the card it ends
        // with: the template when one was opened, else the open design.
        const design_window::User_Profile_Class front = main->design().Front_user_profile;
        const design_window::User_Profile_Class back = main->design().Back_user_profile;
        // So is the spreadsheet its fields were bound to, which opening the
        // template would replace with the template's own (mostly none).
        const SpreadsheetSource sheet = SpreadsheetSource::current();
        const auto placeProfile = [&] {
            if (!gallery.profile_confirmed)
                return;
            main->design().Front_user_profile = front;
            main->design().Back_user_profile = back;
            QString lost;
            if (bindsColumn(front) || bindsColumn(back)) {
                // Objects of the template bound to columns of its own
                // spreadsheet read the profile's from now on.
                lost = main->changedColumnsMessage(design_window::currentSpreadsheetTable().titles,
                                                   sheet.table.titles, isProfileFieldGraphic);
                sheet.restore();
            }
            design_window::Fill_User_Profile = true;
            placeConfirmedProfile(true);
            if (!lost.isEmpty())
                Show_MessageBox(lost);
        };
        if (chosen != 1)
            return placeProfile();
        // The template replaces the open design, after asking to save the
        // design's own changes when it has any: it is asked about and saved
        // as it was, not with what the profile brought for the template.
        own.restore(*main);
        // Cancel at the save question (or a template that cannot be read)
        // calls the gallery off: the open design stays as it was, without
        // the profile meant for the template.
        if (main->Read_and_load_design_Log(Selected_Template_Path, QStringLiteral("T")) != 1)
            return;
        if (const std::optional<Template_Wizard::CardSize> size = gallery.chosenCardSize()) {
            main->design().card_choice = size->choice;
            main->applyCardSize(size->mm);
            main->Show_RHS_Properties(nullptr);
        }
        placeProfile();
    }

private:
    // The design's spreadsheet data source as the design file keeps it.
    struct SpreadsheetSource {
        design_window::SpreadsheetTable table;
        QString path;
        bool inUse = false;
        static SpreadsheetSource current()
        {
            return {design_window::currentSpreadsheetTable(), design_window::Excel_Source_Path,
                    design_window::Excel_Binding_Use};
        }
        void restore() const
        {
            design_window::restoreSpreadsheetTable(table);
            design_window::Excel_Source_Path = path;
            design_window::Excel_Binding_Use = inUse;
        }
    };
    // The open design's profiles, spreadsheet data source and changed mark,
    // put back when what a dialog brought it is called off.
    struct OpenDesign {
        SpreadsheetSource sheet;
        design_window::User_Profile_Class front;
        design_window::User_Profile_Class back;
        bool changed = false;
        static OpenDesign current(design_window::DesignHub &main)
        {
            return {SpreadsheetSource::current(), main.design().Front_user_profile,
                    main.design().Back_user_profile, main.mainWidget()->isWindowModified()};
        }
        void restore(design_window::DesignHub &main) const
        {
            sheet.restore();
            main.design().Front_user_profile = front;
            main.design().Back_user_profile = back;
            // Its bound objects show its own first row again, not the one
            // of a workbook the profile dialog chose.
            main.Select_first_row_value_for_design(false);
            main.mainWidget()->setWindowModified(changed);
        }
    };
    static bool bindsColumn(const design_window::User_Profile_Class &profile)
    {
        return std::any_of(profile.fields.begin(), profile.fields.end(),
                           [](const design_window::ProfileFieldValue &f) { return f.xl; });
    }
    // The names of the fields the user chose the back alone for: the back
    // record holds them and the front record does not.
    static QStringList backOnlyFields(const design_window::DesignDocument &design)
    {
        QStringList names;
        for (design_window::ProfileField f : design_window::kProfileFields) {
            const bool onBack = !design.Back_user_profile.field(f).value.isEmpty();
            if (onBack && design.Front_user_profile.field(f).value.isEmpty())
                names << UserProfileForm::fieldName(f);
        }
        return names;
    }
    // The profile of both sides, confirmed in a wizard, placed on the card.
    // Fields meant for the back alone give a one-sided card its back, in
    // the same undo step, and the user is told; fields meant for both sides
    // go on the sides the card has.
    static void placeConfirmedProfile(bool confirmed)
    {
        design_window::DesignHub *main = design_window::Main_App_wnd;
        if (!confirmed || !main)
            return;
        const QStringList forTheBack = design_window::CARD_SIDE_STR == QLatin1String("2")
                                           ? QStringList()
                                           : backOnlyFields(main->design());
        main->placeProfileAsOneStep([&] {
            if (!forTheBack.isEmpty())
                main->chooseCardSides(true);
            main->Fill_User_profile_Details();
        });
        main->markDesignChanged();
        main->Refresh_Canvas();
        if (!forTheBack.isEmpty())
            Show_MessageBox(QObject::tr("The card now has two sides, for the profile fields placed on its back: %1")
                                .arg(forTheBack.join(QLatin1String(", "))));
    }
};

} // namespace

design_window::WizardWindows &designWizardWindows()
{
    static Windows windows;
    return windows;
}

QByteArray templateThumbnail(design_window::DesignHub &main)
{
    const QImage front = renderSide(main, 0);
    if (front.isNull())
        return {};
    QImage card = front;
    if (design_window::CARD_SIDE_STR == QLatin1String("2")) {
        const QImage back = renderSide(main, 1);
        card = QImage(std::max(front.width(), back.width()), front.height() + back.height(), QImage::Format_ARGB32);
        card.fill(Qt::transparent);
        QPainter painter(&card);
        painter.drawImage(0, 0, front);
        painter.drawImage(0, front.height(), back);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    card.save(&buffer, "PNG");
    return bytes;
}

} // namespace profiles_wizards
