// The services value reaches every way the design window has into the
// windows above it: each member opens its own commands, and installing an
// empty value closes them all again.
#include "WindowFixture.h"

#include "design_window/DesignHub.h"
#include "design_window/FrameBrowser.h"
#include "design_window/HubServices.h"
#include "design_window/ImageExportWindows.h"
#include "design_window/MailWindows.h"
#include "design_window/PrintWindows.h"
#include "design_window/SeriesImportWindows.h"
#include "design_window/SeriesWindows.h"
#include "design_window/WizardWindows.h"
#include "tests/support/InstalledServices.h"

#include <QAction>
#include <QComboBox>

using quorvant::test::InstalledServices;

namespace {

class EmptyFrameBrowser : public FrameBrowser {
public:
    bool listFolder(const QString &) override { return true; }
    int numberOfItemsInImageBrowser() const override { return 0; }
    MyImageObject imageBrowser(int) const override { return {}; }
    bool imageBrowser(QList<int>, int) override { return true; }
    void addImageWithPath(const QString &, const QString &, const QString &) override {}
    void selectItem(int) override {}
};

class FakeWindows : public design_window::WizardWindows,
                    public design_window::SeriesWindows,
                    public design_window::SeriesImportWindows,
                    public design_window::PrintWindows,
                    public design_window::ImageExportWindows,
                    public design_window::MailWindows {
public:
    QStringList calls;

    std::optional<QString> chooseTemplateText(const QString &) override { return std::nullopt; }
    std::optional<QString> chooseLibraryImage(const QString &) override { return std::nullopt; }
    void openGridOptions(QWidget *) override {}
    void exportAsTemplate() override {}
    void openCardSizeWizard() override { calls << "card size wizard"; }
    void openTemplateGallery() override {}
    int runStartWindow() override { return 0; }
    int editMainPhoto() override { return 0; }
    int openUserProfile(bool, const QString &) override { return 0; }
    FrameBrowser *newFrameBrowser() override { return new EmptyFrameBrowser; }

    int openSeriesManager() override { return 0; }
    int viewSeries(const QString &) override { return 0; }
    int viewSpreadsheet() override { return 0; }
    int buildSpreadsheetSource(const QString &) override { return 0; }

    void Import_Wizard_Button() override { calls << "import wizard"; }
    void Create_Series_Button() override {}

    bool printerAvailable() const override { return true; }
    bool Open_Print_Wnd() override { return true; }

    void Export_Button(design_window::DesignHub &) override {}

    void openMailWindow() override {}
    void openMailSettings() override { calls << "mail settings"; }
};

const char *const kCommands[] = {"act_templates", "act_card_size_wizard", "act_series_manager",
                                 "act_spreadsheet", "act_import_series",  "act_generate_series",
                                 "act_print",       "act_export",          "act_mail",
                                 "act_mail_settings"};

bool enabled(TVNWindowController &window, const char *name)
{
    auto *action = window.findChild<QAction *>(QLatin1String(name));
    return action && action->isEnabled();
}

} // namespace

TEST_F(DesignWindow, HubServicesOpenEveryCommandAndAnEmptyValueClosesThem)
{
    FakeWindows fake;
    design_window::HubServices services;
    services.wizards = &fake;
    services.series = &fake;
    services.seriesImport = &fake;
    services.print = &fake;
    services.imageExport = &fake;
    services.mail = &fake;
    TVNGraphic *designed = nullptr;
    services.barcodeDesigner = [&designed](TVNGraphic *graphic) { return designed = graphic; };
    {
        InstalledServices installed(services);
        wnd = std::make_unique<TVNWindowController>();
        for (const char *name : kCommands)
            EXPECT_TRUE(enabled(*wnd, name)) << name;
        EXPECT_TRUE(design_window::barcodeDesignerInstalled());

        // Each command reaches the member it belongs to.
        for (const char *name : {"act_card_size_wizard", "act_import_series", "act_mail_settings"})
            wnd->findChild<QAction *>(QLatin1String(name))->trigger();
        EXPECT_EQ(fake.calls, (QStringList{"card size wizard", "import wizard", "mail settings"}));
        wnd.reset();
    }

    EXPECT_FALSE(design_window::barcodeDesignerInstalled());
    EXPECT_EQ(design_window::openBarcodeDesigner(nullptr), nullptr);
    wnd = std::make_unique<TVNWindowController>();
    for (const char *name : kCommands)
        EXPECT_FALSE(enabled(*wnd, name)) << name;
}

// Another window holds the main window only as Main_App_wnd: what it does to
// the design through it is what the user sees, the save panel's accessory it
// borrows is the window's own, and once the window is gone there is none.
TEST_F(DesignWindow, OtherWindowsChangeTheDesignThroughMainAppWnd)
{
    design_window::DesignHub *hub = design_window::Main_App_wnd;
    ASSERT_EQ(hub, static_cast<design_window::DesignHub *>(wnd.get()));
    EXPECT_EQ(TVNWindowController::defaultInstance(), wnd.get());

    const QColor fill(200, 30, 30);
    hub->design().Front_card_Prop.Card_Fill = true;
    hub->design().Front_card_Prop.Card_Fill_Color = fill;
    hub->markDesignChanged();
    hub->Refresh_Canvas();
    const QImage picture = canvasPicture();
    EXPECT_EQ(picture.pixelColor(picture.rect().center()), fill);
    EXPECT_TRUE(wnd->hasUnsavedChanges());

    const design_window::DesignHub::SaveTypeAccessory lent = hub->saveTypeAccessory();
    ASSERT_TRUE(lent.view && lent.types);
    EXPECT_TRUE(lent.view->isAncestorOf(lent.types));
    EXPECT_EQ(lent.view->window(), hub->mainWidget());

    wnd.reset();
    EXPECT_EQ(design_window::Main_App_wnd, nullptr);
    EXPECT_EQ(TVNWindowController::defaultInstance(), nullptr);
}

// The program hands its services to the window's constructor: they are in
// place before the commands are built from them.
TEST_F(DesignWindow, ServicesHandedToTheWindowOpenTheirCommands)
{
    FakeWindows fake;
    const InstalledServices removedAfterwards{design_window::HubServices{}};
    design_window::HubServices services;
    services.mail = &fake;
    wnd = std::make_unique<TVNWindowController>(services);
    EXPECT_TRUE(enabled(*wnd, "act_mail_settings"));
    EXPECT_FALSE(enabled(*wnd, "act_print"));
    wnd->findChild<QAction *>("act_mail_settings")->trigger();
    EXPECT_EQ(fake.calls, QStringList{"mail settings"});
    wnd.reset();
}
