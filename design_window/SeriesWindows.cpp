#include "design_window/SeriesWindows.h"

#include "platform/Helpers.h"

namespace design_window {

void viewBoundSource(int source, const QString &seriesName, const std::function<void(const QString &)> &viewSeries,
                     const std::function<void()> &viewSpreadsheet)
{
    constexpr int kSeries = 1;
    constexpr int kSpreadsheetColumn = 2;
    if (source == kSeries) {
        const QString name = Trim_Str(seriesName);
        if (name.isEmpty()) {
            Show_MessageBox(QStringLiteral("Please select the series."));
            return;
        }
        if (viewSeries)
            viewSeries(name);
    } else if (source == kSpreadsheetColumn && viewSpreadsheet) {
        viewSpreadsheet();
    }
}

void viewBoundSource(int source, const QString &seriesName)
{
    SeriesWindows *windows = seriesWindows();
    if (!windows)
        return;
    viewBoundSource(
        source, seriesName, [windows](const QString &name) { windows->viewSeries(name); },
        [windows] { windows->viewSpreadsheet(); });
}

} // namespace design_window
