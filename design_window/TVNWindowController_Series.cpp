// The design window's series and spreadsheet commands: the series manager,
// the spreadsheet data source and the inspector's view button. The windows
// are reached through SeriesWindows.
#include "design_window/DataSourcePanel.h"
#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/SeriesWindows.h"
#include "design_window/TVNWindowController.h"
#include "platform/Helpers.h"

#include <QAction>
#include <QComboBox>
#include <exception>

using namespace design_window;

void TVNWindowController::buildSeriesCommands()
{
    const bool installed = seriesWindows() != nullptr;
    for (QAction *action : QList<QAction *>(pending_actions)) {
        const QString name = action->objectName();
        if (name == QLatin1String("act_series_manager"))
            connect(action, &QAction::triggered, this, &TVNWindowController::Batch_Series_Button);
        else if (name == QLatin1String("act_spreadsheet"))
            connect(action, &QAction::triggered, this, &TVNWindowController::Choose_Spreadsheet_Source);
        else
            continue;
        pending_actions.removeOne(action);
        action->setEnabled(installed);
        action->setToolTip(QString());
    }
}

void TVNWindowController::Batch_Series_Button()
{
    if (SeriesWindows *windows = seriesWindows())
        windows->openSeriesManager();
    // Series may have come or gone: the inspector lists them afresh.
    Show_RHS_Properties(m_inspected.get());
}

int TVNWindowController::Choose_Spreadsheet_Source()
{
    SeriesWindows *windows = seriesWindows();
    if (!windows)
        return 0;
    Delete_Excel_File_Temp_Folder();
    const QString path = runFilePanel(this, false, tr("Choose a Spreadsheet"), tr("Excel Workbook (*.xlsx)"));
    if (path.isEmpty())
        return 0;
    const int result = windows->buildSpreadsheetSource(path);
    if (result == 1)
        markDesignChanged();   // the design file keeps the table
    Show_RHS_Properties(m_inspected.get());
    return result;
}

void TVNWindowController::View_batch_Series_Button()
{
    try {
        const QString item = Data_source_type->currentText();
        const int source = item == QLatin1String("Manual") ? 0 : item == QLatin1String("Series") ? 1 : 2;
        viewBoundSource(source, Batch_Series->currentIndex() < 0 ? QString() : Batch_Series->currentText());
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}

void TVNWindowController::Fill_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    combo->setCurrentIndex(-1);
    combo->clear();
    fillColumnTitles(combo);
}
