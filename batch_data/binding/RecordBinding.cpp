#include "batch_data/binding/RecordBinding.h"

#include "platform/Helpers.h"

#include <algorithm>

namespace batch_data {

bool sideUses(const std::vector<SeriesBinding> &side, int source)
{
    return std::any_of(side.begin(), side.end(),
                       [source](const SeriesBinding &b) { return b.bindable && b.data_source_type == source; });
}

QString UnusableSource::text() const
{
    if (data_source_type == kSeriesValue)
        return path.isEmpty() ? QStringLiteral("series \"%1\": %2").arg(series, reason)
                              : QStringLiteral("series \"%1\" (%2): %3").arg(series, path, reason);
    return QStringLiteral("column %1: %2").arg(column).arg(reason);
}

std::vector<UnusableSource> unusableSources(const SeriesStore &store, const std::vector<SeriesBinding> &front,
                                            const std::vector<SeriesBinding> &back, bool twoSided,
                                            const ListData &spreadsheet)
{
    std::vector<SeriesBinding> bound;
    for (const auto *side : {&front, &back}) {
        if (side == &back && !twoSided)
            break;
        for (const SeriesBinding &b : *side) {
            if (b.bindable && (b.data_source_type == kSeriesValue || b.data_source_type == kSpreadsheetValue))
                bound.push_back(b);
        }
    }
    std::vector<UnusableSource> out;
    auto known = [&](const UnusableSource &u) { return std::find(out.begin(), out.end(), u) != out.end(); };
    QStringList seen;
    for (const SeriesBinding &b : bound) {
        if (b.data_source_type != kSeriesValue || seen.contains(b.batch_list_name))
            continue;
        seen << b.batch_list_name;
        QString why;
        if (!store.readText(b.batch_list_name, &why))
            out.push_back({kSeriesValue, b.batch_list_name, store.seriesFilePath(b.batch_list_name).value_or(QString()),
                           0, why});
    }
    // The columns the table has: every record holds the same keys.
    const QVariantMap first = spreadsheet.isEmpty() ? QVariantMap() : spreadsheet.rows().first();
    int columns = 0;
    while (first.contains(ListData::columnKey(columns + 1)))
        ++columns;
    for (const SeriesBinding &b : bound) {
        if (b.data_source_type != kSpreadsheetValue)
            continue;
        const int k = b.excel_col_indx;
        UnusableSource u{kSpreadsheetValue, QString(), QString(), k, QString()};
        if (spreadsheet.isEmpty())
            u.reason = QStringLiteral("No spreadsheet rows are loaded.");
        else if (k < 0 || (k > 0 && !first.contains(ListData::columnKey(k))))
            u.reason = columns == 1 ? QStringLiteral("The spreadsheet has 1 column.")
                                    : QStringLiteral("The spreadsheet has %1 columns.").arg(columns);
        else
            continue;
        if (!known(u))
            out.push_back(u);
    }
    return out;
}

RecordCounts RecordBinding::check(const SeriesStore &store, const std::vector<SeriesBinding> &front,
                                  const std::vector<SeriesBinding> &back, bool twoSided, ListData spreadsheet)
{
    auto bound = [&](int source) { return sideUses(front, source) || (twoSided && sideUses(back, source)); };

    m_series.clear();
    m_unusable = unusableSources(store, front, back, twoSided, spreadsheet);
    SourcesInUse use;
    if (bound(kSeriesValue)) {
        Create_Dataset_binding_table(store, front, back, twoSided);
        use.series = Calculate_data_table_rows() > 0;
    }
    m_spreadsheet = bound(kSpreadsheetValue) ? std::move(spreadsheet) : ListData();
    use.spreadsheet = m_spreadsheet.count() > 0;
    return Get_total_Card_count(use);
}

RecordCounts RecordBinding::Get_total_Card_count(SourcesInUse use) const
{
    RecordCounts counts;
    counts.use = use;
    counts.seriesRows = use.series ? Calculate_data_table_rows() : 0;
    counts.spreadsheetRows = use.spreadsheet ? Calculate_Excel_table_rows() : 0;
    counts.total = std::max(counts.seriesRows, counts.spreadsheetRows);
    return counts;
}

void RecordBinding::Create_Dataset_binding_table(const SeriesStore &store, const std::vector<SeriesBinding> &front,
                                                 const std::vector<SeriesBinding> &back, bool twoSided)
{
    m_series.clear();
    auto load = [&](const std::vector<SeriesBinding> &side) {
        for (const SeriesBinding &b : side) {
            if (b.bindable && b.data_source_type == kSeriesValue)
                Add_dataset_col_in_binding_table(store, b.batch_list_name);
        }
    };
    load(front);
    if (twoSided)
        load(back);
}

void RecordBinding::Add_dataset_col_in_binding_table(const SeriesStore &store, const QString &name)
{
    // Two objects bound to one series share its records: read it once. A
    // missing file reads as no records, so its objects get "".
    if (!m_series.contains(name))
        m_series.insert(name, store.readRecords(name));
}

int RecordBinding::Calculate_data_table_rows() const
{
    int rows = 0;
    for (const QStringList &records : m_series)
        rows = std::max(rows, int(records.size()));
    return rows;
}

QString RecordBinding::Get_sel_row_col_value_of_dataset(int n, const QString &name) const
{
    const auto it = m_series.constFind(name);
    if (it == m_series.constEnd() || n < 0 || n >= it->size())
        return QString();
    return it->at(n);
}

QString RecordBinding::Get_sel_row_col_value_of_Excel(int n, int k) const
{
    return m_spreadsheet.value(n, k);
}

std::optional<QString> RecordBinding::valueAt(const SeriesBinding &binding, int n, SourcesInUse use) const
{
    if (!binding.bindable)
        return std::nullopt;
    if (binding.data_source_type == kSeriesValue && use.series)
        return Trim_Str(Get_sel_row_col_value_of_dataset(n, binding.batch_list_name));
    if (binding.data_source_type == kSpreadsheetValue && use.spreadsheet)
        return Trim_Str(Get_sel_row_col_value_of_Excel(n, binding.excel_col_indx));
    return std::nullopt;
}

} // namespace batch_data
