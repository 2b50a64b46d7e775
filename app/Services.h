#pragma once
// The windows of the higher layers that the design window opens, built once
// for the program's run as one value that the design window installs in one
// step when it is made; removed again, in a safe order, when the run ends.

#include "design_window/HubServices.h"

#include <memory>

class ImageExport;

namespace output::mail {
class DesignMailCards;
class MailWindowsImpl;
} // namespace output::mail

namespace app {

class Services {
public:
    // Builds the services; the design window installs them when it is made.
    Services();
    const design_window::HubServices &hub() const { return m_hub; }
    // Ends a batch run still going while its window is there, then removes
    // every service; the first call does it, later ones nothing.
    void end();
    ~Services();
    Services(const Services &) = delete;
    Services &operator=(const Services &) = delete;

private:
    std::unique_ptr<ImageExport> m_imageExport;
    std::unique_ptr<output::mail::DesignMailCards> m_mailCards;
    std::unique_ptr<output::mail::MailWindowsImpl> m_mailWindows;
    design_window::HubServices m_hub;
};

} // namespace app
