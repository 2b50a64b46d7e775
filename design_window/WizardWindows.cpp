#include "design_window/WizardWindows.h"

namespace design_window {

namespace {
WizardWindows *installed = nullptr;
}

void setWizardWindows(WizardWindows *windows)
{
    installed = windows;
}

WizardWindows *wizardWindows()
{
    return installed;
}

} // namespace design_window
