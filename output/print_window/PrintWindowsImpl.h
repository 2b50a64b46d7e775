#pragma once
// The design window's way into the print set-up window.

namespace design_window {
class PrintWindows;
}

namespace output {

// The print window as the design window's Print command reaches it (for the
// program's life).
design_window::PrintWindows &designPrintWindows();
// Installs it alone for the design window; the program installs it with the
// rest of its services instead.
void installPrintWindows();

} // namespace output
