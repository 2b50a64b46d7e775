#pragma once
// The design window's way into the wizards and libraries: the entry points
// that build each dialog's request from the process-wide values, run it and
// hand the result back to the main window.

#include <QByteArray>

namespace design_window {
class DesignHub;
class WizardWindows;
} // namespace design_window

namespace profiles_wizards {

// The wizards and libraries as the design window reaches them (for the
// program's life).
design_window::WizardWindows &designWizardWindows();

// The thumbnail of a template: the card as PNG, the front above the back
// when the design has two sides. Empty when the card has no size.
QByteArray templateThumbnail(design_window::DesignHub &main);

} // namespace profiles_wizards
