#include "batch_data/series/SeriesEdits.h"

#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "platform/Files.h"
#include "platform/Helpers.h"

#include <QFileInfo>

namespace batch_data {

QStringList storedSeriesValues(const QStringList &values)
{
    QStringList stored;
    for (const QString &value : values) {
        const QString trimmed = Trim_Str(value);
        if (!trimmed.isEmpty())
            stored.append(trimmed);
    }
    return stored;
}

bool saveSeriesValues(const SeriesStore &store, const QString &name, const QStringList &values,
                      const QString &renamedFrom, QString *error)
{
    if (!store.writeSeries(name, storedSeriesValues(values), error))
        return false;
    if (renamedFrom.isEmpty() || renamedFrom == name)
        return true;
    const auto oldPath = store.seriesFilePath(renamedFrom);
    const auto newPath = store.seriesFilePath(name);
    // The old name may only differ in its extension's case: same file.
    if (oldPath && newPath && QFileInfo(*oldPath) != QFileInfo(*newPath) && QFileInfo(*oldPath).isFile()
        && !store.removeSeries(renamedFrom)) {
        if (error)
            *error = QStringLiteral("The series %1 was saved, but %2 could not be removed.").arg(name, renamedFrom);
        return false;
    }
    return true;
}

QString seriesExportPath(const QString &chosen, SeriesExportFormat format)
{
    const QString extension = format == SeriesExportFormat::Xlsx ? QStringLiteral("xlsx") : QStringLiteral("txt");
    const QFileInfo info(chosen);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? chosen : chosen.left(chosen.size() - suffix.size() - 1);
    return base + QLatin1Char('.') + extension;
}

bool exportSeriesValues(const QString &path, SeriesExportFormat format, const QStringList &values, QString *error)
{
    if (format == SeriesExportFormat::Xlsx) {
        SpreadsheetWriter::Rows rows{{QStringLiteral("Batch Value")}};
        for (const QString &value : values)
            rows.append(QStringList{value});
        if (SpreadsheetWriter::WriteWorkbook(path, rows, false))
            return true;
        if (error)
            *error = QStringLiteral("The workbook %1 could not be written.").arg(path);
        return false;
    }
    return platform::writeFileAtomically(path, seriesFileBytes(values), error);
}

} // namespace batch_data
