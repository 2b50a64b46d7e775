#pragma once
// The openers of the import wizard and the generator: the mode fields set,
// then the dialog run; and their installation for the design window's Data
// menu (a named series file, no list to refresh).

namespace design_window {
class SeriesImportWindows;
}

namespace batch_data {

// file_name_required 1: the dialog writes a named series file; any other
// value: it appends its values to the series manager's editor.
// file_name_Insert 1: the series manager refills its list afterwards.
void Open_Import_Wizard(int file_name_required, int file_name_Insert);
void Open_Generate_List(int file_name_required, int file_name_Insert);

// The design window's series commands (for the program's life).
design_window::SeriesImportWindows &designSeriesImportWindows();
// Installs the series manager's importers and points the dialogs at the
// manager.
void installSeriesManagerImporters();

} // namespace batch_data
