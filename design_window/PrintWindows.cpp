#include "design_window/PrintWindows.h"

namespace design_window {

namespace {
PrintWindows *installed = nullptr;
}

void setPrintWindows(PrintWindows *windows)
{
    installed = windows;
}

PrintWindows *printWindows()
{
    return installed;
}

} // namespace design_window
