#pragma once
// What the series manager does to series files, as functions over the
// series store: saving the editor's values (new, replaced or renamed) and
// exporting them as a one-column workbook or a text file. Every write is
// atomic; a failure is false with the reason, and leaves the files as they
// were. No alerts, no widgets; any thread.

#include "batch_data/series/SeriesStore.h"

#include <QString>
#include <QStringList>

namespace batch_data {

// The values as a series keeps them: each trimmed, empty ones left out.
QStringList storedSeriesValues(const QStringList &values);

// Writes `values` (as storedSeriesValues) as the series `name`. When
// `renamedFrom` names another series, that series' file is removed once the
// new one is written, so a failed write loses nothing.
bool saveSeriesValues(const SeriesStore &store, const QString &name, const QStringList &values,
                      const QString &renamedFrom, QString *error = nullptr);

enum class SeriesExportFormat { Xlsx, Txt };

// The chosen path with its extension (if any) replaced by the format's
// ("xlsx" or "txt").
QString seriesExportPath(const QString &chosen, SeriesExportFormat format);

// Xlsx: a one-sheet workbook with "Batch Value" in A1 and the values below
// it in column A. Txt: every value followed by a line feed, UTF-8. Values
// are written as given.
bool exportSeriesValues(const QString &path, SeriesExportFormat format, const QStringList &values,
                        QString *error = nullptr);

} // namespace batch_data
