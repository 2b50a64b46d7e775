#pragma once
// The design window's way into the print set-up window.

namespace design_window {
class PrintWindows;
}

namespace output {

// The print window as the design window's Print command reaches it (for the
// program's life).
design_window::PrintWindows &designPrintWindows();

} // namespace output
