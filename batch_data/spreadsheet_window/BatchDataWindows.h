#pragma once
// The batch data windows the design window reaches (series manager, series
// viewer, spreadsheet picker and viewer), installed as its SeriesWindows.

namespace design_window {
class SeriesWindows;
}

namespace batch_data {

// The windows as the design window reaches them (for the program's life).
design_window::SeriesWindows &designSeriesWindows();

} // namespace batch_data
