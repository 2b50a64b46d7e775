// The design window's series and spreadsheet commands: the series manager,
// the spreadsheet data source and the inspector's view button. The windows
// are reached through SeriesWindows.
#include "batch_data/binding/ColumnChanges.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/RecordFill.h"
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
    if (!seriesWindows())
        return 0;
    Delete_Excel_File_Temp_Folder();
    const QString path = runFilePanel(this, false, tr("Choose a Spreadsheet"), tr("Excel Workbook (*.xlsx)"));
    if (path.isEmpty())
        return 0;
    return replaceSpreadsheetSource(path, {});
}

int TVNWindowController::replaceSpreadsheetSource(const QString &path,
                                                  const std::function<bool(const TVNGraphic &)> &skip)
{
    SeriesWindows *windows = seriesWindows();
    if (!windows)
        return 0;
    const QStringList before = currentSpreadsheetTable().titles;
    const int result = windows->buildSpreadsheetSource(path);
    if (result == 1) {
        markDesignChanged();   // the design file keeps the table
        // Named as the user last saw them, before the new values go in.
        const QString changed = changedColumnsMessage(before, currentSpreadsheetTable().titles, skip);
        // The canvas shows the new workbook's first row now, not the old
        // one's until the next run.
        Select_first_row_value_for_design(false);
        if (!changed.isEmpty())
            Show_MessageBox(changed);
    }
    Show_RHS_Properties(m_inspected.get());
    return result;
}

QString TVNWindowController::changedColumnsMessage(const QStringList &before, const QStringList &after,
                                                  const std::function<bool(const TVNGraphic &)> &skip) const
{
    QStringList lines;
    const auto quoted = [](const QString &title) { return QStringLiteral("\"%1\"").arg(title); };
    for (int side : {0, 1}) {
        if (side == 1 && CARD_SIDE_STR != QLatin1String("2"))
            break;
        const GraphicList &list = side == 0 ? document->graphics : document->graphics_back;
        for (const batch_data::ColumnChange &change : batch_data::changedColumns(bindingsOf(list), before, after)) {
            if (skip && skip(*list.at(size_t(change.object))))
                continue;
            const QString object = describeObject(*list.at(size_t(change.object)),
                                                  side == 0 ? QStringLiteral("front") : QStringLiteral("back"),
                                                  size_t(change.object));
            const QString column = change.oldTitle.isEmpty()
                ? tr("column %1").arg(change.column)
                : tr("column %1 %2").arg(change.column).arg(quoted(change.oldTitle));
            lines.append(change.newTitle ? tr("%1: %2 is now %3.").arg(object, column, quoted(*change.newTitle))
                                         : tr("%1: %2 is not in this spreadsheet.").arg(object, column));
        }
    }
    if (lines.isEmpty())
        return QString();
    return tr("The new spreadsheet's columns differ where these objects are bound; please bind them again:\n%1")
        .arg(lines.join(QLatin1Char('\n')));
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
