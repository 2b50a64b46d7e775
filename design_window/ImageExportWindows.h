#pragma once
// The image export's windows (the export options, the progress sheet and
// the run behind them) sit in a layer above the design window, which
// reaches them through this interface; the program installs the
// implementation at start-up. Without one the Export command is disabled.

#include "platform/Installed.h"

namespace design_window {

class DesignHub;

class ImageExportWindows {
public:
    virtual ~ImageExportWindows() = default;
    // The Export command over `window`'s design.
    virtual void Export_Button(DesignHub &window) = 0;
};

// Installs the implementation (not owned: it must outlive its use; nullptr
// removes it) and gives the installed one, or null.
inline void setImageExportWindows(ImageExportWindows *windows) { platform::Installed<ImageExportWindows>::set(windows); }
inline ImageExportWindows *imageExportWindows() { return platform::Installed<ImageExportWindows>::get(); }

} // namespace design_window
