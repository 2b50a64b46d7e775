#pragma once
// The spreadsheet data source's table (`ListData`): the records of the loaded
// worksheet in worksheet order, each a dictionary with the record's number
// from 1 under "Extension" (decimal text, counted in this table, not the
// worksheet's row number) and the cell texts of the chosen columns under
// "Column1", "Column2", ... in the order the columns were chosen. A plain
// value that the data-source dialog fills, the design file keeps and the
// record binding reads; any thread.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace batch_data {

class ListData {
public:
    ListData() = default;
    // Records as the design file keeps them; cells may be text or numbers.
    explicit ListData(QList<QVariantMap> rows) : m_rows(std::move(rows)) {}

    const QList<QVariantMap> &rows() const { return m_rows; }
    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    void clear() { m_rows.clear(); }

    // Appends one record of the first `n` values, each trimmed, numbered
    // after the last record. With fewer than `n` values nothing is appended
    // and the answer is false.
    bool Create_List_By_Array(const QStringList &values, int n);

    // The text of record `n` (from 0) under column `k`: 0 the record number,
    // k from 1 the k-th chosen column. "" when the record or the key is
    // missing.
    QString value(int n, int k) const;

    // The key of column `k`: "Extension" for 0, "Column%d" from 1.
    static QString columnKey(int k);

    bool operator==(const ListData &) const = default;

private:
    QList<QVariantMap> m_rows;
};

} // namespace batch_data
