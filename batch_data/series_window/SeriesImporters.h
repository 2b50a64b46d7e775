#pragma once
// The import wizard and the series generator sit in a layer above the series
// manager, which reaches them through this interface; the program installs
// the implementation at start-up. Without one the manager's Import and
// Generate buttons are disabled.

#include "platform/Installed.h"

namespace batch_data {

class SeriesImporters {
public:
    virtual ~SeriesImporters() = default;
    // file_name_required 1: the opened dialog writes a named series file; any other value:
    // it appends its values to the manager's editor (BatchWizard::Create_Value_List).
    // file_name_Insert 1: the manager refills its list of series afterwards (BatchWizard::Fill_List).
    virtual void Open_Import_Wizard(int file_name_required, int file_name_Insert) = 0;
    virtual void Open_Generate_List(int file_name_required, int file_name_Insert) = 0;
};

// Installs the implementation (not owned: it must outlive its use; nullptr
// removes it) and gives the installed one, or null.
inline void setSeriesImporters(SeriesImporters *importers) { platform::Installed<SeriesImporters>::set(importers); }
inline SeriesImporters *seriesImporters() { return platform::Installed<SeriesImporters>::get(); }

} // namespace batch_data
