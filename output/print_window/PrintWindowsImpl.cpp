#include "output/print_window/PrintWindowsImpl.h"

#include "design_window/PrintWindows.h"
#include "output/print_window/Print_Wnd.h"

#include <QPrinterInfo>

namespace output {

namespace {

class PrintWindowsImpl : public design_window::PrintWindows {
public:
    bool printerAvailable() const override { return !QPrinterInfo::availablePrinterNames().isEmpty(); }
    bool Open_Print_Wnd() override { return Print_Wnd::defaultInstance()->Open_Print_Wnd(); }
};

} // namespace

design_window::PrintWindows &designPrintWindows()
{
    static PrintWindowsImpl windows;
    return windows;
}

} // namespace output
