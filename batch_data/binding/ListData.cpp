#include "batch_data/binding/ListData.h"

#include "platform/Helpers.h"

namespace batch_data {

bool ListData::Create_List_By_Array(const QStringList &values, int n)
{
    if (n < 0 || values.size() < n)
        return false;
    QVariantMap record;
    record.insert(columnKey(0), QString::number(count() + 1));
    for (int k = 1; k <= n; ++k)
        record.insert(columnKey(k), Trim_Str(values.at(k - 1)));
    m_rows.append(record);
    return true;
}

QString ListData::value(int n, int k) const
{
    if (n < 0 || n >= count())
        return QString();
    return m_rows.at(n).value(columnKey(k)).toString();
}

QString ListData::columnKey(int k)
{
    return k == 0 ? QStringLiteral("Extension") : QStringLiteral("Column%1").arg(k);
}

} // namespace batch_data
