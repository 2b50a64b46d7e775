#include "batch_data/import/SheetColumns.h"

#include "platform/Helpers.h"

#include <algorithm>

namespace batch_data {

QList<ColumnRecord> columnRecords(const QStringList &header)
{
    QList<ColumnRecord> records;
    for (int i = 0; i < header.size(); ++i) {
        QString shown = Trim_Str(header.at(i));
        QString name = header.at(i);
        if (shown.isEmpty())
            shown = name = QStringLiteral("Untitled Column %1").arg(i + 1);
        records.append({false, shown, name, i});
    }
    return records;
}

QStringList columnValues(const SheetRows &rows, int column, bool skipHeader)
{
    QStringList values;
    values.reserve(rows.size());
    for (qsizetype r = skipHeader ? 1 : 0; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        values.append(column < row.size() ? Trim_Str(row.at(column)) : QString());
    }
    return values;
}

QStringList allInOneValues(const SheetRows &rows, QList<int> columns, bool skipHeader)
{
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    QStringList values;
    values.reserve(rows.size() * columns.size());
    for (qsizetype r = skipHeader ? 1 : 0; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        for (int column : std::as_const(columns))
            values.append(column < row.size() ? Trim_Str(row.at(column)) : QString());
    }
    return values;
}

ClashRun::ClashRun(AskClash ask, bool offerApplyToAll)
    : m_ask(std::move(ask))
    , m_offerApplyToAll(offerApplyToAll)
{
}

bool ClashRun::mayWrite(const QString &name, bool exists, bool inUse)
{
    if (!exists)
        return true;
    if (inUse) {
        if (!m_inUseToldForAll) {
            const ClashAnswer answer = m_ask(
                {QStringLiteral("Message :"),
                 name + QStringLiteral("\nBatch processing Series name is already in use with another sequence. "
                                       "Please change Batch Processing Series Name."),
                 m_offerApplyToAll});
            m_inUseToldForAll = answer.applyToAll && m_offerApplyToAll;
        }
        return false;
    }
    if (m_replaceForAll)
        return *m_replaceForAll;
    const ClashAnswer answer = m_ask({QStringLiteral("Batch Processing Series already exists :"),
                                      name + QStringLiteral("\nBatch Processing Series already exists. Do you want "
                                                            "to replace it?"),
                                      m_offerApplyToAll});
    if (answer.applyToAll && m_offerApplyToAll)
        m_replaceForAll = answer.yes;
    return answer.yes;
}

} // namespace batch_data
