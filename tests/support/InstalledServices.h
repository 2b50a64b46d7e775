#pragma once
// Installs the design window's services for a test the way the program does
// at start-up (one HubServices value, before the window is made), and
// removes them all again when the test ends, even after a failed assertion.

#include "design_window/HubServices.h"

namespace quorvant::test {

struct InstalledServices {
    explicit InstalledServices(const design_window::HubServices &services)
    {
        design_window::installHubServices(services);
    }
    ~InstalledServices() { design_window::installHubServices({}); }
    InstalledServices(const InstalledServices &) = delete;
    InstalledServices &operator=(const InstalledServices &) = delete;
};

} // namespace quorvant::test
