#pragma once
// Everything the design window reaches in the layers above it, as one value.
// The program builds it once at start-up (app/) and hands it to the design
// window's constructor, which installs it here; a member left empty leaves
// the commands that need it disabled.

#include "design_window/BarcodeDesigner.h"

namespace design_window {

class ImageExportWindows;
class MailWindows;
class PrintWindows;
class SeriesImportWindows;
class SeriesWindows;
class WizardWindows;

struct HubServices {
    // None owned: each must outlive its installation.
    WizardWindows *wizards = nullptr;
    SeriesWindows *series = nullptr;
    SeriesImportWindows *seriesImport = nullptr;
    PrintWindows *print = nullptr;
    ImageExportWindows *imageExport = nullptr;
    MailWindows *mail = nullptr;
    BarcodeDesignerEntry barcodeDesigner;
};

// Installs every member, empty ones included: installing a default value
// removes them all. Before the design window is made, as its commands are
// enabled from what is installed when it is built.
void installHubServices(const HubServices &services);

} // namespace design_window
