#pragma once
// Where imported and generated values go: a series file of the series
// folder, named through the store's checked name-to-path function and
// written all at once, so a failed write leaves the old series as it was.
// Any thread (the store keeps no state).

#include "batch_data/series/SeriesStore.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace batch_data {

// The series name the user typed (or a spreadsheet header gave), with the
// reserved characters taken off its ends; none, with the message for the
// user, when nothing is left or it is no file name of the series folder.
std::optional<QString> checkedSeriesName(const QString &typed, QString *message = nullptr);

enum class SeriesWrite {
    Replace, // the values become the whole series (a new one, or in place of the old)
    Append,  // the values follow the series' lines (a new series when none)
};

// Writes the values, each followed by a line feed (a break inside a value
// becomes a space). False with the reason when the name is refused or the
// file cannot be written; the series on disk is then unchanged.
bool writeSeriesValues(const SeriesStore &store, const QString &name, const QStringList &values,
                       SeriesWrite mode, QString *error = nullptr);

} // namespace batch_data
