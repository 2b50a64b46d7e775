#pragma once
// The design window's way into the print set-up window.

namespace output {

// Installs the print window for the design window's Print command (once, at
// start-up; safe to call again).
void installPrintWindows();

} // namespace output
