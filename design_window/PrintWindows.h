#pragma once
// The print set-up window that the Print command opens sits in a layer above
// the design window, which reaches it through this interface; the program
// installs the implementation at start-up. Without one the command is
// disabled.

#include "platform/Installed.h"

namespace design_window {

class PrintWindows {
public:
    virtual ~PrintWindows() = default;
    // Whether the system lists a printer.
    virtual bool printerAvailable() const = 0;
    // Runs the print set-up window (Open_Print_Wnd); false when it could
    // not be set up.
    virtual bool Open_Print_Wnd() = 0;
};

// Installs the implementation (not owned: it must outlive its use; nullptr
// removes it) and gives the installed one, or null.
inline void setPrintWindows(PrintWindows *windows) { platform::Installed<PrintWindows>::set(windows); }
inline PrintWindows *printWindows() { return platform::Installed<PrintWindows>::get(); }

} // namespace design_window
