#include "design_window/SeriesWindows.h"

namespace design_window {

namespace {
SeriesWindows *installed = nullptr;
} // namespace

void setSeriesWindows(SeriesWindows *windows)
{
    installed = windows;
}

SeriesWindows *seriesWindows()
{
    return installed;
}

} // namespace design_window
