#pragma once
// The series import wizard and the series generator sit in a layer above
// the design window, which reaches them through this interface; the program
// installs the implementation at start-up. Without one the commands are
// disabled.

#include "platform/Installed.h"

namespace design_window {

class SeriesImportWindows {
public:
    virtual ~SeriesImportWindows() = default;
    // The import wizard, writing a named series file.
    virtual void Import_Wizard_Button() = 0;
    // The series generator, writing a named series file.
    virtual void Create_Series_Button() = 0;
};

// Installs the implementation (not owned: it must outlive its use; nullptr
// removes it) and gives the installed one, or null.
inline void setSeriesImportWindows(SeriesImportWindows *windows) { platform::Installed<SeriesImportWindows>::set(windows); }
inline SeriesImportWindows *seriesImportWindows() { return platform::Installed<SeriesImportWindows>::get(); }

} // namespace design_window
