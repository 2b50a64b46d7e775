// Importing into a series: one column of a 100,000-row workbook (three
// columns, written once with our own writer), and a 100,000-line CSV file
// of two fields a line, each read, turned into values and written as a
// series file, as the importers do under their please-wait sheet.

#include "batch_data/import/SeriesTarget.h"
#include "batch_data/import/SheetColumns.h"
#include "batch_data/import/TextImport.h"
#include "batch_data/spreadsheet/SpreadsheetWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

const QString &workbookPath()
{
    static const QString path = [] {
        SpreadsheetWriter::Rows rows;
        rows.reserve(kRows + 1);
        rows.append({QStringLiteral("Name"), QStringLiteral("Number"), QStringLiteral("City")});
        for (int r = 0; r < kRows; ++r)
            rows.append({QStringLiteral("Person %1").arg(r), QString::number(r), QStringLiteral("City %1").arg(r % 97)});
        const QString file = folder().filePath(QStringLiteral("people.xlsx"));
        return SpreadsheetWriter::WriteWorkbook(file, rows, true) ? file : QString();
    }();
    return path;
}

const QString &csvPath()
{
    static const QString path = [] {
        QByteArray bytes;
        for (int r = 0; r < kRows; ++r)
            bytes += QStringLiteral("\"Person %1, Jr.\",%2\r\n").arg(r).arg(r).toUtf8();
        const QString file = folder().filePath(QStringLiteral("people.csv"));
        QFile out(file);
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? file : QString();
    }();
    return path;
}

void BM_XlsxColumnToSeries(benchmark::State &state)
{
    const QString path = workbookPath();
    if (path.isEmpty()) {
        state.SkipWithError("the workbook could not be written");
        return;
    }
    const batch_data::SeriesStore store(folder().filePath(QStringLiteral("DataSet")));
    for (auto _ : state) {
        auto workbook = batch_data::Workbook::open(path);
        const auto header = workbook ? workbook->header(1, 1) : std::nullopt;
        const auto rows = header ? workbook->rows(1, header->columns) : std::nullopt;
        if (!rows) {
            state.SkipWithError("the workbook could not be read");
            return;
        }
        const QStringList values = batch_data::columnValues(*rows, 0, true);
        if (values.size() != kRows || values.last() != QStringLiteral("Person 99999")
            || !batch_data::writeSeriesValues(store, QStringLiteral("Name"), values, batch_data::SeriesWrite::Replace)) {
            state.SkipWithError("wrong values or no series written");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_XlsxColumnToSeries)->Unit(benchmark::kMillisecond);

void BM_CsvToSeries(benchmark::State &state)
{
    const QString path = csvPath();
    if (path.isEmpty()) {
        state.SkipWithError("the CSV file could not be written");
        return;
    }
    const batch_data::SeriesStore store(folder().filePath(QStringLiteral("DataSet")));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the CSV file could not be read");
            return;
        }
        const auto values = batch_data::textFileValues(file.readAll(), batch_data::TextFormat::Csv);
        if (!values || values->size() != 2 * kRows || values->at(2) != QStringLiteral("Person 1, Jr.")
            || !batch_data::writeSeriesValues(store, QStringLiteral("People"), *values,
                                              batch_data::SeriesWrite::Replace)) {
            state.SkipWithError("wrong values or no series written");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CsvToSeries)->Unit(benchmark::kMillisecond);

} // namespace
