#include "batch_data/import_window/SeriesImportWindowsImpl.h"

#include "batch_data/import_window/Generate_List.h"
#include "batch_data/import_window/ImportSupport.h"
#include "batch_data/import_window/Import_Wizard.h"
#include "batch_data/series_window/BatchWizard.h"
#include "batch_data/series_window/SeriesImporters.h"
#include "batch_data/spreadsheet_window/Import_Excel.h"
#include "design_window/SeriesImportWindows.h"
#include "platform/Helpers.h"

namespace batch_data {

namespace {

class DesignWindowSeriesCommands : public design_window::SeriesImportWindows {
public:
    void Import_Wizard_Button() override { Open_Import_Wizard(1, 0); }
    void Create_Series_Button() override { Open_Generate_List(1, 0); }
};

// The series manager's Import and Generate buttons.
class ManagerImporters : public SeriesImporters {
public:
    void Open_Import_Wizard(int required, int insert) override { batch_data::Open_Import_Wizard(required, insert); }
    void Open_Generate_List(int required, int insert) override { batch_data::Open_Generate_List(required, insert); }
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

design_window::SeriesImportWindows &designSeriesImportWindows()
{
    static DesignWindowSeriesCommands commands;
    return commands;
}

void installSeriesManagerImporters()
{
    static ManagerImporters importers;
    setSeriesImporters(&importers);
    // The manager is reached when a dialog hands it values, not before.
    setSeriesManagerHooks({[](const QStringList &values) {
                               // The editor's table refreshed once: a refresh per value
                               // rebuilds it each time, hours for 100,000 values.
                               BatchWizard &manager = BatchWizard::defaultInstance();
                               for (const QString &value : values) {
                                   const QString trimmed = Trim_Str(value);
                                   if (!trimmed.isEmpty())
                                       manager.ListData_value.append(trimmed);
                               }
                               manager.Update_Value_List_Count();
                           },
                           [] { BatchWizard::defaultInstance().Fill_List(); },
                           [](const QString &path) {
                               Import_Excel &picker = Import_Excel::defaultInstance();
                               picker.open_mode = QStringLiteral("D");
                               picker.Open_excel_Wnd(path);
                           }});
}

} // namespace batch_data
