#pragma once
// The batch data windows the design window reaches (series manager, series
// viewer, spreadsheet picker and viewer), installed as its SeriesWindows.

namespace design_window {
class SeriesWindows;
}

namespace batch_data {

// The windows as the design window reaches them (for the program's life).
design_window::SeriesWindows &designSeriesWindows();
// Installs them alone for the design window; the program installs them with
// the rest of its services instead.
void installBatchDataWindows();

} // namespace batch_data
