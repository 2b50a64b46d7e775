#include "batch_data/import_window/SeriesImportWindowsImpl.h"

#include "batch_data/import_window/Generate_List.h"
#include "batch_data/import_window/Import_Wizard.h"
#include "design_window/SeriesImportWindows.h"

namespace batch_data {

namespace {

class DesignWindowSeriesCommands : public design_window::SeriesImportWindows {
public:
    void Import_Wizard_Button() override { Open_Import_Wizard(1, 0); }
    void Create_Series_Button() override { Open_Generate_List(1, 0); }
};

} // namespace

void Open_Import_Wizard(int file_name_required, int file_name_Insert)
{
    Import_Wizard &wizard = Import_Wizard::defaultInstance();
    wizard.file_name_required = file_name_required;
    wizard.file_name_Insert = file_name_Insert;
    wizard.Open_Wnd();
}

void Open_Generate_List(int file_name_required, int file_name_Insert)
{
    Generate_List &generator = Generate_List::defaultInstance();
    generator.file_name_required = file_name_required;
    generator.file_name_Insert = file_name_Insert;
    generator.Open_Wnd();
}

void installSeriesImportWindows()
{
    static DesignWindowSeriesCommands commands;
    design_window::setSeriesImportWindows(&commands);
}

} // namespace batch_data
