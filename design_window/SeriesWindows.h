#pragma once
// The series manager, the series viewer and the spreadsheet data source's
// windows sit in a layer above the design window, which reaches them
// through this interface; the program installs the implementation at
// start-up. Without one the commands and buttons that need them are
// disabled.

#include "platform/Installed.h"

#include <QString>
#include <functional>

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

// What a View button beside a data source opens, by the source's code as
// graphics store it (0 a typed value, 1 a series, 2 a spreadsheet column):
// for a series the series viewer on the trimmed `seriesName` ("Please
// select the series." when none is chosen), for a spreadsheet column the
// spreadsheet viewer with the data source's records; nothing for a typed
// value. The View buttons of the inspector, the barcode designer and the
// profile dialogs all come here, so each opens what the source is bound to.
void viewBoundSource(int source, const QString &seriesName, const std::function<void(const QString &)> &viewSeries,
                     const std::function<void()> &viewSpreadsheet);
// The same with the installed windows; nothing without them.
void viewBoundSource(int source, const QString &seriesName);

} // namespace design_window
