#include "batch_data/import/CsvReader.h"

namespace batch_data {

QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;      // inside a quoted part of the field
    bool fieldStarted = false; // the record has a field begun (so a break ends a record)
    bool atFieldStart = true;  // nothing of the current field read yet
    const qsizetype n = text.size();
    auto endRecord = [&] {
        record.append(field);
        records.append(record);
        record.clear();
        field.clear();
        fieldStarted = false;
        atFieldStart = true;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    field.append(c);
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
            continue;
        }
        // Only a quote that opens a field quotes it: one inside an unquoted
        // field (12" ruler) is a character, or it would swallow the rest of
        // the file into one value.
        if (c == QLatin1Char('"') && atFieldStart) {
            quoted = true;
            fieldStarted = true;
            atFieldStart = false;
        } else if (c == QLatin1Char(',')) {
            record.append(field);
            field.clear();
            fieldStarted = true;
            atFieldStart = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRecord();
        } else {
            field.append(c);
            fieldStarted = true;
            atFieldStart = false;
        }
    }
    // The last record, when the text does not end with a line break.
    if (fieldStarted || !record.isEmpty())
        endRecord();
    return records;
}

} // namespace batch_data
