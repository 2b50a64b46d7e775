// The design window's commands into the wizards and libraries: the menu
// items and panel buttons that open them, and what is done with their
// results. The windows themselves are reached through WizardWindows.
#include "design_window/CardPanel.h"
#include "design_window/Globals.h"
#include "design_window/ImagePanel.h"
#include "design_window/TVNWindowController.h"
#include "design_window/TextPanel.h"
#include "design_window/WizardWindows.h"

#include <QAction>
#include <QPushButton>
#include <functional>

using namespace design_window;

void TVNWindowController::buildWizardCommands()
{
    const bool available = wizardWindows() != nullptr;
    auto command = [&](const char *name, const std::function<void()> &handler) {
        for (QAction *action : std::as_const(pending_actions)) {
            if (action->objectName() != QLatin1String(name))
                continue;
            pending_actions.removeOne(action);
            action->setEnabled(available);
            action->setToolTip(QString());
            connect(action, &QAction::triggered, this, handler);
            return;
        }
    };
    command("act_export_template", [this] { Export_As_Template_Clicked(); });
    command("act_library", [this] { Insert_Library_Image(); });
    command("act_grid_options", [this] { toggleGridShowing(); });
    command("act_templates", [] { wizardWindows()->openTemplateGallery(); });
    command("act_card_size_wizard", [] { wizardWindows()->openCardSizeWizard(); });
    // The start window from the menu is a new design, as File > New.
    command("act_start_window", [this] { act_new->trigger(); });
    command("act_edit_main_photo", [this] { Edit_Main_Photo_Button(); });
    command("act_profile", [this] { User_Profile_Button_Clicked(); });

    for (QPushButton *button : {textPanel->template_title_btn, textPanel->template_message_btn,
                                imagePanel->image_library, imagePanel->edit_main_photo, cardPanel->card_bg_frames})
        button->setEnabled(available);
    connect(imagePanel, &ImagePanel::mainPhotoEditRequested, this, [this] { Edit_Main_Photo_Button(); });
    connect(textPanel, &TextPanel::templateRequested, this, &TVNWindowController::Insert_Template_Button);
    connect(imagePanel, &ImagePanel::libraryRequested, this, [this] {
        if (Open_Image_Library_Window(QStringLiteral("C")) == 1)
            imagePanel->applyImagePath(lib_window_sel_file);
    });
    connect(cardPanel, &CardPanel::frameLibraryRequested, this, [this] {
        if (Open_Image_Library_Window(QStringLiteral("B")) == 1)
            setEditedSideBackground(lib_window_sel_file);
    });
}

void TVNWindowController::Insert_Template_Button(const QString &buttonTitle)
{
    const QString mode = buttonTitle == QLatin1String("Use Template Title") ? QStringLiteral("T") : QStringLiteral("M");
    if (const std::optional<QString> text = wizardWindows()->chooseTemplateText(mode))
        textPanel->insertText(*text);
}

int TVNWindowController::Open_Image_Library_Window(const QString &mode)
{
    const std::optional<QString> picked = wizardWindows()->chooseLibraryImage(mode);
    if (!picked)
        return 0;
    lib_window_sel_file = *picked;
    return 1;
}

void TVNWindowController::Insert_Library_Image()
{
    if (Open_Image_Library_Window(QStringLiteral("C")) != 1)
        return;
    design_window::Library_Selected_Image = lib_window_sel_file;
    selectTool(kImageTool);
    // The pick served this object; a later image object starts without it.
    design_window::Library_Selected_Image.clear();
}

void TVNWindowController::toggleGridShowing()
{
    cardPanel->showGrid();
    wizardWindows()->openGridOptions(cardPanel->grid_options);
}

void TVNWindowController::Export_As_Template_Clicked()
{
    wizardWindows()->exportAsTemplate();
}
