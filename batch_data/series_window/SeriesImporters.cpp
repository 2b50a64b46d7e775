#include "batch_data/series_window/SeriesImporters.h"

namespace batch_data {

namespace {
SeriesImporters *g_importers = nullptr;
} // namespace

void setSeriesImporters(SeriesImporters *importers)
{
    g_importers = importers;
}

SeriesImporters *seriesImporters()
{
    return g_importers;
}

} // namespace batch_data
