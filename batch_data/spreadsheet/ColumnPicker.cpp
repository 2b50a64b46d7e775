#include "batch_data/spreadsheet/ColumnPicker.h"

#include "platform/Helpers.h"

namespace batch_data {

QList<SheetColumn> sheetColumns(const QStringList &header)
{
    QList<SheetColumn> columns;
    for (int c = 0; c < header.size(); ++c) {
        const QString title = Trim_Str(header.at(c));
        if (!title.isEmpty())
            columns.append({title, c});
    }
    return columns;
}

QList<QStringList> pickColumns(const SheetRows &rows, const QList<int> &columns, bool containsHeader)
{
    QList<QStringList> records;
    for (qsizetype r = containsHeader ? 1 : 0; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        if (row.isEmpty())
            continue;
        QStringList record;
        for (int c : columns)
            record.append(Trim_Str(row.value(c)));
        records.append(record);
    }
    return records;
}

QStringList pickedValues(const SheetRows &rows, const QList<int> &columns, bool containsHeader)
{
    QStringList values;
    for (const QStringList &record : pickColumns(rows, columns, containsHeader)) {
        for (const QString &value : record) {
            if (!value.isEmpty())
                values.append(value);
        }
    }
    return values;
}

} // namespace batch_data
