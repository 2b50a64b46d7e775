// Reading a large worksheet: 100,000 rows of 10 columns, half of them text
// (shared strings) and half numbers, written once with our own writer.

#include "batch_data/spreadsheet/SpreadsheetWriter.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 10;

const QString &workbookPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        SpreadsheetWriter::Rows rows;
        rows.reserve(kRows);
        for (int r = 0; r < kRows; ++r) {
            QStringList row;
            for (int c = 0; c < kColumns; ++c)
                row.append(c % 2 ? QString::number(r * kColumns + c) : QStringLiteral("text %1-%2").arg(r).arg(c));
            rows.append(row);
        }
        const QString file = dir.filePath(QStringLiteral("large.xlsx"));
        if (!SpreadsheetWriter::WriteWorkbook(file, rows, true))
            return QString();
        return file;
    }();
    return path;
}

void BM_ReadLargeWorkbook(benchmark::State &state)
{
    const QString path = workbookPath();
    if (path.isEmpty()) {
        state.SkipWithError("the workbook could not be written");
        return;
    }
    for (auto _ : state) {
        SpreadsheetWriter::ReadWorkbook(path, true);
        batch_data::Excel_Sheet_Number = 1;
        SpreadsheetWriter::ReadData_only_column();
        const SpreadsheetWriter::Rows rows = SpreadsheetWriter::ReadWorkbook(QString(), false);
        if (rows.size() != kRows || rows.last().size() != kColumns) {
            state.SkipWithError("wrong shape read back");
            return;
        }
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_ReadLargeWorkbook)->Unit(benchmark::kMillisecond);

} // namespace
