#pragma once
// What the series generator and the importers share: their please-wait
// sheet, the series folder they write to, and the hooks into the series
// manager (its value editor, its list of series, and its spreadsheet column
// picker), which the program installs where the manager lives.

#include "batch_data/series/SeriesStore.h"
#include "design_window/PleaseWaitSheet.h"

#include <QDialog>
#include <functional>

class QWidget;

namespace batch_data {

// The series manager's services that the importers call. Any of them may be
// empty (no manager): the call then does nothing.
struct SeriesManagerHooks {
    // Appends the values to the manager's value editor, each trimmed there
    // and an empty one dropped; the editor's table is refreshed once for
    // them all.
    std::function<void(const QStringList &)> appendValues;
    // Rebuilds the manager's list of series.
    std::function<void()> Fill_List;
    // Opens the spreadsheet column picker on a workbook in the mode that
    // appends the chosen columns' values to the value editor.
    std::function<void(const QString &path)> openColumnPickerForEditor;
};

void setSeriesManagerHooks(SeriesManagerHooks hooks);
const SeriesManagerHooks &seriesManagerHooks();

// The series folder the dialogs write to (Data_Folder_Path, read now).
SeriesStore importSeriesStore();

// Whether a design's object takes its values from the series (asked of the
// main window; false without one).
bool seriesInUseByDesign(const QString &name);

using design_window::runUnderPleaseWait;

// Asks before a series is replaced: true when there is no such series or
// the user said Yes.
bool mayReplaceSeries(const SeriesStore &store, const QString &name);

// "Error in file accessing." for a series that could not be written, with
// its file and the reason (a read-only folder, a full disk, a series in
// another encoding that values would be appended to).
QString seriesWriteFailure(const SeriesStore &store, const QString &name, const QString &reason);

} // namespace batch_data
