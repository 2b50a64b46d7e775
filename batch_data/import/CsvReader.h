#pragma once
// Comma-separated values as RFC 4180 describes them, with the leniency real
// files need: fields separated by ",", records by CR LF, a lone LF or a lone
// CR; a field in double quotes may hold commas, quotes (doubled) and line
// breaks. A line break after the last record does not make another record.
// Text outside quotes after a closing quote is kept, and a quote inside an
// unquoted field is an ordinary character, as spreadsheet programs do. Pure function; any thread.

#include <QList>
#include <QString>
#include <QStringList>

namespace batch_data {

QList<QStringList> parseCsv(const QString &text);

} // namespace batch_data
