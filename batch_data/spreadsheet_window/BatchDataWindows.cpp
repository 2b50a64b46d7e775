#include "batch_data/spreadsheet_window/BatchDataWindows.h"

#include "batch_data/series_window/BatchWizard.h"
#include "batch_data/series_window/View_Data_Series.h"
#include "batch_data/spreadsheet_window/Data_From_Excel.h"
#include "batch_data/spreadsheet_window/Import_Excel.h"
#include "design_window/SeriesWindows.h"

namespace {

class BatchDataWindows : public design_window::SeriesWindows {
public:
    int openSeriesManager() override { return BatchWizard::defaultInstance().Open_Wnd(); }
    int viewSeries(const QString &name) override
    {
        View_Data_Series &viewer = View_Data_Series::defaultInstance();
        viewer.file_name = name;
        return viewer.Open_Wnd();
    }
    int viewSpreadsheet() override { return Data_From_Excel::defaultInstance().Open_Wnd(); }
    int buildSpreadsheetSource(const QString &path) override
    {
        Import_Excel &picker = Import_Excel::defaultInstance();
        picker.open_mode = QStringLiteral("E");
        return picker.Open_excel_Wnd(path);
    }
};

} // namespace

namespace batch_data {

design_window::SeriesWindows &designSeriesWindows()
{
    static BatchDataWindows windows;
    return windows;
}

} // namespace batch_data
