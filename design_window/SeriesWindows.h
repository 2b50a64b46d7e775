#pragma once
// The series manager, the series viewer and the spreadsheet data source's
// windows sit in a layer above the design window, which reaches them
// through this interface; the program installs the implementation at
// start-up. Without one the commands and buttons that need them are
// disabled.

#include "platform/Installed.h"

#include <QString>

namespace design_window {

class SeriesWindows {
public:
    virtual ~SeriesWindows() = default;
    // The Batch Processing Series manager; its modal result.
    virtual int openSeriesManager() = 0;
    // The series viewer on the series `name`.
    virtual int viewSeries(const QString &name) = 0;
    // The spreadsheet data source's viewer; its modal result.
    virtual int viewSpreadsheet() = 0;
    // The column picker over the workbook at `path`, building the
    // spreadsheet data source from the ticked columns (open mode "E"). 1
    // when it ended with OK, 0 after Cancel.
    virtual int buildSpreadsheetSource(const QString &path) = 0;
};

// Installs the implementation (not owned: it must outlive its use; nullptr
// removes it) and gives the installed one, or null.
inline void setSeriesWindows(SeriesWindows *windows) { platform::Installed<SeriesWindows>::set(windows); }
inline SeriesWindows *seriesWindows() { return platform::Installed<SeriesWindows>::get(); }

} // namespace design_window
