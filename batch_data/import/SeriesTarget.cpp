#include "batch_data/import/SeriesTarget.h"

#include "platform/Helpers.h"

#include <QFile>
#include <QFileInfo>

namespace batch_data {

std::optional<QString> checkedSeriesName(const QString &typed, QString *message)
{
    const QString name = Remove_Reserve_Char_In_File_Name(typed);
    if (name.isEmpty()) {
        if (message)
            *message = QStringLiteral("Please enter Batch Processing Series name.");
        return std::nullopt;
    }
    if (!SeriesStore::isValidSeriesName(name)) {
        if (message)
            *message = QStringLiteral("\"%1\" cannot be a Batch Processing Series name. Please change it.").arg(name);
        return std::nullopt;
    }
    return name;
}

bool writeSeriesValues(const SeriesStore &store, const QString &name, const QStringList &values, SeriesWrite mode,
                       QString *error)
{
    const auto path = store.seriesFilePath(name);
    if (!path) {
        if (error)
            *error = QStringLiteral("Invalid series name.");
        return false;
    }
    QByteArray data;
    if (mode == SeriesWrite::Append && QFileInfo(*path).isFile()) {
        QFile old(*path);
        if (!old.open(QIODevice::ReadOnly)) {
            if (error)
                *error = old.errorString();
            return false;
        }
        data = old.readAll();
        // Values in UTF-8 after bytes in another encoding would make the
        // file unreadable as either: the old series is left as it is.
        QString why;
        if (!store.readText(name, &why)) {
            if (error)
                *error = unreadableSeriesMessage(name, *path, why);
            return false;
        }
        // The old last value keeps its own line.
        if (!data.isEmpty() && !data.endsWith('\n'))
            data += '\n';
    }
    data += seriesFileBytes(values);
    return store.writeSeriesFile(name, data, error);
}

} // namespace batch_data
