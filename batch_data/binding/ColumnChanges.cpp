#include "batch_data/binding/ColumnChanges.h"

#include "batch_data/binding/RecordBinding.h"

namespace batch_data {

std::vector<ColumnChange> changedColumns(const std::vector<SeriesBinding> &objects, const QStringList &oldTitles,
                                         const QStringList &newTitles)
{
    std::vector<ColumnChange> changes;
    for (size_t i = 0; i < objects.size(); ++i) {
        const SeriesBinding &b = objects[i];
        const int k = b.excel_col_indx;
        if (!b.bindable || b.data_source_type != kSpreadsheetValue || k < 1)
            continue;
        ColumnChange change{int(i), k, oldTitles.value(k - 1), std::nullopt};
        if (k <= newTitles.size())
            change.newTitle = newTitles.at(k - 1);
        if (change.newTitle != change.oldTitle || k > oldTitles.size())
            changes.push_back(change);
    }
    return changes;
}

} // namespace batch_data
