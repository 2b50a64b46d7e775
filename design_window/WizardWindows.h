#pragma once
// The wizards and libraries that the design window opens (title and message
// picker, clip-art and frame library, grid options, template name dialog,
// card size wizard, template gallery, start window and invitation wizard,
// frame browser). They sit in a layer above the design window, which
// reaches them through this interface; the program installs the
// implementation at start-up. Without one the commands that need them are
// disabled, and the start window and the frame browser are left out.

#include "platform/Installed.h"

#include <QString>
#include <optional>

class FrameBrowser;
class QWidget;

namespace design_window {

class WizardWindows {
public:
    virtual ~WizardWindows() = default;
    // The title ("T") or message (any other mode) the user chose; none after
    // Cancel.
    virtual std::optional<QString> chooseTemplateText(const QString &title_or_msg) = 0;
    // The clip art ("C") or frame (any other mode) the user picked; none
    // after Cancel.
    virtual std::optional<QString> chooseLibraryImage(const QString &control_or_BG) = 0;
    // Runs the grid options dialog over `options`, the main window's grid
    // controls.
    virtual void openGridOptions(QWidget *options) = 0;
    // Asks for a template name and stores the open design as that user
    // template, with a message either way.
    virtual void exportAsTemplate() = 0;
    // The card size wizard; its OK sizes the open design's card.
    virtual void openCardSizeWizard() = 0;
    // The template gallery; its OK opens the chosen template as an untitled
    // design.
    virtual void openTemplateGallery() = 0;
    // The start window. 1 when the user built an invitation (its answers,
    // the photo's adjustments and the card's size and outline applied to
    // the design window; Start_Card_Option "W") or opened a design ("L");
    // 0 when the window was closed or left (Start_Card_Option "").
    virtual int runStartWindow() = 0;
    // The start window's photo page over the design's main photo. 1 after
    // Finish, with the photo's path and adjustments stored, the main photo
    // made afresh from its file and the outline a rectangle; 0 after Close,
    // with nothing changed.
    virtual int editMainPhoto() = 0;
    // The profile dialog: the side profile dialog for side "F" or "B"
    // (its form loaded from the side's profile graphics with `load`), the
    // profile dialog of both sides for no side. 1 after OK, with the form
    // stored into the profile records; 0 after Cancel.
    virtual int openUserProfile(bool load, const QString &side) = 0;
    // A new, empty frame browser for the design window to place.
    virtual FrameBrowser *newFrameBrowser() = 0;
};

// Installs the implementation (not owned: it must outlive its use; nullptr
// removes it) and gives the installed one, or null.
inline void setWizardWindows(WizardWindows *windows) { platform::Installed<WizardWindows>::set(windows); }
inline WizardWindows *wizardWindows() { return platform::Installed<WizardWindows>::get(); }

} // namespace design_window
