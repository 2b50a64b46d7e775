#pragma once
// The batch data windows the design window reaches (series manager, series
// viewer, spreadsheet picker and viewer), installed as its SeriesWindows.

namespace batch_data {

// Installs the windows for the design window; the program calls it once
// before the design window is made.
void installBatchDataWindows();

} // namespace batch_data
