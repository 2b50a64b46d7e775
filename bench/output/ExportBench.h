#pragma once
// What the export benchmark programs share: an application without a
// display, and the memory the process holds.

#include <QApplication>
#include <memory>

namespace bench {

// A QApplication on the offscreen platform unless another is asked for.
std::unique_ptr<QApplication> application(int &argc, char **argv);

// Megabytes of the process's memory: its peak ("VmHWM:") or now ("VmRSS:"),
// from /proc/self/status; -1 when it cannot be read.
double residentMegabytes(const char *field);

} // namespace bench
