#pragma once
// The design window's way into the wizards and libraries: the entry points
// that build each dialog's request from the process-wide values, run it and
// hand the result back to the main window.

#include <QByteArray>

class TVNWindowController;

namespace design_window {
class WizardWindows;
}

namespace profiles_wizards {

// The wizards and libraries as the design window reaches them (for the
// program's life).
design_window::WizardWindows &designWizardWindows();
// Installs them alone for the design window; the program installs them with
// the rest of its services instead.
void installWizardWindows();

// The thumbnail of a template: the card as PNG, the front above the back
// when the design has two sides. Empty when the card has no size.
QByteArray templateThumbnail(TVNWindowController &main);

} // namespace profiles_wizards
