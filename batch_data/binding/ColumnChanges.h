#pragma once
// What another workbook does to the objects bound to spreadsheet columns.
// An object stores its column by position (excel_col_indx, from 1), so a
// workbook whose columns lie otherwise gives it another column's values, or
// none: the user is shown which objects to bind again. Plain values; any
// thread.

#include "batch_data/series/SeriesStore.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace batch_data {

// One object whose column the new table lacks or titles otherwise.
struct ColumnChange {
    // The object's position in the bindings given.
    int object = 0;
    // Its column, from 1 (excel_col_indx).
    int column = 0;
    // The column's title in the old table; empty when it had no such column.
    QString oldTitle;
    // Its title in the new table; none when the new table lacks the column.
    std::optional<QString> newTitle;
    bool operator==(const ColumnChange &) const = default;
};

// The objects of `objects` bound to a spreadsheet column whose title is not
// the same in `newTitles` as in `oldTitles` (the tables' column titles, the
// title of column k at k - 1), in the order given. The record number
// (column 0) is in every table.
std::vector<ColumnChange> changedColumns(const std::vector<SeriesBinding> &objects, const QStringList &oldTitles,
                                         const QStringList &newTitles);

} // namespace batch_data
