// Appending values to the series manager's editor one at a time, as the
// importers and the spreadsheet picker do: the cost of one append must not
// grow with the values already there.
#include "batch_data/series_window/BatchWizard.h"
#include "bench/BenchSupport.h"

#include <QApplication>
#include <QLabel>

namespace {

void BM_AppendValuesToTheSeriesEditor(benchmark::State &state)
{
    const int values = int(state.range(0));
    BatchWizard &manager = BatchWizard::defaultInstance();
    for (auto _ : state) {
        manager.AddNew_Btn_Clicked();
        for (int i = 0; i < values; ++i)
            manager.Create_Value_List(QString::number(i));
    }
    if (manager.batch_value_count->text() != QStringLiteral("Total Rows : %1").arg(values))
        state.SkipWithError("wrong count of values");
    state.SetItemsProcessed(state.iterations() * values);
}
BENCHMARK(BM_AppendValuesToTheSeriesEditor)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runUnder<QApplication>(argc, argv);
}
