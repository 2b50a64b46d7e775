#pragma once
// The design window's way into the wizards and libraries: the entry points
// that build each dialog's request from the process-wide values, run it and
// hand the result back to the main window.

#include <QByteArray>

class TVNWindowController;

namespace profiles_wizards {

// Installs the wizards and libraries for the design window (once, at
// start-up; safe to call again).
void installWizardWindows();

// The thumbnail of a template: the card as PNG, the front above the back
// when the design has two sides. Empty when the card has no size.
QByteArray templateThumbnail(TVNWindowController &main);

} // namespace profiles_wizards
